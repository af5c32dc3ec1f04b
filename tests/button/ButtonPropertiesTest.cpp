#include <gtest/gtest.h>

#include <QSignalSpy>

#include "ButtonHelpers.h"

TEST(VkButtonProperties, NewButtonTakesSilverThemeAndCaption) {
    VkButton b;
    EXPECT_EQ(b.Theme(), VkButton::thmSilver3D);
    EXPECT_EQ(b.Caption(), "Caption");
    EXPECT_EQ(b.ColorA(), 0xFFFFFFu);
    EXPECT_EQ(b.ColorB(), 0xFFFFFFu);
    EXPECT_EQ(b.BorderAppearence(), VkButton::ap3D);
    EXPECT_EQ(b.BorderStyle(), VkButton::bsFixedSingle);
    EXPECT_EQ(b.Outline(), VkButton::olRegular);
    EXPECT_EQ(b.Alignment(), VkButton::aaMiddleCenter);
    EXPECT_EQ(b.IconAlignment(), VkButton::aaMiddleLeft);
    EXPECT_FALSE(b.LightEffect());
    EXPECT_EQ(b.BorderColor(), 0x424242u);
    b.InitNew("cmdOK");
    EXPECT_EQ(b.Caption(), "cmdOK");
}

TEST(VkButtonProperties, ThemeRowsAndUnchangedColumns) {
    VkButton b;
    auto customise = [&] {
        b.SetBorderAppearence(VkButton::apFlat);
        b.SetAlignment(VkButton::aaTopLeft);
        b.SetIconAlignment(VkButton::aaBottomRight);
        b.SetIconAdjustX(3);
        b.SetIconAdjustY(-2);
        b.SetAutoSize(true);
        b.SetHandPointer(true);
        b.SetCutStyle(VkButton::posBoth);
        b.SetColorB(0x123456);
    };
    customise();
    b.SetTheme(VkButton::thmSky3D);
    EXPECT_EQ(b.ColorA(), 0xBBAD9Cu);
    EXPECT_EQ(b.ColorB(), 0x123456u);  // not part of any theme
    EXPECT_EQ(b.BorderAppearence(), VkButton::ap3D);
    EXPECT_EQ(b.Alignment(), VkButton::aaMiddleCenter);
    EXPECT_EQ(b.IconAlignment(), VkButton::aaMiddleLeft);
    EXPECT_EQ(b.CutStyle(), VkButton::posNeither);
    EXPECT_EQ(b.IconAdjustX(), 0);
    EXPECT_EQ(b.IconAdjustY(), 0);
    EXPECT_FALSE(b.AutoSize());
    EXPECT_FALSE(b.HandPointer());

    customise();
    b.SetTheme(VkButton::thmSkyFlat);
    EXPECT_EQ(b.BorderAppearence(), VkButton::apFlat);  // unchanged
    EXPECT_EQ(b.Alignment(), VkButton::aaTopLeft);      // unchanged
    EXPECT_EQ(b.IconAlignment(), VkButton::aaMiddleLeft);

    customise();
    b.SetTheme(VkButton::thmSilver3D);
    EXPECT_EQ(b.ColorA(), 0xFFFFFFu);
    EXPECT_EQ(b.IconAlignment(), VkButton::aaBottomRight);  // unchanged
    EXPECT_EQ(b.Alignment(), VkButton::aaMiddleCenter);

    customise();
    b.SetTheme(VkButton::thmCandy3D);
    EXPECT_EQ(b.ColorA(), 0x0000E0u);
    EXPECT_EQ(b.BorderAppearence(), VkButton::apFlat);
    EXPECT_TRUE(b.LightEffect());
    EXPECT_TRUE(b.BottomLine());

    customise();
    b.SetTheme(VkButton::thmOfficeBar);
    EXPECT_EQ(b.BorderStyle(), VkButton::bsNone);
    EXPECT_EQ(b.Outline(), VkButton::olNone);
    EXPECT_EQ(b.CutStyle(), VkButton::posLeft);
    EXPECT_EQ(b.CutStrength(), VkButton::stHard);
    EXPECT_FALSE(b.BottomLine());
    EXPECT_EQ(b.Theme(), VkButton::thmOfficeBar);
}

TEST(VkButtonProperties, ThemeZeroChangesNothingAndThemesDoNotNotify) {
    VkButton b;
    b.SetColorA(0x010101);
    QSignalSpy changed(&b, &VkButton::PropertyChanged);
    b.SetTheme(0);
    EXPECT_EQ(b.ColorA(), 0x010101u);
    EXPECT_EQ(b.Theme(), 0);
    b.SetTheme(VkButton::thmCandy3D);
    EXPECT_EQ(changed.count(), 0);
    b.SetColorA(0x020202);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), "c1");
    b.SetTheme(42);  // not a theme
    EXPECT_EQ(b.Theme(), VkButton::thmCandy3D);
}

