#include "engine/CandidateIndex.h"

#include <algorithm>

#include "engine/AxisSearch.h"
#include "engine/RisingOrder.h"

namespace quenda {

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
