#include <gtest/gtest.h>

#include <cstring>

#include "imaging/ByteOrder.h"
#include "codecs/BmpDecoder.h"
#include "codecs/PictureLoader.h"
#include "support/BmpBuilder.h"

using testsupport::BmpBuilder;
using testsupport::PackRows;

namespace {

// The picture's pixel (x from the left, y from the top) as B, G, R, A.
std::array<uint8_t, 4> PixelAt(const quenda::StdPicture& p, int32_t x, int32_t y) {
    std::array<uint8_t, 4> out{};
    const size_t at = (static_cast<size_t>(p.height - 1 - y) * p.width + x) * 4;
    std::memcpy(out.data(), p.bgra.get() + at, 4);
    return out;
}

std::array<uint8_t, 4> Bgra(uint8_t r, uint8_t g, uint8_t b) {
    return {b, g, r, 255};
}

const std::vector<std::array<uint8_t, 3>> kPalette16 = {
    {0, 0, 0},     {255, 0, 0},  {0, 255, 0},  {0, 0, 255},   {255, 255, 0}, {0, 255, 255},
    {255, 0, 255}, {10, 20, 30}, {40, 50, 60}, {70, 80, 90},  {1, 2, 3},     {4, 5, 6},
    {7, 8, 9},     {11, 12, 13}, {14, 15, 16}, {200, 100, 50}};

BmpBuilder IndexedBitmap(uint16_t bits, int32_t w, int32_t h, const std::vector<uint32_t>& idx,
                         uint32_t headerSize = 40, bool topDown = false) {
    BmpBuilder b;
    b.headerSize = headerSize;
    b.width = w;
    b.height = topDown ? -h : h;
    b.bitsPerPixel = bits;
    b.palette.assign(kPalette16.begin(), kPalette16.begin() + (1u << std::min<int>(bits, 4)));
    b.pixelData = PackRows(w, h, bits, idx, topDown);
    return b;
}

std::vector<uint32_t> Ramp(size_t count, uint32_t modulo) {
    std::vector<uint32_t> v(count);
    for (size_t i = 0; i < count; ++i) {
        v[i] = static_cast<uint32_t>((i * 7 + i / 3) % modulo);
    }
    return v;
}

}  // namespace

