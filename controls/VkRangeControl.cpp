#include "controls/VkRangeControl.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/Frame3D.h"
#include "controls/colorFuncs.h"

void VkRangeControl::SetOrientation(int orientation) {
    if (!Facts(&orientation_).Admits(orientation)) {
        return;
    }
    if (orientation != orientation_) {
        orientation_ = orientation;
        resize(height(), width());
    }
    Announce(&orientation_);
}

void VkRangeControl::SetMin(int value) {
    if (Range().SetMin(value)) {
        Announce(&min_);
    }
}

void VkRangeControl::SetMax(int value) {
    if (Range().SetMax(value)) {
        Announce(&max_);
    }
}

void VkRangeControl::SetValue(int value) {
    if (!Range().SetValue(value)) {
        return;
    }
    if (!loading_) {
        emit PropertyChanged(Key(&value_));
    }
    ShowValue();
    emit Change();
}

void VkRangeControl::AfterReading() {
    Range().Repair();
}

void VkRangeControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int f = FrameWidth();
    if (f == Frame3D::kWidth) {
        Frame3D::DrawSunken(p, rect());
    } else if (f == 1) {
        p.setPen(colorFuncs::ToQColor(colorFuncs::kSysWindowFrame));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    p.drawImage(f, f, surface_);
}

void VkRangeControl::resizeEvent(QResizeEvent*) {
    Refresh();
}

void VkRangeControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Click();
    }
}

void VkRangeControl::mouseDoubleClickEvent(QMouseEvent*) {
    emit DblClick();
}
