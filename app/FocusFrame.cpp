#include "app/FocusFrame.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>

namespace zorix {

namespace {

constexpr int kRing = 2;  // pixels

}  // namespace

FocusFrame::FocusFrame(QWidget* control, QWidget* parent) : QFrame(parent), control_(control) {
    setObjectName(control->objectName() + QStringLiteral("Frame"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kRing + 1, kRing + 1, kRing + 1, kRing + 1);
    layout->addWidget(control);
    control->installEventFilter(this);
}

bool FocusFrame::RingShown() const {
    return control_->hasFocus();
}

bool FocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == control_ &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        update();
    }
    return QFrame::eventFilter(watched, event);
}

void FocusFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!RingShown()) {
        return;
    }
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), kRing);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(kRing / 2.0, kRing / 2.0, -kRing / 2.0, -kRing / 2.0));
}

}  // namespace zorix
