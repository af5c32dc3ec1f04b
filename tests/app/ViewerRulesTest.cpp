#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "app/DropOpener.h"
#include "app/ExplorerLayout.h"
#include "app/FileListRules.h"
#include "app/PreviewFit.h"
#include "app/PreviewImage.h"
#include "app/StartLocation.h"
#include "app/ViewScrolling.h"
#include "app/WindowLimits.h"
#include "imaging/ColorWord.h"

using namespace zorix;

namespace {

ScrollState Bars(int hMax, int vMax, int h = 0, int v = 0) {
    ScrollState s;
    s.h = {hMax > 0, hMax, h, 100};
    s.v = {vMax > 0, vMax, v, 80};
    return s;
}

// ---------------------------------------------------------------------------
// Scrolling

TEST(WheelScroll, OneNotchDownMovesDownByTheStep) {
    const ScrollState s = WheelScroll(Bars(300, 300, 10, 10), 0, -kWheelNotch, false, 60);
    EXPECT_EQ(s.v.value, 70);
    EXPECT_EQ(s.h.value, 10);
    EXPECT_EQ(WheelScroll(s, 0, kWheelNotch, false, 60).v.value, 10);
}

TEST(WheelScroll, ShiftTurnsTheVerticalWheelHorizontal) {
    const ScrollState s = WheelScroll(Bars(300, 300, 50, 50), 0, -2 * kWheelNotch, true, 60);
    EXPECT_EQ(s.h.value, 170);
    EXPECT_EQ(s.v.value, 50);
    // A sideways wheel scrolls sideways with or without Shift.
    EXPECT_EQ(WheelScroll(Bars(300, 300), -kWheelNotch, 0, false, 60).h.value, 60);
}

TEST(WheelScroll, StaysWithinTheRanges) {
    EXPECT_EQ(WheelScroll(Bars(300, 100, 0, 90), 0, -10 * kWheelNotch, false, 60).v.value, 100);
    EXPECT_EQ(WheelScroll(Bars(300, 100, 0, 30), 0, 10 * kWheelNotch, false, 60).v.value, 0);
    // Extreme deltas do not overflow.
    EXPECT_EQ(WheelScroll(Bars(300, 100), 0, INT32_MIN, false, 1 << 20).v.value, 100);
    EXPECT_EQ(WheelScroll(Bars(300, 100, 0, 5), 0, INT32_MAX, false, 1 << 20).v.value, 0);
}

TEST(WheelScroll, AnAxisWithoutBarDoesNotMove) {
    const ScrollState s = WheelScroll(Bars(0, 200), 0, -kWheelNotch, true, 60);
    EXPECT_EQ(s.h.value, 0);
    EXPECT_EQ(s.v.value, 0);
}

TEST(PanScroll, PictureFollowsThePointerWithinTheRanges) {
    const ScrollState grab = Bars(300, 200, 100, 100);
    ScrollState s = PanScroll(grab, -40, 25);  // pointer left and down
    EXPECT_EQ(s.h.value, 140);
    EXPECT_EQ(s.v.value, 75);
    s = PanScroll(grab, -1000, 1000);
    EXPECT_EQ(s.h.value, 300);
    EXPECT_EQ(s.v.value, 0);
    EXPECT_EQ(PanScroll(Bars(0, 200, 0, 50), -80, 0).h.value, 0);
}

TEST(KeyScroll, ArrowsPagesHomeAndEnd) {
    const ScrollState s = Bars(500, 400, 100, 100);
    EXPECT_EQ(KeyScroll(s, ScrollKey::Right, 20).h.value, 120);
    EXPECT_EQ(KeyScroll(s, ScrollKey::Left, 20).h.value, 80);
    EXPECT_EQ(KeyScroll(s, ScrollKey::Down, 20).v.value, 120);
    EXPECT_EQ(KeyScroll(s, ScrollKey::Up, 20).v.value, 80);
    EXPECT_EQ(KeyScroll(s, ScrollKey::PageDown, 20).v.value, 180);
    EXPECT_EQ(KeyScroll(s, ScrollKey::PageUp, 20).v.value, 20);
    EXPECT_EQ(KeyScroll(s, ScrollKey::Home, 20).v.value, 0);
    EXPECT_EQ(KeyScroll(s, ScrollKey::End, 20).v.value, 400);
    EXPECT_EQ(KeyScroll(s, ScrollKey::End, 20).h.value, 100);
}

TEST(KeyScroll, PagesGoSidewaysWithOnlyAHorizontalBar) {
    const ScrollState s = Bars(500, 0, 100, 0);
    EXPECT_EQ(KeyScroll(s, ScrollKey::PageDown, 20).h.value, 200);
    EXPECT_EQ(KeyScroll(s, ScrollKey::End, 20).h.value, 500);
    EXPECT_EQ(KeyScroll(s, ScrollKey::Down, 20).v.value, 0);
}

// ---------------------------------------------------------------------------
// Fit to window

// The fitting rule itself is tested with FitInside; here what the viewer adds.
TEST(FitSize, FollowsTheFitRuleAndHandlesEmptySizes) {
    EXPECT_EQ(FitSize({1200, 900}, {500, 300}), QSize(400, 300));
    EXPECT_EQ(FitSize({300, 200}, {400, 300}), QSize(300, 200));
    EXPECT_EQ(FitSize({100, 100}, {0, 0}), QSize(1, 1));
    EXPECT_TRUE(FitSize({0, 0}, {100, 100}).isEmpty());
}

TEST(PreviewPicture, ReducesSmoothlyOnlyWhenFitting) {
    QImage picture(200, 100, QImage::Format_RGB32);
    // Alternate black and white columns: a smooth reduction gives grey, a
    // dropping one black or white.
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 100; ++y) {
            picture.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    PreviewPicture shown;
    shown.Set(picture);
    EXPECT_EQ(shown.Shown(false, {50, 50}).size(), QSize(200, 100));
    const QPixmap fitted = shown.Shown(true, {50, 50});
    ASSERT_EQ(fitted.size(), QSize(50, 25));
    const int grey = qRed(fitted.toImage().pixel(25, 12));
    EXPECT_GT(grey, 60);
    EXPECT_LT(grey, 195);
    // The same area hands back the same reduction.
    EXPECT_EQ(shown.Shown(true, {50, 50}).cacheKey(), fitted.cacheKey());
    shown.Clear();
    EXPECT_TRUE(shown.Shown(true, {50, 50}).isNull());
}

// ---------------------------------------------------------------------------
// Colours and the preview's picture

TEST(ColorWord, RedIsTheLowByte) {
    const quenda::ColorChannels c = quenda::ChannelsOf(0x00123456);
    EXPECT_EQ(c.red, 0x56);
    EXPECT_EQ(c.green, 0x34);
    EXPECT_EQ(c.blue, 0x12);
    EXPECT_EQ(quenda::ColorWord(0x56, 0x34, 0x12), 0x00123456u);
    EXPECT_EQ(quenda::ChannelsOf(0x80000012).red, 0x12);
    const std::array<uint8_t, 4> pixel = quenda::OpaquePixelOf(0x00123456);
    EXPECT_EQ(pixel, (std::array<uint8_t, 4>{0x12, 0x34, 0x56, 255}));
    EXPECT_EQ(ColorOfWord(0x00123456), QColor(0x56, 0x34, 0x12));
}

TEST(OpaqueRowsToImage, FlipsRowsAndKeepsColours) {
    // Two rows, bottom first: bottom row blue-ish, top row red-ish (B, G, R, A).
    const uint8_t bits[] = {200, 10, 20,  255, 201, 11, 21,  255,  // bottom
                            5,   6,  250, 255, 7,   8,  251, 255};
    const QImage image = OpaqueRowsToImage(bits, 2, 2);
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(250, 6, 5));
    EXPECT_EQ(image.pixel(1, 0), qRgb(251, 8, 7));
    EXPECT_EQ(image.pixel(0, 1), qRgb(20, 10, 200));
    EXPECT_EQ(image.pixel(1, 1), qRgb(21, 11, 201));
    EXPECT_TRUE(OpaqueRowsToImage(nullptr, 2, 2).isNull());
    EXPECT_TRUE(OpaqueRowsToImage(bits, 0, 2).isNull());
}

