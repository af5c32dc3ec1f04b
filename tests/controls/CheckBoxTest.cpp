#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "PixelHelpers.h"
#include "controls/CheckImages.h"
#include "controls/VkCheckBox.h"

TEST(VkCheckBox, ValueIsReducedByStyle) {
    VkCheckBox cb;
    cb.SetValue(5);
    EXPECT_EQ(cb.Value(), 1);
    cb.SetValue(-7);  // csNormal has no third state
    EXPECT_EQ(cb.Value(), 0);
    cb.SetStyle(VkCheckBox::csYesNo);
    cb.SetValue(0);
    EXPECT_EQ(cb.Value(), -1);
    cb.SetStyle(VkCheckBox::csTriState);
    cb.SetValue(-3);
    EXPECT_EQ(cb.Value(), -1);
}

TEST(VkCheckBox, StyleWritesAdjustTheValue) {
    VkCheckBox cb;
    QSignalSpy change(&cb, &VkCheckBox::Change);
    cb.SetStyle(VkCheckBox::csYesNo);
    EXPECT_EQ(cb.Value(), -1);
    EXPECT_EQ(change.count(), 1);
    cb.SetStyle(VkCheckBox::csNormal);
    EXPECT_EQ(cb.Value(), 0);
    EXPECT_EQ(change.count(), 2);
}

TEST(VkCheckBox, ThreeClicksOnTriStateCycle) {
    VkCheckBox cb;
    cb.resize(100, 20);
    cb.SetStyle(VkCheckBox::csTriState);
    QSignalSpy change(&cb, &VkCheckBox::Change);
    QSignalSpy click(&cb, &VkCheckBox::Click);
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(&cb, Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
        seen.push_back(cb.Value());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, -1, 0}));
    EXPECT_EQ(change.count(), 3);
    EXPECT_EQ(click.count(), 3);
}

TEST(VkCheckBox, NormalAndYesNoCycles) {
    VkCheckBox cb;
    cb.DoClick();
    EXPECT_EQ(cb.Value(), 1);
    cb.DoClick();
    EXPECT_EQ(cb.Value(), 0);
    cb.SetStyle(VkCheckBox::csYesNo);
    cb.DoClick();
    EXPECT_EQ(cb.Value(), 1);
    cb.DoClick();
    EXPECT_EQ(cb.Value(), -1);
}

TEST(VkCheckBox, SpaceKeyActsAsClick) {
    VkCheckBox cb;
    QSignalSpy click(&cb, &VkCheckBox::Click);
    QTest::keyClick(&cb, Qt::Key_Space);
    EXPECT_EQ(cb.Value(), 1);
    EXPECT_EQ(click.count(), 1);
    QTest::keyClick(&cb, Qt::Key_Space);
    EXPECT_EQ(cb.Value(), 0);
    QTest::keyClick(&cb, Qt::Key_A);
    EXPECT_EQ(click.count(), 2);
}

