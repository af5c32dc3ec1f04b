#pragma once

#include <cstdint>
#include <vector>

#include "engine/ColorPoint.h"

namespace quenda {

// Finds the nearest of a set of colour points. The points are kept sorted along
// the axis of their largest spread so that a search stops as soon as the distance
// along that axis alone exceeds the best match found.
class NearestColor {
  public:
    NearestColor() = default;
    explicit NearestColor(const std::vector<ColorPoint>& points) { Build(points); }

    void Build(const std::vector<ColorPoint>& points);
    bool Empty() const { return sorted_.empty(); }
    // Index (in the points as given) of the nearest point; -1 when there is none.
    int32_t Find(const ColorPoint& p) const;

  private:
    float Project(const ColorPoint& p) const {
        return axis_[0] * p.v[0] + axis_[1] * p.v[1] + axis_[2] * p.v[2] + axis_[3] * p.v[3];
    }

    float axis_[4] = {1, 0, 0, 0};  // a unit vector
    std::vector<float> projected_;  // of the sorted points, rising
    std::vector<ColorPoint> sorted_;
    std::vector<int32_t> original_;
};

}  // namespace quenda
