#include "platform/lzh/lh5_decoder.h"

#include <array>

namespace kemnoa::lzh {

namespace {

[[noreturn]] void corrupt(const char* what) {
    throw LzhError(LzhError::Kind::Corrupt, what);
}

} // namespace

Lh5Decoder::Lh5Decoder(ByteSource& source, uint64_t packedSize, Lh5Params params)
    : in_(source, packedSize), params_(params), window_(size_t{1} << params.dicBits, ' '),
      mask_((1u << params.dicBits) - 1) {
    // The window starts filled with spaces, as the original LHarc decoders have it.
}

void Lh5Decoder::readPtLengths(HuffmanDecoder& tree, int nn, int nbit, int special) {
    std::array<uint8_t, NumT> len{};
    const int n = static_cast<int>(in_.get(nbit));
    if (n == 0) {
        const int c = static_cast<int>(in_.get(nbit));
        if (c >= nn)
            corrupt("bad single-symbol tree");
        tree.setSingle(c);
        return;
    }
    if (n > nn)
        corrupt("bad tree size");
    int i = 0;
    while (i < n) {
        int c = static_cast<int>(in_.get(3));
        if (c == 7) {
            while (in_.get(1) == 1) {
                if (++c > MaxCodeBits)
                    corrupt("bad code length");
            }
        }
        len[i++] = static_cast<uint8_t>(c);
        if (i == special) {
            i += static_cast<int>(in_.get(2));
            if (i > nn)
                corrupt("bad tree");
        }
    }
    if (!tree.build(len.data(), nn))
        corrupt("bad Huffman tree");
}

void Lh5Decoder::readCLengths() {
    std::array<uint8_t, NumC> len{};
    const int n = static_cast<int>(in_.get(CBits));
    if (n == 0) {
        const int c = static_cast<int>(in_.get(CBits));
        if (c >= NumC)
            corrupt("bad single-symbol tree");
        cTree_.setSingle(c);
        return;
    }
    if (n > NumC)
        corrupt("bad tree size");
    int i = 0;
    while (i < n) {
        const int c = ptTree_.decode(in_);
        if (c > 2) {
            len[i++] = static_cast<uint8_t>(c - 2);
            continue;
        }
        const int zeros = c == 0   ? 1
                          : c == 1 ? static_cast<int>(in_.get(4)) + 3
                                   : static_cast<int>(in_.get(CBits)) + 20;
        if (i + zeros > n)
            corrupt("bad code-length run");
        i += zeros; // already zero
    }
    if (!cTree_.build(len.data(), NumC))
        corrupt("bad Huffman tree");
}

void Lh5Decoder::readBlockHeader() {
    blockLeft_ = in_.get(16);
    if (blockLeft_ == 0)
        corrupt("empty block");
    readPtLengths(ptTree_, NumT, TBits, 3);
    readCLengths();
    readPtLengths(pTree_, params_.numP(), params_.pBits(), -1);
}

size_t Lh5Decoder::read(uint8_t* out, size_t n) {
    size_t done = 0;
    while (done < n) {
        if (copyLeft_ > 0) {
            const uint8_t b = window_[copyFrom_];
            copyFrom_ = (copyFrom_ + 1) & mask_;
            window_[pos_] = b;
            pos_ = (pos_ + 1) & mask_;
            out[done++] = b;
            --copyLeft_;
            continue;
        }
        if (blockLeft_ == 0)
            readBlockHeader();
        --blockLeft_;
        const int c = cTree_.decode(in_);
        if (c < 256) {
            window_[pos_] = static_cast<uint8_t>(c);
            pos_ = (pos_ + 1) & mask_;
            out[done++] = static_cast<uint8_t>(c);
            continue;
        }
        const int p = pTree_.decode(in_);
        const unsigned offset = p <= 1 ? static_cast<unsigned>(p) : (1u << (p - 1)) + in_.get(p - 1);
        copyLeft_ = c - 256 + MinMatch;
        copyFrom_ = (pos_ - offset - 1) & mask_;
    }
    return done;
}

} // namespace kemnoa::lzh
