// The rights docs/admin.md tells the administrator to give the workstations on PostgreSQL
// (sql/postgresql/workstation-grants.sql, run with psql as the owner role) are enough for a
// workstation's work, and give nothing more.

#include "cli_process.h"
#include "demo/sample_orders.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "support/pg_database.h"
#include "support/test_env.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using test::CliRun;

namespace {

const char* const kSections[] = {"SQLKEM_DB", "OFFICE_DB", "PO_DB", "SK_DB"};
const char* const kKinds[] = {"work", "office", "po", "sk"};

class PgGrants : public ::testing::Test {
protected:
    void SetUp() override {
        auto base = test::freshPostgresDatabase();
        if (!base)
            GTEST_SKIP() << "no PostgreSQL test cluster (KEMNOA_TEST_PG_HOST)";
        if (!test::haveProgram(QStringLiteral("psql")))
            GTEST_SKIP() << "psql not found (Debian package postgresql-client)";
        admin_ = *base;
        owner_ = base->database + QStringLiteral("_owner");
        users_ = base->database + QStringLiteral("_users");
        workstation_ = base->database + QStringLiteral("_pc01");
        for (const char* kind : kKinds)
            names_ << base->database + QLatin1Char('_') + QLatin1String(kind);
        home_ = dir_.path() + QLatin1Char('/');
        QDir().mkpath(home_ + QStringLiteral("recv"));
    }

    // The settings file of a program logging in as role.
    void writeSettings(const QString& role) {
        QString text;
        for (int i = 0; i < 4; ++i)
            text +=
                QStringLiteral("[%1]\r\nPROVIDER=PostgreSQL\r\nSERVER_NM=%2\r\nDB_NM=%3\r\nDBUSER_NM=%4\r\n"
                               "PASSWORD=\r\nCONECT_TIMEOUT=10\r\n")
                    .arg(QLatin1String(kSections[i]), admin_.server, names_[i], role);
        text += QStringLiteral("[FTP]\r\nLOCAL_FOLDER=%1recv/\r\n").arg(home_);
        ASSERT_TRUE(test::writeSettingsFile(home_, text));
    }

    CliRun cli(const QStringList& args) { return test::runKemnoaCli(home_, args); }

    db::ConnectionSettings as(const QString& role, int database) const {
        db::ConnectionSettings s = admin_;
        s.user = role;
        s.database = names_[database];
        return s;
    }

    // Runs the grants file with psql in the database as the owner, as the administrator does.
    void applyGrants(const QString& database) {
        const QString server = admin_.server;
        const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
        QProcess psql;
        psql.start(QStringLiteral("psql"),
                   {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-h"), server.left(colon),
                    QStringLiteral("-p"), server.mid(colon + 1), QStringLiteral("-U"), owner_,
                    QStringLiteral("-d"), database, QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                    QStringLiteral("-v"), QStringLiteral("users=") + users_, QStringLiteral("-f"),
                    test::sourceDir() + QStringLiteral("/sql/postgresql/workstation-grants.sql")});
        ASSERT_TRUE(psql.waitForFinished(60000));
        EXPECT_EQ(psql.exitCode(), 0)
            << database.toStdString() << ": " << psql.readAllStandardError().toStdString();
    }

    QTemporaryDir dir_;
    QString home_;
    db::ConnectionSettings admin_;
    QString owner_, users_, workstation_;
    QStringList names_;
};

TEST_F(PgGrants, AWorkstationImportsNumbersAndChecksWithTheDocumentedRights) {
    // The administrator's part: the roles, and the four databases belonging to the owner.
    {
        db::Connection admin;
        admin.open(admin_);
        admin.execute(QStringLiteral("CREATE ROLE \"%1\" LOGIN").arg(owner_));
        admin.execute(QStringLiteral("CREATE ROLE \"%1\" NOLOGIN").arg(users_));
        admin.execute(QStringLiteral("CREATE ROLE \"%1\" LOGIN IN ROLE \"%2\"").arg(workstation_, users_));
        for (const QString& name : names_)
            admin.execute(QStringLiteral("CREATE DATABASE \"%1\" OWNER \"%2\"").arg(name, owner_));
    }
    // The owner creates the tables and the fixed values, then grants.
    writeSettings(owner_);
    CliRun r = cli({QStringLiteral("init-db")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = cli({QStringLiteral("seed-demo")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const QString& name : names_)
        applyGrants(name);

    // A workstation's day: an order file imported, its order numbered, the databases checked.
    writeSettings(workstation_);
    demo::BuiltFile file;
    file.orders = {demo::sampleOrder(9701, 2)};
    demo::writeOrderFile(home_ + QStringLiteral("recv/ORD1.mdb"), file);
    r = cli({QStringLiteral("--yes"), QStringLiteral("import")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = cli({QStringLiteral("--yes"), QStringLiteral("number"), QStringLiteral("--all")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList numbered = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(numbered.size(), 1) << r.out.toStdString();
    EXPECT_TRUE(numbered[0].startsWith(QStringLiteral("9701\t"))) << numbered[0].toStdString();
    EXPECT_FALSE(numbered[0].section(QLatin1Char('\t'), 1, 1).isEmpty()) << numbered[0].toStdString();
    r = cli({QStringLiteral("db-check")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    // And nothing more: no tables of its own, no temporary tables, no change to the layout's version.
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(names_[i].toStdString());
        db::Connection c;
        c.open(as(workstation_, i));
        EXPECT_EQ(c.read(QStringLiteral("SELECT COUNT(*) FROM kemnoa_schema")).value(0).toInt(), 1);
        for (const char* statement :
             {"CREATE TABLE own (x INTEGER)", "CREATE TEMPORARY TABLE own (x INTEGER)",
              "UPDATE kemnoa_schema SET version = version + 1", "DELETE FROM kemnoa_schema"})
            EXPECT_THROW(c.execute(QLatin1String(statement)), Error) << statement;
    }
}

} // namespace
