// Fuzz entry point of the workbook reader: any bytes either load (and then survive reading every
// cell and saving again) or give a WorkbookError.

#include "platform/xlsx/workbook.h"
#include "platform/xlsx/workbook_error.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kemnoa::xlsx;
    ReadLimits limits;
    limits.maxEntries = 2000;
    limits.maxEntryBytes = 16u << 20;
    limits.maxTotalBytes = 32u << 20;
    try {
        Workbook book = Workbook::fromBytes(std::string(reinterpret_cast<const char*>(data), size), limits);
        for (int i = 1; i <= book.sheetCount(); ++i) {
            Sheet s = book.sheet(i);
            (void)s.range(QStringLiteral("A1:C3")).text();
            (void)s.range(QStringLiteral("A1")).font();
            (void)s.shapeNames();
            s.range(QStringLiteral("B2")).setValue(QStringLiteral("12"));
        }
        (void)book.definedNames();
        book.copySheetToEnd(book.sheet(1));
        if (book.sheetCount() > 1)
            book.deleteSheet(1);
        const std::string saved = book.toBytes();
        Workbook::fromBytes(saved, limits); // what we write must read back
    } catch (const WorkbookError&) {
    }
    return 0;
}
