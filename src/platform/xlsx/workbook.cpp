// Workbook, Sheet and Range: the operations callers use, on top of WorkbookData.

#include "platform/xlsx/workbook.h"

#include "platform/xlsx/cell_values.h"
#include "platform/xlsx/workbook_data.h"
#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/xml_util.h"

#include <algorithm>
#include <cmath>

namespace kemnoa::xlsx {
namespace {

std::string utf8(const QString& s) {
    return s.toStdString();
}
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

[[noreturn]] void badArgument(const QString& text) {
    throw WorkbookError(text, xlsxerr::BadArgument);
}

void checkSheetName(const WorkbookData& book, const QString& name, const SheetData* self) {
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    bool bad = name.isEmpty() || name.size() > 31 || name.startsWith(u'\'') || name.endsWith(u'\'') ||
               name.compare(QStringLiteral("History"), Qt::CaseInsensitive) == 0;
    for (QChar c : name)
        if (forbidden.contains(c) || c.unicode() < 0x20)
            bad = true;
    if (bad)
        badArgument(QStringLiteral("シート名 \"%1\" は使えません").arg(name));
    if (SheetData* other = book.sheetByName(utf8(name)); other && other != self)
        badArgument(QStringLiteral("シート名 \"%1\" はすでに使われています").arg(name));
}

// "Name (2)", "Name (3)" ... as Excel names copies.
std::string uniqueSheetName(const WorkbookData& book, const std::string& base) {
    if (!book.sheetByName(base))
        return base;
    QString stem = qs(base);
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        const QString name = stem.left(31 - suffix.size()) + suffix;
        if (!book.sheetByName(utf8(name)))
            return utf8(name);
    }
}

std::string borderStyle(LineStyle style, BorderWeight weight) {
    const bool medium = weight == BorderWeight::Medium || weight == BorderWeight::Thick;
    switch (style) {
    case LineStyle::None:
        return {};
    case LineStyle::Continuous:
        switch (weight) {
        case BorderWeight::Hairline:
            return "hair";
        case BorderWeight::Thin:
            return "thin";
        case BorderWeight::Medium:
            return "medium";
        case BorderWeight::Thick:
            return "thick";
        }
        return "thin";
    case LineStyle::Dash:
        return medium ? "mediumDashed" : "dashed";
    case LineStyle::DashDot:
        return medium ? "mediumDashDot" : "dashDot";
    case LineStyle::DashDotDot:
        return medium ? "mediumDashDotDot" : "dashDotDot";
    case LineStyle::Dot:
        return weight == BorderWeight::Hairline ? "hair" : "dotted";
    case LineStyle::Double:
        return "double";
    case LineStyle::SlantDashDot:
        return "slantDashDot";
    }
    return {};
}

const char* alignmentName(HorizontalAlignment a) {
    switch (a) {
    case HorizontalAlignment::General:
        return nullptr;
    case HorizontalAlignment::Left:
        return "left";
    case HorizontalAlignment::Center:
        return "center";
    case HorizontalAlignment::Right:
        return "right";
    case HorizontalAlignment::Fill:
        return "fill";
    case HorizontalAlignment::Justify:
        return "justify";
    case HorizontalAlignment::CenterAcrossSelection:
        return "centerContinuous";
    case HorizontalAlignment::Distributed:
        return "distributed";
    }
    return nullptr;
}

void setFlag(Font& font, const char* element, bool on) {
    if (on)
        font.elements[element] = "";
    else
        font.elements.erase(element);
}

bool flag(const Font& font, const char* element) {
    auto it = font.elements.find(element);
    return it != font.elements.end() && it->second.find("val=\"0\"") == std::string::npos &&
           it->second.find("val=\"false\"") == std::string::npos;
}

std::string attrValue(const std::string& attrs) {
    const size_t p = attrs.find("val=\"");
    if (p == std::string::npos)
        return {};
    return attrs.substr(p + 5, attrs.find('"', p + 5) - p - 5);
}

} // namespace

// ---- Range ----

