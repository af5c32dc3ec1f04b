#pragma once

#include <cstdint>

#include "imaging/PixelView.h"
#include "imaging/Surface.h"

namespace quenda {

// How source pixels are combined with the destination.
enum class BlendRule {
    // The platform blend: source channels scaled by k / 255, then
    // d = s' + d * (255 - a * k / 255) / 255.
    Platform,
    // The library's own blend: with k = 255 an opaque source replaces, a transparent
    // one leaves, others give d = s + d * (255 - a) / 255; with k < 255
    // d = (d * (255 - a * k / 255) + s * k) / 255.
    Own,
};

// Constant opacity and the flag that decides whether per-pixel alpha counts: without
// it every source pixel is taken as opaque.
struct BlendParams {
    BlendRule rule = BlendRule::Platform;
    int32_t constant = 255;  // k, 1 to 255
    bool sourceAlpha = true;
};

inline uint8_t BlendChannelCap(int32_t v) {
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

inline void BlendPixel(uint8_t* d, const uint8_t* s, const BlendParams& p) {
    const int32_t a = p.sourceAlpha ? s[3] : 255;
    const int32_t k = p.constant;
    const int32_t ak = a * k / 255;
    if (p.rule == BlendRule::Own && k == 255) {
        if (a == 0) {
            return;
        }
        if (a == 255) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = 255;
            return;
        }
    }
    for (int ch = 0; ch < 4; ++ch) {
        const int32_t sv = ch == 3 ? a : s[ch];
        if (p.rule == BlendRule::Platform) {
            d[ch] = BlendChannelCap(sv * k / 255 + d[ch] * (255 - ak) / 255);
        } else if (k == 255) {
            d[ch] = BlendChannelCap(sv + d[ch] * (255 - a) / 255);
        } else {
            d[ch] = BlendChannelCap((d[ch] * (255 - ak) + sv * k) / 255);
        }
    }
}

// Blends the view onto the surface with its top-left at (x, y); the caller has
// clipped the view to the surface.
void BlendOnto(const PixelView& source, const Surface& dest, int32_t x, int32_t y,
               const BlendParams& params);

// The platform blend at full constant opacity with per-pixel alpha for one row:
// out = s + under * (255 - a) / 255, capped at 255; out may be under itself.
void BlendRowOver(const uint8_t* s, const uint8_t* under, uint8_t* out, int32_t count,
                  const BlendParams& params);

// Grey-scale (formula -1 = none) and light adjustment (percent, 0 = none) applied to
// premultiplied pixels; alpha is kept.
struct ColorEffects {
    int32_t grayScale = -1;
    int32_t light = 0;
    bool any() const { return grayScale != -1 || light != 0; }
};

void ApplyColorEffects(uint8_t* pixel, const ColorEffects& effects);
void ApplyColorEffects(PixelBuffer& pixels, const ColorEffects& effects);

}  // namespace quenda
