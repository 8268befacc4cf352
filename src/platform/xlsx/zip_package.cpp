#include "platform/xlsx/zip_package.h"

#include "platform/xlsx/workbook_error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <memory>
#include <zip.h>
#include <zlib.h>

namespace kemnoa::xlsx {
namespace {

QString zipErrorText(zip_error_t* error) {
    return QString::fromUtf8(zip_error_strerror(error));
}

struct ArchiveCloser {
    void operator()(zip_t* za) const { zip_discard(za); }
};
struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

} // namespace

PartMap readZip(const std::string& archive, const ReadLimits& limits) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    if (!source) {
        const QString text = zipErrorText(&error);
        zip_error_fini(&error);
        throw WorkbookError(QStringLiteral("ブックを読めません: ") + text);
    }
    std::unique_ptr<zip_t, ArchiveCloser> za(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!za) {
        zip_source_free(source);
        const QString text = zipErrorText(&error);
        zip_error_fini(&error);
        throw WorkbookError(QStringLiteral("ブックの形式が正しくありません: ") + text);
    }
    zip_error_fini(&error);

    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    if (count < 0 || uint64_t(count) > limits.maxEntries)
        throw WorkbookError(QStringLiteral("ブックの部品が多すぎます(%1)").arg(count));

    PartMap parts;
    uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* rawName = zip_get_name(za.get(), zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (!rawName)
            throw WorkbookError(QStringLiteral("ブックの部品名を読めません"));
        std::string name(rawName);
        if (name.empty() || name.back() == '/')
            continue; // a folder entry
        std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(za.get(), zip_uint64_t(i), 0));
        if (!file)
            throw WorkbookError(QStringLiteral("ブックの部品を開けません: ") + QString::fromUtf8(name));
        // Declared sizes may lie: read in chunks and stop at the limits.
        std::string data;
        char buffer[65536];
        for (;;) {
            const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
            if (n < 0)
                throw WorkbookError(QStringLiteral("ブックの部品が壊れています: ") + QString::fromUtf8(name));
            if (n == 0)
                break;
            total += uint64_t(n);
            if (data.size() + uint64_t(n) > limits.maxEntryBytes || total > limits.maxTotalBytes)
                throw WorkbookError(QStringLiteral("ブックの展開後の大きさが上限を超えています"));
            data.append(buffer, size_t(n));
        }
        if (!parts.emplace(std::move(name), std::move(data)).second)
            throw WorkbookError(QStringLiteral("ブックに同じ名前の部品があります"));
    }
    return parts;
}

// The archive format is PKWARE's APPNOTE: per entry a local header, then the deflated data; then the
// central directory and its end record. Sizes and CRC are patched into the local header once the entry
// is written, as the archive is built in memory.
namespace {
constexpr uint16_t kDosDate = (1 << 5) | 1; // 1980-01-01, 00:00
constexpr uint16_t kUtf8Names = 0x0800;

void put16(std::string& out, uint16_t v) {
    out += char(v & 0xFF);
    out += char(v >> 8);
}
void put32(std::string& out, uint32_t v) {
    put16(out, uint16_t(v & 0xFFFF));
    put16(out, uint16_t(v >> 16));
}
void patch32(std::string& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}
[[noreturn]] void cannotWrite(const QString& why) {
    throw WorkbookError(QStringLiteral("ブックを書けません: ") + why);
}
} // namespace

struct ZipWriter::Entry {
    std::string name;
    uint16_t flags = 0;
    uint32_t crc = 0, compressed = 0, size = 0, offset = 0;
};

struct ZipWriter::Stream {
    z_stream z{};
    uint64_t size = 0;
    uint32_t crc = 0;
    ~Stream() { deflateEnd(&z); }
};

ZipWriter::ZipWriter() = default;
ZipWriter::~ZipWriter() = default;

void ZipWriter::begin(const std::string& name) {
    if (stream_)
        cannotWrite(QStringLiteral("前の部品が閉じられていません"));
    if (entries_.size() >= 0xFFFF || name.size() > 0xFFFF)
        cannotWrite(QStringLiteral("部品が多すぎます"));
    Entry e;
    e.name = name;
    e.offset = uint32_t(out_.size());
    for (char c : name)
        if (static_cast<unsigned char>(c) >= 0x80)
            e.flags = kUtf8Names;
    put32(out_, 0x04034b50);
    put16(out_, 20); // version needed: deflate
    put16(out_, e.flags);
    put16(out_, 8); // deflate
    put16(out_, 0);
    put16(out_, kDosDate);
    put32(out_, 0); // CRC and sizes, patched by end()
    put32(out_, 0);
    put32(out_, 0);
    put16(out_, uint16_t(name.size()));
    put16(out_, 0);
    out_ += name;
    entries_.push_back(std::move(e));
    stream_ = std::make_unique<Stream>();
    stream_->crc = uint32_t(crc32(0, nullptr, 0));
    // Fast deflate: sheet XML is repetitive, where higher levels cost much time for little size.
    if (deflateInit2(&stream_->z, 1, Z_DEFLATED, -MAX_WBITS, MAX_MEM_LEVEL, Z_DEFAULT_STRATEGY) != Z_OK) {
        stream_.reset();
        cannotWrite(QStringLiteral("圧縮を始められません"));
    }
}