TEST(VkCheckBox, ClickReleasedOutsideDoesNothing) {
    VkCheckBox cb;
    cb.resize(100, 20);
    QSignalSpy click(&cb, &VkCheckBox::Click);
    QTest::mousePress(&cb, Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
    QTest::mouseRelease(&cb, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
    EXPECT_EQ(click.count(), 0);
    EXPECT_EQ(cb.Value(), 0);
}

TEST(VkCheckBox, DrawsTheImageOfTheValueOnTheAlignedSide) {
    VkCheckBox cb;
    cb.resize(120, 21);
    cb.SetBackColor(0x00FF00);
    cb.SetCaption("");
    cb.SetValue(1);
    const QRect box = cb.ImageRect();
    EXPECT_EQ(box.left(), 1);
    QImage img = cb.Image();
    const QImage& checked = CheckImages::Get(0, 1);
    ASSERT_FALSE(checked.isNull());
    EXPECT_EQ(img.copy(box).convertToFormat(QImage::Format_RGB32),
              checked.convertToFormat(QImage::Format_RGB32));
    cb.SetAlignment(VkCheckBox::baRight);
    EXPECT_EQ(cb.ImageRect().right(), 118);
    EXPECT_EQ(PixelOf(cb.Image(), 5, 10), 0x00FF00u);
    cb.SetEnabled(false);
    img = cb.Image();
    EXPECT_EQ(img.copy(cb.ImageRect()).convertToFormat(QImage::Format_RGB32),
              CheckImages::Get(1, 1).convertToFormat(QImage::Format_RGB32));
}

TEST(VkCheckBox, SixImagesAreDistinct) {
    for (int a = 0; a < 6; ++a) {
        ASSERT_FALSE(CheckImages::Get(a / 3, a % 3).isNull());
        for (int b = a + 1; b < 6; ++b) {
            EXPECT_NE(CheckImages::Get(a / 3, a % 3), CheckImages::Get(b / 3, b % 3));
        }
    }
}

TEST(VkCheckBox, HoverEffectsOnlyWithHoverFX) {
    VkCheckBox cb;
    cb.resize(120, 20);
    cb.setToolTip("tip");
    QSignalSpy in(&cb, &VkCheckBox::MouseIn);
    QSignalSpy out(&cb, &VkCheckBox::MouseOut);
    SendMove(&cb, QPoint(30, 10));
    EXPECT_TRUE(cb.Hovering());
    EXPECT_EQ(in.count(), 1);
    EXPECT_NE(cb.Tooltip(), nullptr);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&cb, &leave);
    EXPECT_FALSE(cb.Hovering());
    EXPECT_EQ(out.count(), 1);
    EXPECT_EQ(cb.Tooltip(), nullptr);
    cb.SetHoverFX(false);
    SendMove(&cb, QPoint(40, 10));
    EXPECT_FALSE(cb.Hovering());
    EXPECT_EQ(in.count(), 1);
}

TEST(VkCheckBox, PropertyBagRoundTripAndDefaults) {
    VkCheckBox a;
    a.SetStyle(VkCheckBox::csTriState);
    a.SetValue(-1);
    a.SetCaption("Option");
    a.SetHoverBold(true);
    a.SetMaskColor(0x010203);
    a.SetExProp("tttitle=T");
    PropertyBag bag;
    a.WriteProperties(bag);
    for (const char* key : {"value", "ustyle", "text", "ualign", "font", "bcolor", "fcolor",
                            "mcolor", "umask", "uasize", "ufocus", "uhover", "uhoverbold",
                            "uhoverunder", "uhovercolor", "enabled", "xtrVar", "ExProp"}) {
        EXPECT_TRUE(bag.Contains(key)) << key;
    }
    VkCheckBox b;
    QSignalSpy change(&b, &VkCheckBox::Change);
    QSignalSpy changed(&b, &VkCheckBox::PropertyChanged);
    b.ReadProperties(bag);
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(b.Value(), -1);
    EXPECT_EQ(b.Style(), 2);
    EXPECT_EQ(b.Caption(), "Option");
    EXPECT_TRUE(b.HoverBold());
    EXPECT_EQ(b.MaskColor(), 0x010203u);
    EXPECT_EQ(b.ParsedOptions().Title, "T");

    PropertyBag empty;
    VkCheckBox c;
    c.setObjectName("chkHost");
    c.ReadProperties(empty);
    EXPECT_EQ(c.Caption(), "chkHost");
    EXPECT_EQ(c.MaskColor(), 0xC0C0C0u);
    EXPECT_TRUE(c.FocusRect());
}

TEST(VkCheckBox, WritesNotifyWithTheirKeys) {
    VkCheckBox cb;
    QSignalSpy changed(&cb, &VkCheckBox::PropertyChanged);
    cb.SetValue(1);
    cb.SetHoverColor(5);
    cb.SetCaption("x");
    ASSERT_EQ(changed.count(), 3);
    EXPECT_EQ(changed.at(0).at(0).toString(), "value");
    EXPECT_EQ(changed.at(1).at(0).toString(), "uhovercolor");
    EXPECT_EQ(changed.at(2).at(0).toString(), "text");
}