// ---------------------------------------------------------------------------
// File list order

FileListEntry Entry(const QString& name, int64_t size, qint64 seconds) {
    FileListEntry e;
    e.name = name;
    e.size = size;
    e.modified = QDateTime::fromSecsSinceEpoch(seconds);
    return e;
}

TEST(FileListLess, NamesIgnoreCaseThenCaseDecides) {
    EXPECT_TRUE(FileListLess(Entry("a.bmp", 0, 0), Entry("B.bmp", 0, 0), FileColumn::Name));
    EXPECT_FALSE(FileListLess(Entry("B.bmp", 0, 0), Entry("a.bmp", 0, 0), FileColumn::Name));
    EXPECT_TRUE(FileListLess(Entry("b.PNG", 0, 0), Entry("bmp", 0, 0), FileColumn::Name));
    // Equal but for case: a total order, neither before itself.
    const bool ab = FileListLess(Entry("x.bmp", 0, 0), Entry("X.bmp", 0, 0), FileColumn::Name);
    const bool ba = FileListLess(Entry("X.bmp", 0, 0), Entry("x.bmp", 0, 0), FileColumn::Name);
    EXPECT_NE(ab, ba);
    EXPECT_FALSE(FileListLess(Entry("x", 0, 0), Entry("x", 0, 0), FileColumn::Name));
}

