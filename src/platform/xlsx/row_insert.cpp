// Inserting rows into a sheet, as Excel's Rows(n).Insert does, and giving rows the formats of another.
// Everything at or below the insertion point moves down together: cells, row formats and heights,
// merged areas, the sheet's defined names (print area, print titles, named areas), pictures, page
// breaks and the ranges of conditional formats, validations and hyperlinks. An area that starts above
// the insertion point and ends at or below it grows.

#include "platform/xlsx/workbook.h"
#include "platform/xlsx/workbook_data.h"
#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/xml_util.h"

#include <QString>
#include <cctype>

namespace kemnoa::xlsx {
namespace {

bool isNameChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '.' || c >= 0x80;
}

uint32_t shifted(uint32_t row, uint32_t at, uint32_t count) {
    return row >= at ? row + count : row;
}

// A row or cell reference at f[i]: optional "$", column letters (for a cell), optional "$", digits.
struct RefPart {
    size_t end = 0;
    size_t rowStart = 0; // where the digits begin; == end when there are none
    uint32_t row = 0;
    bool hasColumn = false;
};

std::optional<RefPart> readRefPart(const std::string& f, size_t i) {
    RefPart p;
    size_t j = i;
    if (j < f.size() && f[j] == '$')
        ++j;
    size_t letters = 0;
    while (j < f.size() && std::isalpha(static_cast<unsigned char>(f[j])) && letters < 4) {
        ++j;
        ++letters;
    }
    if (letters > 3)
        return std::nullopt;
    p.hasColumn = letters > 0;
    if (p.hasColumn && j < f.size() && f[j] == '$')
        ++j;
    p.rowStart = j;
    while (j < f.size() && std::isdigit(static_cast<unsigned char>(f[j])))
        ++j;
    if (j > p.rowStart) {
        const std::string digits = f.substr(p.rowStart, j - p.rowStart);
        if (digits.size() > 7)
            return std::nullopt;
        p.row = uint32_t(std::stoul(digits));
        if (p.row < 1 || p.row > kMaxRow)
            return std::nullopt;
    }
    if (!p.hasColumn && j == p.rowStart)
        return std::nullopt;
    p.end = j;
    return p;
}

// Shifts the rows of references to sheetName in a defined name's formula ("'SK'!$B$36:$AZ$55",
// "SK!$15:$15", lists joined by commas). References to other sheets and text literals stay as they are.
std::string shiftRowsInFormula(const std::string& f, const std::string& sheetName, uint32_t at,
                               uint32_t count) {
    std::string out;
    size_t i = 0;
    auto sameSheet = [&](const std::string& name) {
        return QString::fromStdString(name).compare(QString::fromStdString(sheetName), Qt::CaseInsensitive) ==
               0;
    };
    while (i < f.size()) {
        const char c = f[i];
        std::optional<std::string> qualifier;
        size_t start = i;
        if (c == '"') {
            size_t j = i + 1;
            while (j < f.size() && !(f[j] == '"' && (j + 1 >= f.size() || f[j + 1] != '"')))
                j += f[j] == '"' ? 2 : 1;
            out.append(f, i, std::min(j + 1, f.size()) - i);
            i = j + 1;
            continue;
        }
        if (c == '\'') {
            std::string name;
            size_t j = i + 1;
            while (j < f.size()) {
                if (f[j] == '\'' && j + 1 < f.size() && f[j + 1] == '\'') {
                    name += '\'';
                    j += 2;
                } else if (f[j] == '\'') {
                    break;
                } else {
                    name += f[j++];
                }
            }
            if (j + 1 < f.size() && f[j + 1] == '!') {
                qualifier = name;
                i = j + 2;
            } else {
                out.append(f, i, std::min(j + 1, f.size()) - i);
                i = j + 1;
                continue;
            }
        } else if (isNameChar(static_cast<unsigned char>(c))) {
            size_t j = i;
            while (j < f.size() && isNameChar(static_cast<unsigned char>(f[j])))
                ++j;
            if (j < f.size() && f[j] == '!') {
                qualifier = f.substr(i, j - i);
                i = j + 1;
            } else {
                out.append(f, i, j - i);
                i = j;
                continue;
            }
        } else {
            out += c;
            ++i;
            continue;
        }
        out.append(f, start, i - start); // the qualifier as written
        const std::optional<RefPart> first = readRefPart(f, i);
        if (!first || !sameSheet(*qualifier))
            continue;
        std::optional<RefPart> second;
        if (first->end < f.size() && f[first->end] == ':')
            second = readRefPart(f, first->end + 1);
        if (second && second->hasColumn != first->hasColumn)
            second.reset();
        const bool rowsKnown = first->rowStart < first->end && (!second || second->rowStart < second->end);
        if (!rowsKnown) { // a column range "$A:$C" spans every row
            const size_t end = second ? second->end : first->end;
            out.append(f, i, end - i);
            i = end;
            continue;
        }
        const uint32_t n1 = shifted(first->row, at, count);
        const uint32_t n2 = second ? shifted(second->row, at, count) : n1;
        if (n2 > kMaxRow)
            throw WorkbookError(QStringLiteral("行を挿入すると名前の範囲がシートの外に出ます"),
                                xlsxerr::BadArgument);
        out.append(f, i, first->rowStart - i);
        out += std::to_string(n1);
        if (second) {
            out.append(f, first->end, second->rowStart - first->end);
            out += std::to_string(n2);
            i = second->end;
        } else {
            i = first->end;
        }
    }
    return out;
}

RangeRef shiftedArea(RangeRef r, uint32_t at, uint32_t count) {
    if (r.first.row >= at) {
        r.first.row += count;
        r.last.row += count;
    } else if (r.last.row >= at) {
        r.last.row += count;
    }
    return r;
}

// A space-separated list of areas ("A1:B2 D4"), as in sqref attributes.
std::string shiftedAreaList(const std::string& list, uint32_t at, uint32_t count) {
    std::string out;
    size_t i = 0;
    while (i <= list.size()) {
        size_t j = list.find(' ', i);
        if (j == std::string::npos)
            j = list.size();
        const std::string item = list.substr(i, j - i);
        if (!out.empty())
            out += ' ';
        if (const auto r = parseRangeRef(item))
            out += formatRangeRef(shiftedArea(*r, at, count));
        else
            out += item;
        i = j + 1;
    }
    return out;
}

void shiftSheetElements(SheetData& sheet, uint32_t at, uint32_t count) {
    pugi::xml_node root = sheet.doc.document_element();
    for (const char* holder : {"conditionalFormatting", "dataValidations", "hyperlinks", "sheetViews"}) {
        for (pugi::xml_node n = root.first_child(); n; n = n.next_sibling()) {
            if (localName(n) != holder)
                continue;
            struct Walker : pugi::xml_tree_walker {
                uint32_t at, count;
                bool for_each(pugi::xml_node& e) override {
                    for (const char* a : {"sqref", "ref", "activeCell", "topLeftCell"})
                        if (pugi::xml_attribute attr = e.attribute(a))
                            attr.set_value(shiftedAreaList(attr.value(), at, count).c_str());
                    return true;
                }
            } walker;
            walker.at = at;
            walker.count = count;
            if (pugi::xml_attribute attr = n.attribute("sqref"))
                attr.set_value(shiftedAreaList(attr.value(), at, count).c_str());
            n.traverse(walker);
        }
    }
    // A manual page break after row n stays after that row.
    if (pugi::xml_node breaks = child(root, "rowBreaks"))
        for (pugi::xml_node b = breaks.first_child(); b; b = b.next_sibling())
            if (pugi::xml_attribute id = b.attribute("id"); id && id.as_uint() >= at)
                id.set_value(id.as_uint() + count);
}

void shiftDrawing(WorkbookData& book, SheetData& sheet, uint32_t at, uint32_t count) {
    const std::string part = drawingPartOf(sheet);
    if (part.empty())
        return;
    pugi::xml_document& doc = book.drawing(part);
    for (pugi::xml_node a = doc.document_element().first_child(); a; a = a.next_sibling()) {
        for (const char* marker : {"from", "to"}) {
            pugi::xml_node row = child(child(a, marker), "row");
            // Marker rows count from 0.
            if (row && row.text().as_uint() + 1 >= at)
                row.text().set(row.text().as_uint() + count);
        }
    }
}

} // namespace

