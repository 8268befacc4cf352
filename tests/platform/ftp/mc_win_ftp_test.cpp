#include "ftp_test_server.h"
#include "platform/ftp/mc_win_ftp.h"
#include "support/closed_port.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using ftp::McWinFTP;

namespace {

struct Event {
    qint32 number;
    QString text;
};

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A served folder holding BK/, a client bound to it and every error event it raised.
class FtpClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid() && local.isValid());
        QDir(root.path()).mkdir(QStringLiteral("BK"));
        ftp.FTPFrr = [this](qint32 n, const QString& t) { events.push_back({n, t}); };
    }

    void serve(const QStringList& options = {}) {
        ASSERT_TRUE(server.start(root.path(), options)) << server.error().toStdString();
        ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
        ftp.setRemotePort(server.port());
        ftp.setUser(QStringLiteral("kem"));
        ftp.setPassword(QStringLiteral("pw"));
        ftp.setPassiveFlag(true);
    }

    void connect(const QStringList& options = {}) {
        serve(options);
        ftp.OpenSession();
        ASSERT_NE(ftp.hFTP(), 0u);
    }

    QString rootFile(const QString& name) const { return root.filePath(name); }
    QString localFile(const QString& name) const { return local.filePath(name); }

    // Every name the current listing walk yields for the pattern.
    QStringList walk(const QString& pattern) {
        QStringList names;
        for (ftp.FindFile(pattern); !ftp.RemoteFile.SearchEnd; ftp.NextFile())
            names << ftp.RemoteFile.FileName;
        return names;
    }

    QTemporaryDir root;
    QTemporaryDir local;
    test::PyFtpServer server;
    McWinFTP ftp;
    std::vector<Event> events;
};

TEST_F(FtpClientTest, NewObjectHasItsDefaults) {
    EXPECT_EQ(ftp.ClassName(), QStringLiteral("McWinFTP Class Module"));
    EXPECT_EQ(ftp.Version(), QStringLiteral("0.9 b"));
    EXPECT_EQ(ftp.RemotePort(), 58211);
    EXPECT_NE(ftp.hInternet(), 0u);
    EXPECT_EQ(ftp.hFTP(), 0u);
    EXPECT_FALSE(ftp.PassiveFlag());
    ftp.setUser(QString());
    EXPECT_EQ(ftp.User(), QString());
}

TEST_F(FtpClientTest, OneSessionServesEveryOperation) {
    writeFile(rootFile(QStringLiteral("ORD1.mdb")), "one");
    writeFile(rootFile(QStringLiteral("ORD2.mdb")), "two");
    writeFile(rootFile(QStringLiteral("other.txt")), "x");
    connect();

    EXPECT_EQ(ftp.CurDir(), QStringLiteral("/"));
    // Downloads and uploads between the steps of a listing walk.
    QStringList seen;
    for (ftp.FindFile(QStringLiteral("ORD*.mdb")); !ftp.RemoteFile.SearchEnd; ftp.NextFile()) {
        const QString name = ftp.RemoteFile.FileName;
        seen << name;
        ASSERT_TRUE(ftp.GetFile(name, localFile(name), false, 2));
        ASSERT_TRUE(ftp.PutFile(localFile(name), QStringLiteral("BK/B") + name, 2));
    }
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("ORD1.mdb"), QStringLiteral("ORD2.mdb")}));
    EXPECT_EQ(readFile(localFile(QStringLiteral("ORD2.mdb"))), QByteArray("two"));
    EXPECT_EQ(readFile(rootFile(QStringLiteral("BK/BORD1.mdb"))), QByteArray("one"));

    ASSERT_TRUE(ftp.setCurDir(QStringLiteral("BK/")));
    EXPECT_EQ(ftp.CurDir(), QStringLiteral("/BK"));
    EXPECT_TRUE(ftp.RenameFile(QStringLiteral("BORD2.mdb"), QStringLiteral("BORD2.old")));
    EXPECT_TRUE(ftp.CreateDir(QStringLiteral("sub")));
    // A leading separator does not make the path absolute.
    ASSERT_TRUE(ftp.setCurDir(QStringLiteral("/sub")));
    EXPECT_EQ(ftp.CurDir(), QStringLiteral("/BK/sub"));
    ASSERT_TRUE(ftp.setCurDir(QStringLiteral("\\..")));
    EXPECT_TRUE(ftp.RemoveDir(QStringLiteral("sub")));
    ASSERT_TRUE(ftp.setCurDir(QStringLiteral("../")));
    EXPECT_EQ(ftp.CurDir(), QStringLiteral("/"));
    EXPECT_TRUE(ftp.DeleteFile(QStringLiteral("ORD1.mdb")));

    EXPECT_FALSE(QFile::exists(rootFile(QStringLiteral("ORD1.mdb"))));
    EXPECT_TRUE(QFile::exists(rootFile(QStringLiteral("ORD2.mdb"))));
    EXPECT_TRUE(QFile::exists(rootFile(QStringLiteral("BK/BORD2.old"))));
    EXPECT_FALSE(QFile::exists(rootFile(QStringLiteral("BK/sub"))));
    EXPECT_TRUE(events.empty()) << events.front().text.toStdString();

    ftp.CloseSession();
    EXPECT_EQ(ftp.hFTP(), 0u);
    const QStringList cmds = server.commands();
    EXPECT_EQ(cmds.count(QStringLiteral("CONNECT")), 1) << cmds.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(cmds.contains(QStringLiteral("MLSD")));
    EXPECT_TRUE(cmds.contains(QStringLiteral("QUIT")));
}

