#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "codecs/cICOparser.h"
#include "imaging/ByteOrder.h"
#include "imaging/c32bppDIB.h"

using namespace quenda;

namespace {

using Px = std::array<uint8_t, 4>;

Px At(const c32bppDIB& img, int32_t x, int32_t y) {
    const uint8_t* p = img.BitsPointer() + img.PixelOffset(x, y);
    return {p[0], p[1], p[2], p[3]};
}

size_t RowBytes(int32_t width, int32_t depth) {
    return (width * depth + 31) / 32 * 4;
}

// One bitmap image as an icon stores it: header with doubled height, palette,
// colour bits (bottom row first), AND mask.
struct BitmapImage {
    int32_t width = 1;
    int32_t height = 1;
    int32_t depth = 32;
    std::vector<uint8_t> palette;  // 4 bytes per entry
    std::vector<uint8_t> bits;     // colour rows as stored
    std::vector<uint8_t> mask;     // mask rows as stored (empty: all clear)

    std::vector<uint8_t> Build() const {
        std::vector<uint8_t> out(40, 0);
        bytes::WriteLE32(&out[0], 40);
        bytes::WriteLE32(&out[4], static_cast<uint32_t>(width));
        bytes::WriteLE32(&out[8], static_cast<uint32_t>(height * 2));
        bytes::WriteLE16(&out[12], 1);
        bytes::WriteLE16(&out[14], static_cast<uint16_t>(depth));
        out.insert(out.end(), palette.begin(), palette.end());
        std::vector<uint8_t> colour = bits;
        colour.resize(RowBytes(width, depth) * height, 0);
        out.insert(out.end(), colour.begin(), colour.end());
        std::vector<uint8_t> m = mask;
        m.resize(RowBytes(width, 1) * height, 0);
        out.insert(out.end(), m.begin(), m.end());
        return out;
    }
};

struct IconEntry {
    uint8_t width = 0, height = 0;
    uint16_t directoryBits = 32;
    std::vector<uint8_t> data;
};

std::vector<uint8_t> BuildIcon(const std::vector<IconEntry>& entries, uint16_t type = 1) {
    std::vector<uint8_t> out(6, 0);
    bytes::WriteLE16(&out[2], type);
    bytes::WriteLE16(&out[4], static_cast<uint16_t>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
    for (const IconEntry& e : entries) {
        out.push_back(e.width);
        out.push_back(e.height);
        out.push_back(0);
        out.push_back(0);
        bytes::AppendLE16(out, 1);
        bytes::AppendLE16(out, e.directoryBits);
        bytes::AppendLE32(out, static_cast<uint32_t>(e.data.size()));
        bytes::AppendLE32(out, offset);
        offset += static_cast<uint32_t>(e.data.size());
    }
    for (const IconEntry& e : entries) {
        out.insert(out.end(), e.data.begin(), e.data.end());
    }
    return out;
}

// A 32-bit image of a size, every pixel the given B, G, R, A.
IconEntry Solid32(int32_t side, Px pixel) {
    BitmapImage img;
    img.width = img.height = side;
    for (int32_t i = 0; i < side * side; ++i) {
        img.bits.insert(img.bits.end(), pixel.begin(), pixel.end());
    }
    return {static_cast<uint8_t>(side & 0xFF), static_cast<uint8_t>(side & 0xFF), 32, img.Build()};
}

}  // namespace

TEST(IcoReader, PicksExactSizeAtOnce) {
    const auto icon = BuildIcon(
        {Solid32(16, {1, 1, 1, 255}), Solid32(32, {2, 2, 2, 255}), Solid32(48, {3, 3, 3, 255})});
    c32bppDIB host;
    cICOparser parser;
    ASSERT_TRUE(parser.LoadStream(icon, 32, 32, &host, 0, 0, 32));
    EXPECT_EQ(host.Width(), 32);
    EXPECT_EQ(At(host, 0, 0), (Px{2, 2, 2, 255}));
    EXPECT_EQ(parser.IconCount(), 3);
    EXPECT_TRUE(host.Alpha()) << "32-bit icons always carry the alpha flag";
    EXPECT_EQ(host.ImageType(), IMAGE_ICON_ALPHA);
}

TEST(IcoReader, SecondPassPicksTheLargestOfSmallerEntries) {
    const auto icon = BuildIcon(
        {Solid32(16, {1, 1, 1, 255}), Solid32(48, {3, 3, 3, 255}), Solid32(32, {2, 2, 2, 255})});
    c32bppDIB host;
    ASSERT_TRUE(cICOparser().LoadStream(icon, 64, 64, &host, 0, 0, 32));
    EXPECT_EQ(host.Width(), 48);
    // Defaults of 32 for sizes below 1.
    ASSERT_TRUE(cICOparser().LoadStream(icon, 0, -5, &host, 0, 0, 32));
    EXPECT_EQ(host.Width(), 32);
    // A larger entry beats a smaller one at the same distance.
    ASSERT_TRUE(cICOparser().LoadStream(icon, 40, 40, &host, 0, 0, 32));
    EXPECT_EQ(host.Width(), 48);
}

TEST(IcoReader, WidthByteZeroMeans256) {
    BitmapImage img;
    img.width = 256;
    img.height = 1;
    img.bits.assign(256 * 4, 200);
    const auto icon = BuildIcon({{0, 1, 32, img.Build()}});
    c32bppDIB host;
    cICOparser parser;
    ASSERT_TRUE(parser.LoadStream(icon, 0, 0, &host));
    EXPECT_EQ(parser.Width(1), 256);
    EXPECT_EQ(host.Width(), 256);
    EXPECT_EQ(host.Height(), 1);
}

TEST(IcoReader, ThirtyTwoBitAlphaIsPremultiplied) {
    BitmapImage img;
    img.width = 3;
    img.bits = {200, 100, 50, 128, 9, 9, 9, 0, 1, 2, 3, 255};
    const auto icon = BuildIcon({{3, 1, 32, img.Build()}});
    c32bppDIB host;
    ASSERT_TRUE(cICOparser().LoadStream(icon, 0, 0, &host));
    EXPECT_EQ(At(host, 0, 0), (Px{200 * 128 / 255, 100 * 128 / 255, 50 * 128 / 255, 128}));
    EXPECT_EQ(At(host, 1, 0), (Px{0, 0, 0, 0}));
    EXPECT_EQ(At(host, 2, 0), (Px{1, 2, 3, 255}));
}

TEST(IcoReader, FourBitWithClearMaskHasNoAlpha) {
    BitmapImage img;
    img.width = 2;
    img.height = 2;
    img.depth = 4;
    img.palette.assign(16 * 4, 0);
    img.palette[4 * 1 + 2] = 255;               // entry 1 red
    img.palette[4 * 2 + 1] = 255;               // entry 2 green
    img.bits = {0x12, 0, 0, 0, 0x21, 0, 0, 0};  // bottom row: 1, 2; top row: 2, 1
    const auto icon = BuildIcon({{2, 2, 4, img.Build()}});
    c32bppDIB host;
    cICOparser parser;
    ASSERT_TRUE(parser.LoadStream(icon, 0, 0, &host));
    EXPECT_FALSE(host.Alpha());
    EXPECT_EQ(host.ImageType(), IMAGE_ICON);
    EXPECT_EQ(At(host, 0, 1), (Px{0, 0, 255, 255}));
    EXPECT_EQ(At(host, 1, 1), (Px{0, 255, 0, 255}));
    EXPECT_EQ(At(host, 0, 0), (Px{0, 255, 0, 255}));
    EXPECT_EQ(parser.bitDepth(1), 4);
    EXPECT_EQ(parser.ColorCount(1), 16);
    EXPECT_EQ(parser.ColorByteOffset(1), 6u + 16 + 40 + 64);
    EXPECT_FALSE(parser.IsIconPNG(1));
}

TEST(IcoReader, MaskBitsMakePixelsTransparent) {
    BitmapImage img;
    img.width = 9;  // mask rows of 4 bytes, colour rows of 12 (8-bit) bytes
    img.height = 1;
    img.depth = 8;
    img.palette.assign(256 * 4, 0);
    img.palette[7 * 4] = 90;
    img.bits.assign(9, 7);
    img.mask = {0x80, 0x80, 0, 0};  // columns 0 and 8
    const auto icon = BuildIcon({{9, 1, 8, img.Build()}});
    c32bppDIB host;
    ASSERT_TRUE(cICOparser().LoadStream(icon, 0, 0, &host));
    EXPECT_TRUE(host.Alpha());
    EXPECT_EQ(At(host, 0, 0), (Px{0, 0, 0, 0}));
    EXPECT_EQ(At(host, 1, 0), (Px{90, 0, 0, 255}));
    EXPECT_EQ(At(host, 8, 0), (Px{0, 0, 0, 0}));
}

TEST(IcoReader, OtherDepthsConvertLikeBitmaps) {
    // 1 bit: black and white palette.
    BitmapImage one;
    one.width = 3;
    one.depth = 1;
    one.palette = {0, 0, 0, 0, 255, 255, 255, 0};
    one.bits = {0xA0, 0, 0, 0};  // 1 0 1
    // 16 bit 5-5-5.
    BitmapImage sixteen;
    sixteen.width = 1;
    sixteen.depth = 16;
    const uint16_t v = 31 | (0 << 5) | (16 << 10);
    sixteen.bits = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    // 24 bit.
    BitmapImage rgb;
    rgb.width = 1;
    rgb.depth = 24;
    rgb.bits = {10, 20, 30};
    c32bppDIB host;
    ASSERT_TRUE(cICOparser().LoadStream(BuildIcon({{3, 1, 1, one.Build()}}), 0, 0, &host));
    EXPECT_EQ(At(host, 0, 0), (Px{255, 255, 255, 255}));
    EXPECT_EQ(At(host, 1, 0), (Px{0, 0, 0, 255}));
    ASSERT_TRUE(cICOparser().LoadStream(BuildIcon({{1, 1, 16, sixteen.Build()}}), 0, 0, &host));
    EXPECT_EQ(At(host, 0, 0), (Px{255, 0, 132, 255}));
    ASSERT_TRUE(cICOparser().LoadStream(BuildIcon({{1, 1, 24, rgb.Build()}}), 0, 0, &host));
    EXPECT_EQ(At(host, 0, 0), (Px{10, 20, 30, 255}));
}

TEST(IcoReader, CursorsDecodeLikeIcons) {
    BitmapImage img;
    img.width = 1;
    img.bits = {5, 6, 7, 255};
    IconEntry entry{1, 1, 13, img.Build()};  // hotspot y in the bit-count field
    c32bppDIB host;
    ASSERT_TRUE(cICOparser().LoadStream(BuildIcon({entry}, 2), 0, 0, &host));
    EXPECT_EQ(host.ImageType(), IMAGE_CURSOR_ALPHA);
    EXPECT_EQ(At(host, 0, 0), (Px{5, 6, 7, 255}));
    img.depth = 24;
    img.bits = {5, 6, 7};
    ASSERT_TRUE(cICOparser().LoadStream(BuildIcon({{1, 1, 0, img.Build()}}, 2), 0, 0, &host));
    EXPECT_EQ(host.ImageType(), IMAGE_CURSOR);
}

TEST(IcoReader, PngEntryGoesThroughThePngReader) {
    c32bppDIB source;
    ASSERT_TRUE(source.InitializeDIB(256, 256));
    for (int32_t y = 0; y < 256; ++y) {
        for (int32_t x = 0; x < 256; ++x) {
            source.SetPixel(x, y, x | (y << 8), (x + y) % 256);
        }
    }
    std::vector<uint8_t> png;
    ASSERT_TRUE(source.SaveToStream_PNG(png));
    const auto icon = BuildIcon({Solid32(16, {1, 1, 1, 255}), {0, 0, 32, png}});
    c32bppDIB host;
    cICOparser parser;
    ASSERT_TRUE(parser.LoadStream(icon, 256, 256, &host, 0, 0, 32));
    EXPECT_TRUE(parser.IsIconPNG(2));
    EXPECT_EQ(parser.Width(2), 256);
    ASSERT_EQ(host.Width(), 256);
    EXPECT_EQ(host.ImageType(), IMAGE_ICON_PNG);
    EXPECT_EQ(At(host, 200, 55), At(source, 200, 55));  // opaque
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(At(host, 10, 20)[c], At(source, 10, 20)[c], 1);  // straight in the file
    }
    // Depth from IHDR when the directory says 0.
    const auto zeroBits = BuildIcon({{0, 0, 0, png}});
    ASSERT_TRUE(parser.LoadStream(zeroBits, 0, 0, nullptr));
    EXPECT_EQ(parser.bitDepth(1), 32);
    // A damaged PNG entry: not an icon.
    std::vector<uint8_t> broken = png;
    broken[12] = 'X';
    c32bppDIB other;
    EXPECT_FALSE(cICOparser().LoadStream(BuildIcon({{0, 0, 32, broken}}), 0, 0, &other));
}

