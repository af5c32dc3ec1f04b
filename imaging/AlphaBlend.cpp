#include "imaging/AlphaBlend.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenda {

namespace {

#if defined(__SSE2__)

// out = s + under * (255 - a) / 255 for two pixels (8 channels) in 16-bit lanes.
inline __m128i BlendLanes(__m128i s, __m128i under) {
    // Alpha of each pixel copied to its four channels.
    __m128i alpha = _mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3));
    alpha = _mm_shufflehi_epi16(alpha, _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i x = _mm_mullo_epi16(under, _mm_sub_epi16(_mm_set1_epi16(255), alpha));
    // floor(x / 255) = (x * 0x8081) >> 23, exact for x up to 255 * 255.
    const __m128i q = _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(-32639)), 7);
    return _mm_add_epi16(s, q);
}

// Four pixels; the final pack caps every channel at 255.
inline void BlendFour(const uint8_t* s, const uint8_t* under, uint8_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i s8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i u8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(under));
    const __m128i lo = BlendLanes(_mm_unpacklo_epi8(s8, zero), _mm_unpacklo_epi8(u8, zero));
    const __m128i hi = BlendLanes(_mm_unpackhi_epi8(s8, zero), _mm_unpackhi_epi8(u8, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(lo, hi));
}

#else

// Four pixels in 16-bit lanes; the compiler maps these vector types to whatever
// SIMD registers the machine has (or to plain code).
using Lanes16 = uint16_t __attribute__((vector_size(32)));
using Bytes16 = uint8_t __attribute__((vector_size(16)));

inline void BlendFour(const uint8_t* s, const uint8_t* under, uint8_t* out) {
    Bytes16 s8, u8;
    std::memcpy(&s8, s, 16);
    std::memcpy(&u8, under, 16);
    const Lanes16 sw = __builtin_convertvector(s8, Lanes16);
    const Lanes16 uw = __builtin_convertvector(u8, Lanes16);
    const Lanes16 alpha =
        __builtin_shufflevector(sw, sw, 3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15);
    const Lanes16 x = uw * (255 - alpha);
    const Lanes16 q = (x + 1 + (x >> 8)) >> 8;  // floor(x / 255) for x up to 255 * 255
    Lanes16 r = sw + q;
    r = r > 255 ? 255 : r;
    const Bytes16 result = __builtin_convertvector(r, Bytes16);
    std::memcpy(out, &result, 16);
}

#endif

}  // namespace

void BlendRowOver(const uint8_t* s, const uint8_t* under, uint8_t* out, int32_t count,
                  const BlendParams& params) {
    int32_t i = 0;
    for (; i + 4 <= count; i += 4, s += 16, under += 16, out += 16) {
        BlendFour(s, under, out);
    }
    for (; i < count; ++i, s += 4, under += 4, out += 4) {
        uint8_t pixel[4];
        std::memcpy(pixel, under, 4);
        BlendPixel(pixel, s, params);
        std::memcpy(out, pixel, 4);
    }
}

namespace {

void BlendRowPlatformOpaqueConstant(uint8_t* d, const uint8_t* s, int32_t count,
                                    const BlendParams& params) {
    BlendRowOver(s, d, d, count, params);
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
