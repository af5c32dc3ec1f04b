#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "codecs/cTGAparser.h"
#include "imaging/ByteOrder.h"
#include "imaging/c32bppDIB.h"

using namespace quenda;

namespace {

struct TgaSpec {
    uint8_t idLength = 0;
    uint8_t mapType = 0;
    uint8_t type = 2;
    int16_t first = 0;
    uint16_t mapLength = 0;
    uint8_t entrySize = 0;
    uint16_t width = 1;
    uint16_t height = 1;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
};

std::vector<uint8_t> Header(const TgaSpec& s) {
    std::vector<uint8_t> h(18, 0);
    h[0] = s.idLength;
    h[1] = s.mapType;
    h[2] = s.type;
    bytes::WriteLE16(&h[3], static_cast<uint16_t>(s.first));
    bytes::WriteLE16(&h[5], s.mapLength);
    h[7] = s.entrySize;
    bytes::WriteLE16(&h[12], s.width);
    bytes::WriteLE16(&h[14], s.height);
    h[16] = s.depth;
    h[17] = s.descriptor;
    h.resize(18 + s.idLength, 'i');
    return h;
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<uint8_t> Footer(uint32_t extensionOffset) {
    std::vector<uint8_t> f(26, 0);
    bytes::WriteLE32(&f[0], extensionOffset);
    std::memcpy(&f[8], "TRUEVISION-XFILE.", 17);
    return f;
}

// Premultiplied B, G, R, A of the pixel at (x, y) from the top.
std::array<uint8_t, 4> At(const c32bppDIB& img, int32_t x, int32_t y) {
    const uint8_t* p = img.BitsPointer() + img.PixelOffset(x, y);
    return {p[0], p[1], p[2], p[3]};
}

using Px = std::array<uint8_t, 4>;

// A 3 x 2 picture in 24 bits, stored bottom row first: top row R G B, bottom row
// white, black, grey.
std::vector<uint8_t> SixPixels24() {
    return {255, 255, 255, 0, 0,   0, 128, 128, 128,  // bottom row
            0,   0,   255, 0, 255, 0, 255, 0,   0};   // top row
}

void ExpectSixPixels(const c32bppDIB& img) {
    ASSERT_EQ(img.Width(), 3);
    ASSERT_EQ(img.Height(), 2);
    EXPECT_EQ(At(img, 0, 0), (Px{0, 0, 255, 255}));
    EXPECT_EQ(At(img, 1, 0), (Px{0, 255, 0, 255}));
    EXPECT_EQ(At(img, 2, 0), (Px{255, 0, 0, 255}));
    EXPECT_EQ(At(img, 0, 1), (Px{255, 255, 255, 255}));
    EXPECT_EQ(At(img, 2, 1), (Px{128, 128, 128, 255}));
}

}  // namespace

TEST(TgaReader, TinyFileLoadsAndOneByteShortDoesNot) {
    TgaSpec s;
    s.idLength = 1;
    const auto bytes = Concat(Header(s), {10, 20, 30});
    c32bppDIB img;
    ASSERT_TRUE(cTGAparser().LoadStream(bytes, img));
    EXPECT_EQ(At(img, 0, 0), (Px{10, 20, 30, 255}));
    EXPECT_EQ(img.ImageType(), IMAGE_TGA);
    EXPECT_FALSE(img.Alpha());
    const std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 1);
    c32bppDIB other;
    EXPECT_FALSE(cTGAparser().LoadStream(cut, other));
    EXPECT_EQ(other.Handle(), 0u);
}

TEST(TgaReader, BottomUpAndTopDownLoadAlike) {
    TgaSpec s;
    s.width = 3;
    s.height = 2;
    c32bppDIB bottomUp, topDown;
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Header(s), SixPixels24()), bottomUp));
    ExpectSixPixels(bottomUp);
    s.descriptor = 0x20;
    std::vector<uint8_t> rows = SixPixels24();
    std::rotate(rows.begin(), rows.begin() + 9, rows.end());  // top row first
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Header(s), rows), topDown));
    ExpectSixPixels(topDown);
}

