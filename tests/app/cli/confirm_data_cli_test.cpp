// kemnoa-cli confirm-data as a separate process on a program folder with the label environments:
// the list, both methods over the settings file's folders and printers, and its usage errors.

#include "cli_process.h"
#include "demo/demo_data.h"
#include "label_support.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

struct CliRun {
    int rc = -1;
    QString out;
    QString err;
};

class ConfirmDataCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::prepareLabelFolder(dir_.path());
        core::setProgramFolder({});
        QDir(dir_.path()).mkpath(QStringLiteral("po"));
        QDir(dir_.path()).mkpath(QStringLiteral("kakunin"));
        ASSERT_TRUE(test::writeSettingsFile(
            dir_.path(),
            QStringLiteral(
                "[SQLKEM_DB]\r\nPROVIDER=SQLite\r\nDB_NM=%1\r\n[OFFICE_DB]\r\nPROVIDER=SQLite\r\nDB_NM=%2\r\n"
                "[fenlowen1]\r\nTAG_ENV=labels/TAG\r\nCAR_ENV=labels/CAR\r\nKAKUNIN_FOLDER=%3/kakunin/\r\n"
                "APPEXE=\r\nPRINTER_NM=PostScript\r\nPRINTER_PORT=%3/kakunin/port.ps\r\n"
                "[PO_FILE]\r\nFOLDER=%3/po/\r\n")
                .arg(dir_.filePath(QStringLiteral("work.db")), dir_.filePath(QStringLiteral("office.db")),
                     dir_.path())));
        for (const auto kind : {db::DatabaseKind::Work, db::DatabaseKind::Office}) {
            db::ConnectionSettings s;
            s.provider = QStringLiteral("SQLite");
            s.database = dir_.filePath(kind == db::DatabaseKind::Work ? QStringLiteral("work.db")
                                                                      : QStringLiteral("office.db"));
            s.kind = kind;
            s.createIfMissing = true;
            db::Connection c;
            c.open(s);
            demo::seed(c, kind);
            if (kind != db::DatabaseKind::Work)
                continue;
            for (int n : {1, 2}) {
                c.execute(
                    QStringLiteral(
                        "Insert Into rcv_denheaddata (ORD_NO, IRAI_NO, ORD_DATE, KIBO_DATE, SIR_CD, NOU_CD, "
                        "KESSAI, SHKA_PLACE, PO_NO, PO_KBN, ERR_SU, PRN_SU, SEND_FLG, BIKO2) Values (?, "
                        "'R1', "
                        "20261201, '20261220', 'S1', 'C0101-01', '日本決済', '上海工場', ?, '0', 0, 0, '9', "
                        "'')"),
                    {n, QStringLiteral("P0000000%1").arg(n)});
                c.execute(QStringLiteral(
                              "Insert Into rcv_posdata (ORD_NO, GYOU, TAFCD, TAHIN, TACLT, TASIZ, SU, EHJ) "
                              "Values (?, 1, 'KT-1001', 'KM-77', 'ネイビー', 'M', 5, '')"),
                          {n});
            }
        }
    }

    CliRun cli(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KEMNOA_HOME"), dir_.path());
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KEMNOA_CLI), args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    QTemporaryDir dir_;
};

TEST_F(ConfirmDataCliTest, ListsThePosAndMakesTheirPdfsWithEitherMethod) {
    CliRun run = cli({QStringLiteral("confirm-data")});
    ASSERT_EQ(run.rc, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("P00000001\t0\t20261220\t0\t1\nP00000002\t0\t20261220\t0\t1\n"));

    run = cli({QStringLiteral("--yes"), QStringLiteral("confirm-data"), QStringLiteral("--all")});
    ASSERT_EQ(run.rc, 0) << run.err.toStdString() << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("処理は終了しました。"))) << run.err.toStdString();
    for (const char* pdf : {"po/P00000001/P00000001-1.pdf", "po/P00000002/P00000002-1.pdf"})
        EXPECT_TRUE(QFile::exists(dir_.filePath(QString::fromLatin1(pdf)))) << pdf;

    if (test::haveProgram(QStringLiteral("gs"))) {
        QFile::remove(dir_.filePath(QStringLiteral("po/P00000002/P00000002-1.pdf")));
        run = cli({QStringLiteral("confirm-data"), QStringLiteral("--method"), QStringLiteral("distiller"),
                   QStringLiteral("P00000002"), QStringLiteral("0")});
        ASSERT_EQ(run.rc, 0) << run.err.toStdString();
        EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("po/P00000002/P00000002-1.pdf"))));
        EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("kakunin/P00000002-1.ps"))));
    }
    run = cli({QStringLiteral("confirm-data")});
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("P00000002\t0\t20261220\t%1\t0").arg(test::haveProgram(QStringLiteral("gs")) ? 2 : 1)))
        << run.out.toStdString();
}

TEST_F(ConfirmDataCliTest, ArgumentsItCannotTakeGiveItsUsage) {
    for (const QStringList& args :
         {QStringList{QStringLiteral("--method"), QStringLiteral("laser")},
          QStringList{QStringLiteral("P00000001")},
          QStringList{QStringLiteral("--all"), QStringLiteral("P00000001"), QStringLiteral("0")},
          QStringList{QStringLiteral("--fast")}}) {
        const CliRun run = cli(QStringList{QStringLiteral("confirm-data")} + args);
        EXPECT_EQ(run.rc, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage: kemnoa-cli confirm-data")))
            << run.err.toStdString();
    }
    const CliRun unknown =
        cli({QStringLiteral("confirm-data"), QStringLiteral("P00000009"), QStringLiteral("0")});
    EXPECT_EQ(unknown.rc, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("確認データを作成できるPOではありません。(P00000009 0)")))
        << unknown.err.toStdString();
}

} // namespace
