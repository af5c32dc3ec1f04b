#include "engine/RowColorReducer.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>

#include "engine/ColorClusters.h"
#include "engine/OrderedBits.h"
#include "engine/RLEFormat.h"
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
// A colour's error and index as one number that orders as the error does, ties
// by index: a heap of plain numbers moves and compares far less than one of
// records.
uint64_t HeapKey(float error, uint32_t index) {
    return OrderedBits(error) << 32 | index;
}

}  // namespace

RowColorReducer::RowColorReducer(PaletteKey transparent, int32_t capacity, int32_t height)
    : palette_{transparent},
      points_{PointOfKey(transparent)},
      capacity_(std::clamp(capacity, 2, kLargestPalette)),
      height_(std::max(height, 1)) {}

int32_t RowColorReducer::WindowStart(int32_t appended) const {
    return std::max(1, static_cast<int32_t>(palette_.size()) + appended - kWindow);
}

int32_t RowColorReducer::Missing(const std::vector<RowColor>& colors, int32_t& start) {
    // Appending moves the window on, which may leave more colours behind: a row
    // misses the fewest colours m such that appending m entries leaves at most m
    // behind, besides those a row with more colours than a window must leave out.
    // A colour falls behind once m reaches the count that moves its entry out of
    // the window, so counting the colours by that count finds m in one pass.
    const int32_t excess = std::max(0, static_cast<int32_t>(colors.size()) - kWindow);
    const auto size = static_cast<int32_t>(palette_.size());
    std::array<int32_t, kWindow + 1> fallingAt{};
    for (const RowColor& c : colors) {
        const int32_t position = latest_.Get(c.key);
        const int32_t at = position < 1 ? 0 : std::max(0, position - size + kWindow + 1);
        ++fallingAt[static_cast<size_t>(std::min(at, kWindow))];
    }
    int32_t behind = 0;
    int32_t missing = 0;
    for (; missing < kWindow; ++missing) {
        behind += fallingAt[static_cast<size_t>(missing)];
        if (behind - excess <= missing) {
            break;
        }
    }
    start = WindowStart(missing);
    return missing;
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
    const RowUses uses = uses_.Get(key);
    if (uses.last != y) {
        uses_.Set(key, {y, uses.last});
    }
}

