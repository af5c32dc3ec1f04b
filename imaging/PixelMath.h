#pragma once

#include <bit>
#include <cstdint>

namespace quenda {

// The 32-bit word whose bytes in memory are blue, green, red and alpha, for writing a
// pixel as one word.
constexpr uint32_t PixelWord(uint8_t blue, uint8_t green, uint8_t red, uint8_t alpha) {
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<uint32_t>(blue) | (static_cast<uint32_t>(green) << 8) |
               (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(alpha) << 24);
    } else {
        return (static_cast<uint32_t>(blue) << 24) | (static_cast<uint32_t>(green) << 16) |
               (static_cast<uint32_t>(red) << 8) | static_cast<uint32_t>(alpha);
    }
}

// Premultiplied storage: each colour component is scaled by alpha / 255, truncating.
// For products up to 255 x 255, (x + 1 + x / 256) / 256 is exactly x / 255, and it
// needs no division, so loops over whole rows vectorise.
constexpr uint8_t Premultiply(uint8_t component, uint8_t alpha) {
    const unsigned x = unsigned{component} * alpha;
    return static_cast<uint8_t>((x + 1 + (x >> 8)) >> 8);
}

// A stored component never exceeds its alpha.
constexpr uint8_t ClampToAlpha(uint8_t component, uint8_t alpha) {
    return component > alpha ? Premultiply(component, alpha) : component;
}

// Straight colour from a premultiplied component; alpha 0 and 255 leave it as stored.
constexpr uint8_t Unpremultiply(uint8_t component, uint8_t alpha) {
    if (alpha == 0 || alpha == 255) {
        return component;
    }
    const unsigned value = component * 255u / alpha;
    return static_cast<uint8_t>(value > 255 ? 255 : value);
}

// Makes one straight-alpha BGRA pixel premultiplied; alpha 0 clears it.
inline void PremultiplyPixel(uint8_t* p) {
    const uint8_t a = p[3];
    if (a == 0) {
        p[0] = p[1] = p[2] = 0;
    } else if (a != 255) {
        p[0] = Premultiply(p[0], a);
        p[1] = Premultiply(p[1], a);
        p[2] = Premultiply(p[2], a);
    }
}

}  // namespace quenda
