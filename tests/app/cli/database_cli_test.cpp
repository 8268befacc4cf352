// The database commands of kemnoa-cli, run as a separate process on a real program folder.

#include "cli_process.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "platform/text/cp932.h"
#include "support/closed_port.h"
#include "support/pg_database.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using test::CliRun;

namespace {

class CliDbTest : public ::testing::Test {
protected:
    // Writes the settings file: one [section] per database with its provider, server and name.
    void writeSettings(const QString& provider, const QString& server, const QStringList& names,
                       const QString& user = {}) {
        const char* sections[] = {"SQLKEM_DB", "OFFICE_DB", "PO_DB", "SK_DB"};
        QString settings;
        for (int i = 0; i < 4; ++i)
            settings += QStringLiteral("[%1]\r\nPROVIDER=%2\r\nSERVER_NM=%3\r\nDB_NM=%4\r\nDBUSER_NM=%5\r\n"
                                       "PASSWORD=\r\nCONECT_TIMEOUT=5\r\n")
                            .arg(QString::fromLatin1(sections[i]), provider, server, names.value(i), user);
        ASSERT_TRUE(test::writeSettingsFile(dir_.path(), settings));
    }

    CliRun cli(const QStringList& args) { return test::runKemnoaCli(dir_.path(), args); }

    QTemporaryDir dir_;
};

const QStringList kSqliteFiles = {QStringLiteral("work.db"), QStringLiteral("office.db"),
                                  QStringLiteral("po.db"), QStringLiteral("sk.db")};

} // namespace

// The same commands on SQLite files in the program folder and on databases of the PostgreSQL test
// cluster that init-db creates.
class CliDbFlow : public CliDbTest, public ::testing::WithParamInterface<db::Dialect> {};

