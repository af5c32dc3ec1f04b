#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "ButtonHelpers.h"
#include "button/AccessKey.h"

namespace {

struct EventSpies {
    explicit EventSpies(VkButton* b)
        : click(b, &VkButton::Click),
          dbl(b, &VkButton::DblClick),
          in(b, &VkButton::MouseIn),
          out(b, &VkButton::MouseOut),
          up(b, &VkButton::MouseUp),
          down(b, &VkButton::MouseDown) {}
    int Total() const {
        return click.count() + dbl.count() + in.count() + out.count() + up.count() + down.count();
    }
    QSignalSpy click, dbl, in, out, up, down;
};

}  // namespace

TEST(AccessKey, DoubledAmpersandIsLiteral) {
    const AccessKey::Parsed p = AccessKey::Parse("Save && Exit");
    EXPECT_EQ(p.text, "Save & Exit");
    EXPECT_EQ(p.index, -1);
    EXPECT_TRUE(p.key.isNull());
}

TEST(AccessKey, SingleAmpersandMarksTheKey) {
    AccessKey::Parsed p = AccessKey::Parse("&Open");
    EXPECT_EQ(p.text, "Open");
    EXPECT_EQ(p.index, 0);
    EXPECT_EQ(p.key, QChar('O'));
    p = AccessKey::Parse("&File && &Exit");  // the last single one wins
    EXPECT_EQ(p.text, "File & Exit");
    EXPECT_EQ(p.index, 7);
    EXPECT_EQ(p.key, QChar('E'));
    p = AccessKey::Parse("Trailing&");
    EXPECT_EQ(p.text, "Trailing");
    EXPECT_TRUE(p.key.isNull());
    p = AccessKey::Parse("plain");
    EXPECT_EQ(p.text, "plain");
    EXPECT_EQ(p.index, -1);
}

TEST(VkButtonBehaviour, AltAccessKeyRaisesClick) {
    QWidget window;
    window.resize(200, 100);
    auto* b = new VkButton(&window);
    b->SetCaption("&Open");
    auto* other = new VkButton(&window);
    other->SetCaption("Save && Exit");
    other->move(0, 50);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy click(b, &VkButton::Click);
    QSignalSpy otherClick(other, &VkButton::Click);
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(click.count(), 1);
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(otherClick.count(), 0);
    b->SetCaption("Open");  // no access key any more
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(click.count(), 1);
}

