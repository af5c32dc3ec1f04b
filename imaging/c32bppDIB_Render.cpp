#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/DrawPipeline.h"
#include "imaging/ImageScaling.h"
#include "imaging/ScaledCopy.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"

namespace quenda {

namespace {

// Render's arguments after defaults, clipping of the source and centring. Kept in
// 64 bits so that extreme values cannot overflow.
struct RenderArgs {
    int64_t destX = 0, destY = 0, destWidth = 0, destHeight = 0;
    int64_t srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
    int32_t opacity = 100;
    int32_t light = 0;
};

// False when no source pixel remains to draw.
bool NormalizeRenderArgs(int32_t imageWidth, int32_t imageHeight, bool centre, RenderArgs& a) {
    if (a.destWidth == 0) {
        a.destWidth = imageWidth;
    }
    if (a.destHeight == 0) {
        a.destHeight = imageHeight;
    }
    if (a.srcWidth == 0) {
        a.srcWidth = imageWidth;
    }
    if (a.srcHeight == 0) {
        a.srcHeight = imageHeight;
    }
    a.srcX = std::max<int64_t>(a.srcX, 0);
    a.srcY = std::max<int64_t>(a.srcY, 0);
    if (a.srcWidth < 0) {
        a.destWidth = -a.destWidth;
        a.srcWidth = -a.srcWidth;
    }
    if (a.srcHeight < 0) {
        a.destHeight = -a.destHeight;
        a.srcHeight = -a.srcHeight;
    }
    a.srcWidth = std::min(a.srcWidth, imageWidth - a.srcX);
    a.srcHeight = std::min(a.srcHeight, imageHeight - a.srcY);
    a.opacity = a.opacity % 100 == 0 ? 100 : a.opacity % 100;
    if (a.light < -100 || a.light > 100) {
        a.light = 0;
    }
    if (centre) {
        a.destX -= std::llabs(a.destWidth) / 2;
        a.destY -= std::llabs(a.destHeight) / 2;
    }
    return a.srcWidth > 0 && a.srcHeight > 0;
}

// The whole held image as a top-down view (memory is bottom-up).
PixelView WholeView(const c32bppDIB& image) {
    const std::ptrdiff_t scan = image.scanWidth();
    return PixelView{image.BitsPointer() + static_cast<std::ptrdiff_t>(image.Height() - 1) * scan,
                     image.Width(), image.Height(), -scan};
}

bool Overlaps(const c32bppDIB& image, const Surface& surface) {
    const uint8_t* begin = image.BitsPointer();
    const uint8_t* end = begin + image.ByteCount();
    const uint8_t* top = surface.bits;
    const uint8_t* bottom = surface.row(surface.height - 1);
    const uint8_t* lo = std::min(top, bottom);
    const uint8_t* hi = std::max(top, bottom) + static_cast<size_t>(surface.width) * 4;
    return lo < end && begin < hi;
}

bool DrawThroughGdiPlus(const DrawJob& job, const Surface& dest, bool highQuality, uint32_t token) {
    cGDIPlus bridge;
    return bridge.DrawImage(job, dest, highQuality, token);
}

}  // namespace

bool c32bppDIB::Render(const Surface& destinationDC, int32_t destX, int32_t destY,
                       int32_t destWidth, int32_t destHeight, int32_t SrcX, int32_t SrcY,
                       int32_t srcWidth, int32_t srcHeight, int32_t opacity, bool /*blend*/,
                       bool halftone, c32bppDIB* destinationDIB, int32_t grayScale,
                       int32_t lightAdjustment, double angle, bool centerOnDestXY) {
    if (!bits_) {
        return false;
    }
    if (opacity <= 0) {
        return true;
    }
    const Surface target = destinationDIB ? destinationDIB->LoadDIBinDC(true) : destinationDC;
    if (!target.isValid()) {
        return false;
    }
    RenderArgs a{destX, destY,    destWidth, destHeight, SrcX,
                 SrcY,  srcWidth, srcHeight, opacity,    lightAdjustment};
    if (!NormalizeRenderArgs(width_, height_, centerOnDestXY, a)) {
        return false;
    }
    PixelView source =
        WholeView(*this).sub(static_cast<int32_t>(a.srcX), static_cast<int32_t>(a.srcY),
                             static_cast<int32_t>(a.srcWidth), static_cast<int32_t>(a.srcHeight));
    // Drawing into itself reads from a copy so no pixel is read after being written.
    PixelBuffer sourceCopy;
    if (Overlaps(*this, target)) {
        if (!MirrorPixels(source, false, false, sourceCopy)) {
            return false;
        }
        source = sourceCopy.view();
    }

    DrawJob job;
    job.source = source;
    job.destX = a.destX;
    job.destY = a.destY;
    job.destWidth = a.destWidth;
    job.destHeight = a.destHeight;
    job.blend.constant = a.opacity * 255 / 100;
    job.blend.sourceAlpha = alpha_;
    job.effects = ColorEffects{grayScale, a.light};
    job.angle = angle;

    const bool mirroring = a.destWidth < 1 || a.destHeight < 0;
    const bool scaling =
        std::llabs(a.destWidth) != a.srcWidth || std::llabs(a.destHeight) != a.srcHeight;
    const bool gdiPlus = isGDIplusEnabled();
    bool ok = false;
    if (IsRotation(angle)) {
        job.filter = ScaleFilter::Bilinear;
        job.blend.rule = BlendRule::Own;
        ok = gdiPlus ? DrawThroughGdiPlus(job, target, highQualityInterpolation_, gdiToken_)
                     : ExecuteDraw(job, target);
    } else if (gdiPlus && (keepGDIplusActive_ || gdiToken_ != 0)) {
        ok = DrawThroughGdiPlus(job, target, highQualityInterpolation_, gdiToken_);
    } else if (isAlphaBlendFriendly() && !mirroring && !job.effects.any() &&
               (!scaling || !highQualityInterpolation_)) {
        // The platform blend stretches smoothly in halftone mode, else by sampling.
        job.filter = halftone ? ScaleFilter::Bilinear : ScaleFilter::Nearest;
        job.blend.rule = BlendRule::Platform;
        ok = ExecuteDraw(job, target);
    } else if (gdiPlus) {
        ok = DrawThroughGdiPlus(job, target, highQualityInterpolation_, gdiToken_);
    } else {
        job.filter = ScaleFilter::Bilinear;
        job.blend.rule = BlendRule::Own;
        ok = ExecuteDraw(job, target);
    }
    if (destinationDIB) {
        destinationDIB->LoadDIBinDC(false);
    }
    return ok;
}

void c32bppDIB::ScaleImage(int32_t destWidth, int32_t destHeight, int32_t& newWidth,
                           int32_t& newHeight, int32_t scaleMode) const {
    if (!bits_) {
        return;
    }
    if (scaleMode < 0 || scaleMode > 2) {
        newWidth = width_;
        newHeight = height_;
        return;
    }
    if (scaleMode == 2) {
        newWidth = destWidth;
        newHeight = destHeight;
        return;
    }
    // The smaller factor decides; exact integer arithmetic avoids 99.999 for 100.
    const int64_t byWidth = static_cast<int64_t>(destWidth) * height_;
    const int64_t byHeight = static_cast<int64_t>(destHeight) * width_;
    int64_t num = byWidth <= byHeight ? destWidth : destHeight;
    int64_t den = byWidth <= byHeight ? width_ : height_;
    if (scaleMode == 1 && num > den) {
        num = den = 1;
    }
    auto floorDiv = [](int64_t n, int64_t d) {
        return n / d - ((n % d != 0) && ((n < 0) != (d < 0)));
    };
    newWidth = static_cast<int32_t>(floorDiv(static_cast<int64_t>(width_) * num, den));
    newHeight = static_cast<int32_t>(floorDiv(static_cast<int64_t>(height_) * num, den));
}

void c32bppDIB::SwapDIBs(c32bppDIB& other) {
    std::swap(bits_, other.bits_);
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
}

bool DrawScaledCopy(const c32bppDIB& source, c32bppDIB& dest, int32_t width, int32_t height,
                    bool throughGdiPlus) {
    c32bppDIB& target = dest;
    const Surface surface = target.LoadDIBinDC(true);
    if (!source.Handle() || !surface.isValid()) {
        return false;
    }
    // A copy replaces what the destination held.
    std::memset(target.BitsPointer(), 0, target.ByteCount());
    DrawJob job;
    job.source = WholeView(source);
    job.destWidth = width;
    job.destHeight = height;
    job.blend.sourceAlpha = true;
    if (throughGdiPlus) {
        return DrawThroughGdiPlus(job, surface, source.HighQualityInterpolation(),
                                  source.gdiToken());
    }
    job.filter = ScaleFilter::Bilinear;
    job.blend.rule = BlendRule::Own;
    return ExecuteDraw(job, surface);
}

bool c32bppDIB::Resize(int32_t newWidth, int32_t newHeight) {
    if (!bits_) {
        return false;
    }
    newWidth = newWidth == 0 ? width_ : newWidth;
    newHeight = newHeight == 0 ? height_ : newHeight;
    if (newWidth == width_ && newHeight == height_) {
        return true;
    }
    if (newWidth == INT32_MIN || newHeight == INT32_MIN) {
        return false;
    }
    c32bppDIB fresh;
    fresh.setGdiToken(gdiToken_);
    fresh.setIsGDIplusEnabled(isGDIplusEnabled());
    fresh.setHighQualityInterpolation(highQualityInterpolation_);
    if (!fresh.InitializeDIB(std::abs(newWidth), std::abs(newHeight))) {
        return false;
    }
    fresh.setImageType(imageType_);
    fresh.setAlpha(alpha_);
    fresh.setOriginalFormat(originalFormat_);
    fresh.setTag(tag_);

    bool ok = false;
    const bool gdiPlus = isGDIplusEnabled();
    if (gdiPlus && highQualityInterpolation_) {
        ok = DrawScaledCopy(*this, fresh, newWidth, newHeight, true);
    } else if (newWidth < 0 || newHeight < 0 || !isAlphaBlendFriendly() ||
               highQualityInterpolation_) {
        ok = DrawScaledCopy(*this, fresh, newWidth, newHeight, false);
    } else {
        capabilities_ &= ~CAP_ALPHABLEND_FRIENDLY;
        ok = Render(Surface{}, 0, 0, newWidth, newHeight, 0, 0, 0, 0, 100, true, true, &fresh);
        capabilities_ |= CAP_ALPHABLEND_FRIENDLY;
    }
    if (!ok) {
        return false;
    }
    SwapDIBs(fresh);
    return true;
}

}  // namespace quenda
