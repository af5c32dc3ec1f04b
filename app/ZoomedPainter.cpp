#include "app/ZoomedPainter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace zorix {

namespace {

uint32_t MeanOf(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    uint32_t mean = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) +
                             ((d >> shift) & 0xFF);
        mean |= ((sum + 2) / 4) << shift;
    }
    return mean;
}

// First and one-past-last source pixel of the shown span [from, to) at `ratio`
// source pixels per shown pixel.
std::pair<int, int> SourceSpan(int from, int to, double ratio, int length) {
    const int first = std::clamp(static_cast<int>(std::floor(from * ratio)), 0, length);
    const int last = std::clamp(static_cast<int>(std::ceil(to * ratio)), first, length);
    return {first, last};
}

}  // namespace

QImage HalvedImage(const QImage& image) {
    const QImage source = image.format() == QImage::Format_ARGB32_Premultiplied ||
                                  image.format() == QImage::Format_RGB32
                              ? image
                              : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = (source.width() + 1) / 2;
    const int h = (source.height() + 1) / 2;
    QImage half(w, h, source.format());
    if (half.isNull()) {
        return half;
    }
    const int lastX = source.width() - 1;
    const int lastY = source.height() - 1;
    for (int y = 0; y < h; ++y) {
        const auto* top = reinterpret_cast<const uint32_t*>(source.constScanLine(2 * y));
        const auto* bottom =
            reinterpret_cast<const uint32_t*>(source.constScanLine(std::min(2 * y + 1, lastY)));
        auto* out = reinterpret_cast<uint32_t*>(half.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int left = 2 * x;
            const int right = std::min(left + 1, lastX);
            out[x] = MeanOf(top[left], top[right], bottom[left], bottom[right]);
        }
    }
    return half;
}

void ZoomedPainter::Set(const QImage& picture) {
    picture_ = picture;
    levels_.clear();
}

const QImage& ZoomedPainter::SourceFor(QSize shown) {
    if (levels_.empty()) {
        levels_.push_back(picture_);
    }
    // The smallest halving still at least as large as the shown picture.
    size_t level = 0;
    while (true) {
        const QImage& current = levels_[level];
        const bool halvable = current.width() / 2 >= std::max(1, shown.width()) &&
                              current.height() / 2 >= std::max(1, shown.height());
        if (!halvable) {
            return levels_[level];
        }
        if (level + 1 == levels_.size()) {
            levels_.push_back(HalvedImage(current));
            if (levels_.back().isNull()) {
                levels_.pop_back();
                return levels_[level];
            }
        }
        ++level;
    }
}

void ZoomedPainter::Paint(QPainter& painter, QPoint origin, QSize shown, QRect visible) {
    if (picture_.isNull() || shown.isEmpty()) {
        return;
    }
    visible &= QRect(QPoint(0, 0), shown);
    if (visible.isEmpty()) {
        return;
    }
    painter.save();
    if (shown.width() >= picture_.width()) {
        // Enlarged: sharp squares. Qt's scaled drawing computes only the pixels
        // inside the clip, which is cheaper than cutting the source first.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.setClipRect(visible.translated(origin), Qt::IntersectClip);
        painter.drawImage(QRect(origin, shown), picture_);
    } else {
        PaintReduced(painter, origin, shown, visible);
    }
    painter.restore();
}

void ZoomedPainter::PaintReduced(QPainter& painter, QPoint origin, QSize shown, QRect visible) {
    // Smoothly, from the halved copy nearest above the shown size, only the source
    // pixels under the visible part.
    const QImage& source = SourceFor(shown);
    const double rx = static_cast<double>(source.width()) / shown.width();
    const double ry = static_cast<double>(source.height()) / shown.height();
    const auto [x0, x1] = SourceSpan(visible.left(), visible.right() + 1, rx, source.width());
    const auto [y0, y1] = SourceSpan(visible.top(), visible.bottom() + 1, ry, source.height());
    if (x1 <= x0 || y1 <= y0) {
        return;
    }
    const QRectF target(origin.x() + x0 / rx, origin.y() + y0 / ry, (x1 - x0) / rx, (y1 - y0) / ry);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, source, QRect(x0, y0, x1 - x0, y1 - y0));
}

}  // namespace zorix
