#include <gtest/gtest.h>

#include <QTest>

#include "ButtonHelpers.h"
#include "controls/gradBar.h"

using colorFuncs::Brightness;

TEST(ButtonBrightness, LimitsAtTwoHundredPercent) {
    EXPECT_EQ(Brightness(0x808080, 200), 0xFFFFFFu);
    EXPECT_EQ(Brightness(0x808080, 201), 0u);
    EXPECT_EQ(Brightness(0x424242, 200), 0x848484u);
    EXPECT_EQ(Brightness(0x646464, 75), 0x4B4B4Bu);
}

TEST(VkButtonPaint, PlainFaceOfOneColour) {
    VkButton b;
    MakeBare(b, 40, 20);
    b.SetColorA(0x336699);
    b.SetColorB(0x336699);
    const QImage img = b.Render();
    EXPECT_EQ(PixelOf(img, 0, 0), 0x336699u);
    EXPECT_EQ(PixelOf(img, 39, 19), 0x336699u);
}

TEST(VkButtonPaint, PlainGradientAndHoverColours) {
    VkButton b;
    MakeBare(b, 40, 20);
    b.SetColorA(0x000000);
    b.SetColorB(0xFFFFFF);
    b.SetHoverColorA(0x0000FF);
    b.SetHoverColorB(0x0000FF);
    QImage img = b.Render();
    EXPECT_EQ(PixelOf(img, 5, 0), 0u);
    EXPECT_EQ(PixelOf(img, 5, 19), gradBar::LineColor(0, 0xFFFFFF, 19, 20));
    SendMove(&b, QPoint(10, 10));
    img = b.Render();
    EXPECT_EQ(PixelOf(img, 5, 0), 0x0000FFu);
    EXPECT_EQ(PixelOf(img, 5, 19), 0x0000FFu);
}

TEST(VkButtonPaint, GelFace) {
    VkButton b;
    MakeBare(b, 40, 40);
    b.SetGradientStyle(VkButton::gtGel);
    b.SetColorA(0x0000FF);
    b.SetColorB(0x00FF00);
    const QImage img = b.Render();
    EXPECT_EQ(PixelOf(img, 5, 0), 0xFFFFFFu);   // white at the top
    EXPECT_EQ(PixelOf(img, 5, 20), 0x00FF00u);  // the lower half starts with the bottom colour
    EXPECT_EQ(PixelOf(img, 5, 39), gradBar::LineColor(0x00FF00, 0x0000FF, 19, 20));
    EXPECT_EQ(PixelOf(img, 5, 19), gradBar::LineColor(0xFFFFFF, 0x0000FF, 19, 20));
}

TEST(VkButtonPaint, LightStripReadsTheFaceBack) {
    VkButton b;
    MakeBare(b, 40, 20);
    b.SetColorA(0x404040);
    b.SetColorB(0x404040);
    b.SetLightEffect(true);
    const QImage img = b.Render();
    EXPECT_EQ(PixelOf(img, 5, 0), 0x404040u);
    EXPECT_EQ(PixelOf(img, 5, 1), gradBar::LineColor(0x404040, 0xFFFFFF, 1, 2));
    EXPECT_EQ(PixelOf(img, 5, 2), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(img, 5, 3), gradBar::LineColor(0xFFFFFF, 0x404040, 1, 2));
    EXPECT_EQ(PixelOf(img, 5, 4), 0x404040u);
}

TEST(VkButtonPaint, BottomLineRepeatsTheTopEdge) {
    VkButton b;
    MakeBare(b, 40, 20);
    b.SetColorA(0x000000);
    b.SetColorB(0xFFFFFF);
    b.SetBottomLine(true);
    const QImage img = b.Render();
    EXPECT_EQ(PixelOf(img, 10, 19), PixelOf(img, 0, 0));
    EXPECT_EQ(PixelOf(img, 10, 18), PixelOf(img, 0, 1));
    EXPECT_NE(PixelOf(img, 10, 17), PixelOf(img, 0, 1));
}