TEST_F(FtpClientTest, ActiveModeTransfers) {
    writeFile(rootFile(QStringLiteral("ORD1.mdb")), "active");
    connect();
    ftp.setPassiveFlag(false);
    EXPECT_EQ(walk(QStringLiteral("ORD*.mdb")), QStringList{QStringLiteral("ORD1.mdb")});
    ASSERT_TRUE(ftp.GetFile(QStringLiteral("ORD1.mdb"), localFile(QStringLiteral("a.mdb")), true, 2));
    EXPECT_EQ(readFile(localFile(QStringLiteral("a.mdb"))), QByteArray("active"));
    EXPECT_TRUE(server.commands().filter(QStringLiteral("PORT")).size() +
                    server.commands().filter(QStringLiteral("EPRT")).size() >
                0);
}

TEST_F(FtpClientTest, TextModeTransfersAsAscii) {
    writeFile(rootFile(QStringLiteral("lines.txt")), "a\nb\n");
    writeFile(localFile(QStringLiteral("up.txt")), "x\ny\n");
    connect();
    // ASCII mode on the wire; the file gets this system's own line ends.
    ASSERT_TRUE(ftp.GetFile(QStringLiteral("lines.txt"), localFile(QStringLiteral("lines.txt")), false, 1));
    EXPECT_EQ(readFile(localFile(QStringLiteral("lines.txt"))), QByteArray("a\nb\n"));
    ASSERT_TRUE(ftp.PutFile(localFile(QStringLiteral("up.txt")), QStringLiteral("up.txt"), 1));
    EXPECT_EQ(readFile(rootFile(QStringLiteral("up.txt"))), QByteArray("x\ny\n"));
    // Any other value is binary.
    ASSERT_TRUE(ftp.GetFile(QStringLiteral("lines.txt"), localFile(QStringLiteral("bin.txt")), false, 0));
    EXPECT_EQ(readFile(localFile(QStringLiteral("bin.txt"))), QByteArray("a\nb\n"));
    const QStringList cmds = server.commands();
    EXPECT_TRUE(cmds.contains(QStringLiteral("TYPE A")));
    EXPECT_TRUE(cmds.contains(QStringLiteral("TYPE I")));
}

