#pragma once
// How texts become cell values: Excel's reading of a text as a number.

#include <optional>
#include <string>

namespace kemnoa::xlsx {

// The number a text stands for when Excel would take it as one ("123", " -1,234.5 ", "1e3", "007").
// A text with more significant digits than a number holds (15) stays text, so long codes keep
// every digit.
std::optional<double> numberFromText(const std::string& text);

// The shortest text that reads back as the same number, as stored in the file.
std::string numberText(double value);
// The same text written into out (room for kNumberChars characters); returns its end.
inline constexpr size_t kNumberChars = 32;
char* writeNumber(char* out, double value);

} // namespace kemnoa::xlsx
