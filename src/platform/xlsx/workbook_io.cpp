// Reading a workbook package into WorkbookData and writing it back.

#include "platform/xlsx/cell_values.h"
#include "platform/xlsx/workbook_data.h"
#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/xml_util.h"

#include <charconv>
#include <deque>

namespace kemnoa::xlsx {
namespace {

namespace ctype {
const std::string workbook = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
const std::string worksheet = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const std::string styles = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
const std::string sharedStrings =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
const std::string drawing = "application/vnd.openxmlformats-officedocument.drawing+xml";
const std::string rels = "application/vnd.openxmlformats-package.relationships+xml";
} // namespace ctype

const std::initializer_list<std::string_view> kWorkbookOrder = {"fileVersion",    "fileSharing",
                                                                "workbookPr",     "workbookProtection",
                                                                "bookViews",      "sheets",
                                                                "functionGroups", "externalReferences",
                                                                "definedNames",   "calcPr",
                                                                "oleSize",        "customWorkbookViews",
                                                                "pivotCaches",    "smartTagPr",
                                                                "smartTagTypes",  "webPublishing",
                                                                "fileRecoveryPr", "webPublishObjects",
                                                                "extLst"};

[[noreturn]] void malformed(const QString& what) {
    throw WorkbookError(QStringLiteral("ブックの形式が正しくありません: ") + what);
}

uint32_t parseUnsigned(const char* text, uint32_t fallback) {
    uint32_t v = 0;
    const char* end = text + std::strlen(text);
    auto [p, ec] = std::from_chars(text, end, v);
    return ec == std::errc() && p == end ? v : fallback;
}

std::string takePart(PartMap& parts, const std::string& name) {
    auto it = parts.find(name);
    if (it == parts.end())
        malformed(QStringLiteral("部品 %1 がありません").arg(QString::fromStdString(name)));
    std::string data = std::move(it->second);
    parts.erase(it);
    return data;
}

Relationships takeRels(PartMap& parts, const std::string& partName) {
    Relationships rels;
    const std::string name = relsPartName(partName);
    auto it = parts.find(name);
    if (it != parts.end()) {
        rels.load(it->second, name);
        parts.erase(it);
    }
    return rels;
}

std::string extensionOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    const size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

void loadContentTypes(WorkbookData& book, PartMap& parts) {
    const std::string xml = takePart(parts, "[Content_Types].xml");
    pugi::xml_document doc;
    parseXml(doc, xml, "[Content_Types].xml");
    for (pugi::xml_node n = doc.document_element().first_child(); n; n = n.next_sibling()) {
        if (localName(n) == "Default")
            book.contentDefaults[extensionOf(std::string("x.") + n.attribute("Extension").value())] =
                n.attribute("ContentType").value();
        else if (localName(n) == "Override") {
            std::string part = n.attribute("PartName").value();
            if (!part.empty() && part[0] == '/')
                part.erase(0, 1);
            book.contentOverrides[part] = n.attribute("ContentType").value();
        }
    }
}

} // namespace

void loadWorksheet(WorkbookData& book, SheetData& sheet, const std::string& xml) {
    parseXml(sheet.doc, xml, sheet.partName);
    normalizeMainPrefix(sheet.doc);
    pugi::xml_node root = sheet.doc.document_element();
    if (localName(root) != "worksheet")
        malformed(
            QStringLiteral("%1 はワークシートではありません").arg(QString::fromStdString(sheet.partName)));

    if (pugi::xml_node cols = child(root, "cols")) {
        for (pugi::xml_node c : cols.children("col")) {
            Column column;
            column.min = parseUnsigned(c.attribute("min").value(), 0);
            column.max = parseUnsigned(c.attribute("max").value(), 0);
            if (column.min < 1 || column.max < column.min || column.max > kMaxColumn)
                continue; // a range Excel would drop
            if (!sheet.columns.empty() && column.min <= sheet.columns.back().max)
                continue; // overlapping entries: keep the first
            for (pugi::xml_attribute a = c.first_attribute(); a; a = a.next_attribute()) {
                const std::string_view n = a.name();
                if (n == "style")
                    column.style = parseUnsigned(a.value(), 0);
                else if (n != "min" && n != "max")
                    column.attributes.emplace_back(a.name(), a.value());
            }
            sheet.columns.push_back(std::move(column));
        }
        root.remove_child(cols);
    }
    if (pugi::xml_node merges = child(root, "mergeCells")) {
        for (pugi::xml_node m : merges.children("mergeCell"))
            if (auto ref = parseRangeRef(m.attribute("ref").value()); ref && !(ref->first == ref->last))
                sheet.merges.push_back(*ref);
        root.remove_child(merges);
    }

    pugi::xml_node data = child(root, "sheetData");
    if (!data)
        data = insertInOrder(root, "sheetData", worksheetChildOrder());
    const uint32_t styleCount = uint32_t(book.styles.cellFormatCount());
    auto checkedStyle = [&](const char* text) {
        const uint32_t s = parseUnsigned(text, 0);
        return s < styleCount ? s : 0;
    };
    uint32_t lastRow = 0;
    for (pugi::xml_node r = data.first_child(); r; r = r.next_sibling()) {
        if (localName(r) != "row")
            continue;
        const uint32_t rowNumber =
            r.attribute("r") ? parseUnsigned(r.attribute("r").value(), 0) : lastRow + 1;
        if (rowNumber <= lastRow || rowNumber > kMaxRow)
            malformed(QStringLiteral("行番号 %1 が正しくありません").arg(rowNumber));
        lastRow = rowNumber;
        Row& row = sheet.rows[rowNumber];
        for (pugi::xml_attribute a = r.first_attribute(); a; a = a.next_attribute()) {
            const std::string_view n = a.name();
            if (n == "s")
                row.style = checkedStyle(a.value());
            else if (n != "r" && n != "spans")
                row.attributes.emplace_back(a.name(), a.value());
        }
        uint32_t lastColumn = 0;
        for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
            if (localName(c) != "c")
                continue;
            Cell cell;
            if (pugi::xml_attribute ref = c.attribute("r")) {
                const auto parsed = parseCellRef(ref.value());
                if (!parsed || parsed->row != rowNumber)
                    malformed(
                        QStringLiteral("セル番地 %1 が正しくありません").arg(QString::fromUtf8(ref.value())));
                cell.column = parsed->column;
            } else {
                cell.column = lastColumn + 1;
            }
            if (cell.column <= lastColumn || cell.column > kMaxColumn)
                malformed(QStringLiteral("セルの並びが正しくありません(行 %1)").arg(rowNumber));
            lastColumn = cell.column;
            cell.style = checkedStyle(c.attribute("s").value());
            const std::string_view t = c.attribute("t").value();
            pugi::xml_node v = c.child("v");
            if (pugi::xml_node f = c.child("f"))
                sheet.extraFor(cell).formula = toXml(f);
            auto keepText = [&] { sheet.extraFor(cell).value = v.text().get(); };
            if (t == "inlineStr") {
                std::string inner;
                for (pugi::xml_node x = c.child("is").first_child(); x; x = x.next_sibling())
                    inner += toXml(x);
                cell.type = CellType::Shared;
                cell.index = book.strings.addStored(inner);
            } else if (!v) {
                cell.type = CellType::Blank;
            } else if (t == "s") {
                cell.type = CellType::Shared;
                cell.index = parseUnsigned(v.text().get(), UINT32_MAX);
                if (cell.index >= book.strings.size())
                    malformed(QStringLiteral("共有文字列の番号 %1 が正しくありません")
                                  .arg(QString::fromUtf8(v.text().get())));
            } else if (t.empty() || t == "n") {
                cell.type = CellType::Number;
                // The number alone when its shortest form gives back the text; else the text too.
                const std::string_view text = v.text().get();
                double number = 0;
                auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
                char shortest[kNumberChars];
                if (ec == std::errc() && end == text.data() + text.size() &&
                    std::string_view(shortest, size_t(writeNumber(shortest, number) - shortest)) == text) {
                    cell.number = number;
                } else {
                    keepText();
                    cell.numberAsWritten = true;
                }
            } else if (t == "b") {
                cell.type = CellType::Boolean;
                keepText();
            } else if (t == "e") {
                cell.type = CellType::Error;
                keepText();
            } else if (t == "str") {
                cell.type = CellType::FormulaText;
                keepText();
            } else {
                cell.type = CellType::Other;
                sheet.extraFor(cell).typeAttr = std::string(t);
                keepText();
            }
            row.cells.push_back(cell);
        }
    }
    root.remove_child(data);
    insertInOrder(root, "sheetData", worksheetChildOrder());
}

