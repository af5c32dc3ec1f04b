#include "engine/RowColorReducer.h"

#include <algorithm>

#include "engine/ColorClusters.h"
#include "engine/NearestColor.h"
#include "engine/RLEFormat.h"
#include "engine/modColor.h"

namespace quenda {

namespace {

constexpr int32_t kWindow = rle::kWindowSize;
// The most entries a file can count.
constexpr int32_t kLargestPalette = 65535;
}  // namespace

void RowColorReducer::KeyMap::Set(PaletteKey key, int32_t value) {
    const size_t level = KeyAlpha(key);
    levels_.resize(std::max(levels_.size(), level + 1));
    if (levels_[level].empty()) {
        levels_[level].assign(65536, -1);
    }
    levels_[level][KeyColor(key)] = value;
}

RowColorReducer::RowColorReducer(PaletteKey transparent, int32_t capacity, int32_t height)
    : palette_{transparent},
      points_{PointOfKey(transparent)},
      capacity_(std::clamp(capacity, 2, kLargestPalette)),
      height_(std::max(height, 1)) {}

int32_t RowColorReducer::WindowStart(int32_t appended) const {
    return std::max(1, static_cast<int32_t>(palette_.size()) + appended - kWindow);
}

int32_t RowColorReducer::Missing(const std::vector<RowColor>& colors, int32_t& start) const {
    // Appending moves the window on, which may leave more colours behind.
    int32_t missing = 0;
    for (;;) {
        start = WindowStart(missing);
        int32_t behind = 0;
        for (const RowColor& c : colors) {
            behind += latest_.Get(c.key) < start ? 1 : 0;
        }
        if (behind <= missing) {
            return missing;
        }
        missing = behind;
    }
}

int32_t RowColorReducer::Append(PaletteKey key) {
    const auto position = static_cast<int32_t>(palette_.size());
    palette_.push_back(key);
    points_.push_back(PointOfKey(key));
    latest_.Set(key, position);
    return position;
}

void RowColorReducer::SetDemand(std::vector<int64_t> demand) {
    demand.resize(static_cast<size_t>(height_), 0);
    for (size_t y = demand.size(); y-- > 1;) {
        demand[y - 1] += demand[y];
    }
    demandLeft_ = std::move(demand);
}

int32_t RowColorReducer::Allowance(int32_t y) const {
    const auto size = static_cast<int32_t>(palette_.size());
    const int64_t free = capacity_ - size;
    int64_t allowance = 0;
    if (demandLeft_.empty()) {
        allowance = free / std::max(1, height_ - y);
    } else {
        // One more per row, so that a row that seems to bring nothing new still
        // gets a little, and the shares always add up to what is free.
        const int64_t rowsLeft = height_ - y;
        const int64_t left = demandLeft_[static_cast<size_t>(y)] + rowsLeft;
        const int64_t below = y + 1 < height_ ? demandLeft_[static_cast<size_t>(y) + 1] : 0;
        allowance = free * (left - below - (rowsLeft - 1)) / left;
    }
    // Until the palette fills a window, its entries serve the rows that follow too.
    allowance = std::max<int64_t>(std::min<int64_t>(allowance, kWindow), kWindow - (size - 1));
    return static_cast<int32_t>(std::clamp<int64_t>(allowance, 0, free));
}

void RowColorReducer::Expect(PaletteKey key, int32_t y) {
    nextUse_.Set(key, y);
}

void RowColorReducer::AppendAll(std::vector<PaletteKey>& keys, int32_t y) {
    const auto rank = [&](PaletteKey key) {
        const int32_t ahead = nextUse_.Get(key) - y;
        return ahead == 1 ? 2 : (ahead == 2 ? 1 : 0);
    };
    std::stable_sort(keys.begin(), keys.end(),
                     [&](PaletteKey a, PaletteKey b) { return rank(a) < rank(b); });
    for (const PaletteKey key : keys) {
        if (latest_.Get(key) < 0) {
            Append(key);
        }
    }
}

int32_t RowColorReducer::Place(const std::vector<RowColor>& colors, int32_t y,
                               std::vector<int32_t>& positions) {
    positions.assign(colors.size(), 0);
    if (colors.empty()) {
        return 1;
    }
    y = std::clamp(y, 0, height_ - 1);
    const int32_t allowance = Allowance(y);
    if (colors.size() <= static_cast<size_t>(kWindow)) {
        int32_t start = 1;
        if (Missing(colors, start) <= allowance) {
            std::vector<PaletteKey> missing;
            for (const RowColor& c : colors) {
                if (latest_.Get(c.key) < start) {
                    missing.push_back(c.key);
                    latest_.Set(c.key, -1);  // appended below, once
                }
            }
            AppendAll(missing, y);
            for (size_t i = 0; i < colors.size(); ++i) {
                positions[i] = latest_.Get(colors[i].key);
            }
            return start;
        }
    }
    reduced_ = true;
    return PlaceReduced(colors, y, allowance, positions);
}

int32_t RowColorReducer::PlaceReduced(const std::vector<RowColor>& colors, int32_t y,
                                      int32_t allowance, std::vector<int32_t>& positions) {
    // The entries still in reach stay; the colours out of reach are cut into at
    // most `allowance` groups, each of which gets the entry nearest its mean.
    const int32_t start = WindowStart(allowance);
    std::vector<WeightedPoint> behind;
    for (const RowColor& c : colors) {
        if (latest_.Get(c.key) < start) {
            behind.push_back(c.source);
        }
    }
    std::vector<PaletteKey> freshKeys;
    for (const ColorPoint& mean : clusters::MedianCut(behind, static_cast<size_t>(allowance))) {
        const PaletteKey key = KeyOfPoint(mean);
        if (latest_.Get(key) < start) {
            latest_.Set(key, -1);  // appended below, once
            freshKeys.push_back(key);
        }
    }
    AppendAll(freshKeys, y);
    // A colour whose own entry is in reach keeps it: the entry is its pixels'
    // rounding, nearer to their mean than any other entry can be.
    const NearestColor nearest(std::vector<ColorPoint>(points_.begin() + start, points_.end()));
    for (size_t i = 0; i < colors.size(); ++i) {
        const int32_t own = latest_.Get(colors[i].key);
        positions[i] = own >= start ? own : start + nearest.Find(colors[i].source.point);
    }
    return start;
}

}  // namespace quenda
