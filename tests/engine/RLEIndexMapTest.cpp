#include <gtest/gtest.h>

#include "TestImages.h"
#include "engine/RLEDecoder.h"
#include "engine/RLEEncoder.h"
#include "engine/RLEIndexMap.h"
#include "engine/ZorixImgEngineEvents.h"
#include "engine/modColor.h"
#include "imaging/ColorWord.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

using quenda::c32bppDIB;
using testsupport::RLEBuilder;

namespace {

// The stored pixel of a palette entry, as the decoder writes it.
uint32_t StoredColor(const quenda::PALETTE16& entry, uint8_t& alpha) {
    alpha = quenda::Alpha33To255(entry.pAlpha);
    const quenda::ColorChannels c =
        quenda::ChannelsOf(quenda::RGB565ToRGB(static_cast<uint16_t>(entry.pColor)));
    if (alpha == 0) {
        return 0;
    }
    return quenda::ColorWord(quenda::Premultiply(c.red, alpha), quenda::Premultiply(c.green, alpha),
                             quenda::Premultiply(c.blue, alpha));
}

// Every pixel the decoder writes is the colour of the entry the map names.
void ExpectMapMatchesDecoder(const std::vector<uint8_t>& file) {
    quenda::ZorixImgEngineEvents quiet;
    c32bppDIB image;
    ASSERT_TRUE(quenda::DecodeRLEBytes(file, "f", image, quiet).success);
    const quenda::RLEIndexMapResult read = quenda::ReadRLEIndexMap(file);
    ASSERT_TRUE(read.success) << read.failure.Text();
    ASSERT_EQ(read.map.width, image.Width());
    ASSERT_EQ(read.map.height, image.Height());
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            uint8_t alpha = 0;
            const int32_t color = image.GetPixel(x, y, &alpha, true);
            uint8_t wanted = 0;
            const uint32_t expected = StoredColor(read.map.palette[read.map.IndexAt(x, y)], wanted);
            ASSERT_EQ(alpha, wanted) << x << "," << y;
            ASSERT_EQ(static_cast<uint32_t>(color), expected) << x << "," << y;
        }
    }
}

std::vector<uint8_t> Encoded(const c32bppDIB& image) {
    quenda::ZorixImgEngineEvents quiet;
    const quenda::RLEEncodeResult encoded = quenda::EncodeRLE("f", image, 100, 0, quiet);
    EXPECT_TRUE(encoded.success) << encoded.failure.Text();
    return encoded.bytes;
}

}  // namespace

// Real encodings: small palettes, large ones coded through base markers, alpha.
TEST(RLEIndexMap, NamesTheEntryTheDecoderDraws) {
    const std::vector<uint32_t> colors = enginetest::DistinctColors(600, 7);
    const auto many = enginetest::MakeImage(40, 30, false, [&](int x, int y) {
        return enginetest::Pixel{colors[static_cast<size_t>(y * 20 + x / 2) % colors.size()], 255};
    });
    const auto soft = enginetest::MakeImage(17, 9, true, [&](int x, int y) {
        return enginetest::Pixel{colors[static_cast<size_t>(x % 5)],
                                 static_cast<uint8_t>((x * 31 + y * 17) % 256)};
    });
    for (const c32bppDIB* image : {many.get(), soft.get()}) {
        const std::vector<uint8_t> file = Encoded(*image);
        ASSERT_FALSE(file.empty());
        ExpectMapMatchesDecoder(file);
    }
    // The palette of 600 entries needs base markers; the map reaches past entry 251.
    const quenda::RLEIndexMapResult read = quenda::ReadRLEIndexMap(Encoded(*many));
    EXPECT_EQ(read.map.palette.size(), 601u);
    EXPECT_GT(*std::max_element(read.map.indices.begin(), read.map.indices.end()), 251);
}

TEST(RLEIndexMap, TokensOfEveryKind) {
    RLEBuilder b;
    b.width = 8;
    b.height = 2;
    b.hasAlpha = true;
    b.colors = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    b.alphas = {0, 32, 16, 8, 1};
    // A transparent run, a colour run, a base marker with a single code, single
    // codes, and a base marker whose code falls back to the plain entry.
    b.rows = {{0xFF, 0x02, 0xFE, 0x01, 0x03, 0xFD, 0x02, 0x00, 0x01, 0x04, 0x02},
              {0xFD, 0x03, 0x00, 0x02, 0x01, 0xFE, 0x04, 0x10}};
    const std::vector<uint8_t> file = b.Build();
    ExpectMapMatchesDecoder(file);
    const quenda::RLEIndexMap map = quenda::ReadRLEIndexMap(file).map;
    const std::vector<uint16_t> expected = {0, 0, 1, 1, 1, 3, 4, 2,  // first row
                                            2, 1, 4, 4, 4, 4, 4, 4};
    EXPECT_EQ(map.indices, expected);
    EXPECT_EQ(map.palette[0].pAlpha, 0);
    EXPECT_EQ(static_cast<uint16_t>(map.palette[4].pColor), 0xFFFF);
}

TEST(RLEIndexMap, FailsWhereTheDecoderFails) {
    RLEBuilder b;
    b.width = 3;
    b.height = 1;
    b.colors = {0xF800};
    const std::vector<std::vector<uint8_t>> badRows = {
        {0x05},              // no such entry
        {0xFE, 0x01},        // a run cut short
        {0x01, 0xFD, 0x01},  // a base marker cut short
    };
    for (const std::vector<uint8_t>& row : badRows) {
        b.rows = {row};
        const std::vector<uint8_t> file = b.Build();
        quenda::ZorixImgEngineEvents quiet;
        c32bppDIB image;
        EXPECT_FALSE(quenda::DecodeRLEBytes(file, "f", image, quiet).success);
        const quenda::RLEIndexMapResult read = quenda::ReadRLEIndexMap(file);
        EXPECT_FALSE(read.success);
        EXPECT_NE(read.failure.detail.find("row 0"), std::string::npos) << read.failure.Text();
    }
    EXPECT_FALSE(quenda::ReadRLEIndexMap(std::vector<uint8_t>{'R', 'L'}).success);
}

// A negative height reads as its size, as the decoder takes it.
TEST(RLEIndexMap, NegativeHeightAsTheDecoderTakesIt) {
    RLEBuilder b;
    b.width = 3;
    b.height = -2;
    b.rowCount = 2;
    b.colors = {0xF800, 0x07E0};
    b.rows = {{0x01, 0x02, 0x01}, {0xFE, 0x02, 0x03}};
    const std::vector<uint8_t> file = b.Build();
    ExpectMapMatchesDecoder(file);
    const quenda::RLEIndexMap map = quenda::ReadRLEIndexMap(file).map;
    EXPECT_EQ(map.height, 2);
    EXPECT_EQ(map.indices, (std::vector<uint16_t>{1, 2, 1, 2, 2, 2}));
}
