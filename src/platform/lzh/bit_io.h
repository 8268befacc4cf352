#pragma once
// Most-significant-bit-first bit streams, as the LZH Huffman coders read and write them.

#include "platform/lzh/byte_io.h"
#include "platform/lzh/lzh_error.h"

#include <array>
#include <cstdint>

namespace kemnoa::lzh {

class BitWriter {
public:
    explicit BitWriter(ByteSink& sink) : sink_(sink) {}
    // Appends the n low bits of value (n <= 16), highest first.
    void put(int n, unsigned value) {
        acc_ = (acc_ << n) | (value & ((1u << n) - 1u));
        count_ += n;
        while (count_ >= 8) {
            count_ -= 8;
            buf_[used_++] = static_cast<uint8_t>(acc_ >> count_);
            if (used_ == buf_.size())
                drain();
        }
    }
    // Pads the last byte with zero bits and hands everything to the sink.
    void flush() {
        if (count_ > 0)
            put(8 - count_, 0);
        drain();
    }
    uint64_t bytesWritten() const { return written_ + used_; }

private:
    void drain() {
        sink_.write(buf_.data(), used_);
        written_ += used_;
        used_ = 0;
    }
    ByteSink& sink_;
    std::array<uint8_t, 16384> buf_{};
    size_t used_ = 0;
    uint64_t acc_ = 0;
    int count_ = 0;
    uint64_t written_ = 0;
};

// Reads at most limitBytes from the source. Bits past the end read as zero, but consuming them is an error:
// a valid stream never needs them, and this bounds the work any input can cause.
class BitReader {
public:
    BitReader(ByteSource& source, uint64_t limitBytes) : source_(source), remaining_(limitBytes) {
        limitBits_ = limitBytes * 8;
    }
    unsigned peek16() {
        while (count_ <= 56) {
            acc_ = (acc_ << 8) | nextByte();
            count_ += 8;
        }
        return static_cast<unsigned>(acc_ >> (count_ - 16)) & 0xFFFFu;
    }
    void skip(int n) {
        count_ -= n;
        consumed_ += static_cast<uint64_t>(n);
        if (consumed_ > limitBits_)
            throw LzhError(LzhError::Kind::Corrupt, "compressed data ends early");
    }
    // n <= 16 bits.
    unsigned get(int n) {
        if (n == 0)
            return 0;
        const unsigned v = peek16() >> (16 - n);
        skip(n);
        return v;
    }

private:
    unsigned nextByte() {
        if (pos_ == len_) {
            if (remaining_ == 0)
                return 0;
            const size_t want = remaining_ < buf_.size() ? static_cast<size_t>(remaining_) : buf_.size();
            len_ = source_.read(buf_.data(), want);
            pos_ = 0;
            if (len_ == 0) {
                // The archive is shorter than its header claims.
                remaining_ = 0;
                limitBits_ = consumed_ + static_cast<uint64_t>(count_);
                return 0;
            }
            remaining_ -= len_;
        }
        return buf_[pos_++];
    }
    ByteSource& source_;
    uint64_t remaining_;
    uint64_t limitBits_;
    uint64_t consumed_ = 0;
    std::array<uint8_t, 8192> buf_{};
    size_t pos_ = 0;
    size_t len_ = 0;
    uint64_t acc_ = 0;
    int count_ = 0;
};

} // namespace kemnoa::lzh
