// The production-control sheets: one per hang-tag job after the PO sheets, header cells, barcode,
// layout picture, parties, composition lines, the size grid with its widths and the total; and the
// rows inserted for more composition or grid lines than the template prepares.

#include "workbook_steps_fixture.h"

#include <QImage>

using namespace kemnoa;
using test::WorkbookStepsTest;

namespace {

class SkSheetTest : public WorkbookStepsTest {
protected:
    // Width as openpyxl reads it back: characters plus Excel's padding.
    static double width(const QJsonObject& sheet, const char* column) {
        return sheet[QStringLiteral("widths")][QLatin1String(column)].toDouble();
    }
    static QString border(const QJsonObject& sheet, const QString& ref, const char* side) {
        return xlsx::test::dumpCell(sheet, ref)[QStringLiteral("border")][QLatin1String(side)].toString();
    }
};

TEST_P(SkSheetTest, EveryHangTagJobGetsItsSheetAfterThePoSheets) {
    poHeader();
    poLine(1);
    job(1, QStringLiteral("下札"));
    job(2, QStringLiteral("下札"));
    job(3, QStringLiteral("下札"), {}, QVariant()); // no total: B57 stays as the template has it
    job(4, QStringLiteral("洗濯ネーム"));
    // Job 1 has a layout picture; the others have none.
    QImage picture(80, 60, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    ASSERT_TRUE(picture.save(program_ + QStringLiteral("/KT-1001.jpg"), "JPG"));
    composition(1, 1, QStringLiteral("品質表示①"));
    composition(1, 2, QString()); // keeps its row
    composition(1, 3, QStringLiteral("綿100%"));
    gridLine(1, 1,
             {QStringLiteral("ＡＢＣ"), QStringLiteral("カラ"), QStringLiteral("Ｍ"), QStringLiteral("綿")});
    gridLine(
        1, 2,
        {QStringLiteral(" A "), QStringLiteral("x"), QStringLiteral("１０"), QStringLiteral("ポリエステル")});

    output::PackageRun& r = run();
    ASSERT_EQ(output::MF_PoSheetMake(r), core::Outcome::Done);
    ASSERT_EQ(output::MF_SkSheetMake(r), core::Outcome::Done)
        << prompter_.messages().join(u'\n').toStdString();
    const QString path = savedPath();
    const QJsonObject dump = xlsx::test::openpyxlDump(path);
    EXPECT_EQ(sheetNames(dump), (QStringList{QStringLiteral("DEF"), QStringLiteral("納品情報1"),
                                             QStringLiteral("PO1"), QStringLiteral("P00000001-1"),
                                             QStringLiteral("P00000001-2"), QStringLiteral("P00000001-3")}));

    const QJsonObject s = xlsx::test::dumpSheet(dump, QStringLiteral("P00000001-1"));
    const std::pair<const char*, const char*> cells[] = {{"B5", "R1"},
                                                         {"G5", "P00000001-1"},
                                                         {"L5", "P00000001"},
                                                         {"Q5", "2026/12/01"},
                                                         {"V5", "2026/12/20"},
                                                         {"G7", "上海"},
                                                         {"L7", ""},
                                                         {"Q7", "8710001"},
                                                         {"AA6", "下札"},
                                                         {"AA7", "KT-1001"},
                                                         {"B7", "A-1"},
                                                         {"F9", "H0001 ケムノア"},
                                                         {"F10", "S0001 本社"},
                                                         {"F11", "C0101-01 さくら衣料"},
                                                         {"B24", "品質表示①"},
                                                         {"B25", " "},
                                                         {"B26", "綿100%"},
                                                         {"B27", ""},
                                                         // The grid, trimmed and in half-width forms.
                                                         {"B36", "ABC"},
                                                         {"C36", "ｶﾗ"},
                                                         {"D36", "M"},
                                                         {"E36", "綿"},
                                                         {"B37", "A"},
                                                         {"C37", "x"},
                                                         {"D37", "10"},
                                                         {"E37", "ﾎﾟﾘｴｽﾃﾙ"},
                                                         {"B57", "22"},
                                                         {"B35", "サイズ・カラー別数量"}};
    for (const auto& [ref, value] : cells) {
        SCOPED_TRACE(ref);
        EXPECT_EQ(cellText(s, QString::fromLatin1(ref)), QString::fromUtf8(value));
    }
    EXPECT_EQ(cellType(s, QStringLiteral("B36")), QStringLiteral("s"));
    EXPECT_EQ(cellType(s, QStringLiteral("D37")), QStringLiteral("s"));
    // Widths: font size 10 times the even byte count over 2, plus 11, or 22 for the last two columns.
    // ("ABC" counts 4 bytes; "ﾎﾟﾘｴｽﾃﾙ" 7, so 8.) Neighbours differ: openpyxl groups equal widths. Stored
    // widths carry Excel's padding of 5/7.
    const std::pair<const char*, double> widths[] = {{"B", 31}, {"C", 21}, {"D", 32}, {"E", 62}};
    for (const auto& [column, characters] : widths)
        EXPECT_NEAR(width(s, column), characters + 5.0 / 7, 0.01) << column;

    // The barcode of the job (its empty SKNO, "-", NO) at AJ2 and the layout picture at AK6, moved
    // 3 points right and down.
    const QJsonObject pictures = images(path);
    const QJsonArray first = pictures[QStringLiteral("P00000001-1")].toArray();
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first[0][QStringLiteral("code")].toString(), QStringLiteral("-1"));
    EXPECT_EQ(first[0][QStringLiteral("col")].toInt(), 35);
    EXPECT_EQ(first[0][QStringLiteral("row")].toInt(), 1);
    EXPECT_EQ(first[1][QStringLiteral("col")].toInt(), 36);
    EXPECT_EQ(first[1][QStringLiteral("row")].toInt(), 5);
    EXPECT_EQ(first[1][QStringLiteral("colOff")].toInt(), 3 * 12700);
    EXPECT_EQ(first[1][QStringLiteral("rowOff")].toInt(), 3 * 12700);
    const QJsonArray third = pictures[QStringLiteral("P00000001-3")].toArray();
    ASSERT_EQ(third.size(), 1); // no picture file: the barcode alone, no error
    EXPECT_EQ(third[0][QStringLiteral("code")].toString(), QStringLiteral("-3"));
    EXPECT_EQ(book_->activeSheet(), 6);
    const QJsonObject last = xlsx::test::dumpSheet(dump, QStringLiteral("P00000001-3"));
    EXPECT_EQ(cellText(last, QStringLiteral("B57")), QString());
    EXPECT_EQ(cellText(last, QStringLiteral("F9")), QStringLiteral("H0001 ケムノア"));
    EXPECT_EQ(s[QStringLiteral("orientation")].toString(), QStringLiteral("landscape"));
    EXPECT_TRUE(s[QStringLiteral("fitToPage")].toBool());
}

TEST_P(SkSheetTest, MoreLinesThanPreparedInsertRowsInsteadOfOverwriting) {
    job(1, QStringLiteral("下札"), {}, 230);
    for (int line = 1; line <= 13; ++line)
        composition(1, line, QStringLiteral("組成%1").arg(line));
    gridLine(1, 1, {QStringLiteral("カラー"), QStringLiteral("サイズ"), QStringLiteral("数量")});
    for (int line = 2; line <= 23; ++line)
        gridLine(1, line, {QStringLiteral("C%1").arg(line), QStringLiteral("F"), QString::number(10)});
    job(2, QStringLiteral("下札"), {}, 5); // a job within the prepared rows on the same workbook
    composition(2, 1, QStringLiteral("綿100%"));
    gridLine(2, 1, {QStringLiteral("カラー")});

    output::PackageRun& r = run();
    ASSERT_EQ(output::MF_SkSheetMake(r), core::Outcome::Done)
        << prompter_.messages().join(u'\n').toStdString();
    const QJsonObject dump = saved();
    const QJsonObject s = xlsx::test::dumpSheet(dump, QStringLiteral("P00000001-1"));
    // 3 composition rows inserted above the grid's caption, 3 grid rows inside the grid.
    for (int line = 1; line <= 13; ++line)
        EXPECT_EQ(cellText(s, QStringLiteral("B%1").arg(23 + line)), QStringLiteral("組成%1").arg(line))
            << line;
    EXPECT_EQ(cellText(s, QStringLiteral("B37")), QString());
    EXPECT_EQ(cellText(s, QStringLiteral("B38")), QStringLiteral("サイズ・カラー別数量"));
    EXPECT_EQ(cellText(s, QStringLiteral("B39")), QStringLiteral("ｶﾗｰ"));
    for (int line = 2; line <= 23; ++line)
        EXPECT_EQ(cellText(s, QStringLiteral("B%1").arg(38 + line)), QStringLiteral("C%1").arg(line)) << line;
    EXPECT_EQ(cellText(s, QStringLiteral("B62")), QStringLiteral("合計数量"));
    EXPECT_EQ(cellText(s, QStringLiteral("B63")), QStringLiteral("230"));
    EXPECT_EQ(xlsx::test::dumpCell(s, QStringLiteral("B63"))[QStringLiteral("format")].toString(),
              QStringLiteral("#,##0_ "));
    // The grid's name grew with it; the inserted rows carry the prepared rows' formats.
    bool found = false;
    for (const auto& n : dump[QStringLiteral("names")].toArray())
        if (n[QStringLiteral("name")].toString() == QStringLiteral("Qul") &&
            n[QStringLiteral("localSheetId")].toInt() == 1) {
            EXPECT_EQ(n[QStringLiteral("value")].toString(), QStringLiteral("'P00000001-1'!$B$39:$AZ$61"));
            found = true;
        }
    EXPECT_TRUE(found) << "no Qul on the first job's sheet";
    for (int row : {34, 35, 36}) {
        EXPECT_TRUE(merged(s, QStringLiteral("B%1:AH%1").arg(row))) << row;
        EXPECT_EQ(border(s, QStringLiteral("B%1").arg(row), "bottom"), QStringLiteral("dotted")) << row;
        EXPECT_EQ(
            xlsx::test::dumpCell(s, QStringLiteral("B%1").arg(row))[QStringLiteral("format")].toString(),
            QStringLiteral("@"));
    }
    for (int row : {58, 59, 60, 61})
        EXPECT_EQ(border(s, QStringLiteral("AZ%1").arg(row), "bottom"), QStringLiteral("thin")) << row;
    EXPECT_EQ(border(s, QStringLiteral("B62"), "top"), QStringLiteral("thin"));

    // The second job's sheet keeps the template's places.
    const QJsonObject second = xlsx::test::dumpSheet(dump, QStringLiteral("P00000001-2"));
    EXPECT_EQ(cellText(second, QStringLiteral("B35")), QStringLiteral("サイズ・カラー別数量"));
    EXPECT_EQ(cellText(second, QStringLiteral("B36")), QStringLiteral("ｶﾗｰ"));
    EXPECT_EQ(cellText(second, QStringLiteral("B57")), QStringLiteral("5"));
}

TEST_P(SkSheetTest, ALayoutCodeThatLeavesTheFolderIsRefused) {
    job(1, QStringLiteral("下札"), {{QStringLiteral("品名"), QStringLiteral("../secret")}});
    EXPECT_EQ(output::MF_SkSheetMake(run()), core::Outcome::Failed);
    ASSERT_EQ(prompter_.messages().size(), 1);
    EXPECT_TRUE(
        prompter_.messages()[0].startsWith(QStringLiteral("[MF_SkSheetMake] レイアウトコード \"../secret\"")))
        << prompter_.messages()[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Dialects, SkSheetTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
