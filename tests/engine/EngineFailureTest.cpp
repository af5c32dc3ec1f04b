#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "codecs/ZlibBinding.h"
#include "engine/ZorixImgEngine.h"
#include "support/BmpBuilder.h"
#include "support/DamagedPng.h"
#include "support/GifBuilder.h"
#include "support/RLEBuilder.h"
#include "support/ScratchFiles.h"

namespace {

using quenda::FailureKind;
using testsupport::PngDamage;

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> SmallGif() {
    testsupport::GifBuilder b;
    b.screenWidth = 16;
    b.screenHeight = 16;
    b.globalTable = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};
    testsupport::GifFrame f;
    f.width = 16;
    f.height = 16;
    for (int i = 0; i < 256; ++i) {
        f.indices.push_back(static_cast<uint8_t>((i * 7 + i / 5) % 4));
    }
    b.frames = {f};
    return b.Build();
}

testsupport::BmpBuilder SmallBmp() {
    testsupport::BmpBuilder b;
    b.width = 5;
    b.height = 4;
    b.pixelData = testsupport::PackRows(5, 4, 24, std::vector<uint32_t>(20, 0x00AABBCC), false);
    return b;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t by) {
    bytes.resize(bytes.size() - by);
    return bytes;
}

// A device bitmap whose second row names a colour beyond its palette.
std::vector<uint8_t> DeviceBitmapWithMissingColour() {
    testsupport::RLEBuilder b;
    b.width = 3;
    b.height = 2;
    b.colors = {0xF800, 0x07E0};
    b.rows = {testsupport::EncodeCodesRow({1, 2, 1}), testsupport::EncodeCodesRow({2, 9, 1})};
    return b.Build();
}

struct LoadCase {
    const char* name;
    std::vector<uint8_t> bytes;
    FailureKind kind;
    size_t offset;  // checked for truncated data only
};

std::vector<LoadCase> LoadCases() {
    const std::vector<uint8_t> cutPng = testsupport::DamagedPng(PngDamage::CutInIdat);
    const std::vector<uint8_t> cutGif = Cut(SmallGif(), 4);  // inside the image data
    const std::vector<uint8_t> cutBmp = Cut(SmallBmp().Build(), 7);
    testsupport::BmpBuilder tall = SmallBmp();
    tall.height = 1 << 21;
    std::vector<LoadCase> cases = {
        {"cut.png", cutPng, FailureKind::Truncated, testsupport::ChunkData(cutPng, "IDAT")},
        {"cut.gif", cutGif, FailureKind::Truncated, cutGif.size()},
        {"cut.bmp", cutBmp, FailureKind::Truncated, cutBmp.size()},
        {"wide.png", testsupport::DamagedPng(PngDamage::ZeroWidth), FailureKind::Malformed, 0},
        {"laced.png", testsupport::DamagedPng(PngDamage::Interlace2), FailureKind::Unsupported, 0},
        {"huge.png", testsupport::DamagedPng(PngDamage::HugeSize), FailureKind::TooLarge, 0},
        {"tall.bmp", tall.Build(), FailureKind::TooLarge, 0},
        {"colour.bmp", DeviceBitmapWithMissingColour(), FailureKind::Malformed, 0},
        {"empty.png", {}, FailureKind::Truncated, 0},
        {"text.png", {'h', 'e', 'l', 'l', 'o'}, FailureKind::NotAnImage, 0},
    };
    // CRCs are checked only with zlib.
    if (quenda::zlib::IsEnabled()) {
        cases.push_back({"crc.png", testsupport::DamagedPng(PngDamage::FlippedIdat),
                         FailureKind::ChecksumMismatch, 0});
    }
    return cases;
}

class EngineFailure : public ::testing::Test {
  protected:
    void SetUp() override { dir = testsupport::MakeTempDir("enginefailure"); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
    quenda::ZorixImgEngine engine;
};

}  // namespace

// Every damaged file fails with its own kind, and the reason is that failure's text.
TEST_F(EngineFailure, EachDamagedFileFailsWithItsKind) {
    for (const LoadCase& c : LoadCases()) {
        const std::string path = dir + "/" + c.name;
        WriteAll(path, c.bytes);
        EXPECT_FALSE(engine.LoadImage(path)) << c.name;
        const quenda::Failure& failure = engine.LastFailure();
        EXPECT_EQ(failure.kind, c.kind) << c.name << ": " << failure.Text();
        if (c.kind == FailureKind::Truncated && !c.bytes.empty()) {
            EXPECT_EQ(failure.offset, c.offset) << c.name;
        }
        EXPECT_EQ(engine.LastFailureReason(), failure.Text()) << c.name;
        EXPECT_FALSE(engine.LastFailureReason().empty()) << c.name;
    }
}

TEST_F(EngineFailure, FilesThatCannotBeReadSayWhichWay) {
    EXPECT_FALSE(engine.LoadImage(dir + "/none.png"));
    EXPECT_EQ(engine.LastFailure().kind, FailureKind::CannotRead);
    EXPECT_EQ(engine.LastFailureReason(), "the file does not exist");
    EXPECT_FALSE(engine.LoadImage(dir));
    EXPECT_EQ(engine.LastFailure().kind, FailureKind::NotARegularFile);
    if (testsupport::MakeFifo(dir + "/fifo.png")) {
        EXPECT_FALSE(engine.LoadImage(dir + "/fifo.png"));
        EXPECT_EQ(engine.LastFailure().kind, FailureKind::NotARegularFile);
    }
}

TEST_F(EngineFailure, AGoodLoadAfterABadOneLeavesNoFailure) {
    WriteAll(dir + "/cut.png", testsupport::DamagedPng(PngDamage::CutInIdat));
    WriteAll(dir + "/good.png", testsupport::DamagedPng(PngDamage::None));
    EXPECT_FALSE(engine.LoadImage(dir + "/cut.png"));
    EXPECT_TRUE(engine.LastFailure());
    EXPECT_TRUE(engine.LoadImage(dir + "/good.png"));
    EXPECT_FALSE(engine.LastFailure());
    EXPECT_TRUE(engine.LastFailureReason().empty());
}

TEST_F(EngineFailure, SavingWithoutAnImageOrToAFolderFailsWithItsKind) {
    EXPECT_FALSE(engine.SaveImageAs(dir + "/x.png", quenda::IS_PNG));
    EXPECT_EQ(engine.LastFailure().kind, FailureKind::NoImage);
    WriteAll(dir + "/good.png", testsupport::DamagedPng(PngDamage::None));
    ASSERT_TRUE(engine.LoadImage(dir + "/good.png"));
    EXPECT_FALSE(engine.SaveImageAs(dir + "/x.png", 9));
    EXPECT_EQ(engine.LastFailure().kind, FailureKind::Unsupported);
    std::filesystem::create_directory(dir + "/folder.bmp");
    EXPECT_FALSE(engine.SaveImageAs(dir + "/folder.bmp", quenda::IS_BMP_24));
    EXPECT_EQ(engine.LastFailure().kind, FailureKind::NotARegularFile);
    EXPECT_FALSE(engine.SaveImageAs(dir + "/good.png/x.jpg", quenda::IS_JPG));
    EXPECT_EQ(engine.LastFailure().kind, FailureKind::CannotWrite);
}
