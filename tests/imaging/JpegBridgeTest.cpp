#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "imaging/ImageTypes.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "support/RLEBuilder.h"
#include "support/TestFiles.h"

using quenda::c32bppDIB;

namespace {

// Left half red, right half blue, top row green: shows orientation.
void Paint(c32bppDIB& image, int32_t w, int32_t h) {
    ASSERT_TRUE(image.InitializeDIB(w, h));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t colour = y < 8 ? 0x0000FF00 : (x < w / 2 ? 0x000000FF : 0x00FF0000);
            image.SetPixel(x, y, colour, 255);
        }
    }
    image.setAlpha(false);
}

bool Near(int32_t colour, int32_t expected, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (colour >> shift) & 0xFF;
        const int b = (expected >> shift) & 0xFF;
        if (std::abs(a - b) > tolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace

TEST(JpegBridge, WrittenJpegReadsBackUprightAsJfif) {
    c32bppDIB image;
    Paint(image, 64, 32);
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(image.SaveToStream_JPG(jpeg, 100));
    ASSERT_GT(jpeg.size(), 10u);
    const std::vector<uint8_t> jfif = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'};
    EXPECT_TRUE(std::equal(jfif.begin(), jfif.end(), jpeg.begin()));

    c32bppDIB back;
    ASSERT_TRUE(back.LoadPicture_Stream(jpeg));
    ASSERT_EQ(back.Width(), 64);
    ASSERT_EQ(back.Height(), 32);
    EXPECT_TRUE(Near(back.GetPixel(10, 2), 0x0000FF00, 8));
    EXPECT_TRUE(Near(back.GetPixel(5, 20), 0x000000FF, 8));
    EXPECT_TRUE(Near(back.GetPixel(60, 30), 0x00FF0000, 8));
    EXPECT_FALSE(back.Alpha());
    for (int y = 0; y < 32; y += 7) {
        uint8_t alpha = 0;
        back.GetPixel(y * 2, y, &alpha);
        EXPECT_EQ(alpha, 255);
    }
}

TEST(JpegBridge, QualityIsClampedTo30Through100) {
    c32bppDIB image;
    Paint(image, 40, 40);
    std::vector<uint8_t> q10, q30, q250, q100, q60;
    ASSERT_TRUE(image.SaveToStream_JPG(q10, 10));
    ASSERT_TRUE(image.SaveToStream_JPG(q30, 30));
    ASSERT_TRUE(image.SaveToStream_JPG(q250, 250));
    ASSERT_TRUE(image.SaveToStream_JPG(q100, 100));
    ASSERT_TRUE(image.SaveToStream_JPG(q60, 60));
    EXPECT_EQ(q10, q30);
    EXPECT_EQ(q250, q100);
    EXPECT_NE(q60, q30);
    EXPECT_EQ(quenda::cGDIPlus::ClampJpegQuality(-5), 30);
    EXPECT_EQ(quenda::cGDIPlus::ClampJpegQuality(77), 77);
}

TEST(JpegBridge, TransparentPixelsAreWrittenWithTheirStraightColour) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(16, 16));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            image.SetPixel(x, y, 0x00FFFFFF, 64);  // white at quarter opacity
        }
    }
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(image.SaveToStream_JPG(jpeg, 100));
    c32bppDIB back;
    ASSERT_TRUE(back.LoadPicture_Stream(jpeg));
    EXPECT_TRUE(Near(back.GetPixel(8, 8), 0x00FFFFFF, 4));
}

TEST(JpegBridge, FileRulesOverwriteAndEmptyImage) {
    const std::string dir = testsupport::MakeTempDir("jpeg");
    const std::string path = dir + "/out.jpg";
    c32bppDIB empty;
    EXPECT_FALSE(empty.SaveToFile_JPG(path, 100, false));
    EXPECT_FALSE(std::filesystem::exists(path));
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(empty.SaveToStream_JPG(bytes, 100));

    c32bppDIB image;
    Paint(image, 8, 8);
    EXPECT_FALSE(image.SaveToFile_JPG("", 100, false));
    testsupport::WriteBytes(path, {1, 2, 3});
    // Answering No keeps the old file.
    image.setOverwritePrompt([](const std::string& text, const std::string& title) {
        EXPECT_EQ(text, "Overwrite existing file?");
        EXPECT_EQ(title, "Overwrite Confirmation");
        return false;
    });
    EXPECT_FALSE(image.SaveToFile_JPG(path, 100, true));
    EXPECT_EQ(std::filesystem::file_size(path), 3u);
    // Without prompting the file is replaced.
    ASSERT_TRUE(image.SaveToFile_JPG(path, 100, false));
    c32bppDIB back;
    ASSERT_TRUE(back.LoadPicture_File(path));
    EXPECT_EQ(back.Width(), 8);
}

TEST(JpegBridge, BridgeLoadsJpegAsImageType10AndRefusesPng) {
    c32bppDIB image;
    Paint(image, 8, 8);
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(image.SaveToStream_JPG(jpeg, 80));
    quenda::cGDIPlus bridge;
    c32bppDIB loaded;
    ASSERT_TRUE(bridge.LoadPicture(jpeg.data(), jpeg.size(), loaded, 0));
    EXPECT_EQ(loaded.ImageType(), quenda::IMAGE_PNG);
    EXPECT_FALSE(loaded.Alpha());
    std::vector<uint8_t> png;
    EXPECT_FALSE(bridge.SaveToPNG({}, png, image, 0));
    const std::vector<uint8_t> pngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0};
    EXPECT_FALSE(bridge.LoadPicture(pngSignature.data(), pngSignature.size(), loaded, 0));
    EXPECT_EQ(loaded.Handle(), 0u);
}

TEST(JpegBridge, TokensAreHandedOutAndReleased) {
    c32bppDIB image;
    const uint32_t token = image.CreateGDIplusToken();
    EXPECT_NE(token, 0u);
    EXPECT_TRUE(image.DestroyGDIplusToken(token));
    EXPECT_FALSE(image.DestroyGDIplusToken(0));
    EXPECT_TRUE(image.isGDIplusEnabled());
}
