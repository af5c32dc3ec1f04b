#include "engine/CandidateIndex.h"

#include <algorithm>

#include "engine/AxisSearch.h"

namespace quenda {

namespace {

// The order of `keys` rising (ties in index order): a counting sort into as many
// buckets as keys, each bucket then sorted on its own, which is little work when
// the keys spread. A row's candidates are sorted this way for every row.
std::vector<uint32_t> RisingOrder(const std::vector<float>& keys) {
    std::vector<uint32_t> order(keys.size());
    if (keys.empty()) {
        return order;
    }
    const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    const size_t buckets = keys.size();
    const float scale = *high > *low ? static_cast<float>(buckets - 1) / (*high - *low) : 0.0f;
    const auto bucketOf = [&](float key) {
        return std::min(static_cast<size_t>((key - *low) * scale), buckets - 1);
    };
    std::vector<uint32_t> starts(buckets + 1, 0);
    for (const float key : keys) {
        ++starts[bucketOf(key) + 1];
    }
    for (size_t b = 1; b <= buckets; ++b) {
        starts[b] += starts[b - 1];
    }
    std::vector<uint32_t> next(starts.begin(), starts.end() - 1);
    for (uint32_t i = 0; i < keys.size(); ++i) {
        order[next[bucketOf(keys[i])]++] = i;
    }
    const auto rising = [&](uint32_t x, uint32_t y) {
        return keys[x] < keys[y] || (keys[x] == keys[y] && x < y);
    };
    for (size_t b = 0; b < buckets; ++b) {
        if (starts[b + 1] - starts[b] > 1) {
            std::sort(order.begin() + starts[b], order.begin() + starts[b + 1], rising);
        }
    }
    return order;
}

}  // namespace

CandidateIndex::CandidateIndex(const std::vector<ColorPoint>& entries, const WindowIndex& axis)
    : axis_(axis), placeOf_(entries.size()), keptAt_(entries.size(), 1) {
    std::vector<float> projections(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        projections[i] = axis.Project(entries[i]);
    }
    candidate_ = RisingOrder(projections);
    projected_.reserve(entries.size());
    sorted_.reserve(entries.size());
    for (size_t place = 0; place < candidate_.size(); ++place) {
        const uint32_t i = candidate_[place];
        placeOf_[i] = static_cast<uint32_t>(place);
        projected_.push_back(projections[i]);
        sorted_.push_back(entries[i]);
    }
}

std::pair<int32_t, float> CandidateIndex::NearestKept(const ColorPoint& p, uint32_t self,
                                                      float bound) const {
    const float q = axis_.Project(p);
    const auto n = static_cast<ptrdiff_t>(sorted_.size());
    const auto selfAt = static_cast<ptrdiff_t>(placeOf_[self]);
    // The first place at or above q, a few steps from self's.
    ptrdiff_t start = selfAt;
    while (start > 0 && projected_[static_cast<size_t>(start) - 1] >= q) {
        --start;
    }
    while (start < n && projected_[static_cast<size_t>(start)] < q) {
        ++start;
    }
    float best = bound;
    ptrdiff_t bestAt = -1;
    SearchAlongAxis(
        p, q, n, start, 0.0f, [&](ptrdiff_t i) { return projected_[static_cast<size_t>(i)]; },
        [&](ptrdiff_t i) -> const ColorPoint* {
            const auto at = static_cast<size_t>(i);
            return i != selfAt && keptAt_[at] != 0 ? &sorted_[at] : nullptr;
        },
        best, bestAt);
    if (bestAt < 0) {
        return {-1, best};
    }
    return {static_cast<int32_t>(candidate_[static_cast<size_t>(bestAt)]), best};
}

}  // namespace quenda
