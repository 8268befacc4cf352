#include "core/error.h"
#include "core/session.h"
#include "ftp_test_server.h"
#include "transfer/ftp_helpers.h"
#include "transfer/remote_name.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kemnoa;
using namespace kemnoa::transfer;

namespace {

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

TEST(FtpSettingsConversion, PortAndPassiveTexts) {
    EXPECT_EQ(portNumber(QStringLiteral("21")), 21);
    EXPECT_EQ(portNumber(QStringLiteral(" 58211 ")), 58211);
    for (const char* bad : {"", "abc", "21x", "2.5"}) {
        try {
            portNumber(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted port " << bad;
        } catch (const core::Error& e) {
            EXPECT_EQ(e.number(), core::errnum::TypeMismatch);
        }
    }
    EXPECT_THROW(portNumber(QStringLiteral("70000")), core::Error);
    EXPECT_THROW(portNumber(QStringLiteral("-1")), core::Error);

    const struct {
        const char* text;
        bool value;
    } truths[] = {{"True", true}, {"false", false}, {"TRUE", true}, {"0", false},
                  {"1", true},    {"-1", true},     {" 2 ", true}};
    for (const auto& t : truths)
        EXPECT_EQ(truthValue(QString::fromLatin1(t.text)), t.value) << t.text;
    for (const char* bad : {"", "yes", "passive"})
        EXPECT_THROW(truthValue(QString::fromLatin1(bad)), core::Error) << bad;
}

TEST(RemoteName, OnlyPlainFileNamesAreSafe) {
    const struct {
        QString name;
        bool safe;
    } names[] = {
        {QStringLiteral("ORD1.mdb"), true},
        {QStringLiteral("ORD 受注.mdb"), true},
        {QStringLiteral("ORD") + QString(190, QLatin1Char('x')) + QStringLiteral(".mdb"), true},
        {QStringLiteral("ORD") + QString(200, QLatin1Char('x')) + QStringLiteral(".mdb"), false},
        {QStringLiteral("ORD") + QString(100, QChar(0x3042)) + QStringLiteral(".mdb"),
         false}, // 200 bytes + 7
        {QStringLiteral(""), false},
        {QStringLiteral("ORD/../x.mdb"), false},
        {QStringLiteral("ORD\\x.mdb"), false},
        {QStringLiteral("..ORD.mdb"), false},
        {QStringLiteral("ORD\r\n.mdb"), false},
        {QStringLiteral("ORD\x01.mdb"), false},
        {QStringLiteral("ORD:stream.mdb"), false},
        {QStringLiteral("ORD1.mdb."), false},
        {QStringLiteral("ORD") + QChar(QChar::ReplacementCharacter) + QStringLiteral(".mdb"), false},
        {QStringLiteral("ORD") + QChar(0x00e9) + QStringLiteral(".mdb"), false}, // not in code page 932
    };
    for (const auto& n : names)
        EXPECT_EQ(isSafeRemoteName(n.name), n.safe) << n.name.toStdString();
}

class FtpHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid() && local.isValid());
        ASSERT_TRUE(server.start(root.path(), {QStringLiteral("--anonymous")}))
            << server.error().toStdString();
        core::resetSession();
        auto& s = core::session().FtpSetting;
        s.HostMei = QStringLiteral("127.0.0.1");
        s.UserMei = QStringLiteral("kem");
        s.PassMei = QStringLiteral("pw");
        s.PortNum = QString::number(server.port());
        s.PaveMod = QStringLiteral("True");
        SharedFtp = std::make_unique<ftp::McWinFTP>();
    }
    void TearDown() override {
        SharedFtp.reset();
        core::resetSession();
    }
    int countCommands(const QString& verb) const {
        return static_cast<int>(server.commands().filter(QRegularExpression(QLatin1Char('^') + verb)).size());
    }

    QTemporaryDir root;
    QTemporaryDir local;
    test::PyFtpServer server;
};

TEST_F(FtpHelpersTest, ConnectTransferAndDisconnect) {
    writeFile(root.filePath(QStringLiteral("ORD1.mdb")), "order");
    ASSERT_EQ(MF_FtpConnect(), 0);
    // A folder text without its separator still receives into the folder.
    EXPECT_EQ(MF_FtpGet(local.path(), QStringLiteral("ORD1.mdb")), 0);
    EXPECT_TRUE(QFile::exists(local.filePath(QStringLiteral("ORD1.mdb"))));
    EXPECT_EQ(MF_FtpPut(local.filePath(QStringLiteral("ORD1.mdb")), QStringLiteral("copy.mdb")), 0);
    EXPECT_EQ(MF_FtpRename(QStringLiteral("copy.mdb"), QStringLiteral("moved.mdb")), 0);
    EXPECT_EQ(MF_FtpDelete(QStringLiteral("moved.mdb")), 0);
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Files), QStringList{QStringLiteral("ORD1.mdb")});
    EXPECT_EQ(MF_FtpDisconnect(), 0);
    EXPECT_EQ(SharedFtp->hFTP(), 0u);
}

