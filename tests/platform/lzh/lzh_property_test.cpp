// Properties of the codec on random inputs, built with AddressSanitizer and UndefinedBehaviorSanitizer:
// every archive reads back to its input, and damaged archives fail cleanly instead of misbehaving.
// KEMNOA_LZH_CASES sets the number of inputs, KEMNOA_LZH_SEED the seed (both have fixed defaults).

#include "platform/lzh/archive_reader.h"
#include "platform/lzh/archive_writer.h"
#include "platform/lzh/lzh_error.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace kemnoa::lzh;

namespace {

using Bytes = std::vector<uint8_t>;

unsigned envOr(const char* name, unsigned fallback) {
    const char* v = std::getenv(name);
    return v ? static_cast<unsigned>(std::strtoul(v, nullptr, 10)) : fallback;
}

// Inputs of the shapes the encoder has to get right: noise, small alphabets, long runs, and copies at
// distances up to and beyond the window.
Bytes randomInput(std::mt19937& rng) {
    const size_t size = rng() % 4 == 0 ? rng() % 64 : rng() % 200000;
    Bytes b;
    b.reserve(size);
    const int shape = static_cast<int>(rng() % 5);
    while (b.size() < size) {
        const uint32_t r = rng();
        switch (shape) {
        case 0:
            b.push_back(static_cast<uint8_t>(r));
            break;
        case 1:
            b.push_back(static_cast<uint8_t>('a' + r % 4));
            break;
        case 2:
            b.insert(b.end(), 1 + r % 600, static_cast<uint8_t>(r >> 16));
            break;
        default: {
            if (b.size() < 4 || r % 3 == 0) {
                b.push_back(static_cast<uint8_t>(r >> 8));
                break;
            }
            const size_t dist = 1 + (r >> 4) % std::min<size_t>(b.size(), 9000);
            const size_t len = 1 + rng() % 300;
            for (size_t i = 0; i < len; ++i)
                b.push_back(b[b.size() - dist]);
        }
        }
    }
    b.resize(size);
    return b;
}

Bytes archiveOf(const std::vector<Bytes>& files) {
    MemorySink sink;
    ArchiveWriter w(sink);
    for (size_t i = 0; i < files.size(); ++i) {
        const Bytes& f = files[i];
        w.addMember("file" + std::to_string(i) + ".bin", 1700000000,
                    [&f] { return std::make_unique<MemorySource>(f.data(), f.size()); });
    }
    w.finish();
    return sink.bytes;
}

// Collects output, refusing more than a limit (damaged headers may claim huge sizes).
class CappedSink : public ByteSink {
public:
    void write(const uint8_t* data, size_t n) override {
        if (bytes.size() + n > (8u << 20))
            throw LzhError(LzhError::Kind::Limit, "too much output");
        bytes.insert(bytes.end(), data, data + n);
    }
    Bytes bytes;
};

std::vector<Bytes> readAll(const Bytes& archive, std::vector<MemberHeader>* headers = nullptr) {
    MemorySource src(archive.data(), archive.size());
    ArchiveReader r(src);
    std::vector<Bytes> out;
    while (const auto h = r.next()) {
        CappedSink sink;
        r.extract(sink);
        out.push_back(std::move(sink.bytes));
        if (headers)
            headers->push_back(*h);
    }
    return out;
}

TEST(LzhProperty, RandomInputsRoundTrip) {
    const unsigned seed = envOr("KEMNOA_LZH_SEED", 20240607);
    std::mt19937 rng(seed);
    const unsigned cases = envOr("KEMNOA_LZH_CASES", 120);
    for (unsigned i = 0; i < cases; ++i) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(i));
        std::vector<Bytes> files(1 + rng() % 3);
        for (auto& f : files)
            f = randomInput(rng);
        const Bytes archive = archiveOf(files);
        std::vector<MemberHeader> headers;
        const std::vector<Bytes> back = readAll(archive, &headers);
        ASSERT_EQ(back.size(), files.size());
        for (size_t k = 0; k < files.size(); ++k) {
            ASSERT_TRUE(back[k] == files[k]) << "member " << k << " of size " << files[k].size();
            // Stored only when compressing does not make the member smaller.
            if (headers[k].method == "-lh5-") {
                EXPECT_LT(headers[k].packedSize, headers[k].originalSize);
            } else {
                EXPECT_EQ(headers[k].method, "-lh0-");
            }
        }
    }
}

TEST(LzhProperty, DamagedArchivesFailCleanly) {
    const unsigned seed = envOr("KEMNOA_LZH_SEED", 20240607);
    std::mt19937 rng(seed + 1);
    const unsigned cases = envOr("KEMNOA_LZH_CASES", 120);
    for (unsigned i = 0; i < cases; ++i) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(i));
        const std::vector<Bytes> files{randomInput(rng), randomInput(rng)};
        Bytes archive = archiveOf(files);
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits && !archive.empty(); ++e) {
            const size_t at = rng() % archive.size();
            switch (rng() % 3) {
            case 0:
                archive[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
                break;
            case 1:
                archive.resize(at);
                break;
            default:
                archive.insert(archive.begin() + static_cast<long>(at), static_cast<uint8_t>(rng()));
            }
        }
        // Either the damage is found, or what comes out is every member complete and unchanged (the
        // damage hit bytes that do not matter, such as those after the end mark).
        std::vector<Bytes> back;
        try {
            back = readAll(archive);
        } catch (const LzhError&) {
            continue;
        }
        ASSERT_EQ(back.size(), files.size()) << "damage not reported in " << archive.size() << " bytes";
        for (size_t k = 0; k < files.size(); ++k)
            ASSERT_TRUE(back[k] == files[k]) << "member " << k << " changed without an error";
    }
}

} // namespace