void loadWorkbook(WorkbookData& book, PartMap parts) {
    loadContentTypes(book, parts);
    book.packageRels.load(takePart(parts, "_rels/.rels"), "_rels/.rels");
    const Relationship* office = book.packageRels.firstOfType(reltype::officeDocument);
    if (!office)
        malformed(QStringLiteral("ブック本体への参照がありません"));
    book.workbookPart = resolveTarget("", office->target);
    parseXml(book.workbookDoc, takePart(parts, book.workbookPart), book.workbookPart);
    normalizeMainPrefix(book.workbookDoc);
    pugi::xml_node root = book.workbookDoc.document_element();
    if (localName(root) != "workbook")
        malformed(QStringLiteral("ブック本体がありません"));
    book.workbookRels = takeRels(parts, book.workbookPart);

    if (const Relationship* r = book.workbookRels.firstOfType(reltype::styles)) {
        const std::string name = resolveTarget(book.workbookPart, r->target);
        book.styles.load(takePart(parts, name), name);
        takeRels(parts, name);
    } else {
        book.styles = StyleSheet::makeDefault("ＭＳ Ｐゴシック", 11);
    }
    if (const Relationship* r = book.workbookRels.firstOfType(reltype::sharedStrings)) {
        const std::string name = resolveTarget(book.workbookPart, r->target);
        book.strings.load(takePart(parts, name), name);
        takeRels(parts, name);
    }
    // The calculation chain is optional and would go stale with our edits; Excel rebuilds it.
    if (const Relationship* r = book.workbookRels.firstOfType(reltype::calcChain))
        parts.erase(resolveTarget(book.workbookPart, r->target));

    const std::string rPrefix = relationshipPrefix(root);
    pugi::xml_node sheets = child(root, "sheets");
    if (!sheets)
        malformed(QStringLiteral("シートの一覧がありません"));
    for (pugi::xml_node s : sheets.children("sheet")) {
        auto sheet = std::make_unique<SheetData>();
        sheet->name = s.attribute("name").value();
        sheet->sheetId = parseUnsigned(s.attribute("sheetId").value(), 0);
        sheet->state = s.attribute("state").value();
        const Relationship* r = book.workbookRels.find(s.attribute((rPrefix + ":id").c_str()).value());
        if (!r || r->external)
            malformed(
                QStringLiteral("シート %1 の参照がありません").arg(QString::fromStdString(sheet->name)));
        if (r->type != reltype::worksheet)
            throw WorkbookError(QStringLiteral("ワークシート以外のシート(%1)を含むブックは扱えません")
                                    .arg(QString::fromStdString(sheet->name)));
        if (sheet->name.empty() || book.sheetByName(sheet->name))
            malformed(
                QStringLiteral("シート名 %1 が正しくありません").arg(QString::fromStdString(sheet->name)));
        sheet->partName = resolveTarget(book.workbookPart, r->target);
        for (const auto& other : book.sheets)
            if (other->partName == sheet->partName)
                malformed(QStringLiteral("二つのシートが同じ部品を指しています"));
        loadWorksheet(book, *sheet, takePart(parts, sheet->partName));
        sheet->rels = takeRels(parts, sheet->partName);
        book.sheets.push_back(std::move(sheet));
    }
    if (book.sheets.empty())
        malformed(QStringLiteral("シートがありません"));
    root.remove_child(sheets);

    if (pugi::xml_node names = child(root, "definedNames")) {
        for (pugi::xml_node n : names.children("definedName")) {
            NameData name;
            name.formula = n.text().get();
            for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
                const std::string_view an = a.name();
                if (an == "name")
                    name.name = a.value();
                else if (an == "localSheetId") {
                    const uint32_t index = parseUnsigned(a.value(), UINT32_MAX);
                    if (index >= book.sheets.size())
                        malformed(QStringLiteral("名前 %1 のシート番号が正しくありません")
                                      .arg(QString::fromUtf8(n.attribute("name").value())));
                    name.localSheet = index;
                } else
                    name.attributes.emplace_back(a.name(), a.value());
            }
            book.names.push_back(std::move(name));
        }
        root.remove_child(names);
    }
    if (pugi::xml_node view = child(child(root, "bookViews"), "workbookView"))
        book.activeTab = std::min<uint32_t>(parseUnsigned(view.attribute("activeTab").value(), 0),
                                            uint32_t(book.sheets.size() - 1));

    // The remaining relationship parts belong to carried parts (drawings, comments, ...).
    for (auto it = parts.begin(); it != parts.end();) {
        const std::string& name = it->first;
        const size_t marker = name.find("_rels/");
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".rels") == 0 &&
            marker != std::string::npos && (marker == 0 || name[marker - 1] == '/')) {
            const std::string source =
                name.substr(0, marker) + name.substr(marker + 6, name.size() - marker - 11);
            book.partRels[source].load(it->second, name);
            it = parts.erase(it);
        } else {
            ++it;
        }
    }
    book.parts = std::move(parts);
}

