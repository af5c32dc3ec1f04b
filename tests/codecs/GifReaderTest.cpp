#include <gtest/gtest.h>

#include "codecs/cGIFparser.h"
#include "imaging/ImageTypes.h"
#include "imaging/c32bppDIB.h"
#include "support/GifBuilder.h"

using quenda::c32bppDIB;
using testsupport::GifBuilder;
using testsupport::GifFrame;
using testsupport::Rgb;

namespace {

const std::vector<Rgb> kTable = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 255}};

std::vector<uint8_t> Pattern(int w, int h, int modulo) {
    std::vector<uint8_t> v(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < v.size(); ++i) {
        v[i] = static_cast<uint8_t>((i * 5 + i / 7) % modulo);
    }
    return v;
}

GifBuilder OneImage(int w, int h, const std::vector<uint8_t>& indices) {
    GifBuilder g;
    g.screenWidth = static_cast<uint16_t>(w);
    g.screenHeight = static_cast<uint16_t>(h);
    g.globalTable = kTable;
    GifFrame f;
    f.width = static_cast<uint16_t>(w);
    f.height = static_cast<uint16_t>(h);
    f.indices = indices;
    g.frames.push_back(f);
    return g;
}

bool Load(const std::vector<uint8_t>& file, c32bppDIB& image) {
    return quenda::cGIFparser().LoadStream(file, image, 0, file.size());
}

// Stored bytes B, G, R, A of the pixel at (x, y from the top).
std::array<uint8_t, 4> At(const c32bppDIB& image, int x, int y) {
    const uint8_t* p = image.BitsPointer() + image.PixelOffset(x, y);
    return {p[0], p[1], p[2], p[3]};
}

std::array<uint8_t, 4> Opaque(const Rgb& c) {
    return {c[2], c[1], c[0], 255};
}

void ExpectPicture(const c32bppDIB& image, int w, int h, const std::vector<uint8_t>& indices,
                   const std::vector<Rgb>& table, int transparent = -1) {
    ASSERT_EQ(image.Width(), w);
    ASSERT_EQ(image.Height(), h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t index = indices[y * w + x];
            const std::array<uint8_t, 4> expected =
                index == transparent ? std::array<uint8_t, 4>{0, 0, 0, 0} : Opaque(table[index]);
            ASSERT_EQ(At(image, x, y), expected) << x << "," << y;
        }
    }
}

}  // namespace

TEST(GifReader, OpaqueImageLoadsWithItsColours) {
    const auto indices = Pattern(37, 23, 4);
    c32bppDIB image;
    ASSERT_TRUE(Load(OneImage(37, 23, indices).Build(), image));
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.ImageType(), quenda::IMAGE_GIF);
    ExpectPicture(image, 37, 23, indices, kTable);
}

TEST(GifReader, TransparentIndexIsClearAndEqualColoursStayApart) {
    // Entries 2 and 3 are the same blue; only 3 is transparent.
    const auto indices = Pattern(16, 9, 4);
    GifBuilder g = OneImage(16, 9, indices);
    g.frames[0].transparent = 3;
    c32bppDIB image;
    ASSERT_TRUE(Load(g.Build(), image));
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.ImageType(), quenda::IMAGE_GIF);
    ExpectPicture(image, 16, 9, indices, kTable, 3);
}

TEST(GifReader, LaterControlExtensionReplacesAnEarlierOne) {
    GifBuilder g = OneImage(4, 4, Pattern(4, 4, 4));
    std::vector<uint8_t> file = g.Build();
    // A transparent control extension before the one without transparency.
    g.frames[0].controlWithoutTransparency = true;
    file = g.Build();
    const std::vector<uint8_t> transparentControl = {0x21, 0xF9, 4, 1, 0, 0, 1, 0};
    file.insert(file.begin() + 13 + 12, transparentControl.begin(), transparentControl.end());
    c32bppDIB image;
    ASSERT_TRUE(Load(file, image));
    EXPECT_FALSE(image.Alpha());
}

TEST(GifReader, AnimatedGifGivesItsFirstFrameAtItsOwnSize) {
    GifBuilder g;
    g.screenWidth = 50;
    g.screenHeight = 40;
    g.globalTable = kTable;
    g.applicationExtension = true;
    g.commentExtension = true;
    GifFrame first;
    first.left = 10;
    first.top = 7;
    first.width = 9;
    first.height = 5;
    first.indices = Pattern(9, 5, 4);
    GifFrame second = first;
    second.indices.assign(45, 0);
    g.frames = {first, second};
    c32bppDIB image;
    ASSERT_TRUE(Load(g.Build(), image));
    ExpectPicture(image, 9, 5, first.indices, kTable);
}

TEST(GifReader, LocalTableWinsOverTheGlobalOne) {
    GifBuilder g = OneImage(8, 3, Pattern(8, 3, 2));
    g.frames[0].localTable = {{1, 2, 3}, {4, 5, 6}};
    c32bppDIB image;
    ASSERT_TRUE(Load(g.Build(), image));
    ExpectPicture(image, 8, 3, Pattern(8, 3, 2), g.frames[0].localTable);

    g.globalTable.clear();
    g.frames[0].transparent = 0;
    ASSERT_TRUE(Load(g.Build(), image));
    ExpectPicture(image, 8, 3, Pattern(8, 3, 2), g.frames[0].localTable, 0);
}

