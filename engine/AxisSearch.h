#pragma once

#include <cstddef>

#include "engine/ColorPoint.h"

namespace quenda {

// The nearest to p of n points kept in rising order of their projection on a
// unit axis, where q is p's projection and the first `start` points project below
// it. Walks outward from there, on each side until the distance along the axis
// alone (plus `base`, a squared distance every point has beyond the axis) is no
// nearer than the nearest found, since it never exceeds the distance itself.
// Updates best (a squared distance) and bestAt when a point is nearer. Places
// where pointAt gives no point are passed over.
template <typename ProjectedAt, typename PointAt>
void SearchAlongAxis(const ColorPoint& p, float q, ptrdiff_t n, ptrdiff_t start, float base,
                     const ProjectedAt& projectedAt, const PointAt& pointAt, float& best,
                     ptrdiff_t& bestAt) {
    const auto tryAt = [&](ptrdiff_t i) {
        const ColorPoint* point = pointAt(i);
        if (point == nullptr) {
            return;
        }
        const float full = Distance2(*point, p);
        if (full < best) {
            best = full;
            bestAt = i;
        }
    };
    ptrdiff_t up = start, down = start - 1;
    bool goUp = up < n, goDown = down >= 0;
    while (goUp || goDown) {
        if (goUp) {
            const float d = projectedAt(up) - q;
            goUp = base + d * d < best;
            if (goUp) {
                tryAt(up);
                goUp = ++up < n;
            }
        }
        if (goDown) {
            const float d = q - projectedAt(down);
            goDown = base + d * d < best;
            if (goDown) {
                tryAt(down);
                goDown = --down >= 0;
            }
        }
    }
}

}  // namespace quenda
