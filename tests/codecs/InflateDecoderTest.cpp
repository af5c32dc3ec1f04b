#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <vector>

#include "PngTestSupport.h"
#include "codecs/InflateDecoder.h"

using quenda::InflateOptions;
using quenda::InflateStream;

namespace {

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed, int alphabet = 256) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out(n);
    for (auto& b : out) {
        b = static_cast<uint8_t>(rng() % alphabet);
    }
    return out;
}

// Text-like data with many repeats, so that matches of every length and distance occur.
std::vector<uint8_t> RepetitiveBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out;
    while (out.size() < n) {
        if (out.size() > 10 && rng() % 2) {
            const size_t dist = 1 + rng() % std::min<size_t>(out.size(), 40000);
            const size_t len = 3 + rng() % 300;
            for (size_t i = 0; i < len && out.size() < n; ++i) {
                out.push_back(out[out.size() - dist]);
            }
        } else {
            out.push_back(static_cast<uint8_t>('a' + rng() % 7));
        }
    }
    return out;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, int level, int strategy) {
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, 15, 8, strategy);
    std::vector<uint8_t> out(deflateBound(&zs, data.size()) + 16);
    zs.next_in = const_cast<Bytef*>(data.data());
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

bool Decodes(const std::vector<uint8_t>& stream, const std::vector<uint8_t>& expected) {
    std::vector<uint8_t> out(expected.size(), 0xEE);
    size_t produced = 0;
    const bool ok = InflateStream(stream.data(), stream.size(), out.data(), out.size(), &produced);
    return ok && produced == expected.size() && out == expected;
}

// Writes DEFLATE bits least significant first; Huffman codes most significant first.
struct BitWriter {
    std::vector<uint8_t> bytes;
    uint32_t acc = 0;
    BitWriter() {
        bytes.push_back(0x78);  // a zlib header, skipped by the decoder
        bytes.push_back(0x01);
    }
    int count = 0;
    void Bits(uint32_t value, int n) {
        for (int i = 0; i < n; ++i) {
            acc |= ((value >> i) & 1) << count;
            if (++count == 8) {
                bytes.push_back(static_cast<uint8_t>(acc));
                acc = 0;
                count = 0;
            }
        }
    }
    void Code(uint32_t code, int n) {
        for (int i = n - 1; i >= 0; --i) {
            Bits((code >> i) & 1, 1);
        }
    }
    // Fixed literal/length code of a symbol.
    void Fixed(unsigned symbol) {
        if (symbol < 144) {
            Code(0x30 + symbol, 8);
        } else if (symbol < 256) {
            Code(0x190 + symbol - 144, 9);
        } else if (symbol < 280) {
            Code(symbol - 256, 7);
        } else {
            Code(0xC0 + symbol - 280, 8);
        }
    }
    std::vector<uint8_t> Finish() {
        if (count) {
            bytes.push_back(static_cast<uint8_t>(acc));
        }
        return bytes;
    }
};

}  // namespace

TEST(InflateDecoder, MatchesZlibOnStoredFixedAndDynamicBlocks) {
    struct Case {
        int level;
        int strategy;
    };
    const Case cases[] = {{0, Z_DEFAULT_STRATEGY},
                          {1, Z_DEFAULT_STRATEGY},
                          {6, Z_DEFAULT_STRATEGY},
                          {9, Z_DEFAULT_STRATEGY},
                          {9, Z_FIXED},
                          {9, Z_HUFFMAN_ONLY},
                          {9, Z_RLE},
                          {9, Z_FILTERED}};
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        const std::vector<std::vector<uint8_t>> inputs = {
            RandomBytes(100000, seed), RandomBytes(70000, seed, 5), RepetitiveBytes(300000, seed),
            RandomBytes(1, seed), std::vector<uint8_t>(200000, 7)};
        for (const auto& input : inputs) {
            for (const Case& c : cases) {
                EXPECT_TRUE(Decodes(Deflate(input, c.level, c.strategy), input))
                    << "level " << c.level << " strategy " << c.strategy << " size "
                    << input.size();
            }
        }
    }
}

