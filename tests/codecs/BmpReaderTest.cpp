#include <gtest/gtest.h>

#include "codecs/cBMPparser.h"
#include "imaging/ImageTypes.h"
#include "imaging/c32bppDIB.h"
#include "support/BmpBuilder.h"

using quenda::c32bppDIB;
using testsupport::BmpBuilder;
using testsupport::PackRows;

namespace {

// A 32-bit uncompressed bitmap of 2 x 2 pixels, words 0xAARRGGBB, top row first.
BmpBuilder Bitmap32(const std::vector<uint32_t>& words, bool topDown = false) {
    BmpBuilder b;
    b.width = 2;
    b.height = topDown ? -2 : 2;
    b.bitsPerPixel = 32;
    b.pixelData = PackRows(2, 2, 32, words, topDown);
    return b;
}

bool Load(const std::vector<uint8_t>& file, c32bppDIB& image) {
    return quenda::cBMPparser().LoadStream(file, image, 0, file.size());
}

uint32_t Stored(const c32bppDIB& image, int32_t x, int32_t y) {
    const uint8_t* p = image.BitsPointer() + image.PixelOffset(x, y);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

TEST(BmpReader, ZeroFourthByteLoadsOpaque) {
    c32bppDIB image;
    ASSERT_TRUE(Load(Bitmap32({0x00102030, 0x00405060, 0x00708090, 0x00A0B0C0}).Build(), image));
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.ImageType(), quenda::IMAGE_BITMAP);
    EXPECT_EQ(Stored(image, 0, 0), 0xFF102030u);
    EXPECT_EQ(Stored(image, 1, 1), 0xFFA0B0C0u);
}

TEST(BmpReader, StraightAlphaIsPremultipliedAndPremultipliedKept) {
    c32bppDIB image;
    ASSERT_TRUE(Load(Bitmap32({0x80FF0000, 0xFF00FF00, 0x00000000, 0x40404040}).Build(), image));
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.ImageType(), quenda::IMAGE_BITMAP_STRAIGHT_ALPHA);
    EXPECT_EQ(Stored(image, 0, 0), 0x80800000u);

    ASSERT_TRUE(Load(Bitmap32({0x80400000, 0xFF00FF00, 0x00000000, 0x40404040}).Build(), image));
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.ImageType(), quenda::IMAGE_BITMAP_PREMULTIPLIED);
    EXPECT_EQ(Stored(image, 0, 0), 0x80400000u);
    EXPECT_EQ(Stored(image, 1, 1), 0x40404040u);
}

TEST(BmpReader, TopDownShowsTheSamePicture) {
    const std::vector<uint32_t> words = {0xFF010203, 0xFF040506, 0x80404040, 0x00000000};
    c32bppDIB up, down;
    ASSERT_TRUE(Load(Bitmap32(words).Build(), up));
    ASSERT_TRUE(Load(Bitmap32(words, true).Build(), down));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(Stored(up, x, y), Stored(down, x, y));
            EXPECT_EQ(Stored(up, x, y), words[y * 2 + x]);
        }
    }
}

TEST(BmpReader, OtherBitmapsGoToTheLoaderAndLoadOpaque) {
    BmpBuilder b24;
    b24.width = 1;
    b24.height = 1;
    b24.pixelData = PackRows(1, 1, 24, {0x123456}, false);
    BmpBuilder b8 = b24;
    b8.bitsPerPixel = 8;
    b8.palette = {{9, 8, 7}};
    b8.pixelData = PackRows(1, 1, 8, {0}, false);
    BmpBuilder fields = Bitmap32({0x80112233, 0x80112233, 0x80112233, 0x80112233});
    fields.compression = 3;
    fields.trailingMasks = true;
    fields.masks = {0xFF0000, 0xFF00, 0xFF, 0};
    for (const BmpBuilder& b : {b24, b8, fields}) {
        c32bppDIB image;
        ASSERT_TRUE(Load(b.Build(), image)) << b.bitsPerPixel;
        EXPECT_FALSE(image.Alpha());
        EXPECT_EQ(image.ImageType(), quenda::IMAGE_BITMAP);
        EXPECT_EQ(Stored(image, 0, 0) >> 24, 255u);
    }
}

TEST(BmpReader, ZeroWidthOrHeightFailsAtOnce) {
    for (auto [w, h] : {std::pair{0, 2}, std::pair{2, 0}, std::pair{-3, 2}}) {
        BmpBuilder b = Bitmap32({0, 0, 0, 0});
        b.width = w;
        b.height = h;
        c32bppDIB image;
        EXPECT_FALSE(Load(b.Build(), image));
        EXPECT_EQ(image.Handle(), 0u);
    }
}

