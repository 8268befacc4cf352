// The production-control update of a PO: jobs per hang-tag and care-label line, composition groups
// with circled numbers, the size grid and the total, repetition, and the rollback of a failed update.

#include "output/sk_database_update.h"
#include "output_fixture.h"

using namespace kemnoa;

namespace {

class SkDatabaseUpdateTest : public test::OutputTest {
protected:
    const QString po = QStringLiteral("P00000001");

    core::Outcome update() {
        return output::MF_SkDatabaseUpdate(prompter_, connection_, sk_, po, QStringLiteral("0"));
    }

    void line(int gyou, const QString& kind, qint32 ordNo = 701) {
        insert(connection_, QStringLiteral("rcv_skdata"),
               {{QStringLiteral("PO_NO"), po},
                {QStringLiteral("PO_KBN"), QStringLiteral("0")},
                {QStringLiteral("PO_GYOU"), gyou},
                {QStringLiteral("ORD_NO"), ordNo},
                {QStringLiteral("HINSYU_CD"), kind},
                {QStringLiteral("LAYOUT"), QStringLiteral("KT-1001")},
                {QStringLiteral("HINBAN"), QStringLiteral("A-1")},
                {QStringLiteral("SHO_CD"), QStringLiteral("8710001")}});
    }
    // A print row of the line: colour, size, sort level, quantity and its material/share pairs.
    void print(int gyou, const QString& color, const QString& size, int sort, const QVariant& su,
               const QStringList& pairs) {
        test::Values v{{QStringLiteral("PO_NO"), po},
                       {QStringLiteral("PO_KBN"), QStringLiteral("0")},
                       {QStringLiteral("PO_GYOU"), gyou},
                       {QStringLiteral("COLOR_NO"), color},
                       {QStringLiteral("CAPTION_SIZE"), size},
                       {QStringLiteral("SORT_LV"), sort},
                       {QStringLiteral("SU"), su},
                       {QStringLiteral("GENSAN"), QStringLiteral("中国")}};
        for (int n = 1; n <= 12; ++n) {
            v[QStringLiteral("QUL%1").arg(n)] = pairs.value(2 * n - 2);
            v[QStringLiteral("PER%1").arg(n)] = pairs.value(2 * n - 1);
        }
        insert(connection_, QStringLiteral("rcv_csvdata"), v);
    }
    QStringList lines(const char* sql, int no) { return column(sk_, QString::fromUtf8(sql), {po, no}); }
};

TEST_P(SkDatabaseUpdateTest, JobsGetHeaderPartiesCompositionGroupsGridAndTotal) {
    addOrder(701, {{QStringLiteral("PO_NO"), po},
                   {QStringLiteral("PO_KBN"), QStringLiteral("0")},
                   {QStringLiteral("NOU_NM"), QStringLiteral("Men's 倉庫")}});
    line(1, QStringLiteral("TAG"));
    line(2, QStringLiteral("CAR"));
    line(3, QString());             // an assortment line: not a job
    line(4, QStringLiteral("XXX")); // another kind: skipped
    const QStringList navy = {QStringLiteral("綿"), QStringLiteral("80%"), QStringLiteral("ポリエステル"),
                              QStringLiteral("20%")};
    print(1, QStringLiteral("ネイビー"), QStringLiteral("M"), 30, 10, navy);
    print(1, QStringLiteral("ネイビー"), QStringLiteral("L"), 40, QVariant(), navy);
    print(1, QStringLiteral("ホワイト"), QStringLiteral("M"), 30, 5,
          {QStringLiteral("綿"), QStringLiteral("100%")});
    // The same materials with other shares make a group of their own.
    print(
        1, QStringLiteral("ホワイト"), QStringLiteral("L"), 40, 7,
        {QStringLiteral("綿"), QStringLiteral("70%"), QStringLiteral("ポリエステル"), QStringLiteral("30%")});
    print(2, QStringLiteral("ネイビー"), QStringLiteral("M"), 30, 3, {});
    // Rows of another PO and left-overs of earlier runs.
    insert(sk_, QStringLiteral("TBL_SJ"), {{QStringLiteral("PO"), po}, {QStringLiteral("NO"), 1}});
    insert(sk_, QStringLiteral("TBL_YJ"), {{QStringLiteral("PO"), po}, {QStringLiteral("NO"), 1}});
    insert(sk_, QStringLiteral("TBL_H"),
           {{QStringLiteral("PO"), QStringLiteral("P00000002")}, {QStringLiteral("NO"), 1}});

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_EQ(update(), core::Outcome::Done)
            << prompter_.messages().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(
            column(
                sk_,
                QStringLiteral("Select NO || '|' || SKNO || '|' || 発注日 || '|' || 希望納期 || '|' || 品番 "
                               "|| '|' || 生産場所 || '|' || ブランド || '|' || 品種 || '|' || 品名 "
                               "From TBL_H Where PO = ? Order By NO"),
                {po}),
            (QStringList{QStringLiteral("1||2026/12/01|2026/12/20|A-1|上海|8710001|下札|KT-1001"),
                         QStringLiteral("2||2026/12/01|2026/12/20|A-1|上海|8710001|洗濯ネーム|KT-1001")}));
        EXPECT_EQ(
            column(sk_,
                   QStringLiteral("Select 得意先CD || '|' || 得意先名 || '|' || 発注元CD || '|' || 発注先CD "
                                  "|| '|' || 請求先CD || '|' || 納品先CD || '|' || 納品先名 From TBL_NJ "
                                  "Where PO = ? Order By NO"),
                   {po}),
            (QStringList(2, QStringLiteral("T0001|株式会社ケムノア|H0001||S0001|C0101-01|Men's 倉庫"))));
        // Groups in material order: 綿100% (①), 綿70%... (②), 綿80%... (③); every line its own place.
        EXPECT_EQ(lines("Select LINE || ':' || 内容 From TBL_QUA Where PO = ? And NO = ? Order By LINE", 1),
                  (QStringList{QStringLiteral("1:品質表示①"), QStringLiteral("2:--------------------------"),
                               QStringLiteral("3:綿100%"), QStringLiteral("4:--------------------------"),
                               QStringLiteral("5:品質表示②"), QStringLiteral("6:--------------------------"),
                               QStringLiteral("7:綿70%"), QStringLiteral("8:ポリエステル30%"),
                               QStringLiteral("9:--------------------------"), QStringLiteral("10:品質表示③"),
                               QStringLiteral("11:--------------------------"), QStringLiteral("12:綿80%"),
                               QStringLiteral("13:ポリエステル20%"),
                               QStringLiteral("14:--------------------------")}));
        EXPECT_EQ(lines("Select SKNO From TBL_QUA Where PO = ? And NO = ?", 1).value(0), po);
        // A job without any pair: one empty line.
        EXPECT_EQ(lines("Select LINE || ':' || 内容 From TBL_QUA Where PO = ? And NO = ? Order By LINE", 2),
                  QStringList{QStringLiteral("1:")});
        EXPECT_EQ(
            lines("Select LINE || '|' || COLS || '|' || F1 || '|' || F2 || '|' || F3 || '|' || F4 || '|' || "
                  "F5 || '|' || F6 || '|' || F7 || F22 From TBL_SKU Where PO = ? And NO = ? Order By LINE",
                  1),
            (QStringList{
                QStringLiteral("1|6|カラー|サイズ|数量||原産国||"),
                QStringLiteral("2|6|ネイビー|M|10||中国|③|"), QStringLiteral("3|6|ネイビー|L|||中国|③|"),
                QStringLiteral("4|6|ホワイト|M|5||中国|①|"), QStringLiteral("5|6|ホワイト|L|7||中国|②|")}));
        EXPECT_EQ(
            lines("Select 数量 || '|' || SKNO || '|' || 見込みロス From TBL_TOTAL Where PO = ? And NO = ?",
                  1),
            QStringList{QStringLiteral("22||")});
        EXPECT_EQ(lines("Select 数量 From TBL_TOTAL Where PO = ? And NO = ?", 2),
                  QStringList{QStringLiteral("3")});
        EXPECT_EQ(count(sk_, QStringLiteral("TBL_H Where PO = ? And NO > 2"), {po}), 0);
        EXPECT_EQ(count(sk_, QStringLiteral("TBL_SJ Where PO = ?"), {po}) +
                      count(sk_, QStringLiteral("TBL_YJ")),
                  0);
    }
    EXPECT_EQ(count(sk_, QStringLiteral("TBL_H Where PO = 'P00000002'")), 1);
}