TEST(BmpDecoder, IndexedDepthsAndHeadersDecodeEveryPixel) {
    for (uint16_t bits : {1, 2, 4, 8}) {
        for (uint32_t header : {12u, 40u, 108u, 124u}) {
            if (header == 12 && bits == 2) {
                continue;
            }
            const int32_t w = 13, h = 5;
            const uint32_t colours = std::min<uint32_t>(1u << bits, 16);
            const std::vector<uint32_t> idx = Ramp(w * h, colours);
            const std::vector<uint8_t> file = IndexedBitmap(bits, w, h, idx, header).Build();
            quenda::StdPicture p;
            ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p))
                << "bits " << bits << " header " << header;
            ASSERT_EQ(p.width, w);
            ASSERT_EQ(p.height, h);
            for (int32_t y = 0; y < h; ++y) {
                for (int32_t x = 0; x < w; ++x) {
                    const auto& c = kPalette16[idx[y * w + x]];
                    ASSERT_EQ(PixelAt(p, x, y), Bgra(c[0], c[1], c[2]))
                        << "bits " << bits << " header " << header << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(BmpDecoder, TopDownRowsShowTheSamePicture) {
    for (uint16_t bits : {4, 8, 24, 32}) {
        const int32_t w = 6, h = 4;
        std::vector<uint32_t> values = Ramp(w * h, bits <= 8 ? 16 : 0xFFFFFF);
        BmpBuilder up = IndexedBitmap(bits, w, h, values);
        BmpBuilder down = IndexedBitmap(bits, w, h, values, 40, true);
        if (bits > 8) {
            up.palette.clear();
            down.palette.clear();
        }
        quenda::StdPicture a, b;
        const auto fa = up.Build(), fb = down.Build();
        ASSERT_TRUE(quenda::bmp::DecodeBmp(fa.data(), fa.size(), a));
        ASSERT_TRUE(quenda::bmp::DecodeBmp(fb.data(), fb.size(), b));
        EXPECT_EQ(std::memcmp(a.bgra.get(), b.bgra.get(), w * h * 4), 0) << "bits " << bits;
    }
}

TEST(BmpDecoder, TrueColourDepths) {
    BmpBuilder b;
    b.width = 2;
    b.height = 1;
    b.bitsPerPixel = 24;
    b.pixelData = PackRows(2, 1, 24, {0x112233, 0xFFEEDD}, false);
    auto file = b.Build();
    quenda::StdPicture p;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(PixelAt(p, 0, 0), Bgra(0x11, 0x22, 0x33));
    EXPECT_EQ(PixelAt(p, 1, 0), Bgra(0xFF, 0xEE, 0xDD));

    // 32 bits: the fourth byte is not alpha for the loader; the picture is opaque.
    b.bitsPerPixel = 32;
    b.pixelData = PackRows(2, 1, 32, {0x00112233, 0x80FFEEDD}, false);
    file = b.Build();
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(PixelAt(p, 0, 0), Bgra(0x11, 0x22, 0x33));
    EXPECT_EQ(PixelAt(p, 1, 0), Bgra(0xFF, 0xEE, 0xDD));
}

TEST(BmpDecoder, SixteenBitsDefaultIs555AndBitFieldsAreHonoured) {
    BmpBuilder b;
    b.width = 3;
    b.height = 1;
    b.bitsPerPixel = 16;
    // 555: white, pure red, blue 1.
    b.pixelData = PackRows(3, 1, 16, {0x7FFF, 0x7C00, 0x0001}, false);
    auto file = b.Build();
    quenda::StdPicture p;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(PixelAt(p, 0, 0), Bgra(255, 255, 255));
    EXPECT_EQ(PixelAt(p, 1, 0), Bgra(255, 0, 0));
    EXPECT_EQ(PixelAt(p, 2, 0), Bgra(0, 0, 8));

    // 565 through bit fields after a 40-byte header, and in a V5 header.
    for (bool v5 : {false, true}) {
        b.compression = 3;
        b.headerSize = v5 ? 124 : 40;
        b.trailingMasks = !v5;
        b.masks = {0xF800, 0x07E0, 0x001F, 0};
        b.pixelData = PackRows(3, 1, 16, {0xFFFF, 0x07E0, 0x0020}, false);
        file = b.Build();
        ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
        EXPECT_EQ(PixelAt(p, 0, 0), Bgra(255, 255, 255));
        EXPECT_EQ(PixelAt(p, 1, 0), Bgra(0, 255, 0));
        EXPECT_EQ(PixelAt(p, 2, 0), Bgra(0, 4, 0));  // 1 of 63, rounded
    }
}

TEST(BmpDecoder, ThirtyTwoBitFieldsInAnyOrder) {
    BmpBuilder b;
    b.width = 1;
    b.height = 1;
    b.bitsPerPixel = 32;
    b.compression = 3;
    b.headerSize = 108;
    b.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};  // R, G, B in RGBA order
    b.pixelData = PackRows(1, 1, 32, {0x00332211}, false);
    auto file = b.Build();
    quenda::StdPicture p;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(PixelAt(p, 0, 0), Bgra(0x11, 0x22, 0x33));
}

namespace {

// A 6 x 3 RLE8 bitmap. Bottom row: run of 3 x index 1, absolute 3 pixels (2, 3, 4)
// padded; end of line. Middle row: delta (2, 1) lands on the top row at x = 2; run of
// 2 x index 5; end of bitmap.
BmpBuilder Rle8Sample() {
    BmpBuilder b;
    b.width = 6;
    b.height = 3;
    b.bitsPerPixel = 8;
    b.compression = 1;
    b.palette = kPalette16;
    b.pixelData = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 1, 2, 5, 0, 1};
    return b;
}

}  // namespace

TEST(BmpDecoder, Rle8RunsAbsoluteDeltaAndEndCodes) {
    auto file = Rle8Sample().Build();
    quenda::StdPicture p;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    const auto black = Bgra(0, 0, 0);
    EXPECT_EQ(PixelAt(p, 0, 2), Bgra(255, 0, 0));
    EXPECT_EQ(PixelAt(p, 2, 2), Bgra(255, 0, 0));
    EXPECT_EQ(PixelAt(p, 3, 2), Bgra(0, 255, 0));
    EXPECT_EQ(PixelAt(p, 5, 2), Bgra(255, 255, 0));
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(PixelAt(p, x, 1), black) << "skipped row stays black";
    }
    EXPECT_EQ(PixelAt(p, 1, 0), black);
    EXPECT_EQ(PixelAt(p, 2, 0), Bgra(0, 255, 255));
    EXPECT_EQ(PixelAt(p, 3, 0), Bgra(0, 255, 255));
    EXPECT_EQ(PixelAt(p, 4, 0), black);
}

