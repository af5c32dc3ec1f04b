#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include "desktop/DesktopTestSupport.h"
#include "engine/RLEScaledDecoder.h"
#include "support/TestFiles.h"
#include "thumbnailer/ThumbnailFit.h"

namespace {

using desktoptest::RunProgram;
using zorixthumb::FitInBox;
using zorixthumb::ParseRequest;

const QString kThumbnailer = desktoptest::Staged(QStringLiteral(ZORIX_BINDIR "/zorix-thumbnailer"));

// The fitting rule itself is tested with FitInside; here what the thumbnailer adds.
TEST(ThumbnailFit, FitsTheSquareBoxAndRefusesEmptySizes) {
    const auto wide = FitInBox({300, 100}, 128);
    EXPECT_EQ(wide.width, 128);
    EXPECT_EQ(wide.height, 43);
    const auto small = FitInBox({20, 10}, 128);
    EXPECT_EQ(small.width, 20);
    EXPECT_EQ(small.height, 10);
    EXPECT_EQ(FitInBox({0, 5}, 128).width, 0);
    EXPECT_EQ(FitInBox({5, 5}, 0).width, 0);
}

TEST(ThumbnailFit, ParsesTheThumbnailerCommandLine) {
    std::string error;
    const auto r = ParseRequest({"-s", "256", "in.bmp", "out.png"}, error);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->size, 256);
    EXPECT_EQ(r->input, "in.bmp");
    EXPECT_EQ(r->output, "out.png");
    const auto late = ParseRequest({"in.bmp", "out.png", "--size", "128"}, error);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->size, 128);
}

TEST(ThumbnailFit, RejectsBadCommandLines) {
    std::string error;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"in.bmp", "out.png"},
                                               {"-s", "0", "in.bmp", "out.png"},
                                               {"-s", "12x", "in.bmp", "out.png"},
                                               {"-s", "99999", "in.bmp", "out.png"},
                                               {"-s", "128", "in.bmp"},
                                               {"-s"},
                                               {"-s", "128", "a", "b", "c"}}) {
        error.clear();
        EXPECT_FALSE(ParseRequest(args, error));
        EXPECT_FALSE(error.empty());
    }
}

class Thumbnailer : public ::testing::Test {
  protected:
    void SetUp() override { dir = desktoptest::ScratchDir("thumbnailer"); }
    void TearDown() override { QDir(QString::fromStdString(dir)).removeRecursively(); }
    QString Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        return QString::fromStdString(testsupport::WriteBytes(dir + "/" + name, bytes));
    }
    QString Out(const char* name) { return QString::fromStdString(dir) + "/" + name; }
    std::string dir;
};

TEST_F(Thumbnailer, WritesAPngThatFitsTheRequestedSize) {
    const QString input = Write("wide.bmp", desktoptest::DeviceBitmap(300, 100));
    const auto r = RunProgram(kThumbnailer, {"-s", "128", input, Out("wide.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage thumb(Out("wide.png"), "png");
    ASSERT_FALSE(thumb.isNull());
    EXPECT_EQ(thumb.size(), QSize(128, 43));
}

// The thumbnail is the picture box-filtered to its size and laid over white.
TEST_F(Thumbnailer, ItsPixelsAreTheScaledPictureOverWhite) {
    const std::vector<uint8_t> bytes = desktoptest::DeviceBitmap(300, 100);
    const QString input = Write("over.bmp", bytes);
    ASSERT_EQ(RunProgram(kThumbnailer, {"-s", "128", input, Out("over.png")}).exitCode, 0);
    const QImage thumb = QImage(Out("over.png"), "png").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(thumb.size(), QSize(128, 43));
    std::vector<uint8_t> premultiplied(128 * 43 * 4);
    ASSERT_TRUE(quenda::DecodeRLEScaled(bytes, {premultiplied.data(), 128 * 4, 128, 43}).success);
    int differing = 0;
    for (int y = 0; y < 43; ++y) {
        for (int x = 0; x < 128; ++x) {
            const uint8_t* p = &premultiplied[(static_cast<size_t>(y) * 128 + x) * 4];
            const int rest = 255 - p[3];
            differing += thumb.pixel(x, y) != qRgb(p[2] + rest, p[1] + rest, p[0] + rest);
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(Thumbnailer, KeepsSmallPicturesAtTheirOwnSize) {
    const QString input = Write("small.bmp", desktoptest::DeviceBitmap(20, 10));
    ASSERT_EQ(RunProgram(kThumbnailer, {"-s", "256", input, Out("small.png")}).exitCode, 0);
    EXPECT_EQ(QImage(Out("small.png"), "png").size(), QSize(20, 10));
}

TEST_F(Thumbnailer, TakesDeviceBitmapsByContentWhateverTheirName) {
    // File managers type device bitmaps by content, so any name may arrive.
    const QString input = Write("picture.dat", desktoptest::DeviceBitmap(50, 25));
    const auto r = RunProgram(kThumbnailer, {"-s", "32", input, Out("dat.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(Out("dat.png"), "png").size(), QSize(32, 16));
}

TEST_F(Thumbnailer, FailsCleanlyOnFilesItCannotRead) {
    const std::vector<uint8_t> whole = desktoptest::DeviceBitmap(40, 40);
    std::vector<uint8_t> badAlpha = whole;
    badAlpha[14 + 2 * 4 + 1] = 200;  // an alpha level above 32
    // Cut in the row lengths, and in the row data.
    for (const auto& bytes : {std::vector<uint8_t>(whole.begin(), whole.begin() + 30),
                              std::vector<uint8_t>(whole.begin(), whole.end() - 20), badAlpha}) {
        const QString bad = Write("bad.bmp", bytes);
        const auto r = RunProgram(kThumbnailer, {"-s", "16", bad, Out("bad.png")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("zorix-thumbnailer: "))) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(Out("bad.png")));
    }
    EXPECT_EQ(RunProgram(kThumbnailer, {"-s", "128", Out("missing.bmp"), Out("m.png")}).exitCode,
              1);
    EXPECT_FALSE(QFileInfo::exists(Out("m.png")));
}

}  // namespace