TEST_F(FtpHelpersTest, PreconditionsFailWithoutAskingTheServer) {
    writeFile(root.filePath(QStringLiteral("ORD1.mdb")), "order");
    ASSERT_EQ(MF_FtpConnect(), 0);
    EXPECT_EQ(MF_FtpPut(local.filePath(QStringLiteral("none.mdb")), QStringLiteral("none.mdb")), 1);
    EXPECT_EQ(MF_FtpGet(QString(), QStringLiteral("ORD1.mdb")), 1);
    EXPECT_EQ(MF_FtpGet(local.path() + QLatin1Char('/'), QStringLiteral("../ORD1.mdb")), 1);
    EXPECT_EQ(MF_FtpDelete(QString()), 1);
    EXPECT_EQ(MF_FtpRename(QStringLiteral("ORD9.mdb"), QStringLiteral("x.mdb")), 1);
    EXPECT_EQ(countCommands(QStringLiteral("STOR")), 0);
    EXPECT_EQ(countCommands(QStringLiteral("RETR")), 0);
    EXPECT_EQ(countCommands(QStringLiteral("DELE")), 0);
    EXPECT_EQ(countCommands(QStringLiteral("RNFR")), 0);
    EXPECT_TRUE(QFile::exists(root.filePath(QStringLiteral("ORD1.mdb"))));
    EXPECT_TRUE(QDir(local.path()).isEmpty());
}

TEST_F(FtpHelpersTest, ConnectFailures) {
    core::session().FtpSetting.PassMei = QStringLiteral("wrong");
    EXPECT_EQ(MF_FtpConnect(), 1);
    core::session().FtpSetting.PortNum = QStringLiteral("twenty-one");
    EXPECT_THROW(MF_FtpConnect(), core::Error);
    core::session().FtpSetting.PortNum = QString::number(server.port());
    core::session().FtpSetting.PaveMod = QString();
    EXPECT_THROW(MF_FtpConnect(), core::Error);
    SharedFtp.reset();
    EXPECT_EQ(MF_FtpConnect(), 1);
}

// UseTls is off when empty; on, the plain test server is refused before the login, and a text that is
// no truth value is an error like PaveMod's.
TEST_F(FtpHelpersTest, TlsSettingTurnsTlsOnOrFails) {
    ASSERT_EQ(MF_FtpConnect(), 0);
    EXPECT_FALSE(SharedFtp->UseTls());
    EXPECT_EQ(MF_FtpDisconnect(), 0);

    auto& s = core::session().FtpSetting;
    s.UseTls = QStringLiteral("1");
    s.TlsCaFile = QStringLiteral(" /etc/kemnoa/client-ca.pem ");
    EXPECT_EQ(MF_FtpConnect(), 1);
    EXPECT_TRUE(SharedFtp->UseTls());
    EXPECT_EQ(SharedFtp->TlsCaFile(), QStringLiteral("/etc/kemnoa/client-ca.pem"));
    EXPECT_EQ(countCommands(QStringLiteral("PASS")), 1); // only the plain login before

    s.UseTls = QStringLiteral("yes");
    EXPECT_THROW(MF_FtpConnect(), core::Error);
}

TEST_F(FtpHelpersTest, EmptyUserLogsInAnonymously) {
    core::session().FtpSetting.UserMei.clear();
    core::session().FtpSetting.PassMei.clear();
    ASSERT_EQ(MF_FtpConnect(), 0);
    EXPECT_TRUE(server.commands().contains(QStringLiteral("USER anonymous")));
}

// Links planted at the download's target name and at the names its temporary file would take
// (target, ".", process ID, "-", a counter from 0, ".part") are replaced or stepped around, never
// written through: the file they point at keeps its bytes and the download is a regular file.
TEST_F(FtpHelpersTest, DownloadNeverWritesThroughAPlantedLink) {
    writeFile(root.filePath(QStringLiteral("ORD1.mdb")), "server bytes");
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const QString victim = outside.filePath(QStringLiteral("victim.txt"));
    writeFile(victim, "keep me");
    const QString target = local.filePath(QStringLiteral("ORD1.mdb"));
    ASSERT_TRUE(QFile::link(victim, target));
    QStringList temporaries;
    for (int n = 0; n < 50; ++n) {
        temporaries << target + QStringLiteral(".%1-%2.part").arg(::getpid()).arg(n);
        ASSERT_TRUE(QFile::link(victim, temporaries.last()));
    }

    ASSERT_EQ(MF_FtpConnect(), 0);
    ASSERT_EQ(MF_FtpGet(local.path(), QStringLiteral("ORD1.mdb")), 0);

    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    EXPECT_EQ(v.readAll(), QByteArray("keep me"));
    const QFileInfo received(target);
    EXPECT_FALSE(received.isSymLink());
    EXPECT_TRUE(received.isFile());
    QFile r(target);
    ASSERT_TRUE(r.open(QIODevice::ReadOnly));
    EXPECT_EQ(r.readAll(), QByteArray("server bytes"));
    // The links at the temporary names are someone else's: left as they were.
    for (const QString& t : temporaries)
        EXPECT_EQ(QFileInfo(t).symLinkTarget(), victim) << t.toStdString();
}

} // namespace
