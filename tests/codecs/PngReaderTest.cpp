#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "PngTestSupport.h"
#include "codecs/cPNGparser.h"
#include "codecs/ZlibBinding.h"
#include "imaging/c32bppDIB.h"
#include "tests/support/RLEBuilder.h"

using pngtest::ChunkList;
using quenda::c32bppDIB;
using quenda::cPNGparser;

namespace {

// Decodes bytes with a fresh parser; returns the parser's answer.
bool Load(const std::vector<uint8_t>& png, c32bppDIB& image) {
    uint32_t token = 0;
    return cPNGparser().LoadStream(png, image, 0, png.size(), token);
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), {});
}

// Checks the reader against libpng's samples and the reader's conversion rules.
void ExpectMatchesOracle(const std::vector<uint8_t>& png, const std::string& what) {
    pngtest::RawImage raw;
    ASSERT_TRUE(pngtest::ReadWithLibpng(png, raw)) << what;
    bool alpha = false;
    const std::vector<uint8_t> expected = pngtest::ExpectedBGRA(raw, &alpha);
    c32bppDIB image;
    ASSERT_TRUE(Load(png, image)) << what;
    ASSERT_NE(image.Handle(), 0u) << what;
    EXPECT_EQ(image.Width(), static_cast<int32_t>(raw.width)) << what;
    EXPECT_EQ(image.Height(), static_cast<int32_t>(raw.height)) << what;
    EXPECT_EQ(image.Alpha(), alpha) << what;
    EXPECT_EQ(image.ImageType(), quenda::IMAGE_PNG) << what;
    const std::vector<uint8_t> actual = pngtest::TopDownPixels(image);
    ASSERT_EQ(actual.size(), expected.size()) << what;
    size_t mismatch = 0;
    while (mismatch < actual.size() && actual[mismatch] == expected[mismatch]) {
        ++mismatch;
    }
    EXPECT_EQ(mismatch, actual.size()) << what << ": first difference at pixel " << mismatch / 4;
}

// The allowed pairs of colour type and bit depth.
const std::vector<std::pair<int, int>>& AllowedForms() {
    static const std::vector<std::pair<int, int>> forms = {
        {0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
        {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    return forms;
}

// A random image of a form, optionally with transparency, encoded by libpng.
std::vector<uint8_t> MakeImage(int colorType, int depth, uint32_t w, uint32_t h, bool interlace,
                               bool transparency, uint32_t seed) {
    std::mt19937 rng(seed);
    pngtest::EncodeSpec spec;
    spec.width = w;
    spec.height = h;
    spec.colorType = colorType;
    spec.bitDepth = depth;
    spec.interlace = interlace;
    const size_t rowBytes = pngtest::RowBytes(w, depth, colorType);
    const int maxSample = depth == 16 ? 65535 : (1 << depth) - 1;
    if (colorType == 3) {
        const size_t entries = size_t{1} << depth;
        for (size_t i = 0; i < entries; ++i) {
            spec.palette.push_back({static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                                    static_cast<uint8_t>(rng())});
        }
        if (transparency) {
            for (size_t i = 0; i < (entries + 1) / 2; ++i) {
                spec.paletteAlpha.push_back(i == 0 ? 0 : static_cast<uint8_t>(rng()));
            }
        }
    }
    for (uint32_t y = 0; y < h; ++y) {
        std::vector<uint8_t> row(rowBytes);
        for (auto& b : row) {
            b = static_cast<uint8_t>(rng());
        }
        // Some repeated pixels make the colour key occur.
        if (y % 3 == 0 && rowBytes > 0) {
            std::fill(row.begin(), row.end(), row[0]);
        }
        spec.rows.push_back(row);
    }
    if (transparency && (colorType == 0 || colorType == 2)) {
        // Key the value the first row starts with (most significant bits of the row).
        const auto& row = spec.rows[0];
        std::array<uint16_t, 3> key{};
        for (int c = 0; c < (colorType == 2 ? 3 : 1); ++c) {
            if (depth == 16) {
                key[c] = static_cast<uint16_t>((row[2 * c] << 8) | row[2 * c + 1]);
            } else if (depth == 8) {
                key[c] = row[c];
            } else {
                key[c] = static_cast<uint16_t>(row[0] >> (8 - depth));
            }
        }
        (void)maxSample;
        spec.key = key;
    }
    return pngtest::EncodeWithLibpng(spec);
}

class ZlibOff {
  public:
    ZlibOff() { quenda::zlib::SetDisabledForTesting(true); }
    ~ZlibOff() { quenda::zlib::SetDisabledForTesting(false); }
};

}  // namespace

TEST(PngReader, MatchesLibpngOnTheCorpus) {
    const auto dir = pngtest::CorpusDir();
    if (dir.empty()) {
        GTEST_SKIP() << "no corpus";
    }
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() == ".png") {
            ExpectMatchesOracle(ReadFile(entry.path()), entry.path().filename().string());
            ++count;
        }
    }
    EXPECT_GT(count, 40u);
}

