#include "core/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace kemnoa::core {

QString singleInstanceLockPath(const QString& programFolder) {
    // The user's runtime folder when it is there and this user's own; a folder in the user's cache
    // otherwise. Never a shared temporary folder, where another user could take the name first
    // and keep this user's program from starting.
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QFileInfo runtime(dir);
    const bool ownFolder = runtime.isDir() && runtime.ownerId() == ::getuid() &&
                           !(runtime.permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther));
    if (dir.isEmpty() || !ownFolder) {
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        if (dir.isEmpty())
            dir = QDir::homePath() + QStringLiteral("/.cache");
        dir += QStringLiteral("/kemnoa");
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QString identity = QDir::homePath() + QLatin1Char('\n') + QDir::cleanPath(programFolder);
    const QByteArray key =
        QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(dir).filePath(QStringLiteral("kemnoa-") + QString::fromLatin1(key) + QStringLiteral(".lock"));
}

SingleInstanceGuard::SingleInstanceGuard(const QString& lockPath)
    : lock_(std::make_unique<QLockFile>(lockPath)) {
    lock_->setStaleLockTime(0); // only a dead holder makes the lock stale, never its age
}

bool SingleInstanceGuard::acquire() {
    return lock_->tryLock(0);
}

} // namespace kemnoa::core
