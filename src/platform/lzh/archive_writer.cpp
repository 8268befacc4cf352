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

    std::array<uint8_t, 65536> buf;
    {
        Crc16 crc;
        uint64_t size = 0;
        Lh5Encoder enc(out_);
        const auto src = open();
        while (const size_t n = src->read(buf.data(), buf.size())) {
            size += n;
            if (size > MaxMemberSize)
                tooLarge();
            crc.update(buf.data(), n);
            enc.write(buf.data(), n);
        }
        enc.finish();
        h.originalSize = size;
        h.packedSize = enc.compressedBytes();
        h.crc = crc.value();
    }

    if (h.packedSize >= h.originalSize) {
        // Compression did not pay: store the file as it is.
        out_.seek(dataPos);
        out_.truncate(dataPos);
        Crc16 crc;
        uint64_t size = 0;
        const auto src = open();
        while (const size_t n = src->read(buf.data(), buf.size())) {
            size += n;
            if (size > MaxMemberSize)
                tooLarge();
            crc.update(buf.data(), n);
            out_.write(buf.data(), n);
        }
        h.method = "-lh0-";
        h.originalSize = h.packedSize = size;
        h.crc = crc.value();
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
