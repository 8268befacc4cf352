// The start-up sequence on real settings files and SQLite work databases.

#include "core/connections.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "core/settings_load.h"
#include "core/startup.h"
#include "core/system_info.h"
#include "core/user_store.h"
#include "fake_printers.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using namespace kemnoa::core;

namespace {

class StartupTest : public ::testing::Test {
public:
    void SetUp() override {
        resetSession();
        closeAllConnections();
        setProgramFolder(dir_.path());
        setSettingsFile({});
        setComputerNameForTesting(QStringLiteral("PC01"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir_.filePath(QStringLiteral("user")));
        QCoreApplication::setOrganizationName(QStringLiteral("kemnoa"));
        QCoreApplication::setApplicationName(QStringLiteral("kemnoa"));
    }
    void TearDown() override {
        closeAllConnections();
        setProgramFolder({});
        setComputerNameForTesting(std::nullopt);
        resetSession();
    }
    void writeSettings(const QByteArray& workSection) {
        QFile f(dir_.filePath(QStringLiteral("kemnoa.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[SQLKEM_DB]\r\n" + workSection);
    }
    // A work database whose kem_setting holds every fixed key but the one named.
    void makeWorkDb(const QString& except = {}, bool empty = false) {
        writeSettings("PROVIDER=SQLite\r\nDB_NM=work.db\r\n");
        test::ScriptedPrompter p;
        ASSERT_EQ(MF_FirstSetting(p), Outcome::Done);
        test::createSessionDatabases();
        ASSERT_EQ(dbOpen(KindWork, p), 0);
        if (!empty)
            for (const QString& key : fixedInfoKeys())
                if (key != except)
                    cnWork().execute(
                        QStringLiteral("Insert Into kem_setting (検索条件, 検索値) Values (?, ?)"),
                        {key, key + QStringLiteral("値")});
        closeAllConnections();
        resetSession();
    }

    QTemporaryDir dir_;
    test::ScriptedPrompter prompter_;
    test::FakePrinters printers_{{QStringLiteral("Laser A"), QStringLiteral("PDF")},
                                 QStringLiteral("Laser A")};
};

} // namespace

TEST_F(StartupTest, ReachesTheLoginWithTheSessionFilled) {
    makeWorkDb();
    writeUserStore({QStringLiteral("山田"), QStringLiteral("1")});
    ASSERT_EQ(runStartup(prompter_, printers_), Outcome::Done);
    EXPECT_TRUE(prompter_.events.empty()) << prompter_.messages().join(u'\n').toStdString();
    EXPECT_EQ(prompter_.splashTitles, QStringList{QStringLiteral("接続中...")});
    EXPECT_EQ(prompter_.splashTexts, QStringList{QStringLiteral("データベース接続チェック")});
    EXPECT_FALSE(prompter_.splashOpen);
    EXPECT_EQ(prompter_.busyDepth, 0);
    const Session& s = session();
    EXPECT_EQ(s.fixed(QStringLiteral("請求先FAX")), QStringLiteral("請求先FAX値"));
    EXPECT_EQ(s.WorkOpenCount, 1);
    EXPECT_FALSE(cnWork().isOpen()); // the close after the start-up check really closes
    EXPECT_EQ(s.DefaultPrinter, QStringLiteral("Laser A"));
    EXPECT_EQ(s.ComputerName, QStringLiteral("PC01"));
    EXPECT_EQ(s.LoginUser, QStringLiteral("山田"));
    EXPECT_EQ(s.JobType, QStringLiteral("1"));
}

TEST_F(StartupTest, FailuresShowTheirMessagesInOrderAndEnd) {
    struct Case {
        const char* name;
        std::function<void(StartupTest&)> arrange;
        QStringList messages;
    };
    const QString cannotConnect =
        QStringLiteral("[エラー] データベースに接続できませんでした。\r\n強制終了します。");
    const std::vector<Case> cases = {
        {"invalid bytes in the settings file",
         [](StartupTest& t) { t.writeSettings("PROVIDER=\x82\r\n"); },
         {QStringLiteral("[MF_FirstSetting] 設定ファイルの2行目に不正な文字があります。\r\n") +
              dir_.filePath(QStringLiteral("kemnoa.ini")) +
              QStringLiteral(" section [SQLKEM_DB], key PROVIDER(5)"),
          QStringLiteral("[強制終了] 初期化失敗\r\n強制終了します。")}},
        {"a key missing from kem_setting",
         [](StartupTest& t) { t.makeWorkDb(QStringLiteral("請求先FAX")); },
         {QStringLiteral(
             "[エラー] "
             "固定情報セット中にエラーが発生しました。\r\n強制終了されます。エラー内容は以下の通りです。"
             "\r\n\r\n'請求先FAX'が見つからない。")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        test::ScriptedPrompter p;
        c.arrange(*this);
        EXPECT_EQ(runStartup(p, printers_), Outcome::Failed);
        EXPECT_EQ(p.messages(), c.messages);
        EXPECT_EQ(p.busyDepth, 0);
        EXPECT_FALSE(p.splashOpen);
    }
    // No settings file at all: named, rather than left to the first connection's provider error.
    TearDown();
    SetUp();
    QFile::remove(dir_.filePath(QStringLiteral("kemnoa.ini")));
    test::ScriptedPrompter p;
    EXPECT_EQ(runStartup(p, printers_), Outcome::Failed);
    const QStringList m = p.messages();
    ASSERT_EQ(m.size(), 2) << m.join(u'\n').toStdString();
    EXPECT_EQ(m[0], QStringLiteral("[MF_FirstSetting] settings file not found: ") +
                        dir_.filePath(QStringLiteral("kemnoa.ini")) + QStringLiteral("(53)"));
    EXPECT_EQ(m[1], QStringLiteral("[強制終了] 初期化失敗\r\n強制終了します。"));
}

TEST_F(StartupTest, EmptyFixedValueTablePassesWithEmptyValues) {
    makeWorkDb({}, true);
    ASSERT_EQ(runStartup(prompter_, printers_), Outcome::Done);
    EXPECT_TRUE(prompter_.events.empty());
    EXPECT_EQ(session().fixed(QStringLiteral("請求先CD")), QString());
}
