// kemnoa-cli's commands of the care-symbol and term masters, run as a separate process on a program
// folder with the pictures and layouts: waiting submissions, apply, discard, and the four documents
// as PDFs read back with pdftotext and pdfinfo; a real print queue where CUPS runs here.

#include "care_masters/care_fixture.h"
#include "cli_process.h"
#include "platform/db/schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace kemnoa;
using test::CliRun;

namespace {

class CareCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::prepareProgramFolder(dir_.path());
        core::setProgramFolder({});
        ASSERT_TRUE(test::writeSettingsFile(dir_.path(),
                                            QStringLiteral("[SQLKEM_DB]\r\nPROVIDER=SQLite\r\nDB_NM=%1\r\n")
                                                .arg(dir_.filePath(QStringLiteral("work.db")))));
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = dir_.filePath(QStringLiteral("work.db"));
        s.kind = db::DatabaseKind::Work;
        s.createIfMissing = true;
        work_.open(s);
    }

    // stdinText is the job runner's standard input (answers to its input boxes).
    CliRun cli(const QStringList& args, const QByteArray& stdinText = {}) {
        return test::runKemnoaCli(dir_.path(), args, {.input = stdinText});
    }

    static QString tool(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static int pdfPages(const QString& pdf) {
        const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(tool(QStringLiteral("pdfinfo"), {pdf}));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

    QTemporaryDir dir_;
    db::Connection work_;
};

TEST_F(CareCliTest, SubmissionsApplyAndDiscard) {
    test::addEhj(work_, QStringLiteral("E1"), {QStringLiteral("1010")});
    const qint32 a =
        test::stageEhj(work_, QStringLiteral("E1"), {QStringLiteral("2020")}, QStringLiteral("U"));
    const qint32 b =
        test::stageFuki(work_, QStringLiteral("F1"), QStringLiteral("文言"), QStringLiteral("N"));
    CliRun r = cli({QStringLiteral("submissions")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              QStringLiteral("ehj\t%1\tE1\tU\t2024/05/01 10:00:00\nfuki\t%2\tF1\tN\t2024/05/01 10:00:00\n")
                  .arg(a)
                  .arg(b));
    EXPECT_EQ(cli({QStringLiteral("submissions"), QStringLiteral("fuki")}).out.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(cli({QStringLiteral("submissions"), QStringLiteral("x")}).exitCode, 2);

    r = cli({QStringLiteral("apply"), QStringLiteral("ehj"), QString::number(a)}); // no --yes: declined
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(test::cell(work_, QStringLiteral("Select EHJ1 From kemmst_ehj")), QStringLiteral("1010"));
    r = cli({QStringLiteral("--yes"), QStringLiteral("apply"), QStringLiteral("ehj"), QString::number(a)});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(test::cell(work_, QStringLiteral("Select EHJ1 From kemmst_ehj")), QStringLiteral("2020"));

    // The unlock code comes on standard input, never on the command line.
    EXPECT_EQ(cli({QStringLiteral("discard"), QStringLiteral("fuki"), QString::number(b)}, "nope\n").exitCode,
              1);
    r = cli({QStringLiteral("discard"), QStringLiteral("fuki"), QString::number(b)}, "fern\n");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(cli({QStringLiteral("submissions")}).out, QString());
    EXPECT_EQ(test::cell(work_, QStringLiteral("Select Count(*) From kemmst_fuki")), QStringLiteral("0"));
}

TEST_F(CareCliTest, PrintsTheFourDocumentsAsPdf) {
    if (!test::haveProgram(QStringLiteral("pdftotext")) || !test::haveProgram(QStringLiteral("pdfinfo")))
        GTEST_SKIP() << "pdftotext/pdfinfo (poppler-utils) missing";
    for (int i = 1; i <= 9; ++i)
        test::addEhj(work_, QStringLiteral("E%1").arg(i, 2, 10, QLatin1Char('0')),
                     {QStringLiteral("1010"), QStringLiteral("4020")},
                     QStringLiteral("2024/01/0%1 00:00:00").arg(i), QStringLiteral("HK%1").arg(i));
    for (int i = 1; i <= 60; ++i)
        test::addFuki(work_, QStringLiteral("F%1").arg(i, 3, 10, QLatin1Char('0')),
                      QStringLiteral("文言%1").arg(i));
    const qint32 e = test::stageEhj(work_, QStringLiteral("E01"), {QStringLiteral("3010")},
                                    QStringLiteral("D"), {QStringLiteral("予備の値")});
    const qint32 f =
        test::stageFuki(work_, QStringLiteral("F001"), QStringLiteral("新しい文言"), QStringLiteral("U"));

    struct Case {
        QStringList args;
        int pages;
        QStringList texts;
    };
    const QString out = dir_.filePath(QStringLiteral("out.pdf"));
    const Case cases[] = {
        {{QStringLiteral("ehj")}, 2, {"絵表示マスタ", "E08", "HK8", "2024/01/08 00:00:00", "4020"}},
        {{QStringLiteral("ehj"), QStringLiteral("--from"), QStringLiteral("E02"), QStringLiteral("--to"),
          QStringLiteral("E09")},
         1,
         {"E09"}},
        {{QStringLiteral("ehj"), QStringLiteral("E03"), QStringLiteral("E01")}, 1, {"E01", "E03"}},
        {{QStringLiteral("fuki")},
         2,
         {"付記用語マスタ", "[F060]", "文言48", "---------------------------------------------"}},
        {{QStringLiteral("request"), QStringLiteral("ehj"), QString::number(e)},
         1,
         {"絵表示登録依頼書", "E01", "削除", "3010", "予備の値", "1010"}},
        {{QStringLiteral("request"), QStringLiteral("fuki"), QString::number(f)},
         1,
         {"付記用語登録依頼書", "F001", "更新", "新しい文言", "文言1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        QFile::remove(out);
        const CliRun r =
            cli(QStringList{QStringLiteral("print")} + c.args + QStringList{QStringLiteral("--pdf"), out});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(pdfPages(out), c.pages);
        const QString text =
            tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), out, QStringLiteral("-")});
        for (const QString& t : c.texts)
            EXPECT_TRUE(text.contains(t)) << t.toStdString();
    }
    // The range and the chosen keys print only their own sets.
    cli({QStringLiteral("print"), QStringLiteral("ehj"), QStringLiteral("E03"), QStringLiteral("E01"),
         QStringLiteral("--pdf"), out});
    const QString chosen = tool(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
    EXPECT_FALSE(chosen.contains(QStringLiteral("E02")));
    EXPECT_LT(chosen.indexOf(QStringLiteral("E01")), chosen.indexOf(QStringLiteral("E03")));

    // No row: told, nothing written.
    QFile::remove(out);
    const CliRun none = cli({QStringLiteral("print"), QStringLiteral("request"), QStringLiteral("ehj"),
                             QStringLiteral("999"), QStringLiteral("--pdf"), out});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("[エラー] レコードが見つかりません。")));
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(cli({QStringLiteral("print"), QStringLiteral("nothing")}).exitCode, 2);
}

// A CUPS queue with the cups-pdf backend: the listing printed to it comes back as a PDF.
// Needs a CUPS queue with the cups-pdf backend; run it by hand where one exists:
//   KEMNOA_TEST_CUPS_PDF_QUEUE=... KEMNOA_TEST_CUPS_PDF_OUT=... test_care_masters_cli
//       --gtest_also_run_disabled_tests --gtest_filter='*RealQueue*'
// The test script's own CUPS scheduler (scripts/cups-queue) keeps every job's document in a folder.
TEST_F(CareCliTest, PrintsOnARealQueue) {
    const QString queue = qEnvironmentVariable("KEMNOA_TEST_CUPS_QUEUE");
    const QString outDir = qEnvironmentVariable("KEMNOA_TEST_CUPS_OUT");
    if (queue.isEmpty() || outDir.isEmpty())
        GTEST_SKIP() << "no CUPS print queue for the tests (scripts/cups-queue sets KEMNOA_TEST_CUPS_QUEUE "
                        "and KEMNOA_TEST_CUPS_OUT)";
    test::addEhj(work_, QStringLiteral("Q1"), {QStringLiteral("1010")});
    const QStringList before = QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    qputenv("PRINTER", queue.toLocal8Bit());
    const CliRun r = cli({QStringLiteral("print"), QStringLiteral("ehj")});
    qunsetenv("PRINTER");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList after;
    for (int i = 0; i < 100 && after.size() <= before.size(); ++i) {
        QThread::msleep(200);
        after = QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    }
    ASSERT_GT(after.size(), before.size());
    for (const QString& name : after)
        if (!before.contains(name)) {
            const QString text =
                tool(QStringLiteral("pdftotext"), {QDir(outDir).filePath(name), QStringLiteral("-")});
            EXPECT_TRUE(text.contains(QStringLiteral("Q1")));
        }
}

} // namespace
