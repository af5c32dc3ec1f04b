#include "engine/WindowIndex.h"

#include <algorithm>
#include <limits>

#include "engine/AxisSearch.h"
#include "engine/RisingOrder.h"

namespace quenda {

void WindowIndex::MoveTo(const std::vector<ColorPoint>& points, int32_t start) {
    const auto first = static_cast<size_t>(std::max(start, 0));
    if (!hasAxis_ && first < points.size()) {
        // The first window's colours set the axis for the rows after it.
        PrincipalAxis(std::vector<ColorPoint>(points.begin() + first, points.end()), axis_);
        hasAxis_ = true;
    }
    std::erase_if(sorted_, [&](const Entry& e) { return e.position < start; });
    // The new points, in order: those of equal projection by position.
    const size_t from = std::max(end_, first);
    std::vector<float> projections;
    projections.reserve(points.size() - std::min(from, points.size()));
    for (size_t i = from; i < points.size(); ++i) {
        projections.push_back(Project(points[i]));
    }
    fresh_.clear();
    for (const uint32_t k : RisingOrder(projections)) {
        fresh_.push_back({projections[k], static_cast<int32_t>(from + k), points[from + k]});
    }
    end_ = points.size();
    const auto byProjection = [](const Entry& a, const Entry& b) {
        return a.projected < b.projected || (a.projected == b.projected && a.position < b.position);
    };
    merged_.resize(sorted_.size() + fresh_.size());
    std::merge(sorted_.begin(), sorted_.end(), fresh_.begin(), fresh_.end(), merged_.begin(),
               byProjection);
    sorted_.swap(merged_);
    buckets_.Build(sorted_.size(), [&](size_t i) { return sorted_[i].projected; });
}

int32_t WindowIndex::Find(const ColorPoint& p) const {
    const auto n = static_cast<ptrdiff_t>(sorted_.size());
    if (n == 0) {
        return -1;
    }
    const float q = Project(p);
    const auto start = static_cast<ptrdiff_t>(
        buckets_.CountBelow(q, [&](size_t i) { return sorted_[i].projected; }));
    float best = std::numeric_limits<float>::max();
    ptrdiff_t bestAt = 0;
    SearchAlongAxis(
        p, q, n, start, 0.0f,
        [&](ptrdiff_t i) { return sorted_[static_cast<size_t>(i)].projected; },
        [&](ptrdiff_t i) { return &sorted_[static_cast<size_t>(i)].point; }, best, bestAt);
    return sorted_[static_cast<size_t>(bestAt)].position;
}

}  // namespace quenda
