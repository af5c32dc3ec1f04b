#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "imaging/c32bppDIB.h"

using namespace quenda;

namespace {

struct Bgra {
    uint8_t b, g, r, a;
};

// Premultiplied pixel bytes at (x, y) from the top.
Bgra At(const c32bppDIB& img, int32_t x, int32_t y) {
    const uint8_t* p = img.BitsPointer() + img.PixelOffset(x, y);
    return {p[0], p[1], p[2], p[3]};
}

void Put(c32bppDIB& img, int32_t x, int32_t y, Bgra v) {
    uint8_t* p = img.BitsPointer() + img.PixelOffset(x, y);
    p[0] = v.b;
    p[1] = v.g;
    p[2] = v.r;
    p[3] = v.a;
}

void Fill(c32bppDIB& img, Bgra v) {
    for (int32_t y = 0; y < img.Height(); ++y) {
        for (int32_t x = 0; x < img.Width(); ++x) {
            Put(img, x, y, v);
        }
    }
}

// A buffer that only the library's own code draws with: no stand-in, no platform blend.
void UseOwnPath(c32bppDIB& img) {
    img.setIsGDIplusEnabled(false);
    img.setIsAlphaBlendFriendly(false);
}

bool operator==(Bgra l, Bgra r) {
    return std::memcmp(&l, &r, 4) == 0;
}
std::ostream& operator<<(std::ostream& os, Bgra v) {
    return os << "(" << int(v.b) << "," << int(v.g) << "," << int(v.r) << "," << int(v.a) << ")";
}

}  // namespace

TEST(Render, WithoutImageOrTargetFails) {
    c32bppDIB empty, dest;
    ASSERT_TRUE(dest.InitializeDIB(4, 4));
    EXPECT_FALSE(empty.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &dest));
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(2, 2));
    EXPECT_FALSE(img.Render(Surface{}));  // neither surface nor buffer
}

TEST(Render, OpacityZeroDrawsNothingButReportsImageHeld) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(2, 2));
    Fill(img, {10, 20, 30, 255});
    ASSERT_TRUE(dest.InitializeDIB(2, 2));
    EXPECT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 0, true, true, &dest));
    EXPECT_EQ(At(dest, 0, 0), (Bgra{0, 0, 0, 0}));
    c32bppDIB empty;
    EXPECT_FALSE(empty.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 0, true, true, &dest));
}

TEST(Render, PlatformBlendUsesPremultipliedFormula) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(1, 1));
    Put(img, 0, 0, {40, 60, 100, 128});
    img.setAlpha(true);
    ASSERT_TRUE(dest.InitializeDIB(1, 1));
    Fill(dest, {200, 100, 50, 255});
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &dest));
    // d = s + d * (255 - 128) / 255
    EXPECT_EQ(At(dest, 0, 0), (Bgra{40 + 200 * 127 / 255, 60 + 100 * 127 / 255,
                                    100 + 50 * 127 / 255, 128 + 255 * 127 / 255}));
}

TEST(Render, OpacityAbove100IsTakenModulo100) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(1, 1));
    Put(img, 0, 0, {200, 200, 200, 255});
    img.setAlpha(false);
    ASSERT_TRUE(dest.InitializeDIB(1, 1));
    Fill(dest, {100, 0, 0, 255});
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 150, true, true, &dest));
    const int k = 50 * 255 / 100;  // 127
    const int inv = 255 - 255 * k / 255;
    EXPECT_EQ(At(dest, 0, 0),
              (Bgra{static_cast<uint8_t>(200 * k / 255 + 100 * inv / 255),
                    static_cast<uint8_t>(200 * k / 255), static_cast<uint8_t>(200 * k / 255),
                    static_cast<uint8_t>(255 * k / 255 + 255 * inv / 255)}));
    // 200 draws fully.
    Fill(dest, {100, 0, 0, 255});
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 200, true, true, &dest));
    EXPECT_EQ(At(dest, 0, 0), (Bgra{200, 200, 200, 255}));
}

