// Values and formats written by the engine, read back by openpyxl and by the engine itself.

#include "platform/xlsx/workbook.h"
#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/zip_package.h"
#include "xlsx_test_support.h"

#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace kemnoa::xlsx;
using namespace kemnoa::xlsx::test;

namespace {

const QString kGothic = QStringLiteral("ＭＳ Ｐゴシック");

// A sheet exercising every value and format operation.
void fill(Workbook& book) {
    Sheet s = book.sheet(1);
    s.setName(QStringLiteral("商品マスタ"));
    s.range(QStringLiteral("A1")).setValue(QStringLiteral("商品コード"));
    s.range(QStringLiteral("A2")).setValue(QStringLiteral("8710001"));
    s.range(QStringLiteral("B2")).setNumberFormat(QStringLiteral("@"));
    s.range(QStringLiteral("B2")).setValue(QStringLiteral("00123"));  // text format: stays text
    s.range(QStringLiteral("C2")).setValue(QStringLiteral("1234.5")); // value before format, as Excel
    s.range(QStringLiteral("C2")).setNumberFormat(QStringLiteral("#,##0.00_ "));
    s.range(QStringLiteral("D2")).setValue(QStringLiteral(" 漢字 "));
    s.range(QStringLiteral("E2")).setValue(QStringLiteral("x"));
    FontChange f;
    f.name = kGothic;
    f.size = 10;
    f.strikethrough = true;
    f.superscript = true;
    f.outline = true;
    f.shadow = true;
    f.underline = Underline::Single;
    f.colorIndex = 3;
    s.range(QStringLiteral("E2")).setFont(f);
    FontChange plain;
    plain.name = kGothic;
    plain.size = 10;
    plain.strikethrough = false;
    plain.superscript = false;
    plain.subscript = false;
    plain.outline = false;
    plain.shadow = false;
    plain.underline = Underline::None;
    plain.colorIndex = kColorAutomatic;
    s.range(QStringLiteral("F2")).setValue(QStringLiteral("y"));
    s.range(QStringLiteral("F2")).setFont(f);
    s.range(QStringLiteral("F2")).setFont(plain);
    s.range(QStringLiteral("B3")).setValue(QStringLiteral("結合"));
    s.range(QStringLiteral("C3")).setValue(QStringLiteral("消える"));
    s.range(QStringLiteral("B3:D3")).merge();
    s.range(QStringLiteral("B3:D3")).setHorizontalAlignment(HorizontalAlignment::Center);
    const Range block = s.range(QStringLiteral("B5:D5"));
    block.cell(1, 1).setNumber(37);
    Range(block).setBorders(EdgeBottom, LineStyle::Dot);
    Range(block).setBorders(EdgeLeft | EdgeRight, LineStyle::Continuous);
    s.range(QStringLiteral("H1:I1")).setColumnWidth(10);
    s.range(QStringLiteral("A33:B34")).setRowHeight(30);
    s.range(QStringLiteral("A7")).setValue(QStringLiteral("a_x0041_b\tc"));
    s.range(QStringLiteral("A8")).setValue(QStringLiteral("1,23"));                // not a number
    s.range(QStringLiteral("A9")).setValue(QStringLiteral("1234567890123456789")); // would lose digits
}

} // namespace