TEST(TgaReader, RightToLeftRowsAreMirroredIntoPlace) {
    TgaSpec s;
    s.width = 3;
    s.height = 2;
    s.descriptor = 0x10;
    std::vector<uint8_t> rows = SixPixels24();
    for (size_t row = 0; row < 2; ++row) {
        std::swap_ranges(rows.begin() + row * 9, rows.begin() + row * 9 + 3,
                         rows.begin() + row * 9 + 6);
    }
    c32bppDIB img;
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Header(s), rows), img));
    ExpectSixPixels(img);
}

TEST(TgaReader, RunLengthMatchesRawTwin) {
    TgaSpec s;
    s.type = 10;
    s.width = 3;
    s.height = 2;
    // Bottom row: literal white, black, grey; top row: literal R G B.
    std::vector<uint8_t> packets = {2, 255, 255, 255, 0, 0,   0, 128, 128, 128,
                                    2, 0,   0,   255, 0, 255, 0, 255, 0,   0};
    c32bppDIB img;
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Header(s), packets), img));
    ExpectSixPixels(img);
    // One run packet across both rows of a solid image.
    packets = {0x85, 7, 8, 9};
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Header(s), packets), img));
    EXPECT_EQ(At(img, 0, 0), (Px{7, 8, 9, 255}));
    EXPECT_EQ(At(img, 2, 1), (Px{7, 8, 9, 255}));
}

TEST(TgaReader, PacketsPastTheImageNeverWriteOutside) {
    TgaSpec s;
    s.type = 10;
    s.width = 2;
    s.height = 1;
    // A run of 128 for a 2-pixel image, then a literal of 128 that is not there.
    c32bppDIB img;
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Header(s), {0xFF, 1, 2, 3, 0x7F, 1}), img));
    EXPECT_EQ(At(img, 1, 0), (Px{1, 2, 3, 255}));
}

TEST(TgaReader, TruncatedRunLengthDataEmptiesTheHost) {
    TgaSpec s;
    s.type = 10;
    s.width = 4;
    s.height = 4;
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(1, 1));
    EXPECT_FALSE(cTGAparser().LoadStream(Concat(Header(s), {0x83, 1, 2, 3, 0x01, 5}), img));
    EXPECT_EQ(img.Handle(), 0u);
    // A huge declared size with a few bytes is refused before any memory is taken.
    s.width = 0xFFFF;
    s.height = 0xFFFF;
    EXPECT_FALSE(cTGAparser().LoadStream(Concat(Header(s), {0xFF, 1, 2, 3, 0xFF, 1, 2, 3}), img));
}

TEST(TgaReader, SixteenBitTransparencyBit) {
    TgaSpec s;
    s.depth = 16;
    s.width = 2;
    s.descriptor = 1;  // one alpha bit
    std::vector<uint8_t> pixels = {0xFF, 0x7F, 0xFF, 0xFF};
    c32bppDIB img;
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Header(s), pixels), img));
    EXPECT_EQ(At(img, 0, 0), (Px{255, 255, 255, 255}));
    EXPECT_EQ(At(img, 1, 0), (Px{0, 0, 0, 0}));
    EXPECT_TRUE(img.Alpha());

    // An extension area saying "no alpha" turns the bit off.
    const auto head = Concat(Header(s), pixels);
    std::vector<uint8_t> ext(495, 0);
    bytes::WriteLE16(&ext[0], 495);
    ext[494] = 0;
    auto file = Concat(Concat(head, ext), Footer(static_cast<uint32_t>(head.size())));
    ASSERT_TRUE(cTGAparser().LoadStream(file, img));
    EXPECT_EQ(At(img, 1, 0), (Px{255, 255, 255, 255}));
    EXPECT_FALSE(img.Alpha());
    // Attributes type 3 keeps it.
    file[head.size() + 494] = 3;
    ASSERT_TRUE(cTGAparser().LoadStream(file, img));
    EXPECT_EQ(At(img, 1, 0), (Px{0, 0, 0, 0}));
}

TEST(TgaReader, FiveBitChannelsExpand) {
    TgaSpec s;
    s.depth = 15;
    // blue 1, green 2, red 31
    const uint16_t v = 1 | (2 << 5) | (31 << 10);
    c32bppDIB img;
    ASSERT_TRUE(cTGAparser().LoadStream(
        Concat(Header(s), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}), img));
    EXPECT_EQ(At(img, 0, 0), (Px{9, 18, 255, 255}));
}

