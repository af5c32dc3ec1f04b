#include "controls/TooltipHost.h"

#include <QCursor>
#include <QWidget>

#include "controls/TooltipWindow.h"

TooltipHost::Change TooltipHost::PointerAt(const QWidget& control, const QPoint& pos) {
    const bool inside =
        pos.x() > 0 && pos.x() < control.width() && pos.y() > 0 && pos.y() < control.height();
    if (inside == hovering_) {
        return kNone;
    }
    hovering_ = inside;
    return inside ? kEntered : kLeft;
}

TooltipHost::Change TooltipHost::Leave() {
    if (!hovering_) {
        return kNone;
    }
    hovering_ = false;
    return kLeft;
}

void TooltipHost::ShowTip(QWidget* control, const QString& text, const TooltipOptions& options) {
    if (text.isEmpty() || tip_ != nullptr) {
        return;
    }
    auto tip = std::make_unique<CTooltip>();
    tip->SetHwndParentControl(control);
    tip->SetText(text);
    tip->SetOptions(options);
    if (tip->Create()) {
        tip->Window()->Arm(QCursor::pos());
        tip_ = std::move(tip);
    }
}