// A stream cut after any byte draws what its complete codes draw and nothing else; an
// absolute run missing only its pad byte is complete.
TEST(BmpDecoder, RleStreamCutAnywhereKeepsWhatCameBefore) {
    BmpBuilder b = Rle8Sample();
    const std::vector<uint8_t> stream = b.pixelData;
    auto whole = b.Build();
    quenda::StdPicture full;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(whole.data(), whole.size(), full));
    int drawnBefore = 0;
    for (size_t n = 1; n <= stream.size(); ++n) {
        b.pixelData.assign(stream.begin(), stream.begin() + n);
        auto file = b.Build();
        quenda::StdPicture p;
        ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p)) << n;
        int drawn = 0;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 6; ++x) {
                if (PixelAt(p, x, y) != Bgra(0, 0, 0)) {
                    EXPECT_EQ(PixelAt(p, x, y), PixelAt(full, x, y)) << n << ": " << x << "," << y;
                    ++drawn;
                }
            }
        }
        EXPECT_GE(drawn, drawnBefore) << n;
        drawnBefore = drawn;
        if (n == 7) {
            EXPECT_EQ(drawn, 6) << "the run and the absolute run without its pad byte";
        }
    }
    EXPECT_EQ(drawnBefore, 8);
}

TEST(BmpDecoder, Rle4AlternatesNibbles) {
    BmpBuilder b;
    b.width = 6;
    b.height = 1;
    b.bitsPerPixel = 4;
    b.compression = 2;
    b.palette = kPalette16;
    // Run of 3 alternating 1, 2; absolute 3 pixels (3, 4, 5) in two bytes.
    b.pixelData = {3, 0x12, 0, 3, 0x34, 0x50, 0, 1};
    auto file = b.Build();
    quenda::StdPicture p;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(PixelAt(p, 0, 0), Bgra(255, 0, 0));
    EXPECT_EQ(PixelAt(p, 1, 0), Bgra(0, 255, 0));
    EXPECT_EQ(PixelAt(p, 2, 0), Bgra(255, 0, 0));
    EXPECT_EQ(PixelAt(p, 3, 0), Bgra(0, 0, 255));
    EXPECT_EQ(PixelAt(p, 4, 0), Bgra(255, 255, 0));
    EXPECT_EQ(PixelAt(p, 5, 0), Bgra(0, 255, 255));
}

