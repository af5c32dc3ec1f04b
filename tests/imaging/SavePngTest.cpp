#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "codecs/cPNGparser.h"
#include "codecs/ZlibBinding.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

using quenda::c32bppDIB;

namespace {

void MakeImage(c32bppDIB& image) {
    ASSERT_TRUE(image.InitializeDIB(5, 3));
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            image.SetPixel(x, y, static_cast<uint32_t>(x * 40 + (y * 70 << 8) + (x * y << 16)),
                           255);
        }
    }
    image.setAlpha(false);
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), {});
}

bool SamePixels(const c32bppDIB& a, const c32bppDIB& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.BitsPointer(), a.BitsPointer() + a.ByteCount(), b.BitsPointer());
}

bool Contains(const std::vector<uint8_t>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// The image a PNG holds, read by the library's own reader.
bool ReadsBackAs(const std::vector<uint8_t>& png, const c32bppDIB& expected) {
    c32bppDIB image;
    uint32_t token = 0;
    quenda::cPNGparser().LoadStream(png, image, 0, png.size(), token);
    return SamePixels(image, expected);
}

}  // namespace

TEST(SavePng, StreamAndFileHoldTheImage) {
    c32bppDIB image;
    MakeImage(image);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(image.SaveToStream_PNG(bytes));
    EXPECT_TRUE(ReadsBackAs(bytes, image));

    const auto dir = std::filesystem::path(testsupport::MakeTempDir("savepng"));
    const auto path = dir / "out.png";
    ASSERT_TRUE(image.SaveToFile_PNG(path));
    EXPECT_EQ(ReadFile(path), bytes);
}

TEST(SavePng, FailsWithoutImageNameOrZlib) {
    c32bppDIB empty;
    std::vector<uint8_t> bytes = {1};
    EXPECT_FALSE(empty.SaveToStream_PNG(bytes));
    EXPECT_TRUE(bytes.empty());
    const auto dir = std::filesystem::path(testsupport::MakeTempDir("savepng"));
    EXPECT_FALSE(empty.SaveToFile_PNG(dir / "a.png"));

    c32bppDIB image;
    MakeImage(image);
    EXPECT_FALSE(image.SaveToFile_PNG(""));
    // Neither the platform bridge nor the own writer can write PNG without zlib here.
    quenda::zlib::SetDisabledForTesting(true);
    EXPECT_FALSE(image.SaveToFile_PNG(dir / "b.png"));
    EXPECT_FALSE(image.SaveToStream_PNG(bytes));
    quenda::zlib::SetDisabledForTesting(false);
    EXPECT_FALSE(std::filesystem::exists(dir / "b.png"));
    EXPECT_TRUE(std::filesystem::is_empty(dir)) << "no partial or temporary file is left";
}

TEST(SavePng, OverwriteQuestion) {
    c32bppDIB image;
    MakeImage(image);
    const auto dir = std::filesystem::path(testsupport::MakeTempDir("savepng"));
    const auto path = dir / "old.png";
    std::ofstream(path) << "old contents";

    int asked = 0;
    image.setOverwritePrompt([&](const std::string& text, const std::string& title) {
        EXPECT_EQ(text, "Overwrite existing file?");
        EXPECT_EQ(title, "Overwrite Confirmation");
        ++asked;
        return false;
    });
    EXPECT_FALSE(image.SaveToFile_PNG(path, true));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFile(path),
              std::vector<uint8_t>({'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't', 's'}));
    EXPECT_TRUE(image.SaveToFile_PNG(path, false)) << "without prompting it replaces the file";
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ReadsBackAs(ReadFile(path), image));
}

TEST(SavePng, PropertiesAreHeldByTheBufferAndWritten) {
    c32bppDIB image;
    MakeImage(image);
    EXPECT_EQ(std::get<int64_t>(image.PngPropertyGet(quenda::PNGP_BACKGROUND)), -1);
    EXPECT_EQ(std::get<quenda::PngDate>(image.PngPropertyGet(quenda::PNGP_MODIFIED_TIME)),
              quenda::PngDate{});
    EXPECT_TRUE(std::holds_alternative<std::monostate>(image.PngPropertyGet(quenda::PNGP_TITLE)));
    EXPECT_FALSE(image.PngPropertySet(quenda::PNGP_TITLE)) << "nothing to remove yet";

    ASSERT_TRUE(image.PngPropertySet(quenda::PNGP_TITLE, std::string("Holiday")));
    ASSERT_TRUE(image.PngPropertySet(quenda::PNGP_CUSTOM, std::string("Zorix"), "Made with"));
    EXPECT_EQ(std::get<std::string>(image.PngPropertyGet(quenda::PNGP_TITLE)), "Holiday");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(image.SaveToStream_PNG(bytes));
    EXPECT_TRUE(Contains(bytes, std::string("tEXtTitle\0Holiday", 17)));
    EXPECT_TRUE(Contains(bytes, std::string("tEXtMade with\0Zorix", 19)));
    EXPECT_TRUE(ReadsBackAs(bytes, image));

    EXPECT_TRUE(image.PngPropertySet(quenda::PNGP_TITLE));
    ASSERT_TRUE(image.SaveToStream_PNG(bytes));
    EXPECT_FALSE(Contains(bytes, "Holiday"));
    EXPECT_TRUE(Contains(bytes, "Made with"));

    EXPECT_TRUE(image.PngPropertySet(quenda::PNGP_CLEAR_ALL));
    ASSERT_TRUE(image.SaveToStream_PNG(bytes));
    EXPECT_FALSE(Contains(bytes, "Made with"));
    EXPECT_EQ(std::get<int64_t>(image.PngPropertyGet(quenda::PNGP_BACKGROUND)), -1);
    EXPECT_FALSE(image.PngPropertySet(quenda::PNGP_TITLE, std::monostate{}));
}
