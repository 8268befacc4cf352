#pragma once
// A receive run against a real FTP server: a served folder holding BK/, a receive folder, the
// program folder for ftplog.log, and the session's FTP settings pointing at the server.

#include "core/program_folder.h"
#include "core/session.h"
#include "ftp_test_server.h"
#include "platform/text/cp932.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kemnoa::test {

inline void putFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ReceiveFolders {
    ReceiveFolders() {
        QDir(root.path()).mkdir(QStringLiteral("BK"));
        QDir(work.path()).mkdir(QStringLiteral("recv"));
        QDir(work.path()).mkdir(QStringLiteral("prog"));
        core::setProgramFolder(programFolder());
    }
    ~ReceiveFolders() { core::setProgramFolder(QString()); }

    QString serverFile(const QString& name) const { return root.filePath(name); }
    QString receiveFolder() const { return work.filePath(QStringLiteral("recv")) + QLatin1Char('/'); }
    QString programFolder() const { return work.filePath(QStringLiteral("prog")); }

    // Files of a server folder ("" for the login directory, "BK"), in name order.
    QStringList serverFiles(const QString& sub = {}) const {
        return QDir(sub.isEmpty() ? root.path() : root.filePath(sub)).entryList(QDir::Files, QDir::Name);
    }
    QStringList receivedFiles() const {
        return QDir(receiveFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // Everything in the work folder beside the receive and program folders (nothing may land there).
    QStringList strayFiles() const {
        return QDir(work.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    // The messages of the FTP log, without date, time and weekday.
    QStringList logMessages() const {
        const QByteArray raw = fileBytes(QDir(programFolder()).filePath(QStringLiteral("ftplog.log")));
        QStringList out;
        for (const QString& line : text::fromCp932(raw).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            out << line.mid(line.indexOf(QLatin1Char('\t')) + 1);
        return out;
    }

    QTemporaryDir root;
    QTemporaryDir work;
};

inline void pointSessionAt(quint16 port, const QString& receiveFolder) {
    core::resetSession();
    core::Session& s = core::session();
    s.LocalFolder = receiveFolder;
    s.FtpSetting.HostMei = QStringLiteral("127.0.0.1");
    s.FtpSetting.UserMei = QStringLiteral("kem");
    s.FtpSetting.PassMei = QStringLiteral("pw");
    s.FtpSetting.PortNum = QString::number(port);
    s.FtpSetting.PaveMod = QStringLiteral("True");
}

inline const QString kStartBanner = QStringLiteral("▼") + QString(53, QChar(0x25A0));
inline const QString kEndBanner = QStringLiteral("△") + QString(53, QChar(0x25A1));

} // namespace kemnoa::test
