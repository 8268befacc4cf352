#include "core/program_folder.h"
#include "platform/text/cp932.h"
#include "support/scripted_prompter.h"
#include "transfer/ftp_log.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

class FtpLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        core::setProgramFolder(dir.path());
    }
    void TearDown() override { core::setProgramFolder(QString()); }
    QByteArray bytes() const {
        QFile f(dir.filePath(QStringLiteral("ftplog.log")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

TEST_F(FtpLogTest, EachCallAppendsOneLineInCodePage932) {
    QFile old(dir.filePath(QStringLiteral("ftplog.log")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier\r\n");
    old.close();

    test::ScriptedPrompter prompter;
    EXPECT_TRUE(transfer::MP_FtpLog(QStringLiteral("接続成功"), &prompter));
    EXPECT_TRUE(transfer::MP_FtpLog(QStringLiteral("接続成功")));
    const QByteArray raw = bytes();
    ASSERT_TRUE(raw.startsWith("earlier\r\n")); // never truncated
    const QStringList lines = text::fromCp932(raw.mid(9)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3); // two lines and the empty rest after the last CR LF
    EXPECT_TRUE(lines[2].isEmpty());
    const QRegularExpression form(
        QStringLiteral("^\\d{4}/\\d{2}/\\d{2} \\d{1,2}:\\d{2}:\\d{2} [月火水木金土日]曜日\t接続成功$"));
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(form.match(lines[i]).hasMatch()) << lines[i].toStdString();
    EXPECT_TRUE(raw.contains(QByteArray("\t\x90\xDA\x91\xB1\x90\xAC\x8C\xF7\r\n"))); // "\t接続成功\r\n"
}

TEST_F(FtpLogTest, WeekdayIsJapaneseWhateverTheLocale) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct {
        int day;
        const char* name;
    } week[] = {{7, "月曜日"},  {8, "火曜日"},  {9, "水曜日"}, {10, "木曜日"},
                {11, "金曜日"}, {12, "土曜日"}, {13, "日曜日"}};
    for (const auto& w : week) {
        const QDateTime when(QDate(2026, 12, w.day), QTime(9, 5, 7));
        EXPECT_EQ(transfer::ftpLogLine(when, QStringLiteral("x")),
                  QStringLiteral("2026/12/%1 9:05:07 ").arg(w.day, 2, 10, QLatin1Char('0')) +
                      QString::fromUtf8(w.name) + QStringLiteral("\tx\r\n"));
    }
    QLocale::setDefault(QLocale::c());
}

// A value holding CR LF or an escape sequence stays on its own line; a link planted at the log's
// name is not followed.
TEST_F(FtpLogTest, UntrustedTextCannotForgeLinesOrFollowALink) {
    EXPECT_TRUE(
        transfer::MP_FtpLog(QStringLiteral("♯受信失敗(ORD1.mdb\r\n2024/01/01 0:00:00 月曜日\t成功\x1b[2J)")));
    const QStringList lines = text::fromCp932(bytes()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\t♯受信失敗(ORD1.mdb 2024/01/01 0:00:00 月曜日?成功?[2J)")))
        << lines[0].toStdString();

    QFile::remove(dir.filePath(QStringLiteral("ftplog.log")));
    const QString target = dir.filePath(QStringLiteral("elsewhere.txt"));
    ASSERT_TRUE(QFile::link(target, dir.filePath(QStringLiteral("ftplog.log"))));
    EXPECT_FALSE(transfer::MP_FtpLog(QStringLiteral("x")));
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(FtpLogTest, UnwritableLogIsReportedNotThrown) {
    core::setProgramFolder(dir.filePath(QStringLiteral("missing")));
    EXPECT_FALSE(transfer::MP_FtpLog(QStringLiteral("x")));
}

} // namespace
