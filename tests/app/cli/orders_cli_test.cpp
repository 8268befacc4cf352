// kemnoa-cli search, delete-order, cancel-send, cancel-po and show-order on a program folder with a
// SQLite work database.

#include "cli_process.h"
#include "maintenance/order_rows.h"
#include "platform/db/reader.h"
#include "support/test_env.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using test::CliRun;

namespace {

class CliOrders : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = dir_.path() + QLatin1Char('/');
        ASSERT_TRUE(test::writeSettingsFile(
            home_, QStringLiteral("[SQLKEM_DB]\r\nPROVIDER=SQLite\r\nDB_NM=work.db\r\n")));
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = home_ + QStringLiteral("work.db");
        s.createIfMissing = true;
        work_.open(s);
        using H = test::HeaderRow;
        test::insertHeader(work_, H{.ordNo = 501, .iraiNo = "42", .ordDate = 20240105});
        test::insertHeader(work_,
                           H{.ordNo = 502, .ordDate = 20240106, .sendFlg = "1", .poNo = "P5", .poKbn = "0"});
        test::insertHeader(work_, H{.ordNo = 503, .ordDate = 20240107, .poNo = "P6", .poKbn = "1"});
        test::insertLines(work_, 501);
    }

    CliRun run(const QStringList& args) { return test::runKemnoaCli(home_, args); }

    QString value(const QString& sql) {
        db::Reader r = work_.read(sql);
        return r.atEnd() ? QStringLiteral("<none>") : r.text(0);
    }

    QTemporaryDir dir_;
    QString home_;
    db::Connection work_;
};

TEST_F(CliOrders, SearchDeleteCancelAndShow) {
    const QStringList range = {"--from", "20240101", "--to", "20240131"};
    CliRun r = run(QStringList{"search"} + range);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(
        lines[0],
        QStringLiteral("発注番号\t依頼番号\tPO番号\tPO区分\t発注日\t希望出荷日\t納品先\tｴﾗｰ件数\t送信済"));
    EXPECT_EQ(lines[1], QStringLiteral("503\t100\tP6\t1\t20240107\t20240220\t納品先\t0\t"));
    EXPECT_EQ(lines[2].section('\t', 8), QStringLiteral("済"));
    EXPECT_EQ(run(QStringList{"search", "--sent"} + range).out.count('\n'), 2);
    EXPECT_EQ(run(QStringList{"search", "--order", "50", "--irai", "4"} + range).out.count('\n'), 2);
    EXPECT_EQ(run({"search", "--from", "2024"}).exitCode, 1);
    EXPECT_EQ(run({"search", "--colour", "red"}).exitCode, 2);

    r = run({"show-order", "501"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("IRAI_NO\t42\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("[rcv_posdata]\nTACD\t")));
    EXPECT_EQ(run({"show-order", "999"}).exitCode, 1);

    // The sent order is refused, the other deleted; exit 3 says not every order went.
    r = run({"--yes", "delete-order", "501", "502"});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("deleted 501\n"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("[注意] 送信済み伝票(502)は削除できません。")));
    EXPECT_EQ(value("Select Count(*) From rcv_posdata"), QStringLiteral("0"));
    EXPECT_EQ(run({"delete-order", "503"}).exitCode, 1); // no --yes: the question is answered No
    EXPECT_EQ(value("Select Count(*) From rcv_denheaddata Where ORD_NO = 503"), QStringLiteral("1"));

    EXPECT_EQ(run({"cancel-po", "P5"}).exitCode, 1);        // sent
    EXPECT_EQ(run({"cancel-send", "P5", "1"}).exitCode, 1); // other kind
    r = run({"cancel-send", "P5", "0"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(value("Select SEND_FLG From rcv_denheaddata Where ORD_NO = 502"), QStringLiteral("9"));
    EXPECT_EQ(run({"cancel-po", "P5"}).exitCode, 0);
    EXPECT_EQ(value("Select PO_NO From rcv_denheaddata Where ORD_NO = 502"), QString());
}

// Values from a client's order file reach standard output with their control characters replaced:
// an escape sequence cannot drive the terminal and a CR LF cannot split a record.
TEST_F(CliOrders, ControlCharactersInOrderValuesStayOffTheTerminal) {
    const QString hostile = QStringLiteral("\x1b[2JA\r\nB");
    const QString shown = QStringLiteral("?[2JA B");
    test::insertHeader(
        work_, test::HeaderRow{.ordNo = 600, .iraiNo = hostile, .ordDate = 20240301, .nouNm = hostile});
    test::insertLines(work_, 600);
    work_.execute(QStringLiteral("Update rcv_errdata Set ERR_VALUE = ?, ERR_MESSAGE = ? Where ORD_NO = 600"),
                  {hostile, hostile});
    work_.execute(QStringLiteral("Update rcv_posdata Set TACD = ? Where ORD_NO = 600"), {hostile});

    const struct {
        QStringList args;
        int records; // lines of output, headings included
        int tabs;    // TABs on every line but the headings, -1 when lines differ
        QString expected;
    } cases[] = {
        {{"errors", "600"}, 2, 4, QStringLiteral("600\t1\tt\t") + shown + QLatin1Char('\t') + shown},
        {{"search", "--from", "20240301", "--to", "20240301"},
         2,
         8,
         QStringLiteral("600\t") + shown + QStringLiteral("\t\t\t20240301\t20240220\t") + shown +
             QStringLiteral("\t0\t")},
        {{"show-order", "600"}, -1, -1, QStringLiteral("IRAI_NO\t") + shown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun r = run(c.args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QChar(0x1b)));
        EXPECT_FALSE(r.out.contains(QLatin1Char('\r')));
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_TRUE(lines.contains(c.expected)) << r.out.toStdString();
        if (c.records >= 0) {
            ASSERT_EQ(lines.size(), c.records) << r.out.toStdString();
            EXPECT_EQ(lines[1].count(QLatin1Char('\t')), c.tabs);
        }
    }
    // show-order: the line table's row keeps its own line and its columns.
    const CliRun r = run({"show-order", "600"});
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    const qsizetype heading = lines.indexOf(QStringLiteral("[rcv_posdata]"));
    ASSERT_GE(heading, 0) << r.out.toStdString();
    ASSERT_GT(lines.size(), heading + 3);
    const QStringList columns = lines[heading + 1].split(QLatin1Char('\t'));
    const QStringList row = lines[heading + 2].split(QLatin1Char('\t'));
    EXPECT_EQ(row.size(), columns.size());
    EXPECT_EQ(row.value(columns.indexOf(QStringLiteral("TACD"))), shown);
}

} // namespace