TEST(TgaReader, ColourMapPlacedFromFirstEntry) {
    TgaSpec s;
    s.type = 1;
    s.mapType = 1;
    s.first = 2;
    s.mapLength = 2;
    s.entrySize = 24;
    s.depth = 8;
    s.width = 3;
    const std::vector<uint8_t> map = {1, 2, 3, 4, 5, 6};
    c32bppDIB img;
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Concat(Header(s), map), {2, 3, 200}), img));
    EXPECT_EQ(At(img, 0, 0), (Px{1, 2, 3, 255}));
    EXPECT_EQ(At(img, 1, 0), (Px{4, 5, 6, 255}));
    EXPECT_EQ(At(img, 2, 0), (Px{0, 0, 0, 0}));  // no entry there
    // 32-bit entries keep their alpha; type 9 runs select entries too.
    s.type = 9;
    s.entrySize = 32;
    const std::vector<uint8_t> map32 = {0, 0, 0, 0, 10, 20, 30, 40};
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Concat(Header(s), map32), {0x82, 3}), img));
    EXPECT_EQ(At(img, 2, 0)[3], 40);
    EXPECT_TRUE(img.Alpha());
}

TEST(TgaReader, RejectsBadHeaders) {
    const std::vector<uint8_t> pixel = {1, 2, 3, 4, 5, 6, 7, 8};
    auto refused = [&](TgaSpec s) {
        c32bppDIB img;
        ASSERT_TRUE(img.InitializeDIB(1, 1));
        EXPECT_FALSE(cTGAparser().LoadStream(Concat(Header(s), pixel), img));
        EXPECT_NE(img.Handle(), 0u) << "host must stay untouched";
    };
    TgaSpec s;
    s.type = 4;
    refused(s);
    s = {};
    s.type = 1;  // colour-mapped without a map
    s.depth = 8;
    refused(s);
    s.mapType = 1;
    s.mapLength = 1;
    s.entrySize = 24;
    s.first = -3;
    refused(s);
    s.first = 0;
    s.depth = 16;  // indices must be 8 bits
    refused(s);
    s = {};
    s.width = 0;
    refused(s);
    s = {};
    s.depth = 12;
    refused(s);
    s = {};
    s.mapType = 1;
    s.mapLength = 0;
    s.entrySize = 24;
    refused(s);
}

TEST(TgaReader, GreyAndStraightAlpha) {
    TgaSpec s;
    s.type = 3;
    s.depth = 8;
    c32bppDIB img;
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Header(s), {77}), img));
    EXPECT_EQ(At(img, 0, 0), (Px{77, 77, 77, 255}));
    s.type = 2;
    s.depth = 32;
    s.width = 2;
    s.descriptor = 8;
    ASSERT_TRUE(cTGAparser().LoadStream(Concat(Header(s), {200, 100, 50, 128, 1, 2, 3, 255}), img));
    EXPECT_EQ(At(img, 0, 0), (Px{200 * 128 / 255, 100 * 128 / 255, 50 * 128 / 255, 128}));
    EXPECT_TRUE(img.Alpha());
}

namespace {

void FillPattern(c32bppDIB& img, bool withAlpha) {
    for (int32_t y = 0; y < img.Height(); ++y) {
        for (int32_t x = 0; x < img.Width(); ++x) {
            const int32_t colour = (x / 3 * 40) | ((y * 30) << 8) | (90 << 16);
            img.SetPixel(x, y, colour, withAlpha ? (x * 37 + y) % 256 : 255);
        }
    }
    img.setAlpha(withAlpha);
}

}  // namespace

