#include <gtest/gtest.h>

#include "app/ExplorerLayout.h"
#include "app/PreviewLayout.h"

using namespace zorix;

namespace {

ExplorerGeometry Resized(double width, double height) {
    ExplorerGeometry g = DesignGeometry();
    g.scaleWidth = width;
    g.scaleHeight = height;
    g.windowWidth = width;
    ResizeExplorer(g);
    return g;
}

TEST(ExplorerResize, KeepsControlsRelativeToTheEdges) {
    const ExplorerGeometry g = Resized(15000, 9000);
    EXPECT_EQ(g.topBg.width, 15000);
    EXPECT_EQ(g.topStripe.width, 15000);
    EXPECT_EQ(g.status.width, 15000 - 60);
    EXPECT_EQ(g.status.top, 9000 - 285 - 30);
    EXPECT_EQ(g.vmove.left, 30 + 3105);
    EXPECT_EQ(g.vmove.width, 60);
    EXPECT_EQ(g.vmove.top, 405);
    EXPECT_EQ(g.vmove.height, 8685 - 405 - 45);
    EXPECT_EQ(g.bkg.left, 3195);
    EXPECT_EQ(g.bkg.top, 405);
    EXPECT_EQ(g.bkg.width, 15000 - 3195 - 30);
    EXPECT_EQ(g.bkg.height, 8685 - 405 - 30);
    EXPECT_EQ(g.hmove.top, 735 + 1665);
    EXPECT_EQ(g.hmove.width, 3105);
    EXPECT_EQ(g.llist.top, 2400 + 60);
    EXPECT_EQ(g.llist.height, 8685 - 2460 - 45);
    EXPECT_EQ(g.dir.width, 3105);
    EXPECT_EQ(g.llist.width, 3105);
}

TEST(ExplorerResize, ColumnWidthComesFromTheDriveList) {
    ExplorerGeometry g = DesignGeometry();
    g.drive.width = 4500;
    g.dir.height = 2000;
    g.scaleWidth = g.windowWidth = 12000;
    g.scaleHeight = 8000;
    ResizeExplorer(g);
    EXPECT_EQ(g.dir.width, 4500);
    EXPECT_EQ(g.llist.width, 4500);
    EXPECT_EQ(g.hmove.width, 4500);
    EXPECT_EQ(g.vmove.left, 4530);
    EXPECT_EQ(g.bkg.left, 4590);
    EXPECT_EQ(g.hmove.top, 2735);
}

TEST(ExplorerResize, ImpossibleSizesAreSkipped) {
    ExplorerGeometry g = Resized(15000, 9000);
    const ExplorerGeometry before = g;
    g.scaleWidth = g.windowWidth = 2000;
    g.scaleHeight = 1000;
    ResizeExplorer(g);
    // The status line still fits; the preview and file list would not.
    EXPECT_EQ(g.status.width, 1940);
    EXPECT_EQ(g.status.top, 1000 - 315);
    EXPECT_EQ(g.bkg.width, before.bkg.width);
    EXPECT_EQ(g.bkg.height, 685 - 405 - 30);
    EXPECT_EQ(g.llist.height, before.llist.height);
    EXPECT_EQ(g.vmove.left, 3135);
}

TEST(VmoveDrag, MovesTheColumnEdge) {
    ExplorerGeometry g = Resized(15000, 9000);
    DragVmove(g, 600);
    EXPECT_EQ(g.vmove.left, 3735);
    EXPECT_EQ(g.drive.width, 3705);
    EXPECT_EQ(g.dir.width, 3705);
    EXPECT_EQ(g.llist.width, 3705);
    EXPECT_EQ(g.hmove.width, 3705);
    EXPECT_EQ(g.bkg.left, 3795);
    EXPECT_EQ(g.bkg.width, 15000 - 3795 - 30);
}

TEST(VmoveDrag, HasNoLowerLimitAndSkipsNegativeWidths) {
    ExplorerGeometry g = Resized(15000, 9000);
    DragVmove(g, -3105);
    EXPECT_EQ(g.drive.width, 0);
    EXPECT_EQ(g.bkg.left, 90);
    DragVmove(g, -1000);
    EXPECT_EQ(g.vmove.left, -970);
    EXPECT_EQ(g.drive.width, 0);  // a negative width is not applied
    EXPECT_EQ(g.bkg.left, -910);
    EXPECT_EQ(g.bkg.width, 15000 + 910 - 30);
}

TEST(VmoveDrag, WidthIsRoundedHalfToEven) {
    ExplorerGeometry g = Resized(15000, 9000);
    DragVmove(g, 0.5);  // 3105.5 -> 3106
    EXPECT_EQ(g.drive.width, 3106);
    g = Resized(15000, 9000);
    DragVmove(g, -0.5);  // 3104.5 -> 3104
    EXPECT_EQ(g.drive.width, 3104);
}

TEST(HmoveDrag, KeepsTheFolderListAt900TwipsOrMore) {
    ExplorerGeometry g = Resized(15000, 9000);
    const double dirTop = g.dir.top;
    // New top 899 below the folder list's top: refused.
    EXPECT_FALSE(DragHmove(g, dirTop + 899 - g.hmove.top));
    EXPECT_EQ(g.hmove.top, 2400);
    // 898.5 rounds to 898: refused; 899.5 rounds to 900: taken.
    EXPECT_FALSE(DragHmove(g, dirTop + 898.5 - g.hmove.top));
    EXPECT_TRUE(DragHmove(g, dirTop + 899.5 - g.hmove.top));
    EXPECT_EQ(g.hmove.top, dirTop + 899.5);
    EXPECT_EQ(g.dir.height, 899.5);
    EXPECT_EQ(g.llist.top, dirTop + 959.5);
    EXPECT_EQ(g.llist.height, g.status.top - g.llist.top - 45);
}

TEST(HmoveDrag, KeepsTheFileListAt900TwipsPlus15OrMore) {
    ExplorerGeometry g = Resized(15000, 9000);
    // status top 8685: the bar's top may go to 8685 - 60 - 15 - 900 = 7710.
    EXPECT_FALSE(DragHmove(g, 7711 - g.hmove.top));
    EXPECT_EQ(g.hmove.top, 2400);
    EXPECT_TRUE(DragHmove(g, 7710 - g.hmove.top));
    EXPECT_EQ(g.hmove.top, 7710);
    EXPECT_EQ(g.dir.height, 7710 - 735);
    EXPECT_EQ(g.llist.top, 7770);
    EXPECT_EQ(g.llist.height, 870);
}

TEST(HmoveDrag, NoMoveChangesNothingAndReleaseSnaps) {
    ExplorerGeometry g = Resized(15000, 9000);
    EXPECT_FALSE(DragHmove(g, 0));
    g.dir.height = 2000;  // as if the folder list had adjusted itself
    EndHmoveDrag(g);
    EXPECT_EQ(g.hmove.top, 2735);
    EXPECT_EQ(g.llist.top, 2795);
    EXPECT_EQ(g.llist.height, 8685 - 2795 - 45);
}

// A preview area with a 30-twip border on each side and 255-twip bars.
PreviewGeometry Preview(double innerWidth, double innerHeight, double imageWidth,
                        double imageHeight) {
    PreviewGeometry p;
    p.innerWidth = innerWidth;
    p.innerHeight = innerHeight;
    p.outerWidth = innerWidth + 60;
    p.outerHeight = innerHeight + 60;
    p.image.width = imageWidth;
    p.image.height = imageHeight;
    p.hsb.rect.height = 255;
    p.vsb.rect.width = 255;
    p.badpic = {0, 0, 600, 720};
    return p;
}

TEST(LayoutImage, ExactFitNeedsNoBars) {
    PreviewGeometry p = Preview(6000, 4500, 6000, 4500);
    LayoutImage(p);
    EXPECT_FALSE(p.hsb.visible);
    EXPECT_FALSE(p.vsb.visible);
    EXPECT_EQ(p.image.left, 30);  // half the outer minus inner size
    EXPECT_EQ(p.image.top, 30);
}

TEST(LayoutImage, SmallImageIsCentredOnTheOuterSize) {
    PreviewGeometry p = Preview(6000, 4500, 1500, 1200);
    LayoutImage(p);
    EXPECT_EQ(p.image.left, 6060 / 2 - 750);
    EXPECT_EQ(p.image.top, 4560 / 2 - 600);
}

TEST(LayoutImage, VerticalBarCanBringTheHorizontalOne) {
    // 10 twips narrower than the area but taller: the vertical bar takes width.
    PreviewGeometry p = Preview(6000, 4500, 5990, 9000);
    LayoutImage(p);
    EXPECT_TRUE(p.vsb.visible);
    EXPECT_TRUE(p.hsb.visible);
    EXPECT_EQ(p.image.left, 0);
    EXPECT_EQ(p.image.top, 0);
    EXPECT_EQ(p.vsb.max, 317);  // (9000 - (4500 - 255)) / 15 = 317
    EXPECT_EQ(p.hsb.max, 16);   // (5990 - (6000 - 255)) / 15 = 16.33
    EXPECT_EQ(p.vsb.value, 0);
    EXPECT_EQ(p.hsb.min, 0);
}

TEST(LayoutImage, OnlyVerticalBarCentresOnTheFullWidth) {
    PreviewGeometry p = Preview(6000, 4500, 1500, 9000);
    LayoutImage(p);
    EXPECT_TRUE(p.vsb.visible);
    EXPECT_FALSE(p.hsb.visible);
    EXPECT_EQ(p.image.left, 6060 / 2 - 750);
    EXPECT_EQ(p.vsb.max, 300);
}

TEST(LayoutImage, OnlyHorizontalBarShiftsTheCentreUp) {
    PreviewGeometry p = Preview(6000, 4500, 9000, 3000);
    LayoutImage(p);
    EXPECT_TRUE(p.hsb.visible);
    EXPECT_FALSE(p.vsb.visible);
    EXPECT_EQ(p.image.top, 4560 / 2 - 1500 - 127.5);
    EXPECT_EQ(p.hsb.max, 200);
}

TEST(LayoutImage, HorizontalBarCanBringTheVerticalOne) {
    // Fits in height only without the horizontal bar.
    PreviewGeometry p = Preview(6000, 4500, 9000, 4400);
    LayoutImage(p);
    EXPECT_TRUE(p.hsb.visible);
    EXPECT_TRUE(p.vsb.visible);
    EXPECT_EQ(p.vsb.max, 10);   // (4400 - 4245) / 15 = 10.33
    EXPECT_EQ(p.hsb.max, 217);  // (9000 - 5745) / 15 = 217
}

TEST(LayoutImage, RangesRoundHalvesToEven) {
    PreviewGeometry p = Preview(6000, 4500, 1000, 4500 + 22.5);  // 1.5 -> 2
    LayoutImage(p);
    EXPECT_EQ(p.vsb.max, 2);
    p = Preview(6000, 4500, 1000, 4500 + 37.5);  // 2.5 -> 2
    LayoutImage(p);
    EXPECT_EQ(p.vsb.max, 2);
}

TEST(LayoutImage, ResetsScrollValues) {
    PreviewGeometry p = Preview(6000, 4500, 9000, 9000);
    p.hsb.value = 40;
    p.vsb.value = 12;
    LayoutImage(p);
    EXPECT_EQ(p.hsb.value, 0);
    EXPECT_EQ(p.vsb.value, 0);
}

TEST(PlaceBars, BarsShareTheEdgesAndTheCornerFillsTheGap) {
    PreviewGeometry p = Preview(6000, 4500, 9000, 9000);
    LayoutImage(p);
    PlaceBars(p);
    EXPECT_EQ(p.vsb.rect.left, 6000 - 255);
    EXPECT_EQ(p.vsb.rect.top, 0);
    EXPECT_EQ(p.vsb.rect.height, 4500 - 255);
    EXPECT_EQ(p.hsb.rect.top, 4500 - 255);
    EXPECT_EQ(p.hsb.rect.left, 0);
    EXPECT_EQ(p.hsb.rect.width, 6000 - 255);
    EXPECT_TRUE(p.cornerVisible);
    EXPECT_EQ(p.corner.left, 6000 - 255);
    EXPECT_EQ(p.corner.top, 4500 - 255);
}

TEST(PlaceBars, SingleBarSpansTheWholeEdge) {
    PreviewGeometry p = Preview(6000, 4500, 1500, 9000);
    LayoutImage(p);
    PlaceBars(p);
    EXPECT_EQ(p.vsb.rect.height, 4500);
    EXPECT_FALSE(p.cornerVisible);
    EXPECT_EQ(p.badpic.left, 6060 / 2 - 300);
    EXPECT_EQ(p.badpic.top, 4560 / 2 - 360);
}

TEST(ScrollOffset, IsMinusTheValueInTwips) {
    EXPECT_EQ(ScrollOffset(0), 0);
    EXPECT_EQ(ScrollOffset(10), -150);
}

}  // namespace
