#include "core/program_folder.h"
#include "core/session.h"
#include "core/settings_load.h"
#include "core/system_info.h"
#include "platform/text/cp932.h"
#include "support/scripted_prompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

class SettingsLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        core::resetSession();
        core::setProgramFolder(dir.path());
        core::setSettingsFile({});
        core::setComputerNameForTesting(QStringLiteral("OFFICE-PC01"));
    }
    void TearDown() override {
        core::setProgramFolder({});
        core::setComputerNameForTesting(std::nullopt);
    }
    void write(const QByteArray& bytes) {
        QFile f(dir.filePath(QStringLiteral("kemnoa.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
};

TEST_F(SettingsLoadTest, ReadsEverySectionIntoTheSession) {
    write(text::toCp932(QStringLiteral(
        "[SQLKEM_DB]\r\nPROVIDER=SQLite\r\nSERVER_NM=srv\r\nDB_NM=work.db\r\nDBUSER_NM=sa\r\nPASSWORD=pw\r\n"
        "CONECT_TIMEOUT=30\r\n[OFFICE_DB]\r\nCONECT_TIMEOUT=0\r\n[PO_DB]\r\nDB_NM=po\r\nCONECT_TIMEOUT="
        "abc\r\n"
        "[fenlowen1]\r\nTAG_ENV=tag\r\nCAR_ENV=car\r\nKAKUNIN_FOLDER=C:\\確認\\\r\nAPPEXE=app.exe\r\n"
        "PRINTER_NM=PS\r\nPRINTER_PORT=C:\\out.ps\r\nPDFWRITER=0\r\n[FTP]\r\nLOCAL_FOLDER=/recv/"
        "\r\nHostMei=ftp.example\r\n"
        "UserMei=u\r\nPassMei=p\r\nPortNum=21x\r\nPaveMod=True\r\n[PO_FILE]\r\nFOLDER=/po/\r\n")));
    ASSERT_EQ(core::MF_FirstSetting(prompter), core::Outcome::Done);
    const auto& s = core::session();
    EXPECT_EQ(s.WorkDb.Provider, QStringLiteral("SQLite"));
    EXPECT_EQ(s.WorkDb.DbName, QStringLiteral("work.db"));
    EXPECT_EQ(s.WorkDb.Password, QStringLiteral("pw"));
    EXPECT_EQ(s.WorkDb.ConnectTimeout, 30);
    EXPECT_EQ(s.OfficeDb.ConnectTimeout, 20);
    EXPECT_EQ(s.PoDb.ConnectTimeout, 20);
    EXPECT_EQ(s.SkDb.ConnectTimeout, 20); // section missing altogether
    EXPECT_EQ(s.PoDb.DbName, QStringLiteral("po"));
    EXPECT_EQ(s.KakuninFolder, QStringLiteral("C:\\確認\\"));
    EXPECT_EQ(s.PrinterPort, QStringLiteral("C:\\out.ps"));
    EXPECT_TRUE(s.PdfWriterOff);
    EXPECT_EQ(s.FtpSetting.PortNum, QStringLiteral("21x")); // stored as read, converted by its user
    EXPECT_EQ(s.FtpSetting.PaveMod, QStringLiteral("True"));
    EXPECT_EQ(s.LocalFolder, QStringLiteral("/recv/"));
    EXPECT_EQ(s.PoFolder, QStringLiteral("/po/"));
    EXPECT_EQ(s.ComputerName, QStringLiteral("OFFICE-PC01"));
    EXPECT_EQ(s.VersionText, QStringLiteral("Version ") + QStringLiteral(KEMNOA_VERSION));
    EXPECT_TRUE(prompter.events.empty());
}

// A missing file is named, rather than left for the provider error of the first connection.
TEST_F(SettingsLoadTest, MissingFileIsNamed) {
    EXPECT_EQ(core::MF_FirstSetting(prompter), core::Outcome::Failed);
    EXPECT_EQ(prompter.messages(),
              QStringList{QStringLiteral("[MF_FirstSetting] settings file not found: ") +
                          dir.filePath(QStringLiteral("kemnoa.ini")) + QStringLiteral("(53)")});
}

TEST_F(SettingsLoadTest, Utf8TextIsToldFromCodePage932) {
    const struct {
        QByteArray bytes;
        bool utf8;
    } cases[] = {
        {"[FTP]\r\nHostMei=ftp\r\n", false},
        {text::toCp932(QStringLiteral("[FTP]\r\nLOCAL_FOLDER=/受信/確認\r\n")), false},
        {QStringLiteral("[FTP]\r\nLOCAL_FOLDER=/受信/確認\r\n").toUtf8(), true},
        {"\xEF\xBB\xBF[FTP]\r\n", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::settingsTextIsUtf8(c.bytes), c.utf8) << c.bytes.toStdString();
}

TEST_F(SettingsLoadTest, InvalidBytesFailWithTheErrorText) {
    write(QByteArray("[SQLKEM_DB]\r\nPROVIDER=\x82\r\n"));
    EXPECT_EQ(core::MF_FirstSetting(prompter), core::Outcome::Failed);
    ASSERT_EQ(prompter.events.size(), 1u);
    EXPECT_EQ(prompter.events[0].title, QStringLiteral("MF_FirstSetting"));
    EXPECT_EQ(prompter.events[0].icon, core::MsgIcon::Critical);
    EXPECT_EQ(prompter.events[0].text, QStringLiteral("設定ファイルの2行目に不正な文字があります。\r\n") +
                                           dir.filePath(QStringLiteral("kemnoa.ini")) +
                                           QStringLiteral(" section [SQLKEM_DB], key PROVIDER(5)"));
}

TEST_F(SettingsLoadTest, InvalidBytesOutsideTheReadLinesAreNoFailure) {
    write(QByteArray("; \x82\xFF written by another program\r\n[SQLKEM_DB]\r\nPROVIDER=SQLite\r\n"
                     "MEMO=\x82\r\n[UNUSED\xA0]\r\nX=\x80\r\n[FTP]\r\nHostMei=ftp.example.jp\r\n"));
    EXPECT_EQ(core::MF_FirstSetting(prompter), core::Outcome::Done);
    EXPECT_TRUE(prompter.events.empty());
    EXPECT_EQ(core::session().WorkDb.Provider, QStringLiteral("SQLite"));
    EXPECT_EQ(core::session().FtpSetting.HostMei, QStringLiteral("ftp.example.jp"));

    write(QByteArray("; \x82\r\n[SQLKEM_DB]\r\nPROVIDER=SQLite\r\n[FTP]\r\nHostMei=ftp\x82\r\n"));
    EXPECT_EQ(core::MF_FirstSetting(prompter), core::Outcome::Failed);
    EXPECT_EQ(
        prompter.messages(),
        QStringList{QStringLiteral("[MF_FirstSetting] 設定ファイルの5行目に不正な文字があります。\r\n") +
                    dir.filePath(QStringLiteral("kemnoa.ini")) +
                    QStringLiteral(" section [FTP], key HostMei(5)")});
}

TEST_F(SettingsLoadTest, EmptyComputerNameIsReported) {
    core::setComputerNameForTesting(QString());
    write("[FTP]\r\n");
    EXPECT_EQ(core::MF_FirstSetting(prompter), core::Outcome::Done);
    EXPECT_EQ(prompter.messages(),
              QStringList{QStringLiteral(
                  "[GetSelfComputerName] コンピュータ名取得失敗。\r\n管理者に報告してください。")});
    EXPECT_EQ(core::session().ComputerName, QString());
}

TEST(ComputerName, IsTheHostPartCutToFifteenCharacters) {
    test::ScriptedPrompter p;
    core::setComputerNameForTesting(QStringLiteral("a-very-long-workstation-name.example.com"));
    EXPECT_EQ(core::GetSelfComputerName(p), QStringLiteral("a-very-long-wor"));
    core::setComputerNameForTesting(std::nullopt);
    EXPECT_TRUE(p.events.empty());
}

} // namespace
