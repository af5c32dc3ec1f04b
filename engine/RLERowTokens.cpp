#include "engine/RLERowTokens.h"

#include "engine/RLEFile.h"
#include "engine/modColor.h"
#include "imaging/ColorWord.h"
#include "imaging/PixelMath.h"

namespace quenda::rle {

namespace {

// Stored form of a straight colour with an 8-bit alpha, as SetPixel stores it.
uint32_t StoredPixel(uint32_t color, uint8_t alpha) {
    if (alpha == 0) {
        return 0;
    }
    const ColorChannels c = ChannelsOf(color);
    if (alpha == 255) {
        return PixelWord(c.blue, c.green, c.red, 255);
    }
    return PixelWord(Premultiply(c.blue, alpha), Premultiply(c.green, alpha),
                     Premultiply(c.red, alpha), alpha);
}

}  // namespace

EntryPixels BuildEntryPixels(const ParsedFile& file) {
    EntryPixels e;
    const size_t entries = file.colors.size();
    e.lastEntry = entries - 1;
    e.pixels.resize(entries);
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t alpha = file.header.hasAlpha ? Alpha33To255(file.alphas[i]) : 255;
        e.pixels[i] = StoredPixel(RGB565ToRGB(file.colors[i]), alpha);
    }
    // Without alpha the transparent entry doubles as opaque black. No code reaches
    // entry 0 through the table except code 0, so it holds the transparent pixel.
    e.pixels[0] = file.header.hasAlpha ? 0 : PixelWord(0, 0, 0, 255);
    return e;
}

}  // namespace quenda::rle