namespace {
// The format of a cell after a change, computed once per (format, change) pair.
template <class F> uint32_t changedFormat(WorkbookData& book, uint32_t xf, uint32_t change, F compute) {
    const uint64_t key = (uint64_t(xf) << 32) | change;
    WorkbookData::RecentChange& recent =
        book.recentChanges[(xf * 0x9E3779B1u + change * 0x85EBCA6Bu) >> 26]; // 64 slots
    if (recent.key == key)
        return recent.format;
    uint32_t result;
    if (auto it = book.changedFormats.find(key); it != book.changedFormats.end()) {
        result = it->second;
    } else {
        result = compute(xf);
        book.changedFormats.emplace(key, result);
    }
    recent = {key, result};
    return result;
}

// The id of a change among the last few asked for, else from its description.
template <class T, class Same, class Describe>
uint32_t recentChangeId(WorkbookData& book, std::vector<std::pair<T, uint32_t>>& recent, const T& change,
                        Same same, Describe describe) {
    for (const auto& [c, id] : recent)
        if (same(c, change))
            return id;
    const uint32_t id = book.changeId(describe());
    if (recent.size() == 8)
        recent.erase(recent.begin());
    recent.emplace_back(change, id);
    return id;
}

bool sameFontChange(const FontChange& a, const FontChange& b) {
    return a.name == b.name && a.size == b.size && a.bold == b.bold && a.italic == b.italic &&
           a.strikethrough == b.strikethrough && a.superscript == b.superscript &&
           a.subscript == b.subscript && a.outline == b.outline && a.shadow == b.shadow &&
           a.underline == b.underline && a.colorIndex == b.colorIndex;
}

template <class T> void describeField(std::string& d, const std::optional<T>& field, char tag) {
    d += '|';
    d += tag;
    if (!field)
        return;
    if constexpr (std::is_same_v<T, QString>)
        d += field->toStdString();
    else if constexpr (std::is_enum_v<T>)
        d += std::to_string(int(*field));
    else
        d += std::to_string(*field);
}

std::string describe(const FontChange& c) {
    std::string d = "font";
    describeField(d, c.name, 'n');
    describeField(d, c.size, 's');
    describeField(d, c.bold, 'b');
    describeField(d, c.italic, 'i');
    describeField(d, c.strikethrough, 'k');
    describeField(d, c.superscript, 'p');
    describeField(d, c.subscript, 'd');
    describeField(d, c.outline, 'o');
    describeField(d, c.shadow, 'h');
    describeField(d, c.underline, 'u');
    describeField(d, c.colorIndex, 'c');
    return d;
}
} // namespace

QString Range::address() const {
    return qs(formatRangeRef(ref_));
}

Range Range::cell(uint32_t row, uint32_t column) const {
    const uint64_t r = uint64_t(ref_.first.row) + row - 1, c = uint64_t(ref_.first.column) + column - 1;
    if (row < 1 || column < 1 || r > kMaxRow || c > kMaxColumn)
        badArgument(QStringLiteral("セル(%1, %2)はシートの外です").arg(row).arg(column));
    const CellRef ref{uint32_t(r), uint32_t(c)};
    return Range(book_, sheet_, {ref, ref});
}

template <class F> void Range::forEachCell(F f) {
    book_->sheetIndex(sheet_); // throws for a deleted sheet
    for (uint32_t r = ref_.first.row; r <= ref_.last.row; ++r)
        for (uint32_t c = ref_.first.column; c <= ref_.last.column; ++c)
            f(sheet_->at({r, c}), r, c);
}

void Range::setValue(const QString& text) {
    if (text.isEmpty()) {
        clear();
        return;
    }
    const std::string value = utf8(text);
    const std::optional<double> number = numberFromText(value);
    if (text.size() > 32767)
        badArgument(QStringLiteral("セルに入る文字数を超えています"));
    uint32_t index = UINT32_MAX;
    forEachCell([&](Cell& cell, uint32_t, uint32_t) {
        if (number && !book_->styles.isTextFormat(cell.style)) {
            sheet_->setNumber(cell, *number);
        } else {
            if (index == UINT32_MAX)
                index = book_->strings.add(value);
            sheet_->setShared(cell, index);
        }
    });
}

