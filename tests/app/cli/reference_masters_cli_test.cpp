// kemnoa-cli masters export|import on a program folder with a SQLite work database.

#include "cli_process.h"
#include "demo/demo_data.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using test::CliRun;

namespace {

class CliMasters : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = dir_.path() + QLatin1Char('/');
        ASSERT_TRUE(test::writeSettingsFile(
            home_, QStringLiteral("[SQLKEM_DB]\r\nPROVIDER=SQLite\r\nDB_NM=work.db\r\n")));
        db::Connection c;
        c.open(settings());
        demo::seed(c, db::DatabaseKind::Work);
    }

    db::ConnectionSettings settings() const {
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = home_ + QStringLiteral("work.db");
        s.createIfMissing = true;
        return s;
    }

    CliRun run(const QStringList& args) { return test::runKemnoaCli(home_, args); }

    QStringList sizes() {
        db::Connection c;
        c.open(settings());
        QStringList out;
        for (db::Reader r =
                 c.read(QStringLiteral("Select size_value, sort_lv From kemmst_size Order By size_value"));
             !r.atEnd(); r.moveNext())
            out << r.text(0) + QLatin1Char('=') + r.text(1);
        return out;
    }

    QTemporaryDir dir_;
    QString home_;
};

TEST_F(CliMasters, ExportsAndImportsThroughTheSameChecksAndSave) {
    const QStringList before = sizes();
    ASSERT_FALSE(before.isEmpty());
    const CliRun out = run({"masters", "export", "size"});
    ASSERT_EQ(out.exitCode, 0) << out.err.toStdString();
    const QStringList lines = out.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.front(), QStringLiteral("size_value,sort_lv"));
    EXPECT_EQ(lines.size(), before.size() + 1);

    const QString file = home_ + QStringLiteral("size.csv");
    ASSERT_EQ(run({"masters", "export", "size", file}).exitCode, 0);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), out.out);
    f.close();

    // A refused row: the checks' messages, exit 1, the table untouched.
    QFile bad(home_ + QStringLiteral("bad.csv"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("size_value,sort_lv\r\nS,1\r\nM,abc\r\n");
    bad.close();
    const CliRun refused = run({"--yes", "masters", "import", "size", bad.fileName()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(
        QStringLiteral("[エラーチェック] 整列順に入力された値が数値じゃないレコードがあります。")))
        << refused.err.toStdString();
    EXPECT_EQ(sizes(), before);

    // Without --yes the question is answered No and nothing changes.
    QFile good(home_ + QStringLiteral("good.csv"));
    ASSERT_TRUE(good.open(QIODevice::WriteOnly));
    good.write("sort_lv,size_value\r\n2,O'NE\r\n1,TWO\r\n");
    good.close();
    EXPECT_EQ(run({"masters", "import", "size", good.fileName()}).exitCode, 1);
    EXPECT_EQ(sizes(), before);
    const CliRun done = run({"--yes", "masters", "import", "size", good.fileName()});
    EXPECT_EQ(done.exitCode, 0) << done.err.toStdString();
    EXPECT_TRUE(done.err.contains(QStringLiteral("[完了] 保存処理は完了しました。")));
    EXPECT_EQ(sizes(), (QStringList{"O'NE=2", "TWO=1"}));

    // Back from the first export.
    EXPECT_EQ(run({"--yes", "masters", "import", "size", file}).exitCode, 0);
    EXPECT_EQ(sizes(), before);

    EXPECT_EQ(run({"masters", "export", "colours"}).exitCode, 2);
    EXPECT_EQ(run({"masters", "send", "size"}).exitCode, 2);
    EXPECT_EQ(run({"masters", "import", "size", home_ + QStringLiteral("missing.csv")}).exitCode, 1);
}

} // namespace