TEST(TgaWriter, RoundTripsEveryForm) {
    for (int withAlpha = 0; withAlpha < 2; ++withAlpha) {
        for (int options = 0; options < 8; ++options) {
            const bool premul = options & 1, compress = options & 2, reduce = options & 4;
            c32bppDIB img;
            ASSERT_TRUE(img.InitializeDIB(17, 5));
            FillPattern(img, withAlpha);
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(img.SaveToStream_TGA(bytes, compress, reduce, premul));
            c32bppDIB back;
            ASSERT_TRUE(cTGAparser().LoadStream(bytes, back)) << withAlpha << " " << options;
            ASSERT_EQ(back.Width(), 17);
            EXPECT_EQ(back.Alpha(), img.Alpha());
            for (int32_t y = 0; y < 5; ++y) {
                for (int32_t x = 0; x < 17; ++x) {
                    const Px a = At(img, x, y), b = At(back, x, y);
                    for (int c = 0; c < 4; ++c) {
                        // Straight alpha loses at most one step when premultiplied again.
                        ASSERT_NEAR(a[c], b[c], (withAlpha && !premul) ? 1 : 0)
                            << withAlpha << " " << options << " at " << x << "," << y;
                    }
                }
            }
            const bool coded = (bytes[2] & 8) != 0;
            // Runs of three equal opaque pixels make coding pay off; varying alpha does not.
            EXPECT_EQ(coded, compress && !withAlpha);
        }
    }
}

TEST(TgaWriter, SmallImagesAreNeverCompressed) {
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(2, 2));
    FillPattern(img, false);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(img.SaveToStream_TGA(bytes, true));
    EXPECT_EQ(bytes[2], 2);
    EXPECT_EQ(bytes.size(), 18u + 4 * 3 + 26);
}

TEST(TgaWriter, BitReductionChoosesMapOrGrey) {
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(20, 10));
    for (int32_t i = 0; i < 200; ++i) {
        img.SetPixel(i % 20, i / 20, i * 1000, 255);
    }
    img.setAlpha(false);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(img.SaveToStream_TGA(bytes, false, true));
    EXPECT_EQ(bytes[1], 1);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes::ReadLE16(&bytes[5]), 200);
    EXPECT_EQ(bytes[7], 24);
    EXPECT_EQ(bytes[16], 8);
    EXPECT_EQ(bytes.size(), 18u + 200 * 3 + 200 + 26);

    for (int32_t i = 0; i < 200; ++i) {
        const int32_t v = i;
        img.SetPixel(i % 20, i / 20, v | (v << 8) | (v << 16), 255);
    }
    ASSERT_TRUE(img.SaveToStream_TGA(bytes, false, true));
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 3);
    EXPECT_EQ(bytes[16], 8);
    c32bppDIB back;
    ASSERT_TRUE(cTGAparser().LoadStream(bytes, back));
    EXPECT_EQ(At(back, 7, 3), (Px{67, 67, 67, 255}));

    // More than 256 colours: plain 24 bits.
    for (int32_t i = 0; i < 200; ++i) {
        img.SetPixel(i % 20, i / 20, i * 3 + 1000, 255);
    }
    img.SetPixel(0, 0, 5, 255);
    ASSERT_TRUE(img.SaveToStream_TGA(bytes, false, true));
    EXPECT_EQ(bytes[2], 1);  // still 200 colours
}

TEST(TgaWriter, PremultipliedAlphaGetsExtensionArea) {
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(4, 2));
    FillPattern(img, true);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(img.SaveToStream_TGA(bytes, false, false, true));
    ASSERT_GE(bytes.size(), 495u + 26);
    const size_t footer = bytes.size() - 26;
    EXPECT_EQ(bytes[footer - 1], 4);
    const uint32_t ext = bytes::ReadLE32(&bytes[footer]);
    EXPECT_EQ(ext, 18u + 4 * 2 * 4);
    EXPECT_EQ(bytes::ReadLE16(&bytes[ext]), 495);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[ext + 426])),
              "Morvane v32odaVUV Irada");
    EXPECT_EQ(bytes::ReadLE16(&bytes[ext + 467]), 3);
    EXPECT_EQ(bytes[ext + 469], 1);
    EXPECT_EQ(bytes::ReadLE32(&bytes[ext + 470]), 0xFFFFFFFFu);
    EXPECT_EQ(bytes[17], 8);
    EXPECT_EQ(std::memcmp(&bytes[footer + 8], "TRUEVISION-XFILE.", 18), 0);
    // Straight alpha: no extension area.
    ASSERT_TRUE(img.SaveToStream_TGA(bytes, false, false, false));
    EXPECT_EQ(bytes::ReadLE32(&bytes[bytes.size() - 26]), 0u);
}