void Range::setText(const QString& text) {
    if (text.isEmpty()) {
        clear();
        return;
    }
    if (text.size() > 32767)
        badArgument(QStringLiteral("セルに入る文字数を超えています"));
    const uint32_t index = book_->strings.add(utf8(text));
    forEachCell([&](Cell& cell, uint32_t, uint32_t) { sheet_->setShared(cell, index); });
}

void Range::setNumber(double value) {
    if (!std::isfinite(value))
        badArgument(QStringLiteral("数値ではありません"));
    forEachCell([&](Cell& cell, uint32_t, uint32_t) { sheet_->setNumber(cell, value); });
}

void Range::clear() {
    forEachCell([&](Cell& cell, uint32_t, uint32_t) { sheet_->setBlank(cell); });
}

void Range::merge() {
    if (ref_.first == ref_.last)
        return;
    book_->sheetIndex(sheet_);
    std::erase_if(sheet_->merges, [&](const RangeRef& m) { return m.intersects(ref_); });
    sheet_->merges.push_back(ref_);
    // Excel keeps the upper-left value only.
    forEachCell([&](Cell& cell, uint32_t r, uint32_t c) {
        if (r != ref_.first.row || c != ref_.first.column)
            sheet_->setBlank(cell);
    });
}

void Range::setFont(const FontChange& change) {
    if (change.colorIndex && *change.colorIndex != kColorAutomatic &&
        (*change.colorIndex < 1 || *change.colorIndex > 56))
        badArgument(QStringLiteral("色番号 %1 は使えません").arg(*change.colorIndex));
    StyleSheet& styles = book_->styles;
    const uint32_t id =
        recentChangeId(*book_, book_->recentFonts, change, sameFontChange, [&] { return describe(change); });
    forEachCell([&](Cell& cell, uint32_t, uint32_t) {
        cell.style = changedFormat(*book_, cell.style, id, [&](uint32_t xf) {
            Font font = styles.font(xf);
            if (change.name)
                font.elements["name"] = " val=\"" + escaped(utf8(*change.name)) + "\"";
            if (change.size)
                font.elements["sz"] = " val=\"" + numberText(*change.size) + "\"";
            if (change.bold)
                setFlag(font, "b", *change.bold);
            if (change.italic)
                setFlag(font, "i", *change.italic);
            if (change.strikethrough)
                setFlag(font, "strike", *change.strikethrough);
            if (change.outline)
                setFlag(font, "outline", *change.outline);
            if (change.shadow)
                setFlag(font, "shadow", *change.shadow);
            const std::string vert =
                attrValue(font.elements.count("vertAlign") ? font.elements["vertAlign"] : "");
            if (change.superscript) {
                if (*change.superscript)
                    font.elements["vertAlign"] = " val=\"superscript\"";
                else if (vert == "superscript")
                    font.elements.erase("vertAlign");
            }
            if (change.subscript) {
                if (*change.subscript)
                    font.elements["vertAlign"] = " val=\"subscript\"";
                else if (attrValue(font.elements.count("vertAlign") ? font.elements["vertAlign"] : "") ==
                         "subscript")
                    font.elements.erase("vertAlign");
            }
            if (change.underline) {
                switch (*change.underline) {
                case Underline::None:
                    font.elements.erase("u");
                    break;
                case Underline::Single:
                    font.elements["u"] = "";
                    break;
                case Underline::Double:
                    font.elements["u"] = " val=\"double\"";
                    break;
                case Underline::SingleAccounting:
                    font.elements["u"] = " val=\"singleAccounting\"";
                    break;
                case Underline::DoubleAccounting:
                    font.elements["u"] = " val=\"doubleAccounting\"";
                    break;
                }
            }
            if (change.colorIndex) {
                const int index = *change.colorIndex;
                if (index == kColorAutomatic)
                    font.elements["color"] = " auto=\"1\"";
                else
                    font.elements["color"] = " indexed=\"" + std::to_string(index + 7) + "\"";
            }
            return styles.withFont(xf, font);
        });
    });
}

