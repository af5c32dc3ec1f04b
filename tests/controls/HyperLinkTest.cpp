#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "PixelHelpers.h"
#include "controls/VkHyperLink.h"

namespace {

// Rows of the image containing at least one pixel different from the background.
std::vector<bool> InkRows(const QImage& img, quint32 back) {
    std::vector<bool> rows(img.height(), false);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (PixelOf(img, x, y) != back) {
                rows[y] = true;
                break;
            }
        }
    }
    return rows;
}

int Bands(const std::vector<bool>& rows) {
    int bands = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] && (i == 0 || !rows[i - 1])) {
            ++bands;
        }
    }
    return bands;
}

}  // namespace

TEST(VkHyperLink, NewControlShowsItsNameInBlueOverButtonFace) {
    VkHyperLink link;
    link.InitNew("VkHyperLink1");
    EXPECT_EQ(link.Caption(), "VkHyperLink1");
    EXPECT_EQ(link.ForeColor(), 0xFF0000u);
    EXPECT_EQ(link.BackColor(), 0x8000000Fu);
    EXPECT_EQ(link.URL(), "about:blank");
    EXPECT_TRUE(link.UseMaskColor());
    EXPECT_EQ(link.xtrVar().toBool(), true);
    EXPECT_EQ(link.cursor().shape(), Qt::BitmapCursor);
    link.resize(150, 20);
    const QImage img = link.Image();
    EXPECT_EQ(PixelOf(img, 149, 19), colorFuncs::TranslateColor(0x8000000F));
    bool blue = false;
    for (int x = 0; x < 100 && !blue; ++x) {
        for (int y = 0; y < 20 && !blue; ++y) {
            blue = PixelOf(img, x, y) == 0xFF0000u;
        }
    }
    EXPECT_TRUE(blue);
}

TEST(VkHyperLink, ThreeWordsInANarrowControlMakeThreeLines) {
    VkHyperLink link;
    link.SetUseMaskColor(false);
    link.SetBackColor(0xFFFFFF);
    link.SetCaption("  alpha beta gamma ");
    const QFontMetrics fm(link.Font());
    link.resize(fm.horizontalAdvance("gamma") + 4, fm.height() * 4);
    EXPECT_EQ(Bands(InkRows(link.Image(), 0xFFFFFF)), 3);
    link.resize(fm.horizontalAdvance("alpha beta gamma") + 4, fm.height() * 4);
    EXPECT_EQ(Bands(InkRows(link.Image(), 0xFFFFFF)), 1);
}

TEST(VkHyperLink, ClickOpensTrimmedUrlThenRaisesClick) {
    VkHyperLink link;
    link.SetUseMaskColor(false);
    link.resize(100, 20);
    QStringList opened;
    link.SetUrlOpener([&](const QUrl& url) {
        opened.append(url.toString());
        return false;  // a failing shell is ignored
    });
    QSignalSpy click(&link, &VkHyperLink::Click);
    link.SetURL("  https://example.org/x  ");
    QTest::mouseClick(&link, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(opened, QStringList{"https://example.org/x"});
    EXPECT_EQ(click.count(), 1);
    link.SetURL("    ");
    QTest::mouseClick(&link, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(click.count(), 2);
}

TEST(VkHyperLink, MaskLeavesOnlyTextPixels) {
    VkHyperLink link;
    link.SetCaption("Masked");
    link.SetBackColor(0xC0C0C0);
    link.resize(120, 24);
    const QRegion shape = link.mask();
    ASSERT_FALSE(shape.isEmpty());
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(119, 23)));
    const QImage img = link.Image();
    for (const QRect& r : shape) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                ASSERT_NE(PixelOf(img, x, y), 0xC0C0C0u);
            }
        }
    }
    link.SetUseMaskColor(false);
    EXPECT_TRUE(link.mask().isEmpty());
}

