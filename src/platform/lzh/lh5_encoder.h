#pragma once
// Streaming -lh5- compressor: LZSS over an 8 KiB window with hash chains and one-step lazy matching,
// coded in blocks with their own static Huffman trees. Memory use is fixed, whatever the input size.

#include "platform/lzh/bit_io.h"
#include "platform/lzh/lh5_format.h"

#include <cstdint>
#include <vector>

namespace kemnoa::lzh {

class Lh5Encoder {
public:
    explicit Lh5Encoder(ByteSink& sink);
    void write(const uint8_t* data, size_t n);
    // Codes the remaining input and pads the last byte. Call once.
    void finish();
    uint64_t compressedBytes() const { return out_.bytesWritten(); }

private:
    static constexpr int DicBits = 13;
    static constexpr int DicSize = 1 << DicBits;
    static constexpr int MaxDist = DicSize - 1; // farthest match kept, safe for every decoder
    static constexpr int BufSize = 8 * DicSize; // input buffer; slides by whole windows
    static constexpr int MinLookahead = MaxMatch + MinMatch + 1;
    static constexpr int HashBits = 15;
    static constexpr int Nil = -1;
    static constexpr int BlockCodes = 16384; // codes per Huffman block

    void process(bool final);
    void step();
    void insert(int pos);
    int longestMatch(int cur, int chainHead, int prevLength, int& dist) const;
    void slide();
    void literal(uint8_t c);
    void match(int length, int dist);
    void sendBlock();
    void writePtLengths(const std::vector<uint8_t>& len, int n, int nbit, int special);
    void writeCLengths(const std::vector<uint8_t>& cLen, const std::vector<uint8_t>& tLen,
                       const std::vector<uint16_t>& tCode);

    BitWriter out_;
    std::vector<uint8_t> win_;
    std::vector<int32_t> head_;
    std::vector<int32_t> prev_;
    int filled_ = 0;
    int cur_ = 0;
    int inserted_ = 0; // positions below this are in the hash chains

    // Lazy matching state.
    int matchLength_ = MinMatch - 1;
    int matchDist_ = 0;
    bool literalPending_ = false;

    // Codes of the current block.
    std::vector<uint16_t> codes_;
    std::vector<uint16_t> offsets_;
    std::vector<uint32_t> cFreq_;
    std::vector<uint32_t> pFreq_;
};

} // namespace kemnoa::lzh