void Range::setNumberFormat(const QString& code) {
    if (code.isEmpty() || code.size() > 255)
        badArgument(QStringLiteral("表示形式 \"%1\" は使えません").arg(code));
    const uint32_t id = recentChangeId(
        *book_, book_->recentNumberFormats, code, [](const QString& a, const QString& b) { return a == b; },
        [&] { return "format|" + utf8(code); });
    forEachCell([&](Cell& cell, uint32_t, uint32_t) {
        cell.style = changedFormat(*book_, cell.style, id, [&](uint32_t xf) {
            return book_->styles.withNumberFormat(xf, utf8(code));
        });
    });
}

void Range::setHorizontalAlignment(HorizontalAlignment alignment) {
    const uint32_t id = book_->changeId("align|" + std::to_string(int(alignment)));
    forEachCell([&](Cell& cell, uint32_t, uint32_t) {
        cell.style = changedFormat(*book_, cell.style, id, [&](uint32_t xf) {
            AttrMap a = book_->styles.cellFormat(xf).alignment;
            if (const char* name = alignmentName(alignment))
                a["horizontal"] = name;
            else
                a.erase("horizontal");
            return book_->styles.withAlignment(xf, a);
        });
    });
}

void Range::setBorders(unsigned edges, LineStyle style, BorderWeight weight) {
    const std::string line = borderStyle(style, weight);
    uint32_t ids[64]; // by the sides a cell gets, looked up when first needed
    std::fill(std::begin(ids), std::end(ids), UINT32_MAX);
    auto idOf = [&](unsigned sides) {
        if (ids[sides] == UINT32_MAX)
            ids[sides] = book_->changeId("border|" + std::to_string(sides) + "|" + line);
        return ids[sides];
    };
    forEachCell([&](Cell& cell, uint32_t r, uint32_t c) {
        // Which sides of this cell the requested edges touch.
        unsigned sides = 0; // 1 left, 2 top, 4 bottom, 8 right, 16 diagonal down, 32 diagonal up
        if ((edges & EdgeLeft) && c == ref_.first.column)
            sides |= 1;
        if ((edges & EdgeRight) && c == ref_.last.column)
            sides |= 8;
        if ((edges & EdgeTop) && r == ref_.first.row)
            sides |= 2;
        if ((edges & EdgeBottom) && r == ref_.last.row)
            sides |= 4;
        if (edges & InsideVertical) {
            if (c != ref_.first.column)
                sides |= 1;
            if (c != ref_.last.column)
                sides |= 8;
        }
        if (edges & InsideHorizontal) {
            if (r != ref_.first.row)
                sides |= 2;
            if (r != ref_.last.row)
                sides |= 4;
        }
        if (edges & DiagonalDown)
            sides |= 16;
        if (edges & DiagonalUp)
            sides |= 32;
        if (!sides)
            return;
        cell.style = changedFormat(*book_, cell.style, idOf(sides), [&](uint32_t xf) {
            Border border = book_->styles.border(xf);
            auto apply = [&](const char* name) {
                if (line.empty())
                    border.edges.erase(name);
                else
                    border.edges[name].style = line;
            };
            if (sides & 1)
                apply("left");
            if (sides & 2)
                apply("top");
            if (sides & 4)
                apply("bottom");
            if (sides & 8)
                apply("right");
            if (sides & 48) {
                apply("diagonal");
                if (sides & 16)
                    border.attributes["diagonalDown"] = line.empty() ? "0" : "1";
                if (sides & 32)
                    border.attributes["diagonalUp"] = line.empty() ? "0" : "1";
            }
            return book_->styles.withBorder(xf, border);
        });
    });
}

