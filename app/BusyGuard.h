#pragma once

#include <QList>
#include <QPointer>

class QAction;
class QCloseEvent;
class QWidget;

namespace zorix {

// Keeps a window from starting new work while a long operation runs (an engine
// call that lets window events run): Lock disables the given widgets and actions,
// Unlock gives them back and returns the keyboard focus to the control that had
// it. A close request made meanwhile is held and made again once all is over, so
// nothing is destroyed under a running operation.
class BusyGuard {
  public:
    explicit BusyGuard(QWidget* window);
    ~BusyGuard();
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    // Disables what is enabled among `widgets` and `actions`; a second Lock adds to
    // the first.
    void Lock(const QList<QWidget*>& widgets, const QList<QAction*>& actions = {});
    // Enables again what Lock disabled and gives the focus back.
    void Unlock();
    bool IsLocked() const { return locked_; }

    // Brackets an operation during which the window must not close.
    void BeginOperation();
    void EndOperation();
    bool IsBusy() const { return locked_ || operations_ > 0; }

    // For closeEvent: while busy, the event is ignored, remembered and true is
    // returned; the window is asked to close again when it is no longer busy.
    bool HoldClose(QCloseEvent* event);
    bool CloseHeld() const { return closeHeld_; }

    // One operation, for the length of a scope.
    class Operation {
      public:
        explicit Operation(BusyGuard& guard) : guard_(guard) { guard_.BeginOperation(); }
        ~Operation() { guard_.EndOperation(); }
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

      private:
        BusyGuard& guard_;
    };

  private:
    void RepeatHeldClose();

    QPointer<QWidget> window_;
    QList<QPointer<QWidget>> widgets_;
    QList<QPointer<QAction>> actions_;
    QPointer<QWidget> focus_;
    bool wasActive_ = false;
    bool locked_ = false;
    int operations_ = 0;
    bool closeHeld_ = false;
};

}  // namespace zorix
