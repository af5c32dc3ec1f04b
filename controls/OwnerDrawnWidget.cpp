#include "controls/OwnerDrawnWidget.h"

#include <QEvent>
#include <QPainter>

#include "controls/RegionBuilder.h"

bool OwnerDrawnWidget::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        return true;  // our own tooltip replaces the toolkit's
    }
    return QWidget::event(e);
}

void OwnerDrawnWidget::paintEvent(QPaintEvent*) {
    if (loading_) {
        return;
    }
    QPainter p(this);
    p.drawImage(0, 0, Render());
}

void OwnerDrawnWidget::resizeEvent(QResizeEvent*) {
    shapeApplied_ = false;
    Redraw();
}

void OwnerDrawnWidget::OnHoverChange(int change) {
    if (change == TooltipHost::kEntered) {
        update();
        AnnounceHover(true);
        tip_.ShowTip(this, toolTip(), options_);
    } else if (change == TooltipHost::kLeft) {
        update();
        AnnounceHover(false);
        tip_.DropTip();
    }
}

void OwnerDrawnWidget::ApplyShape(bool useMask, uint maskColor) {
    if (!useMask) {
        clearMask();
        shapeApplied_ = false;
        return;
    }
    if (shapeApplied_) {
        return;
    }
    const QRegion region = RegionBuilder::Build(Render(), maskColor);
    // An empty region would lift the mask altogether; keep a see-through control
    // see-through instead.
    setMask(region.isEmpty() ? QRegion(0, 0, 1, 1) : region);
    shapeApplied_ = true;
}