TEST(BmpReader, OneByteShortThirtyTwoBitIsLeftToTheLoader) {
    std::vector<uint8_t> file = Bitmap32({0xFF000000, 0, 0, 0}).Build();
    file.pop_back();
    c32bppDIB image;
    EXPECT_FALSE(Load(file, image));  // the loader refuses truncated rows too
    EXPECT_EQ(image.Handle(), 0u);
}

TEST(BmpReader, StartAndLengthSelectTheBitmapInsideAnArray) {
    std::vector<uint8_t> file = Bitmap32({0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000}).Build();
    std::vector<uint8_t> bytes(7 + file.size() + 5, 0xEE);
    std::copy(file.begin(), file.end(), bytes.begin() + 7);
    c32bppDIB image;
    ASSERT_TRUE(quenda::cBMPparser().LoadStream(bytes, image, 7, file.size()));
    EXPECT_EQ(Stored(image, 0, 0), 0xFF0000FFu);
    EXPECT_FALSE(quenda::cBMPparser().LoadStream(bytes, image, bytes.size(), 10));
}

TEST(BmpReader, NotABitmapAtAllIsRefused) {
    const std::vector<uint8_t> junk(100, 0x42);
    c32bppDIB image;
    EXPECT_FALSE(Load(junk, image));
    EXPECT_EQ(image.Handle(), 0u);
}

namespace {

// A 24-bit bitmap of 4 x 3 pixels, with the reason a load through the reader chain
// leaves behind.
std::vector<uint8_t> Bitmap24() {
    BmpBuilder b;
    b.width = 4;
    b.height = 3;
    b.pixelData = PackRows(4, 3, 24, std::vector<uint32_t>(12, 0x00102030), false);
    return b.Build();
}

std::string KindAndOffsetAfterLoading(const std::vector<uint8_t>& file) {
    c32bppDIB image;
    EXPECT_FALSE(image.LoadPicture_Stream(file));
    EXPECT_EQ(image.Handle(), 0u);
    const quenda::Failure& why = image.LastFailure();
    return std::string(quenda::FailureKindName(why.kind)) + "@" + std::to_string(why.offset);
}

}  // namespace

TEST(BmpReaderFailure, EachDamagedBitmapSaysWhy) {
    std::vector<uint8_t> good = Bitmap24();
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_Stream(good));

    // Rows cut short: the data ends before the last row is complete.
    std::vector<uint8_t> rows(good.begin(), good.end() - 5);
    EXPECT_EQ(KindAndOffsetAfterLoading(rows), "truncated@" + std::to_string(rows.size()));

    // The information header is cut inside its own span (it starts at byte 14).
    std::vector<uint8_t> header(good.begin(), good.begin() + 40);
    EXPECT_EQ(KindAndOffsetAfterLoading(header), "truncated@18");

    BmpBuilder wide;
    wide.width = (1 << 20) + 1;
    wide.height = 1;
    wide.pixelData.assign(16, 0);
    EXPECT_EQ(KindAndOffsetAfterLoading(wide.Build()), "too-large@0");

    BmpBuilder badDepth;
    badDepth.width = 2;
    badDepth.height = 2;
    badDepth.bitsPerPixel = 7;
    badDepth.pixelData.assign(16, 0);
    EXPECT_EQ(KindAndOffsetAfterLoading(badDepth.Build()), "malformed@0");
}

TEST(BmpReaderFailure, CutBitFieldsAreTruncatedAtTheMaskThatIsMissing) {
    BmpBuilder b;
    b.width = 2;
    b.height = 2;
    b.bitsPerPixel = 16;
    b.compression = 3;
    b.masks = {0xF800, 0x07E0, 0x001F, 0};
    b.trailingMasks = true;
    b.pixelData = PackRows(2, 2, 16, {1, 2, 3, 4}, false);
    std::vector<uint8_t> file = b.Build();
    ASSERT_TRUE(c32bppDIB().LoadPicture_Stream(file));
    // Masks follow the 40-byte header at byte 54; the second one is cut.
    file.resize(54 + 4 + 2);
    EXPECT_EQ(KindAndOffsetAfterLoading(file), "truncated@58");
}

TEST(BmpReaderFailure, AGoodLoadClearsTheEarlierReason) {
    std::vector<uint8_t> good = Bitmap24();
    c32bppDIB image;
    EXPECT_FALSE(image.LoadPicture_Stream(std::vector<uint8_t>(good.begin(), good.end() - 5)));
    EXPECT_TRUE(image.LastFailure());
    ASSERT_TRUE(image.LoadPicture_Stream(good));
    EXPECT_FALSE(image.LastFailure());
}