TEST(Render, OwnBlendFormulas) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(3, 1));
    UseOwnPath(img);
    Put(img, 0, 0, {255, 0, 0, 255});
    Put(img, 1, 0, {50, 50, 50, 100});
    Put(img, 2, 0, {0, 0, 0, 0});
    img.setAlpha(true);
    ASSERT_TRUE(dest.InitializeDIB(3, 1));
    Fill(dest, {10, 200, 30, 255});
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &dest));
    EXPECT_EQ(At(dest, 0, 0), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(At(dest, 1, 0), (Bgra{50 + 10 * 155 / 255, 50 + 200 * 155 / 255, 50 + 30 * 155 / 255,
                                    100 + 255 * 155 / 255}));
    EXPECT_EQ(At(dest, 2, 0), (Bgra{10, 200, 30, 255}));

    // k < 255: d = (d * (255 - a * k / 255) + s * k) / 255
    Fill(dest, {10, 200, 30, 255});
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 40, true, true, &dest));
    const int k = 40 * 255 / 100;
    auto mix = [k](int d, int s, int a) {
        return static_cast<uint8_t>((d * (255 - a * k / 255) + s * k) / 255);
    };
    EXPECT_EQ(At(dest, 1, 0),
              (Bgra{mix(10, 50, 100), mix(200, 50, 100), mix(30, 50, 100), mix(255, 100, 100)}));
    EXPECT_EQ(At(dest, 0, 0),
              (Bgra{mix(10, 255, 255), mix(200, 0, 255), mix(30, 0, 255), mix(255, 255, 255)}));
}

TEST(Render, OwnBilinearIsCornerAligned) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(2, 1));
    UseOwnPath(img);
    Put(img, 0, 0, {0, 0, 0, 255});
    Put(img, 1, 0, {200, 100, 50, 255});
    img.setAlpha(false);
    ASSERT_TRUE(dest.InitializeDIB(4, 1));
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 4, 1, 0, 0, 0, 0, 100, true, true, &dest));
    // Source positions 0, 0.5, 1, 1.5 (the last neighbour is the edge pixel).
    EXPECT_EQ(At(dest, 0, 0), (Bgra{0, 0, 0, 255}));
    EXPECT_EQ(At(dest, 1, 0), (Bgra{100, 50, 25, 255}));
    EXPECT_EQ(At(dest, 2, 0), (Bgra{200, 100, 50, 255}));
    EXPECT_EQ(At(dest, 3, 0), (Bgra{200, 100, 50, 255}));
}

TEST(Render, OwnBilinearTruncates) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(3, 1));
    UseOwnPath(img);
    Put(img, 0, 0, {0, 0, 0, 255});
    Put(img, 1, 0, {255, 255, 255, 255});
    Put(img, 2, 0, {0, 0, 0, 255});
    img.setAlpha(false);
    ASSERT_TRUE(dest.InitializeDIB(2, 1));
    // Positions 0 and 1.5: 255 * 0.5 = 127.5 truncates to 127.
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 2, 1, 0, 0, 0, 0, 100, true, true, &dest));
    EXPECT_EQ(At(dest, 1, 0).b, 127);
}

TEST(Render, NegativeDestWidthMirrors) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(100, 1));
    for (int x = 0; x < 100; ++x) {
        Put(img, x, 0, {static_cast<uint8_t>(x), 0, 0, 255});
    }
    img.setAlpha(false);
    for (bool own : {false, true}) {
        if (own) {
            UseOwnPath(img);
        }
        ASSERT_TRUE(dest.InitializeDIB(100, 1));
        ASSERT_TRUE(img.Render(Surface{}, 0, 0, -100, 0, 0, 0, 0, 0, 100, true, true, &dest));
        for (int x = 0; x < 100; ++x) {
            ASSERT_EQ(At(dest, x, 0).b, 99 - x) << "own " << own << " x " << x;
        }
    }
}

TEST(Render, NegativeSourceHeightMirrorsVertically) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(1, 3));
    for (int y = 0; y < 3; ++y) {
        Put(img, 0, y, {static_cast<uint8_t>(10 * y), 0, 0, 255});
    }
    img.setAlpha(false);
    ASSERT_TRUE(dest.InitializeDIB(1, 3));
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, -3, 100, true, true, &dest));
    EXPECT_EQ(At(dest, 0, 0).b, 20);
    EXPECT_EQ(At(dest, 0, 2).b, 0);
}

TEST(Render, SourceRectangleAndCentre) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(4, 4));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            Put(img, x, y, {static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0, 255});
        }
    }
    img.setAlpha(false);
    ASSERT_TRUE(dest.InitializeDIB(4, 4));
    // A 2x2 piece from (2, 1), centred on (2, 2) of the target, 2x2 in size.
    ASSERT_TRUE(
        img.Render(Surface{}, 2, 2, 2, 2, 2, 1, 2, 2, 100, true, true, &dest, -1, 0, 0, true));
    EXPECT_EQ(At(dest, 1, 1), (Bgra{2, 1, 0, 255}));
    EXPECT_EQ(At(dest, 2, 2), (Bgra{3, 2, 0, 255}));
    EXPECT_EQ(At(dest, 0, 0), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(At(dest, 3, 3), (Bgra{0, 0, 0, 0}));
    // A source origin past the edge draws nothing.
    EXPECT_FALSE(img.Render(Surface{}, 0, 0, 0, 0, 4, 0, 0, 0, 100, true, true, &dest));
}