TEST(XlsxEngine, WritesValuesAndFormatsOpenpyxlReads) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("values.xlsx"));
    Workbook book = Workbook::create();
    fill(book);
    book.save(path);

    const QJsonObject dump = openpyxlDump(path);
    const QJsonObject sheet = dumpSheet(dump, QStringLiteral("商品マスタ"));
    auto cell = [&](const char* ref) { return dumpCell(sheet, QString::fromLatin1(ref)); };
    EXPECT_EQ(cell("A1")["value"].toString(), QStringLiteral("商品コード"));
    EXPECT_EQ(cell("A2")["type"].toString(), QStringLiteral("n"));
    EXPECT_EQ(cell("A2")["value"].toDouble(), 8710001);
    EXPECT_EQ(cell("B2")["type"].toString(), QStringLiteral("s"));
    EXPECT_EQ(cell("B2")["value"].toString(), QStringLiteral("00123"));
    EXPECT_EQ(cell("B2")["format"].toString(), QStringLiteral("@"));
    EXPECT_EQ(cell("C2")["value"].toDouble(), 1234.5);
    EXPECT_EQ(cell("C2")["format"].toString(), QStringLiteral("#,##0.00_ "));
    EXPECT_EQ(cell("D2")["value"].toString(), QStringLiteral(" 漢字 "));

    const QJsonObject font = cell("E2")["font"].toObject();
    EXPECT_EQ(font["name"].toString(), kGothic);
    EXPECT_EQ(font["size"].toDouble(), 10);
    EXPECT_TRUE(font["strike"].toBool());
    EXPECT_EQ(font["vertAlign"].toString(), QStringLiteral("superscript"));
    EXPECT_TRUE(font["outline"].toBool());
    EXPECT_TRUE(font["shadow"].toBool());
    EXPECT_EQ(font["underline"].toString(), QStringLiteral("single"));
    EXPECT_EQ(font["color"].toObject()["indexed"].toInt(), 10); // ColorIndex 3 (red) is palette entry 10
    const QJsonObject reset = cell("F2")["font"].toObject();
    EXPECT_FALSE(reset["strike"].toBool());
    EXPECT_TRUE(reset["vertAlign"].isNull());
    EXPECT_FALSE(reset["outline"].toBool());
    EXPECT_TRUE(reset["underline"].isNull());
    EXPECT_TRUE(reset["color"].toObject()["auto"].toBool());

    EXPECT_EQ(sheet["merges"].toArray(), QJsonArray({QStringLiteral("B3:D3")}));
    EXPECT_EQ(cell("B3")["value"].toString(), QStringLiteral("結合"));
    EXPECT_TRUE(cell("C3")["value"].isNull());
    EXPECT_EQ(cell("B3")["horizontal"].toString(), QStringLiteral("center"));

    const QJsonObject b5 = cell("B5")["border"].toObject(), c5 = cell("C5")["border"].toObject(),
                      d5 = cell("D5")["border"].toObject();
    EXPECT_EQ(b5["left"].toString(), QStringLiteral("thin"));
    EXPECT_EQ(b5["bottom"].toString(), QStringLiteral("dotted"));
    EXPECT_TRUE(b5["right"].isNull());
    EXPECT_TRUE(c5["left"].isNull());
    EXPECT_EQ(c5["bottom"].toString(), QStringLiteral("dotted"));
    EXPECT_EQ(d5["right"].toString(), QStringLiteral("thin"));
    EXPECT_EQ(cell("B5")["value"].toDouble(), 37);

    // ColumnWidth 10 is stored with Excel's padding of 5 pixels at 7 pixels a digit.
    EXPECT_DOUBLE_EQ(sheet["widths"].toObject()["H"].toDouble(), 10.7109375);
    EXPECT_DOUBLE_EQ(sheet["heights"].toObject()["34"].toDouble(), 30);
    EXPECT_EQ(cell("A7")["value"].toString(), QStringLiteral("a_x0041_b\tc"));
    EXPECT_EQ(cell("A8")["value"].toString(), QStringLiteral("1,23"));
    EXPECT_EQ(cell("A9")["value"].toString(), QStringLiteral("1234567890123456789"));
}

TEST(XlsxEngine, ReadsBackWhatItWrote) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("values.xlsx"));
    {
        Workbook book = Workbook::create();
        fill(book);
        book.save(path);
    }
    Workbook book = Workbook::open(path);
    ASSERT_EQ(book.sheetNames(), QStringList{QStringLiteral("商品マスタ")});
    Sheet s = book.sheet(1);
    EXPECT_EQ(s.range(QStringLiteral("A2")).value().type, CellValue::Type::Number);
    EXPECT_EQ(s.range(QStringLiteral("B2")).text(), QStringLiteral("00123"));
    EXPECT_EQ(s.range(QStringLiteral("C2")).numberFormat(), QStringLiteral("#,##0.00_ "));
    EXPECT_EQ(s.range(QStringLiteral("D2")).text(), QStringLiteral(" 漢字 "));
    EXPECT_EQ(s.range(QStringLiteral("E2")).fontSize(), 10);
    EXPECT_TRUE(s.range(QStringLiteral("E2")).font().superscript);
    EXPECT_EQ(s.range(QStringLiteral("A7")).text(), QStringLiteral("a_x0041_b\tc"));
    EXPECT_EQ(s.range(QStringLiteral("B3")).horizontalAlignment(), HorizontalAlignment::Center);
    EXPECT_EQ(s.mergedAreas().size(), 1);
    EXPECT_DOUBLE_EQ(s.columnWidth(9), 10.7109375);
    EXPECT_DOUBLE_EQ(s.columnWidth(10), 8.43);
    // The default font of a new workbook.
    EXPECT_EQ(s.range(QStringLiteral("Z99")).font().name, kGothic);
}

