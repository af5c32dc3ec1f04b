#include <gtest/gtest.h>

#include <fstream>

#include "engine/ZorixImgEngine.h"
#include "codecs/ZlibBinding.h"
#include "support/BmpBuilder.h"
#include "support/GifBuilder.h"
#include "support/RLEBuilder.h"

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A small PNG written by the engine from a device bitmap.
std::vector<uint8_t> MakePng(const std::string& dir) {
    testsupport::RLEBuilder b;
    b.width = 3;
    b.height = 2;
    b.colors = {0xF800, 0x07E0};
    b.rows = {testsupport::EncodeCodesRow({1, 2, 1}), testsupport::EncodeCodesRow({2, 2, 1})};
    WriteAll(dir + "/device.bmp", b.Build());
    quenda::ZorixImgEngine engine;
    EXPECT_TRUE(engine.LoadImage(dir + "/device.bmp"));
    EXPECT_TRUE(engine.SaveImageAs(dir + "/good.png", quenda::IS_PNG));
    return ReadAll(dir + "/good.png");
}

// Offset of the first byte of the first chunk of the given type's data.
size_t ChunkData(const std::vector<uint8_t>& png, const char* type) {
    size_t pos = 8;
    while (pos + 8 <= png.size()) {
        const uint32_t length = (uint32_t{png[pos]} << 24) | (uint32_t{png[pos + 1]} << 16) |
                                (uint32_t{png[pos + 2]} << 8) | png[pos + 3];
        if (std::equal(type, type + 4, png.begin() + pos + 4)) {
            return pos + 8;
        }
        pos += 12 + length;
    }
    return 0;
}

}  // namespace

TEST(LoadFailureReason, ADamagedIdatChunkIsReportedAsItsCrcMismatch) {
    if (!quenda::zlib::IsEnabled()) {
        GTEST_SKIP() << "CRCs are checked only with zlib";
    }
    const std::string dir = testsupport::MakeTempDir("loadreason");
    std::vector<uint8_t> png = MakePng(dir);
    const size_t idat = ChunkData(png, "IDAT");
    ASSERT_GT(idat, 0u);
    png[idat] ^= 0x5A;
    WriteAll(dir + "/bad.png", png);
    quenda::ZorixImgEngine engine;
    EXPECT_FALSE(engine.LoadImage(dir + "/bad.png"));
    EXPECT_EQ(engine.LastFailureReason(), "CRC mismatch in IDAT");
}

TEST(LoadFailureReason, ACutFileIsReportedAsTruncatedAtTheFirstMissingByte) {
    const std::string dir = testsupport::MakeTempDir("loadreason");
    std::vector<uint8_t> png = MakePng(dir);
    const size_t idat = ChunkData(png, "IDAT");
    ASSERT_GT(idat, 0u);
    // Cut inside the IDAT data: the chunk's data span is the read that fails.
    png.resize(idat + 2);
    WriteAll(dir + "/cut.png", png);
    quenda::ZorixImgEngine engine;
    EXPECT_FALSE(engine.LoadImage(dir + "/cut.png"));
    EXPECT_EQ(engine.LastFailureReason(), "truncated data at byte " + std::to_string(idat));
}

TEST(LoadFailureReason, AGoodLoadAfterABadOneLeavesNoReason) {
    const std::string dir = testsupport::MakeTempDir("loadreason");
    std::vector<uint8_t> png = MakePng(dir);
    WriteAll(dir + "/cut.png", std::vector<uint8_t>(png.begin(), png.begin() + 60));
    quenda::ZorixImgEngine engine;
    EXPECT_FALSE(engine.LoadImage(dir + "/cut.png"));
    EXPECT_FALSE(engine.LastFailureReason().empty());
    EXPECT_TRUE(engine.LoadImage(dir + "/good.png"));
    EXPECT_TRUE(engine.LastFailureReason().empty());
}

TEST(LoadFailureReason, ACutGifIsReportedAsTruncatedAtItsEnd) {
    const std::string dir = testsupport::MakeTempDir("loadreason");
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
    std::vector<uint8_t> gif = b.Build();
    ASSERT_GE(gif.size(), 70u);  // still above the smallest file the loader tries
    WriteAll(dir + "/good.gif", gif);
    quenda::ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(dir + "/good.gif"));
    gif.resize(gif.size() - 4);  // inside the image data's sub-blocks
    WriteAll(dir + "/cut.gif", gif);
    EXPECT_FALSE(engine.LoadImage(dir + "/cut.gif"));
    EXPECT_EQ(engine.LastFailureReason(), "truncated data at byte " + std::to_string(gif.size()));
}

// Big-endian 32-bit value at p.
void PutBE32(std::vector<uint8_t>& bytes, size_t p, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes[p + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
    }
}

TEST(LoadFailureReason, AHeaderAboveThePixelLimitIsReportedAsTooLarge) {
    const std::string dir = testsupport::MakeTempDir("loadreason");
    std::vector<uint8_t> png = MakePng(dir);
    const size_t ihdr = ChunkData(png, "IHDR");
    ASSERT_GT(ihdr, 0u);
    PutBE32(png, ihdr, 0x7FFFFFFF);
    PutBE32(png, ihdr + 4, 0x7FFFFFFF);
    PutBE32(png, ihdr + 13, 0);  // a stored CRC of 0 is not checked
    WriteAll(dir + "/huge.png", png);
    quenda::ZorixImgEngine engine;
    EXPECT_FALSE(engine.LoadImage(dir + "/huge.png"));
    EXPECT_EQ(engine.LastFailureReason(), "image size above the limit");
}

TEST(LoadFailureReason, ACutOrOversizedBitmapSaysWhyThroughTheEngine) {
    const std::string dir = testsupport::MakeTempDir("loadreason");
    testsupport::BmpBuilder b;
    b.width = 5;
    b.height = 4;
    b.pixelData = testsupport::PackRows(5, 4, 24, std::vector<uint32_t>(20, 0x00AABBCC), false);
    std::vector<uint8_t> bmp = b.Build();
    WriteAll(dir + "/good.bmp", bmp);
    quenda::ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(dir + "/good.bmp"));

    bmp.resize(bmp.size() - 7);
    WriteAll(dir + "/cut.bmp", bmp);
    EXPECT_FALSE(engine.LoadImage(dir + "/cut.bmp"));
    EXPECT_EQ(engine.LastFailureReason(), "truncated data at byte " + std::to_string(bmp.size()));

    b.height = 1 << 21;
    WriteAll(dir + "/tall.bmp", b.Build());
    EXPECT_FALSE(engine.LoadImage(dir + "/tall.bmp"));
    EXPECT_EQ(engine.LastFailureReason(), "image size above the limit");
}
