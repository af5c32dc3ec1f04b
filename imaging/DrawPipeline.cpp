#include "imaging/DrawPipeline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/ImageScaling.h"

namespace quenda {

bool IsRotation(double angle) {
    return std::isfinite(angle) && std::fmod(angle, 360.0) != 0.0;
}

namespace {

// The part of the target rectangle that lies on the surface.
struct VisibleArea {
    int32_t left = 0, top = 0, width = 0, height = 0;
};

bool ClipToSurface(int64_t x, int64_t y, int64_t w, int64_t h, const Surface& dest,
                   VisibleArea& area) {
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(x + w, dest.width);
    const int64_t bottom = std::min<int64_t>(y + h, dest.height);
    if (left >= right || top >= bottom) {
        return false;
    }
    area = {static_cast<int32_t>(left), static_cast<int32_t>(top),
            static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
    return true;
}

bool Resample(ScaleFilter filter, const PixelView& source, const TargetWindow& window,
              PixelBuffer& out) {
    switch (filter) {
        case ScaleFilter::Nearest:
            return ScaleNearest(source, window, out);
        case ScaleFilter::Bicubic:
            return ScaleBicubic(source, window, out);
        case ScaleFilter::Bilinear:
            break;
    }
    return ScaleBilinear(source, window, out);
}

bool DrawStraight(const DrawJob& job, const PixelView& source, const Surface& dest) {
    const int64_t tw = std::llabs(job.destWidth);
    const int64_t th = std::llabs(job.destHeight);
    VisibleArea area;
    if (!ClipToSurface(job.destX, job.destY, tw, th, dest, area)) {
        return true;
    }
    const int64_t wx = area.left - job.destX;
    const int64_t wy = area.top - job.destY;
    const bool sameSize = tw == source.width && th == source.height;
    if (sameSize && !job.effects.any()) {
        const PixelView part =
            source.sub(static_cast<int32_t>(wx), static_cast<int32_t>(wy), area.width, area.height);
        BlendOnto(part, dest, area.left, area.top, job.blend);
        return true;
    }
    PixelBuffer window;
    if (sameSize) {
        const PixelView part =
            source.sub(static_cast<int32_t>(wx), static_cast<int32_t>(wy), area.width, area.height);
        if (!MirrorPixels(part, false, false, window)) {
            return false;
        }
    } else {
        const TargetWindow tw_{tw, th, wx, wy, area.width, area.height};
        if (!Resample(job.filter, source, tw_, window)) {
            return false;
        }
    }
    ApplyColorEffects(window, job.effects);
    BlendOnto(window.view(), dest, area.left, area.top, job.blend);
    return true;
}

// Samples the source at a position in target-rectangle coordinates (0..tw, 0..th).
void SampleAt(const PixelView& source, double u, double v, double tw, double th, bool smooth,
              uint8_t* out) {
    const double sx = u * source.width / tw - (smooth ? 0.5 : 0.0);
    const double sy = v * source.height / th - (smooth ? 0.5 : 0.0);
    if (!smooth) {
        const int32_t x = std::clamp(static_cast<int32_t>(std::floor(sx)), 0, source.width - 1);
        const int32_t y = std::clamp(static_cast<int32_t>(std::floor(sy)), 0, source.height - 1);
        const uint8_t* p = source.pixel(x, y);
        std::copy(p, p + 4, out);
        return;
    }
    const double fx = std::floor(sx), fy = std::floor(sy);
    const double ax = sx - fx, ay = sy - fy;
    const int32_t x0 = std::clamp(static_cast<int32_t>(fx), 0, source.width - 1);
    const int32_t y0 = std::clamp(static_cast<int32_t>(fy), 0, source.height - 1);
    const int32_t x1 = std::clamp(static_cast<int32_t>(fx) + 1, 0, source.width - 1);
    const int32_t y1 = std::clamp(static_cast<int32_t>(fy) + 1, 0, source.height - 1);
    for (int ch = 0; ch < 4; ++ch) {
        const double top = source.pixel(x0, y0)[ch] * (1 - ax) + source.pixel(x1, y0)[ch] * ax;
        const double bottom = source.pixel(x0, y1)[ch] * (1 - ax) + source.pixel(x1, y1)[ch] * ax;
        out[ch] = static_cast<uint8_t>(std::clamp(top * (1 - ay) + bottom * ay + 0.5, 0.0, 255.0));
    }
}

bool DrawRotated(const DrawJob& job, const PixelView& source, const Surface& dest) {
    const double tw = static_cast<double>(std::llabs(job.destWidth));
    const double th = static_cast<double>(std::llabs(job.destHeight));
    const double cx = static_cast<double>(job.destX) + tw / 2.0;
    const double cy = static_cast<double>(job.destY) + th / 2.0;
    const double rad = job.angle * std::numbers::pi / 180.0;
    const double cs = std::cos(rad), sn = std::sin(rad);
    // Bounding box of the turned rectangle, clipped to the surface.
    const double halfW = (std::fabs(tw * cs) + std::fabs(th * sn)) / 2.0;
    const double halfH = (std::fabs(tw * sn) + std::fabs(th * cs)) / 2.0;
    const double left = std::max(std::floor(cx - halfW), 0.0);
    const double top = std::max(std::floor(cy - halfH), 0.0);
    const double right = std::min(std::ceil(cx + halfW), static_cast<double>(dest.width));
    const double bottom = std::min(std::ceil(cy + halfH), static_cast<double>(dest.height));
    const bool smooth = job.filter != ScaleFilter::Nearest;
    for (double y = top; y < bottom; ++y) {
        uint8_t* row = dest.row(static_cast<int32_t>(y));
        for (double x = left; x < right; ++x) {
            // Turn the pixel centre back into the unrotated target rectangle.
            const double px = x + 0.5 - cx, py = y + 0.5 - cy;
            const double u = px * cs + py * sn + tw / 2.0;
            const double v = -px * sn + py * cs + th / 2.0;
            if (u < 0 || v < 0 || u >= tw || v >= th) {
                continue;
            }
            uint8_t pixel[4];
            SampleAt(source, u, v, tw, th, smooth, pixel);
            if (job.effects.any()) {
                ApplyColorEffects(pixel, job.effects);
            }
            BlendPixel(row + static_cast<size_t>(x) * 4, pixel, job.blend);
        }
    }
    return true;
}

}  // namespace

bool ExecuteDraw(const DrawJob& job, const Surface& dest) {
    if (!job.source.isValid() || !dest.isValid() || job.destWidth == 0 || job.destHeight == 0) {
        return false;
    }
    // Mirroring happens on the source rectangle before any resampling.
    const bool mirrorX = job.destWidth < 0;
    const bool mirrorY = job.destHeight < 0;
    PixelBuffer mirrored;
    PixelView source = job.source;
    if (mirrorX || mirrorY) {
        if (!MirrorPixels(job.source, mirrorX, mirrorY, mirrored)) {
            return false;
        }
        source = mirrored.view();
    }
    if (IsRotation(job.angle)) {
        return DrawRotated(job, source, dest);
    }
    return DrawStraight(job, source, dest);
}

}  // namespace quenda
