#include "core/program_folder.h"
#include "receive_fixture.h"
#include "receiving/ftp_receive.h"
#include "support/closed_port.h"
#include "support/scripted_prompter.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace kemnoa;
using namespace kemnoa::test;
using Status = receiving::ReceiveResult::Status;

namespace {

QString L(const char* s) {
    return QString::fromUtf8(s);
}

class FtpReceiveTest : public ::testing::Test {
protected:
    // Three order files on the server, plus a file and a folder the pattern does not take.
    void seedThree(qsizetype size = 16) {
        for (const char* n : {"ORD1.mdb", "ORD2.mdb", "ORD3.mdb"})
            putFile(f.serverFile(L(n)), QByteArray(size, n[3]));
        putFile(f.serverFile(L("readme.txt")), "x");
    }

    receiving::ReceiveResult run(const QStringList& options = {}) {
        EXPECT_TRUE(server.start(f.root.path(), options)) << server.error().toStdString();
        pointSessionAt(server.port(), f.receiveFolder());
        prompter.answer(true);
        return receiving::runFtpReceive(prompter);
    }

    QString local(const char* name) const { return f.receiveFolder() + L(name); }
    QString received(const char* name) const { return L("受信成功(") + local(name) + L(")"); }
    QString backedUp(const char* name) const {
        return L("バックアップ送信成功(") + local(name) + L(",B") + L(name) + L(")");
    }

    void expectNoCompletionBox() const {
        EXPECT_FALSE(prompter.messages().contains(L("[完了] 処理完了しました。")));
        EXPECT_EQ(prompter.busyDepth, 0);
    }
    // No order file is lost: each is still on the server or was received and backed up.
    void expectNothingLost(const QStringList& names) const {
        for (const QString& n : names) {
            const bool onServer = f.serverFiles().contains(n);
            const bool kept = f.receivedFiles().contains(n) && f.serverFiles(L("BK")).contains(L("B") + n);
            EXPECT_TRUE(onServer || kept) << n.toStdString();
        }
    }

