#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "PixelHelpers.h"
#include "controls/VkGradFrame.h"

TEST(VkGradFrame, NewControlLook) {
    VkGradFrame f;
    f.InitNew("VkGradFrame1");
    f.resize(200, 100);
    EXPECT_EQ(f.Caption(), "VkGradFrame1");
    EXPECT_EQ(f.Orientation(), 1);
    EXPECT_EQ(f.Appearance(), 1);
    EXPECT_EQ(f.BorderColor(), 0x80000011u);
    const QImage img = f.Image();
    // Vertical gradient from 0xBBAD9C to white, away from the caption box and edges.
    EXPECT_TRUE(Near(PixelOf(img, 150, 3), 0xBBAD9C, 6));
    EXPECT_TRUE(Near(PixelOf(img, 150, 96), 0xFFFFFF, 6));
    EXPECT_EQ(PixelOf(img, 150, 50), PixelOf(img, 120, 50));
    // Etched border: the border colour outside, white one pixel in.
    const quint32 grey = colorFuncs::TranslateColor(0x80000011);
    EXPECT_EQ(PixelOf(img, 0, 50), grey);
    EXPECT_EQ(PixelOf(img, 1, 50), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(img, 199, 50), 0xFFFFFFu);
}

TEST(VkGradFrame, EqualColoursGivePlainSurfaceAndHorizontalRunsLeftToRight) {
    VkGradFrame f;
    f.resize(100, 60);
    f.SetBorderStyle(0);
    f.SetCaption("");
    f.SetColorA(0x336699);
    f.SetColorB(0x336699);
    QImage img = f.Image();
    EXPECT_EQ(PixelOf(img, 0, 0), 0x336699u);
    EXPECT_EQ(PixelOf(img, 99, 59), 0x336699u);
    f.SetColorB(0xFFFFFF);
    f.SetOrientation(0);
    img = f.Image();
    EXPECT_EQ(PixelOf(img, 0, 30), 0x336699u);
    EXPECT_TRUE(Near(PixelOf(img, 99, 30), 0xFFFFFF, 4));
    EXPECT_EQ(PixelOf(img, 50, 0), PixelOf(img, 50, 59));
}

TEST(VkGradFrame, CaptionBoxOnlyWithCaption) {
    VkGradFrame f;
    f.resize(200, 100);
    f.SetBorderStyle(0);
    f.SetAppearance(0);
    f.SetColorA(0x00FF00);
    f.SetColorB(0x00FF00);
    f.SetBorderColor(0x0000FF);
    f.SetCaption("");
    EXPECT_EQ(PixelOf(f.Image(), 0, 0), 0x00FF00u);
    f.SetCaption("Box");
    EXPECT_EQ(PixelOf(f.Image(), 0, 0), 0x0000FFu);
    f.SetCaptionAlignment(VkGradFrame::caBottomRight);
    const QImage img = f.Image();
    EXPECT_EQ(PixelOf(img, 0, 0), 0x00FF00u);
    EXPECT_EQ(PixelOf(img, 199, 99), 0x0000FFu);
    f.SetCaptionWidth(150);
    f.SetCaptionHeight(40);
    const QImage wide = f.Image();
    EXPECT_EQ(PixelOf(wide, 50, 99), 0x0000FFu);
    EXPECT_EQ(PixelOf(wide, 50, 60), 0x0000FFu);  // the box's top edge
}

TEST(VkGradFrame, HostsChildrenAndForwardsMouseEvents) {
    VkGradFrame f;
    f.resize(200, 100);
    f.show();
    auto* child = new QLabel("child", &f);
    child->move(10, 10);
    EXPECT_EQ(child->parentWidget(), &f);
    QSignalSpy down(&f, &VkGradFrame::MouseDown);
    QSignalSpy up(&f, &VkGradFrame::MouseUp);
    QSignalSpy click(&f, &VkGradFrame::Click);
    QSignalSpy resized(&f, &VkGradFrame::Resize);
    QTest::mouseClick(&f, Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 70));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).toInt(), 1);
    EXPECT_EQ(down.at(0).at(1).toInt(), 1);
    EXPECT_FLOAT_EQ(down.at(0).at(2).toFloat(), 150.0f);
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(click.count(), 1);
    f.resize(300, 100);
    EXPECT_GE(resized.count(), 1);
}

TEST(VkGradFrame, PropertyBagRoundTripAndNotifications) {
    VkGradFrame a;
    QSignalSpy changed(&a, &VkGradFrame::PropertyChanged);
    a.SetColorA(0x010203);
    a.SetCaption("Header");
    a.SetCaptionAlignment(2);
    a.SetCaptionTextCentered(true);
    a.SetCaptionWidth(77);
    ASSERT_EQ(changed.count(), 5);
    EXPECT_EQ(changed.at(0).at(0).toString(), "ColorA");
    EXPECT_EQ(changed.at(2).at(0).toString(), "capAlign");
    PropertyBag bag;
    a.WriteProperties(bag);
    VkGradFrame b;
    QSignalSpy quiet(&b, &VkGradFrame::PropertyChanged);
    b.ReadProperties(bag);
    EXPECT_EQ(quiet.count(), 0);
    EXPECT_EQ(b.ColorA(), 0x010203u);
    EXPECT_EQ(b.Caption(), "Header");
    EXPECT_EQ(b.CaptionAlignment(), 2);
    EXPECT_TRUE(b.CaptionTextCentered());
    EXPECT_EQ(b.CaptionWidth(), 77);
    PropertyBag empty;
    VkGradFrame c;
    c.setObjectName("frmTop");
    c.ReadProperties(empty);
    EXPECT_EQ(c.Caption(), "frmTop");
    EXPECT_EQ(c.ColorA(), 0xBBAD9Cu);
    EXPECT_EQ(c.Orientation(), 1);
    EXPECT_TRUE(c.Enabled());
}