void RowColorReducer::AppendAll(const std::vector<PaletteKey>& keys, int32_t y) {
    // The next row's entries after those only the row after it uses, and the
    // entries both use at the very end; in the order given within each rank.
    std::vector<uint8_t> ranks;
    ranks.reserve(keys.size());
    for (const PaletteKey key : keys) {
        ranks.push_back(static_cast<uint8_t>((UsedByRow(key, y + 1) ? 2 : 0) +
                                             (UsedByRow(key, y + 2) ? 1 : 0)));
    }
    for (uint8_t rank = 0; rank < 4; ++rank) {
        for (size_t i = 0; i < keys.size(); ++i) {
            if (ranks[i] == rank && latest_.Get(keys[i]) < 0) {
                Append(keys[i]);
            }
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

std::vector<uint8_t> RowColorReducer::KeepWorstServed(const std::vector<RowColor>& colors,
                                                      const std::vector<Behind>& behind, int32_t y,
                                                      int32_t allowance) const {
    // The worst served colour gets its own entry, which may serve others better
    // too. Errors only fall, so a colour's error is brought up to date against the
    // new entries only when it comes to the top. A colour the next row uses counts
    // twice: its entry will serve that row as well.
    std::vector<float> error(behind.size());
    std::vector<float> weight(behind.size());
    std::vector<uint32_t> checked(behind.size(), 0);  // kept entries its error has seen
    std::vector<uint64_t> heap;
    heap.reserve(behind.size());
    for (uint32_t i = 0; i < behind.size(); ++i) {
        const RowColor& c = colors[behind[i].color];
        const float factor = UsedByNextRow(c.key, y) ? 2.0f : 1.0f;
        weight[i] = c.source.weight * factor;
        error[i] = behind[i].error * factor;
        heap.push_back(HeapKey(error[i], i));
    }
    std::make_heap(heap.begin(), heap.end());
    std::vector<uint8_t> kept(behind.size(), 0);
    std::vector<ColorPoint> keptPoints;
    while (!heap.empty() && keptPoints.size() < static_cast<size_t>(allowance)) {
        std::pop_heap(heap.begin(), heap.end());
        const auto i = static_cast<uint32_t>(heap.back());
        heap.pop_back();
        const WeightedPoint& s = colors[behind[i].color].source;
        if (checked[i] < keptPoints.size()) {
            error[i] =
                std::min(error[i], weight[i] * NearestDistance2(s.point, keptPoints, checked[i]));
            checked[i] = static_cast<uint32_t>(keptPoints.size());
            // The others' errors are at most what the heap holds for them: a
            // colour still above the next in the heap is the worst served.
            if (!heap.empty() && HeapKey(error[i], i) < heap.front()) {
                heap.push_back(HeapKey(error[i], i));
                std::push_heap(heap.begin(), heap.end());
                continue;
            }
        }
        if (error[i] <= 0) {
            break;
        }
        kept[i] = 1;
        keptPoints.push_back(PointOfKey(colors[behind[i].color].key));
    }
    return kept;
}

std::vector<int32_t> RowColorReducer::LeaveOutLeastMissed(const std::vector<RowColor>& colors,
                                                          const std::vector<Behind>& behind,
                                                          const std::vector<ColorPoint>& entries,
                                                          int32_t y, int32_t allowance,
                                                          CandidateIndex& candidates) const {
    // A colour left out goes to the nearest entry kept or in reach; what that
    // costs beyond its own entry is what its entry would be missed by. Leaving a
    // colour out only takes entries away from the others, so a colour's cost is
    // brought up to date only when the entry it counted on has gone. A colour the
    // next row uses counts twice, as in the choice the other way.
    const size_t count = behind.size();
    std::vector<float> scale(count), inReach(count), own(count);
    for (size_t i = 0; i < count; ++i) {
        const RowColor& c = colors[behind[i].color];
        const float factor = UsedByNextRow(c.key, y) ? 2.0f : 1.0f;
        scale[i] = factor * c.source.weight;
        inReach[i] = factor * behind[i].error;
        own[i] = scale[i] * Distance2(c.source.point, entries[i]);
    }
    struct Cost {
        float missed;
        uint32_t candidate;
        int32_t counted;  // the kept candidate it would go to, or kToInReach
        bool operator>(const Cost& other) const { return missed > other.missed; }
    };
    // The kept candidate whose entry is nearest to colour i, when it is nearer than
    // the entry in reach (kToInReach otherwise), with its squared distance.
    const auto keptNearer = [&](uint32_t i) {
        const Behind& b = behind[i];
        const WeightedPoint& s = colors[b.color].source;
        const float reach = b.nearest < 0 ? std::numeric_limits<float>::max() : b.error / s.weight;
        const auto found = candidates.NearestKept(s.point, i, reach);
        return found.first < 0 ? std::pair<int32_t, float>{kToInReach, reach} : found;
    };
    const auto costOf = [&](uint32_t i) {
        const auto [nearest, distance] = keptNearer(i);
        const float toKept =
            nearest < 0 ? std::numeric_limits<float>::infinity() : scale[i] * distance;
        return Cost{std::min(toKept, inReach[i]) - own[i], i,
                    toKept < inReach[i] ? nearest : kToInReach};
    };
    std::vector<Cost> heap;
    heap.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        heap.push_back(costOf(i));
    }
    std::make_heap(heap.begin(), heap.end(), std::greater<>());
    std::vector<int32_t> goesTo(count, kToInReach);
    size_t leaveOut = count - std::min(count, static_cast<size_t>(std::max(allowance, 0)));
    while (leaveOut > 0 && !heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), std::greater<>());
        const Cost top = heap.back();
        heap.pop_back();
        if (top.counted >= 0 && !candidates.Kept(static_cast<uint32_t>(top.counted))) {
            heap.push_back(costOf(top.candidate));
            std::push_heap(heap.begin(), heap.end(), std::greater<>());
            continue;
        }
        candidates.LeaveOut(top.candidate);
        goesTo[top.candidate] = top.counted;
        --leaveOut;
    }
    // The kept entries only grew fewer after a colour was left out: the one it
    // went to then is still the nearest unless it was left out too.
    for (uint32_t i = 0; i < count; ++i) {
        const int32_t to = goesTo[i];
        if (!candidates.Kept(i) && to >= 0 && !candidates.Kept(static_cast<uint32_t>(to))) {
            goesTo[i] = keptNearer(i).first;
        }
    }
    return goesTo;
}

