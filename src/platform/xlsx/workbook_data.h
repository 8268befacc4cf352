#pragma once
// The in-memory form of a workbook, shared by the engine's sources (not part of the interface).

#include "platform/xlsx/cell_ref.h"
#include "platform/xlsx/relationships.h"
#include "platform/xlsx/string_table.h"
#include "platform/xlsx/styles.h"
#include "platform/xlsx/workbook.h"
#include "platform/xlsx/zip_package.h"

#include <map>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace kemnoa::xlsx {

enum class CellType : uint8_t {
    Blank,       // formatted, no value
    Number,      // number, or (numberAsWritten) the text in the cell's extra value
    Shared,      // index: shared string
    Boolean,     // extra value: "0" / "1"
    Error,       // extra value: "#N/A" ...
    FormulaText, // extra value: the cached text of a formula (t="str")
    Other,       // extra value: as written, t kept in the extra `typeAttr`
};

inline constexpr uint32_t kNoExtra = UINT32_MAX;

// The parts few cells have, kept beside the cells of a sheet (SheetData::extras).
struct CellExtra {
    std::string value;   // the value as written, for the types that keep text (see CellType)
    std::string formula; // the <f> element as written, or empty
    std::string typeAttr;
};

// A cell is small: most cells hold a number or a shared string and a format, and a sheet may hold
// hundreds of thousands of them.
struct Cell {
    uint32_t column = 0;
    uint32_t style = 0;
    uint32_t extra = kNoExtra; // index into SheetData::extras
    CellType type = CellType::Blank;
    bool numberAsWritten = false; // Number: its text is the extra value, kept as the file had it
    union {
        double number = 0; // Number without text of its own: written in its shortest form
        uint32_t index;    // Shared: shared string index
    };
};

struct Row {
    std::vector<std::pair<std::string, std::string>> attributes; // without r, spans and s
    std::optional<uint32_t> style;
    std::vector<Cell> cells; // ordered by column
    Cell* find(uint32_t column);
    Cell& at(uint32_t column); // inserts an empty cell in the row's format
    std::optional<double> height() const;
};

// The rows of a sheet by number, in ascending order. Sheets are mostly filled and read top down, so a
// sorted vector serves: appending is cheap, lookups are a binary search, walking is in order.
class RowMap {
public:
    using value_type = std::pair<uint32_t, Row>;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;

    Row& operator[](uint32_t number);
    iterator find(uint32_t number);
    const_iterator find(uint32_t number) const;
    size_t count(uint32_t number) const { return find(number) == end() ? 0 : 1; }
    // Adds a row after the last one (number greater than every row's); returns it.
    Row& append(uint32_t number, Row row);

    iterator begin() { return rows_.begin(); }
    iterator end() { return rows_.end(); }
    const_iterator begin() const { return rows_.begin(); }
    const_iterator end() const { return rows_.end(); }
    auto rbegin() const { return rows_.rbegin(); }
    bool empty() const { return rows_.empty(); }
    size_t size() const { return rows_.size(); }

private:
    std::vector<value_type> rows_;
};

struct Column {
    uint32_t min = 0, max = 0;
    std::vector<std::pair<std::string, std::string>> attributes; // without min, max and style
    std::optional<uint32_t> style;
    std::optional<double> width() const;
};

struct SheetData {
    std::string name;
    std::string partName;
    uint32_t sheetId = 0;
    std::string state;      // "", "hidden", "veryHidden"
    pugi::xml_document doc; // the worksheet; sheetData, cols and mergeCells are kept below
    RowMap rows;
    std::vector<CellExtra> extras; // of the cells that have any
    std::vector<Column> columns;   // ordered, not overlapping
    std::vector<RangeRef> merges;
    Relationships rels;

    Cell* find(const CellRef& ref);
    Cell& at(const CellRef& ref); // creates the cell in the row's or column's format
    const CellExtra* extraOf(const Cell& cell) const {
        return cell.extra == kNoExtra ? nullptr : &extras[cell.extra];
    }
    CellExtra& extraFor(Cell& cell); // adds the cell's extra part when it has none
    const std::string& formulaOf(const Cell& cell) const;
    // Value setters: each drops the formula and the previous value.
    void setBlank(Cell& cell);
    void setNumber(Cell& cell, double value);
    void setShared(Cell& cell, uint32_t index);
    uint32_t columnStyle(uint32_t column) const;
    double columnWidthChars(uint32_t column) const; // as stored, default when unset
    bool hasColumnWidth(uint32_t column) const;
    double rowHeightPoints(uint32_t row) const;
    void setColumnWidth(uint32_t first, uint32_t last, double storedWidth);
};

