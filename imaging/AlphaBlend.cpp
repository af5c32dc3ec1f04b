#include "imaging/AlphaBlend.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quenda {

namespace {

// Four pixels at a time in 16-bit lanes; the compiler maps these vector types to the
// machine's SIMD registers (or plain code where there are none).
using Lanes16 = uint16_t __attribute__((vector_size(32)));
using Bytes16 = uint8_t __attribute__((vector_size(16)));

// d = s + d * (255 - a) / 255 for every channel, capped at 255: the platform blend
// at full constant opacity, byte for byte the same as BlendPixel.
void BlendRowPlatformOpaqueConstant(uint8_t* d, const uint8_t* s, int32_t count,
                                    const BlendParams& params) {
    int32_t i = 0;
    for (; i + 4 <= count; i += 4, d += 16, s += 16) {
        Bytes16 s8, d8;
        std::memcpy(&s8, s, 16);
        std::memcpy(&d8, d, 16);
        const Lanes16 sw = __builtin_convertvector(s8, Lanes16);
        const Lanes16 dw = __builtin_convertvector(d8, Lanes16);
        const Lanes16 alpha =
            __builtin_shufflevector(sw, sw, 3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15);
        const Lanes16 x = dw * (255 - alpha);
        // floor(x / 255), exact for x up to 255 * 255.
        const Lanes16 q = (x + 1 + (x >> 8)) >> 8;
        Lanes16 r = sw + q;
        r = r > 255 ? 255 : r;
        const Bytes16 out = __builtin_convertvector(r, Bytes16);
        std::memcpy(d, &out, 16);
    }
    for (; i < count; ++i, d += 4, s += 4) {
        BlendPixel(d, s, params);
    }
}

}  // namespace

void BlendOnto(const PixelView& source, const Surface& dest, int32_t x, int32_t y,
               const BlendParams& params) {
    const bool opaqueCopy = !params.sourceAlpha && params.constant == 255;
    for (int32_t row = 0; row < source.height; ++row) {
        const uint8_t* s = source.row(row);
        uint8_t* d = dest.row(y + row) + static_cast<size_t>(x) * 4;
        if (opaqueCopy) {
            // Without alpha the source is drawn as opaque: colour in place, alpha 255.
            for (int32_t i = 0; i < source.width; ++i) {
                std::memcpy(d + i * 4, s + i * 4, 3);
                d[i * 4 + 3] = 255;
            }
            continue;
        }
        // The common case (full opacity, well-formed premultiplied source) runs a
        // tight loop that gives exactly the same bytes as the general formula.
        if (params.rule == BlendRule::Platform && params.constant == 255) {
            BlendRowPlatformOpaqueConstant(d, s, source.width, params);
            continue;
        }
        for (int32_t i = 0; i < source.width; ++i) {
            BlendPixel(d + i * 4, s + i * 4, params);
        }
    }
}

namespace {

struct GrayWeights {
    double red, green, blue;
};

GrayWeights WeightsFor(int32_t formula) {
    switch (formula) {
        case -1:
            return {1, 1, 1};
        case 1:
            return {0.213, 0.715, 0.072};
        case 2:
            return {0.333, 0.334, 0.333};
        case 3:
            return {0.8, 0.1, 0.1};
        case 4:
            return {0.1, 0.8, 0.1};
        case 5:
            return {0.1, 0.1, 0.8};
        case 6:
            return {0.45, 0.45, 0.1};
        case 7:
            return {0.1, 0.45, 0.45};
        default:
            return {0.299, 0.587, 0.114};
    }
}

}  // namespace

void ApplyColorEffects(uint8_t* p, const ColorEffects& effects) {
    const int32_t a = p[3];
    if (effects.grayScale != -1) {
        const GrayWeights w = WeightsFor(effects.grayScale);
        const double grey = p[2] * w.red + p[1] * w.green + p[0] * w.blue;
        const uint8_t g =
            static_cast<uint8_t>(std::clamp(std::lround(grey), 0L, static_cast<long>(a)));
        p[0] = p[1] = p[2] = g;
    }
    if (effects.light > 0) {
        // Towards white; premultiplied white is the alpha itself.
        for (int ch = 0; ch < 3; ++ch) {
            p[ch] = static_cast<uint8_t>(p[ch] + (a - p[ch]) * effects.light / 100);
        }
    } else if (effects.light < 0) {
        for (int ch = 0; ch < 3; ++ch) {
            p[ch] = static_cast<uint8_t>(p[ch] * (100 + effects.light) / 100);
        }
    }
}

void ApplyColorEffects(PixelBuffer& pixels, const ColorEffects& effects) {
    if (!effects.any()) {
        return;
    }
    for (size_t i = 0; i + 4 <= pixels.bytes.size(); i += 4) {
        ApplyColorEffects(&pixels.bytes[i], effects);
    }
}

}  // namespace quenda
