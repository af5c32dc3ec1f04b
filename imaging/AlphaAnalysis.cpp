#include "imaging/AlphaAnalysis.h"

#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

AlphaKind ClassifyAlpha(const uint8_t* pixels, size_t pixelCount) {
    bool straightSeen = false;
    size_t zeroCount = 0;
    size_t opaqueCount = 0;
    for (const uint8_t* p = pixels; p != pixels + pixelCount * 4; p += 4) {
        const uint8_t a = p[3];
        if (a == 0) {
            straightSeen = straightSeen || (p[0] | p[1] | p[2]) != 0;
            ++zeroCount;
        } else if (a == 255) {
            if (straightSeen) {
                return AlphaKind::Straight;
            }
            ++opaqueCount;
        } else if (straightSeen || p[0] > a || p[1] > a || p[2] > a) {
            return AlphaKind::Straight;
        }
    }
    if (zeroCount == pixelCount || opaqueCount == pixelCount) {
        return AlphaKind::None;
    }
    return straightSeen ? AlphaKind::Straight : AlphaKind::Premultiplied;
}

namespace {

void MakeOpaque(uint8_t* pixels, size_t pixelCount) {
    for (size_t i = 0; i < pixelCount; ++i) {
        pixels[i * 4 + 3] = 255;
    }
}

void PremultiplyStraight(uint8_t* pixels, size_t pixelCount) {
    for (uint8_t* p = pixels; p != pixels + pixelCount * 4; p += 4) {
        PremultiplyPixel(p);
    }
}

}  // namespace

void ApplyAlphaAnalysis(c32bppDIB& image, bool premultiply, AlphaMode mode) {
    uint8_t* pixels = image.BitsPointer();
    const size_t count = static_cast<size_t>(image.Width()) * image.Height();
    if (!pixels) {
        return;
    }
    const AlphaKind kind =
        mode == AlphaMode::TakeAsOpaque ? AlphaKind::None : ClassifyAlpha(pixels, count);
    switch (kind) {
        case AlphaKind::None:
            image.setImageType(IMAGE_BITMAP);
            image.setAlpha(false);
            if (premultiply) {
                MakeOpaque(pixels, count);
            }
            break;
        case AlphaKind::Premultiplied:
            image.setImageType(IMAGE_BITMAP_PREMULTIPLIED);
            image.setAlpha(true);
            break;
        case AlphaKind::Straight:
            image.setImageType(IMAGE_BITMAP_STRAIGHT_ALPHA);
            image.setAlpha(true);
            if (premultiply) {
                PremultiplyStraight(pixels, count);
            }
            break;
    }
}

}  // namespace quenda
