// The care-label list, the assortment list and the receipt-confirmation workbook: header cells, one
// row per job or line, rows past the template's prepared ones formatted by the program, barcodes that
// scan and never overlap, and the receipt file's replacement and failures.

#include "workbook_steps_fixture.h"

#include <QFileInfo>

using namespace kemnoa;
using test::WorkbookStepsTest;

namespace {

class ListSheetsTest : public WorkbookStepsTest {
protected:
    static QJsonObject at(const QJsonObject& sheet, const QString& ref) {
        return xlsx::test::dumpCell(sheet, ref);
    }

    // The formats of a program-formatted row: merged blocks, number format, font, alignment, borders.
    struct Block {
        const char *first, *last, *format, *alignment;
        bool leftEdge, font;
    };
    static void expectFormatted(const QJsonObject& sheet, int row, std::initializer_list<Block> blocks) {
        for (const Block& b : blocks) {
            SCOPED_TRACE(QStringLiteral("%1%2").arg(QLatin1String(b.first)).arg(row).toStdString());
            const QString ref = QStringLiteral("%1%2").arg(QLatin1String(b.first)).arg(row);
            const QString end = QStringLiteral("%1%2").arg(QLatin1String(b.last)).arg(row);
            EXPECT_TRUE(merged(sheet, ref + u':' + end));
            const QJsonObject c = at(sheet, ref), e = at(sheet, end);
            EXPECT_EQ(c[QStringLiteral("format")].toString(), QLatin1String(b.format));
            if (b.alignment) {
                EXPECT_EQ(c[QStringLiteral("horizontal")].toString(), QLatin1String(b.alignment));
            }
            if (b.font) {
                EXPECT_EQ(c[QStringLiteral("font")][QStringLiteral("name")].toString(),
                          QStringLiteral("ＭＳ Ｐゴシック"));
                EXPECT_EQ(c[QStringLiteral("font")][QStringLiteral("size")].toDouble(), 10);
                EXPECT_FALSE(c[QStringLiteral("font")][QStringLiteral("strike")].toBool());
            }
            EXPECT_EQ(c[QStringLiteral("border")][QStringLiteral("bottom")].toString(),
                      QStringLiteral("dotted"));
            EXPECT_EQ(c[QStringLiteral("border")][QStringLiteral("left")].toString(),
                      b.leftEdge ? QStringLiteral("thin") : QString());
            EXPECT_EQ(e[QStringLiteral("border")][QStringLiteral("right")].toString(),
                      QStringLiteral("thin"));
        }
    }
};

TEST_P(ListSheetsTest, CareLabelListOfTwentyFiveJobs) {
    job(1, QStringLiteral("洗濯ネーム"), {{QStringLiteral("発注日"), QStringLiteral("2026/11/30")}}, 1200);
    for (int no = 2; no <= 25; ++no)
        job(no, QStringLiteral("洗濯ネーム"), {}, no == 25 ? QVariant() : QVariant(no));
    job(26, QStringLiteral("下札"));

    ASSERT_EQ(output::MF_CareSheetMake(run()), core::Outcome::Done)
        << prompter_.messages().join(u'\n').toStdString();
    const QString path = savedPath();
    const QJsonObject dump = xlsx::test::openpyxlDump(path);
    EXPECT_EQ(sheetNames(dump), (QStringList{QStringLiteral("DEF"), QStringLiteral("洗濯ネーム")}));
    const QJsonObject s = xlsx::test::dumpSheet(dump, QStringLiteral("洗濯ネーム"));
    EXPECT_EQ(cellText(s, QStringLiteral("AA3")), QStringLiteral("発注日")); // the caption of the order date
    EXPECT_EQ(s[QStringLiteral("printTitles")].toString(), QStringLiteral("11:11"));
    EXPECT_EQ(cellText(s, QStringLiteral("AE3")), QStringLiteral("2026/11/30"));
    EXPECT_EQ(cellText(s, QStringLiteral("AQ3")), QStringLiteral("2026/12/20"));
    EXPECT_EQ(cellText(s, QStringLiteral("AG5")), po);
    EXPECT_EQ(cellText(s, QStringLiteral("D5")), QStringLiteral("C0101-01 さくら衣料"));
    for (int no = 1; no <= 25; ++no) {
        SCOPED_TRACE(no);
        const int row = 11 + no;
        EXPECT_EQ(cellText(s, QStringLiteral("B%1").arg(row)), QStringLiteral("P00000001-%1").arg(no));
        EXPECT_EQ(cellText(s, QStringLiteral("H%1").arg(row)), QStringLiteral("A-%1").arg(no));
        EXPECT_EQ(cellText(s, QStringLiteral("N%1").arg(row)), QStringLiteral("KT-100%1").arg(no));
        EXPECT_EQ(cellText(s, QStringLiteral("T%1").arg(row)), no == 1    ? QStringLiteral("1200")
                                                               : no == 25 ? QString()
                                                                          : QString::number(no));
        EXPECT_EQ(s[QStringLiteral("heights")][QString::number(row)].toDouble(), 30);
    }
    EXPECT_EQ(cellText(s, QStringLiteral("B37")), QString());
    for (int row = 33; row <= 36; ++row)
        expectFormatted(s, row,
                        {{"B", "G", "@", nullptr, true, true},
                         {"H", "M", "@", nullptr, true, true},
                         {"N", "S", "@", nullptr, true, true},
                         {"T", "X", "#,##0_ ", "right", true, true},
                         {"Y", "AI", "@", "center", false, false},
                         {"AJ", "AX", "@", "center", false, false}});

    // One barcode a row at AJ, moved 2 points right and down, inside its row, and scanning.
    const QJsonArray codes = images(path)[QStringLiteral("洗濯ネーム")].toArray();
    ASSERT_EQ(codes.size(), 25);
    for (int no = 1; no <= 25; ++no) {
        SCOPED_TRACE(no);
        const QJsonObject c = codes[no - 1].toObject();
        EXPECT_EQ(c[QStringLiteral("code")].toString(), QStringLiteral("P00000001-%1").arg(no));
        EXPECT_EQ(c[QStringLiteral("row")].toInt(), 10 + no);
        EXPECT_EQ(c[QStringLiteral("col")].toInt(), 35);
        EXPECT_EQ(c[QStringLiteral("rowOff")].toInt(), 2 * 12700);
        EXPECT_EQ(c[QStringLiteral("colOff")].toInt(), 2 * 12700);
        EXPECT_LE(c[QStringLiteral("rowOff")].toInt() + c[QStringLiteral("cy")].toInt(), 30 * 12700);
    }
}

TEST_P(ListSheetsTest, AssortmentListWithAndWithoutItsHeader) {
    for (bool header : {true, false}) {
        SCOPED_TRACE(header);
        po_.execute(QStringLiteral("Delete From TBL_PO_H"));
        connection_.execute(QStringLiteral("Delete From rcv_skdata"));
        if (header)
            poHeader();
        for (int gyou = 1; gyou <= 44; ++gyou)
            skLine(gyou, gyou == 2 ? test::Values{{QStringLiteral("SHO_NM2"), QVariant()},
                                                  {QStringLiteral("NOU_CD"), QStringLiteral("X")}}
                                   : test::Values{});
        ASSERT_EQ(output::MF_AssortSheetMake(run()), core::Outcome::Done)
            << prompter_.messages().join(u'\n').toStdString();
        const QJsonObject dump = saved();
        EXPECT_EQ(sheetNames(dump), (QStringList{QStringLiteral("DEF"), QStringLiteral("アソート")}));
        const QJsonObject s = xlsx::test::dumpSheet(dump, QStringLiteral("アソート"));
        const std::pair<const char*, const char*> headerCells[] = {{"AE3", "2026/12/10"},
                                                                   {"AQ3", "2026/12/20"},
                                                                   {"AG5", "P00000001"},
                                                                   {"D5", "C0101-01"},
                                                                   {"I5", "さくら衣料"}};
        for (const auto& [ref, value] : headerCells)
            EXPECT_EQ(cellText(s, QString::fromLatin1(ref)), header ? QString::fromUtf8(value) : QString())
                << ref;
        const std::pair<const char*, const char*> lineCells[] = {
            {"B16", "1"},     {"E16", "R1"},     {"K16", "A-1"}, {"Q16", "8710001"},    {"W16", "ネーム1号"},
            {"AO16", "1000"}, {"W17", "ネーム"}, {"B59", "44"},  {"W59", "ネーム44号"}, {"AO59", "1000"}};
        for (const auto& [ref, value] : lineCells) {
            EXPECT_EQ(cellText(s, QString::fromLatin1(ref)), QString::fromUtf8(value)) << ref;
            EXPECT_EQ(cellType(s, QString::fromLatin1(ref)), QStringLiteral("s")) << ref;
        }
        expectFormatted(s, 59,
                        {{"B", "D", "@", nullptr, true, true},
                         {"E", "J", "@", nullptr, true, true},
                         {"K", "P", "@", nullptr, true, true},
                         {"Q", "V", "@", nullptr, true, true},
                         {"W", "AN", "@", nullptr, true, true},
                         {"AO", "AT", "#,##0_ ", "right", true, true}});
        EXPECT_FALSE(merged(s, QStringLiteral("B60:D60")));
        EXPECT_EQ(s[QStringLiteral("printTitles")].toString(), QStringLiteral("15:15"));
    }
}

TEST_P(ListSheetsTest, APoWithoutRowsGetsNoSheets) {
    poHeader(); // a header alone makes no sheet
    output::PackageRun& r = run();
    EXPECT_EQ(output::MF_PoSheetMake(r), core::Outcome::Done);
    EXPECT_EQ(output::MF_SkSheetMake(r), core::Outcome::Done);
    EXPECT_EQ(output::MF_CareSheetMake(r), core::Outcome::Done);
    EXPECT_EQ(output::MF_AssortSheetMake(r), core::Outcome::Done);
    EXPECT_EQ(r.PkgBook->sheetNames(), QStringList{QStringLiteral("DEF")});
    EXPECT_TRUE(prompter_.events.empty());
}

TEST_P(ListSheetsTest, ReceiptWorkbookIsWrittenReplacedAndNeverLeftStale) {
    poHeader();
    for (int gyou = 1; gyou <= 44; ++gyou)
        skLine(gyou);
    const QString file = out_ + QStringLiteral("/P00000001.xlsx");
    auto make = [&](const QString& poNo = QStringLiteral("P00000001"),
                    const QString& kbn = QStringLiteral("0")) {
        return output::MP_OrderSheetMake(prompter_, connection_, po_, poNo, kbn, out_);
    };
    ASSERT_EQ(make(), core::Outcome::Done) << prompter_.messages().join(u'\n').toStdString();
    QJsonObject dump = xlsx::test::openpyxlDump(file);
    EXPECT_EQ(sheetNames(dump), QStringList{QStringLiteral("受領確認")});
    QJsonObject s = xlsx::test::dumpSheet(dump, QStringLiteral("受領確認"));
    const std::pair<const char*, const char*> cells[] = {
        {"AE3", "2026/12/10"}, {"AQ3", "2026/12/20"}, {"AG5", "P00000001"},  {"D5", "C0101-01"},
        {"I5", "さくら衣料"},  {"B16", "1"},          {"E16", "R1"},         {"K16", "701"},
        {"Q16", "A-1"},        {"W16", "ネーム1号"},  {"AS16", "1000"},      {"B58", "43"},
        {"B59", "44"},         {"K59", "744"},        {"W59", "ネーム44号"}, {"AS59", "1000"}};
    for (const auto& [ref, value] : cells)
        EXPECT_EQ(cellText(s, QString::fromLatin1(ref)), QString::fromUtf8(value)) << ref;
    EXPECT_EQ(cellType(s, QStringLiteral("K59")), QStringLiteral("s"));
    EXPECT_EQ(cellType(s, QStringLiteral("AS16")), QStringLiteral("s"));
    expectFormatted(s, 59,
                    {{"B", "D", "@", "center", true, true},
                     {"E", "J", "@", nullptr, true, true},
                     {"K", "P", "@", nullptr, true, true},
                     {"Q", "V", "@", nullptr, true, true},
                     {"W", "AR", "@", nullptr, true, true},
                     {"AS", "AX", "#,##0_ ", "right", true, true}});
    EXPECT_EQ(s[QStringLiteral("paperSize")].toInt(), 9);
    EXPECT_EQ(s[QStringLiteral("printTitles")].toString(), QStringLiteral("15:15"));

    // A second run replaces the workbook; the header keeps the template's cells without a PO header.
    po_.execute(QStringLiteral("Delete From TBL_PO_H"));
    connection_.execute(QStringLiteral("Update rcv_skdata Set HINBAN = 'B-1' Where PO_GYOU = 1"));
    ASSERT_EQ(make(), core::Outcome::Done);
    s = xlsx::test::dumpSheet(xlsx::test::openpyxlDump(file), QStringLiteral("受領確認"));
    EXPECT_EQ(cellText(s, QStringLiteral("Q16")), QStringLiteral("B-1"));
    for (const char* ref : {"AE3", "AQ3", "AG5", "D5", "I5"})
        EXPECT_EQ(cellText(s, QString::fromLatin1(ref)), QString()) << ref;

    // No rows for the PO: nothing is written and the earlier workbook stays.
    const QDateTime before = QFileInfo(file).lastModified();
    ASSERT_EQ(make(QStringLiteral("P00000001"), QStringLiteral("1")), core::Outcome::Done);
    EXPECT_EQ(QFileInfo(file).lastModified(), before);
    EXPECT_TRUE(prompter_.events.empty());

    // A failure (the template is missing) says so and leaves no workbook of the PO to be packed.
    QFile::remove(program_ + QStringLiteral("/templates/受領確認.xlsx"));
    EXPECT_EQ(make(), core::Outcome::Failed);
    ASSERT_EQ(prompter_.messages().size(), 1);
    EXPECT_TRUE(prompter_.messages()[0].startsWith(QStringLiteral("[MP_OrderSheetMake] ")));
    EXPECT_TRUE(prompter_.messages()[0].endsWith(QStringLiteral("(53)")));
    EXPECT_EQ(QDir(out_).entryList(QDir::Files), QStringList());

    // A PO number that would leave the folder is refused before anything is written.
    EXPECT_EQ(make(QStringLiteral("../P1")), core::Outcome::Failed);
    EXPECT_TRUE(
        prompter_.messages().value(1).startsWith(QStringLiteral("[MP_OrderSheetMake] PO番号 \"../P1\"")));
    EXPECT_EQ(QDir(dir_.path()).entryList({QStringLiteral("*.xlsx")}, QDir::Files), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Dialects, ListSheetsTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
