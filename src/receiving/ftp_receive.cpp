#include "receiving/ftp_receive.h"

#include "core/error.h"
#include "core/file_helpers.h"
#include "core/session.h"
#include "receiving/receive_folder_lock.h"
#include "transfer/ftp_helpers.h"
#include "transfer/ftp_log.h"
#include "transfer/remote_name.h"

#include <QFile>
#include <QFileInfo>

namespace kemnoa::receiving {

using core::MsgIcon;
using transfer::SharedFtp;

namespace {

const QString kTitle = QStringLiteral("cmdRcv_Click");
const QString kPattern = QStringLiteral("ORD*.mdb");
const QString kBackupDir = QStringLiteral("BK/");

// Writes one progress line: to the log first, then to the list.
class Progress {
public:
    explicit Progress(core::Prompter& p) : p_(p) {}
    void both(const QString& text) {
        transfer::MP_FtpLog(text, &p_);
        p_.listAdd(text);
    }
    void log(const QString& text) { transfer::MP_FtpLog(text, &p_); }
    void list(const QString& text) { p_.listAdd(text); }

private:
    core::Prompter& p_;
};

struct Received {
    QString name;      // as the server listed it
    QString localPath; // receive folder + name
};

// Removes this run's files from the receive folder.
void rollBack(const std::vector<Received>& received) {
    for (const Received& r : received)
        QFile::remove(r.localPath);
}

ReceiveResult failed() {
    return {ReceiveResult::Status::Failed, 0, 0};
}

} // namespace

ReceiveResult runFtpReceive(core::Prompter& prompter, qint64 maxFileBytes) {
    if (!prompter.question(QStringLiteral("受信処理を開始しますか？"), QStringLiteral("受信確認")))
        return {ReceiveResult::Status::Declined, 0, 0};
    core::BusyPointer busy(prompter);

    QString folder = core::session().LocalFolder;
    // The folder is a plain prefix of file names; without its separator files would land beside it.
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    ReceiveFolderLock folderLock(folder);
    if (!folderLock.acquire(prompter))
        return {ReceiveResult::Status::Refused, 0, 0};
    try {
        if (core::MF_FileCount(folder, QStringLiteral("mdb")) > 0) {
            prompter.message(QStringLiteral("受信ファイルの保存先フォルダ(") + folder +
                                 QStringLiteral(")にファイルがまだ存在します。\r\nデータベースに取り込むか、"
                                                "ファイル削除してください。"),
                             QStringLiteral("開始できません"), MsgIcon::Critical);
            return {ReceiveResult::Status::Refused, 0, 0};
        }
    } catch (const core::Error& e) {
        prompter.message(e.text(), kTitle, MsgIcon::Critical);
        return {ReceiveResult::Status::Refused, 0, 0};
    }

    transfer::SharedFtpScope ftpScope;
    Progress progress(prompter);
    progress.log(QStringLiteral("▼") + QString(53, QChar(0x25A0)));
    prompter.listClear();

    if (const auto failure = transfer::connectForJob()) {
        for (const QString& line : failure->lines)
            progress.both(line);
        if (!failure->message.isEmpty())
            prompter.message(failure->message, kTitle, MsgIcon::Critical);
        return failed();
    }
    progress.both(QStringLiteral("接続成功"));

    // Pass 1: download every order file. Each is renamed into place when complete; the wait for
    // the disk is paid once for the whole pass, before anything is deleted on the server.
    SharedFtp->setDeferSync(true);
    std::vector<Received> received;
    int failures = 0;
    bool listingFailed = false;
    SharedFtp->FTPFrr = [&](qint32, const QString&) { listingFailed = true; };
    SharedFtp->FindFile(kPattern);
    SharedFtp->FTPFrr = nullptr;
    if (listingFailed) {
        // A listing the server refused is not an empty directory.
        progress.both(QStringLiteral("♯受信失敗(") + kPattern + QLatin1Char(')'));
        return failed();
    }
    for (; !SharedFtp->RemoteFile.SearchEnd; SharedFtp->NextFile()) {
        if (SharedFtp->RemoteFile.FileType == ftp::FileAttributeDirectory)
            continue;
        const QString name = SharedFtp->RemoteFile.FileName;
        if (!transfer::isSafeRemoteName(name)) {
            // Left on the server for the operator; the other files are received.
            progress.both(QStringLiteral("♯受信失敗(") + transfer::printableName(name) + QLatin1Char(')'));
            ++failures;
            continue;
        }
        if (SharedFtp->RemoteFile.FileSize > double(maxFileBytes)) {
            // Left on the server, like a name we refuse: the operator deals with it there.
            progress.both(QStringLiteral("♯受信失敗(") + name + QLatin1Char(')'));
            progress.both(QStringLiteral("♯ファイルの大きさ(%1バイト)が上限(%2バイト)を超えています(%3)")
                              .arg(qint64(SharedFtp->RemoteFile.FileSize))
                              .arg(maxFileBytes)
                              .arg(name));
            continue;
        }
        if (transfer::MF_FtpGet(folder, name) != 0) {
            progress.both(QStringLiteral("♯受信失敗(") + name + QLatin1Char(')'));
            rollBack(received);
            return failed();
        }
        received.push_back({name, folder + name});
        progress.both(QStringLiteral("受信成功(") + folder + name + QLatin1Char(')'));
    }

    if (!received.empty() && !SharedFtp->SyncDownloads()) {
        // A file that did not reach the disk is not received: the run is undone like a failed download.
        progress.both(QStringLiteral("♯受信失敗(") + folder + QLatin1Char(')'));
        rollBack(received);
        return failed();
    }

    if (received.empty()) {
        progress.both(QStringLiteral("取得可能なファイルがありません"));
    } else {
        // Pass 2: a backup copy of every file in BK/. Without BK/ the copies would land in the
        // login directory and the deletes would run one level up, so that counts as a failure.
        auto backupFailed = [&](const Received& r) {
            progress.both(QStringLiteral("♯バックアップ送信失敗(") + r.localPath + QStringLiteral(",B") +
                          r.name + QLatin1Char(')'));
            rollBack(received);
            return failed();
        };
        if (!SharedFtp->setCurDir(kBackupDir))
            return backupFailed(received.front());
        for (const Received& r : received) {
            if (transfer::MF_FtpPut(r.localPath, QStringLiteral("B") + r.name) != 0)
                return backupFailed(r);
            progress.log(QStringLiteral("バックアップ送信成功(") + r.localPath + QStringLiteral(",B") +
                         r.name + QLatin1Char(')'));
        }

        // Pass 3: delete the order files; a file left behind is received again next time.
        const bool back = SharedFtp->setCurDir(QStringLiteral("../"));
        for (const Received& r : received) {
            if (back && transfer::MF_FtpDelete(r.name) == 0)
                progress.log(QStringLiteral("削除成功(") + r.name + QLatin1Char(')'));
            else {
                progress.both(QStringLiteral("♯削除失敗(") + r.name + QLatin1Char(')'));
                ++failures;
            }
        }
    }

    if (transfer::MF_FtpDisconnect() != 0) {
        progress.both(QStringLiteral("♯開放失敗"));
        return failed();
    }
    progress.both(QStringLiteral("開放成功"));
    progress.list(QString::number(received.size()) + QStringLiteral("つのファイルを受信しました。"));
    progress.list(QStringLiteral("FTP受信処理完了しました。"));
    progress.log(QStringLiteral("△") + QString(53, QChar(0x25A1)));
    prompter.message(QStringLiteral("処理完了しました。"), QStringLiteral("完了"), MsgIcon::Information);
    return {ReceiveResult::Status::Completed, static_cast<int>(received.size()), failures};
}

} // namespace kemnoa::receiving
