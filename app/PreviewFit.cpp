#include "app/PreviewFit.h"

#include <algorithm>
#include <cmath>

namespace zorix {

QSize FitSize(QSize image, QSize area) {
    if (image.isEmpty()) {
        return image;
    }
    if (area.isEmpty()) {
        return {1, 1};
    }
    if (image.width() <= area.width() && image.height() <= area.height()) {
        return image;
    }
    const double scale = std::min(static_cast<double>(area.width()) / image.width(),
                                  static_cast<double>(area.height()) / image.height());
    // The limiting side fills the area exactly; the other follows the aspect.
    const int w = std::clamp(static_cast<int>(std::lround(image.width() * scale)), 1, area.width());
    const int h =
        std::clamp(static_cast<int>(std::lround(image.height() * scale)), 1, area.height());
    return {w, h};
}

void PreviewPicture::Set(const QImage& picture) {
    picture_ = picture;
    shown_ = QPixmap();
}

void PreviewPicture::Clear() {
    Set(QImage());
}

const QPixmap& PreviewPicture::Shown(bool fit, QSize area) {
    if (picture_.isNull()) {
        shown_ = QPixmap();
        return shown_;
    }
    const QSize wanted = fit ? FitSize(picture_.size(), area) : picture_.size();
    if (shown_.isNull() || shown_.size() != wanted) {
        shown_ = wanted == picture_.size()
                     ? QPixmap::fromImage(picture_)
                     : QPixmap::fromImage(picture_.scaled(wanted, Qt::IgnoreAspectRatio,
                                                          Qt::SmoothTransformation));
    }
    return shown_;
}

}  // namespace zorix
