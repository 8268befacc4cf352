#include "ftp_test_server.h"

#include "support/test_env.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace kemnoa::test {
namespace {

// pyftpdlib ends when its standard input closes; vsftpd needs a signal.
void finish(std::unique_ptr<QProcess>& process, bool signal = false) {
    if (!process)
        return;
    process->closeWriteChannel();
    if (signal)
        process->terminate();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(3000);
    }
    process.reset();
}

bool waitForListener(quint16 port) {
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (socket.waitForConnected(500))
            return true;
        QThread::msleep(50);
    }
    return false;
}

} // namespace

PyFtpServer::~PyFtpServer() {
    stop();
}

void PyFtpServer::stop() {
    finish(process_);
}

bool PyFtpServer::start(const QString& root, const QStringList& options) {
    logFile_ = logDir_.filePath(QStringLiteral("commands.log"));
    QFile::remove(logFile_);
    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::SeparateChannels);
    QStringList args{QStringLiteral(KEMNOA_FTP_TEST_SERVER_SCRIPT), QStringLiteral("--root"), root,
                     QStringLiteral("--cmdlog"), logFile_};
    args += options;
    process_->start(systemPython(), args);
    if (!process_->waitForStarted(10000)) {
        error_ = QStringLiteral("python did not start: ") + process_->errorString();
        return false;
    }
    QDeadlineTimer deadline(20000);
    while (!process_->canReadLine() && !deadline.hasExpired() && process_->state() == QProcess::Running)
        process_->waitForReadyRead(200);
    const QByteArray line = process_->readLine().trimmed();
    bool ok = false;
    port_ = static_cast<quint16>(line.toUInt(&ok));
    if (!ok || port_ == 0) {
        error_ = QStringLiteral("no port from the FTP server: ") +
                 QString::fromUtf8(process_->readAllStandardError());
        return false;
    }
    return true;
}

QStringList PyFtpServer::commands() const {
    QFile f(logFile_);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

VsftpdServer::~VsftpdServer() {
    finish(process_, true);
}

QString VsftpdServer::binary() {
    for (const char* path : {"/usr/sbin/vsftpd", "/sbin/vsftpd"})
        if (QFileInfo(QString::fromLatin1(path)).isExecutable())
            return QString::fromLatin1(path);
    return {};
}

bool VsftpdServer::start(const QString& root) {
    if (binary().isEmpty()) {
        error_ = QStringLiteral("vsftpd is not installed");
        return false;
    }
    port_ = unusedPort();
    // Anonymous login into the root folder, uploads and deletes allowed, no chroot (it runs as
    // the launching user), no sandboxing that a container might not allow, no logs.
    const QString conf =
        QStringLiteral("listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%1\n"
                       "background=NO\nrun_as_launching_user=YES\nanonymous_enable=YES\n"
                       "local_enable=NO\nno_anon_password=YES\nanon_root=%2\nwrite_enable=YES\n"
                       "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
                       "anon_umask=022\nseccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n"
                       "pasv_enable=YES\nport_enable=YES\nxferlog_enable=NO\nsyslog_enable=NO\n"
                       "dual_log_enable=NO\nuse_localtime=NO\n")
            .arg(port_)
            .arg(root);
    const QString confFile = confDir_.filePath(QStringLiteral("vsftpd.conf"));
    QFile f(confFile);
    if (!f.open(QIODevice::WriteOnly) || f.write(conf.toUtf8()) < 0) {
        error_ = QStringLiteral("cannot write the vsftpd configuration");
        return false;
    }
    f.close();
    process_ = std::make_unique<QProcess>();
    process_->start(binary(), {confFile});
    if (!process_->waitForStarted(10000) || !waitForListener(port_)) {
        error_ = QStringLiteral("vsftpd did not start: ") + QString::fromUtf8(process_->readAll());
        return false;
    }
    return true;
}

quint16 unusedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

} // namespace kemnoa::test
