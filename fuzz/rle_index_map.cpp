// The index map of arbitrary bytes, checked against the decoder: where the decoder
// takes a file, the map does too, and every pixel is its entry's colour.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/RLEDecoder.h"
#include "engine/RLEIndexMap.h"
#include "engine/ZorixImgEngineEvents.h"
#include "engine/modColor.h"
#include "fuzz/SizeCaps.h"
#include "imaging/ColorWord.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

namespace {

// The premultiplied colour word a pixel of this entry holds.
uint32_t StoredColor(const quenda::PALETTE16& entry) {
    const uint8_t alpha = quenda::Alpha33To255(entry.pAlpha);
    const quenda::ColorChannels c =
        quenda::ChannelsOf(quenda::RGB565ToRGB(static_cast<uint16_t>(entry.pColor)));
    return alpha == 0 ? 0
                      : quenda::ColorWord(quenda::Premultiply(c.red, alpha),
                                          quenda::Premultiply(c.green, alpha),
                                          quenda::Premultiply(c.blue, alpha));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (fuzzcap::DeclaresHugeRle(data, size)) {
        return 0;
    }
    const std::span<const uint8_t> bytes(data, size);
    const quenda::RLEIndexMapResult map = quenda::ReadRLEIndexMap(bytes);
    quenda::ZorixImgEngineEvents noEvents;
    quenda::c32bppDIB image;
    const quenda::RLEDecodeResult decoded = quenda::DecodeRLEBytes(bytes, "fuzz", image, noEvents);
    if (!decoded.success) {
        return 0;
    }
    if (!map.success) {
        __builtin_trap();
    }
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            const quenda::PALETTE16 entry = map.map.palette[map.map.IndexAt(x, y)];
            uint8_t alpha = 0;
            const int32_t color = image.GetPixel(x, y, &alpha, true);
            // Pixels no token reaches are clear even where entry 0 is opaque black.
            const bool unreached = map.map.IndexAt(x, y) == 0 && alpha == 0 && color == 0;
            if (!unreached && (alpha != quenda::Alpha33To255(entry.pAlpha) ||
                               static_cast<uint32_t>(color) != StoredColor(entry))) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
