#include "platform/xlsx/styles.h"

#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/xml_util.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace kemnoa::xlsx {
namespace {

// Excel's built-in number formats, which have no <numFmt> entry.
const std::map<uint32_t, std::string>& builtinFormats() {
    static const std::map<uint32_t, std::string> formats = {{0, "General"},
                                                            {1, "0"},
                                                            {2, "0.00"},
                                                            {3, "#,##0"},
                                                            {4, "#,##0.00"},
                                                            {9, "0%"},
                                                            {10, "0.00%"},
                                                            {11, "0.00E+00"},
                                                            {12, "# ?/?"},
                                                            {13, "# ?\?/?\?"},
                                                            {14, "mm-dd-yy"},
                                                            {15, "d-mmm-yy"},
                                                            {16, "d-mmm"},
                                                            {17, "mmm-yy"},
                                                            {18, "h:mm AM/PM"},
                                                            {19, "h:mm:ss AM/PM"},
                                                            {20, "h:mm"},
                                                            {21, "h:mm:ss"},
                                                            {22, "m/d/yy h:mm"},
                                                            {37, "#,##0 ;(#,##0)"},
                                                            {38, "#,##0 ;[Red](#,##0)"},
                                                            {39, "#,##0.00;(#,##0.00)"},
                                                            {40, "#,##0.00;[Red](#,##0.00)"},
                                                            {45, "mm:ss"},
                                                            {46, "[h]:mm:ss"},
                                                            {47, "mmss.0"},
                                                            {48, "##0.0E+0"},
                                                            {49, "@"}};
    return formats;
}

AttrMap attributeMap(const pugi::xml_node& node) {
    AttrMap map;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
        map[a.name()] = a.value();
    return map;
}

void appendAttributes(std::string& out, const AttrMap& map) {
    for (const auto& [name, value] : map) {
        out += ' ';
        out += name;
        out += "=\"";
        appendEscaped(out, value);
        out += '"';
    }
}

// Writes the elements of `map` in the given order, then any others.
void appendOrdered(std::string& out, const AttrMap& map, std::initializer_list<const char*> order) {
    for (const char* name : order) {
        auto it = map.find(name);
        if (it != map.end())
            out += "<" + it->first + it->second + "/>";
    }
    for (const auto& entry : map) {
        const std::string& name = entry.first;
        if (std::find_if(order.begin(), order.end(), [&](const char* o) { return name == o; }) == order.end())
            out += "<" + name + entry.second + "/>";
    }
}

uint32_t toIndex(const std::string& text) {
    uint32_t v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() ? v : 0;
}

} // namespace

std::string Font::xml() const {
    std::string out = "<font>";
    appendOrdered(out, elements,
                  {"b", "i", "strike", "condense", "extend", "outline", "shadow", "u", "vertAlign", "sz",
                   "color", "name", "family", "charset", "scheme"});
    return out + "</font>";
}

namespace {
std::string valOf(const std::string& attrs) {
    const size_t p = attrs.find("val=\"");
    if (p == std::string::npos)
        return {};
    const size_t e = attrs.find('"', p + 5);
    return attrs.substr(p + 5, e - p - 5);
}
} // namespace

double Font::size() const {
    auto it = elements.find("sz");
    return it == elements.end() ? 11.0 : std::strtod(valOf(it->second).c_str(), nullptr);
}

std::string Font::name() const {
    auto it = elements.find("name");
    if (it == elements.end())
        return {};
    // The value was escaped when stored; names rarely hold entities, but undo the common ones.
    std::string v = valOf(it->second);
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v.compare(i, 5, "&amp;") == 0) {
            out += '&';
            i += 4;
        } else if (v.compare(i, 6, "&quot;") == 0) {
            out += '"';
            i += 5;
        } else if (v.compare(i, 4, "&lt;") == 0) {
            out += '<';
            i += 3;
        } else if (v.compare(i, 4, "&gt;") == 0) {
            out += '>';
            i += 3;
        } else {
            out += v[i];
        }
    }
    return out;
}

std::string Border::xml() const {
    std::string out = "<border";
    appendAttributes(out, attributes);
    out += ">";
    static const char* order[] = {"start",  "left",     "end",      "right",     "top",
                                  "bottom", "diagonal", "vertical", "horizontal"};
    for (const char* name : order) {
        auto it = edges.find(name);
        // Excel writes the four sides and the diagonal even when empty.
        const bool always = std::string_view(name) == "left" || std::string_view(name) == "right" ||
                            std::string_view(name) == "top" || std::string_view(name) == "bottom" ||
                            std::string_view(name) == "diagonal";
        if (it == edges.end()) {
            if (always)
                out += std::string("<") + name + "/>";
            continue;
        }
        const BorderEdge& e = it->second;
        out += std::string("<") + name;
        if (!e.style.empty())
            out += " style=\"" + escaped(e.style) + "\"";
        if (e.color.empty())
            out += "/>";
        else
            out += "><color" + e.color + "/></" + name + ">";
    }
    return out + "</border>";
}

