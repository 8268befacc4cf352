#pragma once
// Archives on disk: create an archive from files, list, test and extract one. Member names are stored
// in code page 932 without folders; extraction never writes outside the chosen folder.

#include "platform/lzh/lzh_error.h"

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace kemnoa::lzh {

struct MemberInfo {
    QString name;
    QString method;
    quint64 packedSize = 0;
    quint64 originalSize = 0;
    QDateTime modified;
    quint16 crc = 0;
    bool directory = false;
};

// Writes a new archive at a path; the file appears complete or not at all.
class LzhFileWriter {
public:
    // Throws LzhError(Io) when the file cannot be created.
    explicit LzhFileWriter(const QString& archivePath);
    ~LzhFileWriter(); // without commit() the partial file is removed
    LzhFileWriter(const LzhFileWriter&) = delete;
    LzhFileWriter& operator=(const LzhFileWriter&) = delete;

    // Adds a file under its own name (or memberName). Throws LzhError(Io) when it cannot be read and
    // LzhError(Limit) when its name cannot be written in code page 932 or it is 4 GiB or larger.
    void addFile(const QString& path, const QString& memberName = {});
    // Copies every member of an existing archive except those named in `skip`.
    void addMembersOf(const QString& archivePath, const QStringList& skip);
    // Writes the end mark and puts the archive in place.
    void commit();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Throw LzhError on a damaged archive (Corrupt), an unknown method (Unsupported) or a read failure (Io).
std::vector<MemberInfo> listArchive(const QString& archivePath);
// Decodes every member and checks its CRC; returns the members checked.
std::vector<MemberInfo> testArchive(const QString& archivePath);
// Extracts every member below folder and returns the paths written. A member whose name would leave the
// folder is refused with LzhError(Corrupt); a damaged member leaves no file behind.
QStringList extractArchive(const QString& archivePath, const QString& folder);

} // namespace kemnoa::lzh
