#include "core/single_instance.h"

#include <QCryptographicHash>
#include <QDir>

namespace kemnoa::core {

QString singleInstanceLockPath(const QString& programFolder) {
    // The user's runtime folder when there is one; the temporary folder otherwise, with the user's
    // home folder in the key so that two users of one machine do not shut each other out.
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
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
