// The PO order sheets: pages of 20 lines, the delivery-information sheet for every kind and the
// purchase-order sheet for kind "0", header and line cells, amounts and running totals, as openpyxl
// reads the saved workbook.

#include "output/sheet_common.h"
#include "workbook_steps_fixture.h"

using namespace kemnoa;
using test::WorkbookStepsTest;

namespace {

class PoSheetTest : public WorkbookStepsTest {};

TEST_P(PoSheetTest, PagesAndSheetsFollowTheLinesAndTheKind) {
    struct Case {
        int lines;
        bool header;
        const char* kbn;
        QStringList sheets;
    };
    const QString def = QStringLiteral("DEF");
    const Case cases[] = {
        {0, true, "0", {def}},  // a PO without lines gets no sheet
        {3, false, "0", {def}}, // nor does one without a header
        {20, true, "0", {def, QStringLiteral("納品情報1"), QStringLiteral("PO1")}},
        {21,
         true,
         "0",
         {def, QStringLiteral("納品情報1"), QStringLiteral("PO1"), QStringLiteral("納品情報2"),
          QStringLiteral("PO2")}},
        {21, true, "1", {def, QStringLiteral("納品情報1"), QStringLiteral("納品情報2")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 lines, kind %2").arg(c.lines).arg(QLatin1String(c.kbn)).toStdString());
        po_.execute(QStringLiteral("Delete From TBL_PO_H"));
        po_.execute(QStringLiteral("Delete From TBL_PO_M"));
        if (c.header)
            poHeader();
        for (int i = 1; i <= c.lines; ++i)
            poLine(i);
        ASSERT_EQ(output::MF_PoSheetMake(run(QString::fromLatin1(c.kbn))), core::Outcome::Done)
            << prompter_.messages().join(u'\n').toStdString();
        const QJsonObject dump = saved();
        EXPECT_EQ(sheetNames(dump), c.sheets);
        if (c.lines == 0 || !c.header)
            continue;
        const int pages = (c.lines + 19) / 20;
        for (int p = 1; p <= pages; ++p) {
            SCOPED_TRACE(p);
            const QJsonObject info = xlsx::test::dumpSheet(dump, QStringLiteral("納品情報%1").arg(p));
            EXPECT_EQ(cellText(info, QStringLiteral("BC2")), QStringLiteral("%1/%2").arg(p).arg(pages));
            EXPECT_EQ(cellText(info, QStringLiteral("AU1")), po);
            // The page's first line in rows 34 and 17 again.
            EXPECT_EQ(cellText(info, QStringLiteral("B34")),
                      QStringLiteral("0871%1").arg(20 * (p - 1) + 1, 4, 10, QLatin1Char('0')));
            if (QLatin1String(c.kbn) != QLatin1String("0"))
                continue;
            const QJsonObject order = xlsx::test::dumpSheet(dump, QStringLiteral("PO%1").arg(p));
            EXPECT_EQ(cellText(order, QStringLiteral("AY7")),
                      pages > 1 ? po + QStringLiteral("-%1").arg(p) : po);
            EXPECT_EQ(cellText(order, QStringLiteral("D17")),
                      QStringLiteral("0871%1").arg(20 * (p - 1) + 1, 4, 10, QLatin1Char('0')));
            // Running totals up to the page's last line: 3 pieces at 12.345 make 37 a line.
            const int upTo = std::min(20 * p, c.lines);
            EXPECT_EQ(cellText(order, QStringLiteral("AK57")), QString::number(3 * upTo));
            EXPECT_EQ(cellText(order, QStringLiteral("BC57")), QString::number(37 * upTo));
            EXPECT_EQ(cellType(order, QStringLiteral("BC57")), QStringLiteral("n"));
        }
    }
}

TEST_P(PoSheetTest, HeaderAndLineCellsOfBothSheets) {
    poHeader({{QStringLiteral("発注先名"), QStringLiteral("上海工場")},
              {QStringLiteral("発注先住所1"), QStringLiteral("上海市")},
              {QStringLiteral("発注先住所2"), QStringLiteral("浦東新区")},
              {QStringLiteral("発注先TEL番号"), QStringLiteral("021-1234")},
              {QStringLiteral("発注先責任者名"), QStringLiteral("王")},
              {QStringLiteral("PO発行日"), QStringLiteral("2026/12/1")},
              {QStringLiteral("得意先CD"), QStringLiteral("T0001")},
              {QStringLiteral("得意先名"), QStringLiteral("株式会社ケムノア")},
              {QStringLiteral("発注元担当者CD"), QStringLiteral("U01")},
              {QStringLiteral("発注元担当者名"), QStringLiteral("山田")},
              {QStringLiteral("納品先名中文"), QStringLiteral("樱花服装")},
              {QStringLiteral("納品先住所1"), QStringLiteral("東京都")},
              {QStringLiteral("納品先住所2"), QStringLiteral("港区")},
              {QStringLiteral("納品先CD"), 101},
              {QStringLiteral("請求先CD"), QStringLiteral("S0001")},
              {QStringLiteral("請求先名"), QStringLiteral("本社")},
              {QStringLiteral("請求先部門"), QStringLiteral("経理部")},
              {QStringLiteral("運賃請求"), 0},
              {QStringLiteral("ロス率"), 2.5},
              {QStringLiteral("ロス請求の有無"), 0},
              {QStringLiteral("通貨区分"), QStringLiteral("JPY")},
              {QStringLiteral("客先契約番号"), QStringLiteral("K-9")},
              {QStringLiteral("決済経路1"), QStringLiteral("経路A")},
              {QStringLiteral("決済経路5"), QStringLiteral("経路E")},
              {QStringLiteral("備考1"), QStringLiteral("至急")},
              {QStringLiteral("備考3"), QStringLiteral("再発行")},
              {QStringLiteral("ケースマーク"), QStringLiteral("KM")},
              {QStringLiteral("発注元名"), QStringLiteral("ケムノア")}});
    poLine(1);
    // A value that looks like a formula stays text.
    poLine(2, {{QStringLiteral("品名2"), QVariant()},
               {QStringLiteral("客先商品CD"), QStringLiteral("=1+2")},
               {QStringLiteral("数量"), 1000},
               {QStringLiteral("下代"), 0.5}});
    ASSERT_EQ(output::MF_PoSheetMake(run()), core::Outcome::Done);
    const QJsonObject dump = saved();
    const QJsonObject info = xlsx::test::dumpSheet(dump, QStringLiteral("納品情報1"));
    const QJsonObject order = xlsx::test::dumpSheet(dump, QStringLiteral("PO1"));
    const std::pair<const char*, const char*> infoCells[] = {
        {"I3", "上海工場"},
        {"BC3", "2026/12/01"},
        {"BC2", "1/1"},
        {"H5", "T0001 株式会社ケムノア"},
        {"AT5", "U01 山田"},
        {"L7", "さくら衣料"},
        {"L8", "樱花服装"},
        {"L9", "東京都 港区"},
        {"L10", " "},
        {"BJ11", "101"},
        {"H14", "本社 経理部"},
        {"K17", "2026/12/20"},
        {"K20", "無し"},
        {"K23", "JPY"},
        {"AF17", "2.5"},
        {"AF18", "不可"},
        {"AF22", "K-9"},
        {"BA17", "経路A"},
        {"BA21", "経路E"},
        {"B27", "至急"},
        {"B29", "再発行"},
        {"AR26", "KM"},
        {"I75", "ケムノア"},
        // Lines, as text: product code, both name lines, customer code, quantity, prices.
        {"B34", "08710001"},
        {"J34", "下札1"},
        {"J35", "二行目1"},
        {"AI34", "C1"},
        {"AR34", "3"},
        {"AY34", "12.345"},
        {"BF34", "100"},
        {"J37", ""},
        {"AR36", "1000"},
        {"AY36", "0.5"},
        {"AI36", "=1+2"}};
    for (const auto& [ref, value] : infoCells) {
        SCOPED_TRACE(ref);
        EXPECT_EQ(cellText(info, QString::fromLatin1(ref)), QString::fromUtf8(value));
    }
    for (const char* ref : {"B34", "AR34", "AY34", "BF34", "BJ11", "AI36"})
        EXPECT_EQ(cellType(info, QString::fromLatin1(ref)), QStringLiteral("s")) << ref;
    const std::pair<const char*, const char*> orderCells[] = {
        {"H7", "上海工場"},     {"H8", "上海市"},
        {"H9", "浦東新区"},     {"H11", "021-1234"},
        {"H13", "王"},          {"AY7", "P00000001"},
        {"AU11", "2026/12/01"}, {"AU13", "U01 山田"},
        {"J60", "至急再発行"},  {"S62", "S0001 本社 経理部"},
        {"L63", "さくら衣料"},  {"S64", "2026/12/20"},
        {"D71", "上海工場"},    {"AR71", "ケムノア"},
        {"AT57", "JPY"},        {"AT60", "K-9"},
        {"D17", "08710001"},    {"L17", "下札1"},
        {"L18", "二行目1"},     {"AK17", "3"},
        {"AT17", "12.345"},     {"BC17", "37"},
        {"AK19", "1000"},       {"BC19", "500"},
        {"AK57", "1003"},       {"BC57", "537"}};
    for (const auto& [ref, value] : orderCells) {
        SCOPED_TRACE(ref);
        EXPECT_EQ(cellText(order, QString::fromLatin1(ref)), QString::fromUtf8(value));
    }
    EXPECT_EQ(cellType(order, QStringLiteral("AK17")), QStringLiteral("s"));
    EXPECT_EQ(cellType(order, QStringLiteral("BC17")), QStringLiteral("n"));
    // The copies keep the template's layout: merges, formats, fonts and page setup.
    EXPECT_TRUE(merged(info, QStringLiteral("B34:I35")));
    EXPECT_TRUE(merged(order, QStringLiteral("BC17:BJ18")));
    EXPECT_EQ(xlsx::test::dumpCell(order, QStringLiteral("BC17"))[QStringLiteral("format")].toString(),
              QStringLiteral("#,##0"));
    EXPECT_EQ(
        xlsx::test::dumpCell(info, QStringLiteral("B34"))[QStringLiteral("font")][QStringLiteral("name")]
            .toString(),
        QStringLiteral("ＭＳ Ｐゴシック"));
    for (const QJsonObject& s : {info, order}) {
        EXPECT_EQ(s[QStringLiteral("paperSize")].toInt(), 9);
        EXPECT_EQ(s[QStringLiteral("orientation")].toString(), QStringLiteral("portrait"));
        EXPECT_TRUE(s[QStringLiteral("fitToPage")].toBool());
    }
}

TEST_P(PoSheetTest, FreightAndLossTermsInWords) {
    struct Case {
        QVariant freight, loss, lossClaim;
        const char *k20, *af17, *af18;
    };
    const Case cases[] = {
        {0, 1, 0, "無し", "込み", "不可"},
        {1, 2.5, 1, "有り", "2.5", "可能"},
        {QVariant(), QVariant(), QVariant(), "有り", "", "可能"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.af17);
        po_.execute(QStringLiteral("Delete From TBL_PO_H"));
        po_.execute(QStringLiteral("Delete From TBL_PO_M"));
        poHeader({{QStringLiteral("運賃請求"), c.freight},
                  {QStringLiteral("ロス率"), c.loss},
                  {QStringLiteral("ロス請求の有無"), c.lossClaim}});
        poLine(1);
        ASSERT_EQ(output::MF_PoSheetMake(run(QStringLiteral("1"))), core::Outcome::Done);
        const QJsonObject info = xlsx::test::dumpSheet(saved(), QStringLiteral("納品情報1"));
        EXPECT_EQ(cellText(info, QStringLiteral("K20")), QString::fromUtf8(c.k20));
        EXPECT_EQ(cellText(info, QStringLiteral("AF17")), QString::fromUtf8(c.af17));
        EXPECT_EQ(cellText(info, QStringLiteral("AF18")), QString::fromUtf8(c.af18));
    }
}

TEST_P(PoSheetTest, AFailureIsReportedAndTheSheetsSoFarStay) {
    poHeader();
    for (int i = 1; i <= 21; ++i)
        poLine(i);
    output::PackageRun& r = run();
    // A sheet of the second page's name is already there: naming the copy fails.
    r.PkgBook->copySheetToEnd(r.PkgBook->sheet(1)).setName(QStringLiteral("納品情報2"));
    EXPECT_EQ(output::MF_PoSheetMake(r), core::Outcome::Failed);
    ASSERT_EQ(prompter_.messages().size(), 1);
    EXPECT_TRUE(prompter_.messages()[0].startsWith(QStringLiteral("[MF_PoSheetMake] ")));
    EXPECT_TRUE(prompter_.messages()[0].contains(QStringLiteral("納品情報2")))
        << prompter_.messages()[0].toStdString();
    EXPECT_EQ(prompter_.events[0].icon, core::MsgIcon::Critical);
    EXPECT_EQ(r.PkgBook->sheetNames().mid(2, 2),
              (QStringList{QStringLiteral("納品情報1"), QStringLiteral("PO1")}));

    // A missing template fails the step the same way.
    QFile::remove(program_ + QStringLiteral("/templates/MST_PO.xlsx"));
    EXPECT_EQ(output::MF_PoSheetMake(run()), core::Outcome::Failed);
    EXPECT_TRUE(prompter_.messages().value(1).contains(QStringLiteral("MST_PO.xlsx")));
    EXPECT_TRUE(prompter_.messages().value(1).endsWith(QStringLiteral("(53)")));
}

TEST(PoBookName, GkNumbersGetTheirOwnPrefix) {
    const std::pair<const char*, const char*> cases[] = {{"1", "GK.P00000001.xlsx"},
                                                         {"0", "PO.P00000001.xlsx"},
                                                         {"G", "PO.P00000001.xlsx"},
                                                         {"", "PO.P00000001.xlsx"}};
    for (const auto& [kbn, name] : cases)
        EXPECT_EQ(output::poBookFileName(QStringLiteral("P00000001"), QString::fromLatin1(kbn)),
                  QString::fromLatin1(name))
            << kbn;
}

INSTANTIATE_TEST_SUITE_P(Dialects, PoSheetTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
