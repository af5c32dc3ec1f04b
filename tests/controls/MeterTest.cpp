#include <gtest/gtest.h>

#include <QSignalSpy>

#include "PixelHelpers.h"
#include "controls/VkMeter.h"

namespace {

quint32 SegmentPixel(const VkMeter& m, int i) {
    const QRect r = m.Segments().at(i - 1);
    return PixelOf(m.Image(), r.center().x(), r.center().y());
}

}  // namespace

TEST(VkMeter, NewMeterDefaults) {
    VkMeter m;
    EXPECT_EQ(m.Steps(), 12);
    EXPECT_EQ(m.Orientation(), 1);
    EXPECT_EQ(m.Level1StartPc(), 70);
    EXPECT_EQ(m.Level2StartPc(), 90);
    EXPECT_EQ(m.ColorOff(), 0x404040u);
    EXPECT_EQ(m.LitCount(), 0);
}

TEST(VkMeter, SeventyFiveLightsNineOfTwelve) {
    VkMeter m;
    m.resize(20, 200);
    m.SetValue(75);
    EXPECT_EQ(m.LitCount(), 9);
    EXPECT_EQ(m.Percentage(), 75);
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(m.SegmentColor(i, 9), 0x00C000u) << i;
        EXPECT_EQ(SegmentPixel(m, i), 0x00C000u) << i;
    }
    EXPECT_EQ(SegmentPixel(m, 9), 0x00C0C0u);
    for (int i = 10; i <= 12; ++i) {
        EXPECT_EQ(SegmentPixel(m, i), 0x404040u) << i;
    }
}

TEST(VkMeter, FullValueColoursTheZones) {
    VkMeter m;
    m.resize(20, 200);
    m.SetValue(100);
    EXPECT_EQ(m.LitCount(), 12);
    EXPECT_EQ(SegmentPixel(m, 11), 0x0000C0u);
    EXPECT_EQ(SegmentPixel(m, 12), 0x0000C0u);
    EXPECT_EQ(SegmentPixel(m, 9), 0x00C0C0u);
    EXPECT_EQ(SegmentPixel(m, 10), 0x00C0C0u);
    EXPECT_EQ(SegmentPixel(m, 8), 0x00C000u);
    // The background between segments is BackColor.
    EXPECT_EQ(PixelOf(m.Image(), 0, 100), 0u);
}

TEST(VkMeter, FirstSegmentIsAtTheBottomOrLeft) {
    VkMeter m;
    m.resize(20, 200);
    EXPECT_GT(m.Segments().first().top(), m.Segments().last().top());
    m.SetOrientation(0);
    EXPECT_EQ(m.size(), QSize(200, 20));
    EXPECT_LT(m.Segments().first().left(), m.Segments().last().left());
    EXPECT_EQ(m.Segments().size(), 12);
}

TEST(VkMeter, WriteThatKeepsTheLitCountDoesNotRedraw) {
    VkMeter m;
    m.resize(20, 200);
    m.SetValue(75);
    const int draws = m.DrawCount();
    QSignalSpy change(&m, &VkMeter::Change);
    m.SetValue(76);  // 12 * 0.76 = 9.12 -> still 9
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(m.DrawCount(), draws);
    m.SetValue(76);  // unchanged value: nothing
    EXPECT_EQ(change.count(), 1);
    m.SetValue(80);  // 9.6 -> 10
    EXPECT_EQ(change.count(), 2);
    EXPECT_EQ(m.DrawCount(), draws + 1);
    EXPECT_EQ(m.LitCount(), 10);
}

TEST(VkMeter, HalvesRoundToEven) {
    VkMeter m;
    m.SetSteps(4);
    m.SetMax(8);
    m.SetValue(1);  // 4 * 1 / 8 = 0.5 -> 0
    EXPECT_EQ(m.LitCount(), 0);
    m.SetValue(3);  // 1.5 -> 2
    EXPECT_EQ(m.LitCount(), 2);
    m.SetValue(5);  // 2.5 -> 2
    EXPECT_EQ(m.LitCount(), 2);
}

TEST(VkMeter, ClampingAndBounds) {
    VkMeter m;
    m.SetValue(500);
    EXPECT_EQ(m.Value(), 100);
    m.SetMax(-1);
    EXPECT_EQ(m.Max(), 100);
    m.SetSteps(0);
    EXPECT_EQ(m.Steps(), 12);
}

TEST(VkMeter, PropertyBagRoundTripWithoutNotifications) {
    VkMeter a;
    a.SetSteps(20);
    a.SetLevel1StartPc(50);
    a.SetColorL2(0x112233);
    a.SetValue(42);
    PropertyBag bag;
    a.WriteProperties(bag);
    EXPECT_EQ(bag.ReadInt("stps", 0), 20);
    VkMeter b;
    QSignalSpy changed(&b, &VkMeter::PropertyChanged);
    b.ReadProperties(bag);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(b.Steps(), 20);
    EXPECT_EQ(b.Level1StartPc(), 50);
    EXPECT_EQ(b.ColorL2(), 0x112233u);
    EXPECT_EQ(b.Value(), 42);
    PropertyBag empty;
    VkMeter c;
    c.ReadProperties(empty);
    EXPECT_EQ(c.Steps(), 12);
    EXPECT_EQ(c.ColorL0(), 0x00C000u);
}