TEST(BmpDecoder, RleStreamsRunningOffTheImageAreCut) {
    BmpBuilder b;
    b.width = 2;
    b.height = 2;
    b.bitsPerPixel = 8;
    b.compression = 1;
    b.palette = kPalette16;
    // A run far past the right edge, a delta far past the top, a stream with no end.
    b.pixelData = {255, 1, 0, 2, 255, 255, 9, 2, 0, 3, 1};
    auto file = b.Build();
    quenda::StdPicture p;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(PixelAt(p, 0, 1), Bgra(255, 0, 0));
    EXPECT_EQ(PixelAt(p, 1, 1), Bgra(255, 0, 0));
    EXPECT_EQ(PixelAt(p, 0, 0), Bgra(0, 0, 0));
}

TEST(BmpDecoder, IndicesPastAShortPaletteDrawBlack) {
    BmpBuilder b = IndexedBitmap(8, 2, 1, {1, 200});
    b.palette.resize(2);
    b.colorsUsed = 2;
    auto file = b.Build();
    quenda::StdPicture p;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(PixelAt(p, 0, 0), Bgra(255, 0, 0));
    EXPECT_EQ(PixelAt(p, 1, 0), Bgra(0, 0, 0));
}

TEST(BmpDecoder, MalformedFilesFailCleanly) {
    const std::vector<uint8_t> good = IndexedBitmap(8, 4, 4, Ramp(16, 16)).Build();
    quenda::StdPicture p;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(good.data(), good.size(), p));

    auto truncated = good;
    truncated.pop_back();
    EXPECT_FALSE(quenda::bmp::DecodeBmp(truncated.data(), truncated.size(), p));
    EXPECT_TRUE(p.empty());

    // A last row without its padding still has all its pixels.
    const std::vector<uint8_t> unpadded = IndexedBitmap(8, 3, 2, {1, 2, 3, 4, 5, 6}).Build();
    EXPECT_TRUE(quenda::bmp::DecodeBmp(unpadded.data(), unpadded.size() - 1, p));
    EXPECT_EQ(PixelAt(p, 2, 0), Bgra(0, 0, 255));
    EXPECT_FALSE(quenda::bmp::DecodeBmp(unpadded.data(), unpadded.size() - 2, p));

    BmpBuilder huge = IndexedBitmap(24, 1, 1, {0});
    huge.width = 0x7FFFFFFF;
    huge.height = 0x7FFFFFFF;
    auto file = huge.Build();
    EXPECT_FALSE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));

    file = good;
    quenda::bytes::WriteLE32(file.data() + 10, 0xFFFFFFF0u);  // pixels past the end
    EXPECT_FALSE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));

    file = good;
    quenda::bytes::WriteLE32(file.data() + 14, 0xFFFFFF00u);
    EXPECT_FALSE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));

    BmpBuilder topDownRle = IndexedBitmap(8, 2, 2, {0, 0, 0, 0});
    topDownRle.compression = 1;
    topDownRle.height = -2;
    topDownRle.pixelData = {4, 1, 0, 1};
    file = topDownRle.Build();
    EXPECT_FALSE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));

    for (size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(quenda::bmp::DecodeBmp(good.data(), n, p)) << n;
    }
}

TEST(PictureLoader, RefusesWhatItDoesNotKnow) {
    quenda::StdPicture p;
    const std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0};
    EXPECT_FALSE(quenda::LoadStdPicture(gif.data(), gif.size(), p));
    EXPECT_FALSE(quenda::LoadStdPicture(nullptr, 0, p));
    const std::vector<uint8_t> brokenJpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F'};
    EXPECT_FALSE(quenda::LoadStdPicture(brokenJpeg.data(), brokenJpeg.size(), p));
    EXPECT_TRUE(p.empty());
}

