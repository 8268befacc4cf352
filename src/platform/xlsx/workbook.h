#pragma once
// Office Open XML workbooks (.xlsx): open a template or start an empty workbook, copy sheets between
// workbooks, fill and format cells, place pictures, and save in Excel's default format.
//
// Sheets are numbered from 1, as in Excel. Sheet and Range are light handles into their workbook;
// they stay valid until their sheet is deleted or the workbook is destroyed. Every failure throws
// WorkbookError (a kemnoa::Error).

#include "platform/xlsx/cell_ref.h"
#include "platform/xlsx/zip_package.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace kemnoa::xlsx {

struct WorkbookData;
struct SheetData;
class Sheet;

// Excel's ColorIndex for the automatic colour.
inline constexpr int kColorAutomatic = -4105;

enum class Underline { None, Single, Double, SingleAccounting, DoubleAccounting };

// The font properties to change; unset ones keep their value.
struct FontChange {
    std::optional<QString> name;
    std::optional<double> size;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> strikethrough;
    std::optional<bool> superscript;
    std::optional<bool> subscript;
    std::optional<bool> outline;
    std::optional<bool> shadow;
    std::optional<Underline> underline;
    std::optional<int> colorIndex; // Excel's palette index 1-56, or kColorAutomatic
};

struct FontInfo {
    QString name;
    double size = 11;
    bool bold = false, italic = false, strikethrough = false, superscript = false, subscript = false;
    bool outline = false, shadow = false;
    Underline underline = Underline::None;
};

enum class HorizontalAlignment {
    General,
    Left,
    Center,
    Right,
    Fill,
    Justify,
    CenterAcrossSelection,
    Distributed
};

// Excel's XlLineStyle and XlBorderWeight.
enum class LineStyle { None, Continuous, Dash, DashDot, DashDotDot, Dot, Double, SlantDashDot };
enum class BorderWeight { Hairline, Thin, Medium, Thick };

// Excel's XlBordersIndex, as flags.
enum Edge : unsigned {
    EdgeLeft = 1,
    EdgeTop = 2,
    EdgeBottom = 4,
    EdgeRight = 8,
    InsideVertical = 16,
    InsideHorizontal = 32,
    DiagonalDown = 64,
    DiagonalUp = 128,
};

struct CellValue {
    enum class Type { Empty, Number, Text, Boolean, Error };
    Type type = Type::Empty;
    double number = 0;
    QString text; // the text, or the error code ("#N/A")
};

class Range {
public:
    Range(WorkbookData* book, SheetData* sheet, RangeRef ref) : book_(book), sheet_(sheet), ref_(ref) {}
    RangeRef ref() const { return ref_; }
    QString address() const;
    // The cell at row and column from 1 relative to the upper left corner (may lie outside the range).
    Range cell(uint32_t row, uint32_t column) const;

    // Sets every cell of the range. A text that reads as a number is stored as that number unless the
    // cell is formatted as text ("@"), as Excel does; an empty text empties the cell.
    void setValue(const QString& text);
    void setNumber(double value);
    void setText(const QString& text); // always stored as text
    void clear();                      // removes the values, keeps the formats

    void merge(); // keeps the upper-left value, like Excel
    void setFont(const FontChange& change);
    void setNumberFormat(const QString& code);
    void setHorizontalAlignment(HorizontalAlignment alignment);
    void setBorders(unsigned edges, LineStyle style, BorderWeight weight = BorderWeight::Thin);
    // Width in characters of the standard font (Excel's ColumnWidth) for every column of the range.
    void setColumnWidth(double characters);
    // Height in points for every row of the range (Excel's RowHeight).
    void setRowHeight(double points);

    // Values and formats of the upper-left cell.
    CellValue value() const;
    QString text() const; // the value as text ("" when empty; numbers in their shortest form)
    QString numberFormat() const;
    FontInfo font() const;
    double fontSize() const { return font().size; }
    HorizontalAlignment horizontalAlignment() const;

private:
    template <class F> void forEachCell(F f);
    WorkbookData* book_;
    SheetData* sheet_;
    RangeRef ref_;
};

