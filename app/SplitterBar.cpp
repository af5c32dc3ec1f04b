#include "app/SplitterBar.h"

#include <QMouseEvent>

#include "app/Twips.h"

namespace zorix {

namespace {

QPointF ToTwips(const QPointF& pixels) {
    return {PixelsToTwips(pixels.x()), PixelsToTwips(pixels.y())};
}

}  // namespace

SplitterBar::SplitterBar(Qt::Orientation orientation, QWidget* parent) : QFrame(parent) {
    setCursor(orientation == Qt::Vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit leftPressed(ToTwips(event->position()));
    }
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    emit moved(ToTwips(event->position()));
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* /*event*/) {
    emit released();
}

}  // namespace zorix
