#pragma once
// Writes an archive member by member: level-2 headers, -lh5- data, or -lh0- when compressing does not
// make a member smaller. The header is written first and filled in once the data is known.

#include "platform/lzh/member_header.h"

#include <functional>
#include <memory>

namespace kemnoa::lzh {

class ArchiveWriter {
public:
    // Opens the member's data from its start. Called a second time when the member is stored.
    using Opener = std::function<std::unique_ptr<ByteSource>()>;

    explicit ArchiveWriter(SeekableSink& out) : out_(out) {}
    // name: the stored name bytes (code page 932); mtime: seconds since 1970 UTC.
    void addMember(const std::string& name, int64_t mtime, const Opener& open);
    // Appends a member of another archive unchanged (header and packed data).
    void addRaw(const MemberHeader& header, const std::function<void(ByteSink&)>& copyPacked);
    // Writes the end-of-archive mark.
    void finish();

private:
    SeekableSink& out_;
};

} // namespace kemnoa::lzh