void Range::setColumnWidth(double characters) {
    if (!(characters >= 0 && characters <= 255))
        badArgument(QStringLiteral("列幅 %1 は使えません").arg(characters));
    book_->sheetIndex(sheet_);
    // Excel stores the width with the cell padding (5 pixels of 7-pixel digits), in 1/256 steps.
    const double stored = characters == 0 ? 0 : std::trunc((characters * 7 + 5) / 7 * 256) / 256;
    sheet_->setColumnWidth(ref_.first.column, ref_.last.column, stored);
}

void Range::setRowHeight(double points) {
    if (!(points >= 0 && points <= 409))
        badArgument(QStringLiteral("行の高さ %1 は使えません").arg(points));
    book_->sheetIndex(sheet_);
    for (uint32_t r = ref_.first.row; r <= ref_.last.row; ++r) {
        Row& row = sheet_->rows[r];
        std::erase_if(row.attributes,
                      [](const auto& a) { return a.first == "ht" || a.first == "customHeight"; });
        row.attributes.emplace_back("ht", numberText(points));
        row.attributes.emplace_back("customHeight", "1");
    }
}

CellValue Range::value() const {
    CellValue v;
    Cell* cell = sheet_->find(ref_.first);
    if (!cell)
        return v;
    static const std::string none;
    const CellExtra* extra = sheet_->extraOf(*cell);
    const std::string& text = extra ? extra->value : none;
    switch (cell->type) {
    case CellType::Blank:
        break;
    case CellType::Number:
        v.type = CellValue::Type::Number;
        v.number = cell->numberAsWritten ? std::strtod(text.c_str(), nullptr) : cell->number;
        break;
    case CellType::Shared:
        v.type = CellValue::Type::Text;
        v.text = qs(book_->strings.text(cell->index));
        break;
    case CellType::Boolean:
        v.type = CellValue::Type::Boolean;
        v.number = text == "1" || text == "true" ? 1 : 0;
        break;
    case CellType::Error:
        v.type = CellValue::Type::Error;
        v.text = qs(text);
        break;
    case CellType::FormulaText:
    case CellType::Other:
        v.type = CellValue::Type::Text;
        v.text = qs(decodeCellText(text));
        break;
    }
    return v;
}

QString Range::text() const {
    const CellValue v = value();
    switch (v.type) {
    case CellValue::Type::Empty:
        return {};
    case CellValue::Type::Number:
        return qs(numberText(v.number));
    case CellValue::Type::Boolean:
        return v.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return v.text;
    }
}

namespace {
uint32_t styleAt(SheetData* sheet, const CellRef& ref) {
    if (Cell* c = sheet->find(ref))
        return c->style;
    auto it = sheet->rows.find(ref.row);
    if (it != sheet->rows.end() && it->second.style)
        return *it->second.style;
    return sheet->columnStyle(ref.column);
}
} // namespace

QString Range::numberFormat() const {
    return qs(book_->styles.numberFormatCode(styleAt(sheet_, ref_.first)));
}

FontInfo Range::font() const {
    const Font& f = book_->styles.font(styleAt(sheet_, ref_.first));
    FontInfo info;
    info.name = qs(f.name());
    info.size = f.size();
    info.bold = flag(f, "b");
    info.italic = flag(f, "i");
    info.strikethrough = flag(f, "strike");
    info.outline = flag(f, "outline");
    info.shadow = flag(f, "shadow");
    if (auto it = f.elements.find("vertAlign"); it != f.elements.end()) {
        info.superscript = attrValue(it->second) == "superscript";
        info.subscript = attrValue(it->second) == "subscript";
    }
    if (auto it = f.elements.find("u"); it != f.elements.end()) {
        const std::string u = attrValue(it->second);
        info.underline = u.empty() || u == "single" ? Underline::Single
                         : u == "double"            ? Underline::Double
                         : u == "singleAccounting"  ? Underline::SingleAccounting
                         : u == "doubleAccounting"  ? Underline::DoubleAccounting
                                                    : Underline::None;
    }
    return info;
}

