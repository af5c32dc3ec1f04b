#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "imaging/ByteOrder.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"
#include "support/RLEBuilder.h"

using quenda::c32bppDIB;
namespace bytes = quenda::bytes;

namespace {

void Fill3x2(c32bppDIB& dib) {
    ASSERT_TRUE(dib.InitializeDIB(3, 2));
    dib.SetPixel(0, 0, 0x00102030, 255);
    dib.SetPixel(2, 1, 0x00FFFFFF, 128);
}

}  // namespace

TEST(BitmapWriter, TwentyFourBitRowsArePadded) {
    c32bppDIB dib;
    Fill3x2(dib);
    dib.setAlpha(false);
    std::vector<uint8_t> out;
    ASSERT_TRUE(dib.SaveToStream(out));
    ASSERT_EQ(out.size(), 78u);
    EXPECT_EQ(out[0], 'B');
    EXPECT_EQ(bytes::ReadLE32(&out[2]), 78u);
    EXPECT_EQ(bytes::ReadLE32(&out[10]), 54u);
    EXPECT_EQ(bytes::ReadLE32(&out[14]), 40u);
    EXPECT_EQ(bytes::ReadLE32(&out[18]), 3u);
    EXPECT_EQ(bytes::ReadLE32(&out[22]), 2u);
    EXPECT_EQ(bytes::ReadLE16(&out[28]), 24);
    EXPECT_EQ(bytes::ReadLE32(&out[34]), 24u);
    // Bottom row first: its third pixel is the half-transparent white, written as
    // its premultiplied colour over black.
    EXPECT_EQ(out[54 + 6], 128);
    EXPECT_EQ(out[54 + 9], 0);  // padding
    // Top row: the colour 0x102030 as blue, green, red.
    EXPECT_EQ(out[54 + 12], 0x10);
    EXPECT_EQ(out[54 + 13], 0x20);
    EXPECT_EQ(out[54 + 14], 0x30);
}

TEST(BitmapWriter, ThirtyTwoBitRowsAreTheBufferBytes) {
    c32bppDIB dib;
    Fill3x2(dib);
    std::vector<uint8_t> out;
    ASSERT_TRUE(dib.SaveToStream(out));
    ASSERT_EQ(out.size(), 78u);
    EXPECT_EQ(bytes::ReadLE16(&out[28]), 32);
    EXPECT_TRUE(std::equal(out.begin() + 54, out.end(), dib.BitsPointer()));
}

TEST(BitmapWriter, FileMembersRespectThePrompt) {
    c32bppDIB dib;
    Fill3x2(dib);
    const std::string dir = testsupport::MakeTempDir("zorix-bmpw");
    const std::string path = dir + "/x.bmp";
    std::vector<uint8_t> file;

    EXPECT_FALSE(c32bppDIB().SaveToFile(path));
    EXPECT_FALSE(dib.SaveToFile(""));
    ASSERT_TRUE(dib.SaveToFile(path, true));  // nothing to overwrite yet
    ASSERT_TRUE(quenda::fileio::ReadWholeFile(path, file));
    EXPECT_EQ(file.size(), 78u);

    std::ofstream(path, std::ios::trunc) << "keep me";
    EXPECT_FALSE(dib.SaveToFile(path, true));  // no prompt answers No
    std::string asked;
    dib.setOverwritePrompt([&](const std::string& text, const std::string& title) {
        asked = title + ": " + text;
        return false;
    });
    EXPECT_FALSE(dib.SaveToFile(path, true));
    EXPECT_EQ(asked, "Overwrite Confirmation: Overwrite existing file?");
    ASSERT_TRUE(quenda::fileio::ReadWholeFile(path, file));
    EXPECT_EQ(std::string(file.begin(), file.end()), "keep me");

    EXPECT_TRUE(dib.SaveToFile(path, false));
    ASSERT_TRUE(quenda::fileio::ReadWholeFile(path, file));
    EXPECT_EQ(file.size(), 78u);
    std::filesystem::remove_all(dir);
}
