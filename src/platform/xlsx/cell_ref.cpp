#include "platform/xlsx/cell_ref.h"

#include <algorithm>
#include <cctype>

namespace kemnoa::xlsx {

std::optional<uint32_t> columnNumber(std::string_view letters) {
    if (letters.empty() || letters.size() > 3)
        return std::nullopt;
    uint32_t n = 0;
    for (char ch : letters) {
        if (ch >= 'a' && ch <= 'z')
            ch = char(ch - 'a' + 'A');
        if (ch < 'A' || ch > 'Z')
            return std::nullopt;
        n = n * 26 + uint32_t(ch - 'A' + 1);
    }
    if (n > kMaxColumn)
        return std::nullopt;
    return n;
}

std::string columnName(uint32_t column) {
    std::string s;
    while (column > 0) {
        const uint32_t rem = (column - 1) % 26;
        s.insert(s.begin(), char('A' + rem));
        column = (column - 1) / 26;
    }
    return s;
}

std::optional<CellRef> parseCellRef(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && text[i] == '$')
        ++i;
    const size_t letters = i;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])))
        ++i;
    const auto column = columnNumber(text.substr(letters, i - letters));
    if (!column)
        return std::nullopt;
    if (i < text.size() && text[i] == '$')
        ++i;
    if (i >= text.size() || text.size() - i > 7)
        return std::nullopt;
    uint32_t row = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return std::nullopt;
        row = row * 10 + uint32_t(text[i] - '0');
    }
    if (row < 1 || row > kMaxRow)
        return std::nullopt;
    return CellRef{row, *column};
}

std::optional<RangeRef> parseRangeRef(std::string_view text) {
    const size_t colon = text.find(':');
    const auto a = parseCellRef(text.substr(0, colon));
    if (!a)
        return std::nullopt;
    CellRef b = *a;
    if (colon != std::string_view::npos) {
        const auto parsed = parseCellRef(text.substr(colon + 1));
        if (!parsed)
            return std::nullopt;
        b = *parsed;
    }
    return RangeRef{{std::min(a->row, b.row), std::min(a->column, b.column)},
                    {std::max(a->row, b.row), std::max(a->column, b.column)}};
}

std::string formatCellRef(const CellRef& ref) {
    return columnName(ref.column) + std::to_string(ref.row);
}

std::string formatRangeRef(const RangeRef& ref) {
    if (ref.first == ref.last)
        return formatCellRef(ref.first);
    return formatCellRef(ref.first) + ":" + formatCellRef(ref.last);
}

std::string formatAbsoluteRangeRef(const RangeRef& ref) {
    auto abs = [](const CellRef& c) { return "$" + columnName(c.column) + "$" + std::to_string(c.row); };
    if (ref.first == ref.last)
        return abs(ref.first);
    return abs(ref.first) + ":" + abs(ref.last);
}

} // namespace kemnoa::xlsx
