#pragma once
// The zip container of a workbook: read with limits (a hostile file cannot exhaust memory) and
// written reproducibly (fixed entry times, the order the caller gives).

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kemnoa::xlsx {

struct ReadLimits {
    size_t maxEntries = 10000;
    uint64_t maxEntryBytes = 128ull << 20; // one uncompressed part
    uint64_t maxTotalBytes = 256ull << 20; // all parts together, uncompressed
};

// Part name (without leading "/") -> content. Throws WorkbookError.
using PartMap = std::map<std::string, std::string>;
PartMap readZip(const std::string& archive, const ReadLimits& limits);

// Builds an archive in memory, entry by entry in the order given, each deflated as it is written
// (an entry's text need never be whole in memory) and with a fixed time stamp, so that the same
// parts give the same bytes. Throws WorkbookError.
class ZipWriter {
public:
    ZipWriter();
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    void begin(const std::string& name);
    void write(std::string_view data);
    void end();
    void add(const std::string& name, std::string_view data);
    // The archive; the writer is done.
    std::string finish();

private:
    struct Entry;
    struct Stream;
    void deflateInto(std::string_view data, bool last);
    std::string out_;
    std::vector<Entry> entries_;
    std::unique_ptr<Stream> stream_; // of the entry being written
};

struct ZipEntry {
    std::string name;
    const std::string* data;
};
// The archive of the entries, in the given order.
std::string writeZip(const std::vector<ZipEntry>& entries);

// Reads a whole file, refusing one larger than maxBytes. Throws WorkbookError.
std::string readFileBytes(const QString& path, uint64_t maxBytes);
// Writes the bytes under path through a temporary file, replacing a file of that name.
void replaceFile(const QString& path, const std::string& bytes);

} // namespace kemnoa::xlsx
