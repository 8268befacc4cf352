#pragma once
// Reads an archive member by member from a sequential source, verifying each member's size and CRC.

#include "platform/lzh/member_header.h"

#include <cstdint>
#include <optional>

namespace kemnoa::lzh {

// Declared sizes beyond these are refused before anything is decoded or written: a member of a few
// hundred bytes must not fill the disk. lh5 cannot shrink data much beyond 1:1000 (a 256-byte match
// costs a few bits at the least), so a larger declared ratio is a lie about the size.
inline constexpr uint64_t MaxMemberSize = uint64_t{1} << 30;    // 1 GiB
inline constexpr uint64_t MaxExpansion = 4096;                  // original size per packed byte
inline constexpr uint64_t RatioCheckedFrom = uint64_t{1} << 20; // members below 1 MiB pass

class ArchiveReader {
public:
    explicit ArchiveReader(ByteSource& in) : in_(in) {}
    // The next member's header, or nothing at the end of the archive. The data of a member that was
    // not extracted is skipped.
    std::optional<MemberHeader> next();
    // Decodes the current member into out. Throws LzhError(Corrupt) when the data is damaged or its CRC
    // differs, LzhError(Unsupported) for a method this reader does not know, LzhError(Limit) for a
    // declared size or expansion beyond the limits above. Directories write nothing.
    void extract(ByteSink& out);
    // Hands the current member's packed bytes on unchanged (to copy a member into another archive).
    void copyPacked(ByteSink& out);

private:
    void skipRest();

    ByteSource& in_;
    std::optional<MemberHeader> current_;
    bool ended_ = false;    // the end mark was read
    uint64_t dataLeft_ = 0; // packed bytes of the current member not yet read
};

// True when this reader can extract the method.
bool isSupportedMethod(const std::string& method);

} // namespace kemnoa::lzh