namespace {
void appendColumnName(std::string& out, uint32_t column) {
    char letters[8];
    char* p = letters + sizeof letters;
    while (column > 0) {
        *--p = char('A' + (column - 1) % 26);
        column = (column - 1) / 26;
    }
    out.append(p, letters + sizeof letters);
}
} // namespace

void saveWorksheet(SheetData& sheet, bool active, const std::vector<uint32_t>& remap, ZipWriter& zip) {
    pugi::xml_node root = sheet.doc.document_element();
    for (const char* name : {"cols", "mergeCells"})
        while (pugi::xml_node n = child(root, name))
            root.remove_child(n);
    if (!sheet.columns.empty()) {
        pugi::xml_node cols = insertInOrder(root, "cols", worksheetChildOrder());
        for (const Column& c : sheet.columns) {
            pugi::xml_node col = cols.append_child("col");
            col.append_attribute("min") = c.min;
            col.append_attribute("max") = c.max;
            for (const auto& [n, v] : c.attributes)
                col.append_attribute(n.c_str()) = v.c_str();
            if (c.style)
                col.append_attribute("style") = *c.style;
        }
    }
    if (!sheet.merges.empty()) {
        pugi::xml_node merges = insertInOrder(root, "mergeCells", worksheetChildOrder());
        merges.append_attribute("count") = uint32_t(sheet.merges.size());
        for (const RangeRef& m : sheet.merges)
            merges.append_child("mergeCell").append_attribute("ref") = formatRangeRef(m).c_str();
    }
    // The used area.
    RangeRef used{{1, 1}, {1, 1}};
    bool any = false;
    for (const auto& [r, row] : sheet.rows) {
        for (const Cell& c : row.cells) {
            if (!any) {
                used = {{r, c.column}, {r, c.column}};
                any = true;
            }
            used.first.row = std::min(used.first.row, r);
            used.last.row = std::max(used.last.row, r);
            used.first.column = std::min(used.first.column, c.column);
            used.last.column = std::max(used.last.column, c.column);
        }
    }
    pugi::xml_node dimension = child(root, "dimension");
    if (!dimension)
        dimension = insertInOrder(root, "dimension", worksheetChildOrder());
    dimension.remove_attributes();
    dimension.append_attribute("ref") = formatRangeRef(used).c_str();
    if (pugi::xml_node views = child(root, "sheetViews")) {
        bool first = true;
        for (pugi::xml_node v : views.children("sheetView")) {
            v.remove_attribute("tabSelected");
            if (active && first)
                v.append_attribute("tabSelected") = "1";
            first = false;
        }
    }

    const std::string skeleton = toXml(sheet.doc);
    const size_t start = skeleton.find("<sheetData");
    const size_t end = skeleton.find('>', start);
    // Written in pieces of about kPiece bytes, each deflated as it is done: the sheet's text is never
    // whole in memory.
    constexpr size_t kPiece = 64 * 1024;
    std::string out;
    out.reserve(kPiece + 4096);
    auto flush = [&] {
        zip.write(out);
        out.clear();
    };
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    out.append(skeleton, 0, start);
    out += "<sheetData>";
    static const CellExtra none;
    char number[kNumberChars];
    auto appendUnsigned = [&](uint32_t v) { out.append(number, std::to_chars(number, number + 16, v).ptr); };
    for (const auto& [r, row] : sheet.rows) {
        char rowText[16];
        const size_t rowLength = size_t(std::to_chars(rowText, rowText + sizeof rowText, r).ptr - rowText);
        out += "<row r=\"";
        out.append(rowText, rowLength);
        out += '"';
        if (row.style) {
            out += " s=\"";
            appendUnsigned(*row.style);
            out += '"';
        }
        for (const auto& [n, v] : row.attributes) {
            out += ' ';
            out += n;
            out += "=\"";
            appendEscaped(out, v);
            out += '"';
        }
        if (row.cells.empty()) {
            out += "/>";
            continue;
        }
        out += '>';
        for (const Cell& c : row.cells) {
            out += "<c r=\"";
            appendColumnName(out, c.column);
            out.append(rowText, rowLength);
            out += '"';
            if (c.style) {
                out += " s=\"";
                appendUnsigned(c.style);
                out += '"';
            }
            const CellExtra& extra = c.extra == kNoExtra ? none : sheet.extras[c.extra];
            switch (c.type) {
            case CellType::Shared:
                out += " t=\"s\"";
                break;
            case CellType::Boolean:
                out += " t=\"b\"";
                break;
            case CellType::Error:
                out += " t=\"e\"";
                break;
            case CellType::FormulaText:
                out += " t=\"str\"";
                break;
            case CellType::Other:
                out += " t=\"";
                appendEscaped(out, extra.typeAttr);
                out += '"';
                break;
            default:
                break;
            }
            if (c.type == CellType::Blank && extra.formula.empty()) {
                out += "/>";
                continue;
            }
            out += '>';
            out += extra.formula;
            if (c.type == CellType::Shared) {
                out += "<v>";
                appendUnsigned(remap[c.index]);
                out += "</v>";
            } else if (c.type == CellType::Number && !c.numberAsWritten) {
                out += "<v>";
                out.append(number, writeNumber(number, c.number));
                out += "</v>";
            } else if (c.type != CellType::Blank) {
                out += "<v>";
                appendEscaped(out, extra.value);
                out += "</v>";
            }
            out += "</c>";
        }
        out += "</row>";
        if (out.size() >= kPiece)
            flush();
    }
    out += "</sheetData>";
    // Skip the empty element "<sheetData/>" or "<sheetData />" of the skeleton.
    out.append(skeleton, end + 1, std::string::npos);
    flush();
}