TEST(InflateDecoder, MatchesZlibOnRealImageData) {
    const auto dir = pngtest::CorpusDir();
    if (dir.empty()) {
        GTEST_SKIP() << "no corpus";
    }
    // The corpus images' IDAT streams, inflated by zlib and by the decoder.
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".png") {
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        std::vector<uint8_t> png((std::istreambuf_iterator<char>(file)), {});
        std::vector<uint8_t> idat;
        for (const auto& [type, data] : pngtest::ListChunks(png)) {
            if (type == "IDAT") {
                idat.insert(idat.end(), data.begin(), data.end());
            }
        }
        std::vector<uint8_t> expected(4 << 20);
        uLongf size = expected.size();
        ASSERT_EQ(uncompress(expected.data(), &size, idat.data(), idat.size()), Z_OK);
        expected.resize(size);
        EXPECT_TRUE(Decodes(idat, expected)) << entry.path();
    }
}

TEST(InflateDecoder, OutputStopsAtTheExpectedSize) {
    const auto input = RepetitiveBytes(50000, 9);
    for (int level : {1, 9}) {
        const auto stream = Deflate(input, level, Z_DEFAULT_STRATEGY);
        std::vector<uint8_t> out(1234);
        size_t produced = 0;
        ASSERT_TRUE(InflateStream(stream.data(), stream.size(), out.data(), out.size(), &produced))
            << "level " << level;
        EXPECT_EQ(produced, out.size());
        EXPECT_TRUE(std::equal(out.begin(), out.end(), input.begin()));
    }
}

