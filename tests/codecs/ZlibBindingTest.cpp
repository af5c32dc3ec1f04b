#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "PngTestSupport.h"
#include "codecs/ZlibBinding.h"

namespace {

struct Outcome {
    bool ok = false;
    std::vector<uint8_t> bytes;
};

Outcome Inflate(const std::vector<uint8_t>& stream, size_t capacity, bool fastLibrary) {
    Outcome outcome;
    outcome.bytes.assign(capacity, 0);
    size_t produced = capacity;
    outcome.ok = quenda::zlib::Uncompress(outcome.bytes.data(), produced, stream.data(),
                                          stream.size(), {.fastLibraryMissing = !fastLibrary});
    outcome.bytes.resize(outcome.ok ? produced : 0);
    return outcome;
}

std::vector<uint8_t> Sample(size_t n) {
    std::mt19937 rng(5);
    std::vector<uint8_t> data(n);
    for (size_t i = 0; i < n; ++i) {
        data[i] = static_cast<uint8_t>(i % 200 < 150 ? i / 7 : rng());
    }
    return data;
}

}  // namespace

// The faster library answers as zlib's uncompress does, byte for byte.
TEST(ZlibBinding, UncompressAnswersAsZlibWithEitherLibrary) {
    const auto data = Sample(70000);
    const auto stream = pngtest::ZlibCompress(data);
    auto truncated = stream;
    truncated.resize(stream.size() - 5);
    auto badChecksum = stream;
    badChecksum.back() ^= 1;
    auto dictionary = stream;
    dictionary[1] = 0xBB;  // FDICT set, header check still valid
    struct Case {
        const char* name;
        std::vector<uint8_t> stream;
        size_t capacity;
        bool ok;
        size_t produced;
    };
    const Case cases[] = {
        {"exact capacity", stream, data.size(), true, data.size()},
        {"ends early", stream, data.size() + 100, true, data.size()},
        {"stored blocks", pngtest::ZlibCompress(data, 0), data.size(), true, data.size()},
        {"too long for the capacity", stream, data.size() - 1, false, 0},
        {"truncated", truncated, data.size(), false, 0},
        {"bad checksum", badChecksum, data.size(), false, 0},
        {"preset dictionary", dictionary, data.size(), false, 0},
        {"empty", {}, 10, false, 0},
    };
    for (const Case& c : cases) {
        for (bool fast : {true, false}) {
            const Outcome outcome = Inflate(c.stream, c.capacity, fast);
            EXPECT_EQ(outcome.ok, c.ok) << c.name << (fast ? "" : ", zlib alone");
            ASSERT_EQ(outcome.bytes.size(), c.produced) << c.name;
            EXPECT_TRUE(std::equal(outcome.bytes.begin(), outcome.bytes.end(), data.begin()))
                << c.name;
        }
    }
}

TEST(ZlibBinding, CrcIsZlibsWithEitherLibrary) {
    const auto data = Sample(100000);
    for (size_t n : {size_t{0}, size_t{1}, size_t{13}, size_t{4096}, data.size()}) {
        const auto expected = static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(n)));
        for (bool fast : {true, false}) {
            uint32_t crc = 0;
            ASSERT_TRUE(quenda::zlib::Crc32(data.data(), n, crc, {.fastLibraryMissing = !fast}));
            EXPECT_EQ(crc, expected) << n << (fast ? "" : ", zlib alone");
        }
    }
}
