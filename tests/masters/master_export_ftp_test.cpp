// The master export against a real FTP server (pyftpdlib): the order of work on the server, the
// progress lines in the list and in the FTP log, and what every failure leaves behind.

#include "masters/master_export.h"
#include "platform/jet/jet_reader.h"
#include "platform/text/cp932.h"
#include "receiving/receive_fixture.h"
#include "support/closed_port.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

using namespace kemnoa;
using namespace kemnoa::test;

namespace {

QString L(const char* s) {
    return QString::fromUtf8(s);
}

const QDateTime kNow(QDate(2024, 3, 5), QTime(7, 8, 9));
const QString kNew = QStringLiteral("MST240305070809.mdb");
const QString kTemp = QStringLiteral("TMST240305070809.mdb");
const QString kOld = QStringLiteral("MST230101000000.mdb");
const QString kLeftover = QStringLiteral("TMST230202000000.mdb");

// One export site: the served folder, the program folder, a work database with two name types,
// the server and the operator.
class ExportSite {
public:
    ExportSite() {
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = f.work.filePath(QStringLiteral("work.db"));
        s.createIfMissing = true;
        work.open(s);
        work.execute(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values ('下札'), ('O''HARA')"));
        // The server: an old master, a temporary file of a failed run, a folder matching the
        // pattern, and files the export has nothing to do with.
        putFile(f.serverFile(kOld), "old master");
        putFile(f.serverFile(kLeftover), "half");
        QDir(f.root.path()).mkdir(QStringLiteral("OLDMST.mdb"));
        putFile(f.serverFile(QStringLiteral("ORD1.mdb")), "order");
        putFile(f.serverFile(QStringLiteral("readme.txt")), "x");
    }

    core::Outcome run(const QStringList& options = {}, bool yes = true) {
        EXPECT_TRUE(server.start(f.root.path(), options)) << server.error().toStdString();
        pointSessionAt(server.port(), f.receiveFolder());
        prompter.answer(yes);
        return masters::runMasterExport(prompter, work, kNow);
    }

    QString local() const { return QDir(f.programFolder()).filePath(kNew); }
    QString logPath() const { return QDir(f.programFolder()).filePath(QStringLiteral("ftplog.log")); }
    // The server's files matching the pattern, sorted.
    QStringList masterFiles() const {
        QStringList out = QDir(f.root.path()).entryList({QStringLiteral("*MST*.mdb")}, QDir::Files);
        out.sort();
        return out;
    }
    // The program folder holds the log and nothing else: the local file is gone.
    void expectLocalFileGone() const {
        EXPECT_FALSE(QFileInfo::exists(local()));
        const QStringList left = QDir(f.programFolder()).entryList(QDir::Files);
        EXPECT_TRUE(left.isEmpty() || left == QStringList{QStringLiteral("ftplog.log")})
            << left.join(u' ').toStdString();
    }
    // The position of the first command starting with the text, -1 when none.
    qsizetype commandAt(const QString& start) const {
        const QStringList cmds = server.commands();
        for (qsizetype i = 0; i < cmds.size(); ++i)
            if (cmds[i].startsWith(start))
                return i;
        return -1;
    }

    ReceiveFolders f;
    PyFtpServer server;
    db::Connection work;
    ScriptedPrompter prompter;
};

QString line(const char* what, const QString& name) {
    return L(what) + u'(' + name + u')';
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

TEST(MasterExportFtp, PublishesTheNewFileThenDeletesTheOldOnes) {
    ExportSite site;
    EXPECT_EQ(site.run(), core::Outcome::Done);
    const ScriptedPrompter& p = site.prompter;
    ASSERT_FALSE(p.events.empty());
    EXPECT_EQ(p.events[0].text, L("マスタファイルを送信しますか？"));
    EXPECT_EQ(p.events[0].title, L("送信確認"));
    EXPECT_EQ(p.events[0].kind, PromptEvent::Kind::Question);
    EXPECT_EQ(p.messages(), QStringList{L("[完了] 処理完了しました。")});
    EXPECT_EQ(p.events.back().icon, core::MsgIcon::None);

    const QStringList lines = {
        L("接続成功"),          line("送信成功", site.local()), line("改名成功", site.local()),
        line("削除成功", kOld), line("削除成功", kLeftover),    L("開放成功")};
    EXPECT_EQ(p.list, lines + QStringList{L("処理完了しました。")});
    EXPECT_EQ(site.f.logMessages(), QStringList{kStartBanner} + lines + QStringList{kEndBanner});

    // Only the new master matches the pattern now; the folder and the other files are untouched.
    EXPECT_EQ(sorted(site.f.serverFiles()), sorted({kNew, L("ORD1.mdb"), L("readme.txt")}));
    EXPECT_TRUE(QFileInfo(site.f.serverFile(L("OLDMST.mdb"))).isDir());
    jet::JetReader published(site.f.serverFile(kNew));
    const jet::RowSet names = published.readTable(QStringLiteral("mst_namecode"));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names.rows()[1][0], jet::Value::text(L("O'HARA")));
    site.expectLocalFileGone();

    // Upload under the temporary name, rename, and only then the deletes.
    const qsizetype stor = site.commandAt(L("STOR ") + kTemp);
    const qsizetype rnfr = site.commandAt(L("RNFR ") + kTemp);
    const qsizetype rnto = site.commandAt(L("RNTO ") + kNew);
    ASSERT_GE(stor, 0);
    EXPECT_LT(stor, rnfr);
    EXPECT_EQ(rnto, rnfr + 1);
    EXPECT_LT(rnto, site.commandAt(L("DELE ") + kOld));
    EXPECT_LT(rnto, site.commandAt(L("DELE ") + kLeftover));
    EXPECT_EQ(site.commandAt(L("DELE OLDMST")), -1);
    EXPECT_EQ(site.commandAt(L("RMD")), -1);

    // The log is in code page 932.
    const QByteArray raw = fileBytes(site.logPath());
    EXPECT_TRUE(raw.contains(text::toCp932(kStartBanner)));
    EXPECT_TRUE(raw.contains(text::toCp932(kEndBanner)));
    EXPECT_TRUE(raw.contains(text::toCp932(L("\t改名成功("))));
    EXPECT_FALSE(raw.contains(kStartBanner.toUtf8()));
}

// Each failure on the server: the lines up to it, and the master files the clients find afterwards.
TEST(MasterExportFtp, AFailureNeverLeavesTheClientsWithoutAMaster) {
    struct Case {
        const char* name;
        QStringList options;
        std::function<QStringList(const QString& local)> list; // without the completion line
        QStringList masterFiles;                               // matching "*MST*.mdb" afterwards
        core::Outcome outcome;
    };
    const Case cases[] = {
        {"upload refused",
         {QStringLiteral("--fail-stor"), kTemp},
         [](const QString& local) {
             return QStringList{L("接続成功"), line("♯送信失敗", local)};
         },
         {kOld, kLeftover},
         core::Outcome::Failed},
        {"rename refused",
         {QStringLiteral("--fail-rnto"), kNew},
         [](const QString& local) {
             return QStringList{L("接続成功"), line("送信成功", local), line("♯改名失敗", local)};
         },
         {kOld, kLeftover, kTemp},
         core::Outcome::Failed},
        {"delete refused",
         {QStringLiteral("--fail-dele"), kOld},
         [](const QString& local) {
             return QStringList{L("接続成功"),           line("送信成功", local),     line("改名成功", local),
                                line("♯削除失敗", kOld), line("削除成功", kLeftover), L("開放成功")};
         },
         {kNew, kOld},
         core::Outcome::DoneWithFailures},
        // The rename looks the uploaded file up in a listing first, so a server that refuses
        // listings gets no new master, and the old one stays.
        {"listing refused",
         {QStringLiteral("--fail-list")},
         [](const QString& local) {
             return QStringList{L("接続成功"), line("送信成功", local), line("♯改名失敗", local)};
         },
         {kOld, kLeftover, kTemp},
         core::Outcome::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportSite site;
        EXPECT_EQ(site.run(c.options), c.outcome);
        const bool completed = c.outcome != core::Outcome::Failed;
        const QStringList lines = c.list(site.local());
        EXPECT_EQ(site.prompter.list,
                  lines + (completed ? QStringList{L("処理完了しました。")} : QStringList()));
        EXPECT_EQ(site.f.logMessages(),
                  QStringList{kStartBanner} + lines + (completed ? QStringList{kEndBanner} : QStringList()));
        EXPECT_EQ(site.prompter.messages(),
                  completed ? QStringList{L("[完了] 処理完了しました。")} : QStringList());
        EXPECT_EQ(site.masterFiles(), sorted(c.masterFiles));
        // Unless the new master was published, the one the clients had is still there as it was.
        EXPECT_TRUE(site.masterFiles().contains(kNew) || fileBytes(site.f.serverFile(kOld)) == "old master");
        site.expectLocalFileGone();
    }
}

TEST(MasterExportFtp, NoConnectionLeavesTheServerAlone) {
    ExportSite site;
    const test::ClosedPort closed; // bound, never listening
    pointSessionAt(closed.port(), site.f.receiveFolder());
    site.prompter.answer(true);
    EXPECT_EQ(masters::runMasterExport(site.prompter, site.work, kNow), core::Outcome::Failed);
    // The refusal, then the FTP session's own reason on a line of its own, in the list and the log.
    ASSERT_EQ(site.prompter.list.size(), 2) << site.prompter.list.join(L(" | ")).toStdString();
    EXPECT_EQ(site.prompter.list[0], L("♯接続失敗"));
    EXPECT_TRUE(site.prompter.list[1].startsWith(L("♯")));
    EXPECT_TRUE(site.prompter.list[1].contains(L("onnect"))) << site.prompter.list[1].toStdString();
    EXPECT_EQ(site.f.logMessages(), (QStringList{kStartBanner, L("♯接続失敗"), site.prompter.list[1]}));
    EXPECT_TRUE(site.prompter.messages().isEmpty());
    site.expectLocalFileGone();
}

TEST(MasterExportFtp, SettingsThatDoNotConvertAreReported) {
    ExportSite site;
    pointSessionAt(21, site.f.receiveFolder());
    core::session().FtpSetting.PortNum = QStringLiteral("abc");
    site.prompter.answer(true);
    EXPECT_EQ(masters::runMasterExport(site.prompter, site.work, kNow), core::Outcome::Failed);
    EXPECT_EQ(site.prompter.list, QStringList{L("♯接続失敗")});
    ASSERT_EQ(site.prompter.messages().size(), 1);
    EXPECT_TRUE(site.prompter.messages()[0].startsWith(L("[cmdOk_Click] 型が一致しません。(13)\r\n")))
        << site.prompter.messages()[0].toStdString();
    EXPECT_TRUE(site.prompter.messages()[0].endsWith(L(" section [FTP], key PortNum")))
        << site.prompter.messages()[0].toStdString();
    site.expectLocalFileGone();
}

TEST(MasterExportFtp, DeclinedOrFailedBuildNeverContactsTheServer) {
    ExportSite site;
    EXPECT_EQ(site.run({}, false), core::Outcome::Failed);
    EXPECT_EQ(site.prompter.events.size(), 1u);
    EXPECT_TRUE(site.server.commands().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(site.logPath()));

    // A work database without the size master: the build fails and the run ends there.
    site.work.execute(QStringLiteral("Drop Table kemmst_size"));
    ScriptedPrompter p;
    p.answer(true);
    EXPECT_EQ(masters::runMasterExport(p, site.work, kNow), core::Outcome::Failed);
    const QStringList messages = p.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(
        messages[0].startsWith(L("[エラー] データベース作成中に以下のエラーが発生しました。\r\n\r\n")));
    EXPECT_EQ(messages[1], L("[エラー] 処理を終了します。"));
    EXPECT_TRUE(p.list.isEmpty());
    EXPECT_TRUE(site.server.commands().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(site.logPath()));
    site.expectLocalFileGone();
    EXPECT_EQ(site.masterFiles(), sorted({kOld, kLeftover}));
}

} // namespace
