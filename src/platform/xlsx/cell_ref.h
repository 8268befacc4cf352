#pragma once
// A1-style cell and range references ("B27", "$AU$1", "B27:D27") and column letters.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kemnoa::xlsx {

// Excel's sheet limits.
inline constexpr uint32_t kMaxRow = 1048576;
inline constexpr uint32_t kMaxColumn = 16384;

struct CellRef {
    uint32_t row = 1;    // from 1
    uint32_t column = 1; // from 1
    bool operator==(const CellRef&) const = default;
};

struct RangeRef {
    CellRef first; // upper left
    CellRef last;  // lower right
    bool operator==(const RangeRef&) const = default;
    uint32_t rows() const { return last.row - first.row + 1; }
    uint32_t columns() const { return last.column - first.column + 1; }
    bool contains(const CellRef& c) const {
        return c.row >= first.row && c.row <= last.row && c.column >= first.column && c.column <= last.column;
    }
    bool intersects(const RangeRef& o) const {
        return first.row <= o.last.row && o.first.row <= last.row && first.column <= o.last.column &&
               o.first.column <= last.column;
    }
};

// "A" -> 1, "AZ" -> 52; nothing for an invalid or out-of-range name.
std::optional<uint32_t> columnNumber(std::string_view letters);
// 1 -> "A", 52 -> "AZ".
std::string columnName(uint32_t column);

// Parses "B27" or "$B$27".
std::optional<CellRef> parseCellRef(std::string_view text);
// Parses "B27:D27", "B27" (a single cell), with or without "$"; the corners are put in order.
std::optional<RangeRef> parseRangeRef(std::string_view text);

std::string formatCellRef(const CellRef& ref);
// "B27:D27", or "B27" for a single cell.
std::string formatRangeRef(const RangeRef& ref);
// "$B$27:$D$27" as defined names hold it.
std::string formatAbsoluteRangeRef(const RangeRef& ref);

} // namespace kemnoa::xlsx
