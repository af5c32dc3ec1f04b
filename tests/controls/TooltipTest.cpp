#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include "controls/CTooltip.h"
#include "controls/TooltipOptions.h"
#include "controls/TooltipWindow.h"

TEST(TooltipOptions, DefaultsBeforeParsing) {
    TooltipOptions o;
    o.Parse("");
    EXPECT_EQ(o.BackColor, 0x80000018u);
    EXPECT_EQ(o.ForeColor, 0x80000017u);
    EXPECT_EQ(o.Icon, 0);
    EXPECT_EQ(o.Style, 0);
    EXPECT_FALSE(o.Centered);
    EXPECT_TRUE(o.MultiLine);
    EXPECT_TRUE(o.Title.isEmpty());
}

TEST(TooltipOptions, MixedCaseKeywordsGiveBalloonWarningTitle) {
    TooltipOptions o;
    o.Parse("tticon=Warning;ttstyle=Balloon;tttitle=Note");
    EXPECT_EQ(o.Icon, 2);
    EXPECT_EQ(o.Style, 1);
    EXPECT_EQ(o.Title, "Note");
    o.Parse("TTTITLE=Mixed Case Title;TTICON=3");
    EXPECT_EQ(o.Title, "Mixed Case Title");
    EXPECT_EQ(o.Icon, 3);
}

TEST(TooltipOptions, ResetBeforeEveryParse) {
    TooltipOptions o;
    o.Parse("ttstyle=balloon;ttalign=center;ttmultiline=no;tticon=info;ttbcolor=255");
    EXPECT_EQ(o.Style, 1);
    EXPECT_TRUE(o.Centered);
    EXPECT_FALSE(o.MultiLine);
    EXPECT_EQ(o.Icon, 1);
    EXPECT_EQ(o.BackColor, 255u);
    o.Parse("tttitle=x");
    EXPECT_EQ(o.Style, 0);
    EXPECT_FALSE(o.Centered);
    EXPECT_TRUE(o.MultiLine);
    EXPECT_EQ(o.Icon, 0);
    EXPECT_EQ(o.BackColor, 0x80000018u);
}

TEST(TooltipOptions, BadItemsAreIgnored) {
    TooltipOptions o;
    o.Parse("ttbcolor=blue;ttfcolor=12x;ttalign;tticon=huge;ttstyle=round;a=b=c;ttmultiline=maybe");
    EXPECT_EQ(o.BackColor, 0x80000018u);
    EXPECT_EQ(o.ForeColor, 0x80000017u);
    EXPECT_FALSE(o.Centered);
    EXPECT_EQ(o.Icon, 0);
    EXPECT_EQ(o.Style, 0);
    EXPECT_TRUE(o.MultiLine);
}

TEST(TooltipOptions, NumbersAndIconNames) {
    TooltipOptions o;
    o.Parse("ttfcolor=16777215;ttbcolor=&H80000005;tticon=2;ttmultiline=FALSE");
    EXPECT_EQ(o.ForeColor, 0xFFFFFFu);
    EXPECT_EQ(o.BackColor, 0x80000005u);
    EXPECT_EQ(o.Icon, 2);
    EXPECT_FALSE(o.MultiLine);
    o.Parse("tticon=ERROR;ttbcolor=-1");
    EXPECT_EQ(o.Icon, 3);
    EXPECT_EQ(o.BackColor, 0xFFFFFFFFu);
}

TEST(CTooltip, SystemColourValuesAndDefaults) {
    CTooltip tip;
    EXPECT_EQ(CTooltip::SystemToolTipForeColor, 0x80000017u);
    EXPECT_EQ(CTooltip::SystemToolTipBackColor, 0x80000018u);
    EXPECT_EQ(tip.ForeColor(), 0x80000017u);
    EXPECT_EQ(tip.BackColor(), 0x80000018u);
    EXPECT_TRUE(tip.MultiLine());
    EXPECT_EQ(tip.HwndParentControl(), nullptr);
}

TEST(CTooltip, CreateNeedsAParentAndReplacesItsWindow) {
    CTooltip tip;
    tip.SetText("hello");
    EXPECT_FALSE(tip.Create());
    EXPECT_EQ(tip.Window(), nullptr);
    EXPECT_EQ(tip.Text(), "hello");  // the object keeps its properties

    QWidget control;
    control.resize(50, 20);
    tip.SetHwndParentControl(&control);
    tip.SetTitle("T");
    tip.SetIcon(1);
    ASSERT_TRUE(tip.Create());
    QPointer<TooltipWindow> first = tip.Window();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Control(), &control);
    EXPECT_EQ(first->Options().Title, "T");
    ASSERT_TRUE(tip.Create());
    EXPECT_TRUE(first.isNull());  // the first window is gone
    EXPECT_NE(tip.Window(), nullptr);
}

TEST(TooltipWindow, MultiLineRuleAndBalloonShape) {
    QWidget control;
    TooltipWindow window(&control);
    TooltipOptions o;
    window.SetContent("one\ntwo", o);
    EXPECT_EQ(window.ShownText(), "one\ntwo");
    const int twoLines = window.sizeHint().height();
    o.MultiLine = false;
    window.SetContent("one\ntwo", o);
    EXPECT_EQ(window.ShownText(), "one two");
    EXPECT_LT(window.sizeHint().height(), twoLines);
    o.Style = 1;
    window.SetContent("balloon", o);
    window.resize(window.sizeHint());
    const QImage image = window.Render();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);  // outside the balloon
    EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255);
}

TEST(TooltipWindow, ShowsAfterTheDelayAndHidesOnLeave) {
    QWidget control;
    control.resize(80, 30);
    control.show();
    TooltipWindow window(&control);
    TooltipOptions o;
    o.Centered = true;
    window.SetContent("tip", o);
    window.Arm(control.mapToGlobal(QPoint(10, 10)));
    QTest::qWait(600);
    ASSERT_TRUE(window.isVisible());
    const QPoint below = control.mapToGlobal(QPoint(control.width() / 2, control.height()));
    EXPECT_LE(std::abs(window.x() + window.width() / 2 - below.x()), 1);
    EXPECT_GT(window.y(), below.y() - 1);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&control, &leave);
    EXPECT_FALSE(window.isVisible());
}
