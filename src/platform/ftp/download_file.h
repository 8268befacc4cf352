#pragma once
// A downloaded file written under a temporary name beside its target and renamed into place once
// complete, so a broken transfer never leaves a partial file under the target's name.
//
// Waiting for the disk is the expensive part of a download to a local disk. A caller that fetches
// many files before it relies on any of them commits each without waiting and makes them all
// durable at once with syncToDisk().

#include <QString>
#include <QStringList>
#include <cstddef>

namespace kemnoa::ftp {

class DownloadFile {
public:
    explicit DownloadFile(QString target);
    ~DownloadFile(); // removes the temporary file unless committed
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    bool open();
    bool write(const char* data, std::size_t size);
    // Closes the file and renames it into place, after waiting for its data to reach the disk when
    // `durable` is set. False, with errorString(), when any of it fails; the target is untouched then.
    bool commit(bool durable);
    // Drops the temporary file.
    void cancel();
    QString errorString() const { return error_; }

private:
    bool fail(int err);

    QString target_;
    QString temporary_;
    int fd_ = -1;
    QString error_;
};

// Makes files, and their directory entries, durable: one file-system sync for each file system the
// files lie on, then each file checked for a write error the sync found. False with a description
// when any of them could not be written.
bool syncToDisk(const QStringList& paths, QString* error);

} // namespace kemnoa::ftp
