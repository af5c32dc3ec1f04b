#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "imaging/c32bppDIB.h"

using quenda::c32bppDIB;
using quenda::DIBbitsLayout;

TEST(c32bppDIB, StartsEmptyWithPlatformCapabilities) {
    c32bppDIB dib;
    EXPECT_EQ(dib.Handle(), 0u);
    EXPECT_EQ(dib.ImageType(), -1);
    EXPECT_EQ(dib.Width(), 0);
    EXPECT_TRUE(dib.isAlphaBlendFriendly());
    EXPECT_TRUE(dib.isGDIplusEnabled());
    EXPECT_TRUE(dib.HighQualityInterpolation());
    EXPECT_EQ(dib.CapabilityFlags() & 0x78u, 0x48u);
}

TEST(c32bppDIB, InitializeTakesAbsoluteHeightAndRefusesEmptySizes) {
    c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(3, -2));
    EXPECT_EQ(dib.Width(), 3);
    EXPECT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.scanWidth(), 12);
    EXPECT_NE(dib.Handle(), 0u);
    EXPECT_TRUE(dib.Alpha());
    EXPECT_EQ(dib.ImageType(), 0);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            uint8_t a = 99;
            EXPECT_EQ(dib.GetPixel(x, y, &a), 0);
            EXPECT_EQ(a, 0);
        }
    }
    EXPECT_FALSE(dib.InitializeDIB(3, 0));
    EXPECT_EQ(dib.Handle(), 0u);
    EXPECT_FALSE(dib.InitializeDIB(-1, 5));
    EXPECT_FALSE(dib.InitializeDIB(0, 5));
    // Absurd sizes are refused instead of exhausting memory.
    EXPECT_FALSE(dib.InitializeDIB(32767, 32767));
    EXPECT_EQ(dib.Handle(), 0u);
}

TEST(c32bppDIB, SetPixelPremultipliesAndGetPixelReverses) {
    c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(2, 2));
    uint8_t* p = dib.SetPixel(1, 0, 0x000080FF, 128, false);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], 0);    // blue
    EXPECT_EQ(p[1], 64);   // green
    EXPECT_EQ(p[2], 128);  // red
    EXPECT_EQ(p[3], 128);
    uint8_t a = 0;
    EXPECT_EQ(dib.GetPixel(1, 0, &a, false), 0x00007FFF);
    EXPECT_EQ(a, 128);
    EXPECT_EQ(dib.GetPixel(1, 0, &a, true), 0x00004080);
}

TEST(c32bppDIB, SetPixelRules) {
    c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(2, 1));
    dib.setAlpha(false);
    // Opaque pixels do not turn Alpha on; components are stored as given.
    ASSERT_NE(dib.SetPixel(0, 0, 0x00123456, 255), nullptr);
    EXPECT_FALSE(dib.Alpha());
    EXPECT_EQ(dib.GetPixel(0, 0), 0x00123456);
    // Premultiplied input larger than its alpha is scaled down.
    uint8_t* p = dib.SetPixel(1, 0, 0x00FF0010, 100, true);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], 100 * 255 / 255);  // blue 255 > 100 -> 100*255/255
    EXPECT_EQ(p[2], 0x10);             // red 16 kept
    EXPECT_TRUE(dib.Alpha());
    // Alpha 0 clears the pixel whatever the colour.
    p = dib.SetPixel(0, 0, 0x00FFFFFF, 0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0] | p[1] | p[2] | p[3], 0);
    // Nothing is written outside the image or with alpha out of range.
    EXPECT_EQ(dib.SetPixel(2, 0, 0, 255), nullptr);
    EXPECT_EQ(dib.SetPixel(0, -1, 0, 255), nullptr);
    EXPECT_EQ(dib.SetPixel(0, 0, 0, 256), nullptr);
    EXPECT_EQ(dib.GetPixel(2, 0), -1);
    EXPECT_EQ(dib.GetPixel(0, 1), -1);
}

TEST(c32bppDIB, RowZeroIsTheLastRowInMemory) {
    c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(2, 3));
    dib.SetPixel(1, 0, 0x000000FF, 255);  // top right, red
    const uint8_t* last = dib.BitsPointer() + 2 * dib.scanWidth();
    EXPECT_EQ(last[4 + 2], 255);
    EXPECT_EQ(last[4 + 3], 255);
    EXPECT_EQ(dib.PixelOffset(1, 0), 2u * 8 + 4);
    const quenda::Surface s = dib.LoadDIBinDC(true);
    EXPECT_EQ(s.row(0), last);
    EXPECT_EQ(s.row(2), dib.BitsPointer());
}