void Sheet::insertRows(uint32_t row, uint32_t count) {
    book_->sheetIndex(sheet_); // throws for a deleted sheet
    if (row < 1 || row > kMaxRow)
        throw WorkbookError(QStringLiteral("行 %1 はシートの外です").arg(row), xlsxerr::BadArgument);
    if (count == 0)
        return;
    const uint32_t lastUsed = sheet_->rows.empty() ? 0 : sheet_->rows.rbegin()->first;
    uint32_t lastMerged = 0;
    for (const RangeRef& m : sheet_->merges)
        lastMerged = std::max(lastMerged, m.last.row);
    if (uint64_t(std::max(lastUsed, lastMerged)) + count > kMaxRow && std::max(lastUsed, lastMerged) >= row)
        throw WorkbookError(QStringLiteral("行を挿入するとシートの最後の行より下に出ます"),
                            xlsxerr::BadArgument);
    for (const auto& [r, data] : sheet_->rows)
        for (const Cell& c : data.cells)
            if (!sheet_->formulaOf(c).empty())
                throw WorkbookError(QStringLiteral("数式のあるシートには行を挿入できません"),
                                    xlsxerr::BadArgument);

    // Shifting keeps the order of the rows.
    for (auto& entry : sheet_->rows)
        entry.first = shifted(entry.first, row, count);
    for (RangeRef& m : sheet_->merges)
        m = shiftedArea(m, row, count);
    for (NameData& n : book_->names)
        n.formula = shiftRowsInFormula(n.formula, sheet_->name, row, count);
    shiftSheetElements(*sheet_, row, count);
    shiftDrawing(*book_, *sheet_, row, count);
}

double Sheet::rowHeight(uint32_t row) const {
    return sheet_->rowHeightPoints(row);
}

void Sheet::copyRowFormat(uint32_t source, uint32_t first, uint32_t last) {
    book_->sheetIndex(sheet_);
    if (source < 1 || source > kMaxRow || first < 1 || last > kMaxRow || first > last)
        throw WorkbookError(QStringLiteral("行の範囲が正しくありません"), xlsxerr::BadArgument);
    const Row from = sheet_->rows.count(source) ? sheet_->rows[source] : Row{};
    std::vector<RangeRef> rowMerges;
    for (const RangeRef& m : sheet_->merges)
        if (m.first.row == source && m.last.row == source)
            rowMerges.push_back(m);
    for (uint32_t r = first; r <= last; ++r) {
        if (r == source)
            continue;
        Row& to = sheet_->rows[r];
        to.attributes = from.attributes;
        to.style = from.style;
        for (const Cell& c : from.cells)
            to.at(c.column).style = c.style;
        const RangeRef whole{{r, 1}, {r, kMaxColumn}};
        std::erase_if(sheet_->merges, [&](const RangeRef& m) {
            return m.first.row == r && m.last.row == r && m.intersects(whole);
        });
        for (RangeRef m : rowMerges) {
            m.first.row = m.last.row = r;
            sheet_->merges.push_back(m);
        }
    }
}

} // namespace kemnoa::xlsx
