#include "receiving/import_fixture.h"

#include "maintenance/error_list.h"

using namespace kemnoa;
using kemnoa::test::ImportTest;

namespace {

using MasterCheckTest = ImportTest;

TEST_P(MasterCheckTest, FindingsAreNumberedCountedAndReplacedOnEveryCheck) {
    demo::BuiltFile f;
    f.orders = {demo::sampleOrder(7001, 2), demo::sampleOrder(7002, 1)};
    f.orders[0].header[QStringLiteral("KESSAI")] = jet::Value::text(QStringLiteral("韓国決済"));
    f.orders[0].header[QStringLiteral("NOU_CD")] = jet::Value::text(QStringLiteral("N999"));
    f.orders[0].car[1][QStringLiteral("EHJ")] = jet::Value::text(QStringLiteral("E9999"));
    write(QStringLiteral("ORD1.mdb"), f);
    ASSERT_TRUE(importer().cmdImp_Click(folder_));
    EXPECT_EQ(prompter_.splashTexts.count(QStringLiteral("エラーチェック")), 2);
    EXPECT_FALSE(prompter_.splashOpen);

    EXPECT_EQ(text(QStringLiteral("Select ERR_SU From rcv_denheaddata Where ORD_NO = 7001")),
              QStringLiteral("3"));
    EXPECT_EQ(text(QStringLiteral("Select ERR_SU From rcv_denheaddata Where ORD_NO = 7002")),
              QStringLiteral("0"));
    auto rows = maintenance::loadErrorList(connection_, 7001);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].gyou, 1);
    EXPECT_EQ(rows[0].title, QStringLiteral("決済区分エラー"));
    EXPECT_EQ(rows[0].value, QStringLiteral("韓国決済"));
    EXPECT_EQ(rows[1].title, QStringLiteral("納品先エラー"));
    EXPECT_EQ(rows[2].gyou, 3);
    EXPECT_EQ(rows[2].value, QStringLiteral("E9999"));
    EXPECT_TRUE(rows[2].message.startsWith(QStringLiteral("洗濯ネーム2行目")));

    // Corrected in the work tables, the next check leaves exactly the remaining finding.
    connection_.execute(QStringLiteral("Update rcv_denheaddata Set KESSAI = '中国決済', NOU_CD = 'C0102-01' "
                                       "Where ORD_NO = 7001"));
    EXPECT_EQ(maintenance::MP_ErrDataMake(prompter_, connection_, 7001), core::Outcome::Done);
    rows = maintenance::loadErrorList(connection_, 7001);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].gyou, 1);
    EXPECT_EQ(rows[0].title, QStringLiteral("絵表示エラー"));
    EXPECT_EQ(text(QStringLiteral("Select ERR_SU From rcv_denheaddata Where ORD_NO = 7001")),
              QStringLiteral("1"));
    EXPECT_TRUE(prompter_.messages().filter(QStringLiteral("[エラー]")).isEmpty());
}

// The presence of each next order is asked while the previous one is checked: a number repeated in
// the file is still found present once its first rows are committed, and every order is checked.
TEST_P(MasterCheckTest, ARepeatedNumberIsImportedAndCheckedOnceAndTheRepeatRefused) {
    demo::BuiltFile f;
    f.orders = {demo::sampleOrder(7301, 1), demo::sampleOrder(7301, 1), demo::sampleOrder(7302, 1),
                demo::sampleOrder(7303, 1)};
    f.orders[3].header[QStringLiteral("KESSAI")] = jet::Value::text(QStringLiteral("韓国決済"));
    write(QStringLiteral("ORD1.mdb"), f);
    ASSERT_TRUE(importer().cmdImp_Click(folder_));
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 3);
    EXPECT_EQ(prompter_.list.filter(QStringLiteral("は既に受信（読込）済み")),
              QStringList{QStringLiteral("発注番号(7301)は既に受信（読込）済み")});
    EXPECT_EQ(prompter_.splashTexts.count(QStringLiteral("エラーチェック")), 3);
    EXPECT_EQ(text(QStringLiteral("Select ERR_SU From rcv_denheaddata Where ORD_NO = 7302")),
              QStringLiteral("0"));
    EXPECT_EQ(text(QStringLiteral("Select ERR_SU From rcv_denheaddata Where ORD_NO = 7303")),
              QStringLiteral("1"));
}