TEST_P(CliDbFlow, InitSeedAndCheck) {
    QStringList names = kSqliteFiles;
    if (GetParam() == db::Dialect::SQLite) {
        writeSettings(QStringLiteral("SQLite"), QString(), names);
    } else {
        auto base = test::freshPostgresDatabase();
        if (!base)
            GTEST_SKIP() << "no PostgreSQL test cluster (KEMNOA_TEST_PG_HOST)";
        const QString prefix = base->database + QLatin1Char('_');
        names = QStringList{prefix + QStringLiteral("work"), prefix + QStringLiteral("office"),
                            prefix + QStringLiteral("po"), prefix + QStringLiteral("sk")};
        writeSettings(QStringLiteral("PostgreSQL"), base->server, names, base->user);
    }
    CliRun r = cli({QStringLiteral("init-db")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const QString& name : names) {
        if (GetParam() == db::Dialect::SQLite)
            EXPECT_TRUE(QFile::exists(dir_.filePath(name))) << name.toStdString();
        else
            EXPECT_TRUE(r.out.contains(QStringLiteral("created database ") + name)) << r.out.toStdString();
    }
    ASSERT_EQ(cli({QStringLiteral("init-db")}).exitCode, 0); // again: nothing to create, nothing lost
    r = cli({QStringLiteral("seed-demo")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("kem_setting")));
    r = cli({QStringLiteral("db-check")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 23);
    EXPECT_EQ(lines.first(), QStringLiteral("請求先CD=S0001"));
    EXPECT_EQ(lines.last(), QStringLiteral("APP名=ケムノア専用海外発注システム"));
    EXPECT_EQ(cli({QStringLiteral("db-check"), QStringLiteral("extra")}).exitCode, 2);
}

INSTANTIATE_TEST_SUITE_P(Databases, CliDbFlow,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL),
                         [](const ::testing::TestParamInfo<db::Dialect>& info) {
                             return std::string(info.param == db::Dialect::SQLite ? "SQLite" : "PostgreSQL");
                         });

TEST_F(CliDbTest, CheckStopsOnAMissingFixedValue) {
    writeSettings(QStringLiteral("SQLite"), QString(), kSqliteFiles);
    ASSERT_EQ(cli({QStringLiteral("init-db")}).exitCode, 0);
    ASSERT_EQ(cli({QStringLiteral("seed-demo")}).exitCode, 0);
    {
        db::Connection c;
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = dir_.filePath(QStringLiteral("work.db"));
        c.open(s);
        c.execute(QStringLiteral("Delete From kem_setting Where 検索条件 = '発注元MAIL'"));
    }
    const CliRun r = cli({QStringLiteral("db-check")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("[エラー] 固定情報セット中にエラーが発生しました。 / "
                                              "強制終了されます。エラー内容は以下の通りです。 /  / "
                                              "'発注元MAIL'が見つからない。\n"
                                              "kemnoa-cli: db-check: failed"));
}

// When kem_setting cannot be read, the check gives the database's own reason (the desktop program's
// message leaves the detail empty).
TEST_F(CliDbTest, CheckGivesTheDatabasesReasonWhenTheFixedValuesCannotBeRead) {
    struct Case {
        const char* name;
        db::Dialect dialect;
        bool dropTable;     // else: read as a role without grants
        const char* reason; // in the message's detail
    } cases[] = {
        {"SQLite, table missing", db::Dialect::SQLite, true, "kem_setting: no such table: kem_setting"},
        {"PostgreSQL, table missing", db::Dialect::PostgreSQL, true,
         "kem_setting: ERROR:  relation \"kem_setting\" does not exist"},
        {"PostgreSQL, role without grants", db::Dialect::PostgreSQL, false,
         "kem_setting: ERROR:  permission denied for table kem_setting"},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db::ConnectionSettings owner;
        QStringList names = kSqliteFiles;
        if (c.dialect == db::Dialect::SQLite) {
            writeSettings(QStringLiteral("SQLite"), QString(), names);
            owner.provider = QStringLiteral("SQLite");
            owner.database = dir_.filePath(names.first());
        } else {
            auto base = test::freshPostgresDatabase();
            if (!base)
                continue; // the SQLite case still runs; the flow test reports the missing cluster
            owner = *base;
            names = QStringList{base->database, base->database + QStringLiteral("_o"),
                                base->database + QStringLiteral("_p"), base->database + QStringLiteral("_s")};
            writeSettings(QStringLiteral("PostgreSQL"), base->server, names, base->user);
        }
        ASSERT_EQ(cli({QStringLiteral("init-db")}).exitCode, 0);
        ASSERT_EQ(cli({QStringLiteral("seed-demo")}).exitCode, 0);
        {
            db::Connection connection;
            connection.open(owner);
            if (c.dropTable) {
                connection.execute(QStringLiteral("Drop Table kem_setting"));
            } else {
                const QString role = owner.database + QStringLiteral("_nogrants");
                connection.execute(QStringLiteral("Create Role %1 Login").arg(role));
                writeSettings(QStringLiteral("PostgreSQL"), owner.server, names, role);
            }
        }
        const CliRun r = cli({QStringLiteral("db-check")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        const QString head = QStringLiteral("[エラー] 固定情報セット中にエラーが発生しました。 / "
                                            "強制終了されます。エラー内容は以下の通りです。 /  / ");
        EXPECT_TRUE(r.err.startsWith(head + QString::fromUtf8(c.reason))) << r.err.toStdString();
        // One line: no statement excerpt, no caret.
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 2) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QLatin1String("LINE 1"))) << r.err.toStdString();
        ++run;
    }
    EXPECT_GE(run, 1);
}

// Only init-db creates database files: the other commands name the missing file and create nothing.
TEST_F(CliDbTest, MissingSqliteFilesAreReportedNotCreated) {
    writeSettings(QStringLiteral("SQLite"), QString(), kSqliteFiles);
    CliRun r = cli({QStringLiteral("db-check")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("[dbOpen] The database file does not exist: ") +
                                 QDir(dir_.path()).filePath(QStringLiteral("work.db")) +
                                 QStringLiteral("(53)")))
        << r.err.toStdString();
    r = cli({QStringLiteral("seed-demo")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("[seed-demo] PO_DB: The database file does not exist: ")))
        << r.err.toStdString();
    for (const QString& f : kSqliteFiles)
        EXPECT_FALSE(QFile::exists(dir_.filePath(f))) << f.toStdString();

    r = cli({QStringLiteral("init-db")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("SQLKEM_DB: created database work.db, ")));
    r = cli({QStringLiteral("init-db")}); // again: nothing to create, nothing lost
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("SQLKEM_DB: database work.db, "))) << r.out.toStdString();
}

TEST_F(CliDbTest, CheckReportsAnUnreachableDatabase) {
    const test::ClosedPort closed;
    writeSettings(QStringLiteral("PostgreSQL"), QStringLiteral("127.0.0.1:%1").arg(closed.port()),
                  kSqliteFiles, QStringLiteral("x"));
    const CliRun r = cli({QStringLiteral("db-check")});
    EXPECT_EQ(r.exitCode, 1);
    const QStringList lines = r.err.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3) << r.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("[dbOpen] "))) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QLatin1Char(')')));
    EXPECT_EQ(lines[1], QStringLiteral("[エラー] データベースに接続できませんでした。 / 強制終了します。"));
    EXPECT_EQ(lines[2], QStringLiteral("kemnoa-cli: db-check: failed"));
}

