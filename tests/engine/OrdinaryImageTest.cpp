#include <gtest/gtest.h>

#include <filesystem>

#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "support/BmpBuilder.h"
#include "support/GifBuilder.h"
#include "support/RLEBuilder.h"
#include "support/TestFiles.h"

using quenda::ZorixImgEngine;
using testsupport::BmpBuilder;
using testsupport::PackRows;
using testsupport::WriteBytes;

namespace {

std::vector<uint8_t> Bitmap(uint16_t bits, const std::vector<uint32_t>& values) {
    BmpBuilder b;
    b.width = 4;
    b.height = 4;
    b.bitsPerPixel = bits;
    b.pixelData = PackRows(4, 4, bits, values, false);
    return b.Build();
}

std::vector<uint8_t> Gif(int transparent) {
    testsupport::GifBuilder g;
    g.screenWidth = g.screenHeight = 5;
    g.globalTable = {{200, 0, 0}, {0, 0, 200}};
    testsupport::GifFrame f;
    f.width = f.height = 5;
    f.indices.assign(25, 1);
    f.indices[0] = 0;
    f.transparent = transparent;
    g.frames.push_back(f);
    std::vector<uint8_t> file = g.Build();
    file.resize(std::max<size_t>(file.size(), 64), 0);
    return file;
}

class CountingEvents : public quenda::ZorixImgEngineEvents {
  public:
    int count = 0;
    void RLEDecodingStarted(const std::string&) override { ++count; }
    void RLEDecoding(const std::string&, float) override { ++count; }
    void RLEDecodingComplete(const std::string&, bool) override { ++count; }
};

class OrdinaryImages : public ::testing::Test {
  protected:
    std::string dir = testsupport::MakeTempDir("engine-ordinary");
};

}  // namespace

TEST_F(OrdinaryImages, PlainBitmapLoadsAsRgbWithoutDecodingEvents) {
    ZorixImgEngine engine;
    CountingEvents events;
    engine.Subscribe(&events);
    const std::string path =
        WriteBytes(dir + "/rgb.bmp", Bitmap(24, std::vector<uint32_t>(16, 0x102030)));
    ASSERT_TRUE(engine.LoadImage("  " + path + " "));
    EXPECT_EQ(engine.ImageType(), quenda::IL_BMP_24);
    EXPECT_EQ(engine.ImageTypeDesc(), "RGB Bitmap");
    EXPECT_FALSE(engine.ImageHasAlpha());
    EXPECT_EQ(engine.ImageWidth(), 4);
    EXPECT_EQ(events.count, 0);
    engine.Unsubscribe(&events);
}

TEST_F(OrdinaryImages, BitmapWithAlphaLoadsAsArgb) {
    std::vector<uint32_t> words(16, 0xFF102030);
    words[3] = 0x80402010;
    ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(WriteBytes(dir + "/argb.bmp", Bitmap(32, words))));
    EXPECT_EQ(engine.ImageType(), quenda::IL_BMP_32);
    EXPECT_TRUE(engine.ImageHasAlpha());

    // Saved as 24 bits the image loses its alpha flag, as the user asked.
    ASSERT_TRUE(engine.SaveImageAs(dir + "/flat.bmp", quenda::IS_BMP_24));
    EXPECT_FALSE(engine.ImageHasAlpha());
}

TEST_F(OrdinaryImages, GifLoadsWithTransparency) {
    ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(WriteBytes(dir + "/t.gif", Gif(0))));
    EXPECT_EQ(engine.ImageType(), quenda::IL_GIF);
    EXPECT_EQ(engine.ImageTypeDesc(), "GIF");
    EXPECT_TRUE(engine.ImageHasAlpha());
    uint8_t alpha = 1;
    EXPECT_EQ(engine.Image()->GetPixel(0, 0, &alpha), 0);
    EXPECT_EQ(alpha, 0);
    EXPECT_EQ(engine.Image()->GetPixel(1, 0, &alpha), 0x00C80000);

    ASSERT_TRUE(engine.LoadImage(WriteBytes(dir + "/o.gif", Gif(-1))));
    EXPECT_FALSE(engine.ImageHasAlpha());
}

TEST_F(OrdinaryImages, ContentMustMatchTheExtension) {
    ZorixImgEngine engine;
    EXPECT_FALSE(engine.LoadImage(WriteBytes(dir + "/gif.bmp", Gif(-1))));
    EXPECT_EQ(engine.ImageType(), quenda::IL_UNKNOWN);
    EXPECT_FALSE(
        engine.LoadImage(WriteBytes(dir + "/bmp.gif", Bitmap(24, std::vector<uint32_t>(16, 0)))));
    EXPECT_FALSE(
        engine.LoadImage(WriteBytes(dir + "/bmp.png", Bitmap(24, std::vector<uint32_t>(16, 0)))));
    EXPECT_FALSE(engine.ImageIsLoaded());
}

TEST_F(OrdinaryImages, JpegFilesAreNotLoadedByTheEngine) {
    ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(
        WriteBytes(dir + "/a.bmp", Bitmap(24, std::vector<uint32_t>(16, 0x445566)))));
    ASSERT_TRUE(engine.SaveImageAs(dir + "/a.jpg", quenda::IS_JPG));
    EXPECT_TRUE(engine.IsJPG(dir + "/a.jpg"));
    EXPECT_FALSE(engine.LoadImage(dir + "/a.jpg"));
    EXPECT_EQ(engine.FileName(), "");
}

TEST_F(OrdinaryImages, SavingJpegCorrectsTheExtensionAndReplacesOldFiles) {
    ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(WriteBytes(dir + "/g.gif", Gif(0))));
    WriteBytes(dir + "/auto.jpg", {1, 2, 3});
    ASSERT_TRUE(engine.SaveImageAs(dir + "/auto.png"));  // IS_AUTO from a GIF: JPEG
    EXPECT_TRUE(std::filesystem::exists(dir + "/auto.jpg"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/auto.png"));
    EXPECT_TRUE(engine.IsJPG(dir + "/auto.jpg"));
    ASSERT_TRUE(engine.SaveImageAs(dir + "/pic.jpeg", quenda::IS_JPG));
    EXPECT_TRUE(engine.IsJPG(dir + "/pic.jpeg"));
    EXPECT_EQ(engine.ImageType(), quenda::IL_GIF);
    EXPECT_EQ(engine.FileName(), "g.gif");

    quenda::c32bppDIB back;
    ASSERT_TRUE(back.LoadPicture_File(dir + "/pic.jpeg"));
    EXPECT_EQ(back.Width(), 5);
    // Leftover temporary files would show up beside the targets.
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 3u);
}