TEST(VkButtonPaint, SoftAndHardCuts) {
    VkButton b;
    MakeBare(b, 40, 20);
    b.SetColorA(0x646464);
    b.SetColorB(0x646464);
    b.SetCutStyle(VkButton::posBoth);
    QImage img = b.Render();
    EXPECT_EQ(PixelOf(img, 0, 10), Brightness(0x646464, 130));
    EXPECT_EQ(PixelOf(img, 1, 10), Brightness(0x646464, 75));
    EXPECT_EQ(PixelOf(img, 38, 10), Brightness(0x646464, 130));
    EXPECT_EQ(PixelOf(img, 39, 10), Brightness(0x646464, 75));
    EXPECT_EQ(PixelOf(img, 0, 3), 0x646464u);   // cuts run from y = 4
    EXPECT_EQ(PixelOf(img, 0, 16), 0x646464u);  // to H - 4
    EXPECT_EQ(PixelOf(img, 20, 10), 0x646464u);
    b.SetCutStyle(VkButton::posRight);
    b.SetCutStrength(VkButton::stHard);
    img = b.Render();
    EXPECT_EQ(PixelOf(img, 0, 10), 0x646464u);
    EXPECT_EQ(PixelOf(img, 38, 10), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(img, 39, 10), Brightness(0x646464, 75));
}

TEST(VkButtonPaint, RaisedBevelAndFocusFrame) {
    VkButton b;
    b.SetCaption("");
    b.resize(60, 24);
    b.SetColorA(0x808080);
    b.SetColorB(0x808080);
    b.SetLightEffect(false);
    QImage img = b.Render();
    EXPECT_EQ(PixelOf(img, 0, 12), 0x424242u);   // frame
    EXPECT_EQ(PixelOf(img, 1, 12), 0xFFFFFFu);   // bevel light, left
    EXPECT_EQ(PixelOf(img, 30, 1), 0xFFFFFFu);   // and top
    EXPECT_EQ(PixelOf(img, 58, 12), 0x424242u);  // dark line along the right
    EXPECT_EQ(PixelOf(img, 57, 12), 0x848484u);  // border colour at 200 % inside it
    EXPECT_EQ(PixelOf(img, 30, 21), 0x848484u);
    EXPECT_EQ(PixelOf(img, 30, 22), 0x424242u);
    b.SetDefault(true);
    img = b.Render();
    EXPECT_EQ(PixelOf(img, 0, 12), 0u);         // black frame
    EXPECT_EQ(PixelOf(img, 1, 12), 0x808080u);  // bevel moved one pixel in
    EXPECT_EQ(PixelOf(img, 2, 12), 0xFFFFFFu);
    b.SetDefault(false);
    b.SetBorderAppearence(VkButton::apFlat);
    img = b.Render();
    EXPECT_EQ(PixelOf(img, 0, 12), 0x424242u);
    EXPECT_EQ(PixelOf(img, 1, 12), 0x808080u);  // the frame alone
    b.SetBorderStyle(VkButton::bsNone);
    EXPECT_EQ(PixelOf(b.Render(), 0, 12), 0x808080u);
}

TEST(VkButtonPaint, PressedLookWhileMouseDown) {
    VkButton b;
    b.SetCaption("");
    b.resize(60, 24);
    QTest::mousePress(&b, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    const QImage img = b.Render();
    EXPECT_EQ(PixelOf(img, 0, 12), 0u);  // focused by the press
    EXPECT_EQ(PixelOf(img, 1, 12), 0x424242u);
    QTest::mouseRelease(&b, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
}

TEST(VkButtonPaint, RoundCornersShapeTheWindow) {
    VkButton b;
    b.SetCaption("");
    b.resize(60, 24);
    b.SetCornerStyle(VkButton::csRound);
    const QRegion shape = b.mask();
    ASSERT_FALSE(shape.isEmpty());
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(59, 23)));
    EXPECT_TRUE(shape.contains(QPoint(1, 1)));
    EXPECT_TRUE(shape.contains(QPoint(30, 12)));
    const QImage img = b.Render();
    EXPECT_EQ(PixelOf(img, 1, 1), 0x424242u);  // the diagonal corner line
    b.SetCornerStyle(VkButton::csSquare);
    EXPECT_TRUE(b.mask().isEmpty());
}

