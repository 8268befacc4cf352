#include "platform/xlsx/zip_package.h"

#include "platform/xlsx/workbook_error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <memory>
#include <zip.h>

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

std::string writeZip(const std::vector<ZipEntry>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer)
        throw WorkbookError(QStringLiteral("ブックを書けません: ") + zipErrorText(&error));
    zip_source_keep(buffer);
    zip_t* za = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!za) {
        zip_source_free(buffer);
        throw WorkbookError(QStringLiteral("ブックを書けません: ") + zipErrorText(&error));
    }
    zip_error_fini(&error);
    auto fail = [&](const QString& what) {
        const QString text = QString::fromUtf8(zip_strerror(za));
        zip_discard(za);
        zip_source_free(buffer);
        throw WorkbookError(what + text);
    };
    for (const ZipEntry& entry : entries) {
        zip_source_t* data = zip_source_buffer(za, entry.data->data(), entry.data->size(), 0);
        if (!data)
            fail(QStringLiteral("ブックを書けません: "));
        const zip_int64_t index = zip_file_add(za, entry.name.c_str(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(data);
            fail(QStringLiteral("ブックを書けません: "));
        }
        // 1980-01-01 00:00, so that the same workbook gives the same bytes.
        zip_file_set_dostime(za, zip_uint64_t(index), 0, (1 << 5) | 1, 0);
        // Fast deflate: sheet XML is repetitive, where higher levels cost much time for little size.
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(za) < 0)
        fail(QStringLiteral("ブックを書けません: "));

    std::string out;
    if (zip_source_open(buffer) < 0) {
        zip_source_free(buffer);
        throw WorkbookError(QStringLiteral("ブックを書けません"));
    }
    char chunk[65536];
    for (;;) {
        const zip_int64_t n = zip_source_read(buffer, chunk, sizeof chunk);
        if (n < 0) {
            zip_source_close(buffer);
            zip_source_free(buffer);
            throw WorkbookError(QStringLiteral("ブックを書けません"));
        }
        if (n == 0)
            break;
        out.append(chunk, size_t(n));
    }
    zip_source_close(buffer);
    zip_source_free(buffer);
    return out;
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
