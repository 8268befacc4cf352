#include "platform/ftp/download_file.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kemnoa::ftp {
namespace {

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

std::atomic<unsigned> g_counter{0};

int openForSync(const QByteArray& path) {
    return ::open(path.constData(), O_RDONLY | O_CLOEXEC);
}

} // namespace

DownloadFile::DownloadFile(QString target) : target_(std::move(target)) {}

DownloadFile::~DownloadFile() {
    cancel();
}

bool DownloadFile::fail(int err) {
    error_ = errnoText(err);
    cancel();
    return false;
}

bool DownloadFile::open() {
    // The temporary name does not end in the target's extension, so a folder count by extension
    // never sees it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ =
            target_ +
            QStringLiteral(".%1-%2.part").arg(static_cast<qint64>(::getpid())).arg(g_counter.fetch_add(1));
        fd_ =
            ::open(QFile::encodeName(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    error_ = errnoText(errno);
    temporary_.clear();
    return false;
}

bool DownloadFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool DownloadFile::commit(bool durable) {
    if (fd_ < 0)
        return false;
    if (durable && ::fdatasync(fd_) != 0)
        return fail(errno);
#ifdef SYNC_FILE_RANGE_WRITE
    // Made durable later by one sweep (syncToDisk): start writing it out now, without waiting, so
    // the disk works while the next files arrive and the sweep finds little left to do.
    if (!durable)
        (void)::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int err = errno;
        fd_ = -1;
        return fail(err);
    }
    if (::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(target_).constData()) != 0)
        return fail(errno);
    temporary_.clear();
    return true;
}

void DownloadFile::cancel() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.isEmpty()) {
        ::unlink(QFile::encodeName(temporary_).constData());
        temporary_.clear();
    }
}

bool syncToDisk(const QStringList& paths, QString* error) {
    std::map<dev_t, int> fileSystems; // one open file per file system for syncfs
    std::vector<std::pair<int, QString>> files;
    bool ok = true;
    auto failed = [&](const QString& path, int err) {
        if (ok && error)
            *error = path + QStringLiteral(": ") + errnoText(err);
        ok = false;
    };
    for (const QString& path : paths) {
        const int fd = openForSync(QFile::encodeName(path));
        if (fd < 0) {
            failed(path, errno);
            continue;
        }
        files.emplace_back(fd, path);
        struct stat st {};
        if (::fstat(fd, &st) == 0)
            fileSystems.emplace(st.st_dev, fd);
    }
    // syncfs writes the data and the metadata (the renames) of the whole file system in one go.
    for (const auto& [dev, fd] : fileSystems)
        if (::syncfs(fd) != 0)
            failed(QStringLiteral("syncfs"), errno);
    // A write error the sync met is reported to each file it struck; with nothing left to write,
    // this costs no further disk work.
    for (const auto& [fd, path] : files) {
        if (::fdatasync(fd) != 0)
            failed(path, errno);
        ::close(fd);
    }
    return ok;
}

} // namespace kemnoa::ftp
