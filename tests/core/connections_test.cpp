#include "core/connections.h"
#include "core/error.h"
#include "core/open_recordset.h"
#include "core/program_folder.h"
#include "platform/db/reader.h"
#include "support/database_files.h"
#include "support/pg_database.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using namespace kemnoa::core;

namespace {

class ConnectionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSession();
        closeAllConnections();
        setProgramFolder(dir_.path());
        Session& s = session();
        for (DbSettings* d : {&s.WorkDb, &s.OfficeDb, &s.PoDb, &s.SkDb})
            d->Provider = QStringLiteral("SQLite");
        s.WorkDb.DbName = QStringLiteral("work.db");
        s.OfficeDb.DbName = QStringLiteral("office.db");
        s.PoDb.DbName = QStringLiteral("po.db");
        s.SkDb.DbName = QStringLiteral("sk.db");
        test::createSessionDatabases();
    }
    void TearDown() override {
        closeAllConnections();
        setProgramFolder(QString());
        resetSession();
    }

    // Fills kem_setting with every key except the one named.
    void fillSetting(const QString& except = {}) {
        ASSERT_EQ(dbOpen(KindWork, prompter_), 0);
        for (const QString& key : fixedInfoKeys())
            if (key != except)
                cnWork().execute(QStringLiteral("Insert Into kem_setting (検索条件, 検索値) Values (?, ?)"),
                                 {key, key == QStringLiteral("APP名")
                                           ? QVariant()
                                           : QVariant(key + QStringLiteral("値"))});
    }

    QTemporaryDir dir_;
    test::ScriptedPrompter prompter_;
};

} // namespace

TEST_F(ConnectionsTest, WorkConnectionIsClosedOnlyByTheCloseAfterTheFirstOpen) {
    ASSERT_EQ(dbOpen(KindWork, prompter_), 0); // start-up check
    dbClose(KindWork);
    EXPECT_FALSE(cnWork().isOpen());
    // Three jobs in a row.
    for (int job = 0; job < 3; ++job) {
        ASSERT_EQ(dbOpen(KindWork, prompter_), 0);
        dbClose(KindWork);
        EXPECT_TRUE(cnWork().isOpen()) << job;
    }
    EXPECT_EQ(session().WorkOpenCount, 4);
    EXPECT_TRUE(prompter_.messages().isEmpty());
}

TEST_F(ConnectionsTest, OtherKindsCloseEveryTimeAndUnknownKindsDoNothing) {
    dbClose(KindOffice); // before any open: nothing, no message
    ASSERT_EQ(dbOpen(KindPo, prompter_), 0);
    EXPECT_TRUE(cnPo().isOpen());
    EXPECT_TRUE(cnPo().hasTable(QStringLiteral("TBL_PO_H")));
    dbClose(KindPo);
    EXPECT_FALSE(cnPo().isOpen());
    EXPECT_EQ(dbOpen(5, prompter_), 0);
    EXPECT_EQ(dbOpen(0, prompter_), 0);
    dbClose(9);
    EXPECT_EQ(connectionOfKind(5), nullptr);
    EXPECT_EQ(session().WorkOpenCount, 0);
    EXPECT_TRUE(prompter_.messages().isEmpty());
}