struct NameData {
    std::string name;
    std::optional<uint32_t> localSheet; // index from 0
    std::string formula;
    std::vector<std::pair<std::string, std::string>> attributes; // hidden, comment, ...
};

struct WorkbookData {
    PartMap parts; // parts carried as they are (theme, properties, media, drawings, printer settings)
    std::map<std::string, std::string> contentDefaults;  // extension -> type
    std::map<std::string, std::string> contentOverrides; // part name -> type
    Relationships packageRels;
    std::string workbookPart = "xl/workbook.xml";
    pugi::xml_document workbookDoc;
    Relationships workbookRels;
    std::vector<std::unique_ptr<SheetData>> sheets;
    std::vector<NameData> names;
    StyleSheet styles;
    StringTable strings;
    std::map<std::string, Relationships> partRels; // rels of carried parts, by part name
    std::map<std::string, std::unique_ptr<pugi::xml_document>> drawings; // parsed drawing parts
    uint32_t activeTab = 0;
    // Results of format changes: (cell format, change) -> cell format. The style tables only grow,
    // so an entry never goes stale; it spares building and comparing format keys for every cell.
    std::unordered_map<std::string, uint32_t> changeIds;
    std::unordered_map<uint64_t, uint32_t> changedFormats;
    uint32_t changeId(const std::string& description);
    // The last results of changedFormats, by (format, change): a column or block of equal formats
    // finds its result here without a hash lookup.
    struct RecentChange {
        uint64_t key = UINT64_MAX;
        uint32_t format = 0;
    };
    RecentChange recentChanges[64];
    // The ids of the last font changes and number formats asked for, so that repeating one costs a
    // comparison instead of describing it again.
    std::vector<std::pair<FontChange, uint32_t>> recentFonts;
    std::vector<std::pair<QString, uint32_t>> recentNumberFormats;

    bool partExists(const std::string& name) const;
    // A new part name like pattern "xl/worksheets/sheet#.xml", numbered from 1 upwards.
    std::string newPartName(const std::string& pattern) const;
    pugi::xml_document& drawing(const std::string& partName);
    Relationships& relsOf(const std::string& partName);
    int sheetIndex(const SheetData* sheet) const; // from 0
    SheetData* sheetByName(const std::string& name) const;
};

// Reading and writing the parts (workbook_io.cpp).
void loadWorkbook(WorkbookData& book, PartMap parts);
std::string saveWorkbook(WorkbookData& book);
void loadWorksheet(WorkbookData& book, SheetData& sheet, const std::string& xml);
// Writes the worksheet's part into the archive's open entry. remap: shared string index in the book ->
// index in the saved table.
void saveWorksheet(SheetData& sheet, bool active, const std::vector<uint32_t>& remap, ZipWriter& zip);
// The parts of a new workbook with one empty sheet.
PartMap newWorkbookParts();

// Sheet-name references inside formulas (formula_refs.cpp): renames oldName to newName, or
// replaces references to it by #REF! when newName is empty.
std::string renameSheetInFormula(const std::string& formula, const std::string& oldName,
                                 const std::string& newName);
// The sheet and range a formula like "'Sheet 1'!$B$2:$C$9" names, if it is that simple.
std::optional<std::pair<std::string, RangeRef>> parseAreaFormula(const std::string& formula);
// A sheet name as it appears in formulas, quoted when needed.
std::string quotedSheetName(const std::string& name);

// Drawings (drawing.cpp).
std::string addPicture(WorkbookData& book, SheetData& sheet, const std::string& imageBytes,
                       const std::string& extension, CellRef at, int64_t cx, int64_t cy,
                       const std::string& namePrefix);
void moveShape(WorkbookData& book, SheetData& sheet, const std::string* name, int number, double right,
               double down);
std::vector<std::string> shapeNames(WorkbookData& book, SheetData& sheet);
std::string drawingPartOf(const SheetData& sheet);
// Copies a drawing part for a copied sheet; returns the new part's name.
std::string copyDrawing(WorkbookData& target, WorkbookData& source, const std::string& partName);

} // namespace kemnoa::xlsx
