#include <gtest/gtest.h>

#include <vector>

#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

using namespace quenda;
using testsupport::RLEBuilder;

namespace {

// A device bitmap of width x height: every row is one run of code 1 (red).
std::string WriteSolidRLE(const std::string& name, int32_t width, int32_t height) {
    RLEBuilder b;
    b.width = width;
    b.height = height;
    b.colors = {0xF800};
    for (int32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> codes(static_cast<size_t>(width), 1);
        b.rows.push_back(testsupport::EncodeCodesRow(codes));
    }
    return testsupport::WriteTempFile(name, b.Build());
}

// 2 x 2 with alpha: opaque red, half-transparent blue / transparent, opaque red.
std::string WriteAlphaRLE() {
    RLEBuilder b;
    b.hasAlpha = true;
    b.width = 2;
    b.height = 2;
    b.colors = {0xF800, 0x001F};
    b.alphas = {0, 32, 16};
    b.rows = {{0x01, 0x02}, {0x00, 0x01}};
    return testsupport::WriteTempFile("picture_alpha.bmp", b.Build());
}

std::array<uint8_t, 4> At(const c32bppDIB& img, int32_t x, int32_t y) {
    const uint8_t* p = img.BitsPointer() + img.PixelOffset(x, y);
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace

TEST(EnginePicture, NoneWithoutImage) {
    ZorixImgEngine engine;
    EXPECT_EQ(engine.Picture(), nullptr);
    EXPECT_EQ(engine.Thumbnail(), nullptr);
    c32bppDIB dest;
    ASSERT_TRUE(dest.InitializeDIB(2, 2));
    EXPECT_FALSE(engine.Render(dest.LoadDIBinDC(true)));
}

TEST(EnginePicture, ComposesOverBackgroundColour) {
    ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(WriteAlphaRLE()));
    ASSERT_TRUE(engine.ImageHasAlpha());
    engine.setImageBgColor(0x0000FF00);  // green, 0x00BBGGRR
    const auto picture = engine.Picture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 2);
    EXPECT_EQ(picture->Height(), 2);
    EXPECT_FALSE(picture->Alpha());
    EXPECT_EQ(At(*picture, 0, 0), (std::array<uint8_t, 4>{0, 0, 255, 255}));
    // Blue at alpha 128: premultiplied 128, then s + d * (255 - 128) / 255.
    EXPECT_EQ(At(*picture, 1, 0), (std::array<uint8_t, 4>{128, 255 * 127 / 255, 0, 255}));
    EXPECT_EQ(At(*picture, 0, 1), (std::array<uint8_t, 4>{0, 255, 0, 255}));
    // The engine's own image is untouched.
    EXPECT_EQ(engine.Image()->GetPixel(0, 1), 0);
}

TEST(EngineThumbnail, SizeRule) {
    ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(WriteSolidRLE("thumb_tall.bmp", 100, 200)));
    auto t = engine.Thumbnail(64, 64, true);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Width(), 32);
    EXPECT_EQ(t->Height(), 64);
    t = engine.Thumbnail(64, 64, false);
    EXPECT_EQ(t->Width(), 64);
    EXPECT_EQ(t->Height(), 64);
    t = engine.Thumbnail();
    EXPECT_EQ(t->Width(), 64);
    // Drawn stretched: a solid image stays solid.
    EXPECT_EQ(At(*t, 63, 63), (std::array<uint8_t, 4>{0, 0, 255, 255}));

    ASSERT_TRUE(engine.LoadImage(WriteSolidRLE("thumb_wide.bmp", 200, 100)));
    t = engine.Thumbnail(64, 64, true);
    EXPECT_EQ(t->Width(), 64);
    EXPECT_EQ(t->Height(), 32);
    // 3 x 5 into 10 x 10: W = 10, H = nearest(16.67) = 17 > 10, so H = 10 and
    // W = nearest(10 * 10 / 17) = 6.
    ASSERT_TRUE(engine.LoadImage(WriteSolidRLE("thumb_odd.bmp", 3, 5)));
    t = engine.Thumbnail(10, 10, true);
    EXPECT_EQ(t->Width(), 6);
    EXPECT_EQ(t->Height(), 10);
    // Halves go to even.
    ASSERT_TRUE(engine.LoadImage(WriteSolidRLE("thumb_half.bmp", 4, 5)));
    t = engine.Thumbnail(2, 100, true);  // H = nearest(5 * 0.5 = 2.5) = 2
    EXPECT_EQ(t->Height(), 2);
    EXPECT_EQ(engine.Thumbnail(0, 10, false), nullptr);
}

TEST(EngineRender, DrawsOntoSurfaceAtFullOpacity) {
    ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(WriteAlphaRLE()));
    c32bppDIB dest;
    ASSERT_TRUE(dest.InitializeDIB(4, 4));
    EXPECT_TRUE(engine.Render(dest.LoadDIBinDC(true), 2, 2));
    EXPECT_EQ(At(dest, 2, 2), (std::array<uint8_t, 4>{0, 0, 255, 255}));
    EXPECT_EQ(At(dest, 1, 1), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    // Stretched and mirrored through the arguments.
    EXPECT_TRUE(engine.Render(dest.LoadDIBinDC(true), 0, 0, -4, 4));
    EXPECT_EQ(At(dest, 3, 0), (std::array<uint8_t, 4>{0, 0, 255, 255}));
}

TEST(EnginePicture, LoadedPngWithAlphaOverBackground) {
    c32bppDIB source;
    ASSERT_TRUE(source.InitializeDIB(3, 1));
    source.SetPixel(0, 0, 0x000000FF, 255);  // opaque red
    source.SetPixel(1, 0, 0x00FF0000, 0);    // transparent
    source.SetPixel(2, 0, 0x00FFFFFF, 255);
    const std::string path = testsupport::MakeTempDir("picture_png") + "/alpha.png";
    ASSERT_TRUE(source.SaveToFile_PNG(path));
    ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(path));
    ASSERT_TRUE(engine.ImageHasAlpha());
    engine.setImageBgColor(0x00102030);
    const auto picture = engine.Picture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(At(*picture, 0, 0), (std::array<uint8_t, 4>{0, 0, 255, 255}));
    EXPECT_EQ(At(*picture, 1, 0), (std::array<uint8_t, 4>{0x10, 0x20, 0x30, 255}));
    EXPECT_EQ(At(*picture, 2, 0), (std::array<uint8_t, 4>{255, 255, 255, 255}));
    const auto thumb = engine.Thumbnail(6, 6, true);
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->Width(), 6);
    EXPECT_EQ(thumb->Height(), 2);
    EXPECT_FALSE(thumb->Alpha());
}
