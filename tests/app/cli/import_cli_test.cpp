// kemnoa-cli import / errors / delete-all-orders run end to end on a demo program folder.

#include "cli_process.h"
#include "core/connections.h"
#include "demo/demo_data.h"
#include "demo/sample_orders.h"
#include "platform/db/reader.h"
#include "platform/db/schema.h"
#include "receiving/receive_folder_lock.h"
#include "support/pg_database.h"
#include "support/scripted_prompter.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using test::CliRun;

namespace {

class CliImport : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = dir_.path() + QLatin1Char('/');
        QDir().mkpath(home_ + QStringLiteral("recv"));
        ASSERT_TRUE(test::writeSettingsFile(
            home_,
            QStringLiteral("[SQLKEM_DB]\r\nPROVIDER=SQLite\r\nDB_NM=work.db\r\n[PO_DB]\r\nPROVIDER=SQLite\r\n"
                           "DB_NM=po.db\r\n[FTP]\r\nLOCAL_FOLDER=%1recv/\r\n")
                .arg(home_)));
        seed(QStringLiteral("work.db"), db::DatabaseKind::Work);
        seed(QStringLiteral("po.db"), db::DatabaseKind::Po);
    }

    void seed(const QString& file, db::DatabaseKind kind) {
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = home_ + file;
        s.kind = kind;
        s.createIfMissing = true;
        db::Connection c;
        c.open(s);
        demo::seed(c, kind);
    }

    // stdinText, when given, is written to the job runner's standard input.
    CliRun run(const QStringList& args, const QHash<QString, QString>& extraEnv = {},
               const QByteArray* stdinText = nullptr) {
        return test::runKemnoaCli(home_, args,
                                  {.environment = extraEnv, .input = stdinText ? *stdinText : QByteArray()});
    }

    int count(const QString& table) {
        db::ConnectionSettings s = work_;
        db::Connection c;
        c.open(s);
        return c.read(QStringLiteral("Select Count(*) From ") + table).value(0).toInt();
    }

    QTemporaryDir dir_;
    QString home_;
    db::ConnectionSettings work_{.provider = QStringLiteral("SQLite"),
                                 .database = dir_.path() + QStringLiteral("/work.db")};
};

// A run holding the receive folder makes the next one wait, then stop; nothing is set aside.
TEST_F(CliImport, ASecondRunOverTheFolderWaitsThenStops) {
    demo::BuiltFile f;
    f.orders = {demo::sampleOrder(9401, 1)};
    demo::writeOrderFile(home_ + QStringLiteral("recv/ORD1.mdb"), f);
    test::ScriptedPrompter prompter;
    receiving::ReceiveFolderLock other(home_ + QStringLiteral("recv/"));
    ASSERT_TRUE(other.acquire(prompter, 0));
    const CliRun blocked = run({QStringLiteral("--yes"), QStringLiteral("import")},
                               {{QStringLiteral("KEMNOA_RECEIVE_LOCK_WAIT"), QStringLiteral("1")}});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_TRUE(blocked.err.contains(QStringLiteral("[使用中] 受信フォルダ("))) << blocked.err.toStdString();
    EXPECT_TRUE(QFile::exists(home_ + QStringLiteral("recv/ORD1.mdb")));
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 0);
}

// Two imports started together over one folder into one PostgreSQL database import every order
// once and set nothing aside.
TEST_F(CliImport, TwoConcurrentImportsOnPostgresImportEachOrderOnce) {
    auto pg = test::freshPostgresDatabase(db::DatabaseKind::Work);
    if (!pg)
        GTEST_SKIP() << "no PostgreSQL test cluster";
    {
        db::Connection c;
        c.open(*pg);
        db::createSchema(c, db::DatabaseKind::Work);
        demo::seed(c, db::DatabaseKind::Work);
    }
    work_ = *pg;
    ASSERT_TRUE(test::writeSettingsFile(
        home_,
        QStringLiteral("[SQLKEM_DB]\r\nPROVIDER=PostgreSQL\r\nSERVER_NM=%1\r\nDB_NM=%2\r\nDBUSER_NM=%3\r\n"
                       "[PO_DB]\r\nPROVIDER=SQLite\r\nDB_NM=po.db\r\n[FTP]\r\nLOCAL_FOLDER=%4recv/\r\n")
            .arg(pg->server, pg->database, pg->user, home_)));
    int expected = 0;
    for (int file = 0; file < 6; ++file) {
        demo::BuiltFile f;
        for (int o = 0; o < 5; ++o, ++expected)
            f.orders.push_back(demo::sampleOrder(9500 + file * 10 + o, 2));
        demo::writeOrderFile(home_ + QStringLiteral("recv/ORD%1.mdb").arg(file), f);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KEMNOA_HOME"), home_);
    QProcess a, b;
    for (QProcess* p : {&a, &b}) {
        p->setProcessEnvironment(env);
        p->start(test::binaryDir() + QStringLiteral("/src/app/cli/kemnoa-cli"),
                 {QStringLiteral("--yes"), QStringLiteral("import")});
    }
    ASSERT_TRUE(a.waitForFinished(120000));
    ASSERT_TRUE(b.waitForFinished(120000));
    const QString errs = QString::fromUtf8(a.readAllStandardError() + b.readAllStandardError());
    EXPECT_EQ(a.exitCode(), 0) << errs.toStdString();
    EXPECT_EQ(b.exitCode(), 0) << errs.toStdString();
    EXPECT_FALSE(errs.contains(QStringLiteral("読み込み済み"))) << errs.toStdString();
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), expected);
    EXPECT_EQ(QDir(home_ + QStringLiteral("recv"))
                  .entryList({QStringLiteral("*.err"), QStringLiteral("*.mdb")}, QDir::Files),
              QStringList());
}

