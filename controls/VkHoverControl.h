#pragma once

#include "controls/CTooltip.h"
#include "controls/TooltipHost.h"
#include "controls/TooltipOptions.h"
#include "controls/VkControl.h"

// What the controls with hover signals share: MouseIn and MouseOut as the pointer comes
// and goes, the library's tooltip shown meanwhile with the options parsed from ExProp,
// and the toolkit's own tooltip kept away.
class VkHoverControl : public VkControl {
    Q_OBJECT

  public:
    // Out of line, so that the class is defined in this library alone.
    ~VkHoverControl() override;

    bool Hovering() const { return tip_.Hovering(); }
    CTooltip* Tooltip() const { return tip_.Tip(); }
    const TooltipOptions& ParsedOptions() const { return options_; }

  signals:
    void MouseIn();
    void MouseOut();

  protected:
    using VkControl::VkControl;

    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // Whether the pointer's coming and going is followed at all.
    virtual bool HoverEffects() const;
    // Shows the look for the new hover state.
    virtual void ShowHover();
    // Repaints, raises MouseIn or MouseOut and shows or drops the tooltip.
    void OnHoverChange(int change);

    TooltipOptions options_;
    TooltipHost tip_;
};