TEST(GifReader, InterlacedAndLargeImagesDecode) {
    for (bool interlaced : {true, false}) {
        std::vector<Rgb> table(256);
        for (int i = 0; i < 256; ++i) {
            table[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                        static_cast<uint8_t>(i * 3)};
        }
        const auto indices = Pattern(173, 61, 256);
        GifBuilder g = OneImage(173, 61, indices);
        g.globalTable = table;
        g.frames[0].interlaced = interlaced;
        c32bppDIB image;
        ASSERT_TRUE(Load(g.Build(), image));
        ExpectPicture(image, 173, 61, indices, table);
    }
}

TEST(GifReader, UpperCaseSignatureAndGif87a) {
    for (const char* signature : {"GIF89A", "gif87a", "GIF87a"}) {
        GifBuilder g = OneImage(3, 3, Pattern(3, 3, 4));
        g.signature = signature;
        c32bppDIB image;
        ASSERT_TRUE(Load(g.Build(), image)) << signature;
        EXPECT_EQ(image.Width(), 3);
    }
}

TEST(GifReader, RefusesWhatIsNoGifOrHasNoColours) {
    c32bppDIB image;
    GifBuilder g = OneImage(3, 3, Pattern(3, 3, 4));
    g.signature = "GIF88a";
    EXPECT_FALSE(Load(g.Build(), image));

    g = OneImage(3, 3, Pattern(3, 3, 4));
    g.globalTable.clear();
    EXPECT_FALSE(Load(g.Build(), image));
    EXPECT_EQ(image.Handle(), 0u);

    // A block that is neither extension nor image ends the walk.
    std::vector<uint8_t> file = OneImage(3, 3, Pattern(3, 3, 4)).Build();
    file[13 + 12] = 0x3B;
    EXPECT_FALSE(Load(file, image));
}

TEST(GifReader, DamagedDataIsTakenWithAnEmptyImage) {
    const std::vector<uint8_t> good = OneImage(20, 20, Pattern(20, 20, 4)).Build();
    c32bppDIB image;
    for (size_t n = 6; n + 1 < good.size(); ++n) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        image.InitializeDIB(1, 1);
        EXPECT_TRUE(Load(cut, image)) << n;
        EXPECT_EQ(image.Handle(), 0u) << n;
    }
    // Broken LZW codes: a code beyond the table right after the clear code.
    std::vector<uint8_t> file = good;
    const size_t data = 13 + 12 + 10;  // code size byte
    file[data + 2] = 0xFF;
    file[data + 3] = 0xFF;
    EXPECT_TRUE(Load(file, image));
    EXPECT_EQ(image.Handle(), 0u);
}

// Every block kind the walk steps over, cut after each byte: every cut that keeps the
// signature is taken as truncated at its own length, and the whole file still decodes.
TEST(GifReader, EveryCutThroughEveryBlockKindIsTruncated) {
    GifBuilder g = OneImage(5, 4, Pattern(5, 4, 2));
    g.applicationExtension = true;
    g.commentExtension = true;
    g.frames[0].transparent = 1;
    g.frames[0].localTable = {{1, 2, 3}, {4, 5, 6}};
    const std::vector<uint8_t> good = g.Build();
    c32bppDIB image;
    ASSERT_TRUE(Load(good, image));
    ExpectPicture(image, 5, 4, Pattern(5, 4, 2), {{1, 2, 3}, {4, 5, 6}}, 1);
    for (size_t n = 6; n + 1 < good.size(); ++n) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        ASSERT_TRUE(Load(cut, image)) << n;
        EXPECT_EQ(image.Handle(), 0u) << n;
        EXPECT_EQ(image.LastFailure().kind, quenda::FailureKind::Truncated) << n;
        EXPECT_EQ(image.LastFailure().offset, n);
    }
}

TEST(GifReader, IndicesPastTheTableDrawOpaqueBlack) {
    // Two entries, but the smallest code size (2) allows four indices.
    GifBuilder g = OneImage(4, 1, {0, 1, 2, 3});
    g.globalTable = {{10, 20, 30}, {40, 50, 60}};
    for (int transparent : {-1, 1}) {
        g.frames[0].transparent = transparent;
        const std::vector<uint8_t> file = g.Build();
        c32bppDIB image;
        ASSERT_TRUE(Load(file, image));
        ASSERT_EQ(image.Width(), 4);
        EXPECT_EQ(At(image, 2, 0), (std::array<uint8_t, 4>{0, 0, 0, 255}));
        EXPECT_EQ(At(image, 3, 0), (std::array<uint8_t, 4>{0, 0, 0, 255}));
        EXPECT_EQ(At(image, 0, 0), Opaque(g.globalTable[0]));
    }
}
