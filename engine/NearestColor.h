#pragma once

#include <cstdint>
#include <vector>

#include "engine/ColorPoint.h"

namespace quenda {

// Finds the nearest of a set of colour points. The points are kept sorted along
// the first coordinate so that a search stops as soon as that coordinate alone is
// farther away than the best match found.
class NearestColor {
  public:
    NearestColor() = default;
    explicit NearestColor(const std::vector<ColorPoint>& points) { Build(points); }

    void Build(const std::vector<ColorPoint>& points);
    bool Empty() const { return sorted_.empty(); }
    // Index (in the points as given) of the nearest point; -1 when there is none.
    int32_t Find(const ColorPoint& p) const;

  private:
    std::vector<ColorPoint> sorted_;
    std::vector<int32_t> original_;
};

}  // namespace quenda