TEST(c32bppDIB, DestroyEmptiesEverything) {
    c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(4, 4));
    dib.setOriginalFormat({1, 2, 3});
    dib.DestroyDIB();
    EXPECT_EQ(dib.Handle(), 0u);
    EXPECT_EQ(dib.Width(), 0);
    EXPECT_FALSE(dib.Alpha());
    EXPECT_EQ(dib.ImageType(), -1);
    std::vector<uint8_t> original;
    EXPECT_FALSE(dib.GetOrginalFormat(original));
    dib.DestroyDIB();  // safe twice
    dib.EraseDIB();    // no effect on an empty buffer
    EXPECT_EQ(dib.ImageType(), -1);
}

class DIBbitsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dib.InitializeDIB(3, 2));
        // Top row: red opaque, half-transparent white, transparent.
        dib.SetPixel(0, 0, 0x000000FF, 255);
        dib.SetPixel(1, 0, 0x00FFFFFF, 128);
        // Bottom row: blue, green, grey.
        dib.SetPixel(0, 1, 0x00FF0000, 255);
        dib.SetPixel(1, 1, 0x0000FF00, 255);
        dib.SetPixel(2, 1, 0x00808080, 255);
    }
    c32bppDIB dib;
};

TEST_F(DIBbitsTest, WholeStoredImageIsOneBlock) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(dib.GetDIBbits(bytes, DIBbitsLayout{}));
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), dib.BitsPointer()));
}

TEST_F(DIBbitsTest, TwentyFourBitAlignedTopDownRgb) {
    std::vector<uint8_t> bytes;
    DIBbitsLayout layout;
    layout.bits32 = false;
    layout.alignedRows = true;
    layout.bottomUp = false;
    layout.blueGreenRed = false;
    ASSERT_TRUE(dib.GetDIBbits(bytes, layout, 0, 0, 0, 0, false));
    ASSERT_EQ(bytes.size(), 24u);   // rows of 9 bytes padded to 12
    EXPECT_EQ(bytes[0], 255);       // red first in RGB order
    EXPECT_EQ(bytes[3], 255);       // un-premultiplied white: 128*255/128
    EXPECT_EQ(bytes[6], 0);         // transparent gives zeros
    EXPECT_EQ(bytes[9], 0);         // padding
    EXPECT_EQ(bytes[12 + 2], 255);  // bottom row: blue is the third byte in RGB order
}

TEST_F(DIBbitsTest, ClipsAndRefusesBadOrigins) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(dib.GetDIBbits(bytes, DIBbitsLayout{}, 2, 1, 10, 10));
    EXPECT_EQ(bytes.size(), 4u);
    EXPECT_FALSE(dib.GetDIBbits(bytes, DIBbitsLayout{}, -1, 0));
    EXPECT_FALSE(dib.GetDIBbits(bytes, DIBbitsLayout{}, 3, 0));
}

TEST_F(DIBbitsTest, SetDIBbitsRoundTrips) {
    std::vector<uint8_t> bytes;
    DIBbitsLayout layout;
    layout.bits32 = true;
    layout.bottomUp = false;
    ASSERT_TRUE(dib.GetDIBbits(bytes, layout));
    c32bppDIB other;
    ASSERT_TRUE(other.InitializeDIB(3, 2));
    ASSERT_TRUE(other.SetDIBbits(bytes, layout));
    EXPECT_EQ(0, std::memcmp(other.BitsPointer(), dib.BitsPointer(), 24));
    EXPECT_FALSE(other.SetDIBbits({}, layout));
    EXPECT_FALSE(other.SetDIBbits({1, 2, 3}, layout));  // too short for the rectangle
}

TEST_F(DIBbitsTest, CopyImageToSameSize) {
    dib.setOriginalFormat({7, 7});
    std::unique_ptr<c32bppDIB> copy;
    dib.CopyImageTo(copy, 0, 0, true);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Width(), 3);
    EXPECT_EQ(copy->ImageType(), dib.ImageType());
    EXPECT_EQ(copy->Alpha(), dib.Alpha());
    EXPECT_EQ(0, std::memcmp(copy->BitsPointer(), dib.BitsPointer(), 24));
    std::vector<uint8_t> original;
    EXPECT_TRUE(copy->GetOrginalFormat(original));
    EXPECT_EQ(original, (std::vector<uint8_t>{7, 7}));
}
