#include "codecs/IconBitmap.h"

#include "imaging/BitmapStride.h"
#include "imaging/ByteOrder.h"
#include "imaging/ImageTypes.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

size_t IconRowBytes(int32_t width, int32_t depth) {
    return static_cast<size_t>(
        BitmapRowLength(static_cast<uint64_t>(width), static_cast<uint32_t>(depth)));
}

namespace {

bool Fits(size_t offset, uint64_t length, size_t size) {
    return offset <= size && length <= size - offset;
}

// The colour of pixel x of a stored row, as B, G, R with alpha from 32-bit data.
void ReadPixel(const uint8_t* row, int32_t x, const IconBitmapLayout& layout,
               const uint8_t* palette, uint8_t* out) {
    const int32_t depth = layout.depth;
    if (depth <= 8) {
        const size_t bit = static_cast<size_t>(x) * depth;
        const unsigned shift = 8 - depth - (bit % 8);
        const unsigned index = (row[bit / 8] >> shift) & ((1u << depth) - 1);
        if (index < layout.paletteEntries) {
            out[0] = palette[index * 4];
            out[1] = palette[index * 4 + 1];
            out[2] = palette[index * 4 + 2];
        } else {
            out[0] = out[1] = out[2] = 0;
        }
        out[3] = 255;
        return;
    }
    if (depth == 16) {
        // 5-5-5 colour, as bitmaps without bit fields store it.
        const uint16_t v = bytes::ReadLE16(row + x * 2);
        const auto expand = [](unsigned c) { return static_cast<uint8_t>((c << 3) | (c >> 2)); };
        out[0] = expand(v & 31);
        out[1] = expand((v >> 5) & 31);
        out[2] = expand((v >> 10) & 31);
        out[3] = 255;
        return;
    }
    const uint8_t* p = row + static_cast<size_t>(x) * (depth / 8);
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
    out[3] = depth == 32 ? p[3] : 255;
}

// Set mask bits make pixels transparent; returns whether any bit was set.
bool ApplyMask(const uint8_t* data, const IconBitmapLayout& layout, c32bppDIB& host) {
    const size_t rowBytes = IconRowBytes(layout.width, 1);
    bool anySet = false;
    // Stored rows go from the bottom up, as the host holds them.
    for (int32_t stored = 0; stored < layout.height; ++stored) {
        const uint8_t* row = data + layout.maskOffset + rowBytes * stored;
        uint8_t* dst = host.BitsPointer() + static_cast<size_t>(stored) * host.scanWidth();
        for (int32_t x = 0; x < layout.width; ++x, dst += 4) {
            if (row[x / 8] & (0x80 >> (x % 8))) {
                dst[0] = dst[1] = dst[2] = dst[3] = 0;
                anySet = true;
            } else {
                dst[3] = 255;
            }
        }
    }
    return anySet;
}

}  // namespace

bool DecodeIconBitmap(const uint8_t* data, size_t size, const IconBitmapLayout& layout,
                      c32bppDIB& host) {
    const int32_t d = layout.depth;
    const bool knownDepth = d == 1 || d == 4 || d == 8 || d == 16 || d == 24 || d == 32;
    if (!knownDepth || host.Width() != layout.width || host.Height() != layout.height) {
        return false;
    }
    const size_t rowBytes = IconRowBytes(layout.width, d);
    const uint64_t bitsSize = static_cast<uint64_t>(rowBytes) * layout.height;
    const uint64_t maskSize = static_cast<uint64_t>(IconRowBytes(layout.width, 1)) * layout.height;
    const bool needsMask = d != 32;
    if (!Fits(layout.bitsOffset, bitsSize, size) ||
        !Fits(layout.paletteOffset, static_cast<uint64_t>(layout.paletteEntries) * 4, size) ||
        (needsMask && (!layout.hasMask || !Fits(layout.maskOffset, maskSize, size)))) {
        return false;
    }
    const uint8_t* palette = data + layout.paletteOffset;
    for (int32_t stored = 0; stored < layout.height; ++stored) {
        const uint8_t* row = data + layout.bitsOffset + rowBytes * stored;
        uint8_t* dst = host.BitsPointer() + static_cast<size_t>(stored) * host.scanWidth();
        for (int32_t x = 0; x < layout.width; ++x, dst += 4) {
            ReadPixel(row, x, layout, palette, dst);
            if (d == 32) {
                PremultiplyPixel(dst);
            }
        }
    }
    if (d == 32) {
        host.setAlpha(true);
        host.setImageType(layout.cursor ? IMAGE_CURSOR_ALPHA : IMAGE_ICON_ALPHA);
        return true;
    }
    host.setAlpha(ApplyMask(data, layout, host));
    host.setImageType(layout.cursor ? IMAGE_CURSOR : IMAGE_ICON);
    return true;
}

}  // namespace quenda
