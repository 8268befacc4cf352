#pragma once
// Canonical Huffman codes of at most 16 bits, as the -lh5- family defines them: shorter codes first,
// symbols in ascending order within one length.

#include "platform/lzh/bit_io.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kemnoa::lzh {

inline constexpr int MaxCodeBits = 16;

// Code lengths for the frequencies, none longer than maxBits; unused symbols get 0.
// With fewer than two used symbols every length is 0 (the caller writes a single-symbol tree).
std::vector<uint8_t> huffmanLengths(const uint32_t* freq, int n, int maxBits = MaxCodeBits);

// The canonical codes for the lengths.
std::vector<uint16_t> canonicalCodes(const uint8_t* lengths, int n);

class HuffmanDecoder {
public:
    // Builds from code lengths (each 0..16). Returns false for an over-subscribed set of lengths.
    // An incomplete set is accepted; reading one of its unused codes is reported as corrupt data.
    bool build(const uint8_t* lengths, int n);
    // A tree of one symbol that takes no bits.
    void setSingle(int symbol);
    int decode(BitReader& in) const;

private:
    static constexpr int TableBits = 10;
    bool single_ = false;
    int singleSymbol_ = 0;
    std::array<uint16_t, MaxCodeBits + 1> count_{};
    std::vector<uint16_t> sorted_; // symbols ordered by (length, symbol)
    // For codes up to TableBits long: symbol << 5 | length; 0 where a longer code (or none) starts.
    std::array<uint16_t, 1u << TableBits> table_{};
};

} // namespace kemnoa::lzh