TEST(XlsxEngine, SavingReplacesTheFileAndIsReproducible) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PO123.xlsx"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older file that is not a workbook");
    }
    Workbook book = Workbook::create();
    fill(book);
    book.save(path);
    const std::string first = book.toBytes();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_EQ(std::string(bytes.constData(), size_t(bytes.size())), first);
    Workbook again = Workbook::create();
    fill(again);
    EXPECT_EQ(again.toBytes(), first);
}

TEST(XlsxEngine, AddressesCellsWithinANamedArea) {
    Workbook book = Workbook::create();
    book.sheet(1).setName(QStringLiteral("SK"));
    book.setDefinedName(QStringLiteral("Qul"), QStringLiteral("SK!$C$30:$AY$50"), 1);
    Range area = book.sheet(1).namedRange(QStringLiteral("Qul"));
    EXPECT_EQ(area.address(), QStringLiteral("C30:AY50"));
    EXPECT_EQ(area.cell(1, 1).address(), QStringLiteral("C30"));
    EXPECT_EQ(area.cell(2, 3).address(), QStringLiteral("E31"));
    area.cell(2, 3).setValue(QStringLiteral("M"));
    EXPECT_EQ(book.sheet(1).range(QStringLiteral("E31")).text(), QStringLiteral("M"));
    EXPECT_THROW(book.sheet(1).namedRange(QStringLiteral("Nothing")), WorkbookError);
}

TEST(XlsxEngine, RefusesWhatExcelRefuses) {
    Workbook book = Workbook::create();
    Sheet s = book.sheet(1);
    for (const char* name : {"", "a/b", "[x]", "0123456789012345678901234567890123", "'q", "History"})
        EXPECT_THROW(s.setName(QString::fromUtf8(name)), WorkbookError) << name;
    book.copySheetToEnd(s);
    EXPECT_THROW(book.sheet(2).setName(QStringLiteral("sheet1")), WorkbookError); // names ignore case
    EXPECT_THROW(s.range(QStringLiteral("A0")), WorkbookError);
    EXPECT_THROW(s.range(QStringLiteral("A1")).setFont({.colorIndex = 99}), WorkbookError);
    EXPECT_THROW(book.sheet(3), WorkbookError);
    book.deleteSheet(2);
    try {
        book.deleteSheet(1);
        FAIL() << "the last sheet was deleted";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), 1004);
        EXPECT_FALSE(e.text().isEmpty());
    }
}

namespace {
// A workbook whose first sheet is the given XML, as another program may have written it.
std::string withSheetXml(const std::string& sheetXml) {
    PartMap parts = readZip(Workbook::create().toBytes(), {});
    parts["xl/worksheets/sheet1.xml"] = sheetXml;
    std::vector<ZipEntry> entries;
    for (const auto& [name, bytes] : parts)
        entries.push_back({name, &bytes});
    return writeZip(entries);
}
std::string savedSheetXml(Workbook& book) {
    return readZip(book.toBytes(), {}).at("xl/worksheets/sheet1.xml");
}
} // namespace

