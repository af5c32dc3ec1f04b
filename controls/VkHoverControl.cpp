#include "controls/VkHoverControl.h"

#include <QEvent>
#include <QMouseEvent>

VkHoverControl::~VkHoverControl() = default;

bool VkHoverControl::HoverEffects() const {
    return true;
}

void VkHoverControl::ShowHover() {
    update();
}

bool VkHoverControl::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        return true;  // our own tooltip replaces the toolkit's
    }
    return QWidget::event(e);
}

void VkHoverControl::mouseMoveEvent(QMouseEvent* e) {
    if (HoverEffects()) {
        OnHoverChange(tip_.PointerAt(*this, e->position().toPoint()));
    }
}

void VkHoverControl::leaveEvent(QEvent*) {
    OnHoverChange(tip_.Leave());
}

// The tooltip goes before MouseOut, so that a handler sees the control as it stays.
void VkHoverControl::OnHoverChange(int change) {
    if (change == TooltipHost::kEntered) {
        ShowHover();
        emit MouseIn();
        tip_.ShowTip(this, toolTip(), options_);
    } else if (change == TooltipHost::kLeft) {
        tip_.DropTip();
        ShowHover();
        emit MouseOut();
    }
}