std::string saveWorkbook(WorkbookData& book) {
    // Shared strings in use, numbered in order of first use.
    std::vector<uint32_t> remap(book.strings.size(), UINT32_MAX);
    std::vector<uint32_t> used;
    size_t references = 0;
    for (const auto& sheet : book.sheets)
        for (const auto& [r, row] : sheet->rows)
            for (const Cell& c : row.cells)
                if (c.type == CellType::Shared) {
                    ++references;
                    if (remap[c.index] == UINT32_MAX) {
                        remap[c.index] = uint32_t(used.size());
                        used.push_back(c.index);
                    }
                }

    std::map<std::string, std::string> out;                        // part name -> bytes
    std::map<std::string, std::pair<SheetData*, bool>> worksheets; // part name -> sheet, active
    std::map<std::string, std::string> types;                      // part name -> content type, for overrides

    // Workbook relationships: carried ones, then styles, strings and sheets.
    Relationships rels;
    for (const Relationship& r : book.workbookRels.items())
        if (r.type != reltype::worksheet && r.type != reltype::styles && r.type != reltype::sharedStrings &&
            r.type != reltype::calcChain && r.type != reltype::vbaProject)
            rels.items().push_back(r);
    const std::string dir = book.workbookPart.substr(0, book.workbookPart.rfind('/') + 1);
    auto ownName = [&](const std::string& wanted) {
        std::string name = dir + wanted;
        if (book.partExists(name))
            name = book.newPartName(dir + wanted.substr(0, wanted.find('.')) + "#.xml");
        return name;
    };
    const std::string stylesPart = ownName("styles.xml");
    rels.add(reltype::styles, relativeTarget(book.workbookPart, stylesPart));
    out[stylesPart] = book.styles.save();
    types[stylesPart] = ctype::styles;
    if (!used.empty()) {
        const std::string sstPart = ownName("sharedStrings.xml");
        rels.add(reltype::sharedStrings, relativeTarget(book.workbookPart, sstPart));
        out[sstPart] = book.strings.save(used, references);
        types[sstPart] = ctype::sharedStrings;
    }

    pugi::xml_document wb;
    wb.reset(book.workbookDoc);
    pugi::xml_node root = wb.document_element();
    const std::string rPrefix = relationshipPrefix(root);
    pugi::xml_node sheets = insertInOrder(root, "sheets", kWorkbookOrder);
    std::deque<std::string> queue; // carried parts to write
    for (size_t i = 0; i < book.sheets.size(); ++i) {
        SheetData& sheet = *book.sheets[i];
        const std::string id =
            rels.add(reltype::worksheet, relativeTarget(book.workbookPart, sheet.partName));
        pugi::xml_node s = sheets.append_child("sheet");
        s.append_attribute("name") = sheet.name.c_str();
        s.append_attribute("sheetId") = sheet.sheetId;
        if (!sheet.state.empty())
            s.append_attribute("state") = sheet.state.c_str();
        s.append_attribute((rPrefix + ":id").c_str()) = id.c_str();
        out[sheet.partName].clear(); // written into the archive below
        worksheets[sheet.partName] = {&sheet, i == book.activeTab};
        types[sheet.partName] = ctype::worksheet;
        // Relationships to parts that are gone (for example a dropped calculation chain) are left out.
        Relationships sheetRels;
        for (const Relationship& r : sheet.rels.items()) {
            const std::string target = resolveTarget(sheet.partName, r.target);
            if (r.external || book.partExists(target)) {
                sheetRels.items().push_back(r);
                if (!r.external)
                    queue.push_back(target);
            }
        }
        if (!sheetRels.empty())
            out[relsPartName(sheet.partName)] = sheetRels.save();
    }
    if (!book.names.empty()) {
        pugi::xml_node names = insertInOrder(root, "definedNames", kWorkbookOrder);
        for (const NameData& n : book.names) {
            pugi::xml_node e = names.append_child("definedName");
            e.append_attribute("name") = n.name.c_str();
            if (n.localSheet)
                e.append_attribute("localSheetId") = *n.localSheet;
            for (const auto& [an, av] : n.attributes)
                e.append_attribute(an.c_str()) = av.c_str();
            e.text().set(n.formula.c_str());
        }
    }
    if (pugi::xml_node views = child(root, "bookViews")) {
        for (pugi::xml_node v : views.children("workbookView")) {
            v.remove_attribute("activeTab");
            v.remove_attribute("firstSheet");
            if (book.activeTab > 0)
                v.append_attribute("activeTab") = book.activeTab;
        }
    }
    out[book.workbookPart] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n" + toXml(wb);
    types[book.workbookPart] = ctype::workbook;

    for (const Relationship& r : rels.items())
        if (!r.external && r.type != reltype::worksheet && r.type != reltype::styles &&
            r.type != reltype::sharedStrings)
            queue.push_back(resolveTarget(book.workbookPart, r.target));
    out[relsPartName(book.workbookPart)] = rels.save();

    // Package relationships, then every carried part reachable from what is written.
    Relationships packageRels;
    for (const Relationship& r : book.packageRels.items()) {
        const std::string target = resolveTarget("", r.target);
        if (r.type == reltype::officeDocument) {
            Relationship office = r;
            office.target = book.workbookPart;
            packageRels.items().push_back(office);
        } else if (r.external || book.parts.count(target)) {
            packageRels.items().push_back(r);
            if (!r.external)
                queue.push_back(target);
        }
    }
    out["_rels/.rels"] = packageRels.save();
    while (!queue.empty()) {
        const std::string name = queue.front();
        queue.pop_front();
        if (out.count(name))
            continue;
        if (auto d = book.drawings.find(name); d != book.drawings.end()) {
            out[name] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n" + toXml(*d->second);
            types[name] = ctype::drawing;
        } else if (auto p = book.parts.find(name); p != book.parts.end()) {
            out[name] = p->second;
        } else {
            continue;
        }
        if (auto r = book.partRels.find(name); r != book.partRels.end() && !r->second.empty()) {
            Relationships kept;
            for (const Relationship& rel : r->second.items()) {
                const std::string target = resolveTarget(name, rel.target);
                if (rel.external || book.partExists(target)) {
                    kept.items().push_back(rel);
                    if (!rel.external)
                        queue.push_back(target);
                }
            }
            out[relsPartName(name)] = kept.save();
        }
    }

    // Content types: defaults by extension, overrides for the rest.
    std::map<std::string, std::string> defaults = book.contentDefaults;
    defaults["rels"] = ctype::rels;
    defaults["xml"] = "application/xml";
    const std::map<std::string, std::string> known = {
        {"png", "image/png"},
        {"jpeg", "image/jpeg"},
        {"jpg", "image/jpeg"},
        {"bmp", "image/bmp"},
        {"gif", "image/gif"},
        {"emf", "image/x-emf"},
        {"wmf", "image/x-wmf"},
        {"vml", "application/vnd.openxmlformats-officedocument.vmlDrawing"},
        {"bin", "application/vnd.openxmlformats-officedocument.spreadsheetml.printerSettings"}};
    std::string overrides;
    for (const auto& [name, bytes] : out) {
        const std::string ext = extensionOf(name);
        if (ext == "rels")
            continue;
        std::string type;
        if (auto t = types.find(name); t != types.end())
            type = t->second;
        else if (auto o = book.contentOverrides.find(name); o != book.contentOverrides.end())
            type = o->second;
        if (type.empty()) {
            if (!defaults.count(ext))
                defaults[ext] = known.count(ext) ? known.at(ext) : "application/octet-stream";
            continue;
        }
        if (auto d = defaults.find(ext); d != defaults.end() && d->second == type)
            continue;
        overrides += "<Override PartName=\"/" + escaped(name) + "\" ContentType=\"" + escaped(type) + "\"/>";
    }
    std::string contentTypes =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">";
    for (const auto& [ext, type] : defaults)
        if (!ext.empty())
            contentTypes +=
                "<Default Extension=\"" + escaped(ext) + "\" ContentType=\"" + escaped(type) + "\"/>";
    contentTypes += overrides + "</Types>";

    ZipWriter zip;
    zip.add("[Content_Types].xml", contentTypes);
    for (const auto& [name, bytes] : out) {
        if (auto w = worksheets.find(name); w != worksheets.end()) {
            zip.begin(name);
            saveWorksheet(*w->second.first, w->second.second, remap, zip);
            zip.end();
        } else {
            zip.add(name, bytes);
        }
    }
    return zip.finish();
}

PartMap newWorkbookParts() {
    PartMap parts;
    parts["[Content_Types].xml"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
    parts["_rels/.rels"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" +
        reltype::officeDocument +
        "\" Target=\"xl/workbook.xml\"/>"
        "</Relationships>";
    parts["xl/workbook.xml"] = std::string("<workbook xmlns=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs +
                               "\"><bookViews><workbookView/></bookViews><sheets><sheet name=\"Sheet1\" "
                               "sheetId=\"1\" r:id=\"rId1\"/>"
                               "</sheets><calcPr calcId=\"191029\"/></workbook>";
    parts["xl/_rels/workbook.xml.rels"] =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" +
        reltype::worksheet +
        "\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"" +
        reltype::styles + "\" Target=\"styles.xml\"/></Relationships>";
    parts["xl/styles.xml"] = StyleSheet::makeDefault("ＭＳ Ｐゴシック", 11).save();
    parts["xl/worksheets/sheet1.xml"] =
        std::string("<worksheet xmlns=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs +
        "\"><dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"13.5\"/><sheetData/>"
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
        "</worksheet>";
    return parts;
}

} // namespace kemnoa::xlsx