std::string CellFormat::xml() const {
    std::string out = "<xf";
    appendAttributes(out, attributes);
    if (alignment.empty() && protection.empty())
        return out + "/>";
    out += ">";
    if (!alignment.empty()) {
        out += "<alignment";
        appendAttributes(out, alignment);
        out += "/>";
    }
    if (!protection.empty()) {
        out += "<protection";
        appendAttributes(out, protection);
        out += "/>";
    }
    return out + "</xf>";
}

int CellFormat::id(const char* attribute) const {
    auto it = attributes.find(attribute);
    return it == attributes.end() ? 0 : int(toIndex(it->second));
}

StyleSheet StyleSheet::makeDefault(const std::string& fontName, double fontSize) {
    char size[32];
    auto [end, ec] = std::to_chars(size, size + sizeof size, fontSize);
    (void)ec;
    const std::string xml =
        std::string("<styleSheet xmlns=\"") + kMainNs + "\"><fonts count=\"1\"><font><sz val=\"" +
        std::string(size, end) + "\"/><name val=\"" + escaped(fontName) +
        "\"/><family val=\"3\"/><charset val=\"128\"/></font></fonts>"
        "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
        "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
        "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
        "borderId=\"0\"/></cellStyleXfs>"
        "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
        "xfId=\"0\"/></cellXfs>"
        "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
        "<dxfs count=\"0\"/><tableStyles count=\"0\"/></styleSheet>";
    StyleSheet sheet;
    sheet.load(xml, "xl/styles.xml");
    return sheet;
}

void StyleSheet::load(const std::string& xml, const std::string& partName) {
    parseXml(doc_, xml, partName);
    normalizeMainPrefix(doc_);
    pugi::xml_node root = doc_.document_element();
    if (localName(root) != "styleSheet")
        throw WorkbookError(QStringLiteral("書式の部品が正しくありません"));
    if (pugi::xml_node n = child(root, "numFmts")) {
        for (pugi::xml_node f : n.children("numFmt"))
            numFmts_[toIndex(f.attribute("numFmtId").value())] = f.attribute("formatCode").value();
        root.remove_child(n);
    }
    if (pugi::xml_node n = child(root, "fonts")) {
        for (pugi::xml_node f : n.children("font")) {
            Font font;
            for (pugi::xml_node e : f.children())
                if (e.type() == pugi::node_element)
                    font.elements[e.name()] = attributesXml(e);
            fonts_.push_back(std::move(font));
        }
        root.remove_child(n);
    }
    if (pugi::xml_node n = child(root, "fills")) {
        for (pugi::xml_node f : n.children("fill"))
            fills_.push_back(toXml(f));
        root.remove_child(n);
    }
    if (pugi::xml_node n = child(root, "borders")) {
        for (pugi::xml_node b : n.children("border")) {
            Border border;
            border.attributes = attributeMap(b);
            for (pugi::xml_node e : b.children()) {
                if (e.type() != pugi::node_element)
                    continue;
                BorderEdge edge;
                edge.style = e.attribute("style").value();
                if (pugi::xml_node c = e.child("color"))
                    edge.color = attributesXml(c);
                if (!edge.style.empty() || !edge.color.empty())
                    border.edges[e.name()] = edge;
            }
            borders_.push_back(std::move(border));
        }
        root.remove_child(n);
    }
    if (pugi::xml_node n = child(root, "cellXfs")) {
        for (pugi::xml_node x : n.children("xf")) {
            CellFormat format;
            format.attributes = attributeMap(x);
            format.alignment = attributeMap(x.child("alignment"));
            format.protection = attributeMap(x.child("protection"));
            xfs_.push_back(std::move(format));
        }
        root.remove_child(n);
    }
    if (pugi::xml_node n = child(root, "dxfs")) {
        for (pugi::xml_node d : n.children("dxf"))
            dxfs_.push_back(toXml(d));
        root.remove_child(n);
    }
    // Tables Excel requires; a file without them still opens with these defaults.
    if (fonts_.empty())
        fonts_.push_back(Font{{{"sz", " val=\"11\""}, {"name", " val=\"Calibri\""}}});
    if (fills_.empty()) {
        fills_.push_back("<fill><patternFill patternType=\"none\"/></fill>");
        fills_.push_back("<fill><patternFill patternType=\"gray125\"/></fill>");
    }
    if (borders_.empty())
        borders_.push_back(Border{});
    if (xfs_.empty())
        xfs_.push_back(
            CellFormat{{{"numFmtId", "0"}, {"fontId", "0"}, {"fillId", "0"}, {"borderId", "0"}}, {}, {}});
    // References out of range would make Excel repair the file: point them at the first entry.
    for (CellFormat& f : xfs_) {
        if (size_t(f.id("fontId")) >= fonts_.size())
            f.attributes["fontId"] = "0";
        if (size_t(f.id("fillId")) >= fills_.size())
            f.attributes["fillId"] = "0";
        if (size_t(f.id("borderId")) >= borders_.size())
            f.attributes["borderId"] = "0";
    }
    index();
}

