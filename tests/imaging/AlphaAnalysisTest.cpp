#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "imaging/AlphaAnalysis.h"
#include "imaging/c32bppDIB.h"

using quenda::AlphaKind;
using quenda::ClassifyAlpha;

namespace {

std::vector<uint8_t> Pixels(std::initializer_list<std::array<uint8_t, 4>> list) {
    std::vector<uint8_t> out;
    for (const auto& p : list) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

AlphaKind Classify(const std::vector<uint8_t>& px) {
    return ClassifyAlpha(px.data(), px.size() / 4);
}

}  // namespace

TEST(AlphaAnalysis, UniformAlphaMeansNoAlpha) {
    EXPECT_EQ(Classify(Pixels({{1, 2, 3, 255}, {4, 5, 6, 255}})), AlphaKind::None);
    // A 32-bit source whose fourth byte is all zero is an opaque picture.
    EXPECT_EQ(Classify(Pixels({{1, 2, 3, 0}, {4, 5, 6, 0}})), AlphaKind::None);
}

TEST(AlphaAnalysis, ColourUnderZeroAlphaIsStraight) {
    EXPECT_EQ(Classify(Pixels({{0, 0, 9, 0}, {1, 1, 1, 255}})), AlphaKind::Straight);
    EXPECT_EQ(Classify(Pixels({{0, 0, 0, 0}, {200, 0, 0, 100}})), AlphaKind::Straight);
}

TEST(AlphaAnalysis, ConsistentPartialAlphaIsPremultiplied) {
    EXPECT_EQ(Classify(Pixels({{0, 0, 0, 0}, {50, 60, 100, 100}, {1, 2, 3, 255}})),
              AlphaKind::Premultiplied);
    EXPECT_EQ(Classify(Pixels({{0, 0, 0, 0}, {1, 2, 3, 255}})), AlphaKind::Premultiplied);
}

TEST(AlphaAnalysis, ApplyPremultipliesStraightPixels) {
    quenda::c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(2, 1));
    uint8_t* p = dib.BitsPointer();
    const uint8_t straight[8] = {200, 100, 50, 128, 9, 9, 9, 0};
    std::copy(straight, straight + 8, p);
    quenda::ApplyAlphaAnalysis(dib, true, quenda::AlphaMode::Analyze);
    EXPECT_EQ(dib.ImageType(), 6);
    EXPECT_TRUE(dib.Alpha());
    EXPECT_EQ(p[0], 200 * 128 / 255);
    EXPECT_EQ(p[2], 50 * 128 / 255);
    EXPECT_EQ(p[4] | p[5] | p[6] | p[7], 0);
}

TEST(AlphaAnalysis, OpaqueModeSetsAlphaBytes) {
    quenda::c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(2, 1));
    dib.BitsPointer()[0] = 7;
    quenda::ApplyAlphaAnalysis(dib, true, quenda::AlphaMode::TakeAsOpaque);
    EXPECT_EQ(dib.ImageType(), 1);
    EXPECT_FALSE(dib.Alpha());
    EXPECT_EQ(dib.BitsPointer()[3], 255);
    EXPECT_EQ(dib.BitsPointer()[7], 255);
    EXPECT_EQ(dib.BitsPointer()[0], 7);
}