TEST(PngReader, MatchesLibpngOnTheCorpusWithTheOwnInflater) {
    const auto dir = pngtest::CorpusDir();
    if (dir.empty()) {
        GTEST_SKIP() << "no corpus";
    }
    ZlibOff off;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() == ".png") {
            ExpectMatchesOracle(ReadFile(entry.path()), entry.path().filename().string());
        }
    }
}

TEST(PngReader, MatchesLibpngOnEveryFormInterlaceAndTransparency) {
    const std::vector<std::pair<uint32_t, uint32_t>> sizes = {
        {1, 1}, {3, 5}, {7, 2}, {17, 9}, {33, 19}};
    uint32_t seed = 1;
    for (const auto& [type, depth] : AllowedForms()) {
        for (bool interlace : {false, true}) {
            for (bool transparency : {false, true}) {
                if (transparency && (type == 4 || type == 6)) {
                    continue;
                }
                for (const auto& [w, h] : sizes) {
                    const auto png = MakeImage(type, depth, w, h, interlace, transparency, seed++);
                    ASSERT_FALSE(png.empty());
                    ExpectMatchesOracle(png, "type " + std::to_string(type) + " depth " +
                                                 std::to_string(depth) + " interlace " +
                                                 std::to_string(interlace) + " trns " +
                                                 std::to_string(transparency) + " size " +
                                                 std::to_string(w) + "x" + std::to_string(h));
                }
            }
        }
    }
}

TEST(PngReader, PremultipliesByIntegerDivision) {
    const auto png = ChunkList()
                         .Header(1, 1, 8, 6)
                         .Add("IDAT", pngtest::ZlibCompress({0, 200, 100, 50, 128}))
                         .End()
                         .bytes;
    c32bppDIB image;
    ASSERT_TRUE(Load(png, image));
    ASSERT_NE(image.Handle(), 0u);
    const uint8_t* p = image.BitsPointer();
    EXPECT_EQ(p[0], 25);
    EXPECT_EQ(p[1], 50);
    EXPECT_EQ(p[2], 100);
    EXPECT_EQ(p[3], 128);
    EXPECT_TRUE(image.Alpha());
}

TEST(PngReader, ShortPaletteTransparencyLeavesLaterIndexesOpaque) {
    const auto png = ChunkList()
                         .Header(3, 1, 8, 3)
                         .Add("PLTE", {10, 20, 30, 40, 50, 60, 70, 80, 90})
                         .Add("tRNS", {0})
                         .Add("IDAT", pngtest::ZlibCompress({0, 0, 1, 2}))
                         .End()
                         .bytes;
    c32bppDIB image;
    ASSERT_TRUE(Load(png, image));
    uint8_t alpha = 0;
    EXPECT_EQ(image.GetPixel(0, 0, &alpha, true), 0);
    EXPECT_EQ(alpha, 0);
    EXPECT_EQ(image.GetPixel(1, 0, &alpha, true), 0x3C3228);
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(image.GetPixel(2, 0, &alpha, true), 0x5A5046);
    EXPECT_TRUE(image.Alpha());
}

TEST(PngReader, GreyKeyLeavesMatchingPixelsTransparent) {
    const auto png = ChunkList()
                         .Header(3, 1, 8, 0)
                         .Add("tRNS", {0, 77})
                         .Add("IDAT", pngtest::ZlibCompress({0, 77, 78, 0}))
                         .End()
                         .bytes;
    c32bppDIB image;
    ASSERT_TRUE(Load(png, image));
    uint8_t alpha = 1;
    EXPECT_EQ(image.GetPixel(0, 0, &alpha, true), 0);
    EXPECT_EQ(alpha, 0);
    EXPECT_EQ(image.GetPixel(1, 0, &alpha, true), 0x4E4E4E);
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(image.GetPixel(2, 0, &alpha, true), 0);
    EXPECT_EQ(alpha, 255);
    EXPECT_TRUE(image.Alpha());
}

TEST(PngReader, MissingPaletteGivesTheDefaultPalettes) {
    // Depth 1 without PLTE: index 1 is white, everything else black.
    const auto png =
        ChunkList().Header(2, 1, 1, 3).Add("IDAT", pngtest::ZlibCompress({0, 0x40})).End().bytes;
    c32bppDIB image;
    ASSERT_TRUE(Load(png, image));
    ASSERT_NE(image.Handle(), 0u);
    EXPECT_EQ(image.GetPixel(0, 0), 0);
    EXPECT_EQ(image.GetPixel(1, 0), 0xFFFFFF);
    EXPECT_FALSE(image.Alpha());
}

