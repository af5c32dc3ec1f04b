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
    // The places around q are tried outright: one of them is most often the
    // nearest, and trying them without a test per step costs less than walking,
    // whose end is a mispredicted branch. Sixteen places cost less than eight.
    constexpr ptrdiff_t kAround = 8;
    const ptrdiff_t first = start > kAround ? start - kAround : 0;
    const ptrdiff_t end = n - start > kAround ? start + kAround : n;
    for (ptrdiff_t i = first; i < end; ++i) {
        tryAt(i);
    }
    for (ptrdiff_t up = end; up < n; ++up) {
        const float d = projectedAt(up) - q;
        if (base + d * d >= best) {
            break;
        }
        tryAt(up);
    }
    for (ptrdiff_t down = first - 1; down >= 0; --down) {
        const float d = q - projectedAt(down);
        if (base + d * d >= best) {
            break;
        }
        tryAt(down);
    }
}

}  // namespace quenda
