// Fuzz entry point of the workbook reader: any bytes either load (and then survive reading,
// editing, copying and saving again) or give a WorkbookError.
//
// An input that starts like a zip archive is read as a whole workbook. Any other input replaces one
// part of a small valid workbook (its first byte chooses which), so the XML readers are reached
// without the fuzzer having to forge zip checksums.

#include "platform/xlsx/workbook.h"
#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/zip_package.h"

#include <QBuffer>
#include <QImage>
#include <cstddef>
#include <cstdint>

using namespace kemnoa::xlsx;

namespace {

const PartMap& basePackage() {
    static const PartMap parts = [] {
        Workbook book = Workbook::create();
        Sheet s = book.sheet(1);
        s.range(QStringLiteral("A1")).setValue(QStringLiteral("見出し"));
        s.range(QStringLiteral("B2")).setValue(QStringLiteral("12.5"));
        s.range(QStringLiteral("B2:D2")).merge();
        s.range(QStringLiteral("C3")).setBorders(EdgeBottom, LineStyle::Dot);
        s.range(QStringLiteral("E1")).setColumnWidth(12);
        book.setDefinedName(QStringLiteral("Qul"), QStringLiteral("Sheet1!$B$5:$D$9"), 1);
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::black);
        QByteArray png;
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        image.save(&out, "PNG");
        s.insertPictureData(png, QStringLiteral("F6"));
        return readZip(book.toBytes(), {});
    }();
    return parts;
}

void exercise(const std::string& bytes, const ReadLimits& limits) {
    Workbook book = Workbook::fromBytes(bytes, limits);
    for (int i = 1; i <= book.sheetCount(); ++i) {
        Sheet s = book.sheet(i);
        (void)s.range(QStringLiteral("A1:C3")).text();
        (void)s.range(QStringLiteral("B2")).font();
        (void)s.range(QStringLiteral("B2")).numberFormat();
        (void)s.shapeNames();
        s.range(QStringLiteral("B2")).setValue(QStringLiteral("12"));
        s.range(QStringLiteral("C3:D4")).setBorders(EdgeLeft | EdgeBottom, LineStyle::Continuous);
        try {
            (void)s.namedRange(QStringLiteral("Qul")).cell(2, 2).text();
        } catch (const WorkbookError&) {
        }
        try {
            s.moveShape(1, 3, 3);
        } catch (const WorkbookError&) {
        }
    }
    (void)book.definedNames();
    book.copySheetToEnd(book.sheet(1));
    book.deleteSheet(1);
    // What we write must read back.
    Workbook::fromBytes(book.toBytes(), limits);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadLimits limits;
    limits.maxEntries = 2000;
    limits.maxEntryBytes = 16u << 20;
    limits.maxTotalBytes = 32u << 20;
    const std::string input(reinterpret_cast<const char*>(data), size);
    try {
        if (input.rfind("PK", 0) == 0) {
            exercise(input, limits);
        } else if (!input.empty()) {
            PartMap parts = basePackage();
            auto it = parts.begin();
            std::advance(it, uint8_t(input[0]) % parts.size());
            it->second = input.substr(1);
            std::vector<ZipEntry> entries;
            for (const auto& [name, content] : parts)
                entries.push_back({name, &content});
            exercise(writeZip(entries), limits);
        }
    } catch (const WorkbookError&) {
    }
    return 0;
}