class Sheet {
public:
    Sheet(WorkbookData* book, SheetData* sheet) : book_(book), sheet_(sheet) {}
    QString name() const;
    // Names the sheet as Excel allows (1-31 characters, none of : \ / ? * [ ], unique); defined names
    // referring to it follow.
    void setName(const QString& name);
    int index() const; // from 1

    Range range(const QString& reference) const; // "AU1", "B27:D27"
    Range cell(uint32_t row, uint32_t column) const;
    // An area named in the workbook, looked up among this sheet's own names first.
    Range namedRange(const QString& name) const;

    // Places a picture (PNG, JPEG or BMP) with its upper-left corner on the cell, at its natural size
    // (96 dpi) or at the given size in points. Returns the new shape's name. (In kemnoa_xlsx_pictures.)
    QString insertPicture(const QString& imagePath, const QString& cell, double widthPoints = 0,
                          double heightPoints = 0);
    QString insertPictureData(const QByteArray& image, const QString& cell, double widthPoints = 0,
                              double heightPoints = 0, const QString& namePrefix = QStringLiteral("Picture"));
    // Moves a shape by points to the right and down; shapes are found by name or by number from 1.
    void moveShape(const QString& name, double right, double down);
    void moveShape(int number, double right, double down);
    QStringList shapeNames() const;

    // Inserts count empty rows before row, as Excel's Rows(row).Insert: cells, row formats and
    // heights, merged areas, the sheet's defined names, pictures and page breaks at or below it move
    // down; areas reaching across it grow. Refused for a sheet holding formulas (they would not follow).
    void insertRows(uint32_t row, uint32_t count);
    // Gives rows first..last the formats of row source: cell formats, row format and height, and the
    // merged areas lying within that row. Values stay.
    void copyRowFormat(uint32_t source, uint32_t first, uint32_t last);

    QList<RangeRef> mergedAreas() const;
    double columnWidth(uint32_t column) const; // as stored (characters plus padding)
    double rowHeight(uint32_t row) const;      // points, the sheet's default when the row has none
    SheetData* data() const { return sheet_; }
    WorkbookData* book() const { return book_; }

private:
    WorkbookData* book_;
    SheetData* sheet_;
};

struct DefinedName {
    QString name;
    int sheet = 0; // the sheet (from 1) it belongs to; 0 for a workbook-wide name
    QString formula;
};

class Workbook {
public:
    static Workbook open(const QString& path, const ReadLimits& limits = {});
    static Workbook fromBytes(const std::string& bytes, const ReadLimits& limits = {});
    // A new workbook with one empty sheet "Sheet1" in the font "ＭＳ Ｐゴシック" 11.
    static Workbook create();
    Workbook(Workbook&&) noexcept;
    Workbook& operator=(Workbook&&) noexcept;
    ~Workbook();

    // Saves as .xlsx, replacing a file of that name.
    void save(const QString& path);
    std::string toBytes();

    int sheetCount() const;
    QStringList sheetNames() const;
    Sheet sheet(int index) const;
    std::optional<Sheet> sheet(const QString& name) const;
    // Copies a sheet (of this or another workbook) after the last sheet, with its cells, formats,
    // merges, column widths, row heights, page setup, pictures and the defined names of the sheet.
    Sheet copySheetToEnd(const Sheet& source);
    void deleteSheet(int index);
    void activate(int index);
    int activeSheet() const;

    QList<DefinedName> definedNames() const;
    void setDefinedName(const QString& name, const QString& formula, int sheet = 0);

    WorkbookData* data() const { return d_.get(); }

private:
    Workbook();
    std::unique_ptr<WorkbookData> d_;
};

} // namespace kemnoa::xlsx
