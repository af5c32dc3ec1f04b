#pragma once

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

// When a push-style control is clicked: a left press followed by a left release over
// the control (the release after a double click counts too), or the space bar pressed
// without modifiers and released while the control has the focus. Auto-repeat does not
// count, and losing the focus or being disabled cancels a pressed space bar.
class ClickGesture {
  public:
    void MousePressed(const QMouseEvent& e) { leftDown_ = e.button() == Qt::LeftButton; }
    // Whether it is the left button's double click; its release then completes a click.
    bool DoubleClicked(const QMouseEvent& e) {
        leftDown_ = leftDown_ || e.button() == Qt::LeftButton;
        return e.button() == Qt::LeftButton;
    }
    // Whether the release completes a click.
    bool MouseReleased(const QMouseEvent& e, const QWidget& control) {
        const bool click = leftDown_ && e.button() == Qt::LeftButton &&
                           control.rect().contains(e.position().toPoint());
        leftDown_ = false;
        return click;
    }

    // Whether the key is the click key, which the control takes; false leaves the key
    // to the toolkit.
    static bool IsClickKey(const QKeyEvent& e) {
        return e.key() == Qt::Key_Space && e.modifiers() == Qt::NoModifier;
    }
    // Whether the press is a real one, not a repeat.
    bool KeyPressed(const QKeyEvent& e) {
        spaceDown_ = spaceDown_ || !e.isAutoRepeat();
        return !e.isAutoRepeat();
    }
    // Whether the release completes a click; false leaves the key to the toolkit.
    bool KeyReleased(const QKeyEvent& e) {
        if (e.key() != Qt::Key_Space || e.isAutoRepeat() || !spaceDown_) {
            return false;
        }
        spaceDown_ = false;
        return true;
    }
    void Cancel() { spaceDown_ = false; }

  private:
    bool leftDown_ = false;
    bool spaceDown_ = false;
};
