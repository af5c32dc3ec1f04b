#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "CliRunner.h"
#include "imaging/ByteOrder.h"
#include "support/BmpBuilder.h"
#include "support/GifBuilder.h"
#include "support/RLEBuilder.h"
#include "support/TestFiles.h"

namespace {

using DecodeRun = clitest::CliRun;

DecodeRun Decode(const std::string& args) {
    return clitest::Cli("decode " + args);
}

class DecodeCommand : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir = testsupport::MakeTempDir("zorix-decode");
};

}  // namespace

TEST_F(DecodeCommand, PalettedBitmapWritesOpaqueHeldBytes) {
    testsupport::BmpBuilder b;
    b.width = 3;
    b.height = 2;
    b.bitsPerPixel = 8;
    b.palette = {{1, 2, 3}, {250, 128, 7}};
    b.pixelData = testsupport::PackRows(3, 2, 8, {0, 1, 0, 1, 1, 0}, false);
    // Named like a GIF: the library looks at the data only.
    const std::string in = testsupport::WriteBytes(dir + "/in.gif", b.Build());
    const DecodeRun r = Decode("'" + in + "' -o '" + dir + "/out.bmp'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "{\"ok\": true, \"width\": 3, \"height\": 2, \"alpha\": false, "
              "\"image_type\": 1}\n");
    const std::vector<uint8_t> out = testsupport::ReadBytes(dir + "/out.bmp");
    ASSERT_EQ(out.size(), 54u + 24u);
    EXPECT_EQ(quenda::bytes::ReadLE16(out.data() + 28), 32);
    // Bottom row first: pixels 1, 1, 0.
    const std::vector<uint8_t> bottom = {7, 128, 250, 255, 7, 128, 250, 255, 3, 2, 1, 255};
    EXPECT_TRUE(std::equal(bottom.begin(), bottom.end(), out.begin() + 54));
}

TEST_F(DecodeCommand, TransparentGifKeepsItsAlpha) {
    testsupport::GifBuilder g;
    g.screenWidth = g.screenHeight = 8;
    g.globalTable = {{9, 9, 9}, {200, 100, 50}};
    testsupport::GifFrame f;
    f.width = f.height = 8;
    f.indices.assign(64, 1);
    f.indices[0] = 0;
    f.transparent = 0;
    g.frames.push_back(f);
    std::vector<uint8_t> file = g.Build();
    file.resize(std::max<size_t>(file.size(), 64), 0);
    const std::string in = testsupport::WriteBytes(dir + "/t.gif", file);
    const DecodeRun r = Decode("'" + in + "' -o '" + dir + "/t.bmp'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "{\"ok\": true, \"width\": 8, \"height\": 8, \"alpha\": true, "
              "\"image_type\": 9}\n");
    const std::vector<uint8_t> out = testsupport::ReadBytes(dir + "/t.bmp");
    ASSERT_EQ(out.size(), 54u + 256u);
    // Top-left pixel is the first of the last row.
    const size_t topLeft = 54 + 7 * 8 * 4;
    EXPECT_EQ(out[topLeft + 3], 0);
    EXPECT_EQ(out[topLeft + 4], 50);
    EXPECT_EQ(out[topLeft + 7], 255);
}

TEST_F(DecodeCommand, FailuresWriteNothing) {
    const std::string junk =
        testsupport::WriteBytes(dir + "/junk.bmp", std::vector<uint8_t>(80, 1));
    const DecodeRun r = Decode("'" + junk + "' -o '" + dir + "/never.bmp'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "{\"ok\": false, \"width\": 0, \"height\": 0, \"alpha\": false, "
              "\"image_type\": 0}\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/never.bmp"));
    EXPECT_EQ(Decode("'" + junk + "'").status, 2);
    EXPECT_EQ(Decode("-o x.bmp").status, 2);
    EXPECT_EQ(Decode("a b -o x.bmp").status, 2);
}
