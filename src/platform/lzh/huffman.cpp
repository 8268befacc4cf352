#include "platform/lzh/huffman.h"

#include <algorithm>
#include <queue>

namespace kemnoa::lzh {

namespace {

// Depth of every leaf of a Huffman tree built over the used symbols.
void treeDepths(const std::vector<uint32_t>& weight, const std::vector<int>& used,
                std::vector<uint8_t>& len) {
    struct Node {
        uint64_t weight;
        int id;
    };
    auto heavier = [](const Node& a, const Node& b) {
        return a.weight != b.weight ? a.weight > b.weight : a.id > b.id;
    };
    std::priority_queue<Node, std::vector<Node>, decltype(heavier)> heap(heavier);
    const int leaves = static_cast<int>(used.size());
    std::vector<int> parent(2 * leaves, -1);
    for (int i = 0; i < leaves; ++i)
        heap.push({weight[used[i]], i});
    int next = leaves;
    while (heap.size() > 1) {
        const Node a = heap.top();
        heap.pop();
        const Node b = heap.top();
        heap.pop();
        parent[a.id] = next;
        parent[b.id] = next;
        heap.push({a.weight + b.weight, next});
        ++next;
    }
    // Parents are created after their children, so depths resolve from the root downwards.
    std::vector<int> depth(next, 0);
    for (int i = next - 2; i >= 0; --i)
        depth[i] = depth[parent[i]] + 1;
    for (int i = 0; i < leaves; ++i)
        len[used[i]] = static_cast<uint8_t>(std::min(depth[i], 255));
}

} // namespace

std::vector<uint8_t> huffmanLengths(const uint32_t* freq, int n, int maxBits) {
    std::vector<uint8_t> len(n, 0);
    std::vector<int> used;
    for (int i = 0; i < n; ++i)
        if (freq[i] > 0)
            used.push_back(i);
    if (used.size() < 2)
        return len;
    std::vector<uint32_t> weight(freq, freq + n);
    for (;;) {
        treeDepths(weight, used, len);
        if (*std::max_element(len.begin(), len.end()) <= maxBits)
            return len;
        // Too deep: flatten the distribution and build again. Rare, and costs little compression.
        for (int s : used)
            weight[s] = (weight[s] + 1) / 2;
    }
}

std::vector<uint16_t> canonicalCodes(const uint8_t* lengths, int n) {
    std::array<uint32_t, MaxCodeBits + 2> start{};
    std::array<uint32_t, MaxCodeBits + 1> count{};
    for (int i = 0; i < n; ++i)
        ++count[lengths[i]];
    count[0] = 0;
    for (int b = 1; b <= MaxCodeBits; ++b)
        start[b + 1] = (start[b] + count[b]) << 1;
    std::vector<uint16_t> code(n, 0);
    for (int i = 0; i < n; ++i)
        if (lengths[i] > 0)
            code[i] = static_cast<uint16_t>(start[lengths[i]]++);
    return code;
}

bool HuffmanDecoder::build(const uint8_t* lengths, int n) {
    single_ = false;
    count_.fill(0);
    for (int i = 0; i < n; ++i) {
        if (lengths[i] > MaxCodeBits)
            return false;
        ++count_[lengths[i]];
    }
    count_[0] = 0;
    int left = 1;
    for (int b = 1; b <= MaxCodeBits; ++b) {
        left <<= 1;
        left -= count_[b];
        if (left < 0)
            return false;
    }
    std::array<int, MaxCodeBits + 2> offset{};
    for (int b = 1; b <= MaxCodeBits; ++b)
        offset[b + 1] = offset[b] + count_[b];
    sorted_.assign(offset[MaxCodeBits + 1], 0);
    for (int i = 0; i < n; ++i)
        if (lengths[i] > 0)
            sorted_[offset[lengths[i]]++] = static_cast<uint16_t>(i);

    table_.fill(0);
    const std::vector<uint16_t> codes = canonicalCodes(lengths, n);
    for (int i = 0; i < n; ++i) {
        const int b = lengths[i];
        if (b == 0 || b > TableBits)
            continue;
        const unsigned first = static_cast<unsigned>(codes[i]) << (TableBits - b);
        const unsigned span = 1u << (TableBits - b);
        for (unsigned k = 0; k < span; ++k)
            table_[first + k] = static_cast<uint16_t>(i << 5 | b);
    }
    return true;
}

void HuffmanDecoder::setSingle(int symbol) {
    single_ = true;
    singleSymbol_ = symbol;
}

int HuffmanDecoder::decode(BitReader& in) const {
    if (single_)
        return singleSymbol_;
    const unsigned bits = in.peek16();
    const uint16_t e = table_[bits >> (16 - TableBits)];
    if (e != 0) {
        in.skip(e & 31);
        return e >> 5;
    }
    // Canonical decoding one bit at a time for the longer codes.
    int code = 0, first = 0, index = 0;
    for (int b = 1; b <= MaxCodeBits; ++b) {
        code |= static_cast<int>((bits >> (16 - b)) & 1u);
        const int count = count_[b];
        if (code - first < count) {
            in.skip(b);
            return sorted_[index + code - first];
        }
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    throw LzhError(LzhError::Kind::Corrupt, "invalid Huffman code in compressed data");
}

} // namespace kemnoa::lzh