TEST(TgaWriter, FileMembers) {
    c32bppDIB empty;
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(empty.SaveToStream_TGA(bytes));
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(3, 3));
    FillPattern(img, false);
    EXPECT_FALSE(img.SaveToFile_TGA(""));
    const auto path = std::filesystem::temp_directory_path() / "zorix_tga_writer_test.tga";
    std::filesystem::remove(path);
    ASSERT_TRUE(img.SaveToFile_TGA(path, true));
    ASSERT_TRUE(img.SaveToStream_TGA(bytes, true));
    EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
    // Prompting with no one to answer means No: the file stays.
    EXPECT_FALSE(img.SaveToFile_TGA(path, false, false, false, true));
    img.setOverwritePrompt([](const std::string& text, const std::string& title) {
        return text == "Overwrite existing file?" && title == "Overwrite Confirmation";
    });
    EXPECT_TRUE(img.SaveToFile_TGA(path, false, false, false, true));
    EXPECT_GT(std::filesystem::file_size(path), bytes.size());
    std::filesystem::remove(path);
}

TEST(TgaReader, ThroughTheReaderChainAfterEveryOtherReader) {
    c32bppDIB img;
    ASSERT_TRUE(img.InitializeDIB(6, 4));
    FillPattern(img, true);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(img.SaveToStream_TGA(bytes, true, false, true));
    c32bppDIB loaded;
    ASSERT_TRUE(loaded.LoadPicture_Stream(bytes, 0, 0, 0, 0, true));
    EXPECT_EQ(loaded.ImageType(), IMAGE_TGA);
    EXPECT_EQ(At(loaded, 5, 3), At(img, 5, 3));
    std::vector<uint8_t> kept;
    EXPECT_TRUE(loaded.GetOrginalFormat(kept));
    EXPECT_EQ(kept, bytes);
}

namespace {

std::string TgaKindAndOffset(const std::vector<uint8_t>& file) {
    c32bppDIB img;
    EXPECT_FALSE(img.LoadPicture_Stream(file));
    EXPECT_EQ(img.Handle(), 0u);
    const quenda::Failure& why = img.LastFailure();
    return std::string(quenda::FailureKindName(why.kind)) + "@" + std::to_string(why.offset);
}

}  // namespace

TEST(TgaReaderFailure, CutRawPixelsAreTruncatedWhereThePixelsStart) {
    TgaSpec s;
    s.width = 3;
    s.height = 2;
    s.idLength = 5;
    std::vector<uint8_t> file = Concat(Header(s), SixPixels24());
    c32bppDIB img;
    ASSERT_TRUE(img.LoadPicture_Stream(file));
    file.pop_back();
    // The pixels' span, checked once, starts after the header and the id field.
    EXPECT_EQ(TgaKindAndOffset(file), "truncated@23");
}

TEST(TgaReaderFailure, CutPacketsAreTruncatedAtThePacketThatRunsOut) {
    TgaSpec s;
    s.type = 10;
    s.width = 4;
    s.height = 1;
    // A run of two, then a literal packet of two whose second pixel is cut: the
    // literal pixels' span starts after the second packet byte, at 18 + 4 + 1.
    const std::vector<uint8_t> packets = {0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8};
    EXPECT_EQ(TgaKindAndOffset(Concat(Header(s), packets)), "truncated@23");
    // Too few bytes for the declared size at all: refused at the data's end.
    s.width = 0xFFFF;
    s.height = 0xFFFF;
    const std::vector<uint8_t> few = Concat(Header(s), {0xFF, 1, 2, 3, 0xFF, 1, 2, 3});
    EXPECT_EQ(TgaKindAndOffset(few), "truncated@" + std::to_string(few.size()));
}

TEST(TgaReaderFailure, DataThatIsNoTgaLeavesNoTgaReason) {
    // A cut bitmap also reads as a plausible TGA header; the bitmap's reason stands.
    std::vector<uint8_t> bmp(60, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bytes::WriteLE32(&bmp[14], 40);
    bytes::WriteLE32(&bmp[18], 4);
    bytes::WriteLE32(&bmp[22], 4);
    bytes::WriteLE16(&bmp[26], 1);
    bytes::WriteLE16(&bmp[28], 24);
    bytes::WriteLE32(&bmp[10], 54);
    EXPECT_EQ(TgaKindAndOffset(bmp), "truncated@60");
    EXPECT_EQ(TgaKindAndOffset(std::vector<uint8_t>(10, 0)), "@0");
}
