#pragma once
// The header in front of each archive member. Written as level 2 (the level modern LHA tools write);
// read in levels 0, 1 and 2, so archives of other tools can be checked too.

#include "platform/lzh/byte_io.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kemnoa::lzh {

inline constexpr uint8_t OsMsDos = 'M';
inline constexpr uint16_t AttrArchive = 0x20;

struct MemberHeader {
    std::string method;      // five characters, for example "-lh5-"
    uint64_t packedSize = 0; // bytes of member data after the header
    uint64_t originalSize = 0;
    int64_t mtime = 0; // modification time, seconds since 1970 UTC
    uint16_t crc = 0;  // CRC-16 of the original data
    uint8_t level = 2;
    uint8_t os = OsMsDos;
    uint16_t attribute = AttrArchive;
    std::string name;         // bytes as stored (code page 932 for our archives), '/' between folders
    std::vector<uint8_t> raw; // the header's bytes as read (for copying a member unchanged)

    bool isDirectory() const { return method == "-lhd-"; }
};

// Encodes a level-2 header. Throws LzhError(Limit) when a size or the name does not fit.
std::vector<uint8_t> encodeLevel2(const MemberHeader& header);

// Reads the next header; nothing at the end-of-archive mark. Throws LzhError(Corrupt) for a malformed
// header or an input that ends without the mark, LzhError(Unsupported) for an unknown level.
std::optional<MemberHeader> readHeader(ByteSource& in);

} // namespace kemnoa::lzh
