#include "platform/lzh/archive_writer.h"

#include "platform/lzh/crc16.h"
#include "platform/lzh/lh5_encoder.h"
#include "platform/lzh/lzh_error.h"

#include <array>

namespace kemnoa::lzh {

namespace {

constexpr uint64_t MaxMemberSize = 0xFFFFFFFFu; // sizes in a level-2 header are 32 bits

void tooLarge() {
    throw LzhError(LzhError::Kind::Limit, "file too large for the archive (4 GiB or more)");
}

struct StreamedSource {
    uint64_t size = 0;
    uint16_t crc = 0;
};

// Reads a member's source once from the start, handing every block to the sink; returns its size and CRC.
template <class Opener, class Sink> StreamedSource streamSource(const Opener& open, Sink&& sink) {
    std::array<uint8_t, 65536> buf;
    Crc16 crc;
    StreamedSource result;
    const auto src = open();
    while (const size_t n = src->read(buf.data(), buf.size())) {
        result.size += n;
        if (result.size > MaxMemberSize)
            tooLarge();
        crc.update(buf.data(), n);
        sink(buf.data(), n);
    }
    result.crc = crc.value();
    return result;
}

} // namespace

void ArchiveWriter::addMember(const std::string& name, int64_t mtime, const Opener& open) {
    MemberHeader h;
    h.method = "-lh5-";
    h.name = name;
    h.mtime = mtime;
    const uint64_t headerPos = out_.position();
    const std::vector<uint8_t> placeholder = encodeLevel2(h); // rewritten once the data is known
    const size_t headerSize = placeholder.size();
    out_.write(placeholder.data(), headerSize);
    const uint64_t dataPos = out_.position();

    {
        Lh5Encoder enc(out_);
        const StreamedSource read = streamSource(open, [&](const uint8_t* p, size_t n) { enc.write(p, n); });
        enc.finish();
        h.originalSize = read.size;
        h.packedSize = enc.compressedBytes();
        h.crc = read.crc;
    }

    if (h.packedSize >= h.originalSize) {
        // Compression did not pay: store the file as it is.
        out_.seek(dataPos);
        out_.truncate(dataPos);
        const StreamedSource read = streamSource(open, [&](const uint8_t* p, size_t n) { out_.write(p, n); });
        h.method = "-lh0-";
        h.originalSize = h.packedSize = read.size;
        h.crc = read.crc;
    }

    const uint64_t end = out_.position();
    const std::vector<uint8_t> header = encodeLevel2(h);
    if (header.size() != headerSize)
        throw LzhError(LzhError::Kind::Limit, "header size changed");
    out_.seek(headerPos);
    out_.write(header.data(), header.size());
    out_.seek(end);
}

void ArchiveWriter::addRaw(const MemberHeader& header, const std::function<void(ByteSink&)>& copyPacked) {
    out_.write(header.raw.data(), header.raw.size());
    copyPacked(out_);
}

void ArchiveWriter::finish() {
    const uint8_t end = 0;
    out_.write(&end, 1);
}

} // namespace kemnoa::lzh
