// The busy guard on a plain window, as any window of the program may use it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include "app/BusyGuard.h"

namespace {

// A window that counts the close requests that reach it.
class Window : public QWidget {
  public:
    Window() : guard(this) {
        auto* layout = new QVBoxLayout(this);
        edit = new QLineEdit(this);
        button = new QPushButton("Run", this);
        off = new QPushButton("Off", this);
        layout->addWidget(edit);
        layout->addWidget(button);
        layout->addWidget(off);
        off->setEnabled(false);
        action = new QAction("Go", this);
    }
    void closeEvent(QCloseEvent* event) override {
        if (guard.HoldClose(event)) {
            return;
        }
        ++closes;
        event->accept();
    }

    zorix::BusyGuard guard;
    QLineEdit* edit;
    QPushButton* button;
    QPushButton* off;
    QAction* action;
    int closes = 0;
};

TEST(BusyGuard, LockDisablesAndUnlockRestoresStateAndFocus) {
    Window w;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.edit->setFocus();
    w.guard.Lock({w.edit, w.off}, {w.action});
    EXPECT_FALSE(w.edit->isEnabled());
    EXPECT_FALSE(w.action->isEnabled());
    EXPECT_NE(QApplication::focusWidget(), w.edit);
    w.guard.Lock({w.button});  // a second lock adds to the first
    EXPECT_FALSE(w.button->isEnabled());
    EXPECT_TRUE(w.guard.IsBusy());
    w.guard.Unlock();
    EXPECT_TRUE(w.edit->isEnabled());
    EXPECT_TRUE(w.button->isEnabled());
    EXPECT_TRUE(w.action->isEnabled());
    EXPECT_FALSE(w.off->isEnabled());  // was off before, stays off
    EXPECT_EQ(QApplication::focusWidget(), w.edit);
    EXPECT_FALSE(w.guard.IsBusy());
}

TEST(BusyGuard, CloseIsHeldUntilTheLastOperationEnds) {
    Window w;
    w.show();
    {
        const zorix::BusyGuard::Operation outer(w.guard);
        const zorix::BusyGuard::Operation inner(w.guard);
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(w.guard.CloseHeld());
    }
    EXPECT_EQ(w.closes, 0);  // made again from the event loop, not from inside
    QApplication::processEvents();
    EXPECT_EQ(w.closes, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.guard.CloseHeld());
}

TEST(BusyGuard, CloseIsHeldWhileLocked) {
    Window w;
    w.show();
    w.guard.Lock({w.button});
    EXPECT_FALSE(w.close());
    QApplication::processEvents();
    EXPECT_EQ(w.closes, 0);
    w.guard.Unlock();
    QApplication::processEvents();
    EXPECT_EQ(w.closes, 1);
}

TEST(BusyGuard, NotBusyClosesAtOnce) {
    Window w;
    w.show();
    EXPECT_TRUE(w.close());
    EXPECT_EQ(w.closes, 1);
}

}  // namespace
