#pragma once
// Streaming decompressor for -lh5-, -lh6- and -lh7- data. Reads at most the member's packed size
// and treats every inconsistency as corrupt data; memory is one window.

#include "platform/lzh/huffman.h"
#include "platform/lzh/lh5_format.h"

#include <cstdint>
#include <vector>

namespace kemnoa::lzh {

class Lh5Decoder {
public:
    Lh5Decoder(ByteSource& source, uint64_t packedSize, Lh5Params params);
    // Produces up to n bytes of output; the caller knows the original size and stops there.
    size_t read(uint8_t* out, size_t n);

private:
    void readBlockHeader();
    void readPtLengths(HuffmanDecoder& tree, int nn, int nbit, int special);
    void readCLengths();

    BitReader in_;
    Lh5Params params_;
    std::vector<uint8_t> window_;
    uint32_t mask_;
    uint32_t pos_ = 0;
    unsigned blockLeft_ = 0;
    int copyLeft_ = 0;
    uint32_t copyFrom_ = 0;
    HuffmanDecoder cTree_;
    HuffmanDecoder ptTree_;
    HuffmanDecoder pTree_;
};

} // namespace kemnoa::lzh
