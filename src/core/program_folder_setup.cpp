#include "core/program_folder_setup.h"

#include "core/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kemnoa::core {
namespace {

// Writes a new file only: O_EXCL refuses any existing name, a planted symbolic link included.
QString copyNew(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    const QByteArray target = QFile::encodeName(to);
    const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const QByteArray data = in.readAll();
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            ::close(fd);
            ::unlink(target.constData());
            return why;
        }
        done += n;
    }
    if (::close(fd) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(target.constData());
        return why;
    }
    return QString();
}

} // namespace

FolderFill fillProgramFolder(const QString& dataFolder, const QString& programFolder) {
    FolderFill result;
    const QDir data(dataFolder);
    const QDir program(programFolder);
    QDirIterator it(dataFolder, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        if (from.endsWith(QLatin1String(".example")))
            continue;
        const QString relative = data.relativeFilePath(from);
        const QString to = program.filePath(relative);
        const QFileInfo target(to);
        if (target.exists() || target.isSymLink())
            continue;
        if (!program.mkpath(QFileInfo(relative).path())) {
            result.error = QStringLiteral("cannot create %1").arg(target.absolutePath());
            continue;
        }
        if (const QString why = copyNew(from, to); !why.isEmpty())
            result.error = QStringLiteral("cannot copy %1 to %2: %3").arg(from, to, why);
        else
            result.copied << relative;
    }
    return result;
}

QString prepareProgramFolder() {
    if (!QCoreApplication::instance())
        return QString();
    const QString data = installedDataFolder(QCoreApplication::applicationDirPath());
    if (data.isEmpty())
        return QString();
    const QString folder = programFolder();
    if (folder == workstationFolder() && !QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder))
            return QStringLiteral("cannot create the program folder %1").arg(folder);
        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    if (!QFileInfo(folder).isDir())
        return QString(); // a KEMNOA_HOME that does not exist: the settings diagnosis names it
    return fillProgramFolder(data, folder).error;
}

} // namespace kemnoa::core