TEST_F(FtpClientTest, GetFileHonoursFailIfExists) {
    writeFile(rootFile(QStringLiteral("ORD1.mdb")), "server");
    writeFile(localFile(QStringLiteral("ORD1.mdb")), "local");
    connect();
    EXPECT_FALSE(ftp.GetFile(QStringLiteral("ORD1.mdb"), localFile(QStringLiteral("ORD1.mdb")), true, 2));
    EXPECT_EQ(readFile(localFile(QStringLiteral("ORD1.mdb"))), QByteArray("local"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, ftp::ErrFileExists);
    EXPECT_TRUE(ftp.GetFile(QStringLiteral("ORD1.mdb"), localFile(QStringLiteral("ORD1.mdb")), false, 2));
    EXPECT_EQ(readFile(localFile(QStringLiteral("ORD1.mdb"))), QByteArray("server"));
}

TEST_F(FtpClientTest, DroppedDownloadLeavesNoPartialFile) {
    writeFile(rootFile(QStringLiteral("ORD1.mdb")), QByteArray(1 << 20, 'x'));
    writeFile(localFile(QStringLiteral("keep.mdb")), "old");
    connect({QStringLiteral("--drop-retr"), QStringLiteral("ORD1.mdb")});
    EXPECT_FALSE(ftp.GetFile(QStringLiteral("ORD1.mdb"), localFile(QStringLiteral("ORD1.mdb")), false, 2));
    EXPECT_FALSE(ftp.GetFile(QStringLiteral("ORD1.mdb"), localFile(QStringLiteral("keep.mdb")), false, 2));
    // Neither a truncated file nor a temporary one is left; the older file is untouched.
    EXPECT_EQ(QDir(local.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("keep.mdb")});
    EXPECT_EQ(readFile(localFile(QStringLiteral("keep.mdb"))), QByteArray("old"));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_FALSE(events[0].text.isEmpty());
    // The session object stays usable: libcurl reconnects for the next request.
    EXPECT_EQ(walk(QStringLiteral("*.mdb")), QStringList{QStringLiteral("ORD1.mdb")});
}

TEST_F(FtpClientTest, EmptyListingRaisesNoEvent) {
    writeFile(rootFile(QStringLiteral("notes.txt")), "x");
    connect();
    ftp.FindFile(QStringLiteral("ORD*.mdb"));
    EXPECT_TRUE(ftp.RemoteFile.SearchEnd);
    ftp.NextFile();
    EXPECT_TRUE(ftp.RemoteFile.SearchEnd);
    EXPECT_TRUE(events.empty());
}

TEST_F(FtpClientTest, EntriesOfBothListingCommands) {
    for (const bool mlsd : {true, false}) {
        SCOPED_TRACE(mlsd ? "MLSD" : "LIST");
        server.stop();
        events.clear();
        // A sparse file: 5 GB in the listing, nothing on the disk.
        QFile big(rootFile(QStringLiteral("ORD5G.mdb")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(5368709120LL));
        big.close();
        QDir(root.path()).mkdir(QStringLiteral("ORDDIR.mdb"));
        connect(mlsd ? QStringList{} : QStringList{QStringLiteral("--no-mlsd")});
        ftp.FindFile(QStringLiteral("ORD*.mdb"));
        ASSERT_FALSE(ftp.RemoteFile.SearchEnd);
        EXPECT_EQ(ftp.RemoteFile.FileName, QStringLiteral("ORD5G.mdb"));
        EXPECT_EQ(ftp.RemoteFile.FileSize, 5368709120.0);
        EXPECT_EQ(ftp.RemoteFile.FileType, 0);
        EXPECT_EQ(ftp.RemoteFile.FileDate.date().year(), QDate::currentDate().year());
        ftp.NextFile();
        ASSERT_FALSE(ftp.RemoteFile.SearchEnd);
        EXPECT_EQ(ftp.RemoteFile.FileName, QStringLiteral("ORDDIR.mdb"));
        EXPECT_EQ(ftp.RemoteFile.FileType, ftp::FileAttributeDirectory);
        ftp.NextFile();
        EXPECT_TRUE(ftp.RemoteFile.SearchEnd);
        EXPECT_TRUE(events.empty());
        const QStringList cmds = server.commands();
        EXPECT_EQ(cmds.contains(QStringLiteral("MLSD")), mlsd);
        EXPECT_EQ(cmds.contains(QStringLiteral("LIST")), !mlsd);
        ftp.CloseSession();
    }
}

TEST_F(FtpClientTest, OfferedButBrokenMlsdFallsBackToList) {
    writeFile(rootFile(QStringLiteral("ORD1.mdb")), "x");
    connect({QStringLiteral("--broken-mlsd")});
    EXPECT_EQ(walk(QStringLiteral("ORD*.mdb")), QStringList{QStringLiteral("ORD1.mdb")});
    EXPECT_EQ(walk(QStringLiteral("ORD*.mdb")), QStringList{QStringLiteral("ORD1.mdb")});
    EXPECT_TRUE(events.empty());
    const QStringList cmds = server.commands();
    EXPECT_EQ(cmds.count(QStringLiteral("MLSD")), 1); // tried once per session
    EXPECT_EQ(cmds.count(QStringLiteral("LIST")), 2);
}

TEST_F(FtpClientTest, ServerRefusalsCarryReplyCodeAndText) {
    connect();
    EXPECT_FALSE(ftp.GetFile(QStringLiteral("missing.mdb"), localFile(QStringLiteral("m.mdb")), false, 2));
    EXPECT_FALSE(QFile::exists(localFile(QStringLiteral("m.mdb"))));
    EXPECT_FALSE(ftp.RenameFile(QStringLiteral("missing.mdb"), QStringLiteral("x.mdb")));
    EXPECT_FALSE(ftp.DeleteFile(QStringLiteral("missing.mdb")));
    EXPECT_FALSE(ftp.setCurDir(QStringLiteral("nodir/")));
    EXPECT_EQ(ftp.CurDir(), QStringLiteral("/")); // a refused change keeps the directory
    ASSERT_EQ(events.size(), 4u);
    for (const Event& e : events) {
        EXPECT_EQ(e.number, 550);
        EXPECT_TRUE(e.text.startsWith(QStringLiteral("550 "))) << e.text.toStdString();
    }
    // Nothing to upload: reported without a request to the server.
    const auto before = server.commands().size();
    EXPECT_FALSE(ftp.PutFile(localFile(QStringLiteral("none.mdb")), QStringLiteral("none.mdb"), 2));
    EXPECT_EQ(events.back().number, ftp::ErrFileNotFound);
    EXPECT_EQ(server.commands().size(), before);
}

TEST_F(FtpClientTest, NamesThatWouldSmuggleCommandsAreRefused) {
    writeFile(rootFile(QStringLiteral("ORD1.mdb")), "x");
    connect();
    EXPECT_FALSE(ftp.DeleteFile(QStringLiteral("none\r\nDELE ORD1.mdb")));
    EXPECT_FALSE(ftp.RenameFile(QStringLiteral("ORD1.mdb"), QStringLiteral("y\nDELE ORD1.mdb")));
    EXPECT_FALSE(
        ftp.GetFile(QStringLiteral("ORD1.mdb\r\nDELE ORD1.mdb"), localFile(QStringLiteral("g")), false, 2));
    EXPECT_TRUE(QFile::exists(rootFile(QStringLiteral("ORD1.mdb"))));
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(FtpClientTest, LoginAndHostFailures) {
    serve();
    ftp.setPassword(QStringLiteral("wrong"));
    ftp.OpenSession();
    EXPECT_EQ(ftp.hFTP(), 0u);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, 530);
    EXPECT_TRUE(events[0].text.startsWith(QStringLiteral("530 "))) << events[0].text.toStdString();

    events.clear();
    ftp.setRemoteHost(QStringLiteral("no-such-host.invalid"));
    ftp.OpenSession();
    EXPECT_EQ(ftp.hFTP(), 0u);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, ftp::ErrNameNotResolved);
    EXPECT_EQ(events[0].text, QStringLiteral("サーバー名を解決できませんでした。"));

    // Nobody listening: the library's own text.
    events.clear();
    {
        const test::ClosedPort closed;
        ASSERT_NE(closed.port(), 0);
        ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
        ftp.setRemotePort(closed.port());
        ftp.OpenSession();
    }
    EXPECT_EQ(ftp.hFTP(), 0u);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].text.isEmpty());
    EXPECT_NE(events[0].number, ftp::ErrNameNotResolved);

    // Host texts that would rewrite the URL (another host, or a user name put in front of the running
    // server's address) are refused as malformed URLs and sent nowhere.
    ftp.setPassword(QStringLiteral("pw"));
    ftp.setRemotePort(server.port());
    for (const char* host : {"evil.example/x@127.0.0.1", "anonymous@127.0.0.1"}) {
        events.clear();
        const qsizetype connectionsBefore = server.commands().count(QStringLiteral("CONNECT"));
        ftp.setRemoteHost(QString::fromLatin1(host));
        ftp.OpenSession();
        EXPECT_EQ(ftp.hFTP(), 0u) << host;
        ASSERT_EQ(events.size(), 1u) << host;
        EXPECT_EQ(events[0].number, 3) << host; // libcurl's "URL using bad/illegal format"
        EXPECT_EQ(server.commands().count(QStringLiteral("CONNECT")), connectionsBefore) << host;
    }
}

