#pragma once
// CRC-16 as LZH archives use it for member data and level-2 headers (polynomial 0x8005 reflected, start 0).

#include <array>
#include <cstddef>
#include <cstdint>

namespace kemnoa::lzh {

class Crc16 {
public:
    void update(const uint8_t* data, size_t n) {
        for (size_t i = 0; i < n; ++i)
            crc_ = static_cast<uint16_t>((crc_ >> 8) ^ table()[(crc_ ^ data[i]) & 0xFF]);
    }
    uint16_t value() const { return crc_; }

private:
    static const std::array<uint16_t, 256>& table() {
        static const std::array<uint16_t, 256> t = [] {
            std::array<uint16_t, 256> r{};
            for (unsigned i = 0; i < 256; ++i) {
                unsigned c = i;
                for (int k = 0; k < 8; ++k)
                    c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
                r[i] = static_cast<uint16_t>(c);
            }
            return r;
        }();
        return t;
    }
    uint16_t crc_ = 0;
};

inline uint16_t crc16(const uint8_t* data, size_t n) {
    Crc16 c;
    c.update(data, n);
    return c.value();
}

} // namespace kemnoa::lzh
