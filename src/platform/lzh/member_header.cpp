#include "platform/lzh/member_header.h"

#include "platform/lzh/crc16.h"
#include "platform/lzh/lzh_error.h"

#include <ctime>

namespace kemnoa::lzh {

namespace {

constexpr size_t MaxExtendedBytes = 1 << 20; // a level-1 extension chain longer than this is not real

[[noreturn]] void corrupt(const std::string& what) {
    throw LzhError(LzhError::Kind::Corrupt, "corrupt archive header: " + what);
}

void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

uint32_t get16(const uint8_t* p) {
    return p[0] | p[1] << 8;
}
uint32_t get32(const uint8_t* p) {
    return get16(p) | get16(p + 2) << 16;
}
uint64_t get64(const uint8_t* p) {
    return get32(p) | static_cast<uint64_t>(get32(p + 4)) << 32;
}

void readExact(ByteSource& in, uint8_t* p, size_t n) {
    if (in.read(p, n) != n)
        corrupt("archive ends inside a header");
}

// MS-DOS date and time (local time) of level-0 and level-1 headers.
int64_t fromDosTime(uint32_t v) {
    std::tm t{};
    t.tm_sec = static_cast<int>(v & 31) * 2;
    t.tm_min = static_cast<int>(v >> 5 & 63);
    t.tm_hour = static_cast<int>(v >> 11 & 31);
    t.tm_mday = static_cast<int>(v >> 16 & 31);
    t.tm_mon = static_cast<int>(v >> 21 & 15) - 1;
    t.tm_year = static_cast<int>(v >> 25 & 127) + 80;
    t.tm_isdst = -1;
    const std::time_t r = std::mktime(&t);
    return r == static_cast<std::time_t>(-1) ? 0 : static_cast<int64_t>(r);
}

bool isCp932Lead(uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Folder separators of older headers ('\' or 0xFF) become '/'; a '\' that is the second byte of a
// double-byte character stays.
std::string normalizeName(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const uint8_t b = static_cast<uint8_t>(s[i]);
        if (isCp932Lead(b) && i + 1 < s.size()) {
            r += s[i];
            r += s[++i];
        } else if (b == 0xFF || b == '\\') {
            r += '/';
        } else {
            r += s[i];
        }
    }
    return r;
}

struct Extensions {
    std::string dir;
    std::string name;
    bool haveName = false;
};

// One extended header (type byte followed by its data).
void applyExtension(MemberHeader& h, Extensions& ext, const uint8_t* p, size_t n, size_t crcAt,
                    std::optional<size_t>& crcOffset) {
    const uint8_t type = p[0];
    const uint8_t* d = p + 1;
    const size_t len = n - 1;
    switch (type) {
    case 0x00: // common: header CRC
        if (len >= 2)
            crcOffset = crcAt + 1;
        break;
    case 0x01:
        ext.name.assign(reinterpret_cast<const char*>(d), len);
        ext.haveName = true;
        break;
    case 0x02:
        ext.dir.assign(reinterpret_cast<const char*>(d), len);
        break;
    case 0x40:
        if (len >= 2)
            h.attribute = static_cast<uint16_t>(get16(d));
        break;
    case 0x42: // 64-bit sizes
        if (len >= 16) {
            h.packedSize = get64(d);
            h.originalSize = get64(d + 8);
        }
        break;
    case 0x54:
        if (len >= 4)
            h.mtime = get32(d);
        break;
    default:
        break;
    }
}

std::string joinName(const std::string& dir, const std::string& name) {
    if (dir.empty())
        return name;
    std::string d = dir;
    if (d.back() != '\xFF' && d.back() != '/' && d.back() != '\\')
        d += '/';
    return d + name;
}

} // namespace

std::vector<uint8_t> encodeLevel2(const MemberHeader& h) {
    if (h.method.size() != 5)
        throw LzhError(LzhError::Kind::Limit, "bad method id");
    if (h.packedSize > 0xFFFFFFFFu || h.originalSize > 0xFFFFFFFFu)
        throw LzhError(LzhError::Kind::Limit, "file too large for the archive (4 GiB or more)");
    if (h.name.empty())
        throw LzhError(LzhError::Kind::Limit, "empty member name");
    const size_t base = 26;  // fixed part including the first next-size field
    const size_t common = 5; // type 0x00: header CRC
    const size_t nameExt = 3 + h.name.size();
    const size_t attrExt = 5; // type 0x40: MS-DOS attribute
    size_t total = base + common + nameExt + attrExt;
    // A header whose size has a zero low byte would read as the end-of-archive mark.
    const bool pad = (total & 0xFF) == 0;
    if (pad)
        ++total;
    if (total > 0xFFFF)
        throw LzhError(LzhError::Kind::Limit, "member name too long");

    std::vector<uint8_t> b(total, 0);
    put16(b, 0, static_cast<uint32_t>(total));
    for (int i = 0; i < 5; ++i)
        b[2 + i] = static_cast<uint8_t>(h.method[i]);
    put32(b, 7, static_cast<uint32_t>(h.packedSize));
    put32(b, 11, static_cast<uint32_t>(h.originalSize));
    const int64_t t = h.mtime < 0 ? 0 : h.mtime > 0xFFFFFFFFLL ? 0xFFFFFFFFLL : h.mtime;
    put32(b, 15, static_cast<uint32_t>(t));
    b[19] = 0x20;
    b[20] = 2;
    put16(b, 21, h.crc);
    b[23] = h.os;
    put16(b, 24, common);
    size_t at = base;
    b[at] = 0x00;
    const size_t crcAt = at + 1;
    put16(b, at + 3, static_cast<uint32_t>(nameExt));
    at += common;
    b[at] = 0x01;
    for (size_t i = 0; i < h.name.size(); ++i)
        b[at + 1 + i] = static_cast<uint8_t>(h.name[i]);
    put16(b, at + 1 + h.name.size(), attrExt);
    at += nameExt;
    b[at] = 0x40;
    put16(b, at + 1, h.attribute);
    put16(b, at + 3, 0);
    put16(b, crcAt, crc16(b.data(), b.size()));
    return b;
}

std::optional<MemberHeader> readHeader(ByteSource& in) {
    std::vector<uint8_t> b(22);
    // An archive ends with a zero byte; without it the archive was cut short, possibly right
    // between two members, and must not pass for complete.
    if (in.read(b.data(), 1) != 1)
        corrupt("the archive ends without its end mark");
    if (b[0] == 0)
        return std::nullopt;
    readExact(in, b.data() + 1, 21);
    MemberHeader h;
    h.level = b[20];
    h.method.assign(reinterpret_cast<const char*>(b.data() + 2), 5);
    h.packedSize = get32(b.data() + 7);
    h.originalSize = get32(b.data() + 11);
    Extensions ext;
    std::optional<size_t> crcOffset;

    if (h.level == 0 || h.level == 1) {
        const size_t size = b[0] + 2u;
        if (size < 24)
            corrupt("too short");
        b.resize(size);
        readExact(in, b.data() + 22, size - 22);
        unsigned sum = 0;
        for (size_t i = 2; i < size; ++i)
            sum += b[i];
        if ((sum & 0xFF) != b[1])
            corrupt("checksum mismatch");
        h.mtime = fromDosTime(get32(b.data() + 15));
        h.attribute = b[19];
        const size_t nameLen = b[21];
        if (22 + nameLen + 2 > size)
            corrupt("name runs past the header");
        h.name.assign(reinterpret_cast<const char*>(b.data() + 22), nameLen);
        h.crc = static_cast<uint16_t>(get16(b.data() + 22 + nameLen));
        h.os = 0;
        if (h.level == 1) {
            if (22 + nameLen + 5 > size)
                corrupt("too short");
            h.os = b[24 + nameLen];
            size_t next = get16(b.data() + size - 2);
            uint64_t extTotal = 0;
            while (next != 0) {
                if (next < 3 || extTotal + next > MaxExtendedBytes)
                    corrupt("bad extended header");
                const size_t at = b.size();
                b.resize(at + next);
                readExact(in, b.data() + at, next);
                extTotal += next;
                applyExtension(h, ext, b.data() + at, next - 2, at, crcOffset);
                next = get16(b.data() + at + next - 2);
            }
            // Level 1 counts the extended headers in the packed size.
            if (extTotal > h.packedSize)
                corrupt("extended headers larger than the member");
            h.packedSize -= extTotal;
        }
    } else if (h.level == 2) {
        const size_t size = get16(b.data());
        if (size < 26)
            corrupt("too short");
        b.resize(size);
        readExact(in, b.data() + 22, size - 22);
        h.mtime = get32(b.data() + 15);
        h.crc = static_cast<uint16_t>(get16(b.data() + 21));
        h.os = b[23];
        size_t at = 24;
        size_t next = get16(b.data() + at);
        at += 2;
        while (next != 0) {
            if (next < 3 || at + next > size)
                corrupt("bad extended header");
            applyExtension(h, ext, b.data() + at, next - 2, at, crcOffset);
            at += next;
            next = get16(b.data() + at - 2);
        }
        if (crcOffset) {
            std::vector<uint8_t> copy = b;
            const uint16_t stored = static_cast<uint16_t>(get16(copy.data() + *crcOffset));
            copy[*crcOffset] = copy[*crcOffset + 1] = 0;
            if (crc16(copy.data(), copy.size()) != stored)
                corrupt("header CRC mismatch");
        }
    } else {
        throw LzhError(LzhError::Kind::Unsupported, "unsupported header level " + std::to_string(h.level));
    }

    if (ext.haveName)
        h.name = ext.name;
    h.name = normalizeName(joinName(ext.dir, h.name));
    if (h.name.empty())
        corrupt("member without a name");
    h.raw = std::move(b);
    return h;
}

} // namespace kemnoa::lzh
