#include "core/program_folder_setup.h"

#include "core/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kemnoa::core {
namespace {

// Writes data to a name that must be new (O_EXCL refuses any existing name, a planted symbolic link
// included); 0 or the error number. A failed write leaves nothing under the name.
int writeNew(const QByteArray& name, const QByteArray& data) {
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = 0;
    for (qsizetype done = 0; done < data.size() && error == 0;) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0 || errno != EINTR)
            error = n == 0 ? EIO : errno;
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(name.constData());
    return error;
}

enum class Copy { Done, AlreadyThere, Failed };

// Writes the file under a private name, then links it to its place: a reader never sees it half
// written, an existing name is never replaced, and a name that another start of the program published
// meanwhile is left to it. Where the folder's file system has no hard links the file is written in
// place instead.
Copy copyNew(const QString& from, const QString& to, QString* why) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        *why = in.errorString();
        return Copy::Failed;
    }
    const QByteArray data = in.readAll();
    const QByteArray target = QFile::encodeName(to);
    // A private name left by a start that died (its process number since taken again) is passed by.
    static std::atomic<unsigned> serial{0};
    QByteArray temporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary = target + ".part" + QByteArray::number(::getpid()) + '-' + QByteArray::number(++serial);
        error = writeNew(temporary, data);
    }
    if (error != 0) {
        *why = QString::fromLocal8Bit(std::strerror(error));
        return Copy::Failed;
    }
    error = ::link(temporary.constData(), target.constData()) == 0 ? 0 : errno;
    ::unlink(temporary.constData());
    if (error == EPERM || error == ENOTSUP || error == ENOSYS || error == EXDEV || error == EMLINK)
        error = writeNew(target, data);
    if (error == EEXIST)
        return Copy::AlreadyThere;
    if (error != 0) {
        *why = QString::fromLocal8Bit(std::strerror(error));
        return Copy::Failed;
    }
    return Copy::Done;
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
        QString why;
        switch (copyNew(from, to, &why)) {
        case Copy::Done:
            result.copied << relative;
            break;
        case Copy::AlreadyThere:
            break;
        case Copy::Failed:
            result.error = QStringLiteral("cannot copy %1 to %2: %3").arg(from, to, why);
            break;
        }
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