TEST(FileListLess, SizesAndTimesByValueNotByText) {
    // "9" sorts after "10 KB" as text; by value it comes first.
    EXPECT_TRUE(FileListLess(Entry("z", 9, 0), Entry("a", 10240, 0), FileColumn::Size));
    EXPECT_TRUE(FileListLess(Entry("a", 5, 0), Entry("b", 5, 0), FileColumn::Size));
    EXPECT_TRUE(FileListLess(Entry("z", 0, 100), Entry("a", 0, 200), FileColumn::DateTime));
    EXPECT_TRUE(FileListLess(Entry("a", 0, 100), Entry("b", 0, 100), FileColumn::DateTime));
}

// ---------------------------------------------------------------------------
// Window limits

TEST(MinimumInnerSize, DesignKeepsTheHeaderAndTheListsApart) {
    const ExplorerGeometry g = DesignGeometry();
    const TwipSize least = MinimumInnerSize(g, 7260);
    EXPECT_EQ(least.width, 7290);
    // Folder list bottom 2400, bar 60, shortest file list 915, information line 285, margin.
    EXPECT_EQ(least.height, 2400 + 60 + 915 + 285 + 30);
}

TEST(MinimumInnerSize, FollowsTheColumnAndTheFolderList) {
    ExplorerGeometry g = DesignGeometry();
    g.drive.width = 9000;
    g.dir.height = 3000;
    const TwipSize least = MinimumInnerSize(g, 7260);
    EXPECT_EQ(least.width, 30 + 9000 + 60 + 900 + 30);
    EXPECT_EQ(least.height, 735 + 3000 + 60 + 915 + 285 + 30);
    // At that size the explorer rules leave both lists and the preview their minimum.
    g.scaleWidth = least.width;
    g.scaleHeight = least.height;
    g.windowWidth = least.width;
    ResizeExplorer(g);
    EXPECT_GE(g.llist.height, 900 - 45);
    EXPECT_GE(g.bkg.width, 900);
    EXPECT_GE(g.status.top, g.llist.top + g.llist.height);
}

TEST(KeepOnScreen, AWindowOnAScreenStays) {
    const QList<QRect> screens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const QRect second(2000, 100, 800, 600);
    EXPECT_EQ(KeepOnScreen(second, screens, screens[0]), second);
    // Partly off the right edge, but its top strip can be grabbed.
    const QRect partly(1800, 500, 800, 600);
    EXPECT_EQ(KeepOnScreen(partly, {screens[0]}, screens[0]), partly);
}