TEST_P(SkDatabaseUpdateTest, TwentyOneGroupsAndAMissingOrderHeader) {
    line(1, QStringLiteral("TAG"), 799); // no order 799
    for (int g = 1; g <= 21; ++g)
        print(1, QStringLiteral("C%1").arg(g, 2, 10, QLatin1Char('0')), QStringLiteral("F"), 10, 1,
              {QStringLiteral("M%1").arg(g, 2, 10, QLatin1Char('0')), QStringLiteral("100%")});
    ASSERT_EQ(update(), core::Outcome::Done);
    EXPECT_EQ(count(sk_, QStringLiteral("TBL_H")) + count(sk_, QStringLiteral("TBL_NJ")), 0);
    const QStringList headings =
        lines("Select 内容 From TBL_QUA Where PO = ? And NO = ? And 内容 Like '品質表示%' "
              "Order By LINE",
              1);
    ASSERT_EQ(headings.size(), 21);
    EXPECT_EQ(headings[19], QStringLiteral("品質表示⑳"));
    EXPECT_EQ(headings[20], QStringLiteral("品質表示"));
    const QStringList f6 = lines("Select F6 From TBL_SKU Where PO = ? And NO = ? Order By LINE", 1);
    ASSERT_EQ(f6.size(), 22);
    EXPECT_EQ(f6[20], QStringLiteral("⑳"));
    EXPECT_EQ(f6[21], QString());
    EXPECT_EQ(lines("Select 数量 From TBL_TOTAL Where PO = ? And NO = ?", 1),
              QStringList{QStringLiteral("21")});
}