TEST_F(FtpClientTest, ReservedInvalidNamesFailWithoutAskingTheResolver) {
    // Names under "invalid" can never resolve; the answer comes at once, whatever the name servers do.
    for (const char* host : {"no-such-host.invalid", "KEMNOA.INVALID.", "invalid"}) {
        events.clear();
        ftp.setRemoteHost(QString::fromLatin1(host));
        ftp.OpenSession();
        EXPECT_EQ(ftp.hFTP(), 0u) << host;
        ASSERT_EQ(events.size(), 1u) << host;
        EXPECT_EQ(events[0].number, ftp::ErrNameNotResolved) << host;
        EXPECT_EQ(events[0].text, QStringLiteral("サーバー名を解決できませんでした。")) << host;
    }
}

TEST_F(FtpClientTest, OperationsWithoutSessionFail) {
    EXPECT_FALSE(ftp.DeleteFile(QStringLiteral("x")));
    ftp.FindFile(QStringLiteral("*"));
    EXPECT_TRUE(ftp.RemoteFile.SearchEnd);
    EXPECT_EQ(events.size(), 2u);
}

// A self-made certificate for 127.0.0.1 (key and certificate in one PEM file); empty when the
// openssl command is missing or fails.
QString makeCertificate(const QString& folder) {
    const QString pem = folder + QStringLiteral("/server.pem");
    QProcess p;
    p.start(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
             QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
             QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
             QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
             QStringLiteral("-keyout"), pem, QStringLiteral("-out"), folder + QStringLiteral("/cert.pem")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    QFile key(pem), cert(folder + QStringLiteral("/cert.pem"));
    if (!key.open(QIODevice::Append) || !cert.open(QIODevice::ReadOnly))
        return {};
    key.write(cert.readAll());
    return pem;
}

class FtpTlsTest : public FtpClientTest {
protected:
    void SetUp() override {
        FtpClientTest::SetUp();
        if (test::VsftpdServer::binary().isEmpty())
            GTEST_SKIP() << "vsftpd is not installed";
        pem = makeCertificate(certs.path());
        if (pem.isEmpty())
            GTEST_SKIP() << "the openssl command could not make a test certificate";
        // vsftpd lists a folder for anonymous users only when others may read it.
        QFile::setPermissions(root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                               QFileDevice::ExeOther);
    }
    QString certificate() const { return certs.filePath(QStringLiteral("cert.pem")); }

    // Points the client at a port as an anonymous user with TLS on.
    void pointAt(quint16 port, const QString& caFile) {
        ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
        ftp.setRemotePort(port);
        ftp.setUser(QString());
        ftp.setPassword(QString());
        ftp.setUseTls(true);
        ftp.setTlsCaFile(caFile);
        events.clear();
    }

    QTemporaryDir certs;
    QString pem;
};

// vsftpd refuses a login or a data connection without TLS here, so every step that works went over it.
TEST_F(FtpTlsTest, EverythingGoesOverTlsToAServerThatRequiresIt) {
    writeFile(rootFile(QStringLiteral("ORD1.mdb")), "secret order");
    test::VsftpdServer server;
    ASSERT_TRUE(server.start(root.path(), pem)) << server.error().toStdString();
    pointAt(server.port(), certificate());
    {
        ftp.setPassiveFlag(true);
        ftp.OpenSession();
        ASSERT_NE(ftp.hFTP(), 0u) << (events.empty() ? std::string() : events.back().text.toStdString());
        EXPECT_EQ(walk(QStringLiteral("ORD*.mdb")), QStringList{QStringLiteral("ORD1.mdb")})
            << (events.empty() ? std::string() : events.back().text.toStdString());
        ASSERT_TRUE(ftp.GetFile(QStringLiteral("ORD1.mdb"), localFile(QStringLiteral("ORD1.mdb")), false, 2));
        EXPECT_EQ(readFile(localFile(QStringLiteral("ORD1.mdb"))), QByteArray("secret order"));
        ASSERT_TRUE(ftp.PutFile(localFile(QStringLiteral("ORD1.mdb")), QStringLiteral("BK/BORD1.mdb"), 2));
        EXPECT_EQ(readFile(rootFile(QStringLiteral("BK/BORD1.mdb"))), QByteArray("secret order"));
        EXPECT_TRUE(ftp.DeleteFile(QStringLiteral("BK/BORD1.mdb")));
        ftp.CloseSession();
        EXPECT_TRUE(events.empty()) << events.front().text.toStdString();
    }
}

TEST_F(FtpTlsTest, AnUntrustedCertificateOrAServerWithoutTlsIsRefusedBeforeTheLogin) {
    test::VsftpdServer tlsServer;
    ASSERT_TRUE(tlsServer.start(root.path(), pem)) << tlsServer.error().toStdString();
    pointAt(tlsServer.port(), QString()); // no authority of the system vouches for it
    ftp.OpenSession();
    EXPECT_EQ(ftp.hFTP(), 0u);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].text.isEmpty()); // the library's reason

    serve(); // pyftpdlib without TLS
    pointAt(server.port(), certificate());
    ftp.setUser(QStringLiteral("kem"));
    ftp.setPassword(QStringLiteral("pw"));
    ftp.OpenSession();
    EXPECT_EQ(ftp.hFTP(), 0u);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].text.isEmpty());
    const QStringList cmds = server.commands();
    EXPECT_TRUE(cmds.filter(QStringLiteral("USER")).isEmpty()) << cmds.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(cmds.filter(QStringLiteral("PASS")).isEmpty());
}

