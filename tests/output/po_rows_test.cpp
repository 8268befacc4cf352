// The print rows and production rows of a PO: PO lines across kinds, print variants, values from
// the masters and the office product master, replacement per PO, and the safe layout names.

#include "maintenance/po_rows_procedures.h"
#include "maintenance/server_procedures.h"
#include "output_fixture.h"

#include <QRegularExpression>

using namespace kemnoa;

namespace {

class PoRowsTest : public test::OutputTest {
protected:
    const QString po = QStringLiteral("P00000001");

    core::Outcome rebuild() {
        if (failed(maintenance::MP_CsvDataMake(prompter_, connection_, po, QStringLiteral("0"))))
            return core::Outcome::Failed;
        return maintenance::MP_SkDataMake(prompter_, connection_, po, QStringLiteral("0"));
    }

    // Two orders of the PO and one of the same number with the other kind (not part of it).
    void samplePo() {
        const test::Values inPo{{QStringLiteral("PO_NO"), po},
                                {QStringLiteral("PO_KBN"), QStringLiteral("0")}};
        addOrder(501, inPo);
        addOrder(502, inPo);
        addOrder(503, {{QStringLiteral("PO_NO"), po}, {QStringLiteral("PO_KBN"), QStringLiteral("1")}});
        const QString pos = QStringLiteral("rcv_posdata"), car = QStringLiteral("rcv_cardata");
        addLine(pos, 501, 1, {{QStringLiteral("TAHIN"), QStringLiteral("A")}});
        addLine(pos, 501, 2,
                {{QStringLiteral("TAHIN"), QStringLiteral("A")},
                 {QStringLiteral("TACLT"), QStringLiteral("ホワイト")},
                 {QStringLiteral("TASIZ"), QStringLiteral("L")},
                 {QStringLiteral("SU"), 5},
                 {QStringLiteral("TAFM1"), QStringLiteral("表示者")},
                 {QStringLiteral("TAHN1"), QStringLiteral("Men's 衣料")}});
        addLine(pos, 501, 3,
                {{QStringLiteral("TAHIN"), QStringLiteral("A")},
                 {QStringLiteral("TAFCD"), QStringLiteral("KT-1002")},
                 {QStringLiteral("SU"), 7}});
        addLine(car, 501, 1,
                {{QStringLiteral("TAFCD"), QStringLiteral("CT-01")},
                 {QStringLiteral("EHJ"), QStringLiteral("E0001")},
                 {QStringLiteral("FUKI1"), QStringLiteral("F001")},
                 {QStringLiteral("FUKI2"), QStringLiteral("F009")},
                 {QStringLiteral("TASIZ"), QStringLiteral("120")},
                 {QStringLiteral("SU"), 3}});
        insert(connection_, QStringLiteral("rcv_fuzokudata"),
               {{QStringLiteral("ORD_NO"), 501},
                {QStringLiteral("GYOU"), 1},
                {QStringLiteral("SIZAI_CD"), QStringLiteral("T-201")},
                {QStringLiteral("SURYOKEI"), 40}});
        insert(connection_, QStringLiteral("rcv_fuzokudata"),
               {{QStringLiteral("ORD_NO"), 501},
                {QStringLiteral("GYOU"), 2},
                {QStringLiteral("SIZAI_CD"), QStringLiteral("Q-301")},
                {QStringLiteral("SURYOKEI"), QVariant()}});
        addLine(pos, 502, 1, {{QStringLiteral("TAHIN"), QStringLiteral("A")}, {QStringLiteral("SU"), 2}});
        addLine(pos, 503, 1);
    }
};

TEST_P(PoRowsTest, PoLinesNumberAcrossKindsAndGatherTheVariantsOfALine) {
    samplePo();
    ASSERT_EQ(rebuild(), core::Outcome::Done) << prompter_.messages().join(QLatin1Char('\n')).toStdString();
    // PO_GYOU | kind | layout | article | product | names | SU | prices
    const QStringList expected = {
        QStringLiteral("1|501|1|TAG|KT-1001|A|8710001|下札|上質紙 220kg|15|2.1|4.5|4.2"),
        QStringLiteral("2|501|3|TAG|KT-1002|A|8710002|下札|コート紙 ミシン目入|7|2.4|5|4.8"),
        QStringLiteral("3|501|1|CAR|CARE-STD|KM-1000|8710005|品質表示|テトロンタフタ|3|6|12|11.5"),
        QStringLiteral("4|501|1||||8710001|下札|上質紙 220kg|40|2.1|4.5|4.2"),
        QStringLiteral("5|501|2|||||||0|0|0|0"),
        QStringLiteral("6|502|1|TAG|KT-1001|A|8710001|下札|上質紙 220kg|2|2.1|4.5|4.2"),
    };
    QStringList rows;
    for (db::Reader r = connection_.read(
             QStringLiteral("Select * From rcv_skdata Where PO_NO = ? Order By PO_GYOU"), {po});
         !r.atEnd(); r.moveNext()) {
        QStringList v;
        for (const char* c : {"PO_GYOU", "ORD_NO", "GYOU", "HINSYU_CD", "LAYOUT", "HINBAN", "SHO_CD",
                              "SHO_NM1", "SHO_NM2", "SU", "SH_PRICE", "KEM_PRICE1", "KEM_PRICE2"}) {
            EXPECT_FALSE(r.isNull(QString::fromLatin1(c))) << c;
            v << r.text(QString::fromLatin1(c));
        }
        EXPECT_EQ(r.text(QStringLiteral("PO_KBN")), QStringLiteral("0"));
        EXPECT_EQ(r.text(QStringLiteral("IRAI_NO")),
                  QStringLiteral("R%1").arg(r.text(QStringLiteral("ORD_NO"))));
        rows << v.join(QLatin1Char('|'));
    }
    EXPECT_EQ(rows, expected);

    // One print row per order line of the hang-tag and care-label lines, with its line's number.
    EXPECT_EQ(column(connection_,
                     QStringLiteral(
                         "Select ORD_NO || '-' || HINSYU_CD || GYOU || ':' || PO_GYOU || ' ' || COLOR_NO || "
                         "' ' || SIZE_VALUE || ' ' || SORT_LV || ' ' || SU From rcv_csvdata "
                         "Where PO_NO = ? Order By PO_GYOU, ORD_NO, GYOU"),
                     {po}),
              (QStringList{QStringLiteral("501-TAG1:1 ネイビー M 30 10"),
                           QStringLiteral("501-TAG2:1 ホワイト L 40 5"),
                           QStringLiteral("501-TAG3:2 ネイビー M 30 7"),
                           QStringLiteral("501-CAR1:3 ネイビー 120 140 3"),
                           QStringLiteral("502-TAG1:6 ネイビー M 30 2")}));
    db::Reader tag = connection_.read(
        QStringLiteral(
            "Select * From rcv_csvdata Where PO_NO = ? And ORD_NO = 501 And HINSYU_CD = 'TAG' And GYOU = 2"),
        {po});
    ASSERT_FALSE(tag.atEnd());
    EXPECT_EQ(tag.text(QStringLiteral("QUL1")), QStringLiteral("綿"));
    EXPECT_EQ(tag.text(QStringLiteral("PER1")), QStringLiteral("80%"));
    EXPECT_EQ(tag.text(QStringLiteral("QUL3")), QString());
    EXPECT_FALSE(tag.isNull(QStringLiteral("QUL3")));
    EXPECT_EQ(tag.text(QStringLiteral("EHJ_NO")), QString());
    EXPECT_EQ(tag.text(QStringLiteral("HYOJI1")), QStringLiteral("表示者 Men's 衣料"));
    EXPECT_EQ(tag.text(QStringLiteral("KIBO_DATE")), QStringLiteral("20261220"));
    EXPECT_EQ(tag.text(QStringLiteral("SH_PRICE")), QStringLiteral("2.1"));
    db::Reader care = connection_.read(
        QStringLiteral("Select * From rcv_csvdata Where PO_NO = ? And HINSYU_CD = 'CAR'"), {po});
    ASSERT_FALSE(care.atEnd());
    EXPECT_EQ(care.text(QStringLiteral("EHJ_NO")), QStringLiteral("E0001"));
    EXPECT_EQ(care.text(QStringLiteral("EHJ1")), QStringLiteral("1030"));
    EXPECT_EQ(care.text(QStringLiteral("EHJ6")), QStringLiteral("6020"));
    EXPECT_EQ(care.text(QStringLiteral("EHJ_HENKAN")), QStringLiteral("A01"));
    EXPECT_EQ(care.text(QStringLiteral("FUKI1")), QStringLiteral("洗濯ネットを使用してください"));
    EXPECT_EQ(care.text(QStringLiteral("FUKI2")), QStringLiteral("素材の特性上、多少縮むことがあります"));
    EXPECT_EQ(care.text(QStringLiteral("FUKI3")), QString());
    // The other PO kind of the same number has rows of its own only when asked for.
    EXPECT_EQ(count(connection_, QStringLiteral("rcv_csvdata Where PO_KBN = '1'")), 0);
}

TEST_P(PoRowsTest, ARebuildReplacesTheRowsOfThatPoOnly) {
    samplePo();
    insert(connection_, QStringLiteral("rcv_skdata"),
           {{QStringLiteral("PO_NO"), QStringLiteral("P00000002")},
            {QStringLiteral("PO_KBN"), QStringLiteral("0")},
            {QStringLiteral("PO_GYOU"), 1}});
    ASSERT_EQ(rebuild(), core::Outcome::Done);
    connection_.execute(QStringLiteral("Update rcv_posdata Set SU = 9 Where ORD_NO = 502"));
    ASSERT_EQ(rebuild(), core::Outcome::Done);
    EXPECT_EQ(count(connection_, QStringLiteral("rcv_csvdata Where PO_NO = ?"), {po}), 5);
    EXPECT_EQ(count(connection_, QStringLiteral("rcv_skdata Where PO_NO = ?"), {po}), 6);
    EXPECT_EQ(column(connection_, QStringLiteral("Select SU From rcv_skdata Where PO_NO = ? And PO_GYOU = 6"),
                     {po}),
              QStringList{QStringLiteral("9")});
    EXPECT_EQ(count(connection_, QStringLiteral("rcv_skdata Where PO_NO = 'P00000002'")), 1);
}

TEST_P(PoRowsTest, ProductionRowsRefuseToRunOnPrintRowsThatDoNotMatchTheOrders) {
    samplePo();
    const QString prefix = QStringLiteral("生産管理テーブルを作成中にエラーが発生しました。");
    // Never made.
    EXPECT_EQ(maintenance::MP_SkDataMake(prompter_, connection_, po, QStringLiteral("0")),
              core::Outcome::Failed);
    ASSERT_EQ(rebuild(), core::Outcome::Done);
    // A line added after the print rows were made.
    addLine(QStringLiteral("rcv_posdata"), 502, 2, {{QStringLiteral("TAFCD"), QStringLiteral("KT-2001")}});
    EXPECT_EQ(maintenance::MP_SkDataMake(prompter_, connection_, po, QStringLiteral("0")),
              core::Outcome::Failed);
    ASSERT_EQ(prompter_.events.size(), 2u);
    for (const auto& e : prompter_.events) {
        EXPECT_TRUE(e.text.startsWith(prefix));
        EXPECT_TRUE(e.text.endsWith(
            QStringLiteral("PO番号(P00000001)の印刷データ(rcv_csvdata)が発注データと一致しません。"
                           "CSVテーブルを作成し直してください。")));
    }
    // The earlier production rows are kept; a rebuild of both takes the new line.
    EXPECT_EQ(count(connection_, QStringLiteral("rcv_skdata Where PO_NO = ?"), {po}), 6);
    ASSERT_EQ(rebuild(), core::Outcome::Done);
    EXPECT_EQ(count(connection_, QStringLiteral("rcv_skdata Where PO_NO = ?"), {po}), 7);
}

TEST(SafeLayoutName, KeepsSafeNamesAndTurnsOthersIntoDistinctSafeOnes) {
    struct Case {
        QString in;
        bool kept;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("KT-1001"), true},
        {QStringLiteral("CARE_STD"), true},
        {QStringLiteral("_x"), true},
        {QStringLiteral("CON"), false},
        {QStringLiteral("lpt1"), false},
        {QStringLiteral("xmlTag"), false},
        {QStringLiteral("1ABC"), false},
        {QStringLiteral("下札A"), false},
        {QStringLiteral("上札A"), false},
        {QStringLiteral("a/b\\..:*"), false},
        {QString(), false},
        {QString(41, QLatin1Char('A')), false},
        {QStringLiteral("CT 01"), false},
    };
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z_][A-Za-z0-9_-]{0,39}$"));
    QSet<QString> seen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in.toStdString());
        const QString out = maintenance::safeLayoutName(c.in);
        EXPECT_TRUE(safe.match(out).hasMatch()) << out.toStdString();
        EXPECT_FALSE(out.startsWith(QLatin1String("xml"), Qt::CaseInsensitive));
        if (c.kept)
            EXPECT_EQ(out, c.in);
        else
            EXPECT_TRUE(out.startsWith(QLatin1String("L_"))) << out.toStdString();
        EXPECT_FALSE(seen.contains(out));
        seen.insert(out);
        EXPECT_EQ(maintenance::safeLayoutName(c.in), out); // stable
    }
}

INSTANTIATE_TEST_SUITE_P(Dialects, PoRowsTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