TEST(IcoReader, RejectsBadDirectories) {
    const auto good = BuildIcon({Solid32(2, {1, 2, 3, 255})});
    c32bppDIB host;
    ASSERT_TRUE(cICOparser().LoadStream(good, 0, 0, &host));
    auto expectNotIcon = [](std::vector<uint8_t> bytes) {
        c32bppDIB h;
        ASSERT_TRUE(h.InitializeDIB(1, 1));
        EXPECT_FALSE(cICOparser().LoadStream(bytes, 0, 0, &h));
        EXPECT_NE(h.Handle(), 0u) << "host untouched";
    };
    auto bad = good;
    bad[0] = 1;  // reserved
    expectNotIcon(bad);
    bad = good;
    bad[2] = 3;  // type
    expectNotIcon(bad);
    bad = good;
    bad[4] = 0;  // no entries
    expectNotIcon(bad);
    bad = good;
    bad[4] = 200;  // more entries than bytes
    expectNotIcon(bad);
    bad = good;
    bytes::WriteLE32(&bad[6 + 8], 0x7FFFFFFF);  // bytes in resource past the end
    expectNotIcon(bad);
    expectNotIcon({0, 0, 1, 0, 1});
}

TEST(IcoReader, DamagedEntriesLeaveTheHostEmpty) {
    auto icon = BuildIcon({Solid32(4, {1, 2, 3, 255})});
    // Image offset past the end.
    auto bad = icon;
    bytes::WriteLE32(&bad[6 + 12], 0xFFFFFFF0u);
    c32bppDIB host;
    EXPECT_TRUE(cICOparser().LoadStream(bad, 0, 0, &host));
    EXPECT_EQ(host.Handle(), 0u);
    // A 4-bit image whose stated size leaves no room for its mask.
    BitmapImage img;
    img.width = img.height = 8;
    img.depth = 4;
    img.palette.assign(64, 0);
    auto data = img.Build();
    data.resize(data.size() - 20);
    EXPECT_TRUE(cICOparser().LoadStream(BuildIcon({{8, 8, 4, data}}), 0, 0, &host));
    EXPECT_EQ(host.Handle(), 0u);
    // Absurd header size.
    data = img.Build();
    bytes::WriteLE32(&data[0], 0x7FFFFFFF);
    EXPECT_TRUE(cICOparser().LoadStream(BuildIcon({{8, 8, 4, data}}), 0, 0, &host));
    EXPECT_EQ(host.Handle(), 0u);
}

TEST(IcoReader, ThroughTheReaderChain) {
    const auto icon = BuildIcon({Solid32(16, {1, 1, 1, 255}), Solid32(32, {2, 2, 2, 255})});
    c32bppDIB img;
    ASSERT_TRUE(img.LoadPicture_Stream(icon, 16, 16));
    EXPECT_EQ(img.Width(), 16);
    ASSERT_TRUE(img.LoadPicture_Stream(icon));
    EXPECT_EQ(img.Width(), 32);
}
