#pragma once
// The zip container of a workbook: read with limits (a hostile file cannot exhaust memory) and
// written reproducibly (fixed entry times, the order the caller gives).

#include <QString>
#include <cstdint>
#include <map>
#include <string>
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

struct ZipEntry {
    std::string name;
    const std::string* data;
};
// Builds the archive in memory; entries keep the given order and a fixed time stamp.
std::string writeZip(const std::vector<ZipEntry>& entries);

// Reads a whole file, refusing one larger than maxBytes. Throws WorkbookError.
std::string readFileBytes(const QString& path, uint64_t maxBytes);
// Writes the bytes under path through a temporary file, replacing a file of that name.
void replaceFile(const QString& path, const std::string& bytes);

} // namespace kemnoa::xlsx