TEST(VkHyperLink, HoverChangesColourAndManagesTheTooltip) {
    VkHyperLink link;
    link.SetUseMaskColor(false);
    link.SetBackColor(0xFFFFFF);
    link.SetMouseOverColor(0x0000FF);
    link.SetCaption("HOVER");
    link.resize(100, 20);
    link.SetExProp("tttitle=Title;ttstyle=balloon");
    QSignalSpy in(&link, &VkHyperLink::MouseIn);
    QSignalSpy out(&link, &VkHyperLink::MouseOut);
    SendMove(&link, QPoint(10, 10));
    EXPECT_TRUE(link.Hovering());
    EXPECT_EQ(in.count(), 1);
    EXPECT_EQ(link.Tooltip(), nullptr);  // no tooltip text from the host
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_EQ(out.count(), 1);

    link.setToolTip("Go there");
    SendMove(&link, QPoint(12, 10));
    ASSERT_NE(link.Tooltip(), nullptr);
    EXPECT_EQ(link.Tooltip()->Text(), "Go there");
    EXPECT_EQ(link.Tooltip()->Title(), "Title");
    EXPECT_EQ(link.Tooltip()->Style(), 1);
    bool red = false;
    const QImage img = link.Image();
    for (int x = 0; x < 60 && !red; ++x) {
        for (int y = 0; y < 20 && !red; ++y) {
            red = PixelOf(img, x, y) == 0x0000FFu;
        }
    }
    EXPECT_TRUE(red);
    // The edge pixel is outside (0 < x < width is the inside rule).
    SendMove(&link, QPoint(0, 10));
    EXPECT_FALSE(link.Hovering());
    EXPECT_EQ(link.Tooltip(), nullptr);
    EXPECT_EQ(out.count(), 2);
}

TEST(VkHyperLink, MouseOutComesAfterTheTooltipIsGone) {
    MouseOutComesAfterTheTooltipIsGone<VkHyperLink>();
}

TEST(VkHyperLink, AutoSizeFitsTheCaption) {
    VkHyperLink link;
    link.resize(10, 5);
    link.SetCaption("a rather long caption");
    link.SetAutoSize(true);
    const QFontMetrics fm(link.Font());
    EXPECT_GE(link.width(), fm.horizontalAdvance("a rather long caption"));
    EXPECT_GE(link.height(), fm.height());
}

TEST(VkHyperLink, PropertyBagKeysAndDefaults) {
    VkHyperLink a;
    a.SetCaption("Mail us");
    a.SetURL("mailto:someone@example.org");
    a.SetAlignment(VkHyperLink::alCenter);
    a.SetMaskColor(0x00FF00);
    a.SetExProp("tticon=info");
    PropertyBag bag;
    a.WriteProperties(bag);
    EXPECT_EQ(bag.ReadString("prop.pCaption", ""), "Mail us");
    EXPECT_EQ(bag.ReadString("prop.pURL", ""), "mailto:someone@example.org");
    EXPECT_EQ(bag.ReadInt("prop.pAlignment", 0), 2);
    VkHyperLink b;
    QSignalSpy changed(&b, &VkHyperLink::PropertyChanged);
    b.ReadProperties(bag);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(b.Caption(), "Mail us");
    EXPECT_EQ(b.Alignment(), 2);
    EXPECT_EQ(b.MaskColor(), 0x00FF00u);
    EXPECT_EQ(b.ParsedOptions().Icon, 1);

    PropertyBag broken;
    broken.Write("prop.pAlignment", 7);
    broken.Write("prop.pForeColor", "blue");
    VkHyperLink c;
    c.setObjectName("lnkHost");
    c.ReadProperties(broken);
    EXPECT_EQ(c.Alignment(), 0);
    EXPECT_EQ(c.ForeColor(), 0xFF0000u);
    EXPECT_EQ(c.Caption(), "lnkHost");
    EXPECT_EQ(c.URL(), "about:blank");
}

TEST(VkHyperLink, DisabledDrawsGreyText) {
    VkHyperLink link;
    link.SetUseMaskColor(false);
    link.SetBackColor(0xFFFFFF);
    link.SetCaption("WWWW");
    link.resize(100, 20);
    link.SetEnabled(false);
    const quint32 grey = colorFuncs::TranslateColor(colorFuncs::kSysGrayText);
    const QImage img = link.Image();
    bool found = false;
    for (int x = 0; x < 60 && !found; ++x) {
        for (int y = 0; y < 20 && !found; ++y) {
            found = PixelOf(img, x, y) == grey;
        }
    }
    EXPECT_TRUE(found);
}