    ReceiveFolders f;
    PyFtpServer server;
    ScriptedPrompter prompter;
};

const QStringList kThree = {QStringLiteral("ORD1.mdb"), QStringLiteral("ORD2.mdb"),
                            QStringLiteral("ORD3.mdb")};

TEST_F(FtpReceiveTest, ReceivesBacksUpAndDeletesEveryOrderFile) {
    seedThree();
    const auto result = run();
    EXPECT_EQ(result.status, Status::Completed);
    EXPECT_EQ(result.received, 3);
    EXPECT_EQ(
        prompter.list,
        (QStringList{L("接続成功"), received("ORD1.mdb"), received("ORD2.mdb"), received("ORD3.mdb"),
                     L("開放成功"), L("3つのファイルを受信しました。"), L("FTP受信処理完了しました。")}));
    EXPECT_EQ(f.logMessages(),
              (QStringList{kStartBanner, L("接続成功"), received("ORD1.mdb"), received("ORD2.mdb"),
                           received("ORD3.mdb"), backedUp("ORD1.mdb"), backedUp("ORD2.mdb"),
                           backedUp("ORD3.mdb"), L("削除成功(ORD1.mdb)"), L("削除成功(ORD2.mdb)"),
                           L("削除成功(ORD3.mdb)"), L("開放成功"), kEndBanner}));
    EXPECT_EQ(f.receivedFiles(), kThree);
    EXPECT_EQ(fileBytes(local("ORD2.mdb")), QByteArray(16, '2'));
    EXPECT_EQ(f.serverFiles(), QStringList{L("readme.txt")});
    EXPECT_EQ(f.serverFiles(L("BK")), (QStringList{L("BORD1.mdb"), L("BORD2.mdb"), L("BORD3.mdb")}));
    EXPECT_EQ(prompter.messages(), (QStringList{L("[完了] 処理完了しました。")}));
    ASSERT_FALSE(prompter.events.empty());
    EXPECT_EQ(prompter.events[0].text, L("受信処理を開始しますか？"));
    EXPECT_EQ(prompter.events[0].title, L("受信確認"));
    EXPECT_EQ(prompter.busyDepth, 0);
    EXPECT_EQ(prompter.busyMaxDepth, 1);
    EXPECT_EQ(server.commands().count(L("CONNECT")), 1);
}

TEST_F(FtpReceiveTest, NothingToFetchStillCompletes) {
    for (const bool withDirectory : {false, true}) {
        SCOPED_TRACE(withDirectory ? "a directory matching the pattern" : "empty");
        server.stop();
        prompter = ScriptedPrompter();
        if (withDirectory)
            QDir(f.root.path()).mkdir(L("ORDDIR.mdb"));
        const auto result = run();
        EXPECT_EQ(result.status, Status::Completed);
        EXPECT_EQ(prompter.list,
                  (QStringList{L("接続成功"), L("取得可能なファイルがありません"), L("開放成功"),
                               L("0つのファイルを受信しました。"), L("FTP受信処理完了しました。")}));
        EXPECT_EQ(prompter.messages(), (QStringList{L("[完了] 処理完了しました。")}));
        EXPECT_TRUE(server.commands().filter(L("CWD BK")).isEmpty()); // the backup folder is not entered
    }
}

// A download that fails part-way through the files: refused by the server, or its connection dropped
// in the middle of the transfer.
struct DownloadFault {
    const char* what;
    const char* option;
    qsizetype fileSize;
};

class FtpDownloadFaultTest : public FtpReceiveTest, public ::testing::WithParamInterface<DownloadFault> {};

TEST_P(FtpDownloadFaultTest, SecondDownloadFailingRollsBackLocally) {
    seedThree(GetParam().fileSize);
    const auto result = run({L(GetParam().option), L("ORD2.mdb")});
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_EQ(prompter.list, (QStringList{L("接続成功"), received("ORD1.mdb"), L("♯受信失敗(ORD2.mdb)")}));
    EXPECT_EQ(f.logMessages(),
              (QStringList{kStartBanner, L("接続成功"), received("ORD1.mdb"), L("♯受信失敗(ORD2.mdb)")}));
    // Neither ORD1 nor a truncated ORD2 nor a temporary file stays behind.
    EXPECT_TRUE(f.receivedFiles().isEmpty());
    EXPECT_EQ(f.serverFiles(), kThree + QStringList{L("readme.txt")});
    EXPECT_TRUE(f.serverFiles(L("BK")).isEmpty());
    expectNoCompletionBox();
    EXPECT_TRUE(prompter.messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Faults, FtpDownloadFaultTest,
                         ::testing::Values(DownloadFault{"refused", "--fail-retr", 16},
                                           DownloadFault{"dropped", "--drop-retr", 1 << 20}),
                         [](const ::testing::TestParamInfo<DownloadFault>& info) {
                             return std::string(info.param.what);
                         });

TEST_F(FtpReceiveTest, FailedBackupDeletesNothingOnTheServer) {
    seedThree();
    const auto result = run({L("--fail-stor"), L("BORD2.mdb")});
    EXPECT_EQ(result.status, Status::Failed);
    const QString failLine = L("♯バックアップ送信失敗(") + local("ORD2.mdb") + L(",BORD2.mdb)");
    EXPECT_EQ(prompter.list, (QStringList{L("接続成功"), received("ORD1.mdb"), received("ORD2.mdb"),
                                          received("ORD3.mdb"), failLine}));
    EXPECT_EQ(f.logMessages(),
              (QStringList{kStartBanner, L("接続成功"), received("ORD1.mdb"), received("ORD2.mdb"),
                           received("ORD3.mdb"), backedUp("ORD1.mdb"), failLine}));
    EXPECT_TRUE(f.receivedFiles().isEmpty());
    EXPECT_EQ(f.serverFiles(), kThree + QStringList{L("readme.txt")});
    EXPECT_EQ(f.serverFiles(L("BK")), QStringList{L("BORD1.mdb")}); // uploaded before the failure; stays
    EXPECT_TRUE(server.commands().filter(L("DELE")).isEmpty());
    expectNoCompletionBox();
}

TEST_F(FtpReceiveTest, MissingBackupFolderCountsAsBackupFailure) {
    seedThree();
    QDir(f.root.path()).rmdir(L("BK"));
    const auto result = run();
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_EQ(prompter.list.last(), L("♯バックアップ送信失敗(") + local("ORD1.mdb") + L(",BORD1.mdb)"));
    EXPECT_TRUE(f.receivedFiles().isEmpty());
    EXPECT_EQ(f.serverFiles(), kThree + QStringList{L("readme.txt")});
    EXPECT_TRUE(server.commands().filter(L("STOR")).isEmpty());
    expectNoCompletionBox();
}

TEST_F(FtpReceiveTest, FailedDeleteIsReportedAndTheOthersGoOn) {
    seedThree();
    const auto result = run({L("--fail-dele"), L("ORD2.mdb")});
    EXPECT_EQ(result.status, Status::Completed);
    EXPECT_EQ(result.received, 3);
    EXPECT_EQ(result.failures, 1); // left on the server
    EXPECT_EQ(prompter.list,
              (QStringList{L("接続成功"), received("ORD1.mdb"), received("ORD2.mdb"), received("ORD3.mdb"),
                           L("♯削除失敗(ORD2.mdb)"), L("開放成功"), L("3つのファイルを受信しました。"),
                           L("FTP受信処理完了しました。")}));
    const QStringList log = f.logMessages();
    EXPECT_EQ(log.mid(8, 3),
              (QStringList{L("削除成功(ORD1.mdb)"), L("♯削除失敗(ORD2.mdb)"), L("削除成功(ORD3.mdb)")}));
    EXPECT_EQ(f.receivedFiles(), kThree);
    EXPECT_EQ(f.serverFiles(), (QStringList{L("ORD2.mdb"), L("readme.txt")}));
    EXPECT_EQ(f.serverFiles(L("BK")), (QStringList{L("BORD1.mdb"), L("BORD2.mdb"), L("BORD3.mdb")}));
    expectNothingLost(kThree);
}

// The reason follows the failure line as a line of its own, on the list and in the log.
TEST_F(FtpReceiveTest, ConnectionFailuresSayWhy) {
    seedThree();
    const struct {
        const char* what;
        const char* host;
        const char* password;
        const char* reason; // a part of the reason line
    } cases[] = {{"wrong password", "127.0.0.1", "nope", "530"},
                 {"unknown host", "no-such-host.invalid", "pw", "サーバー名を解決できませんでした。"}};
    ASSERT_TRUE(server.start(f.root.path())) << server.error().toStdString();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(QDir(f.programFolder()).filePath(L("ftplog.log")));
        pointSessionAt(server.port(), f.receiveFolder());
        core::session().FtpSetting.HostMei = L(c.host);
        core::session().FtpSetting.PassMei = L(c.password);
        prompter = ScriptedPrompter();
        prompter.answer(true);
        EXPECT_EQ(receiving::runFtpReceive(prompter).status, Status::Failed);
        ASSERT_EQ(prompter.list.size(), 2) << prompter.list.join(L(" | ")).toStdString();
        EXPECT_EQ(prompter.list[0], L("♯接続失敗"));
        EXPECT_TRUE(prompter.list[1].startsWith(L("♯")));
        EXPECT_TRUE(prompter.list[1].contains(L(c.reason))) << prompter.list[1].toStdString();
        EXPECT_EQ(f.logMessages(), (QStringList{kStartBanner, L("♯接続失敗"), prompter.list[1]}));
        EXPECT_EQ(prompter.messages(), QStringList{}); // no message box
        EXPECT_EQ(prompter.busyDepth, 0);
    }
    EXPECT_EQ(f.serverFiles(), kThree + QStringList{L("readme.txt")});
    // Nobody listening on the port at all.
    const ClosedPort closed;
    ASSERT_NE(closed.port(), 0);
    pointSessionAt(closed.port(), f.receiveFolder());
    prompter = ScriptedPrompter();
    prompter.answer(true);
    EXPECT_EQ(receiving::runFtpReceive(prompter).status, Status::Failed);
    ASSERT_EQ(prompter.list.size(), 2);
    EXPECT_EQ(prompter.list[0], L("♯接続失敗"));
    EXPECT_TRUE(prompter.list[1].contains(L("onnect"))) << prompter.list[1].toStdString();
}

// A setting that does not convert is reported with its own error, then where it lives: the settings
// file, the section and the key.
TEST_F(FtpReceiveTest, UnconvertibleSettingsAreReportedNotThrown) {
    const struct {
        QString core::FtpSettings::*field;
        const char* key;
        const char* value;
    } cases[] = {{&core::FtpSettings::PortNum, "PortNum", "21a"},
                 {&core::FtpSettings::PaveMod, "PaveMod", "yes"},
                 {&core::FtpSettings::UseTls, "UseTls", "on"}};
    ASSERT_TRUE(server.start(f.root.path()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        pointSessionAt(server.port(), f.receiveFolder());
        core::session().FtpSetting.*c.field = L(c.value);
        prompter = ScriptedPrompter();
        prompter.answer(true);
        EXPECT_EQ(receiving::runFtpReceive(prompter).status, Status::Failed);
        EXPECT_EQ(prompter.list, QStringList{L("♯接続失敗")});
        ASSERT_EQ(prompter.messages().size(), 1);
        const QStringList lines = prompter.messages()[0].split(L("\r\n"));
        ASSERT_EQ(lines.size(), 2) << prompter.messages()[0].toStdString();
        EXPECT_EQ(lines[0], L("[cmdRcv_Click] 型が一致しません。(13)"));
        EXPECT_EQ(lines[1], core::settingsFile() + L(" section [FTP], key ") + L(c.key));
        EXPECT_EQ(prompter.busyDepth, 0);
    }
    EXPECT_TRUE(server.commands().isEmpty()); // the server was never contacted
}

TEST_F(FtpReceiveTest, WaitingOrderFilesBlockTheReceive) {
    const struct {
        const char* file;
        bool blocks;
    } cases[] = {{"a.mdb", true}, {"a.MDB", true}, {"ORD1.err", false}, {"notes.txt", false}};
    seedThree();
    ASSERT_TRUE(server.start(f.root.path()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        for (const QString& n : f.receivedFiles())
            QFile::remove(f.receiveFolder() + n);
        putFile(f.receiveFolder() + L(c.file), "waiting");
        pointSessionAt(server.port(), f.receiveFolder());
        prompter = ScriptedPrompter();
        prompter.answer(true);
        const auto result = receiving::runFtpReceive(prompter);
        EXPECT_EQ(result.status, c.blocks ? Status::Refused : Status::Completed);
        if (c.blocks) {
            EXPECT_EQ(prompter.messages(),
                      QStringList{L("[開始できません] 受信ファイルの保存先フォルダ(") + f.receiveFolder() +
                                  L(")にファイルがまだ存在します。\r\nデータベースに取り込むか、ファイル削除"
                                    "してください。")});
            EXPECT_TRUE(prompter.list.isEmpty());
        }
        EXPECT_EQ(prompter.busyDepth, 0);
        EXPECT_TRUE(f.receivedFiles().contains(L(c.file))); // never touched
        // Put the server back for the next case.
        for (const QString& n : kThree)
            if (!QFile::exists(f.serverFile(n)))
                putFile(f.serverFile(n), "again");
    }
}

TEST_F(FtpReceiveTest, DeclinedOrUnreadableFolderDoesNothing) {
    seedThree();
    ASSERT_TRUE(server.start(f.root.path()));
    pointSessionAt(server.port(), f.receiveFolder());
    prompter.answer(false);
    EXPECT_EQ(receiving::runFtpReceive(prompter).status, Status::Declined);
    EXPECT_TRUE(f.logMessages().isEmpty());
    EXPECT_TRUE(server.commands().isEmpty());

    core::session().LocalFolder = f.work.filePath(L("missing")) + L("/");
    prompter = ScriptedPrompter();
    prompter.answer(true);
    EXPECT_EQ(receiving::runFtpReceive(prompter).status, Status::Refused);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.messages()[0].startsWith(L("[cmdRcv_Click] パスが見つかりません。")));
    EXPECT_TRUE(prompter.messages()[0].endsWith(L("(76)")));
    EXPECT_EQ(prompter.busyDepth, 0);
    EXPECT_TRUE(server.commands().isEmpty());
}

TEST_F(FtpReceiveTest, UntrustedListingNamesAreNotDownloaded) {
    seedThree();
    const QString longName = L("ORD") + QString(220, QLatin1Char('x')) + L(".mdb");
    putFile(f.serverFile(longName), "long");
    putFile(f.serverFile(L("ORD\x01.mdb")), "control");
    putFile(f.serverFile(L("ORD\\..\\..\\back.mdb")), "backslash");
    const auto result = run({L("--fake-entry"), L("ORD/../../evil.mdb"), L("--fake-entry"), L("ORD..mdb")});
    EXPECT_EQ(result.status, Status::Completed);
    EXPECT_EQ(result.received, 3);
    QStringList failures = prompter.list.filter(L("♯受信失敗("));
    failures.sort();
    QStringList expected{L("♯受信失敗(ORD/../../evil.mdb)"), L("♯受信失敗(ORD..mdb)"),
                         L("♯受信失敗(ORD?.mdb)"), L("♯受信失敗(ORD\\..\\..\\back.mdb)"),
                         L("♯受信失敗(") + longName + L(")")};
    expected.sort();
    EXPECT_EQ(failures, expected);
    EXPECT_EQ(f.receivedFiles(), kThree);
    EXPECT_TRUE(f.strayFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(f.work.path()).filePath(L("../evil.mdb"))));
    // The refused files stay on the server for the operator.
    for (const QString& n : {longName, L("ORD\x01.mdb"), L("ORD\\..\\..\\back.mdb")})
        EXPECT_TRUE(f.serverFiles().contains(n)) << n.toStdString();
    EXPECT_EQ(prompter.messages(), (QStringList{L("[完了] 処理完了しました。")}));
}

TEST_F(FtpReceiveTest, RefusedListingIsAFailureNotAnEmptyServer) {
    seedThree();
    const auto result = run({L("--fail-list")});
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_EQ(prompter.list, (QStringList{L("接続成功"), L("♯受信失敗(ORD*.mdb)")}));
    EXPECT_EQ(f.serverFiles(), kThree + QStringList{L("readme.txt")});
    expectNoCompletionBox();
}

// vsftpd: LIST only, anonymous login, active mode.
TEST(FtpReceiveVsftpd, ReceivesOverList) {
    if (VsftpdServer::binary().isEmpty())
        GTEST_SKIP() << "vsftpd is not installed";
    ReceiveFolders f;
    QFile::setPermissions(f.root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
    for (const char* n : {"ORD1.mdb", "ORD2.mdb"})
        putFile(f.serverFile(L(n)), n);
    VsftpdServer server;
    if (!server.start(f.root.path()))
        GTEST_SKIP() << server.error().toStdString();
    pointSessionAt(server.port(), f.receiveFolder());
    core::session().FtpSetting.UserMei.clear();
    core::session().FtpSetting.PassMei.clear();
    core::session().FtpSetting.PaveMod = L("0");
    ScriptedPrompter prompter;
    prompter.answer(true);
    const auto result = receiving::runFtpReceive(prompter);
    EXPECT_EQ(result.status, Status::Completed) << prompter.list.join(L(" | ")).toStdString();
    EXPECT_EQ(result.received, 2);
    EXPECT_EQ(f.receivedFiles(), (QStringList{L("ORD1.mdb"), L("ORD2.mdb")}));
    EXPECT_EQ(fileBytes(f.receiveFolder() + L("ORD2.mdb")), QByteArray("ORD2.mdb"));
    EXPECT_TRUE(f.serverFiles().isEmpty());
    EXPECT_EQ(f.serverFiles(L("BK")), (QStringList{L("BORD1.mdb"), L("BORD2.mdb")}));
    EXPECT_EQ(f.logMessages().size(), 10);
}

} // namespace

namespace {

// A small tmpfs mounted on a folder for the life of the object, where the machine allows it.
class SmallDisk {
public:
    SmallDisk(const QString& folder, const QString& size) : folder_(folder) {
        QProcess p;
        p.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                          QStringLiteral("size=") + size, QStringLiteral("tmpfs"), folder});
        mounted_ = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (!mounted_)
            error_ = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    }
    ~SmallDisk() {
        if (!mounted_)
            return;
        QProcess p;
        p.start(QStringLiteral("umount"), {folder_});
        p.waitForFinished(20000);
    }
    bool mounted() const { return mounted_; }
    QString error() const { return error_; }

private:
    QString folder_;
    bool mounted_ = false;
    QString error_;
};