TEST_F(ConnectionsTest, FailedOpenShowsTheErrorAndReturnsItsNumber) {
    session().SkDb.DbName = QStringLiteral("missing/folder/sk.db");
    const qint32 rc = dbOpen(KindSk, prompter_);
    EXPECT_NE(rc, 0);
    ASSERT_EQ(prompter_.events.size(), 1u);
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("dbOpen"));
    EXPECT_EQ(prompter_.events[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(prompter_.events[0].text.endsWith(QStringLiteral("(%1)").arg(rc)))
        << prompter_.events[0].text.toStdString();

    session().WorkDb.Provider = QStringLiteral("NoSuchProvider");
    EXPECT_EQ(dbOpen(KindWork, prompter_), 3706);
    EXPECT_EQ(session().WorkOpenCount, 0);
}

// A mistyped database name: the job is told which file is missing, and no empty database is made
// in its place (which would pass every open and fail later with misleading findings).
TEST_F(ConnectionsTest, MissingSqliteFileFailsTheOpenAndIsNotCreated) {
    session().PoDb.DbName = QStringLiteral("po_typo.db");
    const QString path = QDir(programFolder()).filePath(QStringLiteral("po_typo.db"));
    EXPECT_EQ(dbOpen(KindPo, prompter_), errnum::FileNotFound);
    EXPECT_EQ(prompter_.messages(),
              QStringList{QStringLiteral("[dbOpen] The database file does not exist: %1(53)").arg(path)});
    EXPECT_FALSE(cnPo().isOpen());
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ConnectionsTest, FixedValuesAreLoadedWithNullAsEmptyText) {
    fillSetting();
    EXPECT_EQ(MF_KoteiJohoSet(prompter_), Outcome::Done);
    EXPECT_EQ(session().FixedInfo.size(), 23);
    EXPECT_EQ(session().fixed(QStringLiteral("請求先CD")), QStringLiteral("請求先CD値"));
    EXPECT_EQ(session().fixed(QStringLiteral("APP名")), QString());
    EXPECT_TRUE(prompter_.messages().isEmpty());
}

TEST_F(ConnectionsTest, EmptyFixedTablePassesWithEveryValueEmpty) {
    ASSERT_EQ(dbOpen(KindWork, prompter_), 0);
    session().FixedInfo.insert(QStringLiteral("請求先CD"), QStringLiteral("stale"));
    EXPECT_EQ(MF_KoteiJohoSet(prompter_), Outcome::Done);
    EXPECT_TRUE(session().FixedInfo.isEmpty());
    EXPECT_TRUE(prompter_.messages().isEmpty());
}

TEST_F(ConnectionsTest, MissingKeyStopsWithItsName) {
    fillSetting(QStringLiteral("請求先FAX"));
    EXPECT_EQ(MF_KoteiJohoSet(prompter_), Outcome::Failed);
    ASSERT_EQ(prompter_.events.size(), 1u);
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(prompter_.events[0].icon, MsgIcon::Critical);
    EXPECT_EQ(prompter_.events[0].text,
              QStringLiteral(
                  "固定情報セット中にエラーが発生しました。\r\n強制終了されます。エラー内容は以下の通りです。"
                  "\r\n\r\n'請求先FAX'が見つからない。"));
}

TEST_F(ConnectionsTest, UnreadableFixedTableGivesTheMessageWithoutDetail) {
    ASSERT_EQ(dbOpen(KindWork, prompter_), 0);
    cnWork().execute(QStringLiteral("Drop Table kem_setting"));
    EXPECT_EQ(MF_KoteiJohoSet(prompter_), Outcome::Failed);
    ASSERT_EQ(prompter_.events.size(), 1u);
    EXPECT_TRUE(prompter_.events[0].text.endsWith(QStringLiteral("以下の通りです。\r\n\r\n")));
    // Likewise when the work connection is not open at all.
    closeAllConnections();
    EXPECT_EQ(MF_KoteiJohoSet(prompter_), Outcome::Failed);
    EXPECT_EQ(prompter_.events.size(), 2u);
}

TEST_F(ConnectionsTest, PostgresKindOpensWithServerAndPort) {
    auto pg = test::freshPostgresDatabase(db::DatabaseKind::Po);
    if (!pg)
        GTEST_SKIP() << "no PostgreSQL test cluster";
    DbSettings& po = session().PoDb;
    po.Provider = QStringLiteral("PostgreSQL");
    po.ServerName = pg->server;
    po.DbName = pg->database;
    po.UserName = pg->user;
    ASSERT_EQ(dbOpen(KindPo, prompter_), 0) << prompter_.messages().join(QLatin1Char('\n')).toStdString();
    db::Reader r = cnPo().read(QStringLiteral("Select 1"));
    EXPECT_EQ(r.value(0).toInt(), 1);
    dbClose(KindPo);
    EXPECT_FALSE(cnPo().isOpen());
    po.DbName = QStringLiteral("no_such_database_here");
    EXPECT_NE(dbOpen(KindPo, prompter_), 0);
    EXPECT_EQ(prompter_.events.back().title, QStringLiteral("dbOpen"));
}

TEST_F(ConnectionsTest, OpenRecordsetWritesRowsBackThroughTheSharedConnection) {
    ASSERT_EQ(dbOpen(KindWork, prompter_), 0);
    cnWork().execute(QStringLiteral("Insert Into kemmst_fuki (FUKI_NO, FUKI_NAIYO) Values ('F1', 'a')"));
    db::Recordset rs =
        MF_OpenRecordset(cnWork(), QStringLiteral("Select * From kemmst_fuki Order By FUKI_NO"));
    rs.moveLast();
    EXPECT_EQ(rs.text(QStringLiteral("FUKI_NO")), QStringLiteral("F1"));
    rs.addNew();
    rs.setValue(QStringLiteral("FUKI_NO"), QStringLiteral("F2"));
    rs.setValue(QStringLiteral("FUKI_NAIYO"), QStringLiteral("O'HARA"));
    rs.update();
    db::Reader r = cnWork().read(QStringLiteral("Select FUKI_NAIYO From kemmst_fuki Where FUKI_NO = 'F2'"));
    ASSERT_FALSE(r.atEnd());
    EXPECT_EQ(r.text(0), QStringLiteral("O'HARA"));
    EXPECT_THROW(MF_OpenRecordset(cnWork(), QStringLiteral("Select * From no_table")), Error);
}
