#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/ImageTypes.h"
#include "imaging/c32bppDIB.h"
#include "support/BmpBuilder.h"
#include "support/GifBuilder.h"
#include "support/RLEBuilder.h"
#include "support/TestFiles.h"

using quenda::c32bppDIB;
using testsupport::BmpBuilder;
using testsupport::PackRows;

namespace {

// A 24-bit bitmap of w x h pixels, every pixel 0x00RRGGBB = rgb.
std::vector<uint8_t> Bitmap24(int32_t w, int32_t h, uint32_t rgb) {
    BmpBuilder b;
    b.width = w;
    b.height = h;
    b.pixelData = PackRows(w, h, 24, std::vector<uint32_t>(static_cast<size_t>(w) * h, rgb), false);
    return b.Build();
}

std::vector<uint8_t> SmallGif() {
    testsupport::GifBuilder g;
    g.screenWidth = g.screenHeight = 2;
    g.globalTable = {{10, 20, 30}, {40, 50, 60}};
    testsupport::GifFrame f;
    f.width = f.height = 2;
    f.indices = {0, 1, 1, 0};
    g.frames.push_back(f);
    std::vector<uint8_t> file = g.Build();
    file.resize(64, 0);  // bytes after the trailer, so that files pass the size floor
    return file;
}

std::vector<uint8_t> JpegOf(int32_t w, int32_t h) {
    c32bppDIB image;
    image.InitializeDIB(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            image.SetPixel(x, y, 0x00336699, 255);
        }
    }
    std::vector<uint8_t> jpeg;
    EXPECT_TRUE(image.SaveToStream_JPG(jpeg, 90));
    return jpeg;
}

}  // namespace

TEST(Loading, FilesUnder57BytesAreRefused) {
    const std::string dir = testsupport::MakeTempDir("loading");
    std::vector<uint8_t> bmp = Bitmap24(1, 1, 0x123456);  // 58 bytes
    ASSERT_EQ(bmp.size(), 58u);
    c32bppDIB image;
    EXPECT_TRUE(image.LoadPicture_File(testsupport::WriteBytes(dir + "/a.bmp", bmp)));
    bmp.pop_back();  // 57 bytes: offered, and the pixels are all there (one pad byte short)
    EXPECT_TRUE(image.LoadPicture_File(testsupport::WriteBytes(dir + "/b.bmp", bmp)));
    EXPECT_EQ(image.GetPixel(0, 0), 0x00563412);
    bmp.pop_back();  // 56 bytes: never offered
    EXPECT_FALSE(image.LoadPicture_File(testsupport::WriteBytes(dir + "/c.bmp", bmp)));
    EXPECT_EQ(image.Handle(), 0u);
    // A complete 1-bit bitmap padded to 56 bytes: refused as a file, read as an array.
    BmpBuilder tiny;
    tiny.headerSize = 12;
    tiny.width = 1;
    tiny.height = 1;
    tiny.bitsPerPixel = 1;
    tiny.palette = {{0, 0, 0}, {255, 255, 255}};
    tiny.pixelData = {0x80, 0, 0, 0};
    std::vector<uint8_t> small = tiny.Build();
    small.resize(56, 0);
    EXPECT_FALSE(image.LoadPicture_File(testsupport::WriteBytes(dir + "/d.bmp", small)));
    EXPECT_TRUE(image.LoadPicture_Stream(small));
    EXPECT_EQ(image.GetPixel(0, 0), 0x00FFFFFF);
    small.push_back(0);
    EXPECT_TRUE(image.LoadPicture_File(testsupport::WriteBytes(dir + "/e.bmp", small)));
    EXPECT_FALSE(image.LoadPicture_File(dir + "/missing.bmp"));
    EXPECT_FALSE(image.LoadPicture_File(dir));
}

TEST(Loading, TheExtensionPlaysNoPart) {
    const std::string dir = testsupport::MakeTempDir("loading");
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_File(testsupport::WriteBytes(dir + "/x.png", JpegOf(9, 7))));
    EXPECT_EQ(image.Width(), 9);
    EXPECT_EQ(image.ImageType(), quenda::IMAGE_BITMAP);
    EXPECT_FALSE(image.Alpha());
    ASSERT_TRUE(image.LoadPicture_File(testsupport::WriteBytes(dir + "/y.bmp", SmallGif())));
    EXPECT_EQ(image.ImageType(), quenda::IMAGE_GIF);
}

TEST(Loading, StreamsNeedTwentyBytesAndHonourStartAndLength) {
    const std::vector<uint8_t> bmp = Bitmap24(3, 2, 0xABCDEF);
    std::vector<uint8_t> bytes(5 + bmp.size(), 0);
    std::copy(bmp.begin(), bmp.end(), bytes.begin() + 5);
    c32bppDIB image;
    EXPECT_TRUE(image.LoadPicture_Stream(bytes, 0, 0, 5, 0));
    EXPECT_EQ(image.GetPixel(2, 1), 0x00EFCDAB);
    EXPECT_TRUE(image.LoadPicture_Stream(bytes, 0, 0, 5, 10000));  // cut at the end
    EXPECT_FALSE(image.LoadPicture_Stream(bytes, 0, 0, 0, 0));     // junk before the bitmap
    EXPECT_EQ(image.Handle(), 0u);
    EXPECT_TRUE(image.LoadPicture_Stream(bmp, 0, 0, -4, 0));  // start raised to 0
    EXPECT_FALSE(image.LoadPicture_Stream(bmp, 0, 0, 0, 19));
    EXPECT_FALSE(image.LoadPicture_Stream({}, 0, 0, 0, 0));
    EXPECT_FALSE(image.LoadPicture_Stream(bmp, 0, 0, static_cast<int64_t>(bmp.size()), 0));
}

TEST(Loading, KeptOriginalFormatIsTheExactSourceAndReloads) {
    const std::string dir = testsupport::MakeTempDir("loading");
    const std::vector<uint8_t> gif = SmallGif();
    const std::vector<uint8_t> padded = gif;
    const std::string path = testsupport::WriteBytes(dir + "/g.gif", padded);
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_File(path, 0, 0, true));
    std::vector<uint8_t> kept;
    ASSERT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, padded);

    image.SetPixel(0, 0, 0xFFFFFF, 255);
    ASSERT_TRUE(image.LoadPicture_FromOrignalFormat());
    EXPECT_EQ(image.GetPixel(0, 0), 0x001E140A);
    ASSERT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, padded);

    ASSERT_TRUE(image.LoadPicture_File(path));
    EXPECT_FALSE(image.GetOrginalFormat(kept));
    EXPECT_FALSE(image.LoadPicture_FromOrignalFormat());
    EXPECT_EQ(image.Handle(), 0u);
}

TEST(Loading, ADamagedGifIsNotOfferedToLaterReaders) {
    std::vector<uint8_t> gif = SmallGif();
    gif[13 + 6 + 10 + 1] = 200;  // first data sub-block runs past the end
    c32bppDIB image;
    EXPECT_FALSE(image.LoadPicture_Stream(gif));
    EXPECT_EQ(image.Handle(), 0u);
}

TEST(Loading, AFailedLoadEmptiesTheBuffer) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(4, 4));
    EXPECT_FALSE(image.LoadPicture_Stream(std::vector<uint8_t>(100, 7)));
    EXPECT_EQ(image.Handle(), 0u);
    EXPECT_EQ(image.ImageType(), quenda::IMAGE_NONE);
}
