#pragma once

#include <QObject>
#include <QPoint>

#include "app/ViewScrolling.h"

class QScrollBar;
class QWidget;

namespace zorix {

// Scrolls the preview with the mouse wheel (Shift: horizontally), by dragging the
// picture while a scroll bar is shown, and with the arrow, page, Home and End keys
// while the view has the focus. It only moves the bars; their change handlers
// place the picture.
class PreviewScroller : public QObject {
    Q_OBJECT
  public:
    PreviewScroller(QWidget* view, QScrollBar* hsb, QScrollBar* vsb);

    bool Dragging() const { return dragging_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ScrollState State() const;
    void Apply(const ScrollState& s);
    bool Scrollable() const;
    bool Wheel(QEvent* event);
    bool Press(QEvent* event);
    bool Move(QEvent* event);
    bool Release(QEvent* event);
    bool Key(QEvent* event);
    void ShowGrabCursor();

    QWidget* view_;
    QScrollBar* hsb_;
    QScrollBar* vsb_;
    bool dragging_ = false;
    QPoint grab_;
    ScrollState atGrab_;
};

}  // namespace zorix
