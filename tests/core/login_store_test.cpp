#include "core/login.h"
#include "core/session.h"
#include "core/settings_screen.h"
#include "core/single_instance.h"
#include "core/user_store.h"
#include "platform/text/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

// Points the per-user store at a temporary folder.
class UserStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        core::resetSession();
    }
    QTemporaryDir dir;
};

TEST_F(UserStoreTest, MissingEntriesReadAsEmpty) {
    core::Session& s = core::session();
    s.LoginUser = QStringLiteral("x");
    s.JobType = QStringLiteral("1");
    core::loadLoginFromUserStore(s);
    EXPECT_TRUE(s.LoginUser.isEmpty());
    EXPECT_TRUE(s.JobType.isEmpty());
}

TEST_F(UserStoreTest, LoginIsRememberedForTheNextStart) {
    core::Session& s = core::session();
    core::recordLogin(s, QStringLiteral("山田 太郎"), false);
    EXPECT_EQ(s.LoginUser, QStringLiteral("山田 太郎"));
    EXPECT_EQ(s.JobType, QStringLiteral("1"));

    core::resetSession();
    core::loadLoginFromUserStore(core::session());
    EXPECT_EQ(core::session().LoginUser, QStringLiteral("山田 太郎"));
    EXPECT_EQ(core::session().JobType, QStringLiteral("1"));
    EXPECT_EQ(core::loginOptionFor(core::session().JobType), 1);

    // Stored under the section and keys other tools of the office look for.
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kemnoa"),
                  QStringLiteral("kemnoa"));
    EXPECT_EQ(raw.value(QStringLiteral("SYSTEM/JOB_TYPE")).toString(), QStringLiteral("1"));
    EXPECT_EQ(raw.value(QStringLiteral("SYSTEM/LOG_USER")).toString(), QStringLiteral("山田 太郎"));

    core::recordLogin(core::session(), QString(), true);
    core::loadLoginFromUserStore(core::session());
    EXPECT_EQ(core::session().JobType, QStringLiteral("0"));
    EXPECT_TRUE(core::session().LoginUser.isEmpty());
}

TEST(Login, OptionForJobType) {
    EXPECT_EQ(core::loginOptionFor(QString()), 0);
    EXPECT_EQ(core::loginOptionFor(QStringLiteral("0")), 0);
    EXPECT_EQ(core::loginOptionFor(QStringLiteral("1")), 1);
    EXPECT_EQ(core::loginOptionFor(QStringLiteral("7")), 0);
}

TEST(SingleInstance, SecondGuardOfTheSameFolderIsRefused) {
    QTemporaryDir a, b;
    const QString path = core::singleInstanceLockPath(a.path());
    EXPECT_EQ(path, core::singleInstanceLockPath(a.path() + QLatin1Char('/')));
    EXPECT_NE(path, core::singleInstanceLockPath(b.path()));
    {
        core::SingleInstanceGuard first(path);
        ASSERT_TRUE(first.acquire());
        core::SingleInstanceGuard second(path);
        EXPECT_FALSE(second.acquire());
        core::SingleInstanceGuard other(core::singleInstanceLockPath(b.path()));
        EXPECT_TRUE(other.acquire());
    }
    core::SingleInstanceGuard again(path);
    EXPECT_TRUE(again.acquire());
}

// Without a runtime folder of the user's own, the lock goes to the user's cache folder, never to a
// shared temporary folder where another user could take the name first.
TEST(SingleInstance, LockStaysInAFolderOfTheUsersOwn) {
    QTemporaryDir home;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedCache = qgetenv("XDG_CACHE_HOME");
    const struct {
        const char* what;
        QByteArray runtime;
    } cases[] = {{"no runtime folder", QByteArray()},
                 {"missing runtime folder", (home.path() + QStringLiteral("/gone")).toUtf8()},
                 {"shared temporary folder", QByteArray("/tmp")}};
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toUtf8());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", c.runtime);
        const QString path = core::singleInstanceLockPath(QStringLiteral("/opt/kemnoa"));
        EXPECT_TRUE(path.startsWith(home.path() + QStringLiteral("/cache/kemnoa/kemnoa-")))
            << path.toStdString();
        core::SingleInstanceGuard guard(path);
        EXPECT_TRUE(guard.acquire());
    }
    EXPECT_EQ(QFileInfo(home.path() + QStringLiteral("/cache/kemnoa")).permissions() & 0x0077, 0);
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    qputenv("XDG_CACHE_HOME", savedCache);
    if (savedRuntime.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    if (savedCache.isEmpty())
        qunsetenv("XDG_CACHE_HOME");
}