TEST_F(FtpReceiveTest, AFullDiskLeavesTheFileOnTheServerAndNothingHalfWritten) {
    auto disk = std::make_unique<SmallDisk>(f.receiveFolder(), QStringLiteral("1536k"));
    if (!disk->mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << disk->error().toStdString();
    seedThree(1 << 20); // the first file fits, the second fills the disk half-way
    const auto result = run();
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_EQ(prompter.list, (QStringList{L("接続成功"), received("ORD1.mdb"), L("♯受信失敗(ORD2.mdb)")}));
    EXPECT_TRUE(f.receivedFiles().isEmpty()); // no truncated ORD2, no temporary file, ORD1 rolled back
    EXPECT_EQ(f.serverFiles(), kThree + QStringList{L("readme.txt")});
    EXPECT_TRUE(f.serverFiles(L("BK")).isEmpty());
    expectNoCompletionBox();

    // With room again the same files are received whole.
    disk.reset();
    disk = std::make_unique<SmallDisk>(f.receiveFolder(), QStringLiteral("8m"));
    ASSERT_TRUE(disk->mounted());
    prompter.events.clear();
    server.stop();
    const auto again = run();
    EXPECT_EQ(again.status, Status::Completed);
    EXPECT_EQ(f.receivedFiles(), kThree);
    EXPECT_EQ(fileBytes(local("ORD2.mdb")), QByteArray(1 << 20, '2'));
    EXPECT_EQ(f.serverFiles(), QStringList{L("readme.txt")});
}

// A file listed larger than the limit is not downloaded; it stays on the server with a line naming
// the limit, and the files at the limit are received as usual.
TEST_F(FtpReceiveTest, FilesOverTheSizeLimitStayOnTheServer) {
    putFile(f.serverFile(L("ORD1.mdb")), QByteArray(100, '1'));
    putFile(f.serverFile(L("ORD2.mdb")), QByteArray(101, '2'));
    putFile(f.serverFile(L("ORD3.mdb")), QByteArray(100, '3'));
    ASSERT_TRUE(server.start(f.root.path())) << server.error().toStdString();
    pointSessionAt(server.port(), f.receiveFolder());
    prompter.answer(true);
    const auto result = receiving::runFtpReceive(prompter, 100);
    EXPECT_EQ(result.status, Status::Completed);
    EXPECT_EQ(result.received, 2);
    EXPECT_EQ(f.receivedFiles(), (QStringList{L("ORD1.mdb"), L("ORD3.mdb")}));
    EXPECT_EQ(f.serverFiles(), QStringList{L("ORD2.mdb")});
    EXPECT_EQ(f.serverFiles(L("BK")), (QStringList{L("BORD1.mdb"), L("BORD3.mdb")}));
    const QStringList failures = prompter.list.filter(L("♯"));
    EXPECT_EQ(failures,
              (QStringList{L("♯受信失敗(ORD2.mdb)"),
                           L("♯ファイルの大きさ(101バイト)が上限(100バイト)を超えています(ORD2.mdb)")}));
    EXPECT_TRUE(f.logMessages().contains(failures[1]));
    EXPECT_TRUE(prompter.list.contains(L("2つのファイルを受信しました。")));
}

} // namespace
