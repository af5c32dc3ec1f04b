#pragma once

// Pointer moves delivered straight to a control, and the hover rule every control with
// hover signals follows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Delivers a pointer move to a widget directly (works for widgets not on screen).
inline void SendMove(QWidget* w, const QPoint& pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

// A MouseOut handler sees the control as it stays: not hovered, its tooltip gone.
template <typename C>
void MouseOutComesAfterTheTooltipIsGone() {
    C c;
    c.resize(100, 30);
    c.setToolTip("tip");
    bool sawTip = true;
    bool sawHover = true;
    QObject::connect(&c, &C::MouseOut, [&] {
        sawTip = c.Tooltip() != nullptr;
        sawHover = c.Hovering();
    });
    SendMove(&c, QPoint(10, 10));
    ASSERT_NE(c.Tooltip(), nullptr);
    SendMove(&c, QPoint(100, 10));
    EXPECT_FALSE(sawTip);
    EXPECT_FALSE(sawHover);
}
