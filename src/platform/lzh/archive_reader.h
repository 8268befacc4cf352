#pragma once
// Reads an archive member by member from a sequential source, verifying each member's size and CRC.

#include "platform/lzh/member_header.h"

#include <cstdint>
#include <optional>

namespace kemnoa::lzh {

class ArchiveReader {
public:
    explicit ArchiveReader(ByteSource& in) : in_(in) {}
    // The next member's header, or nothing at the end of the archive. The data of a member that was
    // not extracted is skipped.
    std::optional<MemberHeader> next();
    // Decodes the current member into out. Throws LzhError(Corrupt) when the data is damaged or its CRC
    // differs, LzhError(Unsupported) for a method this reader does not know. Directories write nothing.
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
