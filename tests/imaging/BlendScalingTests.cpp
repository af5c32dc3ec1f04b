#include <gtest/gtest.h>

#include <random>

#include <cstring>

#include "imaging/AlphaBlend.h"
#include "imaging/ColorCompose.h"
#include "imaging/ImageScaling.h"
#include "imaging/c32bppDIB.h"

using namespace quenda;

namespace {

// The platform blend written out per channel, as the formula states it.
uint8_t PlatformChannel(int s, int d, int a, int k) {
    const int v = s * k / 255 + d * (255 - a * k / 255) / 255;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

}  // namespace

TEST(BlendOnto, RowsMatchTheFormulaForAnyBytes) {
    // Any byte values, including colours above alpha, in rows whose length is not a
    // multiple of the block size.
    std::mt19937 rng(3);
    for (int k : {255, 200, 1}) {
        for (int width : {1, 3, 4, 5, 37}) {
            PixelBuffer src, dst;
            ASSERT_TRUE(src.allocate(width, 2));
            ASSERT_TRUE(dst.allocate(width, 2));
            for (auto& b : src.bytes) {
                b = static_cast<uint8_t>(rng());
            }
            for (auto& b : dst.bytes) {
                b = static_cast<uint8_t>(rng());
            }
            const std::vector<uint8_t> before = dst.bytes;
            Surface surface{dst.bytes.data(), width, 2, width * 4};
            BlendParams params{BlendRule::Platform, k, true};
            BlendOnto(src.view(), surface, 0, 0, params);
            for (size_t i = 0; i < before.size(); ++i) {
                const int a = src.bytes[i | 3];
                const int s = (i % 4 == 3) ? a : src.bytes[i];
                ASSERT_EQ(dst.bytes[i], PlatformChannel(s, before[i], a, k))
                    << "k " << k << " width " << width << " byte " << i;
            }
        }
    }
}

TEST(BlendOnto, WithoutAlphaTheSourceIsOpaque) {
    PixelBuffer src, dst;
    ASSERT_TRUE(src.allocate(1, 1));
    ASSERT_TRUE(dst.allocate(1, 1));
    src.bytes = {10, 20, 30, 0};
    dst.bytes = {200, 200, 200, 200};
    Surface surface{dst.bytes.data(), 1, 1, 4};
    BlendOnto(src.view(), surface, 0, 0, BlendParams{BlendRule::Own, 255, false});
    EXPECT_EQ(dst.bytes, (std::vector<uint8_t>{10, 20, 30, 255}));
}

TEST(BoxReduce, AveragesBlocksIncludingPartialOnes) {
    PixelBuffer src, out;
    ASSERT_TRUE(src.allocate(5, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            src.row(y)[x * 4] = static_cast<uint8_t>(10 * x + y);
            src.row(y)[x * 4 + 3] = 255;
        }
    }
    ASSERT_TRUE(BoxReduce(src.view(), 2, 2, out));
    ASSERT_EQ(out.width, 3);
    ASSERT_EQ(out.height, 2);
    EXPECT_EQ(out.row(0)[0], (0 + 10 + 1 + 11 + 2) / 4);  // 24 / 4 = 6
    EXPECT_EQ(out.row(0)[8], (40 + 41 + 1) / 2);          // partial column block
    EXPECT_EQ(out.row(1)[8], 42);                         // corner block of one pixel
    EXPECT_EQ(out.row(1)[3], 255);
}

TEST(ScaleBicubic, LargeReductionKeepsAverageAndPremultiplication) {
    PixelBuffer src, out;
    ASSERT_TRUE(src.allocate(640, 480));
    std::mt19937 rng(5);
    for (size_t i = 0; i < src.bytes.size(); i += 4) {
        const uint8_t a = static_cast<uint8_t>(rng());
        src.bytes[i + 3] = a;
        for (int c = 0; c < 3; ++c) {
            src.bytes[i + c] = static_cast<uint8_t>(a ? rng() % (a + 1) : 0);
        }
    }
    TargetWindow window{16, 12, 0, 0, 16, 12};
    ASSERT_TRUE(ScaleBicubic(src.view(), window, out));
    for (size_t i = 0; i < out.bytes.size(); i += 4) {
        ASSERT_LE(out.bytes[i], out.bytes[i + 3]);
        ASSERT_NEAR(out.bytes[i + 3], 127.5, 12.0);  // noise averages out
    }
}

TEST(ScaleBicubic, WindowMatchesTheSameRegionOfTheWholeTarget) {
    PixelBuffer src, whole, part;
    ASSERT_TRUE(src.allocate(9, 7));
    for (size_t i = 0; i < src.bytes.size(); ++i) {
        src.bytes[i] = static_cast<uint8_t>(i % 4 == 3 ? 255 : (i * 37) % 256);
    }
    ASSERT_TRUE(ScaleBicubic(src.view(), TargetWindow{20, 15, 0, 0, 20, 15}, whole));
    ASSERT_TRUE(ScaleBicubic(src.view(), TargetWindow{20, 15, 5, 4, 6, 3}, part));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 6 * 4; ++x) {
            ASSERT_EQ(part.row(y)[x], whole.row(y + 4)[5 * 4 + x]);
        }
    }
}

TEST(ScaleNearest, PicksPixelCentres) {
    PixelBuffer src, out;
    ASSERT_TRUE(src.allocate(4, 1));
    for (int x = 0; x < 4; ++x) {
        src.row(0)[x * 4] = static_cast<uint8_t>(x);
    }
    ASSERT_TRUE(ScaleNearest(src.view(), TargetWindow{2, 1, 0, 0, 2, 1}, out));
    EXPECT_EQ(out.row(0)[0], 1);
    EXPECT_EQ(out.row(0)[4], 3);
}

TEST(ComposeOverColor, EqualsFillThenRender) {
    std::mt19937 rng(11);
    for (int variant = 0; variant < 3; ++variant) {
        c32bppDIB image;
        ASSERT_TRUE(image.InitializeDIB(13, 7));
        uint8_t* p = image.BitsPointer();
        for (size_t i = 0; i < image.ByteCount(); i += 4) {
            const uint8_t a = static_cast<uint8_t>(rng());
            p[i + 3] = variant == 2 && i % 3 == 0 ? 255 : a;
            for (int c = 0; c < 3; ++c) {
                // Variant 1 includes colours above alpha, which a blend caps.
                p[i + c] = static_cast<uint8_t>(variant == 1 ? rng() : (a ? rng() % (a + 1) : 0));
            }
        }
        image.setAlpha(variant != 2);
        const int32_t colour = 0x00336699;
        c32bppDIB drawn;
        std::vector<uint8_t> composed(image.ByteCount());
        ASSERT_TRUE(drawn.InitializeDIB(13, 7));
        for (int32_t y = 0; y < 7; ++y) {
            for (int32_t x = 0; x < 13; ++x) {
                drawn.SetPixel(x, y, colour, 255);
            }
        }
        ASSERT_TRUE(image.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &drawn));
        ASSERT_TRUE(ComposeOverColor(image, composed.data(), colour));
        ASSERT_EQ(std::memcmp(composed.data(), drawn.BitsPointer(), drawn.ByteCount()), 0)
            << "variant " << variant;
    }
}
