#include <gtest/gtest.h>

#include <QSignalSpy>

#include "PixelHelpers.h"
#include "controls/VkProgressBar.h"
#include "controls/gradBar.h"

namespace {

struct ThemeRow {
    int theme;
    uint bar, back, light, border;
    int appearance, lightStyle;
};

const ThemeRow kRows[] = {
    {1, 0x873A00, 0xDED9D8, 0xFFFFFF, 0xC9A08D, 0, 1},
    {2, 0x8D918E, 0xEBF2ED, 0xFFFFFF, 0x979F8F, 0, 0},
    {3, 0x00AAFF, 0xC9E9FF, 0xE0FFFF, 0x808080, 0, 0},
    {4, 0x0000C0, 0xE0DFD7, 0xFFFFFF, 0x000000, 1, 1},
    {5, 0x509929, 0xF4FFEE, 0xFFFFFF, 0x000000, 1, 0},
};

}  // namespace

TEST(VkProgressBar, NewControlHasCorporateThemeAndDefaults) {
    VkProgressBar pb;
    EXPECT_EQ(pb.Theme(), VkProgressBar::thmCorporate);
    EXPECT_EQ(pb.BarColor(), 0x873A00u);
    EXPECT_EQ(pb.LightStyle(), VkProgressBar::lsTube);
    EXPECT_EQ(pb.BorderStyle(), 1);
    EXPECT_EQ(pb.Min(), 0);
    EXPECT_EQ(pb.Max(), 100);
    EXPECT_EQ(pb.Value(), 0);
    EXPECT_EQ(pb.Orientation(), 0);
}

TEST(VkProgressBar, ThemeTableRows) {
    for (const ThemeRow& r : kRows) {
        VkProgressBar pb;
        pb.SetBorderStyle(0);
        pb.SetTheme(r.theme);
        EXPECT_EQ(pb.Theme(), r.theme);
        EXPECT_EQ(pb.BarColor(), r.bar) << r.theme;
        EXPECT_EQ(pb.BackColor(), r.back) << r.theme;
        EXPECT_EQ(pb.LightColor(), r.light) << r.theme;
        EXPECT_EQ(pb.BorderColor(), r.border) << r.theme;
        EXPECT_EQ(pb.Appearance(), r.appearance) << r.theme;
        EXPECT_EQ(pb.LightStyle(), r.lightStyle) << r.theme;
        EXPECT_EQ(pb.BorderStyle(), 1) << r.theme;
    }
}

TEST(VkProgressBar, CustomThemeChangesNothingAndStyleWritesMakeItCustom) {
    VkProgressBar pb;
    pb.SetBarColor(0x123456);
    EXPECT_EQ(pb.Theme(), 0);
    pb.SetTheme(0);
    EXPECT_EQ(pb.BarColor(), 0x123456u);
    pb.SetTheme(3);
    pb.SetLightStyle(1);
    EXPECT_EQ(pb.Theme(), 0);
    pb.SetTheme(3);
    pb.SetAppearance(1);
    EXPECT_EQ(pb.Theme(), 0);
    pb.SetTheme(3);
    pb.SetBorderStyle(0);
    EXPECT_EQ(pb.Theme(), 0);
    pb.SetTheme(9);  // not a theme
    EXPECT_EQ(pb.Theme(), 0);
}

TEST(VkProgressBar, ThemeNotifiesOnceWithItsKey) {
    VkProgressBar pb;
    QSignalSpy changed(&pb, &VkProgressBar::PropertyChanged);
    pb.SetTheme(4);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), "thm");
    pb.SetBarColor(0xFF);
    EXPECT_EQ(changed.last().at(0).toString(), "BarColor");
}

TEST(VkProgressBar, ValueClampingAndChangeEvent) {
    VkProgressBar pb;
    QSignalSpy change(&pb, &VkProgressBar::Change);
    pb.SetValue(150);
    EXPECT_EQ(pb.Value(), 100);
    EXPECT_EQ(pb.Percentage(), 100);
    EXPECT_EQ(change.count(), 1);
    pb.SetValue(120);  // clamps to the same value: nothing happens
    EXPECT_EQ(change.count(), 1);
    pb.SetValue(-5);
    EXPECT_EQ(pb.Value(), 0);
    EXPECT_EQ(change.count(), 2);
}

TEST(VkProgressBar, BoundRules) {
    VkProgressBar pb;
    QSignalSpy change(&pb, &VkProgressBar::Change);
    pb.SetValue(80);
    pb.SetMax(0);  // not above Min: ignored
    EXPECT_EQ(pb.Max(), 100);
    pb.SetMin(100);  // not below Max: ignored
    EXPECT_EQ(pb.Min(), 0);
    pb.SetMax(50);
    EXPECT_EQ(pb.Max(), 50);
    EXPECT_EQ(pb.Value(), 50);
    pb.SetMin(-50);
    pb.SetValue(-40);
    pb.SetMin(-10);
    EXPECT_EQ(pb.Value(), -10);
    EXPECT_EQ(change.count(), 2);  // the bound moves raise no change event
    EXPECT_EQ(pb.Percentage(), 0);
}

TEST(VkProgressBar, PercentageUsesTheRange) {
    VkProgressBar pb;
    pb.SetMax(200);
    pb.SetMin(100);
    pb.SetValue(125);
    EXPECT_EQ(pb.Percentage(), 25);
}