TEST(KeepOnScreen, AWindowOnNoScreenIsCentredOnThePrimary) {
    const QList<QRect> screens = {{0, 0, 1920, 1080}};
    EXPECT_EQ(KeepOnScreen({5000, 3000, 800, 600}, screens, screens[0]), QRect(560, 240, 800, 600));
    // Its top above the screen: the title could not be grabbed.
    EXPECT_EQ(KeepOnScreen({100, -400, 800, 600}, screens, screens[0]), QRect(560, 240, 800, 600));
    // Only a sliver at the left edge.
    EXPECT_EQ(KeepOnScreen({-790, 100, 800, 600}, screens, screens[0]), QRect(560, 240, 800, 600));
    // Larger than the primary: shrunk to it.
    EXPECT_EQ(KeepOnScreen({9000, 9000, 4000, 3000}, screens, {0, 40, 1920, 1040}),
              QRect(0, 40, 1920, 1040));
}

// ---------------------------------------------------------------------------
// Start and drop locations

TEST(StartArgument, TakesTheFirstPathAfterTheProgram) {
    EXPECT_EQ(StartArgument({"zorix"}), "");
    EXPECT_EQ(StartArgument({"zorix", "a.bmp", "b.bmp"}), "a.bmp");
    EXPECT_EQ(StartArgument({"zorix", "-style", "x"}), "x");
    EXPECT_EQ(StartArgument({"zorix", "--", "-odd.bmp"}), "-odd.bmp");
    EXPECT_EQ(StartArgument({"zorix", "", "/tmp"}), "/tmp");
}

class LocationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QFile file(dir_.filePath("pic.bmp"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        ASSERT_TRUE(QDir(dir_.path()).mkdir("sub"));
    }
    QString Clean(const QString& p) const { return QDir::cleanPath(p); }
    QTemporaryDir dir_;
};

TEST_F(LocationTest, FileOpensItsFolder) {
    const StartLocation where = LocationOf(dir_.filePath("pic.bmp"));
    EXPECT_TRUE(where.IsValid());
    EXPECT_EQ(where.folder, Clean(dir_.path()));
    EXPECT_EQ(where.file, Clean(dir_.filePath("pic.bmp")));
}

TEST_F(LocationTest, FolderOpensItself) {
    const StartLocation where = LocationOf(dir_.filePath("sub/../sub"));
    EXPECT_EQ(where.folder, Clean(dir_.filePath("sub")));
    EXPECT_TRUE(where.file.isEmpty());
}

TEST_F(LocationTest, UrlsAndRelativePaths) {
    const StartLocation url = LocationOf(QUrl::fromLocalFile(dir_.filePath("pic.bmp")).toString());
    EXPECT_EQ(url.file, Clean(dir_.filePath("pic.bmp")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    const StartLocation relative = LocationOf("pic.bmp");
    QDir::setCurrent(previous);
    EXPECT_EQ(relative.file, QDir(dir_.path()).canonicalPath() + "/pic.bmp");
}

TEST_F(LocationTest, MissingPathNamesNothing) {
    EXPECT_FALSE(LocationOf(dir_.filePath("gone.bmp")).IsValid());
    EXPECT_FALSE(LocationOf("").IsValid());
    EXPECT_FALSE(LocationOf("file:").IsValid());
}

TEST(DroppedPath, FirstLocalUrl) {
    QMimeData data;
    EXPECT_EQ(DropOpener::DroppedPath(&data), "");
    data.setUrls({QUrl("https://example.org/a.bmp"), QUrl::fromLocalFile("/tmp/b.bmp")});
    EXPECT_EQ(DropOpener::DroppedPath(&data), "/tmp/b.bmp");
    data.setText("/tmp/c.bmp");
    EXPECT_EQ(DropOpener::DroppedPath(&data), "/tmp/b.bmp");
    EXPECT_EQ(DropOpener::DroppedPath(nullptr), "");
}

}  // namespace
