#pragma once
// Failures of the LZH archiver: a corrupt or unsupported archive, or a file that cannot be read or written.

#include <stdexcept>
#include <string>

namespace kemnoa::lzh {

class LzhError : public std::runtime_error {
public:
    enum class Kind {
        Corrupt,     // the archive's bytes are not a valid archive (bad header, bad data, CRC mismatch)
        Unsupported, // a valid header with a method or level this reader does not handle
        Io,          // reading or writing a file failed
        Limit,       // a size the format cannot hold, or a name it cannot carry
    };
    LzhError(Kind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

} // namespace kemnoa::lzh
