#include "engine/RowColorReducer.h"

#include <algorithm>
#include <limits>

#include "engine/ColorClusters.h"
#include "engine/NearestColor.h"
#include "engine/RLEFormat.h"
#include "engine/WindowIndex.h"
#include "engine/modColor.h"

namespace quenda {

namespace {

constexpr int32_t kWindow = rle::kWindowSize;
// The most entries a file can count.
constexpr int32_t kLargestPalette = 65535;

// The least squared distance from p to points[first..]; four minima run side by
// side, as no one waits for the one before.
float NearestDistance2(const ColorPoint& p, const std::vector<ColorPoint>& points, size_t first) {
    float m[4] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                  std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
    size_t i = first;
    for (; i + 4 <= points.size(); i += 4) {
        for (size_t k = 0; k < 4; ++k) {
            m[k] = std::min(m[k], Distance2(p, points[i + k]));
        }
    }
    for (; i < points.size(); ++i) {
        m[0] = std::min(m[0], Distance2(p, points[i]));
    }
    return std::min(std::min(m[0], m[1]), std::min(m[2], m[3]));
}
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

int32_t RowColorReducer::Missing(const std::vector<RowColor>& colors, int32_t& start) {
    // Appending moves the window on, which may leave more colours behind. A row
    // with more colours than a window leaves the fewest it can out.
    const int32_t excess = std::max(0, static_cast<int32_t>(colors.size()) - kWindow);
    std::vector<int32_t>& latest = latestOfRow_;
    latest.clear();
    for (const RowColor& c : colors) {
        latest.push_back(latest_.Get(c.key));
    }
    int32_t missing = 0;
    for (;;) {
        start = WindowStart(missing);
        int32_t behind = 0;
        for (const int32_t position : latest) {
            behind += position < start ? 1 : 0;
        }
        if (behind - excess <= missing) {
            return missing;
        }
        missing = behind - excess;
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

int64_t RowColorReducer::DemandFrom(int32_t y) const {
    return y < height_ ? demandLeft_[static_cast<size_t>(y)] : 0;
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
        const int64_t left = DemandFrom(y) + rowsLeft;
        const int64_t below = DemandFrom(y + 1);
        allowance = free * (left - below - (rowsLeft - 1)) / left;
    }
    // Until the palette fills a window, its entries serve the rows that follow too.
    allowance = std::max<int64_t>(std::min<int64_t>(allowance, kWindow), kWindow - (size - 1));
    return static_cast<int32_t>(std::clamp<int64_t>(allowance, 0, free));
}

void RowColorReducer::NoteNeed(int32_t y, int32_t need) {
    if (demandLeft_.empty()) {
        return;
    }
    neededSoFar_ += need;
    demandSoFar_ += DemandFrom(y) - DemandFrom(y + 1);
}

int32_t RowColorReducer::Spare(int32_t y) const {
    if (demandLeft_.empty()) {
        return 0;
    }
    // The rows below will need about what the rows so far needed for their demand.
    const int64_t below = DemandFrom(y + 1);
    const int64_t rowsBelow = height_ - 1 - y;
    const int64_t expected = (below + rowsBelow) * (neededSoFar_ + 1) / (demandSoFar_ + 1);
    const int64_t free = capacity_ - static_cast<int64_t>(palette_.size());
    return static_cast<int32_t>(std::clamp<int64_t>(free - expected, 0, free));
}

void RowColorReducer::Expect(PaletteKey key, int32_t y) {
    const int32_t last = lastUse_.Get(key);
    if (last != y) {
        useBefore_.Set(key, last);
        lastUse_.Set(key, y);
    }
}

void RowColorReducer::AppendAll(const std::vector<PaletteKey>& keys, int32_t y) {
    // The next row's entries after those only the row after it uses, and the
    // entries both use at the very end.
    const auto rank = [&](PaletteKey key) {
        return (UsedByRow(key, y + 1) ? 2 : 0) + (UsedByRow(key, y + 2) ? 1 : 0);
    };
    std::vector<std::pair<int, PaletteKey>> ranked;
    ranked.reserve(keys.size());
    for (const PaletteKey key : keys) {
        ranked.emplace_back(rank(key), key);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [r, key] : ranked) {
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
    int32_t allowance = Allowance(y);
    int32_t start = 1;
    const int32_t need = Missing(colors, start);
    NoteNeed(y, need);
    if (need > allowance && need <= Spare(y)) {
        allowance = need;
    }
    if (colors.size() <= static_cast<size_t>(kWindow) && need <= allowance) {
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
    reduced_ = true;
    allowance = std::min(allowance, need);
    return PlaceReduced(colors, y, allowance, positions);
}

std::vector<RowColorReducer::Behind> RowColorReducer::ServedInReach(
    const std::vector<RowColor>& colors, int32_t start) {
    std::vector<Behind> behind;
    window_.MoveTo(points_, start);
    for (size_t i = 0; i < colors.size(); ++i) {
        if (latest_.Get(colors[i].key) >= start) {
            continue;
        }
        Behind b{static_cast<uint32_t>(i), -1, std::numeric_limits<float>::max()};
        const WeightedPoint& s = colors[i].source;
        b.nearest = window_.Find(s.point);
        if (b.nearest >= 0) {
            b.error = s.weight * Distance2(s.point, points_[static_cast<size_t>(b.nearest)]);
        }
        behind.push_back(b);
    }
    return behind;
}

std::vector<PaletteKey> RowColorReducer::WorstServed(const std::vector<RowColor>& colors,
                                                     const std::vector<Behind>& behind, int32_t y,
                                                     int32_t allowance) const {
    // The worst served colour gets its own entry, which may serve others better
    // too. Errors only fall, so a colour's error is brought up to date against the
    // new entries only when it comes to the top. A colour the next row uses counts
    // twice: its entry will serve that row as well.
    struct Candidate {
        float error;
        uint32_t color;
        uint32_t checked;  // how many of the chosen entries its error has seen
        float weight;
        bool operator<(const Candidate& other) const { return error < other.error; }
    };
    std::vector<Candidate> heap;
    heap.reserve(behind.size());
    for (const Behind& b : behind) {
        const RowColor& c = colors[b.color];
        const float factor = UsedByNextRow(c.key, y) ? 2.0f : 1.0f;
        heap.push_back({b.error * factor, b.color, 0, c.source.weight * factor});
    }
    std::make_heap(heap.begin(), heap.end());
    std::vector<PaletteKey> chosen;
    std::vector<ColorPoint> chosenPoints;
    while (!heap.empty() && chosen.size() < static_cast<size_t>(allowance)) {
        std::pop_heap(heap.begin(), heap.end());
        Candidate& top = heap.back();
        const WeightedPoint& s = colors[top.color].source;
        if (top.checked < chosenPoints.size()) {
            const float nearest = NearestDistance2(s.point, chosenPoints, top.checked);
            top.error = std::min(top.error, top.weight * nearest);
            top.checked = static_cast<uint32_t>(chosenPoints.size());
            // The others' errors are at most what the heap holds for them: a
            // colour still above the next in the heap is the worst served.
            if (heap.size() > 1 && top.error < heap.front().error) {
                std::push_heap(heap.begin(), heap.end());
                continue;
            }
        }
        if (top.error <= 0) {
            break;
        }
        chosen.push_back(colors[top.color].key);
        chosenPoints.push_back(PointOfKey(colors[top.color].key));
        heap.pop_back();
    }
    return chosen;
}

int32_t RowColorReducer::PlaceReduced(const std::vector<RowColor>& colors, int32_t y,
                                      int32_t allowance, std::vector<int32_t>& positions) {
    // The entries still in reach stay; the colours out of reach that they serve
    // worst get entries of their own, and the rest go to the nearest entry.
    const int32_t start = WindowStart(allowance);
    const std::vector<Behind> behind = ServedInReach(colors, start);
    std::vector<PaletteKey> freshKeys = WorstServed(colors, behind, y, allowance);
    for (const PaletteKey key : freshKeys) {
        latest_.Set(key, -1);  // appended below, once
    }
    AppendAll(freshKeys, y);
    // A colour whose own entry is in reach keeps it: the entry is its pixels'
    // rounding, nearer to their mean than any other entry can be.
    for (size_t i = 0; i < colors.size(); ++i) {
        positions[i] = latest_.Get(colors[i].key);
    }
    if (freshKeys.empty()) {
        for (const Behind& b : behind) {
            positions[b.color] = b.nearest;
        }
        return start;
    }
    std::vector<ColorPoint> freshPoints;
    for (const PaletteKey key : freshKeys) {
        freshPoints.push_back(PointOfKey(key));
    }
    const NearestColor fresh(freshPoints);
    for (const Behind& b : behind) {
        const RowColor& c = colors[b.color];
        if (positions[b.color] >= start) {
            continue;
        }
        const int32_t f = fresh.Find(c.source.point);
        const bool freshIsNearer =
            b.nearest < 0 || c.source.weight * Distance2(c.source.point, freshPoints[f]) < b.error;
        positions[b.color] = freshIsNearer ? latest_.Get(freshKeys[f]) : b.nearest;
    }
    return start;
}

}  // namespace quenda
