#include "engine/ColorPoint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "engine/modColor.h"

namespace quenda {

namespace {

// One opacity level outweighs any colour difference of the same pixel.
constexpr float kAlphaScale = 512.0f;
// Oklab's lightness and chroma scaled to the range of an 8-bit channel.
constexpr float kLabScale = 255.0f;

struct Linear {
    std::array<float, 256> fromByte{};
    Linear() {
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            fromByte[i] = static_cast<float>(c <= 0.04045 ? c / 12.92
                                                          : std::pow((c + 0.055) / 1.055, 2.4));
        }
    }
};

float ToLinear(float c) {
    static const Linear table;
    const float clamped = std::clamp(c, 0.0f, 255.0f);
    const int lo = static_cast<int>(clamped);
    if (lo >= 255) {
        return 1.0f;
    }
    const float t = clamped - static_cast<float>(lo);
    return table.fromByte[lo] + t * (table.fromByte[lo + 1] - table.fromByte[lo]);
}

float FromLinear(float c) {
    c = std::clamp(c, 0.0f, 1.0f);
    const float s = c <= 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
    return s * 255.0f;
}

}  // namespace

static const bool kRgb = std::getenv("ZX_RGB") != nullptr;
ColorPoint PointOf(float red, float green, float blue, uint8_t alpha33) {
    if (kRgb) return {{red, green, blue, kAlphaScale * static_cast<float>(alpha33)}};
    const float r = ToLinear(red), g = ToLinear(green), b = ToLinear(blue);
    const float l = std::cbrt(0.4122214708f * r + 0.5363325363f * g + 0.0514459929f * b);
    const float m = std::cbrt(0.2119034982f * r + 0.6806995451f * g + 0.1073969566f * b);
    const float s = std::cbrt(0.0883024619f * r + 0.2817188376f * g + 0.6299787005f * b);
    return {{kLabScale * (0.2104542553f * l + 0.7936177850f * m - 0.0040720468f * s),
             kLabScale * (1.9779984951f * l - 2.4285922050f * m + 0.4505937099f * s),
             kLabScale * (0.0259040371f * l + 0.7827717662f * m - 0.8086757660f * s),
             kAlphaScale * static_cast<float>(alpha33)}};
}

ColorPoint PointOfKey(PaletteKey key) {
    const uint32_t c = RGB565ToRGB(KeyColor(key));
    return PointOf(static_cast<float>(c & 0xFF), static_cast<float>((c >> 8) & 0xFF),
                   static_cast<float>((c >> 16) & 0xFF), KeyAlpha(key));
}

PaletteKey KeyOfPoint(const ColorPoint& point) {
    if (kRgb) {
    const auto byte = [](float c) {
        return static_cast<uint32_t>(std::lround(std::clamp(c, 0.0f, 255.0f)));
    };
    const uint32_t color = byte(point.v[0]) | (byte(point.v[1]) << 8) | (byte(point.v[2]) << 16);
    const long level = std::lround(point.v[3] / kAlphaScale);
    return MakePaletteKey(RGBTo565(color), static_cast<uint8_t>(std::clamp(level, 0L, 32L)));
    }
    const float lab0 = point.v[0] / kLabScale, lab1 = point.v[1] / kLabScale,
                lab2 = point.v[2] / kLabScale;
    const float l = lab0 + 0.3963377774f * lab1 + 0.2158037573f * lab2;
    const float m = lab0 - 0.1055613458f * lab1 - 0.0638541728f * lab2;
    const float s = lab0 - 0.0894841775f * lab1 - 1.2914855480f * lab2;
    const float l3 = l * l * l, m3 = m * m * m, s3 = s * s * s;
    const float r = FromLinear(4.0767416621f * l3 - 3.3077115913f * m3 + 0.2309699292f * s3);
    const float g = FromLinear(-1.2684380046f * l3 + 2.6097574011f * m3 - 0.3413193965f * s3);
    const float b = FromLinear(-0.0041960863f * l3 - 0.7034186147f * m3 + 1.7076147010f * s3);
    const auto byte = [](float c) {
        return static_cast<uint32_t>(std::lround(std::clamp(c, 0.0f, 255.0f)));
    };
    const uint32_t color = byte(r) | (byte(g) << 8) | (byte(b) << 16);
    const long level = std::lround(point.v[3] / kAlphaScale);
    return MakePaletteKey(RGBTo565(color), static_cast<uint8_t>(std::clamp(level, 0L, 32L)));
}

float OpacityWeight(uint8_t alpha33) {
    const float a = static_cast<float>(alpha33 + 1) / (kMaxAlpha33 + 1);
    return a * a;
}

}  // namespace quenda
