#include "receive_fixture.h"

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

    auto runCli = [&](int& exitCode) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(L("KEMNOA_HOME"), f.programFolder());
        cli.setProcessEnvironment(env);
        cli.start(L(KEMNOA_CLI), {L("--ini"), ini, L("--yes"), L("receive")});
        EXPECT_TRUE(cli.waitForFinished(60000));
        exitCode = cli.exitCode();
        return QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
    };

    int exitCode = -1;
    const QString first = runCli(exitCode);
    EXPECT_EQ(exitCode, 0) << first.toStdString();
    EXPECT_TRUE(first.contains(L("受信成功(") + f.receiveFolder() + L("ORD2.mdb)"))) << first.toStdString();
    EXPECT_TRUE(first.contains(L("2つのファイルを受信しました。")));
    EXPECT_EQ(f.receivedFiles(), (QStringList{L("ORD1.mdb"), L("ORD2.mdb")}));
    EXPECT_EQ(f.serverFiles(L("BK")), (QStringList{L("BORD1.mdb"), L("BORD2.mdb")}));
    EXPECT_EQ(f.logMessages().size(), 10); // ftplog.log in the program folder

    // The received files are not imported yet: the next receive is refused.
    const QString second = runCli(exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(second.contains(L("開始できません"))) << second.toStdString();
}

} // namespace
