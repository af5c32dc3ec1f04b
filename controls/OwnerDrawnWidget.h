#pragma once

#include <QImage>
#include <QWidget>

#include "controls/CTooltip.h"
#include "controls/TooltipHost.h"
#include "controls/TooltipOptions.h"

// What the caption-style controls share: they paint a rendered surface, cut their
// shape out of it by a mask colour, keep the library's tooltip in place of the
// toolkit's, and rebuild their look while not loading saved properties.
class OwnerDrawnWidget : public QWidget {
  public:
    using QWidget::QWidget;

    bool Hovering() const { return tip_.Hovering(); }
    CTooltip* Tooltip() const { return tip_.Tip(); }
    const TooltipOptions& ParsedOptions() const { return options_; }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // The look of the whole control at its current size.
    virtual QImage Render() const = 0;
    virtual void Redraw() = 0;
    // Raises the control's MouseIn (entered) or MouseOut signal.
    virtual void AnnounceHover(bool entered) = 0;

    // Repaints, raises the hover signal and shows or drops the tooltip.
    void OnHoverChange(int change);
    // Without a mask the whole rectangle is the shape; with one, the shape is made
    // once per look from the pixels that are not the mask colour.
    void ApplyShape(bool useMask, uint maskColor);

    TooltipOptions options_;
    TooltipHost tip_;
    bool loading_ = false;
    bool shapeApplied_ = false;
};
