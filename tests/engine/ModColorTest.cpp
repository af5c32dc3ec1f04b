#include <gtest/gtest.h>

#include "engine/modColor.h"

using namespace quenda;

TEST(ModColor, RGB565RoundingBothWays) {
    EXPECT_EQ(RGBTo565(0x000000FF), 0xF800);  // red
    EXPECT_EQ(RGBTo565(0x00FFFFFF), 0xFFFF);
    EXPECT_EQ(RGBTo565(0x00000000), 0);
    // 4 * 31 / 255 = 0.49 rounds down; 5 * 31 / 255 = 0.61 rounds up.
    EXPECT_EQ(RGBTo565(0x00000004), 0);
    EXPECT_EQ(RGBTo565(0x00000005), 1 << 11);
    // Green has six bits: 2 * 63 / 255 = 0.49, 3 * 63 / 255 = 0.74.
    EXPECT_EQ(RGBTo565(0x00000200), 0);
    EXPECT_EQ(RGBTo565(0x00000300), 1 << 5);
    EXPECT_EQ(RGB565ToRGB(0xF81F), 0x00FF00FFu);  // magenta: red 255, green 0, blue 255
    EXPECT_EQ(RGB565ToRGB(1 << 11), 8u);          // 255 / 31 = 8.2
    EXPECT_EQ(RGB565ToRGB(1 << 5), 4u << 8);      // 255 / 63 = 4.05
    for (uint32_t v = 0; v < 0x10000; v += 7) {
        EXPECT_EQ(RGBTo565(RGB565ToRGB(static_cast<uint16_t>(v))), v);
    }
}

TEST(ModColor, AlphaLevels) {
    EXPECT_EQ(Alpha33To255(16), 128);  // 127.5 rounds to even
    EXPECT_EQ(Alpha33To255(32), 255);
    EXPECT_EQ(Alpha33To255(0), 0);
    EXPECT_EQ(Alpha33To255(1), 8);  // 7.97
    EXPECT_EQ(AlphaTo33(255), 32);
    EXPECT_EQ(AlphaTo33(128), 16);
    EXPECT_EQ(AlphaTo33(3), 0);  // 0.376
    EXPECT_EQ(AlphaTo33(4), 1);  // 0.502
    for (int a = 0; a <= 32; ++a) {
        EXPECT_EQ(AlphaTo33(Alpha33To255(static_cast<uint8_t>(a))), a);
    }
}

TEST(ModColor, Similarity) {
    EXPECT_DOUBLE_EQ(ColorSimilarity(0x1234, 0x1234), 100.0);
    EXPECT_DOUBLE_EQ(ColorSimilarity(0x0000, 0xFFFF), 0.0);
    EXPECT_NEAR(ColorSimilarity(0, 1 << 5), 99.47, 0.01);   // one green step
    EXPECT_NEAR(ColorSimilarity(0, 1 << 11), 98.92, 0.01);  // one red step
    EXPECT_NEAR(ColorSimilarity(0, 1), 98.92, 0.01);        // one blue step
    EXPECT_DOUBLE_EQ(ColorSimilarity(0x1F, 0x800), ColorSimilarity(0x800, 0x1F));
}
