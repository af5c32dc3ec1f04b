#include <gtest/gtest.h>

#include "engine/RowColorReducer.h"
#include "engine/modColor.h"

namespace {

using quenda::PaletteKey;
using quenda::RowColor;
using quenda::RowColorReducer;

PaletteKey Opaque(uint16_t color) { return quenda::MakePaletteKey(color, quenda::kMaxAlpha33); }

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

}  // namespace
