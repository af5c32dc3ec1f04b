#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

#include "controls/TooltipOptions.h"

class TooltipWindow;

// Puts a tooltip window over one control: standard or balloon shape, optional title
// with a standard icon, own colours, centred under the control or at the mouse, one or
// several lines. The object owns its window: a second Create replaces the first one and
// the window goes with the object.
class CTooltip {
  public:
    static constexpr quint32 SystemToolTipForeColor = colorFuncs::kSysInfoText;
    static constexpr quint32 SystemToolTipBackColor = colorFuncs::kSysInfoBack;

    CTooltip();
    ~CTooltip();
    CTooltip(const CTooltip&) = delete;
    CTooltip& operator=(const CTooltip&) = delete;

    QWidget* HwndParentControl() const { return parent_; }
    void SetHwndParentControl(QWidget* control) { parent_ = control; }
    QString Text() const { return text_; }
    void SetText(const QString& text) { text_ = text; }
    QString Title() const { return options_.Title; }
    void SetTitle(const QString& title) { options_.Title = title; }
    int Icon() const { return options_.Icon; }
    void SetIcon(int icon) { options_.Icon = icon; }
    int Style() const { return options_.Style; }
    void SetStyle(int style) { options_.Style = style; }
    bool Centered() const { return options_.Centered; }
    void SetCentered(bool centered) { options_.Centered = centered; }
    quint32 ForeColor() const { return options_.ForeColor; }
    void SetForeColor(quint32 color) { options_.ForeColor = color; }
    quint32 BackColor() const { return options_.BackColor; }
    void SetBackColor(quint32 color) { options_.BackColor = color; }
    bool MultiLine() const { return options_.MultiLine; }
    void SetMultiLine(bool multiLine) { options_.MultiLine = multiLine; }

    // Copies all options (title, icon, style, centring, colours, lines) at once.
    void SetOptions(const TooltipOptions& options) { options_ = options; }
    const TooltipOptions& Options() const { return options_; }

    // Builds the tooltip window for the parent control; false (and no window) when
    // there is no parent control.
    bool Create();
    TooltipWindow* Window() const;

  private:
    QPointer<QWidget> parent_;
    QString text_;
    TooltipOptions options_;
    std::unique_ptr<TooltipWindow> window_;
};