// vsftpd offers LIST only, in the Unix format.
TEST(FtpClientVsftpd, ListsAndTransfersWithList) {
    if (test::VsftpdServer::binary().isEmpty())
        GTEST_SKIP() << "vsftpd is not installed";
    QTemporaryDir root, local;
    QFile::setPermissions(root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                           QFileDevice::ExeOther);
    QDir(root.path()).mkdir(QStringLiteral("BK"));
    writeFile(root.filePath(QStringLiteral("ORD1.mdb")), "vs-one");
    writeFile(root.filePath(QStringLiteral("ORD 2.mdb")), "vs two");
    QDir(root.path()).mkdir(QStringLiteral("ORD3.mdb"));
    test::VsftpdServer server;
    if (!server.start(root.path()))
        GTEST_SKIP() << server.error().toStdString();

    McWinFTP ftp;
    std::vector<Event> events;
    ftp.FTPFrr = [&](qint32 n, const QString& t) { events.push_back({n, t}); };
    ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
    ftp.setRemotePort(server.port());
    ftp.setPassiveFlag(true); // no user: anonymous
    ftp.OpenSession();
    ASSERT_NE(ftp.hFTP(), 0u) << (events.empty() ? std::string() : events[0].text.toStdString());

    QStringList files, dirs;
    for (ftp.FindFile(QStringLiteral("ORD*.mdb")); !ftp.RemoteFile.SearchEnd; ftp.NextFile()) {
        (ftp.RemoteFile.FileType == ftp::FileAttributeDirectory ? dirs : files) << ftp.RemoteFile.FileName;
        if (ftp.RemoteFile.FileName == QStringLiteral("ORD1.mdb")) {
            EXPECT_EQ(ftp.RemoteFile.FileSize, 6.0);
        }
    }
    files.sort();
    EXPECT_EQ(files, (QStringList{QStringLiteral("ORD 2.mdb"), QStringLiteral("ORD1.mdb")}));
    EXPECT_EQ(dirs, QStringList{QStringLiteral("ORD3.mdb")});

    ASSERT_TRUE(
        ftp.GetFile(QStringLiteral("ORD 2.mdb"), local.filePath(QStringLiteral("ORD 2.mdb")), true, 2));
    EXPECT_EQ(readFile(local.filePath(QStringLiteral("ORD 2.mdb"))), QByteArray("vs two"));
    ASSERT_TRUE(ftp.setCurDir(QStringLiteral("BK/")));
    ASSERT_TRUE(ftp.PutFile(local.filePath(QStringLiteral("ORD 2.mdb")), QStringLiteral("BORD 2.mdb"), 2));
    ASSERT_TRUE(ftp.setCurDir(QStringLiteral("../")));
    ASSERT_TRUE(ftp.DeleteFile(QStringLiteral("ORD 2.mdb")));
    EXPECT_EQ(readFile(root.filePath(QStringLiteral("BK/BORD 2.mdb"))), QByteArray("vs two"));
    EXPECT_FALSE(QFile::exists(root.filePath(QStringLiteral("ORD 2.mdb"))));
    EXPECT_TRUE(events.empty()) << events.front().text.toStdString();
}

} // namespace