TEST(PngReader, SmallInterlacedImagesDecodeLikeTheirPlainTwins) {
    for (uint32_t w = 1; w <= 9; ++w) {
        for (uint32_t h = 1; h <= 9; h += 2) {
            const auto plain = MakeImage(6, 8, w, h, false, false, w * 100 + h);
            const auto interlaced = MakeImage(6, 8, w, h, true, false, w * 100 + h);
            c32bppDIB a;
            c32bppDIB b;
            ASSERT_TRUE(Load(plain, a));
            ASSERT_TRUE(Load(interlaced, b));
            ASSERT_NE(b.Handle(), 0u) << w << "x" << h;
            EXPECT_EQ(pngtest::TopDownPixels(a), pngtest::TopDownPixels(b)) << w << "x" << h;
        }
    }
}

TEST(PngReader, ChecksCrcsOfCriticalChunksOnly) {
    const auto idat = pngtest::ZlibCompress({0, 1, 2, 3});
    c32bppDIB image;
    auto unknownBad = ChunkList().Header(1, 1, 8, 2).AddWithCrc("abCd", {1, 2}, 1234);
    ASSERT_TRUE(Load(unknownBad.Add("IDAT", idat).End().bytes, image));
    EXPECT_NE(image.Handle(), 0u) << "an unknown chunk's CRC is not checked";

    auto idatBad = ChunkList().Header(1, 1, 8, 2).AddWithCrc("IDAT", idat, 1234).End();
    ASSERT_TRUE(Load(idatBad.bytes, image));
    EXPECT_EQ(image.Handle(), 0u) << "a bad IDAT CRC fails the load";

    auto zeroCrc = ChunkList().Header(1, 1, 8, 2).AddWithCrc("IDAT", idat, 0).End();
    ASSERT_TRUE(Load(zeroCrc.bytes, image));
    EXPECT_NE(image.Handle(), 0u) << "a stored CRC of 0 is not checked";

    ZlibOff off;
    ASSERT_TRUE(Load(idatBad.bytes, image));
    EXPECT_NE(image.Handle(), 0u) << "without zlib no CRC is checked";
}

TEST(PngReader, OversizedImageDataIsTruncatedByTheOwnInflater) {
    std::vector<uint8_t> rows = {0, 9, 8, 7, 0, 1, 2, 3, 0, 4, 5, 6};  // three rows for a 1x1 image
    const auto png =
        ChunkList().Header(1, 1, 8, 2).Add("IDAT", pngtest::ZlibCompress(rows)).End().bytes;
    c32bppDIB image;
    ASSERT_TRUE(Load(png, image));
    ASSERT_NE(image.Handle(), 0u);
    EXPECT_EQ(image.GetPixel(0, 0), 0x070809);
}

TEST(PngReader, UnknownFilterPassesOnlyInPlainImages) {
    const std::vector<uint8_t> rows = {5, 10, 20, 30};
    const auto plain =
        ChunkList().Header(1, 1, 8, 2).Add("IDAT", pngtest::ZlibCompress(rows)).End().bytes;
    c32bppDIB image;
    ASSERT_TRUE(Load(plain, image));
    ASSERT_NE(image.Handle(), 0u);
    EXPECT_EQ(image.GetPixel(0, 0), 0x1E140A);

    const auto interlaced =
        ChunkList().Header(1, 1, 8, 2, 1).Add("IDAT", pngtest::ZlibCompress(rows)).End().bytes;
    ASSERT_TRUE(Load(interlaced, image));
    EXPECT_EQ(image.Handle(), 0u);
}

TEST(PngReader, RefusesWhatIsNoPngAndLeavesTheHostAlone) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(2, 2));
    EXPECT_FALSE(Load({0x89, 'P', 'N', 'G'}, image));
    EXPECT_FALSE(Load({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}, image));
    EXPECT_NE(image.Handle(), 0u);
    EXPECT_EQ(image.Width(), 2);
}

