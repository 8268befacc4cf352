#pragma once
// Real FTP servers on 127.0.0.1 for the tests: pyftpdlib (with injected faults) and vsftpd.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace kemnoa::test {

// pyftpdlib serving a folder to user "kem", password "pw". Faults are switched on by options of
// ftp_test_server.py, for example {"--fail-retr", "ORD2.mdb"}.
class PyFtpServer {
public:
    PyFtpServer() = default;
    ~PyFtpServer();
    PyFtpServer(const PyFtpServer&) = delete;
    PyFtpServer& operator=(const PyFtpServer&) = delete;

    // Starts the server on a port of the system's choosing; false (with error() set) when it does not
    // come up.
    bool start(const QString& root, const QStringList& options = {});
    void stop();
    quint16 port() const { return port_; }
    QString error() const { return error_; }
    // The commands the server received, one per entry ("CONNECT" for each new connection).
    QStringList commands() const;

private:
    std::unique_ptr<QProcess> process_;
    QTemporaryDir logDir_;
    QString logFile_;
    quint16 port_ = 0;
    QString error_;
};

// vsftpd serving a folder to anonymous users, LIST only, one vsftpd per connection behind a listener
// on a port of the system's choosing. Needs the vsftpd binary; it runs as the user who starts it, so
// it works as root and as an ordinary user.
class VsftpdServer {
public:
    VsftpdServer() = default;
    ~VsftpdServer();
    VsftpdServer(const VsftpdServer&) = delete;
    VsftpdServer& operator=(const VsftpdServer&) = delete;

    static QString binary();
    // With a PEM file (key and certificate) the server requires explicit TLS for the login and for
    // every data connection, and asks for the control channel's TLS session to be resumed on them.
    bool start(const QString& root, const QString& tlsPem = {});
    quint16 port() const { return port_; }
    QString error() const { return error_; }

private:
    std::unique_ptr<QProcess> process_;
    QTemporaryDir confDir_;
    quint16 port_ = 0;
    QString error_;
};

} // namespace kemnoa::test
