#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "codecs/cPNGparser.h"
#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

namespace {

// A 3 x 2 device bitmap with one transparent pixel.
std::string WriteDeviceBitmap(const std::string& dir) {
    testsupport::RLEBuilder b;
    b.width = 3;
    b.height = 2;
    b.colors = {0xF800, 0x07E0};
    b.rows = {testsupport::EncodeCodesRow({1, 2, 0}), testsupport::EncodeCodesRow({2, 2, 1})};
    const std::vector<uint8_t> bytes = b.Build();
    const std::string path = dir + "/device.bmp";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

}  // namespace

TEST(EnginePng, SavesTheHeldImageAsPng) {
    const std::string dir = testsupport::MakeTempDir("enginepng");
    quenda::ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(WriteDeviceBitmap(dir)));
    const std::string target = dir + "/picture.jpg";
    std::ofstream(dir + "/picture.png") << "to be replaced";
    ASSERT_TRUE(engine.SaveImageAs(target, quenda::IS_PNG));
    EXPECT_FALSE(std::filesystem::exists(target));

    std::ifstream file(dir + "/picture.png", std::ios::binary);
    std::vector<uint8_t> png((std::istreambuf_iterator<char>(file)), {});
    quenda::c32bppDIB back;
    uint32_t token = 0;
    ASSERT_TRUE(quenda::cPNGparser().LoadStream(png, back, 0, png.size(), token));
    const quenda::c32bppDIB* held = engine.Image();
    ASSERT_EQ(back.Width(), held->Width());
    ASSERT_EQ(back.Height(), held->Height());
    EXPECT_TRUE(std::equal(held->BitsPointer(), held->BitsPointer() + held->ByteCount(),
                           back.BitsPointer()));
    EXPECT_EQ(back.Alpha(), held->Alpha());
    // Only the PNG is left in the folder besides the source.
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) {
        ++files;
    }
    EXPECT_EQ(files, 2u);
}

TEST(EnginePng, LoadsPngFilesThroughTheReaderChain) {
    const std::string dir = testsupport::MakeTempDir("enginepng");
    quenda::ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(WriteDeviceBitmap(dir)));
    ASSERT_TRUE(engine.SaveImageAs(dir + "/round.png", quenda::IS_PNG));
    std::vector<uint8_t> held(engine.Image()->BitsPointer(),
                              engine.Image()->BitsPointer() + engine.Image()->ByteCount());

    quenda::ZorixImgEngine other;
    ASSERT_TRUE(other.LoadImage(dir + "/round.png"));
    EXPECT_EQ(other.ImageType(), quenda::IL_PNG);
    EXPECT_EQ(other.ImageTypeDesc(), "PNG");
    EXPECT_EQ(other.ImageWidth(), 3);
    EXPECT_EQ(other.ImageHeight(), 2);
    EXPECT_EQ(other.ImageHasAlpha(), engine.ImageHasAlpha());
    EXPECT_TRUE(std::equal(held.begin(), held.end(), other.Image()->BitsPointer()));

    // A damaged PNG fails the load and leaves the engine reset.
    std::ifstream in(dir + "/round.png", std::ios::binary);
    std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), {});
    png[png.size() - 20] ^= 0xFF;  // inside the IDAT data or its CRC
    std::ofstream(dir + "/bad.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    EXPECT_FALSE(other.LoadImage(dir + "/bad.png"));
    EXPECT_EQ(other.ImageType(), quenda::IL_UNKNOWN);
}

TEST(EnginePng, LibraryLoadsPngFromFilesAndArrays) {
    const std::string dir = testsupport::MakeTempDir("enginepng");
    quenda::ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(WriteDeviceBitmap(dir)));
    ASSERT_TRUE(engine.SaveImageAs(dir + "/a.png", quenda::IS_PNG));
    quenda::c32bppDIB fromFile;
    ASSERT_TRUE(fromFile.LoadPicture_File(dir + "/a.png"));
    EXPECT_EQ(fromFile.ImageType(), quenda::IMAGE_PNG);
    std::ifstream in(dir + "/a.png", std::ios::binary);
    std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), {});
    quenda::c32bppDIB fromArray;
    ASSERT_TRUE(fromArray.LoadPicture_Stream(png, 0, 0, 0, 0, true));
    std::vector<uint8_t> kept;
    ASSERT_TRUE(fromArray.GetOrginalFormat(kept));
    EXPECT_EQ(kept, png);
    EXPECT_TRUE(std::equal(fromFile.BitsPointer(), fromFile.BitsPointer() + fromFile.ByteCount(),
                           fromArray.BitsPointer()));
}