TEST_P(MasterCheckTest, AFailingCheckChangesNothingAndShowsTheComposedMessage) {
    demo::BuiltFile f;
    f.orders = {demo::sampleOrder(7101, 1)};
    f.orders[0].header[QStringLiteral("KESSAI")] = jet::Value::text(QString());
    write(QStringLiteral("ORD1.mdb"), f);
    ASSERT_TRUE(importer().cmdImp_Click(folder_));
    ASSERT_EQ(count(QStringLiteral("rcv_errdata Where ORD_NO = 7101")), 1);

    // The PO database is gone: the check cannot run, the earlier finding stays.
    po_.close();
    maintenance::setPoConnectionResolver(
        [this](const QString&, const QString&) -> db::Connection& { return po_; });
    prompter_.events.clear();
    // The caller learns that the check did not run.
    EXPECT_EQ(maintenance::MP_ErrDataMake(prompter_, connection_, 7101), core::Outcome::Failed);
    ASSERT_EQ(prompter_.events.size(), 1u);
    const QString prefix =
        QStringLiteral("エラーチェック処理中にエラーが発生しました。\r\n管理者に報告してください。\r\n"
                       "エラー内容は以下の通りです。\r\n\r\n");
    EXPECT_TRUE(prompter_.events[0].text.startsWith(prefix)) << prompter_.events[0].text.toStdString();
    EXPECT_GT(prompter_.events[0].text.size(), prefix.size());
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(count(QStringLiteral("rcv_errdata Where ORD_NO = 7101")), 1);
    EXPECT_FALSE(prompter_.splashOpen);
}

TEST_P(MasterCheckTest, FindingsReplacedHalfWayAreRolledBack) {
    demo::BuiltFile f;
    f.orders = {demo::sampleOrder(7201, 1)};
    f.orders[0].header[QStringLiteral("KESSAI")] = jet::Value::text(QStringLiteral("韓国決済"));
    f.orders[0].header[QStringLiteral("NOU_CD")] = jet::Value::text(QStringLiteral("N999"));
    write(QStringLiteral("ORD1.mdb"), f);
    ASSERT_TRUE(importer().cmdImp_Click(folder_));
    ASSERT_EQ(count(QStringLiteral("rcv_errdata Where ORD_NO = 7201")), 2);

    // The next check finds a third fault, but the database refuses to store that finding after the
    // old ones were deleted and the first new ones written.
    connection_.execute(QStringLiteral("Update rcv_cardata Set EHJ = 'E9999' Where ORD_NO = 7201"));
    refuse(QStringLiteral("refuse_symbol_finding"), QStringLiteral("Insert"), QStringLiteral("rcv_errdata"),
           QStringLiteral("NEW.ERR_TITLE = '絵表示エラー'"));
    prompter_.events.clear();
    (void)maintenance::MP_ErrDataMake(prompter_, connection_, 7201);
    ASSERT_EQ(prompter_.events.size(), 1u);
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("エラー"));
    EXPECT_TRUE(prompter_.events[0].text.contains(QStringLiteral("refused")))
        << prompter_.events[0].text.toStdString();

    const auto rows = maintenance::loadErrorList(connection_, 7201);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].title, QStringLiteral("決済区分エラー"));
    EXPECT_EQ(rows[1].title, QStringLiteral("納品先エラー"));
    EXPECT_EQ(text(QStringLiteral("Select ERR_SU From rcv_denheaddata Where ORD_NO = 7201")),
              QStringLiteral("2"));
    EXPECT_FALSE(connection_.inTransaction());
    EXPECT_FALSE(prompter_.splashOpen);
}

TEST_P(MasterCheckTest, FailingRowProceduresReportTheirOwnFailureLineAndFail) {
    // Without a PO number neither procedure can run.
    EXPECT_EQ(maintenance::MP_CsvDataMake(prompter_, connection_, QString(), QStringLiteral("0")),
              core::Outcome::Failed);
    EXPECT_EQ(maintenance::MP_SkDataMake(prompter_, connection_, QString(), QStringLiteral("0")),
              core::Outcome::Failed);
    ASSERT_EQ(prompter_.events.size(), 2u);
    EXPECT_TRUE(
        prompter_.events[0].text.startsWith(QStringLiteral("CSVテーブル作成中にエラーが発生しました。\r\n")));
    EXPECT_TRUE(
        prompter_.events[0].text.endsWith(QStringLiteral("\r\n\r\nPO番号(@PoNo)が指定されていません。")));
    EXPECT_TRUE(prompter_.events[1].text.startsWith(
        QStringLiteral("生産管理テーブルを作成中にエラーが発生しました。")));
    EXPECT_EQ(prompter_.splashTexts,
              (QStringList{QStringLiteral("CSVテーブル作成"), QStringLiteral("生産管理テーブル作成")}));
}

TEST_P(MasterCheckTest, ErrorListOfAllOrdersBandsByOrder) {
    for (int ord : {8003, 8001, 8002})
        for (int g = 1; g <= (ord == 8002 ? 1 : 2); ++g)
            connection_.execute(QStringLiteral("Insert Into rcv_errdata (ORD_NO, GYOU, ERR_TITLE, ERR_VALUE, "
                                               "ERR_MESSAGE) Values (?, ?, 't', 'v', 'm')"),
                                {ord, g});
    const auto all = maintenance::loadErrorList(connection_, 0);
    ASSERT_EQ(all.size(), 5u);
    const int orders[] = {8001, 8001, 8002, 8003, 8003};
    const bool bands[] = {false, false, true, false, false};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(all[i].ordNo, orders[i]);
        EXPECT_EQ(all[i].band, bands[i]) << i;
    }
    EXPECT_TRUE(maintenance::loadErrorList(connection_, 9999).empty());
    EXPECT_EQ(maintenance::loadErrorList(connection_, 8002).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Dialects, MasterCheckTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