TEST(Render, LightOutOfRangeIsIgnoredAndEffectsApply) {
    c32bppDIB img, a, b;
    ASSERT_TRUE(img.InitializeDIB(1, 1));
    Put(img, 0, 0, {20, 120, 220, 255});
    img.setAlpha(false);
    ASSERT_TRUE(a.InitializeDIB(1, 1));
    ASSERT_TRUE(b.InitializeDIB(1, 1));
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &a, -1, 101));
    EXPECT_EQ(At(a, 0, 0), (Bgra{20, 120, 220, 255}));
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &b, 0, 0));
    const Bgra g = At(b, 0, 0);
    EXPECT_EQ(g.b, g.g);
    EXPECT_EQ(g.g, g.r);
    EXPECT_NEAR(g.r, 0.299 * 220 + 0.587 * 120 + 0.114 * 20, 1.0);
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &b, -1, 100));
    EXPECT_EQ(At(b, 0, 0), (Bgra{255, 255, 255, 255}));
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &b, -1, -100));
    EXPECT_EQ(At(b, 0, 0), (Bgra{0, 0, 0, 255}));
}

TEST(Render, Rotation180EqualsMirrorBothAxes) {
    c32bppDIB img, turned, mirrored;
    ASSERT_TRUE(img.InitializeDIB(4, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            Put(img, x, y, {static_cast<uint8_t>(40 * x), static_cast<uint8_t>(70 * y), 9, 255});
        }
    }
    img.setAlpha(false);
    ASSERT_TRUE(turned.InitializeDIB(4, 3));
    ASSERT_TRUE(mirrored.InitializeDIB(4, 3));
    ASSERT_TRUE(
        img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &turned, -1, 0, 180));
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, -4, -3, 0, 0, 0, 0, 100, true, true, &mirrored));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(At(turned, x, y), At(mirrored, x, y)) << x << "," << y;
        }
    }
    // 360 degrees is no rotation.
    ASSERT_TRUE(
        img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &turned, -1, 0, 360));
    EXPECT_EQ(At(turned, 0, 0), At(img, 0, 0));
}

TEST(Render, Rotation90TurnsClockwise) {
    c32bppDIB img, dest;
    ASSERT_TRUE(img.InitializeDIB(3, 3));
    Fill(img, {0, 0, 0, 255});
    Put(img, 0, 1, {200, 0, 0, 255});  // middle of the left edge
    img.setAlpha(false);
    ASSERT_TRUE(dest.InitializeDIB(3, 3));
    img.setHighQualityInterpolation(false);
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &dest, -1, 0, 90));
    EXPECT_EQ(At(dest, 1, 0).b, 200);  // now the middle of the top edge
}

TEST(Render, WritesOnlyInsideTheTarget) {
    // The surface is a window inside a larger block whose margin must stay intact.
    constexpr int kW = 13, kH = 9, kMargin = 8;
    constexpr int kFullW = kW + 2 * kMargin, kFullH = kH + 2 * kMargin;
    std::vector<uint8_t> block(kFullW * kFullH * 4, 0xA5);
    Surface surface{block.data() + (kMargin * kFullW + kMargin) * 4, kW, kH, kFullW * 4};

    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(7, 5));
    Fill(img, {10, 20, 30, 200});
    img.setAlpha(true);
    std::mt19937 rng(7);
    const std::array<int32_t, 12> extremes = {0,       1, -1, 3,         -7,        100000,
                                              -100000, 6, 13, INT32_MAX, INT32_MIN, INT32_MAX / 2};
    auto pick = [&]() {
        if (rng() % 3 == 0) {
            return extremes[rng() % extremes.size()];
        }
        return static_cast<int32_t>(rng() % 41) - 20;
    };
    for (int round = 0; round < 3000; ++round) {
        const int path = round % 3;
        img.setIsGDIplusEnabled(path != 2);
        img.setIsAlphaBlendFriendly(path == 0);
        const double angle = (round % 7 == 0) ? static_cast<double>(rng() % 360) : 0.0;
        img.Render(surface, pick(), pick(), pick(), pick(), pick(), pick(), pick(), pick(),
                   static_cast<int32_t>(rng() % 120), true, true, nullptr,
                   static_cast<int32_t>(rng() % 3) - 1, static_cast<int32_t>(rng() % 50), angle,
                   rng() % 2 == 0);
    }
    for (int y = 0; y < kFullH; ++y) {
        for (int x = 0; x < kFullW; ++x) {
            const bool inside =
                x >= kMargin && x < kMargin + kW && y >= kMargin && y < kMargin + kH;
            if (inside) {
                continue;
            }
            for (int c = 0; c < 4; ++c) {
                ASSERT_EQ(block[(y * kFullW + x) * 4 + c], 0xA5) << x << "," << y;
            }
        }
    }
}