HorizontalAlignment Range::horizontalAlignment() const {
    const AttrMap& a = book_->styles.cellFormat(styleAt(sheet_, ref_.first)).alignment;
    auto it = a.find("horizontal");
    if (it == a.end())
        return HorizontalAlignment::General;
    for (auto h : {HorizontalAlignment::Left, HorizontalAlignment::Center, HorizontalAlignment::Right,
                   HorizontalAlignment::Fill, HorizontalAlignment::Justify,
                   HorizontalAlignment::CenterAcrossSelection, HorizontalAlignment::Distributed})
        if (it->second == alignmentName(h))
            return h;
    return HorizontalAlignment::General;
}

// ---- Sheet ----

QString Sheet::name() const {
    return qs(sheet_->name);
}

int Sheet::index() const {
    return book_->sheetIndex(sheet_) + 1;
}

void Sheet::setName(const QString& name) {
    book_->sheetIndex(sheet_);
    checkSheetName(*book_, name, sheet_);
    const std::string newName = utf8(name);
    for (NameData& n : book_->names)
        n.formula = renameSheetInFormula(n.formula, sheet_->name, newName);
    sheet_->name = newName;
}

Range Sheet::range(const QString& reference) const {
    book_->sheetIndex(sheet_);
    const auto ref = parseRangeRef(utf8(reference.trimmed()));
    if (!ref)
        badArgument(QStringLiteral("セル番地 \"%1\" が正しくありません").arg(reference));
    return Range(book_, sheet_, *ref);
}

Range Sheet::cell(uint32_t row, uint32_t column) const {
    if (row < 1 || row > kMaxRow || column < 1 || column > kMaxColumn)
        badArgument(QStringLiteral("セル(%1, %2)はシートの外です").arg(row).arg(column));
    return Range(book_, sheet_, {{row, column}, {row, column}});
}

