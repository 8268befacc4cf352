// The PO database update of a PO: the header's values from the orders, the fixed company values and
// the masters; the hold mark; the detail rows with the retail-price rule and the amount's rounding;
// repetition and rollback.

#include "output/po_database_update.h"
#include "output_fixture.h"

#include "platform/db/sql_text.h"

using namespace kemnoa;

namespace {

class PoDatabaseUpdateTest : public test::OutputTest {
protected:
    const QString po = QStringLiteral("P00000001");

    core::Outcome update(const QString& kbn = QStringLiteral("0")) {
        return output::MF_PoDatabaseUpdate(prompter_, connection_, po_, po, kbn, QDate(2026, 12, 1));
    }
    void skRow(int gyou, const QString& sho, const QString& name2, const QVariant& su, double sh, double kem1,
               double kem2) {
        insert(connection_, QStringLiteral("rcv_skdata"),
               {{QStringLiteral("PO_NO"), po},
                {QStringLiteral("PO_KBN"), QStringLiteral("0")},
                {QStringLiteral("PO_GYOU"), gyou},
                {QStringLiteral("SHO_CD"), sho},
                {QStringLiteral("SHO_NM1"), QStringLiteral("下札")},
                {QStringLiteral("SHO_NM2"), name2},
                {QStringLiteral("SU"), su},
                {QStringLiteral("SH_PRICE"), sh},
                {QStringLiteral("KEM_PRICE1"), kem1},
                {QStringLiteral("KEM_PRICE2"), kem2},
                {QStringLiteral("HINSYU_CD"), QStringLiteral("TAG")}});
    }
    // The header row's values by column, as text ("<null>" for Null); empty when there is no row.
    QMap<QString, QString> header() {
        QMap<QString, QString> out;
        db::Reader r = po_.read(QStringLiteral("Select * From TBL_PO_H Where PO番号 = ?"), {po});
        if (r.atEnd())
            return out;
        for (int i = 0; i < r.columnCount(); ++i)
            out.insert(r.column(i).name, db::isNull(r.value(i)) ? QStringLiteral("<null>") : r.text(i));
        return out;
    }
};

struct HeaderCase {
    const char* name;
    test::Values order;              // changes to the PO's order
    bool holdOnOtherKind;            // an order of the same number, other kind, with BIKO2 '1'
    QMap<QString, QString> expected; // header columns
};

TEST_P(PoDatabaseUpdateTest, HeaderValuesComeFromTheOrdersTheFixedValuesAndTheMasters) {
    const std::vector<HeaderCase> cases = {
        {"destination, partner and terms found; hold mark on an order of the other kind",
         {},
         true,
         {{QStringLiteral("PO番号"), po},
          {QStringLiteral("PO発行日"), QStringLiteral("2026/12/01")},
          {QStringLiteral("発注区分"), QStringLiteral("0")},
          {QStringLiteral("修正回数"), QString()},
          {QStringLiteral("希望納期"), QStringLiteral("2026/12/20")},
          {QStringLiteral("発注先CD"), QStringLiteral("V001")},
          {QStringLiteral("発注先名"), QStringLiteral("上海芬隆制衣輔料有限公司")},
          {QStringLiteral("発注先担当者名"), QStringLiteral("王 明")},
          {QStringLiteral("発注先責任者名"), QStringLiteral("王 明")},
          {QStringLiteral("発注元CD"), QStringLiteral("H0001")},
          {QStringLiteral("発注元TEL番号"), QStringLiteral("052-123-4567")},
          {QStringLiteral("発注元担当者CD"), QStringLiteral("1234")},
          {QStringLiteral("発注元責任者名"), QStringLiteral("鈴木 一郎")},
          {QStringLiteral("得意先CD"), QStringLiteral("T0001")},
          {QStringLiteral("請求先CD"), QStringLiteral("S0001")},
          {QStringLiteral("請求先FAX番号"), QStringLiteral("03-1234-5679")},
          {QStringLiteral("請求先担当者名"), QStringLiteral("佐藤 花子")},
          {QStringLiteral("納品先CD"), QStringLiteral("101")},
          {QStringLiteral("納品先名"), QStringLiteral("株式会社さくら衣料 物流センター")},
          {QStringLiteral("納品先部門"), QStringLiteral("入荷課")},
          {QStringLiteral("納品先名中文"), QStringLiteral("樱花服饰株式会社 物流中心")},
          {QStringLiteral("通貨区分"), QStringLiteral("JPY")},
          {QStringLiteral("運賃請求"), QStringLiteral("1")},
          {QStringLiteral("ロス請求の有無"), QStringLiteral("0")},
          {QStringLiteral("ロス率"), QStringLiteral("1")},
          {QStringLiteral("出荷方法"), QStringLiteral("航空便")},
          {QStringLiteral("決済経路1"), QStringLiteral("上海芬隆")},
          {QStringLiteral("備考1"), QStringLiteral("検品後出荷")},
          {QStringLiteral("備考5"), QStringLiteral("納期厳守 ※出荷保留")},
          {QStringLiteral("ケースマーク"), QStringLiteral("KEMNOA / MADE IN CHINA")}}},
        {"destination unknown: the order's own destination, no partner, no terms",
         {{QStringLiteral("NOU_CD"), QStringLiteral("C'999")},
          {QStringLiteral("NOU_NM"), QStringLiteral("Men's 倉庫")},
          {QStringLiteral("NOU_ADR2"), QStringLiteral("2F")},
          {QStringLiteral("NOU_TEL"), QStringLiteral("03-0000")},
          {QStringLiteral("NOU_BUSHO_NM"), QStringLiteral("入荷")},
          {QStringLiteral("NOU_TANTO_NM"), QStringLiteral("山田")},
          {QStringLiteral("BIKO2"), QStringLiteral("1")}},
         false,
         {{QStringLiteral("発注先CD"), QString()},
          {QStringLiteral("発注先責任者名"), QString()},
          {QStringLiteral("納品先CD"), QStringLiteral("0")},
          {QStringLiteral("納品先名"), QStringLiteral("Men's 倉庫")},
          {QStringLiteral("納品先住所1"), QStringLiteral("東京都")},
          {QStringLiteral("納品先住所2"), QStringLiteral("2F")},
          {QStringLiteral("納品先TEL番号"), QStringLiteral("03-0000")},
          {QStringLiteral("納品先FAX番号"), QString()},
          {QStringLiteral("納品先部門"), QStringLiteral("入荷")},
          {QStringLiteral("納品先担当者名"), QStringLiteral("山田")},
          {QStringLiteral("納品先名中文"), QString()},
          {QStringLiteral("通貨区分"), QString()},
          {QStringLiteral("運賃請求"), QStringLiteral("<null>")},
          {QStringLiteral("ロス請求の有無"), QStringLiteral("<null>")},
          {QStringLiteral("ロス率"), QStringLiteral("<null>")},
          {QStringLiteral("備考4"), QString()},
          {QStringLiteral("備考5"), QStringLiteral("※出荷保留")},
          {QStringLiteral("ケースマーク"), QString()}}},
        {"terms found, no hold mark: the remark and one blank",
         {{QStringLiteral("NOU_CD"), QString::fromLatin1(demo::DestinationCodes[1])}},
         false,
         {{QStringLiteral("発注先CD"), QStringLiteral("V001")},
          {QStringLiteral("納品先CD"), QStringLiteral("102")},
          {QStringLiteral("ロス率"), QStringLiteral("2.5")},
          {QStringLiteral("備考5"), QStringLiteral("納期厳守 ")}}},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        connection_.execute(QStringLiteral("Delete From rcv_denheaddata"));
        test::Values order = c.order;
        order[QStringLiteral("PO_NO")] = po;
        order[QStringLiteral("PO_KBN")] = QStringLiteral("0");
        addOrder(601, order);
        if (c.holdOnOtherKind)
            addOrder(602, {{QStringLiteral("PO_NO"), po},
                           {QStringLiteral("PO_KBN"), QStringLiteral("1")},
                           {QStringLiteral("BIKO2"), QStringLiteral("1")}});
        ASSERT_EQ(update(), core::Outcome::Done)
            << prompter_.messages().join(QLatin1Char('\n')).toStdString();
        const auto h = header();
        ASSERT_EQ(h.size(), 70);
        for (auto it = c.expected.begin(); it != c.expected.end(); ++it)
            EXPECT_EQ(h.value(it.key()), it.value()) << it.key().toStdString();
    }
    EXPECT_EQ(count(po_, QStringLiteral("TBL_PO_H")), 1); // rewritten, never added to
}

TEST_P(PoDatabaseUpdateTest, DetailRowsPerProductWithRetailPriceRuleAndTruncatedAmount) {
    struct Case {
        const char* name;
        QString shkaPlace;
        QStringList rows; // PO行|商品CD|品名1|品名2|数量|下代|上代|金額
    };
    skRow(1, QStringLiteral("8710001"), QStringLiteral("Men's 220kg"), 2, 12.345, 100, 90);
    skRow(2, QStringLiteral("8710001"), QStringLiteral("Men's 220kg"), 1, 12.345, 100, 90);
    skRow(3, QStringLiteral("8710002"), QStringLiteral("B"), -4, 2.55, 5, 4.8);
    skRow(4, QStringLiteral("8710003"), QStringLiteral("C"), QVariant(), 3.2, 0, 0);
    const std::vector<Case> cases = {
        {"shipped from the factory: the first KEM price",
         QStringLiteral("上海工場"),
         {QStringLiteral("1|8710001|下札|Mens 220kg|3|12.345|100|37"),
          QStringLiteral("2|8710002|下札|B|-4|2.55|5|-10"), QStringLiteral("3|8710003|下札|C|0|3.2|0|0")}},
        {"handed over in Japan: the second KEM price",
         QStringLiteral("日本渡し"),
         {QStringLiteral("1|8710001|下札|Mens 220kg|3|12.345|90|37"),
          QStringLiteral("2|8710002|下札|B|-4|2.55|4.8|-10"), QStringLiteral("3|8710003|下札|C|0|3.2|0|0")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connection_.execute(QStringLiteral("Delete From rcv_denheaddata"));
        addOrder(611, {{QStringLiteral("PO_NO"), po},
                       {QStringLiteral("PO_KBN"), QStringLiteral("0")},
                       {QStringLiteral("SHKA_PLACE"), c.shkaPlace}});
        ASSERT_EQ(update(), core::Outcome::Done);
        QStringList rows;
        for (db::Reader r =
                 po_.read(QStringLiteral("Select * From TBL_PO_M Where PO番号 = ? Order By PO行"), {po});
             !r.atEnd(); r.moveNext()) {
            QStringList v;
            for (const char* col : {"PO行", "商品CD", "品名1", "品名2", "数量", "下代", "上代", "金額"})
                v << r.text(QString::fromUtf8(col));
            EXPECT_EQ(r.text(QStringLiteral("客先商品CD")) + r.text(QStringLiteral("備考3")), QString());
            rows << v.join(QLatin1Char('|'));
        }
        EXPECT_EQ(rows, c.rows);
    }
}

TEST_P(PoDatabaseUpdateTest, OrdersOfTwoRequestedDatesWriteTheFirstGroupOnly) {
    const test::Values inPo{{QStringLiteral("PO_NO"), po}, {QStringLiteral("PO_KBN"), QStringLiteral("0")}};
    test::Values later = inPo;
    later[QStringLiteral("KIBO_DATE")] = QStringLiteral("20261230");
    later[QStringLiteral("NOU_CD")] = QString::fromLatin1(demo::DestinationCodes[2]);
    addOrder(631, later);
    addOrder(632, inPo);
    addOrder(633, inPo);
    ASSERT_EQ(update(), core::Outcome::Done);
    EXPECT_EQ(header().value(QStringLiteral("希望納期")), QStringLiteral("2026/12/20"));
    EXPECT_EQ(header().value(QStringLiteral("納品先CD")), QStringLiteral("101"));
}

TEST_P(PoDatabaseUpdateTest, APoWithoutOrdersGetsNoHeaderButItsDetailRows) {
    skRow(1, QStringLiteral("8710001"), QStringLiteral("A"), 2, 1.5, 3, 2);
    ASSERT_EQ(update(), core::Outcome::Done);
    EXPECT_TRUE(header().isEmpty());
    EXPECT_EQ(count(po_, QStringLiteral("TBL_PO_M Where PO番号 = ?"), {po}), 1);
}

TEST_P(PoDatabaseUpdateTest, AFailureRollsBackBothTablesAndSaysSo) {
    addOrder(621, {{QStringLiteral("PO_NO"), po}, {QStringLiteral("PO_KBN"), QStringLiteral("0")}});
    skRow(1, QStringLiteral("8710001"), QStringLiteral("A"), 2, 1.5, 3, 2);
    ASSERT_EQ(update(), core::Outcome::Done);
    // The product query fails now (its table is gone), after the header was rewritten.
    connection_.execute(QStringLiteral("Drop Table rcv_skdata"));
    connection_.execute(QStringLiteral("Update rcv_denheaddata Set KIBO_DATE = '20270101'"));
    EXPECT_EQ(update(), core::Outcome::Failed);
    EXPECT_EQ(prompter_.messages(),
              QStringList{QStringLiteral(
                  "[PO作成エラー] PO番号(P00000001)のデータをPOデータベースにアップデートする際に"
                  "エラーが発生しました。\r\n処理はキャンセルされました。")});
    EXPECT_EQ(prompter_.events.front().icon, core::MsgIcon::Critical);
    EXPECT_EQ(header().value(QStringLiteral("希望納期")), QStringLiteral("2026/12/20"));
    EXPECT_EQ(count(po_, QStringLiteral("TBL_PO_M Where PO番号 = ?"), {po}), 1);
}

INSTANTIATE_TEST_SUITE_P(Dialects, PoDatabaseUpdateTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
