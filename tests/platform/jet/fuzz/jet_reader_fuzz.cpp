// libFuzzer entry for the Jet reader: every input is opened in-process (no child check) and all its
// tables are read, so any crash, hang or leak in libmdb or in our decoding shows up here.
// Built by tools/build-jet-fuzzer; the regression test runs the same function over seed files.

#include "platform/jet/jet_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kemnoa::jet;
    JetReader::Options options;
    options.isolate = false;
    try {
        JetReader reader =
            JetReader::fromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), options);
        for (const QString& table : reader.tables()) {
            reader.columns(table);
            reader.forEachRow(table, [](const Row& row) {
                for (const Value& v : row)
                    (void)v.toText();
            });
        }
    } catch (const kemnoa::Error&) {
        // A refused file is the expected outcome for most inputs.
    }
    return 0;
}
