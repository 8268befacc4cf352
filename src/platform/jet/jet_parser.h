#pragma once
// Reads the files of one run (the order files of an import) through one isolated child kept for the
// run: the child's start is paid once instead of per file, and the next file can be parsed while the
// program works on this one. What comes back is the same JetReader, with the same errors, as
// JetReader(path, options) gives for an isolated read.

#include "platform/jet/isolated_worker.h"
#include "platform/jet/jet_reader.h"

#include <QTemporaryFile>
#include <memory>
#include <optional>

namespace kemnoa::jet {

class JetParser {
public:
    explicit JetParser(const JetReader::Options& options = {});
    ~JetParser();

    // The file parsed: taken from an earlier prefetch() when the file is still the one it parsed,
    // else parsed now.
    JetReader read(const QString& path);
    // Starts parsing a file that read() is likely to be asked for next, and returns at once. A file
    // changed, renamed or replaced in the meantime is parsed again by read().
    void prefetch(const QString& path);

private:
    struct Identity {
        quint64 device = 0, inode = 0;
        qint64 size = 0, modifiedNs = 0;
        bool operator==(const Identity&) const = default;
    };
    struct Pending {
        QString path;
        std::optional<Identity> identity;
        std::unique_ptr<QTemporaryFile> decoded;
    };
    static std::optional<Identity> identityOf(const QString& path);
    bool start(const QString& path);
    void drop();

    JetReader::Options options_;
    IsolatedWorker worker_;
    std::optional<Pending> pending_;
};

} // namespace kemnoa::jet
