#pragma once
// Constants of the -lh5- / -lh6- / -lh7- compressed format: LZSS matches and literals coded with
// static Huffman trees that are sent at the start of every block.

namespace kemnoa::lzh {

inline constexpr int MinMatch = 3;                         // shortest match (THRESHOLD)
inline constexpr int MaxMatch = 256;                       // longest match
inline constexpr int NumC = 256 + MaxMatch - MinMatch + 1; // literals and match lengths (510)
inline constexpr int CBits = 9;                            // bits of the C-tree length count
inline constexpr int NumT = 19;                            // symbols of the tree that codes C lengths
inline constexpr int TBits = 5;
inline constexpr int MaxNumP = 17; // position symbols for a 64 KiB window

// Window of one method: -lh5- 8 KiB, -lh6- 32 KiB, -lh7- 64 KiB.
struct Lh5Params {
    int dicBits;
    int numP() const { return dicBits + 1; }
    int pBits() const { return dicBits >= 15 ? 5 : 4; }
};

} // namespace kemnoa::lzh