void StyleSheet::index() {
    textFormat_.clear();
    fontIndex_.clear();
    fillIndex_.clear();
    borderIndex_.clear();
    xfIndex_.clear();
    for (uint32_t i = 0; i < fonts_.size(); ++i)
        fontIndex_.emplace(fonts_[i].xml(), i);
    for (uint32_t i = 0; i < fills_.size(); ++i)
        fillIndex_.emplace(fills_[i], i);
    for (uint32_t i = 0; i < borders_.size(); ++i)
        borderIndex_.emplace(borders_[i].xml(), i);
    for (uint32_t i = 0; i < xfs_.size(); ++i)
        xfIndex_.emplace(xfs_[i].xml(), i);
}

std::string StyleSheet::save() const {
    std::map<std::string, std::string> managed;
    std::string s;
    if (!numFmts_.empty()) {
        s = "<numFmts count=\"" + std::to_string(numFmts_.size()) + "\">";
        for (const auto& [id, code] : numFmts_)
            s += "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" + escaped(code) + "\"/>";
        managed["numFmts"] = s + "</numFmts>";
    }
    s = "<fonts count=\"" + std::to_string(fonts_.size()) + "\">";
    for (const Font& f : fonts_)
        s += f.xml();
    managed["fonts"] = s + "</fonts>";
    s = "<fills count=\"" + std::to_string(fills_.size()) + "\">";
    for (const std::string& f : fills_)
        s += f;
    managed["fills"] = s + "</fills>";
    s = "<borders count=\"" + std::to_string(borders_.size()) + "\">";
    for (const Border& b : borders_)
        s += b.xml();
    managed["borders"] = s + "</borders>";
    s = "<cellXfs count=\"" + std::to_string(xfs_.size()) + "\">";
    for (const CellFormat& x : xfs_)
        s += x.xml();
    managed["cellXfs"] = s + "</cellXfs>";
    s = "<dxfs count=\"" + std::to_string(dxfs_.size()) + "\">";
    for (const std::string& d : dxfs_)
        s += d;
    managed["dxfs"] = s + "</dxfs>";

    const pugi::xml_node root = doc_.document_element();
    std::map<std::string, std::string> others;
    std::string unknown;
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const std::string name(localName(c));
        if (name == "cellStyleXfs" || name == "cellStyles" || name == "tableStyles" || name == "colors" ||
            name == "extLst")
            others[name] = toXml(c);
        else
            unknown += toXml(c);
    }
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<styleSheet" +
                      attributesXml(root) + ">";
    for (const char* name : {"numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs", "cellStyles",
                             "dxfs", "tableStyles", "colors"}) {
        if (auto it = managed.find(name); it != managed.end())
            out += it->second;
        else if (auto jt = others.find(name); jt != others.end())
            out += jt->second;
    }
    out += unknown;
    if (auto it = others.find("extLst"); it != others.end())
        out += it->second;
    return out + "</styleSheet>";
}

const CellFormat& StyleSheet::cellFormat(uint32_t xf) const {
    return xfs_[xf < xfs_.size() ? xf : 0];
}
const Font& StyleSheet::font(uint32_t xf) const {
    return fonts_[uint32_t(cellFormat(xf).id("fontId"))];
}
const Border& StyleSheet::border(uint32_t xf) const {
    return borders_[uint32_t(cellFormat(xf).id("borderId"))];
}

std::string StyleSheet::numberFormatCode(uint32_t xf) const {
    const uint32_t id = uint32_t(cellFormat(xf).id("numFmtId"));
    if (auto it = numFmts_.find(id); it != numFmts_.end())
        return it->second;
    if (auto it = builtinFormats().find(id); it != builtinFormats().end())
        return it->second;
    return "General";
}

