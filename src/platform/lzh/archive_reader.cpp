#include "platform/lzh/archive_reader.h"

#include "platform/lzh/crc16.h"
#include "platform/lzh/lh5_decoder.h"
#include "platform/lzh/lzh_error.h"

#include <array>

namespace kemnoa::lzh {

namespace {

// Passes on at most `left` bytes of the underlying source and counts them down.
class LimitedSource : public ByteSource {
public:
    LimitedSource(ByteSource& in, uint64_t& left) : in_(in), left_(left) {}
    size_t read(uint8_t* data, size_t n) override {
        const size_t k = left_ < n ? static_cast<size_t>(left_) : n;
        const size_t got = k ? in_.read(data, k) : 0;
        left_ -= got;
        return got;
    }

private:
    ByteSource& in_;
    uint64_t& left_;
};

std::optional<Lh5Params> lhParams(const std::string& m) {
    if (m == "-lh5-")
        return Lh5Params{13};
    if (m == "-lh6-")
        return Lh5Params{15};
    if (m == "-lh7-")
        return Lh5Params{16};
    return std::nullopt;
}

bool isStored(const std::string& m) {
    return m == "-lh0-" || m == "-lz4-";
}

} // namespace

bool isSupportedMethod(const std::string& method) {
    return isStored(method) || method == "-lhd-" || lhParams(method).has_value();
}

std::optional<MemberHeader> ArchiveReader::next() {
    if (ended_)
        return std::nullopt;
    if (current_)
        skipRest();
    current_ = readHeader(in_);
    dataLeft_ = current_ ? current_->packedSize : 0;
    ended_ = !current_;
    return current_;
}

void ArchiveReader::skipRest() {
    std::array<uint8_t, 16384> buf;
    while (dataLeft_ > 0) {
        const size_t want = dataLeft_ < buf.size() ? static_cast<size_t>(dataLeft_) : buf.size();
        const size_t got = in_.read(buf.data(), want);
        if (got == 0)
            throw LzhError(LzhError::Kind::Corrupt, "archive ends inside member data");
        dataLeft_ -= got;
    }
}

void ArchiveReader::copyPacked(ByteSink& out) {
    if (!current_)
        throw LzhError(LzhError::Kind::Corrupt, "no current member");
    std::array<uint8_t, 16384> buf;
    LimitedSource src(in_, dataLeft_);
    while (dataLeft_ > 0) {
        const size_t got = src.read(buf.data(), buf.size());
        if (got == 0)
            throw LzhError(LzhError::Kind::Corrupt, "archive ends inside member data");
        out.write(buf.data(), got);
    }
}

void ArchiveReader::extract(ByteSink& out) {
    if (!current_)
        throw LzhError(LzhError::Kind::Corrupt, "no current member");
    const MemberHeader& h = *current_;
    if (h.isDirectory())
        return;
    if (h.originalSize > MaxMemberSize ||
        (h.originalSize >= RatioCheckedFrom && h.originalSize / MaxExpansion > h.packedSize))
        throw LzhError(LzhError::Kind::Limit, "member " + h.name + " declares " +
                                                  std::to_string(h.originalSize) + " bytes from " +
                                                  std::to_string(h.packedSize) + " packed bytes; refused");
    std::array<uint8_t, 16384> buf;
    Crc16 crc;
    uint64_t left = h.originalSize;
    LimitedSource src(in_, dataLeft_);
    if (isStored(h.method)) {
        if (h.packedSize != h.originalSize)
            throw LzhError(LzhError::Kind::Corrupt, "stored member with differing sizes");
        while (left > 0) {
            const size_t got =
                src.read(buf.data(), left < buf.size() ? static_cast<size_t>(left) : buf.size());
            if (got == 0)
                throw LzhError(LzhError::Kind::Corrupt, "archive ends inside member data");
            crc.update(buf.data(), got);
            out.write(buf.data(), got);
            left -= got;
        }
    } else if (const auto params = lhParams(h.method)) {
        Lh5Decoder dec(src, h.packedSize, *params);
        while (left > 0) {
            const size_t n = dec.read(buf.data(), left < buf.size() ? static_cast<size_t>(left) : buf.size());
            crc.update(buf.data(), n);
            out.write(buf.data(), n);
            left -= n;
        }
    } else {
        throw LzhError(LzhError::Kind::Unsupported, "unsupported method " + h.method);
    }
    if (crc.value() != h.crc)
        throw LzhError(LzhError::Kind::Corrupt, "CRC mismatch in " + h.name);
}

} // namespace kemnoa::lzh
