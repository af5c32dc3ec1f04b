#pragma once

#include <QPoint>
#include <QString>
#include <memory>

#include "controls/CTooltip.h"
#include "controls/TooltipOptions.h"

class QWidget;

// Hover state and tooltip of one control. The pointer is inside when
// 0 < x < width and 0 < y < height in the control's own coordinates. The tooltip is
// made on entry when the host gives a tooltip text, and dropped on exit so that the
// next entry makes a fresh one with the current text and options.
class TooltipHost {
  public:
    enum Change { kNone = 0, kEntered = 1, kLeft = -1 };

    // Tests a pointer position; reports whether hovering started or ended.
    Change PointerAt(const QWidget& control, const QPoint& pos);
    // The pointer has certainly left (or the control lost its hover for another reason).
    Change Leave();
    void ShowTip(QWidget* control, const QString& text, const TooltipOptions& options);
    void DropTip() { tip_.reset(); }
    bool Hovering() const { return hovering_; }
    CTooltip* Tip() const { return tip_.get(); }

  private:
    bool hovering_ = false;
    std::unique_ptr<CTooltip> tip_;
};
