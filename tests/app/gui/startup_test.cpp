// Start-up before the login window, on real SQLite databases in a temporary program folder.

#include "app/gui/startup_stub.h"
#include "core/connections.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "core/settings_load.h"
#include "core/user_store.h"
#include "support/scripted_prompter.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

struct OnePrinter : core::PrinterQuery {
    QStringList printerNames() const override { return {QStringLiteral("Office Laser")}; }
    QString defaultPrinterName() const override { return QStringLiteral("Office Laser"); }
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        core::resetSession();
        core::closeAllConnections();
        core::setProgramFolder(dir_.path());
    }
    void TearDown() override {
        core::closeAllConnections();
        core::setProgramFolder({});
        core::resetSession();
    }

    void writeSettings() {
        QFile ini(dir_.filePath(QStringLiteral("kemnoa.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        for (const char* section : {"SQLKEM_DB", "OFFICE_DB", "PO_DB", "SK_DB"})
            ini.write(QByteArray("[") + section +
                      "]\r\nPROVIDER=SQLite\r\nDB_NM=" + QByteArray(section).toLower() + ".db\r\n");
    }
    // kem_setting with every fixed key except the one named.
    void fillFixedInfo(const QString& except) {
        ASSERT_EQ(core::dbOpen(core::KindWork, prompter_), 0);
        for (const QString& key : core::fixedInfoKeys())
            if (key != except)
                core::cnWork().execute(
                    QStringLiteral("Insert Into kem_setting (検索条件, 検索値) Values (?, ?)"),
                    {key, key + QStringLiteral("値")});
        core::closeAllConnections();
        core::session().WorkOpenCount = 0;
    }

    QTemporaryDir dir_;
    test::ScriptedPrompter prompter_;
    OnePrinter printers_;
};

TEST_F(StartupTest, ReachesTheLoginWithTheFixedValuesAndTheRememberedLogin) {
    writeSettings();
    core::MF_FirstSetting(prompter_);
    fillFixedInfo({});
    core::writeUserStore({QStringLiteral("高橋"), QStringLiteral("1")});
    core::resetSession();

    ASSERT_TRUE(gui::runStartup(prompter_, printers_));
    const core::Session& s = core::session();
    EXPECT_EQ(s.fixed(QStringLiteral("発注元担当者CD")), QStringLiteral("発注元担当者CD値"));
    EXPECT_EQ(s.LoginUser, QStringLiteral("高橋"));
    EXPECT_EQ(s.JobType, QStringLiteral("1"));
    EXPECT_EQ(s.DefaultPrinter, QStringLiteral("Office Laser"));
    EXPECT_TRUE(s.SelectedPrinter.isEmpty());
    EXPECT_TRUE(s.VersionText.startsWith(QStringLiteral("Version ")));
    EXPECT_FALSE(core::cnWork().isOpen()); // the check's close really closes
    EXPECT_EQ(prompter_.splashTitles, QStringList{QStringLiteral("接続中...")});
    EXPECT_EQ(prompter_.splashTexts, QStringList{QStringLiteral("データベース接続チェック")});
    EXPECT_FALSE(prompter_.splashOpen);
    EXPECT_EQ(prompter_.busyDepth, 0);
    EXPECT_EQ(prompter_.busyMaxDepth, 1);
}

TEST_F(StartupTest, UnreachableWorkDatabaseEndsAfterTwoMessages) {
    // No settings file: no provider for the work database.
    EXPECT_FALSE(gui::runStartup(prompter_, printers_));
    const QStringList messages = prompter_.messages();
    ASSERT_EQ(messages.size(), 2) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("[dbOpen] ")));
    EXPECT_EQ(messages[1],
              QStringLiteral("[エラー] データベースに接続できませんでした。\r\n強制終了します。"));
    EXPECT_FALSE(prompter_.splashOpen);
    EXPECT_EQ(prompter_.busyDepth, 0);
}

TEST_F(StartupTest, MissingFixedKeyEndsStartUp) {
    writeSettings();
    core::MF_FirstSetting(prompter_);
    fillFixedInfo(QStringLiteral("請求先FAX"));
    EXPECT_FALSE(gui::runStartup(prompter_, printers_));
    ASSERT_EQ(prompter_.messages().size(), 1);
    EXPECT_TRUE(prompter_.messages()[0].endsWith(QStringLiteral("'請求先FAX'が見つからない。")));
    EXPECT_FALSE(prompter_.splashOpen);
    EXPECT_FALSE(core::cnWork().isOpen());
}

} // namespace
