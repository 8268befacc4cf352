#include "ftp_test_server.h"

#include "support/test_env.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

namespace kemnoa::test {
namespace {

// The server scripts end when their standard input closes.
void finish(std::unique_ptr<QProcess>& process) {
    if (!process)
        return;
    process->closeWriteChannel();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(3000);
    }
    process.reset();
}

// Starts a server script with the system Python; the script binds a port of the system's choosing
// and prints it as its first line.
bool startReportingPort(std::unique_ptr<QProcess>& process, const QStringList& args, quint16& port,
                        QString& error) {
    process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->start(systemPython(), args);
    if (!process->waitForStarted(10000)) {
        error = QStringLiteral("python did not start: ") + process->errorString();
        return false;
    }
    QDeadlineTimer deadline(20000);
    while (!process->canReadLine() && !deadline.hasExpired() && process->state() == QProcess::Running)
        process->waitForReadyRead(200);
    const QByteArray line = process->readLine().trimmed();
    bool ok = false;
    port = static_cast<quint16>(line.toUInt(&ok));
    if (!ok || port == 0) {
        error =
            QStringLiteral("no port from the server: ") + QString::fromUtf8(process->readAllStandardError());
        return false;
    }
    return true;
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
    QStringList args{QStringLiteral(KEMNOA_FTP_TEST_SERVER_SCRIPT), QStringLiteral("--root"), root,
                     QStringLiteral("--cmdlog"), logFile_};
    args += options;
    return startReportingPort(process_, args, port_, error_);
}

QStringList PyFtpServer::commands() const {
    QFile f(logFile_);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

VsftpdServer::~VsftpdServer() {
    finish(process_);
}

QString VsftpdServer::binary() {
    for (const char* path : {"/usr/sbin/vsftpd", "/sbin/vsftpd"})
        if (QFileInfo(QString::fromLatin1(path)).isExecutable())
            return QString::fromLatin1(path);
    return {};
}

bool VsftpdServer::start(const QString& root, const QString& tlsPem) {
    if (binary().isEmpty()) {
        error_ = QStringLiteral("vsftpd is not installed");
        return false;
    }
    // vsftpd serves one connection on its standard input and output (listen=NO); the wrapper owns the
    // listening port. Anonymous login into the root folder, uploads and deletes allowed, no chroot (it
    // runs as the launching user), no sandboxing that a container might not allow, no logs.
    QString conf =
        QStringLiteral("listen=NO\nlisten_ipv6=NO\n"
                       "run_as_launching_user=YES\nanonymous_enable=YES\n"
                       "local_enable=NO\nno_anon_password=YES\nanon_root=%1\nwrite_enable=YES\n"
                       "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
                       "anon_umask=022\nseccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n"
                       "pasv_enable=YES\nport_enable=YES\nxferlog_enable=NO\nsyslog_enable=NO\n"
                       "dual_log_enable=NO\nuse_localtime=NO\n")
            .arg(root);
    if (!tlsPem.isEmpty())
        conf += QStringLiteral("ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                               "force_anon_data_ssl=YES\nrequire_ssl_reuse=YES\nrsa_cert_file=%1\n"
                               "rsa_private_key_file=%1\n")
                    .arg(tlsPem);
    const QString confFile = confDir_.filePath(QStringLiteral("vsftpd.conf"));
    QFile f(confFile);
    if (!f.open(QIODevice::WriteOnly) || f.write(conf.toUtf8()) < 0) {
        error_ = QStringLiteral("cannot write the vsftpd configuration");
        return false;
    }
    f.close();
    return startReportingPort(process_, {QStringLiteral(KEMNOA_INETD_SERVER_SCRIPT), binary(), confFile},
                              port_, error_);
}

} // namespace kemnoa::test
