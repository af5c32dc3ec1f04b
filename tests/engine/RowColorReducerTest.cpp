#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/RowColorReducer.h"
#include "engine/modColor.h"

namespace {

using quenda::PaletteKey;
using quenda::RowColor;
using quenda::RowColorReducer;

PaletteKey Opaque(uint16_t color) {
    return quenda::MakePaletteKey(color, quenda::kMaxAlpha33);
}

RowColor ColorOf(PaletteKey key) {
    const quenda::ColorPoint point = quenda::PointOfKey(key);
    return {key, {point, 1.0f}};
}

// New entries are appended so that those the next rows need stay in reach
// longest: first what no row ahead uses, then what only the row after next uses,
// then the next row's, and last what both next rows use.
TEST(RowColorReducer, EntriesTheNextRowsNeedComeLast) {
    const PaletteKey none = Opaque(0x1111), afterNext = Opaque(0x2222), next = Opaque(0x3333),
                     both = Opaque(0x4444);
    RowColorReducer reducer(Opaque(0), 1000, 3);
    for (const PaletteKey key : {next, both}) {
        reducer.Expect(key, 1);
    }
    for (const PaletteKey key : {afterNext, both}) {
        reducer.Expect(key, 2);
    }
    std::vector<int32_t> positions;
    reducer.Place({ColorOf(both), ColorOf(next), ColorOf(afterNext), ColorOf(none)}, 0, positions);
    const std::vector<PaletteKey> expected{Opaque(0), none, afterNext, next, both};
    EXPECT_EQ(reducer.Palette(), expected);
}

// A row with more colours than a window holds, in twins one green step apart.
// When it may add most of them, each colour left out has its twin kept; when it
// may add only a few, they still spread over the row's colours.
TEST(RowColorReducer, ARowWithTooManyColoursKeepsEachNearAnEntry) {
    std::vector<RowColor> row;
    for (uint16_t i = 0; i < 150; ++i) {
        const auto red = static_cast<uint16_t>(i % 32), green = static_cast<uint16_t>(i / 32 * 8);
        for (uint16_t twin = 0; twin < 2; ++twin) {
            row.push_back(ColorOf(Opaque(static_cast<uint16_t>(red << 11 | (green + twin) << 5))));
        }
    }
    // With 39 entries, an even spread leaves each colour within 1.5 red steps (12)
    // of one; choosing the worst served one at a time stays within about twice that.
    struct Case {
        int32_t capacity;
        float farthest;  // from a colour to its entry
    } const cases[] = {{1000, 5.0f}, {40, 26.0f}};
    for (const Case& c : cases) {
        RowColorReducer reducer(Opaque(0), c.capacity, 1);
        std::vector<int32_t> positions;
        const int32_t base = reducer.Place(row, 0, positions);
        ASSERT_EQ(positions.size(), row.size());
        EXPECT_LE(reducer.Palette().size(), static_cast<size_t>(c.capacity));
        EXPECT_TRUE(reducer.Reduced());
        float farthest = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            ASSERT_GE(positions[i], base);
            ASSERT_LT(positions[i], base + 251);
            const PaletteKey entry = reducer.Palette()[static_cast<size_t>(positions[i])];
            farthest = std::max(farthest, std::sqrt(quenda::Distance2(row[i].source.point,
                                                                      quenda::PointOfKey(entry))));
        }
        EXPECT_LE(farthest, c.farthest) << "capacity " << c.capacity;
    }
}

}  // namespace
