// Pictures on a sheet: the drawing part (DrawingML), its anchors and the media parts.

#include "platform/xlsx/workbook_data.h"
#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/xml_util.h"

#include <cmath>

namespace kemnoa::xlsx {
namespace {

constexpr const char* kDrawingNs = "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing";
constexpr const char* kDrawingMainNs = "http://schemas.openxmlformats.org/drawingml/2006/main";
constexpr int64_t kEmuPerPoint = 12700;
constexpr int64_t kEmuPerPixel = 9525;

bool isAnchor(const pugi::xml_node& n) {
    const std::string_view name = localName(n);
    return n.type() == pugi::node_element &&
           (name == "twoCellAnchor" || name == "oneCellAnchor" || name == "absoluteAnchor");
}

pugi::xml_node findDescendant(const pugi::xml_node& node, std::string_view local) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (localName(c) == local)
            return c;
        if (pugi::xml_node d = findDescendant(c, local))
            return d;
    }
    return {};
}

// Column width in EMU, from the stored width as Excel turns it into pixels (7-pixel digits).
int64_t columnEmu(const SheetData& sheet, uint32_t column) {
    if (!sheet.hasColumnWidth(column)) {
        // Excel's default width: the base width in digits plus padding, rounded up to 8 pixels.
        const pugi::xml_node format = child(sheet.doc.document_element(), "sheetFormatPr");
        if (!format.attribute("defaultColWidth")) {
            const double base = format.attribute("baseColWidth").as_double(8);
            return int64_t(std::ceil((base * 7 + 5) / 8) * 8) * kEmuPerPixel;
        }
    }
    const double w = sheet.columnWidthChars(column);
    const int64_t px = int64_t(std::trunc(((256 * w + std::trunc(128.0 / 7)) / 256) * 7));
    return px * kEmuPerPixel;
}
int64_t rowEmu(const SheetData& sheet, uint32_t row) {
    return int64_t(std::llround(sheet.rowHeightPoints(row) * kEmuPerPoint));
}

// Moves an anchor point (<xdr:from> / <xdr:to>) by EMU, carrying across columns and rows.
void shiftMarker(const SheetData& sheet, pugi::xml_node marker, int64_t dx, int64_t dy) {
    pugi::xml_node col = child(marker, "col"), colOff = child(marker, "colOff");
    pugi::xml_node row = child(marker, "row"), rowOff = child(marker, "rowOff");
    if (!col || !colOff || !row || !rowOff)
        return;
    int64_t c = col.text().as_llong(), x = colOff.text().as_llong() + dx;
    int64_t r = row.text().as_llong(), y = rowOff.text().as_llong() + dy;
    while (x < 0 && c > 0)
        x += columnEmu(sheet, uint32_t(--c + 1));
    while (c + 1 < int64_t(kMaxColumn) && x >= columnEmu(sheet, uint32_t(c + 1)))
        x -= columnEmu(sheet, uint32_t(c++ + 1));
    while (y < 0 && r > 0)
        y += rowEmu(sheet, uint32_t(--r + 1));
    while (r + 1 < int64_t(kMaxRow) && y >= rowEmu(sheet, uint32_t(r + 1)))
        y -= rowEmu(sheet, uint32_t(r++ + 1));
    col.text().set(c);
    colOff.text().set(std::max<int64_t>(x, 0));
    row.text().set(r);
    rowOff.text().set(std::max<int64_t>(y, 0));
}

std::string ensureDrawing(WorkbookData& book, SheetData& sheet) {
    std::string part = drawingPartOf(sheet);
    if (!part.empty())
        return part;
    part = book.newPartName("xl/drawings/drawing#.xml");
    auto doc = std::make_unique<pugi::xml_document>();
    pugi::xml_node root = doc->append_child("xdr:wsDr");
    root.append_attribute("xmlns:xdr") = kDrawingNs;
    root.append_attribute("xmlns:a") = kDrawingMainNs;
    book.drawings[part] = std::move(doc);
    const std::string id = sheet.rels.add(reltype::drawing, relativeTarget(sheet.partName, part));
    pugi::xml_node ws = sheet.doc.document_element();
    const std::string r = relationshipPrefix(ws);
    pugi::xml_node element = insertInOrder(ws, "drawing", worksheetChildOrder());
    element.append_attribute((r + ":id").c_str()) = id.c_str();
    return part;
}

