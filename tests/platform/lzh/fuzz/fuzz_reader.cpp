// Fuzz target for the archive reader: any input must end in a clean LzhError or a verified member,
// never in a crash, a hang or unbounded memory. The same input is also decoded as a bare -lh5- stream,
// to reach the decoder without passing a header first.

#include "platform/lzh/archive_reader.h"
#include "platform/lzh/lh5_decoder.h"
#include "platform/lzh/lzh_error.h"

#include <array>
#include <cstddef>
#include <cstdint>

using namespace kemnoa::lzh;

namespace {

constexpr size_t OutputCap = 4u << 20;

// Discards output but stops members whose (damaged) header claims more than we care to decode.
class CappedNullSink : public ByteSink {
public:
    void write(const uint8_t*, size_t n) override {
        total_ += n;
        if (total_ > OutputCap)
            throw LzhError(LzhError::Kind::Limit, "output cap");
    }

private:
    size_t total_ = 0;
};

void readArchive(const uint8_t* data, size_t size) {
    MemorySource src(data, size);
    ArchiveReader reader(src);
    int members = 0;
    while (const auto h = reader.next()) {
        if (++members > 256)
            break;
        CappedNullSink sink;
        reader.extract(sink);
    }
}

void decodeRaw(const uint8_t* data, size_t size) {
    if (size < 1)
        return;
    const int dicBits = data[0] % 3 == 0 ? 13 : data[0] % 3 == 1 ? 15 : 16;
    MemorySource src(data + 1, size - 1);
    Lh5Decoder dec(src, size - 1, Lh5Params{dicBits});
    std::array<uint8_t, 4096> buf;
    for (size_t total = 0; total < 256 * 1024; total += buf.size())
        dec.read(buf.data(), buf.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        readArchive(data, size);
    } catch (const LzhError&) {
    }
    try {
        decodeRaw(data, size);
    } catch (const LzhError&) {
    }
    return 0;
}
