#include "receiving/receive_folder_lock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

namespace kemnoa::receiving {

ReceiveFolderLock::ReceiveFolderLock(const QString& folder) : folder_(folder) {}

int ReceiveFolderLock::defaultWaitMs() {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("KEMNOA_RECEIVE_LOCK_WAIT", &ok);
    return ok && seconds >= 0 ? seconds * 1000 : 30000;
}

bool ReceiveFolderLock::acquire(core::Prompter& prompter, int waitMs) {
    const QFileInfo dir(folder_);
    if (folder_.isEmpty() || !dir.isDir() || !dir.isWritable())
        return true;
    const QString path = QDir(folder_).filePath(QString::fromLatin1(ReceiveLockName));
    lock_ = std::make_unique<QLockFile>(path);
    lock_->setStaleLockTime(0); // only a holder known dead (on this workstation) lets go of it
    // Waited for in short slices, so that a window stays responsive meanwhile.
    QDeadlineTimer deadline(qMax(0, waitMs));
    do {
        if (lock_->tryLock(int(qMin<qint64>(deadline.remainingTime(), 100))))
            return true;
        prompter.processEvents();
    } while (!deadline.hasExpired());
    qint64 pid = 0;
    QString host, app;
    lock_->getLockInfo(&pid, &host, &app);
    lock_.reset();
    prompter.message(QStringLiteral("受信フォルダ(") + folder_ +
                         QStringLiteral(")は別の受信または読み込みが使用中です(") + host +
                         QStringLiteral(")。\r\nしばらくしてから、もう一度実行してください。\r\n") +
                         QStringLiteral("使用中の処理がない場合は、ロックファイル(") + path +
                         QStringLiteral(")を削除してください。"),
                     QStringLiteral("使用中"), core::MsgIcon::Exclamation);
    return false;
}

} // namespace kemnoa::receiving