TEST(VkProgressBar, HalfValueFillsTheLeftHalfInTube) {
    VkProgressBar pb;
    pb.resize(200, 20);
    pb.SetValue(50);
    const QImage img = pb.Image();
    ASSERT_EQ(img.size(), QSize(200, 20));
    // Below the highlight band the filled part runs from the light colour to the bar.
    const quint32 filled = gradBar::LineColor(0xFFFFFF, 0x873A00, 14, 16);
    const quint32 empty = gradBar::LineColor(0xFFFFFF, 0xDED9D8, 14, 16);
    EXPECT_EQ(PixelOf(img, 50, 18), filled);
    EXPECT_EQ(PixelOf(img, 99, 18), filled);
    EXPECT_EQ(PixelOf(img, 100, 18), empty);
    EXPECT_EQ(PixelOf(img, 150, 18), empty);
    EXPECT_TRUE(Near(filled, 0x873A00, 40));
    // Highlight a fifth of the way down (t = 4): light colour.
    EXPECT_TRUE(Near(PixelOf(img, 50, 4), 0xFFFFFF, 2));
    EXPECT_TRUE(Near(PixelOf(img, 150, 4), 0xFFFFFF, 2));
    // Fixed single flat border in BorderColor.
    EXPECT_EQ(PixelOf(img, 0, 10), 0xC9A08Du);
    EXPECT_EQ(PixelOf(img, 199, 10), 0xC9A08Du);
}

TEST(VkProgressBar, SoftStyleGradients) {
    VkProgressBar pb;
    pb.resize(100, 40);
    pb.SetTheme(VkProgressBar::thmVitamin);
    pb.SetBorderStyle(0);
    pb.SetValue(30);
    const QImage img = pb.Image();
    EXPECT_EQ(PixelOf(img, 10, 0), 0xE0FFFFu);  // light colour at the top
    EXPECT_EQ(PixelOf(img, 90, 0), 0xE0FFFFu);
    EXPECT_TRUE(Near(PixelOf(img, 10, 39), 0x00AAFF, 8));  // bar colour at the bottom
    EXPECT_TRUE(Near(PixelOf(img, 90, 39), 0xC9E9FF, 8));  // back colour at the bottom
}

TEST(VkProgressBar, OverflowingValueDrawsFull) {
    VkProgressBar pb;
    pb.resize(100, 20);
    pb.SetValue(150);
    const QImage img = pb.Image();
    EXPECT_EQ(PixelOf(img, 97, 18), gradBar::LineColor(0xFFFFFF, 0x873A00, 14, 16));
}

TEST(VkProgressBar, OrientationSwapsSizeAndFillsFromTheBottom) {
    VkProgressBar pb;
    pb.resize(200, 20);
    pb.SetOrientation(1);
    EXPECT_EQ(pb.size(), QSize(20, 200));
    pb.SetOrientation(1);  // unchanged orientation: no swap
    EXPECT_EQ(pb.size(), QSize(20, 200));
    pb.SetValue(25);
    const QImage img = pb.Image();
    EXPECT_EQ(PixelOf(img, 18, 160), gradBar::LineColor(0xFFFFFF, 0x873A00, 14, 16));
    EXPECT_EQ(PixelOf(img, 18, 140), gradBar::LineColor(0xFFFFFF, 0xDED9D8, 14, 16));
    EXPECT_TRUE(Near(PixelOf(img, 4, 100), 0xFFFFFF, 2));  // tube highlight at W/5
}

TEST(VkProgressBar, Mercury3DHasTheSunkenBorder) {
    VkProgressBar pb;
    pb.resize(100, 20);
    pb.SetTheme(VkProgressBar::thmMercury3D);
    EXPECT_EQ(pb.BorderColor(), 0u);
    EXPECT_EQ(pb.Appearance(), 1);
    EXPECT_EQ(pb.Image().size(), QSize(96, 16));  // the surface sits inside the edge
    const QImage shown = pb.grab().toImage();
    EXPECT_NE(PixelOf(shown, 0, 10), PixelOf(shown, 99, 10));  // shadow vs highlight
}

TEST(VkProgressBar, PropertyBagRoundTripAndDefaults) {
    VkProgressBar a;
    a.SetTheme(5);
    a.SetOrientation(1);
    a.SetMax(400);
    a.SetMin(-4);
    a.SetValue(300);
    a.SetxtrVar("host data");
    PropertyBag bag;
    a.WriteProperties(bag);
    EXPECT_FALSE(bag.Contains("thm"));
    VkProgressBar b;
    QSignalSpy changed(&b, &VkProgressBar::PropertyChanged);
    QSignalSpy change(&b, &VkProgressBar::Change);
    b.ReadProperties(bag);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(b.BarColor(), 0x509929u);
    EXPECT_EQ(b.Appearance(), 1);
    EXPECT_EQ(b.Orientation(), 1);
    EXPECT_EQ(b.Min(), -4);
    EXPECT_EQ(b.Max(), 400);
    EXPECT_EQ(b.Value(), 300);
    EXPECT_EQ(b.xtrVar().toString(), "host data");
    EXPECT_EQ(b.Theme(), 0);

    PropertyBag broken;
    broken.Write("BarColor", "red");
    broken.Write("maxv", -3);
    broken.Write("lstyle", 7);
    VkProgressBar c;
    c.ReadProperties(broken);
    EXPECT_EQ(c.BarColor(), 0x873A00u);
    EXPECT_EQ(c.Min(), 0);
    EXPECT_EQ(c.Max(), 100);
    EXPECT_EQ(c.LightStyle(), 1);
}

TEST(VkProgressBar, QtPropertiesCarryTheNames) {
    VkProgressBar pb;
    EXPECT_TRUE(pb.setProperty("Value", 40));
    EXPECT_EQ(pb.property("Percentage").toInt(), 40);
    EXPECT_TRUE(pb.setProperty("BarColor", 0x80000012u));
    EXPECT_EQ(pb.BarColor(), 0x80000012u);
}
