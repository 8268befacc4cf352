#include "platform/lzh/lzh_files.h"

#include "platform/lzh/archive_reader.h"
#include "platform/lzh/archive_writer.h"
#include "platform/text/cp932.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kemnoa::lzh {

namespace {

[[noreturn]] void ioError(const QString& what) {
    throw LzhError(LzhError::Kind::Io, what.toStdString());
}

class FileSource : public ByteSource {
public:
    explicit FileSource(const QString& path) : file_(path) {
        if (!file_.open(QIODevice::ReadOnly))
            ioError(QStringLiteral("cannot open %1: %2").arg(path, file_.errorString()));
    }
    size_t read(uint8_t* data, size_t n) override {
        size_t done = 0;
        while (done < n) {
            const qint64 got =
                file_.read(reinterpret_cast<char*>(data) + done, static_cast<qint64>(n - done));
            if (got < 0)
                ioError(QStringLiteral("cannot read %1: %2").arg(file_.fileName(), file_.errorString()));
            if (got == 0)
                break;
            done += static_cast<size_t>(got);
        }
        return done;
    }

private:
    QFile file_;
};

class DeviceSink : public SeekableSink {
public:
    explicit DeviceSink(QFileDevice& file) : file_(file) {}
    void write(const uint8_t* data, size_t n) override {
        if (n > 0 && file_.write(reinterpret_cast<const char*>(data), static_cast<qint64>(n)) !=
                         static_cast<qint64>(n))
            ioError(QStringLiteral("cannot write %1: %2").arg(file_.fileName(), file_.errorString()));
    }
    uint64_t position() override { return static_cast<uint64_t>(file_.pos()); }
    void seek(uint64_t pos) override {
        if (!file_.seek(static_cast<qint64>(pos)))
            ioError(QStringLiteral("cannot seek in %1").arg(file_.fileName()));
    }
    void truncate(uint64_t pos) override {
        if (!file_.resize(static_cast<qint64>(pos)))
            ioError(QStringLiteral("cannot truncate %1").arg(file_.fileName()));
    }

private:
    QFileDevice& file_;
};

class NullSink : public ByteSink {
public:
    void write(const uint8_t*, size_t) override {}
};

MemberInfo infoOf(const MemberHeader& h) {
    MemberInfo m;
    m.name = text::fromCp932(QByteArray::fromStdString(h.name));
    m.method = QString::fromLatin1(h.method.data(), static_cast<qsizetype>(h.method.size()));
    m.packedSize = h.packedSize;
    m.originalSize = h.originalSize;
    m.modified = QDateTime::fromSecsSinceEpoch(h.mtime);
    m.crc = h.crc;
    m.directory = h.isDirectory();
    return m;
}

// Visits every member; the callback may extract it.
void forEachMember(const QString& path, const std::function<void(ArchiveReader&, const MemberHeader&)>& f) {
    FileSource src(path);
    ArchiveReader reader(src);
    while (const auto h = reader.next())
        f(reader, *h);
}

// The member's path below folder, or nothing when the name is absolute or climbs out of it.
std::optional<QString> safeTarget(const QString& folder, const QString& name) {
    if (name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char(':')))
        return std::nullopt;
    QStringList parts;
    for (const QString& part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..") || part.contains(QChar(0)))
            return std::nullopt;
        if (part != QLatin1String("."))
            parts << part;
    }
    if (parts.isEmpty())
        return std::nullopt;
    return QDir(folder).filePath(parts.join(QLatin1Char('/')));
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Opens the folders of a member's path below the extraction folder, creating those that are missing,
// one name at a time and never through a symbolic link (O_NOFOLLOW): a link planted on the way, at any
// moment, is refused rather than followed. The descriptor of the last folder, which the caller closes.
int openFolders(const QString& folder, const QStringList& names, const QString& member) {
    QDir().mkpath(folder); // the caller's folder, where it names one
    int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        ioError(QStringLiteral("cannot open folder %1: %2").arg(folder, errnoText(errno)));
    QString path = folder;
    for (const QString& name : names) {
        path += QLatin1Char('/') + name;
        const QByteArray n = QFile::encodeName(name);
        if (::mkdirat(fd, n.constData(), 0777) != 0 && errno != EEXIST) {
            const int error = errno;
            ::close(fd);
            ioError(QStringLiteral("cannot create folder %1: %2").arg(path, errnoText(error)));
        }
        const int next = ::openat(fd, n.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = errno;
        ::close(fd);
        if (next < 0)
            ioError(error == ELOOP || error == ENOTDIR
                        ? QStringLiteral("cannot write %1: %2 is a symbolic link or not a folder")
                              .arg(member, path)
                        : QStringLiteral("cannot open folder %1: %2").arg(path, errnoText(error)));
        fd = next;
    }
    return fd;
}

// A member written under a private name in its folder (created new, never through a link planted
// there) and renamed onto its name only once complete: a rename replaces a link planted at the name
// after the check instead of following it.
class MemberFile {
public:
    // Takes the folder's descriptor (openFolders), which it closes.
    MemberFile(int folder, const QString& name, const QString& target)
        : folder_(folder), name_(QFile::encodeName(name)), target_(target) {}
    ~MemberFile() {
        file_.close();
        if (fd_ >= 0)
            ::close(fd_);
        if (!temporary_.isEmpty())
            ::unlinkat(folder_, temporary_.constData(), 0);
        ::close(folder_);
    }
    MemberFile(const MemberFile&) = delete;
    MemberFile& operator=(const MemberFile&) = delete;

    // Creates the private file; file() then takes the member's bytes.
    void open() {
        struct stat st;
        if (::fstatat(folder_, name_.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
            ioError(QStringLiteral("cannot write %1: it is a symbolic link").arg(target_));
        static std::atomic<unsigned> serial{0};
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            temporary_ =
                name_ + ".kemnoa-" + QByteArray::number(::getpid()) + '-' + QByteArray::number(++serial);
            fd_ = ::openat(folder_, temporary_.constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno != EEXIST)
                break;
        }
        if (fd_ < 0) {
            const int error = errno;
            temporary_.clear();
            ioError(QStringLiteral("cannot create %1: %2").arg(target_, errnoText(error)));
        }
        if (!file_.open(fd_, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            ioError(QStringLiteral("cannot create %1: %2").arg(target_, file_.errorString()));
    }

    QFile& file() { return file_; }

    // On disk under its name, with the given modification time.
    void commit(const QDateTime& modified) {
        if (!file_.flush())
            ioError(QStringLiteral("cannot save %1: %2").arg(target_, file_.errorString()));
        if (modified.isValid())
            file_.setFileTime(modified, QFileDevice::FileModificationTime);
        file_.close();
        const int fd = std::exchange(fd_, -1);
        const bool synced = ::fdatasync(fd) == 0;
        const int error = errno;
        if (::close(fd) != 0 || !synced)
            ioError(QStringLiteral("cannot save %1: %2").arg(target_, errnoText(synced ? errno : error)));
        if (::renameat(folder_, temporary_.constData(), folder_, name_.constData()) != 0)
            ioError(QStringLiteral("cannot save %1: %2").arg(target_, errnoText(errno)));
        temporary_.clear();
    }

private:
    int folder_;
    QByteArray name_, temporary_;
    QString target_;
    int fd_ = -1;
    QFile file_;
};

} // namespace

struct LzhFileWriter::Impl {
    QSaveFile file;
    DeviceSink sink{file};
    ArchiveWriter writer{sink};
    bool committed = false;
};

LzhFileWriter::LzhFileWriter(const QString& archivePath) : d_(std::make_unique<Impl>()) {
    d_->file.setFileName(archivePath);
    if (!d_->file.open(QIODevice::WriteOnly))
        ioError(QStringLiteral("cannot create %1: %2").arg(archivePath, d_->file.errorString()));
}

LzhFileWriter::~LzhFileWriter() {
    if (!d_->committed)
        d_->file.cancelWriting();
}

void LzhFileWriter::addFile(const QString& path, const QString& memberName) {
    const QFileInfo info(path);
    const QString name = memberName.isEmpty() ? info.fileName() : memberName;
    bool lossless = true;
    const QByteArray stored = text::toCp932(name, &lossless);
    if (!lossless)
        throw LzhError(
            LzhError::Kind::Limit,
            QStringLiteral("the name %1 cannot be written in code page 932").arg(name).toStdString());
    if (!info.isFile())
        ioError(QStringLiteral("not a file: %1").arg(path));
    d_->writer.addMember(stored.toStdString(), info.lastModified().toSecsSinceEpoch(),
                         [path] { return std::make_unique<FileSource>(path); });
}

void LzhFileWriter::addMembersOf(const QString& archivePath, const QStringList& skip) {
    forEachMember(archivePath, [&](ArchiveReader& reader, const MemberHeader& h) {
        if (skip.contains(infoOf(h).name))
            return;
        d_->writer.addRaw(h, [&](ByteSink& out) { reader.copyPacked(out); });
    });
}

void LzhFileWriter::commit() {
    d_->writer.finish();
    if (!d_->file.commit())
        ioError(QStringLiteral("cannot save %1: %2").arg(d_->file.fileName(), d_->file.errorString()));
    d_->committed = true;
}

std::vector<MemberInfo> listArchive(const QString& archivePath) {
    std::vector<MemberInfo> list;
    forEachMember(archivePath, [&](ArchiveReader&, const MemberHeader& h) { list.push_back(infoOf(h)); });
    return list;
}

std::vector<MemberInfo> testArchive(const QString& archivePath) {
    std::vector<MemberInfo> list;
    forEachMember(archivePath, [&](ArchiveReader& reader, const MemberHeader& h) {
        NullSink sink;
        reader.extract(sink);
        list.push_back(infoOf(h));
    });
    return list;
}

QStringList extractArchive(const QString& archivePath, const QString& folder) {
    QStringList written;
    forEachMember(archivePath, [&](ArchiveReader& reader, const MemberHeader& h) {
        const MemberInfo info = infoOf(h);
        const auto target = safeTarget(folder, info.name);
        if (!target)
            throw LzhError(LzhError::Kind::Corrupt,
                           QStringLiteral("member name leaves the folder: %1").arg(info.name).toStdString());
        QStringList names =
            QDir(folder).relativeFilePath(*target).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (info.directory) {
            ::close(openFolders(folder, names, info.name));
            return;
        }
        if (!isSupportedMethod(h.method))
            throw LzhError(LzhError::Kind::Unsupported, "unsupported method " + h.method);
        const QString name = names.takeLast();
        // Written beside the target and moved in place only once the CRC matched.
        MemberFile out(openFolders(folder, names, info.name), name, *target);
        out.open();
        DeviceSink sink(out.file());
        reader.extract(sink);
        out.commit(info.modified);
        written << *target;
    });
    return written;
}

} // namespace kemnoa::lzh
