#pragma once

#include <cstdint>
#include <vector>

#include "engine/PaletteKeyIndex.h"

namespace quenda {

// A colour as the reductions compare it: red, green and blue (0..255) and the
// opacity as a fourth coordinate, scaled so far apart that colours of different
// opacity are never confused unless nothing else is left.
struct ColorPoint {
    float v[4];
};

// A colour with how much its error counts (its pixel count, weighted by opacity).
struct WeightedPoint {
    ColorPoint point;
    float weight;
};

inline float Distance2(const ColorPoint& a, const ColorPoint& b) {
    const float d0 = a.v[0] - b.v[0], d1 = a.v[1] - b.v[1], d2 = a.v[2] - b.v[2],
                d3 = a.v[3] - b.v[3];
    return d0 * d0 + d1 * d1 + d2 * d2 + d3 * d3;
}

// The point of a straight (not premultiplied) colour of 0..255 channels and a
// 33-level opacity.
ColorPoint PointOf(float red, float green, float blue, uint8_t alpha33);
// The point of a palette entry.
ColorPoint PointOfKey(PaletteKey key);
// The palette entry nearest to a point: the colour rounded to RGB565 and the
// opacity to its nearest level.
PaletteKey KeyOfPoint(const ColorPoint& point);
// How much one pixel of this opacity counts: errors of faint pixels show less.
float OpacityWeight(uint8_t alpha33);
// The principal axis of the points' colours (a unit vector), or the first axis
// when they do not spread.
void PrincipalAxis(const std::vector<ColorPoint>& points, float axis[3]);

}  // namespace quenda
