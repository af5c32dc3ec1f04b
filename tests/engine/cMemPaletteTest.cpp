#include <gtest/gtest.h>

#include "engine/cMemPalette.h"

namespace {

using quenda::cMemPalette;
using quenda::PALETTE16;

PALETTE16 Entry(uint16_t color, uint8_t alpha) {
    PALETTE16 e;
    e.pColor = static_cast<int16_t>(color);
    e.pAlpha = alpha;
    return e;
}

TEST(cMemPalette, EmptyCopyFindsNothing) {
    cMemPalette palette;
    EXPECT_EQ(palette.Size(), 0);
    EXPECT_EQ(palette.Find(Entry(0, 0)), -1);
    palette.Load({});
    EXPECT_EQ(palette.Find(Entry(0, 0), 0), -1);
}

TEST(cMemPalette, FindsTheFirstEqualEntryAtOrAfterTheStart) {
    cMemPalette palette;
    palette.Load(
        {Entry(0, 0), Entry(0xF800, 32), Entry(0x07E0, 32), Entry(0xF800, 32), Entry(0xF800, 16)});
    EXPECT_EQ(palette.Size(), 20);
    EXPECT_EQ(palette.Find(Entry(0xF800, 32)), 1);
    EXPECT_EQ(palette.Find(Entry(0xF800, 32), 2), 3);
    EXPECT_EQ(palette.Find(Entry(0xF800, 32), 4), -1);
    EXPECT_EQ(palette.Find(Entry(0xF800, 16)), 4);  // alpha counts too
    EXPECT_EQ(palette.Find(Entry(0x07E0, 31)), -1);
    EXPECT_EQ(palette.Find(Entry(0, 0)), 0);
    EXPECT_EQ(palette.Find(Entry(0xF800, 32), 5), -1);    // beyond the last entry
    EXPECT_EQ(palette.Find(Entry(0xF800, 32), 900), -1);  // far beyond
    EXPECT_EQ(palette.Find(Entry(0xF800, 32), -1), -1);
}

TEST(cMemPalette, MatchesAcrossTwoEntriesDoNotCount) {
    // Bytes 01 02 05 00 | 00 00 09 00 | 05 00 00 00: the key 05 00 00 00 (colour 5,
    // alpha 0) first occurs at byte 2, inside entries 0 and 1.
    cMemPalette palette;
    palette.Load({Entry(0x0201, 5), Entry(0x0000, 9), Entry(0x0005, 0)});
    EXPECT_EQ(palette.Find(Entry(0x0005, 0)), 2);
    palette.Load({Entry(0x0201, 5), Entry(0x0000, 9)});
    EXPECT_EQ(palette.Find(Entry(0x0005, 0)), -1);
}

TEST(cMemPalette, CopyIsASnapshotUntilLoadedAgain) {
    std::vector<PALETTE16> entries = {Entry(0, 0), Entry(0x1234, 32)};
    cMemPalette palette;
    palette.Load(entries);
    entries.push_back(Entry(0x4321, 32));
    entries[1].pAlpha = 5;
    EXPECT_EQ(palette.Find(Entry(0x4321, 32)), -1);
    EXPECT_EQ(palette.Find(Entry(0x1234, 32)), 1);
    palette.Load(entries);
    EXPECT_EQ(palette.Find(Entry(0x4321, 32)), 2);
    EXPECT_EQ(palette.Find(Entry(0x1234, 32)), -1);
    palette.Clear();
    EXPECT_EQ(palette.Size(), 0);
    EXPECT_EQ(palette.Find(Entry(0x4321, 32)), -1);
}

TEST(cMemPalette, FillerByteNeverDecides) {
    PALETTE16 odd = Entry(0x1234, 7);
    odd.filler = 0x55;
    cMemPalette palette;
    palette.Load({Entry(0, 0), odd});
    EXPECT_EQ(palette.Find(Entry(0x1234, 7)), 1);
    EXPECT_EQ(palette.Find(odd), 1);
}

}  // namespace