Range Sheet::namedRange(const QString& name) const {
    const uint32_t self = uint32_t(book_->sheetIndex(sheet_));
    const QString wanted = name;
    const NameData* found = nullptr;
    for (const NameData& n : book_->names) {
        if (qs(n.name).compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        if (n.localSheet == self) {
            found = &n;
            break;
        }
        if (!n.localSheet && !found)
            found = &n;
    }
    if (!found)
        badArgument(QStringLiteral("名前 \"%1\" が見つかりません").arg(name));
    const auto area = parseAreaFormula(found->formula);
    if (!area || QString::fromStdString(area->first).compare(qs(sheet_->name), Qt::CaseInsensitive) != 0)
        badArgument(QStringLiteral("名前 \"%1\" はこのシートの範囲ではありません").arg(name));
    return Range(book_, sheet_, area->second);
}

void Sheet::moveShape(const QString& name, double right, double down) {
    book_->sheetIndex(sheet_);
    const std::string n = utf8(name);
    xlsx::moveShape(*book_, *sheet_, &n, 0, right, down);
}

void Sheet::moveShape(int number, double right, double down) {
    book_->sheetIndex(sheet_);
    xlsx::moveShape(*book_, *sheet_, nullptr, number, right, down);
}

QStringList Sheet::shapeNames() const {
    QStringList out;
    for (const std::string& n : xlsx::shapeNames(*book_, *sheet_))
        out << qs(n);
    return out;
}

QList<RangeRef> Sheet::mergedAreas() const {
    return QList<RangeRef>(sheet_->merges.begin(), sheet_->merges.end());
}

double Sheet::columnWidth(uint32_t column) const {
    return sheet_->columnWidthChars(column);
}

// ---- Workbook ----

Workbook::Workbook() : d_(std::make_unique<WorkbookData>()) {}
Workbook::Workbook(Workbook&&) noexcept = default;
Workbook& Workbook::operator=(Workbook&&) noexcept = default;
Workbook::~Workbook() = default;

Workbook Workbook::open(const QString& path, const ReadLimits& limits) {
    const std::string bytes = readFileBytes(path, limits.maxTotalBytes);
    try {
        return fromBytes(bytes, limits);
    } catch (const WorkbookError& e) {
        throw WorkbookError(e.description() + QStringLiteral(" (") + path + QStringLiteral(")"), e.number());
    }
}

Workbook Workbook::fromBytes(const std::string& bytes, const ReadLimits& limits) {
    Workbook book;
    loadWorkbook(*book.d_, readZip(bytes, limits));
    return book;
}

Workbook Workbook::create() {
    Workbook book;
    loadWorkbook(*book.d_, newWorkbookParts());
    return book;
}

void Workbook::save(const QString& path) {
    replaceFile(path, toBytes());
}

std::string Workbook::toBytes() {
    return saveWorkbook(*d_);
}

int Workbook::sheetCount() const {
    return int(d_->sheets.size());
}

QStringList Workbook::sheetNames() const {
    QStringList names;
    for (const auto& s : d_->sheets)
        names << qs(s->name);
    return names;
}

Sheet Workbook::sheet(int index) const {
    if (index < 1 || index > sheetCount())
        badArgument(QStringLiteral("シート番号 %1 はありません").arg(index));
    return Sheet(d_.get(), d_->sheets[size_t(index - 1)].get());
}

std::optional<Sheet> Workbook::sheet(const QString& name) const {
    if (SheetData* s = d_->sheetByName(utf8(name)))
        return Sheet(d_.get(), s);
    return std::nullopt;
}

Sheet Workbook::copySheetToEnd(const Sheet& source) {
    WorkbookData& target = *d_;
    SheetData& src = *source.data();
    WorkbookData* srcBook = source.book();
    const int srcIndex = srcBook->sheetIndex(&src);
    const bool same = srcBook == &target;

    auto sheet = std::make_unique<SheetData>();
    sheet->name = uniqueSheetName(target, src.name);
    sheet->partName = target.newPartName("xl/worksheets/sheet#.xml");
    uint32_t maxId = 0;
    for (const auto& s : target.sheets)
        maxId = std::max(maxId, s->sheetId);
    sheet->sheetId = maxId + 1;
    sheet->state = src.state;
    sheet->doc.reset(src.doc);

    // Formats and strings are remapped into the target's tables.
    std::vector<int64_t> styleMap(srcBook->styles.cellFormatCount(), -1);
    auto style = [&](uint32_t s) -> uint32_t {
        if (same)
            return s;
        if (styleMap[s] < 0)
            styleMap[s] = target.styles.importCellFormat(srcBook->styles, s);
        return uint32_t(styleMap[s]);
    };
    std::unordered_map<uint32_t, uint32_t> stringMap;
    sheet->extras = src.extras;
    for (const auto& [r, row] : src.rows) {
        Row copy = row;
        if (copy.style)
            copy.style = style(*copy.style);
        for (Cell& c : copy.cells) {
            c.style = style(c.style);
            if (c.type == CellType::Shared && !same) {
                auto it = stringMap.find(c.index);
                if (it == stringMap.end())
                    it =
                        stringMap.emplace(c.index, target.strings.addStored(srcBook->strings.stored(c.index)))
                            .first;
                c.index = it->second;
            }
        }
        sheet->rows.append(r, std::move(copy));
    }
    sheet->columns = src.columns;
    for (Column& c : sheet->columns)
        if (c.style)
            c.style = style(*c.style);
    sheet->merges = src.merges;
    if (!same) {
        struct Dxf : pugi::xml_tree_walker {
            WorkbookData* target;
            WorkbookData* source;
            bool for_each(pugi::xml_node& n) override {
                if (localName(n) == "cfRule" && n.attribute("dxfId"))
                    n.attribute("dxfId").set_value(target->styles.importDifferentialFormat(
                        source->styles, n.attribute("dxfId").as_uint()));
                return true;
            }
        } dxf;
        dxf.target = &target;
        dxf.source = srcBook;
        sheet->doc.traverse(dxf);
    }

    // Related parts: the drawing with its pictures, printer settings, comments; tables are left out
    // (their names must be unique in a workbook).
    const std::string drawingPart = drawingPartOf(src);
    for (Relationship r : src.rels.items()) {
        if (r.type == reltype::table)
            continue;
        if (!r.external) {
            const std::string from = resolveTarget(src.partName, r.target);
            std::string to;
            if (from == drawingPart) {
                to = copyDrawing(target, *srcBook, from);
            } else if (auto p = srcBook->parts.find(from); p != srcBook->parts.end()) {
                const size_t dot = from.rfind('.');
                size_t stem = dot == std::string::npos ? from.size() : dot;
                while (stem > 0 && std::isdigit(static_cast<unsigned char>(from[stem - 1])))
                    --stem;
                to = target.newPartName(from.substr(0, stem) + "#" +
                                        (dot == std::string::npos ? std::string() : from.substr(dot)));
                const std::string bytes = p->second;
                target.parts[to] = bytes;
                if (auto cr = srcBook->partRels.find(from); cr != srcBook->partRels.end())
                    target.partRels[to] = cr->second;
            } else {
                continue;
            }
            r.target = relativeTarget(sheet->partName, to);
        }
        sheet->rels.items().push_back(r);
    }
    if (pugi::xml_node tables = child(sheet->doc.document_element(), "tableParts"))
        sheet->doc.document_element().remove_child(tables);

    const uint32_t newIndex = uint32_t(target.sheets.size());
    std::vector<NameData> names;
    for (const NameData& n : srcBook->names) {
        if (n.localSheet != uint32_t(srcIndex))
            continue;
        NameData copy = n;
        copy.localSheet = newIndex;
        copy.formula = renameSheetInFormula(n.formula, src.name, sheet->name);
        names.push_back(std::move(copy));
    }
    SheetData* added = sheet.get();
    target.sheets.push_back(std::move(sheet));
    for (NameData& n : names)
        target.names.push_back(std::move(n));
    return Sheet(&target, added);
}

void Workbook::deleteSheet(int index) {
    if (index < 1 || index > sheetCount())
        badArgument(QStringLiteral("シート番号 %1 はありません").arg(index));
    if (sheetCount() == 1)
        badArgument(QStringLiteral("ブックには少なくとも一つのシートが必要です"));
    const uint32_t i = uint32_t(index - 1);
    const std::string name = d_->sheets[i]->name;
    d_->sheets.erase(d_->sheets.begin() + i);
    std::erase_if(d_->names, [&](const NameData& n) { return n.localSheet == i; });
    for (NameData& n : d_->names) {
        if (n.localSheet && *n.localSheet > i)
            n.localSheet = *n.localSheet - 1;
        n.formula = renameSheetInFormula(n.formula, name, "");
    }
    if (d_->activeTab > i || d_->activeTab >= d_->sheets.size())
        d_->activeTab = d_->activeTab > 0 ? d_->activeTab - 1 : 0;
}

void Workbook::activate(int index) {
    if (index < 1 || index > sheetCount())
        badArgument(QStringLiteral("シート番号 %1 はありません").arg(index));
    d_->activeTab = uint32_t(index - 1);
}

int Workbook::activeSheet() const {
    return int(d_->activeTab) + 1;
}

QList<DefinedName> Workbook::definedNames() const {
    QList<DefinedName> out;
    for (const NameData& n : d_->names)
        out.append({qs(n.name), n.localSheet ? int(*n.localSheet) + 1 : 0, qs(n.formula)});
    return out;
}

void Workbook::setDefinedName(const QString& name, const QString& formula, int sheet) {
    if (name.isEmpty() || name.size() > 255 || sheet < 0 || sheet > sheetCount())
        badArgument(QStringLiteral("名前 \"%1\" は使えません").arg(name));
    std::optional<uint32_t> local;
    if (sheet > 0)
        local = uint32_t(sheet - 1);
    for (NameData& n : d_->names) {
        if (n.localSheet == local && qs(n.name).compare(name, Qt::CaseInsensitive) == 0) {
            n.formula = utf8(formula);
            return;
        }
    }
    d_->names.push_back({utf8(name), local, utf8(formula), {}});
}

} // namespace kemnoa::xlsx
