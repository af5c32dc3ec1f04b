// The encoder against the plain transcription kept beside this test: identical
// bytes and identical events on many generated images and settings.
#include <gtest/gtest.h>

#include <random>

#include "EncodeEventLog.h"
#include "PlainRLEEncoder.h"
#include "TestImages.h"
#include "engine/RLEDecoder.h"
#include "engine/RLEEncoder.h"

namespace enginetest {
namespace {

struct Settings {
    float accuracy;
    int32_t maxPalette;
};

const std::vector<Settings> kSettings = {{100, 0},  {100, 250}, {99, 0},     {97.5f, 100},
                                         {95, 16},  {90, 300},  {100, 1000}, {93.3f, 250},
                                         {100, 40}, {98.7f, 0}};

// What the whole run of cases exercised, so that a generator change cannot quietly
// stop covering a path.
struct Coverage {
    size_t merges = 0;
    size_t baseMarkers = 0;
    size_t appendedCopies = 0;
    size_t failures = 0;
    size_t longRows = 0;
};

bool HasBaseMarker(const std::vector<uint8_t>& file, size_t rows) {
    // Rows follow the tables; a row starting with FD is enough to notice.
    const uint16_t count = static_cast<uint16_t>(file[8] | (file[9] << 8));
    size_t p = 14 + 2 * (count - 1u) + (file[2] ? count : 0);
    std::vector<size_t> lengths;
    for (size_t r = 0; r < rows; ++r) {
        if (file[p] == 0xFF) {
            lengths.push_back((file[p + 1] << 8) | file[p + 2]);
            p += 3;
        } else {
            lengths.push_back(file[p++]);
        }
    }
    for (const size_t length : lengths) {
        if (length > 0 && file[p] == 0xFD) {
            return true;
        }
        p += length;
    }
    return false;
}

// Compares at every setting; returns what the runs exercised.
Coverage ExpectSameAsPlain(const quenda::c32bppDIB& image, size_t distinctHint, const char* what) {
    Coverage c;
    for (const Settings& s : kSettings) {
        SCOPED_TRACE(std::string(what) + " accuracy " + std::to_string(s.accuracy) + " max " +
                     std::to_string(s.maxPalette));
        EventLog fastEvents, plainEvents;
        const quenda::RLEEncodeResult fast =
            quenda::EncodeRLE("x.bmp", image, s.accuracy, s.maxPalette, fastEvents);
        const plain::Outcome reference =
            plain::EncodeRLE("x.bmp", image, s.accuracy, s.maxPalette, plainEvents);
        c.merges += fastEvents.CountWithAction("Reducing color palette...");
        if (!reference.success) {
            // Where the plain steps give up, the encoder reduces the rows instead.
            ++c.failures;
            EXPECT_TRUE(reference.rowTooColorful || reference.paletteOverflow);
            EXPECT_TRUE(fast.success);
            EXPECT_TRUE(fast.rowsReduced);
            quenda::c32bppDIB decoded;
            EventLog decodeEvents;
            EXPECT_TRUE(quenda::DecodeRLEBytes(fast.bytes, "x.bmp", decoded, decodeEvents).success);
            continue;
        }
        EXPECT_TRUE(fast.success);
        EXPECT_FALSE(fast.rowsReduced);
        EXPECT_EQ(fast.bytes, reference.bytes);
        EXPECT_EQ(fastEvents.lines, plainEvents.lines);
        if (fast.bytes != reference.bytes || fastEvents.lines != plainEvents.lines) {
            return c;
        }
        const size_t count = fast.bytes[8] | (fast.bytes[9] << 8);
        c.appendedCopies += count > distinctHint + 1 ? 1 : 0;
        c.baseMarkers += HasBaseMarker(fast.bytes, static_cast<size_t>(image.Height())) ? 1 : 0;
        c.longRows += image.Width() >= 255 ? 1 : 0;
        quenda::c32bppDIB decoded;
        EventLog decodeEvents;
        EXPECT_TRUE(quenda::DecodeRLEBytes(fast.bytes, "x.bmp", decoded, decodeEvents).success);
        EXPECT_EQ(decoded.Width(), image.Width());
    }
    return c;
}

// Picks from `colors` with runs of repeated pixels and a skewed frequency, so the
// frequency order differs from the order of appearance.
std::function<Pixel(int, int)> Scatter(const std::vector<uint32_t>& colors, uint32_t seed,
                                       double runChance = 0.3) {
    auto rng = std::make_shared<std::mt19937>(seed);
    auto last = std::make_shared<Pixel>(Pixel{colors[0], 255});
    return [colors, rng, last, runChance](int, int) {
        std::uniform_real_distribution<double> u(0, 1);
        if (u(*rng) >= runChance) {
            const double skew = u(*rng);
            const auto i = static_cast<size_t>(skew * skew * static_cast<double>(colors.size()));
            *last = Pixel{colors[std::min(i, colors.size() - 1)], 255};
        }
        return *last;
    };
}

TEST(RLEEncoderMatchesPlain, FewColoursAreNeverMerged) {
    for (const size_t n : {1u, 2u, 17u, 120u, 249u, 250u}) {
        const std::vector<uint32_t> colors = DistinctColors(n, static_cast<uint32_t>(n));
        const auto image = MakeImage(40, 33, false, Scatter(colors, 7));
        EXPECT_EQ(ExpectSameAsPlain(*image, n, "few colours").merges, 0u);
    }
}

TEST(RLEEncoderMatchesPlain, NearShadesMergeAtSeveralSettings) {
    for (const auto& [centres, per] : {std::pair{26, 10}, std::pair{40, 12}, std::pair{60, 10}}) {
        const std::vector<uint32_t> colors = NearShades(centres, per, centres * 31u + per);
        const auto image = MakeImage(48, 40, false, Scatter(colors, centres, 0.2));
        EXPECT_GT(ExpectSameAsPlain(*image, colors.size(), "near shades").merges, 0u);
    }
}

TEST(RLEEncoderMatchesPlain, ThousandsOfColours) {
    const std::vector<uint32_t> colors = DistinctColors(1800, 99);
    const auto image = MakeImage(56, 48, false, Scatter(colors, 5, 0.05));
    EXPECT_GT(ExpectSameAsPlain(*image, colors.size(), "thousands").merges, 0u);
}

TEST(RLEEncoderMatchesPlain, RowsSpanningMoreThanOneWindow) {
    // Every row draws from the whole palette, so rows need windows and copies.
    const std::vector<uint32_t> colors = DistinctColors(600, 3);
    std::mt19937 rng(11);
    const auto image = MakeImage(120, 14, false, [&](int, int) {
        return Pixel{colors[rng() % colors.size()], 255};
    });
    const Coverage c = ExpectSameAsPlain(*image, colors.size(), "spread rows");
    EXPECT_GT(c.baseMarkers, 0u);
    EXPECT_GT(c.appendedCopies, 0u);
}

TEST(RLEEncoderMatchesPlain, PartialAndFullTransparency) {
    const std::vector<uint32_t> colors = NearShades(30, 12, 8);
    const uint8_t alphas[] = {0, 0, 40, 128, 200, 255, 255, 255};
    std::mt19937 rng(21);
    const auto image = MakeImage(50, 30, true, [&](int x, int) {
        const uint8_t a = x < 6 ? 0 : alphas[rng() % 8];
        return Pixel{colors[rng() % colors.size()], a};
    });
    ExpectSameAsPlain(*image, colors.size() * 4, "partial alpha");
    const auto clear = MakeImage(300, 3, true, [](int, int) { return Pixel{0, 0}; });
    ExpectSameAsPlain(*clear, 0, "fully transparent");
}

TEST(RLEEncoderMatchesPlain, OpaqueBlackIsTheTransparentEntry) {
    const std::vector<uint32_t> colors = DistinctColors(300, 4);
    std::mt19937 rng(2);
    const auto image = MakeImage(30, 30, false, [&](int, int) {
        return rng() % 3 == 0 ? Pixel{0, 255} : Pixel{colors[rng() % colors.size()], 255};
    });
    ExpectSameAsPlain(*image, colors.size(), "opaque black");
}

TEST(RLEEncoderMatchesPlain, OneRowAndOneColumn) {
    const std::vector<uint32_t> colors = DistinctColors(260, 6);
    const auto row = MakeImage(251, 1, false, Scatter(colors, 1, 0.5));
    ExpectSameAsPlain(*row, colors.size(), "one row");
    const auto column = MakeImage(1, 400, true, Scatter(colors, 2, 0.5));
    ExpectSameAsPlain(*column, colors.size(), "one column");
}

TEST(RLEEncoderMatchesPlain, RowsLongerThan255Bytes) {
    const std::vector<uint32_t> colors = DistinctColors(240, 12);
    const auto image = MakeImage(320, 4, false, [&](int x, int y) {
        return Pixel{colors[(x + y) % colors.size()], 255};
    });
    EXPECT_GT(ExpectSameAsPlain(*image, colors.size(), "long rows").longRows, 0u);
}

TEST(RLEEncoderMatchesPlain, RowsWithMoreThan251ColoursAreReducedWhereThePlainStepsFail) {
    const std::vector<uint32_t> colors = DistinctColors(700, 13);
    const auto image = MakeImage(260, 3, false, [&](int x, int y) {
        return Pixel{colors[(x + 260 * y) % colors.size()], 255};
    });
    const Coverage c = ExpectSameAsPlain(*image, colors.size(), "too colourful rows");
    // Merging down to 16 or 100 entries makes the rows fit; the other settings reduce.
    EXPECT_GT(c.failures, 0u);
    EXPECT_LT(c.failures, kSettings.size());
}

}  // namespace
}  // namespace enginetest