TEST(InflateDecoder, ShortOutputLeavesTheRestUntouched) {
    const auto input = RandomBytes(1000, 3);
    const auto stream = Deflate(input, 9, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(1500, 0);
    size_t produced = 0;
    ASSERT_TRUE(InflateStream(stream.data(), stream.size(), out.data(), out.size(), &produced));
    EXPECT_EQ(produced, 1000u);
    EXPECT_TRUE(std::equal(input.begin(), input.end(), out.begin()));
    EXPECT_TRUE(std::all_of(out.begin() + 1000, out.end(), [](uint8_t b) { return b == 0; }));
}

TEST(InflateDecoder, RejectsCorruptStreams) {
    std::vector<uint8_t> out(100);
    // Block type 3.
    const std::vector<uint8_t> reserved = {0x78, 0x01, 0x07};
    EXPECT_FALSE(InflateStream(reserved.data(), reserved.size(), out.data(), out.size()));
    // Stored block whose NLEN is not the complement of LEN.
    const std::vector<uint8_t> badStored = {0x78, 0x01, 0x01, 0x05, 0x00, 0x00,
                                            0x00, 1,    2,    3,    4,    5};
    EXPECT_FALSE(InflateStream(badStored.data(), badStored.size(), out.data(), out.size()));
    // Stored block running past the input.
    const std::vector<uint8_t> shortStored = {0x78, 0x01, 0x01, 0x05, 0x00, 0xFA, 0xFF, 1, 2};
    EXPECT_FALSE(InflateStream(shortStored.data(), shortStored.size(), out.data(), out.size()));
    // Stored block larger than the output.
    const std::vector<uint8_t> bigStored = {0x78, 0x01, 0x01, 0x05, 0x00, 0xFA,
                                            0xFF, 1,    2,    3,    4,    5};
    std::vector<uint8_t> small(3);
    EXPECT_FALSE(InflateStream(bigStored.data(), bigStored.size(), small.data(), small.size()));
    // A match reaching before the start of the output.
    BitWriter far;
    far.Bits(1, 1);
    far.Bits(1, 2);
    far.Fixed('x');
    far.Fixed(257);  // length 3
    far.Code(1, 5);  // distance 2, one byte written so far
    far.Fixed(256);
    const auto farStream = far.Finish();
    EXPECT_FALSE(InflateStream(farStream.data(), farStream.size(), out.data(), out.size()));
    // Distance code 30 does not exist.
    BitWriter badDistance;
    badDistance.Bits(1, 1);
    badDistance.Bits(1, 2);
    badDistance.Fixed('x');
    badDistance.Fixed(257);
    badDistance.Code(30, 5);
    const auto badDistanceStream = badDistance.Finish();
    EXPECT_FALSE(
        InflateStream(badDistanceStream.data(), badDistanceStream.size(), out.data(), out.size()));
}

TEST(InflateDecoder, RejectsBadDynamicHeaders) {
    std::vector<uint8_t> out(100);
    // Over-subscribed code-length code: four lengths of 1.
    BitWriter over;
    over.Bits(1, 1);
    over.Bits(2, 2);
    over.Bits(0, 5);
    over.Bits(0, 5);
    over.Bits(0, 4);  // four code-length lengths
    for (int i = 0; i < 4; ++i) {
        over.Bits(1, 3);
    }
    const auto overStream = over.Finish();
    EXPECT_FALSE(InflateStream(overStream.data(), overStream.size(), out.data(), out.size()));
    // Repeat code 16 as the first length: code lengths for 16 and 17 only, 1 bit each.
    BitWriter repeat;
    repeat.Bits(1, 1);
    repeat.Bits(2, 2);
    repeat.Bits(0, 5);
    repeat.Bits(0, 5);
    repeat.Bits(0, 4);
    repeat.Bits(1, 3);  // symbol 16: length 1 (code 0)
    repeat.Bits(1, 3);  // symbol 17: length 1 (code 1)
    repeat.Bits(0, 3);
    repeat.Bits(0, 3);
    repeat.Code(0, 1);  // 16 first
    repeat.Bits(0, 2);
    const auto repeatStream = repeat.Finish();
    EXPECT_FALSE(InflateStream(repeatStream.data(), repeatStream.size(), out.data(), out.size()));
}

TEST(InflateDecoder, RepeatsOverlappingCopiesAndHonoursTheLength285Switch) {
    BitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    w.Fixed('a');
    w.Fixed('b');
    w.Fixed(285);
    w.Code(1, 5);  // distance 2
    w.Fixed(256);
    const auto plain = w.Finish();
    std::vector<uint8_t> out(300, 0);
    size_t produced = 0;
    ASSERT_TRUE(InflateStream(plain.data(), plain.size(), out.data(), out.size(), &produced));
    ASSERT_EQ(produced, 260u);
    for (size_t i = 0; i < produced; ++i) {
        ASSERT_EQ(out[i], i % 2 ? 'b' : 'a') << i;
    }

    BitWriter v;
    v.Bits(1, 1);
    v.Bits(1, 2);
    v.Fixed('a');
    v.Fixed(285);
    v.Bits(7, 16);  // 3 + 7 bytes
    v.Code(0, 5);   // distance 1
    v.Fixed(256);
    const auto variant = v.Finish();
    InflateOptions options;
    options.length285WithExtraBits = true;
    ASSERT_TRUE(
        InflateStream(variant.data(), variant.size(), out.data(), out.size(), &produced, options));
    EXPECT_EQ(produced, 11u);
}

TEST(InflateDecoder, ExhaustedInputReadsAsZeroBitsAndNeverOverruns) {
    const auto input = RepetitiveBytes(20000, 5);
    const auto stream = Deflate(input, 9, Z_DEFAULT_STRATEGY);
    for (size_t cut = 0; cut < stream.size(); cut += 97) {
        std::vector<uint8_t> truncated(stream.begin(), stream.begin() + cut);
        std::vector<uint8_t> out(input.size());
        size_t produced = 0;
        InflateStream(truncated.data(), truncated.size(), out.data(), out.size(), &produced);
        EXPECT_LE(produced, out.size());
    }
}