std::vector<pugi::xml_node> anchors(pugi::xml_document& doc) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node a = doc.document_element().first_child(); a; a = a.next_sibling())
        if (isAnchor(a))
            out.push_back(a);
    return out;
}

} // namespace

std::string drawingPartOf(const SheetData& sheet) {
    pugi::xml_node element = child(sheet.doc.document_element(), "drawing");
    if (!element)
        return {};
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        const std::string_view n = a.name();
        if (n.size() > 3 && n.substr(n.size() - 3) == ":id")
            if (const Relationship* r = sheet.rels.find(a.value()); r && !r->external)
                return resolveTarget(sheet.partName, r->target);
    }
    return {};
}

std::string addPicture(WorkbookData& book, SheetData& sheet, const std::string& imageBytes,
                       const std::string& extension, CellRef at, int64_t cx, int64_t cy,
                       const std::string& namePrefix) {
    const std::string part = ensureDrawing(book, sheet);
    pugi::xml_document& doc = book.drawing(part);
    const std::string media = book.newPartName("xl/media/image#." + extension);
    book.parts[media] = imageBytes;
    const std::string rid = book.partRels[part].add(reltype::image, relativeTarget(part, media));

    // Shape ids are unique in the drawing; Excel names a new picture after its id.
    unsigned maxId = 1;
    struct Ids : pugi::xml_tree_walker {
        unsigned* maxId;
        bool for_each(pugi::xml_node& n) override {
            if (localName(n) == "cNvPr")
                *maxId = std::max(*maxId, n.attribute("id").as_uint());
            return true;
        }
    } ids;
    ids.maxId = &maxId;
    doc.traverse(ids);
    const unsigned id = maxId + 1;
    const std::string name = namePrefix + " " + std::to_string(id);

    pugi::xml_node root = doc.document_element();
    const std::string x = prefixOf(root); // "xdr:" as a rule
    std::string a = "a:";
    for (pugi::xml_attribute attr = root.first_attribute(); attr; attr = attr.next_attribute())
        if (std::string_view(attr.value()) == kDrawingMainNs &&
            std::string_view(attr.name()).substr(0, 6) == "xmlns:")
            a = std::string(attr.name() + 6) + ":";
    if (a == "a:" && !root.attribute("xmlns:a"))
        root.append_attribute("xmlns:a") = kDrawingMainNs;
    const std::string r = relationshipPrefix(root);

    std::string xml =
        "<" + x + "oneCellAnchor><" + x + "from><" + x + "col>" + std::to_string(at.column - 1) + "</" + x +
        "col><" + x + "colOff>0</" + x + "colOff><" + x + "row>" + std::to_string(at.row - 1) + "</" + x +
        "row><" + x + "rowOff>0</" + x + "rowOff></" + x + "from><" + x + "ext cx=\"" + std::to_string(cx) +
        "\" cy=\"" + std::to_string(cy) + "\"/><" + x + "pic><" + x + "nvPicPr><" + x + "cNvPr id=\"" +
        std::to_string(id) + "\" name=\"" + escaped(name) + "\"/><" + x + "cNvPicPr><" + a +
        "picLocks noChangeAspect=\"1\"/></" + x + "cNvPicPr></" + x + "nvPicPr><" + x + "blipFill><" + a +
        "blip " + r + ":embed=\"" + rid + "\"/><" + a + "stretch><" + a + "fillRect/></" + a + "stretch></" +
        x + "blipFill><" + x + "spPr><" + a + "xfrm><" + a + "off x=\"0\" y=\"0\"/><" + a + "ext cx=\"" +
        std::to_string(cx) + "\" cy=\"" + std::to_string(cy) + "\"/></" + a + "xfrm><" + a +
        "prstGeom prst=\"rect\"><" + a + "avLst/></" + a + "prstGeom></" + x + "spPr></" + x + "pic><" + x +
        "clientData/></" + x + "oneCellAnchor>";
    // The fragment uses the root's prefixes, which are declared there.
    if (!root.append_buffer(xml.data(), xml.size()))
        throw WorkbookError(QStringLiteral("図を追加できません"));
    return name;
}