void RowColorReducer::PlaceKept(const std::vector<RowColor>& colors,
                                const std::vector<Behind>& behind, const std::vector<uint8_t>& kept,
                                const std::vector<int32_t>& leftOutTo, int32_t y, int32_t start,
                                std::vector<int32_t>& positions) {
    std::vector<PaletteKey> keys;
    for (size_t i = 0; i < behind.size(); ++i) {
        if (kept[i] != 0) {
            keys.push_back(colors[behind[i].color].key);
            latest_.Set(keys.back(), -1);  // appended below, once
        }
    }
    AppendAll(keys, y);
    // A colour whose own entry is in reach keeps it: the entry is its pixels'
    // rounding, nearer to their mean than any other entry can be.
    for (size_t i = 0; i < colors.size(); ++i) {
        positions[i] = latest_.Get(colors[i].key);
    }
    bool windowHoldsNew = false;
    for (uint32_t i = 0; i < behind.size(); ++i) {
        if (kept[i] != 0) {
            continue;
        }
        const Behind& b = behind[i];
        const int32_t to = leftOutTo[i];
        if (to >= 0) {
            positions[b.color] = latest_.Get(colors[behind[static_cast<size_t>(to)].color].key);
        } else if (to == kToInReach && b.nearest >= 0) {
            positions[b.color] = b.nearest;
        } else {
            // Once the window holds the new entries, one search finds the nearest of all.
            if (!windowHoldsNew) {
                window_.MoveTo(points_, start);
                windowHoldsNew = true;
            }
            positions[b.color] = window_.Find(colors[b.color].source.point);
        }
    }
}

int32_t RowColorReducer::PlaceReduced(const std::vector<RowColor>& colors, int32_t y,
                                      int32_t allowance, std::vector<int32_t>& positions) {
    // The entries still in reach stay; some colours out of reach get entries of
    // their own, and the rest go to the nearest entry.
    const int32_t start = WindowStart(allowance);
    const std::vector<Behind> behind = ServedInReach(colors, start);
    // Leaving out the least missed serves a row best; when most colours must be
    // left out, choosing the few to keep costs far less.
    if (2 * static_cast<size_t>(std::max(allowance, 0)) >= behind.size()) {
        std::vector<ColorPoint> entries;
        entries.reserve(behind.size());
        for (const Behind& b : behind) {
            entries.push_back(PointOfKey(colors[b.color].key));
        }
        CandidateIndex candidates(entries, window_);
        const std::vector<int32_t> leftOutTo =
            LeaveOutLeastMissed(colors, behind, entries, y, allowance, candidates);
        std::vector<uint8_t> kept(behind.size());
        for (uint32_t i = 0; i < behind.size(); ++i) {
            kept[i] = candidates.Kept(i) ? 1 : 0;
        }
        PlaceKept(colors, behind, kept, leftOutTo, y, start, positions);
        return start;
    }
    const std::vector<uint8_t> kept = KeepWorstServed(colors, behind, y, allowance);
    PlaceKept(colors, behind, kept, std::vector<int32_t>(behind.size(), kToNearest), y, start,
              positions);
    return start;
}

}  // namespace quenda
