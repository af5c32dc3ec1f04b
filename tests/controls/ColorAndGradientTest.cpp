#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include "PixelHelpers.h"
#include "controls/colorFuncs.h"
#include "controls/drawApiRect.h"
#include "controls/gradBar.h"

using colorFuncs::Brightness;

TEST(ColorFuncs, BrightnessLimitsAndRange) {
    EXPECT_EQ(Brightness(0x808080, 200), 0xFFFFFFu);
    EXPECT_EQ(Brightness(0x808080, 201), 0u);
    EXPECT_EQ(Brightness(0x808080, -1), 0u);
    EXPECT_EQ(Brightness(0x808080, 100), 0x808080u);
    EXPECT_EQ(Brightness(0x102030, 0), 0u);
    EXPECT_EQ(Brightness(0x0A1420, 150), 0x0F1E30u);  // rounded per channel
    EXPECT_EQ(Brightness(0xFF0101, 130), 0xFF0101u);  // 1.3 rounds to 1; 255 limited
}

TEST(ColorFuncs, SystemColoursAreTranslatedThroughThePalette) {
    const QColor tipBack =
        QGuiApplication::palette().color(QPalette::Active, QPalette::ToolTipBase);
    EXPECT_EQ(colorFuncs::TranslateColor(0x80000018), colorFuncs::FromQColor(tipBack));
    EXPECT_EQ(colorFuncs::TranslateColor(0x00123456), 0x00123456u);
    EXPECT_EQ(colorFuncs::TranslateColor(0x7F123456), 0x00123456u);
    const QColor face = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    EXPECT_EQ(Brightness(0x8000000F, 100), colorFuncs::FromQColor(face));
}

TEST(ColorFuncs, ColourWordOrderIsRedInTheLowByte) {
    const QColor c = colorFuncs::ToQColor(0xFF0000);
    EXPECT_EQ(c, QColor(0, 0, 255));
    EXPECT_EQ(colorFuncs::FromQColor(QColor(1, 2, 3)), 0x030201u);
}

TEST(GradBar, VerticalGradientRunsFromStartToEnd) {
    QImage image(10, 50, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    gradBar::Draw(p, 0, 0, 10, 50, 0x000000, 0xC86420, gradBar::kTopToBottom);
    p.end();
    EXPECT_EQ(PixelOf(image, 5, 0), 0u);
    EXPECT_TRUE(Near(PixelOf(image, 5, 49), 0xC86420, 5));
    EXPECT_TRUE(Near(PixelOf(image, 5, 25), 0x643210, 2));
    EXPECT_EQ(PixelOf(image, 0, 10), PixelOf(image, 9, 10));  // rows are uniform
}

TEST(GradBar, HorizontalGradientAndItsRectangleOnly) {
    QImage image(40, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    gradBar::Draw(p, 10, 2, 20, 5, 0xFFFFFF, 0x0000FF, gradBar::kLeftToRight);
    p.end();
    EXPECT_EQ(PixelOf(image, 10, 3), 0xFFFFFFu);
    EXPECT_TRUE(Near(PixelOf(image, 29, 3), 0x0000FF, 14));
    EXPECT_EQ(PixelOf(image, 9, 3), 0u);
    EXPECT_EQ(PixelOf(image, 30, 3), 0u);
    EXPECT_EQ(PixelOf(image, 15, 1), 0u);
    EXPECT_EQ(PixelOf(image, 15, 7), 0u);
}

TEST(GradBar, ZeroExtentCountsAsOne) {
    EXPECT_EQ(gradBar::LineColor(0x000000, 0xFFFFFF, 0, 0), 0u);
    EXPECT_EQ(gradBar::LineColor(0x000000, 0xFFFFFF, 1, 0), 0xFFFFFFu);
}

TEST(DrawApiRect, OutlineAndFillWithinTheRectangle) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawApiRect(p, 2, 3, 12, 13, 0x0000FF, 0x00FF00);
    const QPen pen = p.pen();
    p.end();
    EXPECT_EQ(PixelOf(image, 2, 3), 0x0000FFu);
    EXPECT_EQ(PixelOf(image, 11, 12), 0x0000FFu);
    EXPECT_EQ(PixelOf(image, 6, 8), 0x00FF00u);
    EXPECT_EQ(PixelOf(image, 12, 8), 0xFFFFFFu);  // right edge excluded
    EXPECT_EQ(PixelOf(image, 6, 13), 0xFFFFFFu);  // bottom edge excluded
}
