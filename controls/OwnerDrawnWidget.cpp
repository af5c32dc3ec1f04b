#include "controls/OwnerDrawnWidget.h"

#include <QPainter>

#include "controls/RegionBuilder.h"

void OwnerDrawnWidget::InitNew(const QString& hostName) {
    caption_ = hostName;
    Redraw();
}

void OwnerDrawnWidget::SetExProp(const QString& exProp) {
    exProp_ = exProp;
    options_.Parse(exProp_);
    Announce(&exProp_);
}

void OwnerDrawnWidget::Refresh() {
    shapeApplied_ = false;
    Redraw();
}

void OwnerDrawnWidget::AfterReading() {
    options_.Parse(exProp_);
}

void OwnerDrawnWidget::Redraw() {
    if (loading_) {
        return;
    }
    if (autoSize_) {
        const QSize fitted = FittedSize();
        if (fitted != size()) {
            resize(fitted);
        }
    }
    ApplyShape();
    update();
}

void OwnerDrawnWidget::paintEvent(QPaintEvent*) {
    if (loading_) {
        return;
    }
    QPainter p(this);
    p.drawImage(0, 0, Render());
}

void OwnerDrawnWidget::resizeEvent(QResizeEvent*) {
    Refresh();
}

void OwnerDrawnWidget::ApplyShape() {
    if (!useMask_) {
        clearMask();
        shapeApplied_ = false;
        return;
    }
    if (shapeApplied_) {
        return;
    }
    const QRegion region = RegionBuilder::Build(Render(), maskColor_);
    // An empty region would lift the mask altogether; keep a see-through control
    // see-through instead.
    setMask(region.isEmpty() ? QRegion(0, 0, 1, 1) : region);
    shapeApplied_ = true;
}
