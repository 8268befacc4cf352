#pragma once
// Text from order files and servers is shown on the progress list, written to the FTP log and printed
// on a terminal. A CR LF inside such a value would forge a log line of its own and an escape sequence
// would drive the terminal, so every control character is replaced and an overlong value is cut.

#include <QString>

namespace kemnoa::text {

// Longest text kept by printable(), in characters; the cut is marked with "…".
inline constexpr qsizetype MaxPrintableLength = 1000;

// The text cut to maxLength characters, with each line break (CR LF, CR, LF) shown as a space and
// every other control character (C0, DEL, C1, the line and paragraph separators) as '?'.
QString printable(const QString& text, qsizetype maxLength = MaxPrintableLength);

} // namespace kemnoa::text
