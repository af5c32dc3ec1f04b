#include "engine/RowPace.h"

#include <algorithm>
#include <cmath>

#include "engine/RLEFormat.h"

namespace quenda::encoding {

namespace {

// What a row needs depends on how fast the windows move on, which depends on
// what the rows above needed: a few rounds settle it.
constexpr int kRounds = 4;
// A row's need is averaged with this many rows each side: an entry serves the
// rows whose windows still cover it, and windows move on smoothly.
constexpr size_t kSmoothing = 2;
// The weights count sixteenths of an entry.
constexpr double kWeightUnit = 1.0 / 16;

// Per row, how many of its colours have no entry in reach when row y's window
// starts pace[0] + ... + pace[y - 1] entries in and each new entry goes to the
// end of its row's window, where it stays in reach longest.
std::vector<double> NeedsAtPace(const RowColorLists& rows, const std::vector<double>& pace,
                                std::vector<float>& lastStartInReach) {
    std::fill(lastStartInReach.begin(), lastStartInReach.end(), -1.0f);
    std::vector<double> needs(rows.Rows(), 0.0);
    double start = 0;
    for (size_t y = 0; y < rows.Rows(); ++y) {
        const auto here = static_cast<float>(start);
        const float reach = here + (rle::kWindowSize - 1);
        int32_t need = 0;
        for (size_t i = rows.starts[y]; i < rows.starts[y + 1]; ++i) {
            // Without a branch: whether a colour is in reach is a coin toss.
            float& last = lastStartInReach[static_cast<size_t>(rows.ids[i])];
            const bool gone = last < here;
            need += gone ? 1 : 0;
            last = gone ? reach : last;
        }
        needs[y] = need;
        start += pace[y];
    }
    return needs;
}

std::vector<double> Smoothed(const std::vector<double>& values) {
    std::vector<double> sums(values.size() + 1, 0.0);
    for (size_t i = 0; i < values.size(); ++i) {
        sums[i + 1] = sums[i] + values[i];
    }
    std::vector<double> smooth(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t first = i >= kSmoothing ? i - kSmoothing : 0;
        const size_t end = std::min(values.size(), i + kSmoothing + 1);
        smooth[i] = (sums[end] - sums[first]) / static_cast<double>(end - first);
    }
    return smooth;
}

}  // namespace

// The entries are shared out in proportion to what the rows need at the pace
// the shares themselves set. The count of colours new to a row is a poor guide:
// a colour that comes back after its entry went out of reach needs a new one.
std::vector<int64_t> PaceRows(const RowColorLists& rows, size_t paletteSize, int32_t capacity) {
    const size_t height = rows.Rows();
    const double usable = std::max(1.0, static_cast<double>(capacity - rle::kWindowSize));
    std::vector<double> pace(height, usable / static_cast<double>(std::max<size_t>(1, height)));
    std::vector<float> lastStartInReach(paletteSize);
    for (int round = 0; round < kRounds; ++round) {
        const std::vector<double> needs = Smoothed(NeedsAtPace(rows, pace, lastStartInReach));
        double total = 0;
        for (const double n : needs) {
            total += n;
        }
        if (!(total > 0)) {
            break;
        }
        for (size_t y = 0; y < height; ++y) {
            pace[y] = needs[y] * usable / total;
        }
    }
    std::vector<int64_t> weights(height);
    for (size_t y = 0; y < height; ++y) {
        weights[y] = std::llround(pace[y] / kWeightUnit);
    }
    return weights;
}

}  // namespace quenda::encoding