TEST_F(CliDbTest, InitWithoutConfiguredDatabasesFails) {
    ASSERT_TRUE(test::writeSettingsFile(dir_.path(), QStringLiteral("[FTP]\r\nPortNum=21\r\n")));
    const CliRun r = cli({QStringLiteral("init-db")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("[init-db]")));
}

TEST_F(CliDbTest, InitCreatesPostgresDatabases) {
    auto base = test::freshPostgresDatabase();
    if (!base)
        GTEST_SKIP() << "no PostgreSQL test cluster";
    const QString prefix = base->database + QLatin1Char('_');
    const QStringList names = {prefix + QStringLiteral("work"), prefix + QStringLiteral("office"),
                               prefix + QStringLiteral("po"), prefix + QStringLiteral("sk")};
    writeSettings(QStringLiteral("PostgreSQL"), base->server, names, base->user);
    CliRun r = cli({QStringLiteral("init-db")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("created database ") + names[0]));
    // Again: nothing to create, nothing lost, one line per database and no notice per table.
    r = cli({QStringLiteral("init-db")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 4) << r.out.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("NOTICE"))) << r.err.toStdString();
    EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString(); // the closing line
    ASSERT_EQ(cli({QStringLiteral("seed-demo")}).exitCode, 0);
    r = cli({QStringLiteral("db-check")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("請求先CD=S0001\n")));
}

// Each fault of the settings file is named: the file, and the section and key where there is one.
TEST_F(CliDbTest, SettingsFaultsAreNamed) {
    const QString ini = dir_.filePath(QStringLiteral("kemnoa.ini"));
    auto put = [&](const QByteArray& bytes) {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    const QByteArray good = "[SQLKEM_DB]\r\nPROVIDER=SQLite\r\nDB_NM=work.db\r\n";
    const struct {
        const char* what;
        QByteArray bytes; // empty: no file at all
        QStringList commands;
        QString says;
    } cases[] = {
        {"no settings file",
         QByteArray(),
         {QStringLiteral("init-db"), QStringLiteral("db-check")},
         QStringLiteral("settings file not found: ") + ini},
        {"section without PROVIDER",
         good + "[OFFICE_DB]\r\nDB_NM=office.db\r\n",
         {QStringLiteral("init-db"), QStringLiteral("db-check")},
         QStringLiteral("section [OFFICE_DB] has no PROVIDER")},
        {"saved as UTF-8",
         good + QStringLiteral("[FTP]\r\nLOCAL_FOLDER=/srv/受信/\r\n").toUtf8(),
         {QStringLiteral("init-db"), QStringLiteral("db-check"), QStringLiteral("settings")},
         QStringLiteral("is saved as UTF-8: save it in code page 932")},
        {"UTF-8 with a byte order mark",
         "\xEF\xBB\xBF" + good,
         {QStringLiteral("init-db")},
         QStringLiteral("is saved as UTF-8")},
        {"a byte that is no character",
         good + "[FTP]\r\nHostMei=ftp\x82\r\n",
         {QStringLiteral("init-db")},
         ini + QStringLiteral(" section [FTP], key HostMei")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(ini);
        if (!c.bytes.isEmpty())
            put(c.bytes);
        for (const QString& command : c.commands) {
            const CliRun r = cli({command});
            EXPECT_EQ(r.exitCode, 1) << command.toStdString();
            EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        }
    }
}

// settings set writes code page 932, mends a file saved as UTF-8, and keeps passwords private.
TEST_F(CliDbTest, SettingsSetWritesCodePage932) {
    const QString ini = dir_.filePath(QStringLiteral("kemnoa.ini"));
    const QString folder = QStringLiteral("/srv/受信/");
    ASSERT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("FTP"),
                   QStringLiteral("LOCAL_FOLDER"), folder})
                  .exitCode,
              0);
    EXPECT_EQ(QFile::permissions(ini) & 0x7077, QFile::ReadOwner | QFile::WriteOwner); // a new file
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().contains(text::toCp932(folder)));
    }
    // A file an editor saved as UTF-8 is converted; its mode stays.
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("[FTP]\r\nLOCAL_FOLDER=/srv/受信/\r\n").toUtf8());
    }
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("FTP"),
                   QStringLiteral("HostMei"), QStringLiteral("ftp.example")})
                  .exitCode,
              0);
    EXPECT_EQ(QFile::permissions(ini) & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const CliRun shown = cli({QStringLiteral("settings")});
    EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.contains(QStringLiteral("LOCAL_FOLDER=") + folder + QLatin1Char('\n')));
    EXPECT_TRUE(shown.out.contains(QStringLiteral("HostMei=ftp.example\n")));
    EXPECT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("FTP")}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("FTP"),
                   QStringLiteral("HostMei"), QStringLiteral("\U0001F600")})
                  .exitCode,
              1); // no such character in code page 932
}
