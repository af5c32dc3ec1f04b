#include "app/PreviewFit.h"

#include "imaging/FitInside.h"

namespace zorix {

QSize FitSize(QSize image, QSize area) {
    if (image.isEmpty()) {
        return image;
    }
    if (area.isEmpty()) {
        return {1, 1};
    }
    const quenda::Extent fitted =
        quenda::FitInside({image.width(), image.height()}, {area.width(), area.height()});
    return {fitted.width, fitted.height};
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