TEST_F(CliImport, ImportsListsFindingsAndDeletesAll) {
    demo::BuiltFile f;
    f.orders = {demo::sampleOrder(9001, 2), demo::sampleOrder(9002, 1)};
    f.orders[1].header[QStringLiteral("KIBO_DATE")] = jet::Value::text(QStringLiteral("20240231"));
    f.ehj = {demo::sampleEhj(1, QStringLiteral("E0100"))};
    demo::writeOrderFile(home_ + QStringLiteral("recv/ORD20240115.mdb"), f);

    const CliRun imp = run({QStringLiteral("import")});
    EXPECT_EQ(imp.exitCode, 0) << imp.err.toStdString();
    EXPECT_TRUE(
        imp.err.endsWith(QStringLiteral("kemnoa-cli: import: done (files 1, orders 2, failures 0)\n")))
        << imp.err.toStdString();
    EXPECT_TRUE(imp.out.contains(QStringLiteral("成功("))) << imp.out.toStdString();
    EXPECT_TRUE(imp.err.contains(QStringLiteral("[絵表示] 確認が必要な絵表示の情報があります。")))
        << imp.err.toStdString();
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 2);
    EXPECT_EQ(count(QStringLiteral("rcv_cardata")), 3);
    EXPECT_TRUE(QFile::exists(home_ + QStringLiteral("ftplog.log")));

    const CliRun all = run({QStringLiteral("errors")});
    EXPECT_EQ(all.exitCode, 0);
    const QStringList lines = all.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << all.out.toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("9002\t1\t希望納期エラー\t20240231\t")));

    const CliRun none = run({QStringLiteral("errors"), QStringLiteral("9001")});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_TRUE(none.err.contains(QStringLiteral("[エラー無し] エラーはありません。")));
    EXPECT_EQ(run({QStringLiteral("errors"), QStringLiteral("x")}).exitCode, 2);

    // Nothing left to import: a night without order files is no failure.
    const CliRun nothing = run({QStringLiteral("import")});
    EXPECT_EQ(nothing.exitCode, 0);
    EXPECT_TRUE(nothing.err.contains(QStringLiteral("[ファイル発見できません]")));
    EXPECT_TRUE(
        nothing.err.endsWith(QStringLiteral("kemnoa-cli: import: done (files 0, orders 0, failures 0)\n")));

    // The password never comes from the command line; a wrong one is a refusal.
    const QString del = QStringLiteral("delete-all-orders");
    const QString var = QStringLiteral("KEMNOA_DELETE_PASSWORD");
    EXPECT_EQ(run({QStringLiteral("--input"), QStringLiteral("fern"), del}).exitCode, 2);
    const QByteArray wrongLine("FERN\n");
    const CliRun wrong = run({del}, {}, &wrongLine);
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("[エラー] パスワードが違います。")))
        << wrong.err.toStdString();
    EXPECT_EQ(run({del}, {{var, QStringLiteral("ferns")}}).exitCode, 1);
    EXPECT_EQ(run({del}).exitCode, 1); // nothing on standard input
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 2);

    EXPECT_EQ(run({del}, {{var, QStringLiteral("fern")}}).exitCode, 0);
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 0);
    EXPECT_EQ(count(QStringLiteral("rrk_ehj")), 0);

    demo::BuiltFile again;
    again.orders = {demo::sampleOrder(9003, 1)};
    demo::writeOrderFile(home_ + QStringLiteral("recv/ORD1.mdb"), again);
    const QByteArray rightLine("fern\n");
    EXPECT_EQ(run({QStringLiteral("import")}).exitCode, 0);
    EXPECT_EQ(run({del}, {}, &rightLine).exitCode, 0);
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 0);
}

// A file set aside as "err" lets the run go on to its end, with exit status 3.
TEST_F(CliImport, AFileSetAsideEndsWithStatusThree) {
    demo::BuiltFile bad;
    bad.orders = {demo::sampleOrder(9101, 1)};
    bad.omitTables = {QStringLiteral("snd_mst_fuki")};
    demo::writeOrderFile(home_ + QStringLiteral("recv/ORD1.mdb"), bad);
    demo::BuiltFile good;
    good.orders = {demo::sampleOrder(9201, 1), demo::sampleOrder(9202, 1)};
    demo::writeOrderFile(home_ + QStringLiteral("recv/ORD2.mdb"), good);

    const CliRun imp = run({QStringLiteral("--yes"), QStringLiteral("import")});
    EXPECT_EQ(imp.exitCode, 3) << imp.err.toStdString();
    EXPECT_TRUE(QFile::exists(home_ + QStringLiteral("recv/ORD1.err")));
    EXPECT_TRUE(imp.err.endsWith(
        QStringLiteral("kemnoa-cli: import: done with failures (files 2, orders 3, failures 1)\n")))
        << imp.err.toStdString();

    // Without --yes the question after the failed file stops the run: a refusal.
    demo::writeOrderFile(home_ + QStringLiteral("recv/ORD3.mdb"), bad);
    demo::BuiltFile more;
    more.orders = {demo::sampleOrder(9301, 1)};
    demo::writeOrderFile(home_ + QStringLiteral("recv/ORD4.mdb"), more);
    EXPECT_EQ(run({QStringLiteral("import")}).exitCode, 1);
    EXPECT_TRUE(QFile::exists(home_ + QStringLiteral("recv/ORD4.mdb")));
}

} // namespace