TEST(VkButtonBehaviour, MouseCycle) {
    VkButton b;
    b.resize(100, 30);
    EventSpies s(&b);
    QTest::mousePress(&b, Qt::LeftButton, Qt::ShiftModifier, QPoint(20, 10));
    ASSERT_EQ(s.down.count(), 1);
    EXPECT_EQ(s.down.at(0).at(0).toInt(), 1);
    EXPECT_EQ(s.down.at(0).at(1).toInt(), 1);
    EXPECT_FLOAT_EQ(s.down.at(0).at(2).toFloat(), 20.0f);
    EXPECT_TRUE(b.Pressed());
    QTest::mouseRelease(&b, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    EXPECT_EQ(s.up.count(), 1);
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(s.click.count(), 1);
    // A flat button is never pressed.
    b.SetBorderAppearence(VkButton::apFlat);
    QTest::mousePress(&b, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    EXPECT_FALSE(b.Pressed());
    QTest::mouseRelease(&b, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    EXPECT_EQ(s.click.count(), 2);
}

TEST(VkButtonBehaviour, HoverRaisesInAndOutAndHandlesTheTooltip) {
    VkButton b;
    b.resize(100, 30);
    EventSpies s(&b);
    SendMove(&b, QPoint(10, 10));
    EXPECT_TRUE(b.Hovering());
    EXPECT_EQ(s.in.count(), 1);
    EXPECT_EQ(b.Tooltip(), nullptr);  // no tooltip text
    SendMove(&b, QPoint(100, 10));    // x = width is outside
    EXPECT_FALSE(b.Hovering());
    EXPECT_EQ(s.out.count(), 1);
    b.setToolTip("Saves the image");
    b.SetExProp("tticon=error;ttalign=center");
    SendMove(&b, QPoint(50, 15));
    ASSERT_NE(b.Tooltip(), nullptr);
    EXPECT_EQ(b.Tooltip()->Text(), "Saves the image");
    EXPECT_EQ(b.Tooltip()->Icon(), 3);
    EXPECT_TRUE(b.Tooltip()->Centered());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&b, &leave);
    EXPECT_EQ(b.Tooltip(), nullptr);
    EXPECT_EQ(s.out.count(), 2);
}

TEST(VkButtonBehaviour, MouseOutComesAfterTheTooltipIsGone) {
    MouseOutComesAfterTheTooltipIsGone<VkButton>();
}

TEST(VkButtonBehaviour, DisabledButtonRaisesNothing) {
    VkButton b;
    b.resize(100, 30);
    b.SetEnabled(false);
    EventSpies s(&b);
    QTest::mouseClick(&b, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    QTest::mouseDClick(&b, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    SendMove(&b, QPoint(20, 10));
    QTest::keyClick(&b, Qt::Key_Space);
    EXPECT_EQ(s.Total(), 0);
}

TEST(VkButtonBehaviour, SpaceKeyPressesAndClicks) {
    VkButton b;
    EventSpies s(&b);
    QTest::keyPress(&b, Qt::Key_Space);
    EXPECT_TRUE(b.Pressed());
    EXPECT_EQ(s.click.count(), 0);
    QTest::keyRelease(&b, Qt::Key_Space);
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(s.click.count(), 1);
    b.SetBorderStyle(VkButton::bsNone);
    QTest::keyPress(&b, Qt::Key_Space);
    EXPECT_FALSE(b.Pressed());
    QTest::keyRelease(&b, Qt::Key_Space);
    EXPECT_EQ(s.click.count(), 2);
    QTest::keyRelease(&b, Qt::Key_Space);  // a release without a press does nothing
    EXPECT_EQ(s.click.count(), 2);
}

// However the button comes to be disabled, a held space bar no longer clicks.
TEST(VkButtonBehaviour, DisablingTheHostCancelsAHeldSpaceBar) {
    QWidget host;
    auto* b = new VkButton(&host);
    EventSpies s(b);
    QTest::keyPress(b, Qt::Key_Space);
    ASSERT_TRUE(b->Pressed());
    host.setEnabled(false);
    EXPECT_FALSE(b->Pressed());
    host.setEnabled(true);
    QTest::keyRelease(b, Qt::Key_Space);
    EXPECT_EQ(s.click.count(), 0);
}

TEST(VkButtonBehaviour, FakeClickLeavesThePressedLookAndNoEvents) {
    VkButton b;
    b.resize(100, 30);
    EventSpies s(&b);
    b.SetExProp("special=fakeclick");
    EXPECT_EQ(b.ExProp(), "");
    EXPECT_EQ(s.Total(), 0);
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.Hovering());
    const QImage shown = b.grab().toImage();
    EXPECT_EQ(PixelOf(shown, 0, 0), 0u);                // focused: black frame
    EXPECT_EQ(PixelOf(shown, 1, 10), b.BorderColor());  // pressed inner rectangle
    const QImage normal = b.Render();
    EXPECT_EQ(PixelOf(normal, 1, 10), 0xFFFFFFu);  // the raised bevel
    // The look lasts until the button repaints itself.
    EXPECT_EQ(PixelOf(b.grab().toImage(), 1, 10), b.BorderColor());
    b.SetColorA(0xFFFFFE);
    EXPECT_EQ(PixelOf(b.grab().toImage(), 1, 10), 0xFFFFFFu);
}

TEST(VkButtonBehaviour, GetImageCommand) {
    VkButton b;
    b.resize(90, 25);
    EXPECT_TRUE(b.retObj().isNull());
    b.SetExProp("SPECIAL=GetImage");
    EXPECT_EQ(b.ExProp(), "");
    EXPECT_EQ(b.retObj().size(), QSize(90, 25));
    EXPECT_EQ(b.retObj(), b.Render());
    b.SetExProp("special=unknown");
    EXPECT_EQ(b.ExProp(), "");
    b.SetExProp("tttitle=Keep");
    EXPECT_EQ(b.ExProp(), "tttitle=Keep");
    EXPECT_EQ(b.ParsedOptions().Title, "Keep");
}