TEST(SingleInstance, LockLeftByADeadProcessIsTakenOver) {
    QTemporaryDir dir;
    const QString path = core::singleInstanceLockPath(dir.path());
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    // pid, application name, host name: a process id that is not running on this host.
    stale.write("2147483000\nkemnoa\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    core::SingleInstanceGuard guard(path);
    EXPECT_TRUE(guard.acquire());
}

// Reads key=value lines of a settings file the way a plain reader would.
QMap<QString, QString> readIni(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, QString> values;
    QString section;
    for (const QString& line :
         text::fromCp932(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('[')))
            section = line.mid(1, line.size() - 2);
        else
            values.insert(section + QLatin1Char('/') + line.section(QLatin1Char('='), 0, 0),
                          line.section(QLatin1Char('='), 1));
    }
    return values;
}

TEST(SettingsScreen, SavesElevenValuesAndNeverTheSpareRows) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("kemnoa.ini"));
    core::Session s;
    s.WorkDb.ServerName = QStringLiteral("old");
    s.FtpSetting.HostMei = QStringLiteral("ftp.example");
    core::SettingScreenValues v = core::loadSettingScreen(s);
    EXPECT_EQ(v.server[0], QStringLiteral("old"));
    for (int i = 0; i < 4; ++i) {
        v.server[i] = QStringLiteral("sv%1").arg(i);
        v.db[i] = QStringLiteral("データ%1").arg(i);
    }
    for (int i = 0; i < 12; ++i)
        v.dir[i] = QStringLiteral("/dir%1/").arg(i);
    v.db[1] = QStringLiteral("po\r\n[FTP]\r\nHostMei=evil"); // a pasted line break must not add keys

    EXPECT_TRUE(core::saveSettingScreen(v, ini, s));

    const auto values = readIni(ini);
    const QMap<QString, QString> expected = {
        {QStringLiteral("SQLKEM_DB/SERVER_NM"), QStringLiteral("sv0")},
        {QStringLiteral("SQLKEM_DB/DB_NM"), QStringLiteral("データ0")},
        {QStringLiteral("PO_DB/SERVER_NM"), QStringLiteral("sv1")},
        {QStringLiteral("PO_DB/DB_NM"), QStringLiteral("po[FTP]HostMei=evil")},
        {QStringLiteral("SK_DB/SERVER_NM"), QStringLiteral("sv2")},
        {QStringLiteral("SK_DB/DB_NM"), QStringLiteral("データ2")},
        {QStringLiteral("OFFICE_DB/SERVER_NM"), QStringLiteral("sv3")},
        {QStringLiteral("OFFICE_DB/DB_NM"), QStringLiteral("データ3")},
        {QStringLiteral("PO_FILE/FOLDER"), QStringLiteral("/dir0/")},
        {QStringLiteral("fenlowen1/KAKUNIN_FOLDER"), QStringLiteral("/dir1/")},
        {QStringLiteral("FTP/LOCAL_FOLDER"), QStringLiteral("/dir2/")},
    };
    EXPECT_EQ(values, expected);
    EXPECT_EQ(s.OfficeDb.ServerName, QStringLiteral("sv3"));
    EXPECT_EQ(s.PoDb.DbName, QStringLiteral("po[FTP]HostMei=evil"));
    EXPECT_EQ(s.LocalFolder, QStringLiteral("/dir2/"));
    EXPECT_EQ(s.KakuninFolder, QStringLiteral("/dir1/"));
    EXPECT_EQ(s.PoFolder, QStringLiteral("/dir0/"));
    EXPECT_EQ(s.FtpSetting.HostMei, QStringLiteral("ftp.example"));
}

} // namespace
