#include "engine/ColorPoint.h"

#include <algorithm>
#include <cmath>

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

}  // namespace quenda
