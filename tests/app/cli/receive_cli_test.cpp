#include "receiving/receive_fixture.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace kemnoa;
using namespace kemnoa::test;

namespace {

QString L(const char* s) {
    return QString::fromUtf8(s);
}

// kemnoa-cli receive: the same command, settings from the settings file, answers from --yes.
TEST(CliReceive, RunsTheReceiveFromTheSettingsFile) {
    ReceiveFolders f;
    for (const char* n : {"ORD1.mdb", "ORD2.mdb"})
        putFile(f.serverFile(L(n)), n);
    PyFtpServer server;
    ASSERT_TRUE(server.start(f.root.path())) << server.error().toStdString();
    const QString ini = f.work.filePath(L("kemnoa.ini"));
    putFile(ini, text::toCp932(L("[FTP]\r\nLOCAL_FOLDER=") + f.receiveFolder() +
                               L("\r\nHostMei=127.0.0.1\r\nUserMei=kem\r\nPassMei=pw\r\nPortNum=") +
                               QString::number(server.port()) + L("\r\nPaveMod=True\r\n")));

    QString err;
    auto runCli = [&](int& exitCode) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(L("KEMNOA_HOME"), f.programFolder());
        cli.setProcessEnvironment(env);
        cli.start(L(KEMNOA_CLI), {L("--ini"), ini, L("--yes"), L("receive")});
        EXPECT_TRUE(cli.waitForFinished(60000));
        exitCode = cli.exitCode();
        const QByteArray out = cli.readAllStandardOutput();
        err = QString::fromUtf8(cli.readAllStandardError());
        return QString::fromUtf8(out) + err;
    };

    int exitCode = -1;
    const QString first = runCli(exitCode);
    EXPECT_EQ(exitCode, 0) << first.toStdString();
    EXPECT_TRUE(first.contains(L("受信成功(") + f.receiveFolder() + L("ORD2.mdb)"))) << first.toStdString();
    EXPECT_TRUE(first.contains(L("2つのファイルを受信しました。")));
    EXPECT_EQ(f.receivedFiles(), (QStringList{L("ORD1.mdb"), L("ORD2.mdb")}));
    EXPECT_EQ(f.serverFiles(L("BK")), (QStringList{L("BORD1.mdb"), L("BORD2.mdb")}));
    EXPECT_EQ(f.logMessages().size(), 10); // ftplog.log in the program folder
    EXPECT_TRUE(err.endsWith(L("kemnoa-cli: receive: done (files 2, failures 0)\n"))) << err.toStdString();

    // The received files are not imported yet: the next receive is refused.
    const QString second = runCli(exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(second.contains(L("開始できません"))) << second.toStdString();
    EXPECT_TRUE(err.endsWith(L("kemnoa-cli: receive: failed (files 0, failures 0)\n"))) << err.toStdString();

    // A refused login says why, also on standard error, where cron's mail shows it.
    for (const QString& name : f.receivedFiles())
        QFile::remove(f.receiveFolder() + name);
    putFile(ini, text::toCp932(L("[FTP]\r\nLOCAL_FOLDER=") + f.receiveFolder() +
                               L("\r\nHostMei=127.0.0.1\r\nUserMei=kem\r\nPassMei=wrong\r\nPortNum=") +
                               QString::number(server.port()) + L("\r\nPaveMod=True\r\n")));
    runCli(exitCode);
    EXPECT_EQ(exitCode, 1);
    const QStringList lines = err.split(L("\n"), Qt::SkipEmptyParts);
    const qsizetype failedAt = lines.indexOf(L("♯接続失敗"));
    ASSERT_GE(failedAt, 0) << err.toStdString();
    ASSERT_LT(failedAt + 1, lines.size());
    EXPECT_TRUE(lines[failedAt + 1].startsWith(L("♯530"))) << err.toStdString();
    EXPECT_TRUE(f.logMessages().contains(lines[failedAt + 1]));
}

} // namespace
