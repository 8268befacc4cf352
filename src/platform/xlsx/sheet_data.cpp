// Row, column and cell storage of a sheet, and the part bookkeeping of a workbook.

#include "platform/xlsx/cell_values.h"
#include "platform/xlsx/workbook_data.h"
#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/xml_util.h"

#include <algorithm>
#include <cstdlib>

namespace kemnoa::xlsx {
namespace {

std::optional<double> numberAttribute(const std::vector<std::pair<std::string, std::string>>& attrs,
                                      const char* name) {
    for (const auto& [n, v] : attrs)
        if (n == name)
            return std::strtod(v.c_str(), nullptr);
    return std::nullopt;
}

} // namespace

Cell* Row::find(uint32_t column) {
    auto it = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const Cell& c, uint32_t col) { return c.column < col; });
    return it != cells.end() && it->column == column ? &*it : nullptr;
}

Cell& Row::at(uint32_t column) {
    // Cells are mostly written left to right: try the end first.
    if (cells.empty() || cells.back().column < column) {
        cells.push_back(Cell{column});
        return cells.back();
    }
    auto it = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const Cell& c, uint32_t col) { return c.column < col; });
    if (it != cells.end() && it->column == column)
        return *it;
    return *cells.insert(it, Cell{column});
}

std::optional<double> Row::height() const {
    return numberAttribute(attributes, "ht");
}

std::optional<double> Column::width() const {
    return numberAttribute(attributes, "width");
}

namespace {
bool rowBefore(const RowMap::value_type& row, uint32_t number) {
    return row.first < number;
}
} // namespace

Row& RowMap::operator[](uint32_t number) {
    if (rows_.empty() || rows_.back().first < number)
        return append(number, Row{});
    auto it = std::lower_bound(rows_.begin(), rows_.end(), number, rowBefore);
    if (it->first != number)
        it = rows_.emplace(it, number, Row{});
    return it->second;
}

RowMap::iterator RowMap::find(uint32_t number) {
    auto it = std::lower_bound(rows_.begin(), rows_.end(), number, rowBefore);
    return it != rows_.end() && it->first == number ? it : rows_.end();
}

RowMap::const_iterator RowMap::find(uint32_t number) const {
    auto it = std::lower_bound(rows_.begin(), rows_.end(), number, rowBefore);
    return it != rows_.end() && it->first == number ? it : rows_.end();
}

Row& RowMap::append(uint32_t number, Row row) {
    // Rows of a sheet tend to be alike: give a new row room for as many cells as the last one has.
    if (row.cells.empty() && !rows_.empty())
        row.cells.reserve(rows_.back().second.cells.size());
    return rows_.emplace_back(number, std::move(row)).second;
}

Cell* SheetData::find(const CellRef& ref) {
    auto it = rows.find(ref.row);
    return it == rows.end() ? nullptr : it->second.find(ref.column);
}

Cell& SheetData::at(const CellRef& ref) {
    Row& row = rows[ref.row];
    if (Cell* c = row.find(ref.column))
        return *c;
    Cell& cell = row.at(ref.column);
    // A new cell takes the format of its row, else of its column, as in Excel.
    cell.style = row.style ? *row.style : columnStyle(ref.column);
    return cell;
}

CellExtra& SheetData::extraFor(Cell& cell) {
    if (cell.extra == kNoExtra) {
        cell.extra = uint32_t(extras.size());
        extras.emplace_back();
    }
    return extras[cell.extra];
}

const std::string& SheetData::formulaOf(const Cell& cell) const {
    static const std::string none;
    return cell.extra == kNoExtra ? none : extras[cell.extra].formula;
}

void SheetData::setBlank(Cell& cell) {
    if (cell.extra != kNoExtra) {
        extras[cell.extra].formula.clear();
        extras[cell.extra].value.clear();
    }
    cell.type = CellType::Blank;
    cell.numberAsWritten = false;
    cell.number = 0;
}

void SheetData::setNumber(Cell& cell, double value) {
    setBlank(cell);
    cell.type = CellType::Number;
    cell.number = value;
}

void SheetData::setShared(Cell& cell, uint32_t index) {
    setBlank(cell);
    cell.type = CellType::Shared;
    cell.index = index;
}

uint32_t SheetData::columnStyle(uint32_t column) const {
    for (const Column& c : columns)
        if (column >= c.min && column <= c.max)
            return c.style.value_or(0);
    return 0;
}

double SheetData::columnWidthChars(uint32_t column) const {
    for (const Column& c : columns)
        if (column >= c.min && column <= c.max)
            if (auto w = c.width())
                return *w;
    const pugi::xml_node format = child(doc.document_element(), "sheetFormatPr");
    if (pugi::xml_attribute w = format.attribute("defaultColWidth"))
        return w.as_double();
    // Excel's default: eight characters of the standard font plus padding.
    return 8 + format.attribute("baseColWidth").as_double(8) - 8 + 0.43;
}

