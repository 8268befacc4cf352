// kemnoa-cli import / errors / delete-all-orders run end to end on a demo program folder.

#include "core/connections.h"
#include "demo/demo_data.h"
#include "demo/sample_orders.h"
#include "platform/db/reader.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliImport : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = dir_.path() + QLatin1Char('/');
        QDir().mkpath(home_ + QStringLiteral("recv"));
        QFile ini(home_ + QStringLiteral("kemnoa.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(
            "[SQLKEM_DB]\r\nPROVIDER=SQLite\r\nDB_NM=work.db\r\n[PO_DB]\r\nPROVIDER=SQLite\r\nDB_NM=po.db\r\n"
            "[FTP]\r\nLOCAL_FOLDER=");
        ini.write((home_ + QStringLiteral("recv/")).toUtf8());
        ini.write("\r\n");
        ini.close();
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

    CliRun run(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KEMNOA_HOME"), home_);
        p.setProcessEnvironment(env);
        p.start(test::binaryDir() + QStringLiteral("/src/app/cli/kemnoa-cli"), args);
        p.waitForFinished(120000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    int count(const QString& table) {
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = home_ + QStringLiteral("work.db");
        db::Connection c;
        c.open(s);
        return c.read(QStringLiteral("Select Count(*) From ") + table).value(0).toInt();
    }

    QTemporaryDir dir_;
    QString home_;
};

TEST_F(CliImport, ImportsListsFindingsAndDeletesAll) {
    demo::BuiltFile f;
    f.orders = {demo::sampleOrder(9001, 2), demo::sampleOrder(9002, 1)};
    f.orders[1].header[QStringLiteral("KIBO_DATE")] = jet::Value::text(QStringLiteral("20240231"));
    f.ehj = {demo::sampleEhj(1, QStringLiteral("E0100"))};
    demo::writeOrderFile(home_ + QStringLiteral("recv/ORD20240115.mdb"), f);

    const CliRun imp = run({QStringLiteral("import")});
    EXPECT_EQ(imp.exitCode, 0) << imp.err.toStdString();
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

    // Nothing left to import.
    EXPECT_EQ(run({QStringLiteral("import")}).exitCode, 1);

    EXPECT_EQ(run({QStringLiteral("--input"), QStringLiteral("fern"), QStringLiteral("delete-all-orders")})
                  .exitCode,
              0);
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 0);
    EXPECT_EQ(count(QStringLiteral("rrk_ehj")), 0);
}

} // namespace
