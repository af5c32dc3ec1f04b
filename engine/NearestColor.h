#pragma once

#include <cstdint>
#include <vector>

#include "engine/ColorPoint.h"

namespace quenda {

// Finds the nearest of a set of colour points. Points are grouped by opacity; in
// each group they are kept sorted along the axis of their largest colour spread,
// so that a search stops as soon as the distance along that axis alone exceeds
// the best match found, and other groups are searched only when their opacity
// alone is not already farther away.
class NearestColor {
  public:
    NearestColor() = default;
    explicit NearestColor(const std::vector<ColorPoint>& points) { Build(points); }

    void Build(const std::vector<ColorPoint>& points);
    bool Empty() const { return groups_.empty(); }
    // Index (in the points as given) of the nearest point; -1 when there is none.
    int32_t Find(const ColorPoint& p) const;

  private:
    struct Group {
        float opacity;
        float axis[3];
        std::vector<float> projected;  // of the sorted points, rising
        std::vector<ColorPoint> sorted;
        std::vector<int32_t> original;

        float Project(const ColorPoint& p) const {
            return axis[0] * p.v[0] + axis[1] * p.v[1] + axis[2] * p.v[2];
        }
        void Search(const ColorPoint& p, float& best, int32_t& bestIndex) const;
    };

    std::vector<Group> groups_;  // by rising opacity
};

}  // namespace quenda
