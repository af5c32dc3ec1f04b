#include "app/BusyGuard.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QWidget>

namespace zorix {

BusyGuard::BusyGuard(QWidget* window) : window_(window) {}

BusyGuard::~BusyGuard() {
    // The window is going away: give back what was taken, but ask nothing more.
    closeHeld_ = false;
    Unlock();
}

void BusyGuard::Lock(const QList<QWidget*>& widgets, const QList<QAction*>& actions) {
    if (!locked_ && window_) {
        // Disabling the focused control moves the focus on; remember where it was.
        focus_ = window_->focusWidget();
        wasActive_ = window_->isActiveWindow();
    }
    locked_ = true;
    for (QWidget* widget : widgets) {
        // Only what is enabled on its own account; the rest stays as it was.
        if (widget && !widget->testAttribute(Qt::WA_ForceDisabled)) {
            widget->setEnabled(false);
            widgets_.append(widget);
        }
    }
    for (QAction* action : actions) {
        if (action && action->isEnabled()) {
            action->setEnabled(false);
            actions_.append(action);
        }
    }
}

void BusyGuard::Unlock() {
    if (!locked_) {
        return;
    }
    locked_ = false;
    for (const QPointer<QWidget>& widget : widgets_) {
        if (widget) {
            widget->setEnabled(true);
        }
    }
    for (const QPointer<QAction>& action : actions_) {
        if (action) {
            action->setEnabled(true);
        }
    }
    widgets_.clear();
    actions_.clear();
    if (window_ && wasActive_ && !window_->isActiveWindow() && window_->isVisible()) {
        // A progress window may have taken the activation with it.
        window_->activateWindow();
    }
    if (focus_ && focus_->isEnabled() && focus_->isVisible()) {
        focus_->setFocus(Qt::OtherFocusReason);
    }
    focus_.clear();
    RepeatHeldClose();
}

void BusyGuard::BeginOperation() {
    ++operations_;
}

void BusyGuard::EndOperation() {
    if (operations_ > 0) {
        --operations_;
    }
    RepeatHeldClose();
}

bool BusyGuard::HoldClose(QCloseEvent* event) {
    if (!IsBusy()) {
        return false;
    }
    closeHeld_ = true;
    event->ignore();
    return true;
}

void BusyGuard::RepeatHeldClose() {
    if (!closeHeld_ || IsBusy() || !window_) {
        return;
    }
    closeHeld_ = false;
    // Queued, so that the request is made once the operation's callers have returned.
    QMetaObject::invokeMethod(window_.data(), &QWidget::close, Qt::QueuedConnection);
}

}  // namespace zorix
