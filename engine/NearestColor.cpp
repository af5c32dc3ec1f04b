#include "engine/NearestColor.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace quenda {

void NearestColor::Build(const std::vector<ColorPoint>& points) {
    original_.resize(points.size());
    std::iota(original_.begin(), original_.end(), 0);
    std::sort(original_.begin(), original_.end(),
              [&](int32_t a, int32_t b) { return points[a].v[0] < points[b].v[0]; });
    sorted_.resize(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        sorted_[i] = points[original_[i]];
    }
}

int32_t NearestColor::Find(const ColorPoint& p) const {
    if (sorted_.empty()) {
        return -1;
    }
    const auto n = static_cast<ptrdiff_t>(sorted_.size());
    const auto start = std::lower_bound(sorted_.begin(), sorted_.end(), p.v[0],
                                        [](const ColorPoint& c, float v) { return c.v[0] < v; }) -
                       sorted_.begin();
    float best = std::numeric_limits<float>::max();
    ptrdiff_t bestIndex = 0;
    ptrdiff_t up = start, down = start - 1;
    bool goUp = up < n, goDown = down >= 0;
    while (goUp || goDown) {
        if (goUp) {
            const float d0 = sorted_[up].v[0] - p.v[0];
            if (d0 * d0 >= best) {
                goUp = false;
            } else {
                const float d = Distance2(sorted_[up], p);
                if (d < best) {
                    best = d;
                    bestIndex = up;
                }
                goUp = ++up < n;
            }
        }
        if (goDown) {
            const float d0 = p.v[0] - sorted_[down].v[0];
            if (d0 * d0 >= best) {
                goDown = false;
            } else {
                const float d = Distance2(sorted_[down], p);
                if (d < best) {
                    best = d;
                    bestIndex = down;
                }
                goDown = --down >= 0;
            }
        }
    }
    return original_[bestIndex];
}

}  // namespace quenda
