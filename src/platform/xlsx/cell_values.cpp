#include "platform/xlsx/cell_values.h"

#include <charconv>
#include <cmath>

namespace kemnoa::xlsx {

std::optional<double> numberFromText(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    std::string plain; // sign, digits, point and exponent, without group separators
    size_t i = b;
    if (i < e && (text[i] == '+' || text[i] == '-'))
        plain += text[i++];
    // Integer part, with optional groups of three after commas.
    size_t digits = 0, sinceComma = 0;
    bool comma = false;
    for (; i < e; ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            plain += c;
            ++digits;
            ++sinceComma;
        } else if (c == ',' && digits > 0 && (!comma || sinceComma == 3) && (comma || sinceComma <= 3)) {
            comma = true;
            sinceComma = 0;
        } else {
            break;
        }
    }
    if (comma && sinceComma != 3)
        return std::nullopt;
    if (i < e && text[i] == '.') {
        plain += text[i++];
        for (; i < e && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
            plain += text[i];
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < e && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-'))
            plain += text[i++];
        size_t exp = 0;
        for (; i < e && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++exp)
            plain += text[i];
        if (exp == 0)
            return std::nullopt;
    }
    if (i != e)
        return std::nullopt;

    // Significant digits: from the first to the last non-zero digit of the mantissa.
    const size_t mantissaEnd = std::min(plain.find('e'), plain.size());
    size_t first = std::string::npos, last = 0, count = 0;
    for (size_t k = 0; k < mantissaEnd; ++k) {
        if (!std::isdigit(static_cast<unsigned char>(plain[k])))
            continue;
        if (plain[k] != '0') {
            if (first == std::string::npos)
                first = k;
            last = k;
        }
    }
    if (first != std::string::npos)
        for (size_t k = first; k <= last; ++k)
            count += std::isdigit(static_cast<unsigned char>(plain[k])) ? 1 : 0;
    if (count > 15)
        return std::nullopt;

    double value = 0;
    const char* start = plain.data() + (plain[0] == '+' ? 1 : 0);
    auto [p, ec] = std::from_chars(start, plain.data() + plain.size(), value);
    if (ec != std::errc() || p != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    if (value == 0)
        value = 0; // no negative zero
    return value;
}

char* writeNumber(char* out, double value) {
    // The shortest round-trip form of a double is at most 24 characters.
    return std::to_chars(out, out + kNumberChars, value).ptr;
}

std::string numberText(double value) {
    char buf[kNumberChars];
    return std::string(buf, writeNumber(buf, value));
}

} // namespace kemnoa::xlsx
