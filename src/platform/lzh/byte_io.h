#pragma once
// Minimal byte streams the codec and archive layers work on, so they run on files, memory and fuzz input
// alike.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kemnoa::lzh {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; returns fewer only at the end of the data. Throws LzhError on a read failure.
    virtual size_t read(uint8_t* data, size_t n) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all n bytes or throws LzhError.
    virtual void write(const uint8_t* data, size_t n) = 0;
};

// An output the archive writer can go back into to fill in a member's header once its data is known.
class SeekableSink : public ByteSink {
public:
    virtual uint64_t position() = 0;
    virtual void seek(uint64_t pos) = 0;
    // Cuts the output at pos (used when a member is rewritten stored).
    virtual void truncate(uint64_t pos) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t read(uint8_t* out, size_t n) override {
        const size_t k = n < size_ - pos_ ? n : size_ - pos_;
        if (k > 0)
            std::memcpy(out, data_ + pos_, k);
        pos_ += k;
        return k;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

class MemorySink : public SeekableSink {
public:
    void write(const uint8_t* data, size_t n) override {
        if (pos_ + n > bytes.size())
            bytes.resize(pos_ + n);
        if (n > 0)
            std::memcpy(bytes.data() + pos_, data, n);
        pos_ += n;
    }
    uint64_t position() override { return pos_; }
    void seek(uint64_t pos) override { pos_ = static_cast<size_t>(pos); }
    void truncate(uint64_t pos) override {
        bytes.resize(static_cast<size_t>(pos));
        if (pos_ > pos)
            pos_ = static_cast<size_t>(pos);
    }
    std::vector<uint8_t> bytes;

private:
    size_t pos_ = 0;
};

} // namespace kemnoa::lzh
