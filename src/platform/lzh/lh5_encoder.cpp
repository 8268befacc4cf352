#include "platform/lzh/lh5_encoder.h"

#include "platform/lzh/huffman.h"

#include <algorithm>
#include <cstring>

namespace kemnoa::lzh {

namespace {

constexpr int PBitsLh5 = 4;
constexpr int NumPLh5 = 14;
constexpr int MaxChain = 256;  // chain links followed per search
constexpr int GoodLength = 32; // a previous match this long shortens the lazy search
constexpr int TooFar = 4096;   // a 3-byte match farther than this costs more than three literals

int bitLength(unsigned v) {
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

int usedSymbols(const std::vector<uint32_t>& freq, int& last) {
    int used = 0;
    for (size_t i = 0; i < freq.size(); ++i)
        if (freq[i]) {
            ++used;
            last = static_cast<int>(i);
        }
    return used;
}

} // namespace

Lh5Encoder::Lh5Encoder(ByteSink& sink)
    : out_(sink), win_(BufSize), head_(1u << HashBits, Nil), prev_(DicSize, Nil), cFreq_(NumC, 0),
      pFreq_(NumPLh5, 0) {
    codes_.reserve(BlockCodes);
    offsets_.reserve(BlockCodes);
}

void Lh5Encoder::write(const uint8_t* data, size_t n) {
    while (n > 0) {
        if (filled_ == BufSize) {
            process(false);
            slide();
        }
        const size_t k = std::min(n, static_cast<size_t>(BufSize - filled_));
        std::memcpy(win_.data() + filled_, data, k);
        filled_ += static_cast<int>(k);
        data += k;
        n -= k;
    }
}

void Lh5Encoder::finish() {
    process(true);
    if (literalPending_)
        literal(win_[cur_ - 1]);
    literalPending_ = false;
    sendBlock();
    // Some readers (jlha) look a whole code ahead and drop the last code when the data ends within
    // that reach; sixteen zero bits after it cost two bytes and keep them reading to the end.
    out_.put(16, 0);
    out_.flush();
}

void Lh5Encoder::process(bool final) {
    if (final) {
        while (cur_ < filled_)
            step();
    } else {
        while (filled_ - cur_ >= MinLookahead)
            step();
    }
}

void Lh5Encoder::insert(int pos) {
    const uint32_t key = win_[pos] | win_[pos + 1] << 8 | win_[pos + 2] << 16;
    const uint32_t h = (key * 2654435761u) >> (32 - HashBits);
    prev_[pos & (DicSize - 1)] = head_[h];
    head_[h] = pos;
}

void Lh5Encoder::step() {
    const int prevLength = matchLength_;
    const int prevDist = matchDist_;
    matchLength_ = MinMatch - 1;

    while (inserted_ <= cur_ && inserted_ + MinMatch <= filled_)
        insert(inserted_++);
    const bool hashed = inserted_ > cur_;
    inserted_ = std::max(inserted_, cur_ + 1);

    if (hashed && prevLength < MaxMatch) {
        int dist = 0;
        const int len = longestMatch(cur_, prev_[cur_ & (DicSize - 1)], prevLength, dist);
        if (len >= MinMatch && !(len == MinMatch && dist > TooFar)) {
            matchLength_ = len;
            matchDist_ = dist;
        }
    }

    if (prevLength >= MinMatch && matchLength_ <= prevLength) {
        match(prevLength, prevDist);
        cur_ += prevLength - 1;
        literalPending_ = false;
        matchLength_ = MinMatch - 1;
    } else if (literalPending_) {
        literal(win_[cur_ - 1]);
        ++cur_;
    } else {
        literalPending_ = true;
        ++cur_;
    }
}

int Lh5Encoder::longestMatch(int cur, int m, int prevLength, int& dist) const {
    int best = std::max(prevLength, MinMatch - 1);
    const int maxLen = std::min(MaxMatch, filled_ - cur);
    if (best >= maxLen)
        return 0;
    const int limit = cur - MaxDist;
    int chain = prevLength >= GoodLength ? MaxChain / 4 : MaxChain;
    int found = 0;
    const uint8_t* s = win_.data() + cur;
    while (m >= 0 && m >= limit && chain-- > 0) {
        const uint8_t* p = win_.data() + m;
        if (p[best] == s[best] && p[0] == s[0] && p[1] == s[1] && p[2] == s[2]) {
            int len = 3;
            while (len < maxLen && p[len] == s[len])
                ++len;
            if (len > best) {
                best = len;
                found = len;
                dist = cur - m;
                if (len >= maxLen)
                    break;
            }
        }
        const int next = prev_[m & (DicSize - 1)];
        if (next >= m)
            break; // a slot reused by a newer position: the chain ends here
        m = next;
    }
    return found;
}

void Lh5Encoder::slide() {
    // Keep at least one window of history behind the current position; move by whole windows so the
    // chain slots (position modulo the window) stay valid.
    const int delta = (cur_ - DicSize) & ~(DicSize - 1);
    if (delta <= 0)
        return;
    std::memmove(win_.data(), win_.data() + delta, static_cast<size_t>(filled_ - delta));
    filled_ -= delta;
    cur_ -= delta;
    inserted_ -= delta;
    for (auto& v : head_)
        v = v >= delta ? v - delta : Nil;
    for (auto& v : prev_)
        v = v >= delta ? v - delta : Nil;
}

void Lh5Encoder::literal(uint8_t c) {
    codes_.push_back(c);
    offsets_.push_back(0);
    ++cFreq_[c];
    if (static_cast<int>(codes_.size()) == BlockCodes)
        sendBlock();
}

void Lh5Encoder::match(int length, int dist) {
    const int c = 256 + length - MinMatch;
    const unsigned offset = static_cast<unsigned>(dist - 1);
    codes_.push_back(static_cast<uint16_t>(c));
    offsets_.push_back(static_cast<uint16_t>(offset));
    ++cFreq_[c];
    ++pFreq_[bitLength(offset)];
    if (static_cast<int>(codes_.size()) == BlockCodes)
        sendBlock();
}

void Lh5Encoder::writePtLengths(const std::vector<uint8_t>& len, int n, int nbit, int special) {
    while (n > 0 && len[n - 1] == 0)
        --n;
    out_.put(nbit, static_cast<unsigned>(n));
    int i = 0;
    while (i < n) {
        const int k = len[i++];
        if (k <= 6)
            out_.put(3, static_cast<unsigned>(k));
        else
            out_.put(k - 3, (1u << (k - 3)) - 2); // "111", then k-7 ones and a zero
        if (i == special) {
            while (i < 6 && len[i] == 0)
                ++i;
            out_.put(2, static_cast<unsigned>((i - 3) & 3));
        }
    }
}

void Lh5Encoder::writeCLengths(const std::vector<uint8_t>& cLen, const std::vector<uint8_t>& tLen,
                               const std::vector<uint16_t>& tCode) {
    int n = NumC;
    while (n > 0 && cLen[n - 1] == 0)
        --n;
    out_.put(CBits, static_cast<unsigned>(n));
    auto t = [&](int s) { out_.put(tLen[s], tCode[s]); };
    int i = 0;
    while (i < n) {
        const int k = cLen[i++];
        if (k != 0) {
            t(k + 2);
            continue;
        }
        int count = 1;
        while (i < n && cLen[i] == 0) {
            ++i;
            ++count;
        }
        if (count <= 2) {
            for (int j = 0; j < count; ++j)
                t(0);
        } else if (count <= 18) {
            t(1);
            out_.put(4, static_cast<unsigned>(count - 3));
        } else if (count == 19) {
            t(0);
            t(1);
            out_.put(4, 15);
        } else {
            t(2);
            out_.put(CBits, static_cast<unsigned>(count - 20));
        }
    }
}

void Lh5Encoder::sendBlock() {
    const int n = static_cast<int>(codes_.size());
    if (n == 0)
        return;
    out_.put(16, static_cast<unsigned>(n));

    int lastC = 0;
    const std::vector<uint8_t> cLen = huffmanLengths(cFreq_.data(), NumC);
    if (usedSymbols(cFreq_, lastC) >= 2) {
        // The C lengths are themselves coded with the T tree.
        std::vector<uint32_t> tFreq(NumT, 0);
        int m = NumC;
        while (m > 0 && cLen[m - 1] == 0)
            --m;
        for (int i = 0; i < m;) {
            const int k = cLen[i++];
            if (k != 0) {
                ++tFreq[k + 2];
                continue;
            }
            int count = 1;
            while (i < m && cLen[i] == 0) {
                ++i;
                ++count;
            }
            if (count <= 2)
                tFreq[0] += count;
            else if (count <= 18)
                ++tFreq[1];
            else if (count == 19) {
                ++tFreq[0];
                ++tFreq[1];
            } else
                ++tFreq[2];
        }
        int lastT = 0;
        const std::vector<uint8_t> tLen = huffmanLengths(tFreq.data(), NumT);
        const std::vector<uint16_t> tCode = canonicalCodes(tLen.data(), NumT);
        if (usedSymbols(tFreq, lastT) >= 2) {
            writePtLengths(tLen, NumT, TBits, 3);
        } else {
            out_.put(TBits, 0);
            out_.put(TBits, static_cast<unsigned>(lastT));
        }
        writeCLengths(cLen, tLen, tCode);
    } else {
        out_.put(TBits, 0);
        out_.put(TBits, 0);
        out_.put(CBits, 0);
        out_.put(CBits, static_cast<unsigned>(lastC));
    }

    int lastP = 0;
    const std::vector<uint8_t> pLen = huffmanLengths(pFreq_.data(), NumPLh5);
    if (usedSymbols(pFreq_, lastP) >= 2) {
        writePtLengths(pLen, NumPLh5, PBitsLh5, -1);
    } else {
        out_.put(PBitsLh5, 0);
        out_.put(PBitsLh5, static_cast<unsigned>(lastP));
    }

    const std::vector<uint16_t> cCode = canonicalCodes(cLen.data(), NumC);
    const std::vector<uint16_t> pCode = canonicalCodes(pLen.data(), NumPLh5);
    for (int i = 0; i < n; ++i) {
        const int c = codes_[i];
        out_.put(cLen[c], cCode[c]);
        if (c < 256)
            continue;
        const unsigned offset = offsets_[i];
        const int p = bitLength(offset);
        out_.put(pLen[p], pCode[p]);
        if (p > 1)
            out_.put(p - 1, offset);
    }
    codes_.clear();
    offsets_.clear();
    std::fill(cFreq_.begin(), cFreq_.end(), 0);
    std::fill(pFreq_.begin(), pFreq_.end(), 0);
}

} // namespace kemnoa::lzh
