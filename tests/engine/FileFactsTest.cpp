#include <gtest/gtest.h>

#include "engine/FileFacts.h"
#include "engine/ZorixImgEngine.h"

using namespace quenda;

TEST(FileFacts, SizeText) {
    EXPECT_EQ(FormatFileSizeText(1000), "1000 Bytes");
    EXPECT_EQ(FormatFileSizeText(1536), "1.5 KB");
    EXPECT_EQ(FormatFileSizeText(1048576), "1 MB");
    EXPECT_EQ(FormatFileSizeText(0), "0 Bytes");
    EXPECT_EQ(FormatFileSizeText(1024), "1 KB");
    EXPECT_EQ(FormatFileSizeText(1023), "1023 Bytes");
    // 1100 / 1024 = 1.07421875 -> 1.0742 -> 1.07
    EXPECT_EQ(FormatFileSizeText(1100), "1.07 KB");
    // 1 GB and beyond the largest unit stays in TB.
    EXPECT_EQ(FormatFileSizeText(uint64_t{1} << 30), "1 GB");
    EXPECT_EQ(FormatFileSizeText(uint64_t{1} << 50), "1024 TB");
}

TEST(FileFacts, SizeTextRoundsHalvesToEven) {
    EXPECT_EQ(FormatFileSizeText(1029), "1 KB");     // 1.0049 rounds down
    EXPECT_EQ(FormatFileSizeText(1152), "1.12 KB");  // 1.125: half, to even
    EXPECT_EQ(FormatFileSizeText(1408), "1.38 KB");  // 1.375: half, to even
}

TEST(FileFacts, NamesAndExtensions) {
    EXPECT_EQ(TrimBlanks("  /a/b c.bmp "), "/a/b c.bmp");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(FileNamePart("/a/b/logo.bmp"), "logo.bmp");
    EXPECT_EQ(FileNamePart("logo.bmp"), "logo.bmp");
    EXPECT_EQ(FolderPart("/a/b/logo.bmp"), "/a/b/");
    EXPECT_EQ(FolderPart("logo.bmp"), "");
    EXPECT_EQ(FolderPart("/a/b/"), "/a/b/");
    EXPECT_EQ(UpperExtension("/a.b/logo.Png"), "PNG");
    EXPECT_EQ(UpperExtension("/a.b/logo"), "");
    EXPECT_EQ(ReplaceExtension("/x/pic", "png"), "/x/pic.png");
    EXPECT_EQ(ReplaceExtension("/x.y/pic", "png"), "/x.y/pic.png");
    EXPECT_EQ(ReplaceExtension("/x/out.png", "bmp"), "/x/out.bmp");
}

TEST(FileFacts, DestinationExtensionRule) {
    EXPECT_EQ(ZorixImgEngine::DestinationPath("out.png", IS_BMP_24), "out.bmp");
    EXPECT_EQ(ZorixImgEngine::DestinationPath("out.BMP", IS_BMP_RL), "out.BMP");
    EXPECT_EQ(ZorixImgEngine::DestinationPath("pic.jpeg", IS_JPG), "pic.jpeg");
    EXPECT_EQ(ZorixImgEngine::DestinationPath("pic.JPG", IS_JPG), "pic.JPG");
    EXPECT_EQ(ZorixImgEngine::DestinationPath("pic", IS_PNG), "pic.png");
    EXPECT_EQ(ZorixImgEngine::DestinationPath(" x.gif ", IS_JPG), "x.jpg");
    EXPECT_EQ(ZorixImgEngine::DestinationPath("a.PnG", IS_PNG), "a.PnG");
    EXPECT_EQ(ZorixImgEngine::DestinationPath("a.jpeg", IS_PNG), "a.png");
    EXPECT_EQ(ZorixImgEngine::DestinationPath("a.jpeg", IS_BMP_32), "a.bmp");
    EXPECT_EQ(ZorixImgEngine::DestinationPath("a.gif", IS_AUTO), "a.gif");
}
