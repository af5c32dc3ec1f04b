#include "app/PreviewScroller.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>
#include <optional>

namespace zorix {

namespace {

constexpr int kKeyStep = 20;  // pixels

ScrollAxis AxisOf(const QScrollBar* bar, int page) {
    return {!bar->isHidden(), bar->maximum(), bar->value(), page};
}

std::optional<ScrollKey> ScrollKeyOf(int key) {
    switch (key) {
        case Qt::Key_Left:
            return ScrollKey::Left;
        case Qt::Key_Right:
            return ScrollKey::Right;
        case Qt::Key_Up:
            return ScrollKey::Up;
        case Qt::Key_Down:
            return ScrollKey::Down;
        case Qt::Key_PageUp:
            return ScrollKey::PageUp;
        case Qt::Key_PageDown:
            return ScrollKey::PageDown;
        case Qt::Key_Home:
            return ScrollKey::Home;
        case Qt::Key_End:
            return ScrollKey::End;
        default:
            return std::nullopt;
    }
}

}  // namespace

PreviewScroller::PreviewScroller(QWidget* view, QScrollBar* hsb, QScrollBar* vsb)
    : QObject(view), view_(view), hsb_(hsb), vsb_(vsb) {
    view_->setFocusPolicy(Qt::StrongFocus);
    view_->installEventFilter(this);
    // The hand shows while there is something to drag.
    hsb_->installEventFilter(this);
    vsb_->installEventFilter(this);
}

void PreviewScroller::ShowGrabCursor() {
    if (dragging_) {
        return;
    }
    if (Scrollable()) {
        view_->setCursor(Qt::OpenHandCursor);
    } else {
        view_->unsetCursor();
    }
}

ScrollState PreviewScroller::State() const {
    return {AxisOf(hsb_, hsb_->pageStep()), AxisOf(vsb_, vsb_->pageStep())};
}

void PreviewScroller::Apply(const ScrollState& s) {
    if (s.h.shown) {
        hsb_->setValue(s.h.value);
    }
    if (s.v.shown) {
        vsb_->setValue(s.v.value);
    }
}

bool PreviewScroller::Scrollable() const {
    return !hsb_->isHidden() || !vsb_->isHidden();
}

bool PreviewScroller::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_) {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
            ShowGrabCursor();
        }
        return false;
    }
    switch (event->type()) {
        case QEvent::Wheel:
            return Wheel(event);
        case QEvent::MouseButtonPress:
            return Press(event);
        case QEvent::MouseMove:
            return Move(event);
        case QEvent::MouseButtonRelease:
            return Release(event);
        case QEvent::KeyPress:
            return Key(event);
        default:
            return false;
    }
}

bool PreviewScroller::Wheel(QEvent* event) {
    if (!Scrollable()) {
        return false;
    }
    auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint delta = wheel->angleDelta();
    const int perNotch = QApplication::wheelScrollLines() * kKeyStep;
    Apply(WheelScroll(State(), delta.x(), delta.y(), wheel->modifiers().testFlag(Qt::ShiftModifier),
                      perNotch));
    return true;
}

bool PreviewScroller::Press(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !Scrollable()) {
        return false;
    }
    view_->setFocus(Qt::MouseFocusReason);
    dragging_ = true;
    grab_ = mouse->globalPosition().toPoint();
    atGrab_ = State();
    view_->setCursor(Qt::ClosedHandCursor);
    return true;
}

bool PreviewScroller::Move(QEvent* event) {
    if (!dragging_) {
        return false;
    }
    const QPoint moved = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - grab_;
    Apply(PanScroll(atGrab_, moved.x(), moved.y()));
    return true;
}

bool PreviewScroller::Release(QEvent* event) {
    if (!dragging_ || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
        return false;
    }
    dragging_ = false;
    ShowGrabCursor();
    return true;
}

bool PreviewScroller::Key(QEvent* event) {
    auto* key = static_cast<QKeyEvent*>(event);
    const std::optional<ScrollKey> scrollKey = ScrollKeyOf(key->key());
    if (!scrollKey || !Scrollable() || key->modifiers() & ~Qt::KeypadModifier) {
        return false;
    }
    Apply(KeyScroll(State(), *scrollKey, kKeyStep));
    return true;
}

}  // namespace zorix
