#pragma once

#include <cstdint>
#include <vector>

#include "engine/ColorPoint.h"
#include "engine/ProjectionBuckets.h"

namespace quenda {

// The entries of a palette window kept in order along one axis from row to row:
// as the window moves on, entries that leave it are dropped and new ones merged
// in, instead of sorting the whole window again.
class WindowIndex {
  public:
    // Makes the index hold points[start] to points.back(). Both ends only move on.
    void MoveTo(const std::vector<ColorPoint>& points, int32_t start);
    // The position of the nearest point; -1 when there is none.
    int32_t Find(const ColorPoint& p) const;
    // A point's place along the index's axis.
    float Project(const ColorPoint& p) const {
        return axis_[0] * p.v[0] + axis_[1] * p.v[1] + axis_[2] * p.v[2];
    }

  private:
    struct Entry {
        float projected;
        int32_t position;  // in the palette
        ColorPoint point;
    };
    bool hasAxis_ = false;
    float axis_[3] = {1, 0, 0};
    size_t end_ = 0;             // the points indexed so far end here
    std::vector<Entry> sorted_;  // rising along the axis
    std::vector<Entry> fresh_;
    std::vector<Entry> merged_;
    ProjectionBuckets buckets_;  // where a projection falls in sorted_
};

}  // namespace quenda