TEST(XlsxEngine, CellsOfAnOpenedWorkbookAreSavedAsWritten) {
    struct Case {
        const char* cell; // as in the file, and as it must be saved
        CellValue::Type type;
        double number;
        const char* text;
    };
    const Case cases[] = {
        {R"(<c r="A1"><v>1.50</v></c>)", CellValue::Type::Number, 1.5, ""},
        {R"(<c r="B1"><v>1E3</v></c>)", CellValue::Type::Number, 1000, ""},
        {R"(<c r="C1"><v>007</v></c>)", CellValue::Type::Number, 7, ""},
        {R"(<c r="D1"><v>-0</v></c>)", CellValue::Type::Number, 0, ""},
        {R"(<c r="E1"><v>0.1</v></c>)", CellValue::Type::Number, 0.1, ""},
        {R"(<c r="F1" s="0" t="n"><v>123</v></c>)", CellValue::Type::Number, 123, ""},
        {R"(<c r="G1"><f>A1*2</f><v>3</v></c>)", CellValue::Type::Number, 3, ""},
        {R"(<c r="H1" t="b"><v>1</v></c>)", CellValue::Type::Boolean, 1, ""},
        {R"(<c r="I1" t="e"><v>#N/A</v></c>)", CellValue::Type::Error, 0, "#N/A"},
        {R"(<c r="J1" t="str"><f>"a"&amp;"b"</f><v>ab</v></c>)", CellValue::Type::Text, 0, "ab"},
        {R"(<c r="K1" t="d"><v>2024-05-01</v></c>)", CellValue::Type::Text, 0, "2024-05-01"},
        {R"(<c r="L1"><f>NOW()</f></c>)", CellValue::Type::Empty, 0, ""},
    };
    std::string row;
    for (const Case& c : cases)
        row += c.cell;
    const std::string xml = R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
                            R"(<sheetData><row r="1">)" +
                            row + "</row></sheetData></worksheet>";
    Workbook book = Workbook::fromBytes(withSheetXml(xml), {});
    Sheet s = book.sheet(1);
    for (uint32_t i = 0; i < std::size(cases); ++i) {
        const CellValue v = s.cell(1, i + 1).value();
        EXPECT_EQ(v.type, cases[i].type) << cases[i].cell;
        EXPECT_EQ(v.number, cases[i].number) << cases[i].cell;
        EXPECT_EQ(v.text, QString::fromUtf8(cases[i].text)) << cases[i].cell;
    }
    std::string saved = savedSheetXml(book);
    for (const Case& c : cases) {
        std::string expected = c.cell;
        if (expected.find(R"( s="0" t="n")") != std::string::npos) // the defaults are left out
            expected.replace(expected.find(R"( s="0" t="n")"), 12, "");
        EXPECT_NE(saved.find(expected), std::string::npos) << expected << " in " << saved;
    }

    // Values set afterwards replace value and formula alike; numbers are written in their shortest form.
    s.range(QStringLiteral("A1:B1")).setNumber(-0.25);
    s.range(QStringLiteral("G1")).setValue(QStringLiteral("1,234.50"));
    s.range(QStringLiteral("J1")).setText(QStringLiteral("x"));
    s.range(QStringLiteral("L1")).clear();
    saved = savedSheetXml(book);
    for (const char* expected :
         {R"(<c r="A1"><v>-0.25</v></c><c r="B1"><v>-0.25</v></c>)", R"(<c r="G1"><v>1234.5</v></c>)",
          R"(<c r="J1" t="s"><v>0</v></c>)", R"(<c r="L1"/>)"})
        EXPECT_NE(saved.find(expected), std::string::npos) << expected << " in " << saved;
    EXPECT_EQ(s.range(QStringLiteral("G1")).value().number, 1234.5);
    EXPECT_EQ(s.range(QStringLiteral("J1")).text(), QStringLiteral("x"));
}

TEST(XlsxEngine, RowsWrittenInAnyOrderAreSavedInOrder) {
    Workbook book = Workbook::create();
    Sheet s = book.sheet(1);
    for (uint32_t row : {9u, 2u, 5u, 2u, 1u, 70000u, 5u})
        s.cell(row, row % 3 + 1).setNumber(row);
    s.cell(5, 1).setValue(QStringLiteral("left of 5"));
    s.range(QStringLiteral("A3:A4")).setRowHeight(20);
    const std::string saved = savedSheetXml(book);
    std::vector<size_t> at;
    for (const char* row :
         {R"(<row r="1">)", R"(<row r="2">)", R"(<row r="3" ht="20")", R"(<row r="4" ht="20")",
          R"(<row r="5">)", R"(<row r="9">)", R"(<row r="70000">)"}) {
        at.push_back(saved.find(row));
        EXPECT_NE(at.back(), std::string::npos) << row << " in " << saved;
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << saved;
    EXPECT_NE(saved.find(R"(<row r="5"><c r="A5" t="s"><v>0</v></c><c r="C5"><v>5</v></c></row>)"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find(R"(<dimension ref="A1:C70000"/>)"), std::string::npos) << saved;
    EXPECT_EQ(s.cell(70000, 2).value().number, 70000);
    EXPECT_EQ(s.cell(2, 3).value().number, 2);
}