void ZipWriter::deflateInto(std::string_view data, bool last) {
    z_stream& z = stream_->z;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    for (;;) {
        // Deflate straight into the archive's spare room.
        const size_t at = out_.size();
        const size_t room = std::max<size_t>(data.size() / 2 + 64, 16384);
        out_.resize(at + room);
        z.next_out = reinterpret_cast<Bytef*>(out_.data() + at);
        z.avail_out = uInt(room);
        const int rc = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        out_.resize(at + room - z.avail_out);
        if (rc == Z_STREAM_END)
            return;
        if (rc != Z_OK && rc != Z_BUF_ERROR)
            cannotWrite(QStringLiteral("圧縮に失敗しました"));
        if (!last && z.avail_in == 0)
            return;
    }
}

void ZipWriter::write(std::string_view data) {
    if (!stream_)
        cannotWrite(QStringLiteral("部品が開かれていません"));
    // zlib takes at most 4 GiB a call; parts are far smaller, but keep to it.
    while (!data.empty()) {
        const std::string_view piece = data.substr(0, 1u << 30);
        stream_->crc =
            uint32_t(crc32(stream_->crc, reinterpret_cast<const Bytef*>(piece.data()), uInt(piece.size())));
        stream_->size += piece.size();
        deflateInto(piece, false);
        data.remove_prefix(piece.size());
    }
}

void ZipWriter::end() {
    if (!stream_)
        cannotWrite(QStringLiteral("部品が開かれていません"));
    deflateInto({}, true);
    Entry& e = entries_.back();
    const uint64_t compressed = out_.size() - e.offset - 30 - e.name.size();
    if (stream_->size > 0xFFFFFFFEu || compressed > 0xFFFFFFFEu || out_.size() > 0xFFFFFFFEu)
        cannotWrite(QStringLiteral("ブックが大きすぎます"));
    e.crc = stream_->crc;
    e.size = uint32_t(stream_->size);
    e.compressed = uint32_t(compressed);
    patch32(out_, e.offset + 14, e.crc);
    patch32(out_, e.offset + 18, e.compressed);
    patch32(out_, e.offset + 22, e.size);
    stream_.reset();
}

void ZipWriter::add(const std::string& name, std::string_view data) {
    begin(name);
    write(data);
    end();
}

std::string ZipWriter::finish() {
    if (stream_)
        cannotWrite(QStringLiteral("部品が閉じられていません"));
    const uint32_t directory = uint32_t(out_.size());
    for (const Entry& e : entries_) {
        put32(out_, 0x02014b50);
        put16(out_, 20); // made by: MS-DOS compatible attributes, version 2.0
        put16(out_, 20);
        put16(out_, e.flags);
        put16(out_, 8);
        put16(out_, 0);
        put16(out_, kDosDate);
        put32(out_, e.crc);
        put32(out_, e.compressed);
        put32(out_, e.size);
        put16(out_, uint16_t(e.name.size()));
        put16(out_, 0); // extra field
        put16(out_, 0); // comment
        put16(out_, 0); // disk
        put16(out_, 0); // internal attributes
        put32(out_, 0); // external attributes
        put32(out_, e.offset);
        out_ += e.name;
    }
    if (out_.size() > 0xFFFFFFFEu)
        cannotWrite(QStringLiteral("ブックが大きすぎます"));
    const uint32_t directorySize = uint32_t(out_.size()) - directory;
    put32(out_, 0x06054b50);
    put16(out_, 0);
    put16(out_, 0);
    put16(out_, uint16_t(entries_.size()));
    put16(out_, uint16_t(entries_.size()));
    put32(out_, directorySize);
    put32(out_, directory);
    put16(out_, 0);
    entries_.clear();
    return std::move(out_);
}

std::string writeZip(const std::vector<ZipEntry>& entries) {
    ZipWriter zip;
    for (const ZipEntry& entry : entries)
        zip.add(entry.name, *entry.data);
    return zip.finish();
}

std::string readFileBytes(const QString& path, uint64_t maxBytes) {
    QFile file(path);
    if (!file.exists())
        throw WorkbookError(QStringLiteral("ファイルが見つかりません。: ") + path, xlsxerr::FileNotFound);
    if (!file.open(QIODevice::ReadOnly))
        throw WorkbookError(QStringLiteral("ファイルを開けません。: ") + path, xlsxerr::FileAccess);
    if (uint64_t(file.size()) > maxBytes)
        throw WorkbookError(QStringLiteral("ファイルが大きすぎます。: ") + path);
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

void replaceFile(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.commit())
        throw WorkbookError(QStringLiteral("ファイルを保存できません。: ") + path + QStringLiteral(" ") +
                                file.errorString(),
                            xlsxerr::FileAccess);
}

} // namespace kemnoa::xlsx