TEST_P(SkDatabaseUpdateTest, AFailedUpdateRollsBackAndSaysSo) {
    addOrder(701, {{QStringLiteral("PO_NO"), po}, {QStringLiteral("PO_KBN"), QStringLiteral("0")}});
    line(1, QStringLiteral("TAG"));
    print(1, QStringLiteral("ネイビー"), QStringLiteral("M"), 30, 10,
          {QStringLiteral("綿"), QStringLiteral("100%")});
    ASSERT_EQ(update(), core::Outcome::Done);
    // The total cannot be written any more: the rows deleted and written before it come back.
    sk_.execute(QStringLiteral("Drop Table TBL_TOTAL"));
    sk_.execute(QStringLiteral("Create Table TBL_TOTAL (PO VARCHAR(50), SKNO VARCHAR(50), NO INTEGER)"));
    connection_.execute(QStringLiteral("Update rcv_csvdata Set COLOR_NO = 'ホワイト'"));
    EXPECT_EQ(update(), core::Outcome::Failed);
    EXPECT_EQ(prompter_.messages(),
              QStringList{QStringLiteral(
                  "[SK作成エラー] PO番号(P00000001)のデータを生産管理データベースにアップデートする際に"
                  "エラーが発生しました。\r\n処理はキャンセルされました。")});
    EXPECT_EQ(lines("Select F1 From TBL_SKU Where PO = ? And NO = ? And LINE = 2", 1),
              QStringList{QStringLiteral("ネイビー")});
    EXPECT_EQ(count(sk_, QStringLiteral("TBL_H Where PO = ?"), {po}), 1);
}

INSTANTIATE_TEST_SUITE_P(Dialects, SkDatabaseUpdateTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