TEST(VkButtonPaint, CaptionOutlineShadowAndHoverColours) {
    VkButton b;
    MakeBare(b, 120, 40);
    b.SetColorA(0x808080);
    b.SetColorB(0x808080);
    b.SetForeColor(0x0000FF);
    b.SetOutlineColor(0x00FF00);
    b.SetHoverForecolor(0xFF0000);
    b.SetHoverOutline(0x00FFFF);
    b.SetCaption("WMW");
    QFont f = b.Font();
    f.setPixelSize(20);
    f.setBold(true);
    b.SetFont(f);
    b.SetOutline(VkButton::olRegular);
    QImage img = b.Render();
    EXPECT_GT(CountColour(img, 0x0000FF), 10);
    EXPECT_GT(CountColour(img, 0x00FF00), 10);
    b.SetOutline(VkButton::olNone);
    img = b.Render();
    EXPECT_EQ(CountColour(img, 0x00FF00), 0);
    b.SetOutline(VkButton::olShadow);
    EXPECT_GT(CountColour(b.Render(), 0x00FF00), 5);
    b.SetOutline(VkButton::olHoverRegular);
    EXPECT_EQ(CountColour(b.Render(), 0x00FF00), 0);  // only while hovering
    SendMove(&b, QPoint(20, 20));
    img = b.Render();
    EXPECT_GT(CountColour(img, 0x00FFFF), 10);
    EXPECT_GT(CountColour(img, 0xFF0000), 10);
    EXPECT_EQ(CountColour(img, 0x0000FF), 0);
}

TEST(VkButtonPaint, AccessKeyIsUnderlined) {
    VkButton b;
    MakeBare(b, 120, 40);
    b.SetColorA(0x808080);
    b.SetColorB(0x808080);
    b.SetOutline(VkButton::olNone);
    b.SetForeColor(0x0000FF);
    b.SetCaption("Open");
    const int plain = CountColour(b.Render(), 0x0000FF);
    b.SetCaption("&Open");
    const int marked = CountColour(b.Render(), 0x0000FF);
    EXPECT_GT(marked, plain);
    b.SetCaption("O&&pen");
    EXPECT_EQ(b.PrintedCaption(), "O&pen");
    EXPECT_TRUE(b.AccessKey().isNull());
}

TEST(VkButtonPaint, CaptionAndIconPlacement) {
    VkButton b;
    MakeBare(b, 120, 40);
    b.SetColorA(0x808080);
    b.SetColorB(0x808080);
    QPixmap icon(10, 10);
    icon.fill(QColor(255, 0, 0));
    b.SetIcon(icon);
    QImage img = b.Render();
    // Middle left with the face margin.
    EXPECT_EQ(PixelOf(img, 4, 15), 0x0000FFu);
    EXPECT_EQ(PixelOf(img, 3, 15), 0x808080u);
    b.SetIconAdjustX(10);
    b.SetIconAdjustY(-5);
    img = b.Render();
    EXPECT_EQ(PixelOf(img, 14, 10), 0x0000FFu);
    EXPECT_EQ(PixelOf(img, 4, 15), 0x808080u);
    b.SetIconAdjustX(0);
    b.SetIconAdjustY(0);
    b.SetIconAlignment(VkButton::aaBottomRight);
    img = b.Render();
    EXPECT_EQ(PixelOf(img, 115, 35), 0x0000FFu);
    EXPECT_EQ(PixelOf(img, 116, 36), 0x808080u);
}