TEST(VkButtonProperties, WritesNotifyWithTheirKeys) {
    VkButton b;
    QSignalSpy changed(&b, &VkButton::PropertyChanged);
    b.SetHoverColorA(1);
    b.SetCaption("x");
    b.SetCornerStyle(VkButton::csRound);
    b.SetGradientStyle(VkButton::gtGel);
    b.SetIconAdjustX(4);
    b.SetHandPointer(true);
    b.SetGradientStyle(5);  // out of range: ignored
    const QStringList expected{"htcolor", "ptext", "crnstyle", "gtype", "icx", "handCursor"};
    ASSERT_EQ(changed.count(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(changed.at(i).at(0).toString(), expected[i]);
    }
}

TEST(VkButtonProperties, SavingWritesEveryKeyInOrder) {
    VkButton b;
    PropertyBag bag;
    b.WriteProperties(bag);
    const QStringList order{"c1",      "c2",         "htcolor",  "hbcolor", "fcolor",    "hfcolor",
                            "olcolor", "holcolor",   "brdcolor", "ptext",   "cstrength", "cstyle",
                            "plight",  "btline",     "crnstyle", "calign",  "asize",     "font",
                            "olstyle", "handCursor", "icpic",    "icalign", "icx",       "icy",
                            "appear",  "bstyle",     "enabled",  "gtype",   "xtrVar",    "ExProp"};
    EXPECT_EQ(bag.Keys(), order);
}

TEST(VkButtonProperties, MissingKeysTakeTheTableDefaults) {
    VkButton b;
    b.SetTheme(VkButton::thmOfficeBar);
    b.setObjectName("");
    PropertyBag empty;
    b.ReadProperties(empty);
    EXPECT_EQ(b.ColorA(), 0xBBAD9Cu);
    EXPECT_EQ(b.ColorB(), 0xFFFFFFu);
    EXPECT_EQ(b.HoverColorA(), 0xBBAD9Cu);
    EXPECT_EQ(b.BorderColor(), 0x424242u);
    EXPECT_EQ(b.Caption(), "Caption");
    EXPECT_TRUE(b.LightEffect());
    EXPECT_FALSE(b.BottomLine());
    EXPECT_EQ(b.Outline(), VkButton::olRegular);
    EXPECT_EQ(b.BorderAppearence(), VkButton::ap3D);
    EXPECT_EQ(b.BorderStyle(), VkButton::bsFixedSingle);
    EXPECT_EQ(b.CutStyle(), VkButton::posNeither);
    EXPECT_EQ(b.Alignment(), VkButton::aaMiddleCenter);
    EXPECT_EQ(b.IconAlignment(), VkButton::aaMiddleLeft);
    EXPECT_TRUE(b.Icon().isNull());
    EXPECT_TRUE(b.Enabled());
    EXPECT_EQ(b.Theme(), 0);
    VkButton named;
    named.setObjectName("cmdSave");
    named.ReadProperties(empty);
    EXPECT_EQ(named.Caption(), "cmdSave");
}

TEST(VkButtonProperties, MalformedKeysFallBack) {
    PropertyBag bag;
    bag.Write("c1", "teal");
    bag.Write("calign", 9);
    bag.Write("icx", 40000);
    bag.Write("olstyle", -1);
    bag.Write("plight", "perhaps");
    VkButton b;
    b.ReadProperties(bag);
    EXPECT_EQ(b.ColorA(), 0xBBAD9Cu);
    EXPECT_EQ(b.Alignment(), VkButton::aaMiddleCenter);
    EXPECT_EQ(b.IconAdjustX(), 0);
    EXPECT_EQ(b.Outline(), VkButton::olRegular);
    EXPECT_TRUE(b.LightEffect());
}

TEST(VkButtonProperties, SavedThemedButtonReopensWithItsLookButThemeZero) {
    VkButton a;
    a.SetTheme(VkButton::thmCandy3D);
    a.SetCaption("&Go");
    a.SetxtrVar(17);
    QPixmap icon(8, 8);
    icon.fill(Qt::red);
    a.SetIcon(icon);
    PropertyBag bag;
    a.WriteProperties(bag);
    VkButton b;
    QSignalSpy changed(&b, &VkButton::PropertyChanged);
    b.ReadProperties(bag);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(b.Theme(), 0);
    EXPECT_EQ(b.ColorA(), 0x0000E0u);
    EXPECT_EQ(b.BorderAppearence(), VkButton::apFlat);
    EXPECT_TRUE(b.LightEffect());
    EXPECT_TRUE(b.BottomLine());
    EXPECT_EQ(b.Caption(), "&Go");
    EXPECT_EQ(b.xtrVar().toInt(), 17);
    EXPECT_EQ(b.Icon().size(), QSize(8, 8));
    EXPECT_EQ(b.AccessKey(), QChar('G'));
}

TEST(VkButtonProperties, QtPropertyNames) {
    VkButton b;
    EXPECT_TRUE(b.setProperty("BorderAppearence", 0));
    EXPECT_EQ(b.BorderAppearence(), 0);
    EXPECT_TRUE(b.setProperty("HoverForecolor", 0x80000012u));
    EXPECT_EQ(b.HoverForecolor(), 0x80000012u);
    EXPECT_TRUE(b.setProperty("Theme", 4));
    EXPECT_EQ(b.property("ColorA").toUInt(), 0x0000E0u);
}

TEST(VkButtonProperties, HandPointer) {
    VkButton b;
    EXPECT_EQ(b.cursor().shape(), Qt::ArrowCursor);
    b.SetHandPointer(true);
    EXPECT_EQ(b.cursor().shape(), Qt::BitmapCursor);
    b.SetHandPointer(false);
    EXPECT_EQ(b.cursor().shape(), Qt::ArrowCursor);
}

TEST(VkButtonProperties, MinimumAndAutoSize) {
    VkButton b;
    b.SetCaption("A fairly long caption for a button");
    b.resize(20, 5);
    EXPECT_GE(b.width(), b.minimumSizeHint().width());
    EXPECT_GE(b.height(), b.minimumSizeHint().height());
    b.resize(400, 60);
    EXPECT_EQ(b.size(), QSize(400, 60));
    b.SetAutoSize(true);
    EXPECT_EQ(b.size(), b.minimumSizeHint());
    b.SetAutoSize(false);
    b.SetCaption("");
    EXPECT_EQ(b.minimumSizeHint(), QSize(2, 2));
}
