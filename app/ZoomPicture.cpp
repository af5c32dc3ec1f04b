#include "app/ZoomPicture.h"

#include <QPaintEvent>
#include <QPainter>

namespace zorix {

ZoomPicture::ZoomPicture(QWidget* parent) : QLabel(parent) {}

void ZoomPicture::ShowZoomed(const QImage& picture, QSize shown) {
    if (painter_.Picture().cacheKey() != picture.cacheKey()) {
        painter_.Set(picture);
    }
    clear();
    shown_ = shown;
    zoomed_ = true;
    update();
}

void ZoomPicture::EndZoom() {
    if (!zoomed_) {
        return;
    }
    zoomed_ = false;
    shown_ = QSize();
    painter_.Set(QImage());
    update();
}

QSize ZoomPicture::ShownSize() const {
    if (zoomed_) {
        return shown_;
    }
    return pixmap().isNull() ? QSize() : pixmap().size();
}

void ZoomPicture::paintEvent(QPaintEvent* event) {
    if (!zoomed_) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QPoint origin = contentsRect().topLeft();
    const QRect visible = event->rect().intersected(contentsRect()).translated(-origin);
    painter_.Paint(painter, origin, shown_, visible);
}

}  // namespace zorix