TEST(Render, IntoItselfReadsTheOriginal) {
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(4, 1));
    for (int x = 0; x < 4; ++x) {
        Put(img, x, 0, {static_cast<uint8_t>(x * 10), 0, 0, 255});
    }
    img.setAlpha(false);
    ASSERT_TRUE(img.Render(Surface{}, 0, 0, -4, 0, 0, 0, 0, 0, 100, true, true, &img));
    EXPECT_EQ(At(img, 0, 0).b, 30);
    EXPECT_EQ(At(img, 3, 0).b, 0);
}

TEST(ScaleImage, Modes) {
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(50, 20));
    int32_t w = -1, h = -1;
    img.ScaleImage(100, 100, w, h, 0);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 40);
    img.ScaleImage(100, 100, w, h, 1);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 20);
    img.ScaleImage(30, 100, w, h, 1);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 12);
    img.ScaleImage(7, 9, w, h, 2);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 9);
    img.ScaleImage(7, 9, w, h, 3);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 20);
    img.ScaleImage(7, 9, w, h, -1);
    EXPECT_EQ(w, 50);
    c32bppDIB empty;
    w = h = 5;
    empty.ScaleImage(7, 9, w, h, 0);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 5);
}

TEST(Resize, SameSizeChangesNothing) {
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(3, 2));
    Put(img, 1, 1, {1, 2, 3, 255});
    const uint8_t* before = img.BitsPointer();
    EXPECT_TRUE(img.Resize(0, 2));
    EXPECT_EQ(img.BitsPointer(), before);
    EXPECT_EQ(At(img, 1, 1), (Bgra{1, 2, 3, 255}));
}

TEST(Resize, EveryPathKeepsAUniformImageUniform) {
    for (int path = 0; path < 4; ++path) {
        c32bppDIB img;
        ASSERT_TRUE(img.InitializeDIB(5, 3));
        img.setIsGDIplusEnabled(path < 2);
        img.setHighQualityInterpolation(path == 0 || path == 2);
        Fill(img, {40, 80, 120, 200});
        img.setAlpha(true);
        img.setImageType(IMAGE_PNG);
        ASSERT_TRUE(img.Resize(11, 7)) << path;
        EXPECT_EQ(img.Width(), 11);
        EXPECT_EQ(img.Height(), 7);
        EXPECT_TRUE(img.Alpha());
        EXPECT_EQ(img.ImageType(), IMAGE_PNG);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 11; ++x) {
                ASSERT_EQ(At(img, x, y), (Bgra{40, 80, 120, 200})) << path << " " << x << "," << y;
            }
        }
    }
}

TEST(Resize, NegativeWidthMirrors) {
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(3, 1));
    img.setIsGDIplusEnabled(false);
    for (int x = 0; x < 3; ++x) {
        Put(img, x, 0, {static_cast<uint8_t>(x * 50), 0, 0, 255});
    }
    ASSERT_TRUE(img.Resize(-3, 1));
    EXPECT_EQ(img.Width(), 3);
    EXPECT_EQ(At(img, 0, 0).b, 100);
    EXPECT_EQ(At(img, 2, 0).b, 0);
}

TEST(CopyImageTo, ScaledAndMirroredCopiesReplaceTheDestination) {
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(2, 2));
    Fill(img, {9, 9, 9, 255});
    Put(img, 0, 0, {200, 0, 0, 255});
    img.setAlpha(false);
    std::unique_ptr<c32bppDIB> copy;
    img.CopyImageTo(copy, 8, 8);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Width(), 8);
    EXPECT_FALSE(copy->Alpha());
    // Bicubic may ring a little next to a strong edge.
    EXPECT_NEAR(At(*copy, 7, 7).b, 9, 2);
    EXPECT_EQ(At(*copy, 7, 7).a, 255);
    EXPECT_GT(At(*copy, 0, 0).b, 150);

    auto mirrored = std::make_unique<c32bppDIB>();
    ASSERT_TRUE(mirrored->InitializeDIB(2, 2));
    Fill(*mirrored, {1, 1, 1, 255});
    img.CopyImageTo(mirrored, -2, 2);
    EXPECT_EQ(At(*mirrored, 1, 0), (Bgra{200, 0, 0, 255}));
    EXPECT_EQ(At(*mirrored, 0, 0), (Bgra{9, 9, 9, 255}));
}

TEST(SwapDIBs, ExchangesPixelsAndSizes) {
    c32bppDIB a, b;
    ASSERT_TRUE(a.InitializeDIB(3, 2));
    ASSERT_TRUE(b.InitializeDIB(1, 5));
    const uint8_t* pa = a.BitsPointer();
    a.SwapDIBs(b);
    EXPECT_EQ(b.BitsPointer(), pa);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(a.Height(), 5);
}