TEST(BmpDecoder, Os2HeadersAndIgnoredMasks) {
    // Short and long OS/2 headers read like info headers.
    for (uint32_t header : {16u, 64u}) {
        const std::vector<uint32_t> idx = {1, 2, 3, 0};
        const auto file = IndexedBitmap(4, 2, 2, idx, header).Build();
        quenda::StdPicture p;
        ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p)) << header;
        EXPECT_EQ(PixelAt(p, 1, 0), Bgra(0, 255, 0));
        EXPECT_EQ(PixelAt(p, 1, 1), Bgra(0, 0, 0));
    }
    // OS/2 compression 3 is Huffman coding, not bit fields.
    BmpBuilder huffman = IndexedBitmap(1, 8, 1, {0, 1, 0, 1, 0, 1, 0, 1}, 64);
    huffman.compression = 3;
    auto file = huffman.Build();
    quenda::StdPicture p;
    EXPECT_FALSE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));

    // Uncompressed 16 bits is 555 even when a V4 header carries other masks.
    BmpBuilder v4;
    v4.headerSize = 108;
    v4.width = 1;
    v4.height = 1;
    v4.bitsPerPixel = 16;
    v4.masks = {0xF800, 0x07E0, 0x001F, 0};
    v4.pixelData = PackRows(1, 1, 16, {0x03E0}, false);
    file = v4.Build();
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(PixelAt(p, 0, 0), Bgra(0, 255, 0));
}

TEST(BmpDecoder, AlphaBitFieldsAreReadAsColourOnly) {
    BmpBuilder b;
    b.width = 1;
    b.height = 1;
    b.bitsPerPixel = 16;
    b.compression = 6;
    b.trailingMasks = true;
    b.masks = {0x0F00, 0x00F0, 0x000F, 0xF000};  // 4-4-4-4
    b.pixelData = PackRows(1, 1, 16, {0x1F80}, false);
    const auto file = b.Build();
    quenda::StdPicture p;
    ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(PixelAt(p, 0, 0), Bgra(255, 136, 0));
}

TEST(BmpDecoder, BitCountsThatDoNotFitTheCompressionAreRefused) {
    quenda::StdPicture p;
    for (auto [bits, compression] :
         {std::pair<uint16_t, uint32_t>{24, 3}, {8, 2}, {4, 1}, {3, 0}, {0, 0}, {8, 7}}) {
        BmpBuilder b;
        b.width = 2;
        b.height = 2;
        b.bitsPerPixel = bits;
        b.compression = compression;
        b.pixelData.assign(64, 0);
        const auto file = b.Build();
        EXPECT_FALSE(quenda::bmp::DecodeBmp(file.data(), file.size(), p))
            << bits << "/" << compression;
    }
}

// 24-bit rows give the same pixels on the vector and the portable path, for widths
// around the vector step and a last row stored without its padding.
TEST(BmpDecoder, TwentyFourBitRowsMatchOnBothPaths) {
    for (int32_t w : {1, 3, 4, 5, 6, 7, 9, 10, 13, 31, 64, 101}) {
        const int32_t h = 5;
        std::vector<uint32_t> values;
        for (int32_t i = 0; i < w * h; ++i) {
            values.push_back(static_cast<uint32_t>(i) * 2654435761u & 0xFFFFFF);
        }
        BmpBuilder b;
        b.width = w;
        b.height = h;
        b.bitsPerPixel = 24;
        b.pixelData = PackRows(w, h, 24, values, false);
        b.pixelData.resize(b.pixelData.size() - (4 - (w * 3) % 4) % 4);  // unpadded last row
        const std::vector<uint8_t> file = b.Build();
        quenda::StdPicture vector;
        quenda::StdPicture portable;
        ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), vector)) << w;
        quenda::bmp::SetVectorRowsDisabledForTesting(true);
        ASSERT_TRUE(quenda::bmp::DecodeBmp(file.data(), file.size(), portable)) << w;
        quenda::bmp::SetVectorRowsDisabledForTesting(false);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t v = values[static_cast<size_t>(y * w + x)];
                const auto expected = Bgra(v >> 16, (v >> 8) & 0xFF, v & 0xFF);
                ASSERT_EQ(PixelAt(vector, x, y), expected) << w << " " << x << "," << y;
                ASSERT_EQ(PixelAt(portable, x, y), expected) << w << " " << x << "," << y;
            }
        }
    }
}