bool StyleSheet::isTextFormat(uint32_t xf) const {
    if (xf >= xfs_.size())
        xf = 0;
    if (textFormat_.size() < xfs_.size())
        textFormat_.resize(xfs_.size(), -1);
    if (textFormat_[xf] < 0)
        textFormat_[xf] = numberFormatCode(xf) == "@" ? 1 : 0;
    return textFormat_[xf] == 1;
}

uint32_t StyleSheet::addFont(const Font& font) {
    const std::string key = font.xml();
    if (auto it = fontIndex_.find(key); it != fontIndex_.end())
        return it->second;
    fonts_.push_back(font);
    return fontIndex_[key] = uint32_t(fonts_.size() - 1);
}

uint32_t StyleSheet::addFill(const std::string& fill) {
    if (auto it = fillIndex_.find(fill); it != fillIndex_.end())
        return it->second;
    fills_.push_back(fill);
    return fillIndex_[fill] = uint32_t(fills_.size() - 1);
}

uint32_t StyleSheet::addBorder(const Border& border) {
    const std::string key = border.xml();
    if (auto it = borderIndex_.find(key); it != borderIndex_.end())
        return it->second;
    borders_.push_back(border);
    return borderIndex_[key] = uint32_t(borders_.size() - 1);
}

uint32_t StyleSheet::numberFormatId(const std::string& code) {
    for (const auto& [id, c] : numFmts_)
        if (c == code)
            return id;
    for (const auto& [id, c] : builtinFormats())
        if (c == code)
            return id;
    uint32_t id = 164; // the first number Excel gives its own formats
    if (!numFmts_.empty())
        id = std::max(id, numFmts_.rbegin()->first + 1);
    numFmts_[id] = code;
    return id;
}

uint32_t StyleSheet::addCellFormat(const CellFormat& format) {
    const std::string key = format.xml();
    if (auto it = xfIndex_.find(key); it != xfIndex_.end())
        return it->second;
    xfs_.push_back(format);
    return xfIndex_[key] = uint32_t(xfs_.size() - 1);
}

uint32_t StyleSheet::withFont(uint32_t xf, const Font& font) {
    CellFormat f = cellFormat(xf);
    f.attributes["fontId"] = std::to_string(addFont(font));
    f.attributes["applyFont"] = "1";
    return addCellFormat(f);
}

uint32_t StyleSheet::withBorder(uint32_t xf, const Border& border) {
    CellFormat f = cellFormat(xf);
    f.attributes["borderId"] = std::to_string(addBorder(border));
    f.attributes["applyBorder"] = "1";
    return addCellFormat(f);
}

uint32_t StyleSheet::withNumberFormat(uint32_t xf, const std::string& code) {
    CellFormat f = cellFormat(xf);
    f.attributes["numFmtId"] = std::to_string(numberFormatId(code));
    f.attributes["applyNumberFormat"] = "1";
    return addCellFormat(f);
}

uint32_t StyleSheet::withAlignment(uint32_t xf, const AttrMap& alignment) {
    CellFormat f = cellFormat(xf);
    f.alignment = alignment;
    f.attributes["applyAlignment"] = "1";
    return addCellFormat(f);
}

uint32_t StyleSheet::importCellFormat(const StyleSheet& source, uint32_t xf) {
    CellFormat f = source.cellFormat(xf);
    f.attributes["fontId"] = std::to_string(addFont(source.fonts_[uint32_t(f.id("fontId"))]));
    f.attributes["fillId"] = std::to_string(addFill(source.fills_[uint32_t(f.id("fillId"))]));
    f.attributes["borderId"] = std::to_string(addBorder(source.borders_[uint32_t(f.id("borderId"))]));
    f.attributes["numFmtId"] = std::to_string(numberFormatId(source.numberFormatCode(xf)));
    // The named cell styles of the two workbooks do not correspond; the copy keeps its direct
    // formatting and refers to the Normal style.
    if (f.attributes.count("xfId"))
        f.attributes["xfId"] = "0";
    return addCellFormat(f);
}

uint32_t StyleSheet::importDifferentialFormat(const StyleSheet& source, uint32_t dxf) {
    if (dxf >= source.dxfs_.size())
        return dxf;
    const std::string& d = source.dxfs_[dxf];
    for (uint32_t i = 0; i < dxfs_.size(); ++i)
        if (dxfs_[i] == d)
            return i;
    dxfs_.push_back(d);
    return uint32_t(dxfs_.size() - 1);
}

} // namespace kemnoa::xlsx