TEST(PngReader, BadInputAnswersTrueWithAnEmptyHost) {
    const auto idat = pngtest::ZlibCompress({0, 1, 2, 3});
    const auto good = ChunkList().Header(1, 1, 8, 2).Add("IDAT", idat).End().bytes;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
    cases.emplace_back("truncated", std::vector<uint8_t>(good.begin(), good.end() - 5));
    cases.emplace_back("no IEND", std::vector<uint8_t>(good.begin(), good.end() - 12));
    auto longChunk = ChunkList().Header(1, 1, 8, 2).bytes;
    longChunk.insert(longChunk.end(), {0x7F, 0xFF, 0xFF, 0xF0, 'I', 'D', 'A', 'T', 1, 2, 3});
    cases.emplace_back("chunk length past the end", longChunk);
    cases.emplace_back("zero width", ChunkList().Header(0, 1, 8, 2).Add("IDAT", idat).End().bytes);
    cases.emplace_back("negative height",
                       ChunkList().Header(1, 0x80000000u, 8, 2).Add("IDAT", idat).End().bytes);
    cases.emplace_back(
        "absurd dimensions",
        ChunkList().Header(0x7FFFFFFF, 0x7FFFFFFF, 8, 6).Add("IDAT", idat).End().bytes);
    cases.emplace_back("bad depth", ChunkList().Header(1, 1, 3, 0).Add("IDAT", idat).End().bytes);
    cases.emplace_back("bad colour type",
                       ChunkList().Header(1, 1, 8, 5).Add("IDAT", idat).End().bytes);
    cases.emplace_back("RGB at depth 4",
                       ChunkList().Header(1, 1, 4, 2).Add("IDAT", idat).End().bytes);
    cases.emplace_back("palette at depth 16",
                       ChunkList().Header(1, 1, 16, 3).Add("IDAT", idat).End().bytes);
    cases.emplace_back("bad interlace",
                       ChunkList().Header(1, 1, 8, 2, 2).Add("IDAT", idat).End().bytes);
    cases.emplace_back("no IDAT", ChunkList().Header(1, 1, 8, 2).End().bytes);
    cases.emplace_back("no IHDR", ChunkList().Add("IDAT", idat).End().bytes);
    cases.emplace_back("short IHDR",
                       ChunkList().Add("IHDR", {0, 0, 0, 1}).Add("IDAT", idat).End().bytes);
    cases.emplace_back(
        "corrupt deflate data",
        ChunkList().Header(1, 1, 8, 2).Add("IDAT", {0x78, 0x9C, 0xFF, 0xFF, 0xFF}).End().bytes);
    cases.emplace_back("palette index past the palette",
                       ChunkList()
                           .Header(2, 1, 8, 3)
                           .Add("PLTE", {1, 2, 3})
                           .Add("IDAT", pngtest::ZlibCompress({0, 0, 1}))
                           .End()
                           .bytes);
    cases.emplace_back("palette length not divisible by 3",
                       ChunkList()
                           .Header(1, 1, 8, 3)
                           .Add("PLTE", {1, 2, 3, 4})
                           .Add("IDAT", pngtest::ZlibCompress({0, 0}))
                           .End()
                           .bytes);
    for (const auto& [name, png] : cases) {
        for (bool zlibOn : {true, false}) {
            quenda::zlib::SetDisabledForTesting(!zlibOn);
            c32bppDIB image;
            ASSERT_TRUE(image.InitializeDIB(4, 4));
            EXPECT_TRUE(Load(png, image)) << name;
            EXPECT_EQ(image.Handle(), 0u) << name << (zlibOn ? "" : " without zlib");
        }
    }
    quenda::zlib::SetDisabledForTesting(false);
}

TEST(PngReader, LoadsFromOffsetsAndFromFiles) {
    const auto png = MakeImage(2, 8, 5, 4, false, false, 42);
    std::vector<uint8_t> padded(10 + png.size() + 7, 0xBB);
    std::fill_n(padded.begin(), 10, 0xAA);
    std::copy(png.begin(), png.end(), padded.begin() + 10);
    c32bppDIB fromOffset;
    uint32_t token = 0;
    ASSERT_TRUE(cPNGparser().LoadStream(padded, fromOffset, 10, png.size(), token));
    c32bppDIB direct;
    ASSERT_TRUE(Load(png, direct));
    EXPECT_EQ(pngtest::TopDownPixels(fromOffset), pngtest::TopDownPixels(direct));

    const std::string dir = testsupport::MakeTempDir("pngreader");
    const auto path = std::filesystem::path(dir) / "image.png";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), png.size());
    c32bppDIB fromFile;
    ASSERT_TRUE(cPNGparser().LoadFile(path, fromFile, token));
    EXPECT_EQ(pngtest::TopDownPixels(fromFile), pngtest::TopDownPixels(direct));

    // A file of 56 bytes is no PNG, even with the signature.
    const auto tiny = std::filesystem::path(dir) / "tiny.png";
    std::ofstream(tiny, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), 56);
    EXPECT_FALSE(cPNGparser().LoadFile(tiny, fromFile, token));
    EXPECT_FALSE(
        cPNGparser().LoadFile(std::filesystem::path(dir) / "missing.png", fromFile, token));
}
