#include <array>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/ZorixImgEngine.h"
#include "imaging/ColorCompose.h"
#include "imaging/ColorWord.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

namespace {

// Nearest whole number, halves to even.
int64_t RoundHalfEven(double v) {
    return static_cast<int64_t>(std::nearbyint(v));
}

void FillOpaque(c32bppDIB& image, int32_t color) {
    // One row is filled, then copied.
    const std::array<uint8_t, 4> pixel = OpaquePixelOf(static_cast<uint32_t>(color));
    uint8_t* first = image.BitsPointer();
    const size_t rowBytes = static_cast<size_t>(image.scanWidth());
    for (size_t i = 0; i < rowBytes; i += 4) {
        std::memcpy(first + i, pixel.data(), 4);
    }
    for (int32_t y = 1; y < image.Height(); ++y) {
        std::memcpy(first + rowBytes * y, first, rowBytes);
    }
}

}  // namespace

std::unique_ptr<c32bppDIB> ZorixImgEngine::ComposeOverBackground(int32_t width,
                                                                 int32_t height) const {
    if (!image_ || !image_->Handle() || width <= 0 || height <= 0) {
        return nullptr;
    }
    auto picture = std::make_unique<c32bppDIB>();
    // At the image's own size, where drawing takes the platform blend, background and
    // image are composed in one pass into fresh memory, with the same result as
    // filling the picture and drawing the image onto it.
    const bool platformBlend =
        image_->isAlphaBlendFriendly() &&
        !(image_->isGDIplusEnabled() && (image_->KeepGDIplusActive() || image_->gdiToken() != 0));
    if (platformBlend && width == image_->Width() && height == image_->Height()) {
        std::unique_ptr<uint8_t[]> bits(new (std::nothrow) uint8_t[image_->ByteCount()]);
        if (!bits || !ComposeOverColor(*image_, bits.get(), bgColor_) ||
            !picture->AdoptBits(std::move(bits), width, height)) {
            return nullptr;
        }
    } else {
        if (!picture->InitializeDIB(width, height)) {
            return nullptr;
        }
        FillOpaque(*picture, bgColor_);
        if (!image_->Render(Surface{}, 0, 0, width, height, 0, 0, 0, 0, 100, true, true,
                            picture.get())) {
            return nullptr;
        }
    }
    // Composed over an opaque background the picture is opaque.
    picture->setAlpha(false);
    picture->setImageType(IMAGE_BITMAP);
    return picture;
}

std::unique_ptr<c32bppDIB> ZorixImgEngine::Picture() const {
    if (!image_) {
        return nullptr;
    }
    return ComposeOverBackground(image_->Width(), image_->Height());
}

std::unique_ptr<c32bppDIB> ZorixImgEngine::Thumbnail(int32_t tnWidth, int32_t tnHeight,
                                                     bool keepAspectRatio) const {
    if (!image_ || !image_->Handle()) {
        return nullptr;
    }
    int64_t w = image_->Width();
    int64_t h = image_->Height();
    if (keepAspectRatio) {
        if (tnWidth <= 0 || tnHeight <= 0) {
            return nullptr;
        }
        if (tnWidth != w) {
            const double r = static_cast<double>(tnWidth) / static_cast<double>(w);
            w = tnWidth;
            h = RoundHalfEven(static_cast<double>(h) * r);
        }
        if (h > tnHeight) {
            const double r = static_cast<double>(tnHeight) / static_cast<double>(h);
            h = tnHeight;
            w = RoundHalfEven(static_cast<double>(w) * r);
        }
        // A very thin image still gets a visible line rather than nothing.
        w = std::max<int64_t>(w, 1);
        h = std::max<int64_t>(h, 1);
    } else {
        w = tnWidth;
        h = tnHeight;
    }
    return ComposeOverBackground(static_cast<int32_t>(w), static_cast<int32_t>(h));
}

bool ZorixImgEngine::Render(const Surface& destinationDC, int32_t destX, int32_t destY,
                            int32_t destWidth, int32_t destHeight, int32_t SrcX, int32_t SrcY,
                            int32_t srcWidth, int32_t srcHeight) const {
    if (!image_) {
        return false;
    }
    return image_->Render(destinationDC, destX, destY, destWidth, destHeight, SrcX, SrcY, srcWidth,
                          srcHeight, 100, true, true);
}

}  // namespace quenda