void moveShape(WorkbookData& book, SheetData& sheet, const std::string* name, int number, double right,
               double down) {
    const std::string part = drawingPartOf(sheet);
    if (part.empty())
        throw WorkbookError(QStringLiteral("シートに図形がありません"), xlsxerr::BadArgument);
    pugi::xml_document& doc = book.drawing(part);
    const std::vector<pugi::xml_node> list = anchors(doc);
    pugi::xml_node anchor;
    if (name) {
        for (const pugi::xml_node& a : list)
            if (findDescendant(a, "cNvPr").attribute("name").value() == *name)
                anchor = a;
    } else if (number >= 1 && size_t(number) <= list.size()) {
        anchor = list[size_t(number - 1)];
    }
    if (!anchor)
        throw WorkbookError(QStringLiteral("図形 %1 が見つかりません")
                                .arg(name ? QString::fromStdString(*name) : QString::number(number)),
                            xlsxerr::BadArgument);
    const int64_t dx = std::llround(right * kEmuPerPoint), dy = std::llround(down * kEmuPerPoint);
    if (localName(anchor) == "absoluteAnchor") {
        pugi::xml_node pos = child(anchor, "pos");
        pos.attribute("x").set_value(pos.attribute("x").as_llong() + dx);
        pos.attribute("y").set_value(pos.attribute("y").as_llong() + dy);
    } else {
        shiftMarker(sheet, child(anchor, "from"), dx, dy);
        if (pugi::xml_node to = child(anchor, "to"))
            shiftMarker(sheet, to, dx, dy);
    }
    if (pugi::xml_node off = findDescendant(findDescendant(anchor, "xfrm"), "off")) {
        off.attribute("x").set_value(off.attribute("x").as_llong() + dx);
        off.attribute("y").set_value(off.attribute("y").as_llong() + dy);
    }
}

std::vector<std::string> shapeNames(WorkbookData& book, SheetData& sheet) {
    std::vector<std::string> out;
    const std::string part = drawingPartOf(sheet);
    if (part.empty())
        return out;
    for (const pugi::xml_node& a : anchors(book.drawing(part)))
        out.push_back(findDescendant(a, "cNvPr").attribute("name").value());
    return out;
}

std::string copyDrawing(WorkbookData& target, WorkbookData& source, const std::string& partName) {
    const std::string copy = target.newPartName("xl/drawings/drawing#.xml");
    auto doc = std::make_unique<pugi::xml_document>();
    doc->reset(source.drawing(partName));
    target.drawings[copy] = std::move(doc);
    // Pictures are copied into the target (or shared, within one workbook); other parts are copied.
    Relationships rels;
    if (auto it = source.partRels.find(partName); it != source.partRels.end()) {
        for (Relationship r : it->second.items()) {
            if (!r.external) {
                const std::string from = resolveTarget(partName, r.target);
                auto p = source.parts.find(from);
                if (p == source.parts.end())
                    continue;
                std::string to = from;
                if (&target != &source || r.type != reltype::image) {
                    const size_t dot = from.rfind('.');
                    size_t stem = dot;
                    while (stem > 0 && std::isdigit(static_cast<unsigned char>(from[stem - 1])))
                        --stem;
                    to = target.newPartName(from.substr(0, stem) + "#" + from.substr(dot));
                    target.parts[to] = p->second;
                    if (auto cr = source.partRels.find(from); cr != source.partRels.end())
                        target.partRels[to] = cr->second;
                }
                r.target = relativeTarget(copy, to);
            }
            rels.items().push_back(r);
        }
    }
    target.partRels[copy] = rels;
    return copy;
}

} // namespace kemnoa::xlsx
