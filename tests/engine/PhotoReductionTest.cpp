// Photo-like pictures through every reduction: each converts, decodes, and keeps
// the quality measured against plain reductions computed here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EncodeEventLog.h"
#include "PhotoQuality.h"
#include "TestImages.h"
#include "engine/RLEEncoder.h"

namespace enginetest {
namespace {

using quenda::RLEEncodeOptions;
using quenda::RLEReduction;

quenda::RLEEncodeResult Encode(const quenda::c32bppDIB& image, float accuracy, int32_t maxPalette,
                               const RLEEncodeOptions& options = {}) {
    EventLog log;
    return quenda::EncodeRLE("p.bmp", image, accuracy, maxPalette, options, log);
}

// Grainy enough that most rows hold more than 251 colours.
const quenda::c32bppDIB& Grainy() {
    static const auto image = PhotoLike(600, 120, 6.0, 7);
    return *image;
}

TEST(PhotoReduction, DefaultPathReachesThePerRowMedianCut) {
    const auto result = Encode(Grainy(), 100, 0);
    ASSERT_TRUE(result.success);
    EXPECT_TRUE(result.rowsReduced);
    const auto decoded = DecodeBytes(result.bytes);
    ASSERT_TRUE(decoded);
    EXPECT_GE(Psnr(Grainy(), *decoded), PerRowMedianCutPsnr(Grainy()));
}

// A tall picture is reduced in bands of rows side by side, each on a palette of its
// own: the joined file must decode as well as one band would, and be the same
// bytes however the bands' threads ran.
TEST(PhotoReduction, BandsJoinIntoTheSameFileEveryTime) {
    const auto tall = PhotoLike(600, 300, 6.0, 11);
    EventLog log;
    const auto first = quenda::EncodeRLE("p.bmp", *tall, 100, 0, {}, log);
    ASSERT_TRUE(first.success);
    EXPECT_TRUE(first.rowsReduced);
    for (int again = 0; again < 3; ++again) {
        EXPECT_EQ(Encode(*tall, 100, 0).bytes, first.bytes);
    }
    const auto decoded = DecodeBytes(first.bytes);
    ASSERT_TRUE(decoded);
    EXPECT_GE(Psnr(*tall, *decoded), PerRowMedianCutPsnr(*tall));
    // Progress only rises and ends complete, with every entry of the joined palette.
    std::vector<std::string> rows;
    for (const std::string& line : log.lines) {
        if (line.find("|Reducing row colors|") != std::string::npos) {
            rows.push_back(line);
        }
    }
    ASSERT_FALSE(rows.empty());
    // The progress and the count are the last two fields; the status has bars of its own.
    const auto fromEnd = [](const std::string& line, int index) {
        size_t end = line.size();
        for (int i = 0; i < index; ++i) {
            end = line.rfind('|', end - 1);
        }
        const size_t start = line.rfind('|', end - 1) + 1;
        return std::stod(line.substr(start, end - start));
    };
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_GE(fromEnd(rows[i], 1), fromEnd(rows[i - 1], 1)) << rows[i];
    }
    EXPECT_EQ(fromEnd(rows.back(), 1), 100.0);
    EXPECT_EQ(fromEnd(rows.back(), 0), first.colorCount + 1);
}

TEST(PhotoReduction, BestAt250BeatsAMedianCutPalette) {
    const double reference = MedianCutPalettePsnr(Grainy(), 250);
    const double classic = Psnr(Grainy(), *DecodeBytes(Encode(Grainy(), 100, 250).bytes));
    for (const bool dither : {false, true}) {
        SCOPED_TRACE(dither ? "dithered" : "plain");
        const auto result = Encode(Grainy(), 100, 250, {RLEReduction::Best, dither});
        ASSERT_TRUE(result.success);
        EXPECT_FALSE(result.rowsReduced);
        EXPECT_LE(result.colorCount, 249);
        const auto decoded = DecodeBytes(result.bytes);
        ASSERT_TRUE(decoded);
        const double psnr = Psnr(Grainy(), *decoded);
        EXPECT_GT(psnr, classic + 3.0);
        if (!dither) {
            EXPECT_GE(psnr, reference + 1.0);
        }
    }
}

// Accuracy alone: the quantizer reaches the palette size the merging would.
TEST(PhotoReduction, BestWithAnAccuracyKeepsTheMergedSize) {
    const auto image = PhotoLike(256, 64, 3.0, 2);
    const auto classic = Encode(*image, 95, 0);
    const auto best = Encode(*image, 95, 0, {RLEReduction::Best, false});
    ASSERT_TRUE(classic.success);
    ASSERT_TRUE(best.success);
    EXPECT_LE(best.colorCount, classic.colorCount);
    EXPECT_GT(Psnr(*image, *DecodeBytes(best.bytes)), Psnr(*image, *DecodeBytes(classic.bytes)));
}

// Pictures the format holds without reduction keep their bytes whatever the options.
TEST(PhotoReduction, OptionsLeaveFittingPicturesAlone) {
    const auto few = MakeImage(300, 40, false, [](int x, int y) {
        return Pixel{Rgb(static_cast<unsigned>(x % 200), static_cast<unsigned>(y * 4), 90), 255};
    });
    const auto fitting = PhotoLike(200, 50, 1.0, 3);
    for (const auto* image : {few.get(), fitting.get()}) {
        const auto classic = Encode(*image, 100, 0);
        ASSERT_TRUE(classic.success);
        EXPECT_FALSE(classic.rowsReduced);
        for (const bool dither : {false, true}) {
            EXPECT_EQ(Encode(*image, 100, 0, {RLEReduction::Best, dither}).bytes, classic.bytes);
        }
    }
}

// A photo with an alpha ramp: opacity levels survive the reduction exactly, since
// colours of different opacity are never merged while colours of the same can be.
TEST(PhotoReduction, AlphaLevelsSurviveTheReduction) {
    const auto& photo = Grainy();
    const auto image = MakeImage(photo.Width(), photo.Height(), true, [&](int x, int y) {
        uint8_t alpha = 0;
        const uint32_t color = static_cast<uint32_t>(photo.GetPixel(x, y, &alpha));
        return Pixel{color, static_cast<uint8_t>(x * 255 / (photo.Width() - 1))};
    });
    for (const RLEEncodeOptions& options :
         {RLEEncodeOptions{}, RLEEncodeOptions{RLEReduction::Best, false},
          RLEEncodeOptions{RLEReduction::Best, true}}) {
        const auto result =
            Encode(*image, 100, options.reduction == RLEReduction::Best ? 250 : 0, options);
        ASSERT_TRUE(result.success);
        const auto decoded = DecodeBytes(result.bytes);
        ASSERT_TRUE(decoded);
        ASSERT_TRUE(decoded->Alpha());
        for (int y = 0; y < image->Height(); ++y) {
            for (int x = 0; x < image->Width(); ++x) {
                uint8_t want = 0, got = 0;
                image->GetPixel(x, y, &want);
                decoded->GetPixel(x, y, &got);
                ASSERT_EQ(quenda::AlphaTo33(want), quenda::AlphaTo33(got)) << x << "," << y;
            }
        }
        EXPECT_GT(Psnr(*image, *decoded), 28.0);
    }
}

}  // namespace
}  // namespace enginetest
