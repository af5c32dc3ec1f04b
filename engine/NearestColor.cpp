#include "engine/NearestColor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "engine/AxisSearch.h"
#include "engine/OrderedBits.h"

namespace quenda {

namespace {}  // namespace

void NearestColor::Build(const std::vector<ColorPoint>& points) {
    groups_.clear();
    // By opacity, then by position: each run of one opacity is a group.
    std::vector<std::pair<float, int32_t>> byOpacity(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        byOpacity[i] = {points[i].v[3], static_cast<int32_t>(i)};
    }
    // Opaque pictures give one opacity: already in order.
    if (std::any_of(byOpacity.begin(), byOpacity.end(),
                    [&](const auto& p) { return p.first != byOpacity.front().first; })) {
        std::sort(byOpacity.begin(), byOpacity.end());
    }
    std::vector<ColorPoint> own;
    std::vector<uint64_t> order;
    for (size_t first = 0; first < byOpacity.size();) {
        size_t last = first;
        while (last < byOpacity.size() && byOpacity[last].first == byOpacity[first].first) {
            ++last;
        }
        Group g{byOpacity[first].first, {1, 0, 0}, {}, {}, {}};
        own.clear();
        for (size_t k = first; k < last; ++k) {
            own.push_back(points[static_cast<size_t>(byOpacity[k].second)]);
        }
        PrincipalAxis(own, g.axis);
        order.clear();
        for (size_t k = first; k < last; ++k) {
            const int32_t i = byOpacity[k].second;
            order.push_back(OrderedBits(g.Project(points[static_cast<size_t>(i)])) << 32 |
                            static_cast<uint32_t>(i));
        }
        // One whole-number key per point sorts by projection, then by position.
        std::sort(order.begin(), order.end());
        g.projected.reserve(order.size());
        g.sorted.reserve(order.size());
        g.original.reserve(order.size());
        for (const uint64_t key : order) {
            const auto index = static_cast<int32_t>(key & 0xFFFFFFFFu);
            g.projected.push_back(g.Project(points[static_cast<size_t>(index)]));
            g.sorted.push_back(points[static_cast<size_t>(index)]);
            g.original.push_back(index);
        }
        groups_.push_back(std::move(g));
        first = last;
    }
}

void NearestColor::Group::Search(const ColorPoint& p, float& best, int32_t& bestIndex) const {
    const float q = Project(p);
    const ptrdiff_t start =
        std::lower_bound(projected.begin(), projected.end(), q) - projected.begin();
    const float da = p.v[3] - opacity;
    ptrdiff_t bestAt = -1;
    SearchAlongAxis(
        p, q, static_cast<ptrdiff_t>(sorted.size()), start, da * da,
        [&](ptrdiff_t i) { return projected[static_cast<size_t>(i)]; },
        [&](ptrdiff_t i) { return &sorted[static_cast<size_t>(i)]; }, best, bestAt);
    if (bestAt >= 0) {
        bestIndex = original[static_cast<size_t>(bestAt)];
    }
}

int32_t NearestColor::Find(const ColorPoint& p) const {
    if (groups_.empty()) {
        return -1;
    }
    float best = std::numeric_limits<float>::max();
    int32_t bestIndex = groups_.front().original.front();
    // Groups outward from the query's opacity, while their opacity alone is nearer.
    const auto at = std::lower_bound(groups_.begin(), groups_.end(), p.v[3],
                                     [](const Group& g, float v) { return g.opacity < v; });
    auto up = at;
    auto down = at;
    while (up != groups_.end() || down != groups_.begin()) {
        const float upGap =
            up != groups_.end() ? up->opacity - p.v[3] : std::numeric_limits<float>::max();
        const float downGap = down != groups_.begin() ? p.v[3] - std::prev(down)->opacity
                                                      : std::numeric_limits<float>::max();
        const bool takeUp = upGap <= downGap;
        const float gap = takeUp ? upGap : downGap;
        if (gap * gap >= best) {
            break;
        }
        if (takeUp) {
            up->Search(p, best, bestIndex);
            ++up;
        } else {
            --down;
            down->Search(p, best, bestIndex);
        }
    }
    return bestIndex;
}

}  // namespace quenda
