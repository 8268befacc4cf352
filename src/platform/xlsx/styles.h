#pragma once
// The style tables of a workbook (xl/styles.xml): number formats, fonts, fills, borders and cell
// formats (xfs). Cells refer to a cell format by index; changing one property of a cell finds or adds
// the cell format that differs only in that property, as Excel does.

#include <map>
#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <vector>

namespace kemnoa::xlsx {

// Element or attribute list kept as name -> serialized attributes / value, written in schema order.
using AttrMap = std::map<std::string, std::string>;

// <font>: child element name -> its attributes as written (for example "sz" -> ` val="11"`).
struct Font {
    AttrMap elements;
    std::string xml() const;
    double size() const;
    std::string name() const;
};

struct BorderEdge {
    std::string style; // "thin", "dotted", ... ; empty: no line
    std::string color; // attributes of <color>, empty for none
};

struct Border {
    AttrMap attributes; // diagonalUp, diagonalDown, outline
    std::map<std::string, BorderEdge>
        edges; // left, right, top, bottom, diagonal, vertical, horizontal, start, end
    std::string xml() const;
};

struct CellFormat {
    AttrMap attributes; // numFmtId, fontId, fillId, borderId, xfId, apply*, quotePrefix, pivotButton
    AttrMap alignment;  // attributes of <alignment>
    AttrMap protection; // attributes of <protection>
    std::string xml() const;
    int id(const char* attribute) const;
};

class StyleSheet {
public:
    // A style sheet with Excel's minimum tables and the given default font.
    static StyleSheet makeDefault(const std::string& fontName, double fontSize);
    void load(const std::string& xml, const std::string& partName);
    std::string save() const;

    size_t cellFormatCount() const { return xfs_.size(); }
    const CellFormat& cellFormat(uint32_t xf) const;
    const Font& font(uint32_t xf) const;
    const Border& border(uint32_t xf) const;
    std::string numberFormatCode(uint32_t xf) const;
    bool isTextFormat(uint32_t xf) const;

    // Returns the cell format equal to xf but for one changed part.
    uint32_t withFont(uint32_t xf, const Font& font);
    uint32_t withBorder(uint32_t xf, const Border& border);
    uint32_t withNumberFormat(uint32_t xf, const std::string& code);
    uint32_t withAlignment(uint32_t xf, const AttrMap& alignment);

    // Adds (or finds) in this style sheet the look of cell format xf of another one.
    uint32_t importCellFormat(const StyleSheet& source, uint32_t xf);
    // Adds a differential format (conditional formatting) of another style sheet; returns its index.
    uint32_t importDifferentialFormat(const StyleSheet& source, uint32_t dxf);

private:
    uint32_t addFont(const Font& font);
    uint32_t addFill(const std::string& fill);
    uint32_t addBorder(const Border& border);
    uint32_t numberFormatId(const std::string& code);
    uint32_t addCellFormat(const CellFormat& format);
    void index();

    pugi::xml_document doc_; // the part, less the tables kept below
    std::map<uint32_t, std::string> numFmts_;
    std::vector<Font> fonts_;
    std::vector<std::string> fills_;
    std::vector<Border> borders_;
    std::vector<CellFormat> xfs_;
    std::vector<std::string> dxfs_;
    std::unordered_map<std::string, uint32_t> fontIndex_, fillIndex_, borderIndex_, xfIndex_;
    // Whether each cell format is the text format "@", asked for every value written; cell formats
    // and the codes of their number formats do not change once added.
    mutable std::vector<signed char> textFormat_;
};

} // namespace kemnoa::xlsx
