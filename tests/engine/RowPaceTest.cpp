#include <gtest/gtest.h>

#include <numeric>

#include "engine/RowPace.h"

namespace {

using quenda::encoding::PaceRows;
using quenda::encoding::RowColorLists;

// Appends a row holding colours first .. first + count - 1.
void AddRow(RowColorLists& rows, int32_t first, int32_t count) {
    if (rows.starts.empty()) {
        rows.starts.push_back(0);
    }
    for (int32_t c = 0; c < count; ++c) {
        rows.ids.push_back(first + c);
    }
    rows.starts.push_back(rows.ids.size());
}

int64_t Sum(const std::vector<int64_t>& w, size_t first, size_t end) {
    return std::accumulate(w.begin() + static_cast<ptrdiff_t>(first),
                           w.begin() + static_cast<ptrdiff_t>(end), int64_t{0});
}

// Rows that take turns with three sets of colours, which one window holds, bring
// as many colours the row above lacks as rows of colours never seen before. But
// once the sets are in reach only the latter need new entries, and they get most.
TEST(RowPace, RowsOfColoursStillInReachNeedLittle) {
    constexpr int32_t kRows = 60, kPerRow = 80, kCapacity = 2650;
    RowColorLists rows;
    for (int32_t y = 0; y < kRows / 2; ++y) {
        AddRow(rows, 1 + (y % 3) * kPerRow, kPerRow);
    }
    int32_t next = 1 + 3 * kPerRow;
    for (int32_t y = kRows / 2; y < kRows; ++y, next += kPerRow) {
        AddRow(rows, next, kPerRow);
    }
    const std::vector<int64_t> weights = PaceRows(rows, static_cast<size_t>(next), kCapacity);
    ASSERT_EQ(weights.size(), static_cast<size_t>(kRows));
    const int64_t turns = Sum(weights, 3, kRows / 2 - 3);
    const int64_t newcomers = Sum(weights, kRows / 2 + 3, kRows);
    EXPECT_GT(newcomers, 4 * turns);
    // The weights share out the entries beyond one window, in sixteenths.
    const int64_t total = Sum(weights, 0, kRows);
    EXPECT_NEAR(static_cast<double>(total), 16.0 * (kCapacity - 251), 16.0 * kRows);
}

}  // namespace