bool SheetData::hasColumnWidth(uint32_t column) const {
    for (const Column& c : columns)
        if (column >= c.min && column <= c.max && c.width())
            return true;
    return false;
}

double SheetData::rowHeightPoints(uint32_t row) const {
    if (auto it = rows.find(row); it != rows.end())
        if (auto h = it->second.height())
            return *h;
    const pugi::xml_node format = child(doc.document_element(), "sheetFormatPr");
    return format.attribute("defaultRowHeight").as_double(13.5);
}

void SheetData::setColumnWidth(uint32_t first, uint32_t last, double storedWidth) {
    // Split the entries that overlap [first, last], then give the range its own entries.
    std::vector<Column> result;
    for (const Column& c : columns) {
        if (c.max < first || c.min > last) {
            result.push_back(c);
            continue;
        }
        if (c.min < first) {
            Column left = c;
            left.max = first - 1;
            result.push_back(left);
        }
        for (uint32_t col = std::max(c.min, first); col <= std::min(c.max, last); ++col) {
            Column mid = c;
            mid.min = mid.max = col;
            result.push_back(mid);
        }
        if (c.max > last) {
            Column right = c;
            right.min = last + 1;
            result.push_back(right);
        }
    }
    for (uint32_t col = first; col <= last; ++col) {
        auto it = std::find_if(result.begin(), result.end(),
                               [&](const Column& c) { return c.min == col && c.max == col; });
        if (it == result.end()) {
            Column c;
            c.min = c.max = col;
            result.push_back(c);
            it = result.end() - 1;
        }
        std::erase_if(it->attributes,
                      [](const auto& a) { return a.first == "width" || a.first == "customWidth"; });
        it->attributes.emplace_back("width", numberText(storedWidth));
        it->attributes.emplace_back("customWidth", "1");
    }
    std::sort(result.begin(), result.end(), [](const Column& a, const Column& b) { return a.min < b.min; });
    // Join neighbours that are alike, as Excel writes them.
    std::vector<Column> joined;
    for (Column& c : result) {
        if (!joined.empty() && joined.back().max + 1 == c.min && joined.back().attributes == c.attributes &&
            joined.back().style == c.style)
            joined.back().max = c.max;
        else
            joined.push_back(std::move(c));
    }
    columns = std::move(joined);
}

uint32_t WorkbookData::changeId(const std::string& description) {
    return changeIds.emplace(description, uint32_t(changeIds.size())).first->second;
}

bool WorkbookData::partExists(const std::string& name) const {
    if (name == workbookPart || parts.count(name) || drawings.count(name))
        return true;
    for (const auto& s : sheets)
        if (s->partName == name)
            return true;
    return false;
}

std::string WorkbookData::newPartName(const std::string& pattern) const {
    const size_t hash = pattern.find('#');
    for (int n = 1;; ++n) {
        const std::string name = pattern.substr(0, hash) + std::to_string(n) + pattern.substr(hash + 1);
        if (!partExists(name))
            return name;
    }
}

pugi::xml_document& WorkbookData::drawing(const std::string& partName) {
    auto it = drawings.find(partName);
    if (it != drawings.end())
        return *it->second;
    auto doc = std::make_unique<pugi::xml_document>();
    auto p = parts.find(partName);
    if (p == parts.end())
        throw WorkbookError(
            QStringLiteral("図形の部品 %1 がありません").arg(QString::fromStdString(partName)));
    parseXml(*doc, p->second, partName);
    parts.erase(p);
    return *(drawings[partName] = std::move(doc));
}

Relationships& WorkbookData::relsOf(const std::string& partName) {
    for (auto& s : sheets)
        if (s->partName == partName)
            return s->rels;
    if (partName == workbookPart)
        return workbookRels;
    return partRels[partName];
}

int WorkbookData::sheetIndex(const SheetData* sheet) const {
    for (size_t i = 0; i < sheets.size(); ++i)
        if (sheets[i].get() == sheet)
            return int(i);
    throw WorkbookError(QStringLiteral("シートはすでに削除されています"), xlsxerr::BadArgument);
}

SheetData* WorkbookData::sheetByName(const std::string& name) const {
    const QString wanted = QString::fromStdString(name);
    for (const auto& s : sheets)
        if (QString::fromStdString(s->name).compare(wanted, Qt::CaseInsensitive) == 0)
            return s.get();
    return nullptr;
}

} // namespace kemnoa::xlsx
