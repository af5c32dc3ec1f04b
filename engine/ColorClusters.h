#pragma once

#include <cstdint>
#include <vector>

#include "engine/ColorPoint.h"

namespace quenda {

// Clustering of weighted colour points, shared by the row reduction and the
// best-quality palette.
namespace clusters {

// Splits the points into at most `count` boxes, each time cutting the box of the
// largest weighted error along its axis of largest spread at the point that leaves
// the least error; returns the weighted mean of each box. Fewer distinct points
// than `count` give one mean per point.
std::vector<ColorPoint> MedianCut(const std::vector<WeightedPoint>& points, size_t count);

// Lloyd iterations: each point goes to its nearest centre, and each centre from
// `fixed` on moves to the weighted mean of its points (centres before `fixed` stay
// where they are; a centre without points stays too). With `onGrid`, each moved
// centre is put on the nearest colour a palette entry can hold, which for a given
// set of points is the best entry (the error is a sum over the channels).
void Refine(const std::vector<WeightedPoint>& points, std::vector<ColorPoint>& centres,
            size_t fixed, int iterations, bool onGrid = false);

// Gives each point to its nearest centre, then merges the centres from `fixed` on
// two at a time, each time the two whose merge adds the least error, until `count`
// of them are left; returns the fixed centres followed by the merged means.
std::vector<ColorPoint> MergeClosest(const std::vector<WeightedPoint>& points,
                                     const std::vector<ColorPoint>& centres, size_t fixed,
                                     size_t count);

}  // namespace clusters

}  // namespace quenda
