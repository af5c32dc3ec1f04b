#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <set>

#include "PngTestSupport.h"
#include "codecs/PngRowFilter.h"
#include "codecs/cPNGparser.h"
#include "codecs/cPNGwriter.h"
#include "codecs/ZlibBinding.h"
#include "imaging/c32bppDIB.h"

using quenda::c32bppDIB;
using quenda::cPNGwriter;
using quenda::PngDate;
using quenda::PngValue;

namespace {

struct Pixel {
    uint8_t b, g, r, a;
};

// An image from premultiplied BGRA pixels given top row first.
void Fill(c32bppDIB& image, int32_t w, int32_t h, const std::vector<Pixel>& pixels, bool alpha) {
    ASSERT_TRUE(image.InitializeDIB(w, h));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const Pixel& p = pixels[static_cast<size_t>(y) * w + x];
            uint8_t* d = image.BitsPointer() + image.PixelOffset(x, y);
            d[0] = p.b;
            d[1] = p.g;
            d[2] = p.r;
            d[3] = p.a;
        }
    }
    image.setAlpha(alpha);
}

std::vector<uint8_t> WritePng(const c32bppDIB& image, const cPNGwriter& writer = cPNGwriter()) {
    std::vector<uint8_t> out;
    EXPECT_TRUE(writer.Write(image, {}, out));
    return out;
}

const std::vector<uint8_t>* FindChunk(
    const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks,
    const std::string& type) {
    for (const auto& [t, data] : chunks) {
        if (t == type) {
            return &data;
        }
    }
    return nullptr;
}

int ColorTypeOf(const std::vector<uint8_t>& png) {
    const auto chunks = pngtest::ListChunks(png);
    return chunks.empty() || chunks[0].first != "IHDR" ? -1 : chunks[0].second[9];
}

// libpng must read back what the buffer holds, un-premultiplied.
void ExpectLibpngReadsTheImage(const std::vector<uint8_t>& png, const c32bppDIB& image,
                               const std::string& what) {
    uint32_t w = 0;
    uint32_t h = 0;
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(pngtest::DecodeRGBAWithLibpng(png, w, h, rgba)) << what;
    ASSERT_EQ(static_cast<int32_t>(w), image.Width());
    ASSERT_EQ(static_cast<int32_t>(h), image.Height());
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            const uint8_t* s = image.BitsPointer() + image.PixelOffset(x, y);
            const uint8_t* d = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            const uint8_t a = image.Alpha() ? s[3] : 255;
            ASSERT_EQ(d[3], a) << what << " at " << x << "," << y;
            if (a == 0) {
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                const uint8_t held = s[2 - c];
                const uint8_t expected = a == 255 ? held : static_cast<uint8_t>(held * 255 / a);
                ASSERT_EQ(d[c], expected) << what << " channel " << c << " at " << x << "," << y;
            }
        }
    }
}

// `colors` distinct premultiplied pixel values, then repeats of them, up to n pixels.
// partialAlpha: alpha anywhere in 1..255; otherwise opaque (and one fully
// transparent colour when alpha is asked for).
std::vector<Pixel> RandomPixels(size_t n, uint32_t seed, int colors, bool partialAlpha,
                                bool oneTransparent = false) {
    std::mt19937 rng(seed);
    std::set<uint32_t> seen;
    std::vector<Pixel> palette;
    if (oneTransparent) {
        palette.push_back({0, 0, 0, 0});
    }
    while (palette.size() < static_cast<size_t>(colors)) {
        const uint8_t a = partialAlpha ? static_cast<uint8_t>(1 + rng() % 255) : 255;
        auto channel = [&] { return static_cast<uint8_t>(rng() % (a + 1)); };
        const Pixel p{channel(), channel(), channel(), a};
        const uint32_t key = p.b | (p.g << 8) | (p.r << 16) | (uint32_t{p.a} << 24);
        if (seen.insert(key).second) {
            palette.push_back(p);
        }
    }
    std::vector<Pixel> out(n);
    for (size_t i = 0; i < n; ++i) {
        out[i] = palette[i < palette.size() ? i : rng() % palette.size()];
    }
    return out;
}

// The filter bytes of each row of a non-interlaced PNG.
std::vector<uint8_t> RowFilters(const std::vector<uint8_t>& png) {
    const auto chunks = pngtest::ListChunks(png);
    const auto& ihdr = chunks[0].second;
    const uint32_t w = (uint32_t{ihdr[0]} << 24) | (ihdr[1] << 16) | (ihdr[2] << 8) | ihdr[3];
    const uint32_t h = (uint32_t{ihdr[4]} << 24) | (ihdr[5] << 16) | (ihdr[6] << 8) | ihdr[7];
    const size_t rowBytes = pngtest::RowBytes(w, ihdr[8], ihdr[9]);
    const auto* idat = FindChunk(chunks, "IDAT");
    std::vector<uint8_t> raw((rowBytes + 1) * h);
    uLongf size = raw.size();
    EXPECT_EQ(uncompress(raw.data(), &size, idat->data(), idat->size()), Z_OK);
    std::vector<uint8_t> filters;
    for (uint32_t y = 0; y < h; ++y) {
        filters.push_back(raw[y * (rowBytes + 1)]);
    }
    return filters;
}

}  // namespace

TEST(PngWriter, ChoosesPaletteUpTo256ColoursAndTrueColourBeyond) {
    c32bppDIB image;
    Fill(image, 16, 16, RandomPixels(256, 1, 256, false), false);
    auto png = WritePng(image);
    EXPECT_EQ(ColorTypeOf(png), 3);
    ExpectLibpngReadsTheImage(png, image, "256 colours");

    Fill(image, 257, 1, RandomPixels(257, 2, 257, false), false);
    png = WritePng(image);
    EXPECT_EQ(ColorTypeOf(png), 2);
    EXPECT_EQ(FindChunk(pngtest::ListChunks(png), "tRNS"), nullptr);
    ExpectLibpngReadsTheImage(png, image, "257 colours");

    Fill(image, 257, 1, RandomPixels(257, 3, 257, true), true);
    png = WritePng(image);
    EXPECT_EQ(ColorTypeOf(png), 6);
    ExpectLibpngReadsTheImage(png, image, "257 colours with alpha");
}

TEST(PngWriter, PalettePutsTransparentEntriesFirst) {
    c32bppDIB image;
    Fill(image, 4, 1, {{1, 2, 3, 255}, {0, 0, 0, 0}, {10, 20, 30, 64}, {4, 5, 6, 255}}, true);
    const auto png = WritePng(image);
    ASSERT_EQ(ColorTypeOf(png), 3);
    const auto chunks = pngtest::ListChunks(png);
    const auto* trns = FindChunk(chunks, "tRNS");
    ASSERT_NE(trns, nullptr);
    EXPECT_EQ(trns->size(), 2u);
    const auto* plte = FindChunk(chunks, "PLTE");
    ASSERT_NE(plte, nullptr);
    EXPECT_EQ(plte->size(), 12u);
    ExpectLibpngReadsTheImage(png, image, "palette with transparency");
}

TEST(PngWriter, GreyImagesGetAGreyKeyForTheirTransparentColour) {
    c32bppDIB image;
    Fill(image, 3, 1, {{0, 0, 0, 255}, {1, 1, 1, 255}, {3, 3, 3, 255}}, false);
    auto png = WritePng(image);
    EXPECT_EQ(ColorTypeOf(png), 0);
    EXPECT_EQ(FindChunk(pngtest::ListChunks(png), "tRNS"), nullptr);
    ExpectLibpngReadsTheImage(png, image, "grey");

    Fill(image, 4, 1, {{0, 0, 0, 255}, {1, 1, 1, 255}, {3, 3, 3, 255}, {0, 0, 0, 0}}, true);
    png = WritePng(image);
    EXPECT_EQ(ColorTypeOf(png), 0);
    const auto chunks = pngtest::ListChunks(png);
    const auto* trns = FindChunk(chunks, "tRNS");
    ASSERT_NE(trns, nullptr);
    EXPECT_EQ(*trns, (std::vector<uint8_t>{0, 2}));
    ExpectLibpngReadsTheImage(png, image, "grey with key");

    // A partly transparent grey cannot be keyed: it goes to the palette form.
    Fill(image, 2, 1, {{0, 0, 0, 255}, {50, 50, 50, 100}}, true);
    png = WritePng(image);
    EXPECT_EQ(ColorTypeOf(png), 3);
    ExpectLibpngReadsTheImage(png, image, "partly transparent grey");
}

TEST(PngWriter, TrueColourWithOnlyFullTransparencyUsesAColourKey) {
    std::vector<Pixel> pixels;
    for (int i = 0; i < 600; ++i) {
        const bool clear = i % 7 == 0;
        pixels.push_back(clear ? Pixel{0, 0, 0, 0}
                               : Pixel{static_cast<uint8_t>(i % 200), static_cast<uint8_t>(i),
                                       static_cast<uint8_t>(i / 3), 255});
    }
    c32bppDIB image;
    Fill(image, 30, 20, pixels, true);
    auto png = WritePng(image);
    ASSERT_EQ(ColorTypeOf(png), 2);
    const auto chunks = pngtest::ListChunks(png);
    const auto* trns = FindChunk(chunks, "tRNS");
    ASSERT_NE(trns, nullptr);
    EXPECT_EQ(*trns, (std::vector<uint8_t>{0, 200, 0, 200, 0, 200}));
    ExpectLibpngReadsTheImage(png, image, "keyed RGB");

    // Every value used in every channel: no key is possible.
    pixels.clear();
    for (int i = 0; i < 256 * 3; ++i) {
        pixels.push_back(i == 5 ? Pixel{0, 0, 0, 0}
                                : Pixel{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 7),
                                        static_cast<uint8_t>(i * 13), 255});
    }
    Fill(image, 256, 3, pixels, true);
    png = WritePng(image);
    EXPECT_EQ(ColorTypeOf(png), 6);
    ExpectLibpngReadsTheImage(png, image, "no key left");
}

TEST(PngWriter, UnpremultipliesByIntegerDivision) {
    std::vector<Pixel> pixels = RandomPixels(300, 7, 300, true);
    pixels[0] = {25, 50, 100, 128};
    c32bppDIB image;
    Fill(image, 300, 1, pixels, true);
    const auto png = WritePng(image);
    uint32_t w = 0;
    uint32_t h = 0;
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(pngtest::DecodeRGBAWithLibpng(png, w, h, rgba));
    EXPECT_EQ(rgba[0], 199);
    EXPECT_EQ(rgba[1], 99);
    EXPECT_EQ(rgba[2], 49);
    EXPECT_EQ(rgba[3], 128);
}

TEST(PngWriter, EveryFilterChoiceRoundTripsThroughLibpng) {
    c32bppDIB image;
    struct Form {
        int colors;
        bool partial;
        bool transparent;
    };
    const Form forms[] = {{40, false, false},
                          {40, true, false},
                          {5000, false, false},
                          {5000, true, false},
                          {5000, false, true}};
    for (const auto& [colors, partial, transparent] : forms) {
        const bool alpha = partial || transparent;
        Fill(image, 67, 45, RandomPixels(67 * 45, colors, colors, partial, transparent), alpha);
        for (int choice : {0, 1, 2, 3, 4, 5, 6, 9, -2}) {
            cPNGwriter writer;
            ASSERT_TRUE(writer.SetProperty(quenda::PNGP_FILTER, int64_t{choice}));
            ExpectLibpngReadsTheImage(
                WritePng(image, writer), image,
                "filter " + std::to_string(choice) + " colours " + std::to_string(colors));
        }
    }
}

TEST(PngWriter, FilterChoiceSelectsTheRowFilters) {
    c32bppDIB image;
    Fill(image, 20, 6, RandomPixels(120, 11, 120, true), true);
    auto filters = [&](int64_t choice) {
        cPNGwriter writer;
        writer.SetProperty(quenda::PNGP_FILTER, choice);
        return RowFilters(WritePng(image, writer));
    };
    EXPECT_EQ(filters(0), std::vector<uint8_t>(6, 0)) << "palette default is None";
    EXPECT_EQ(filters(3), std::vector<uint8_t>(6, 2));
    EXPECT_EQ(filters(5), std::vector<uint8_t>(6, 4));
    Fill(image, 20, 20, RandomPixels(400, 12, 400, true), true);
    EXPECT_EQ(filters(0), std::vector<uint8_t>(20, 4)) << "true colour default is Paeth";
    EXPECT_NE(filters(6)[0], 2) << "Up is not tried on the first row";

    cPNGwriter plain;
    cPNGwriter nine;
    nine.SetProperty(quenda::PNGP_FILTER, int64_t{9});
    EXPECT_EQ(WritePng(image, plain), WritePng(image, nine));
}

TEST(PngWriter, AdaptiveFilterPicksTheSmallestScore) {
    using quenda::png::ChooseAdaptiveFilter;
    const std::vector<uint8_t> zeros(4, 0);
    // None alone stays under the starting score.
    const std::vector<uint8_t> spiky = {1, 255, 1, 255};
    EXPECT_EQ(ChooseAdaptiveFilter(spiky.data(), zeros.data(), 4, 1, true), 0);
    // Sub predicts all but a small first byte; Up, Average and Paeth miss it widely.
    const std::vector<uint8_t> flat = {10, 10, 10, 10};
    const std::vector<uint8_t> above = {250, 0, 0, 0};
    EXPECT_EQ(ChooseAdaptiveFilter(flat.data(), above.data(), 4, 1, false), 1);
    // Ties go to the later filter: on a first row Paeth predicts as Sub does.
    EXPECT_EQ(ChooseAdaptiveFilter(flat.data(), zeros.data(), 4, 1, true), 4);
    // Up is not tried on the first row, however well it would do.
    const std::vector<uint8_t> same = {7, 200, 7, 200};
    EXPECT_NE(ChooseAdaptiveFilter(same.data(), same.data(), 4, 1, true), 2);
    EXPECT_EQ(ChooseAdaptiveFilter(same.data(), same.data(), 4, 1, false), 4);
}

TEST(PngWriter, WritesChunksInOrder) {
    c32bppDIB image;
    Fill(image, 4, 1, {{1, 2, 3, 255}, {0, 0, 0, 0}, {10, 20, 30, 64}, {4, 5, 6, 255}}, true);
    cPNGwriter writer;
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_COMMENT, std::string("a comment")));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_AUTHOR, std::string("me")));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_TITLE, std::string("the title")));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("v"), "My Key"));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_MODIFIED_TIME, PngDate{2024, 2, 29, 13, 14, 15}));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_BACKGROUND, int64_t{0x060504}));
    const auto png = WritePng(image, writer);
    std::vector<std::string> order;
    for (const auto& [type, data] : pngtest::ListChunks(png)) {
        order.push_back(type == "tEXt"
                            ? "tEXt:" + std::string(reinterpret_cast<const char*>(data.data()))
                            : type);
    }
    const std::vector<std::string> expected = {"IHDR",         "tEXt:Title",  "tEXt:Author", "PLTE",
                                               "bKGD",         "tRNS",        "IDAT",        "tIME",
                                               "tEXt:Comment", "tEXt:My Key", "IEND"};
    EXPECT_EQ(order, expected);
    const auto chunks = pngtest::ListChunks(png);
    EXPECT_EQ(*FindChunk(chunks, "tIME"), (std::vector<uint8_t>{0x07, 0xE8, 2, 29, 13, 14, 15}));
    // The background is palette entry 3 (after the two transparent entries and 1,2,3... as
    // sorted): whichever it is, it must name that colour.
    const auto* plte = FindChunk(chunks, "PLTE");
    const uint8_t index = (*FindChunk(chunks, "bKGD"))[0];
    EXPECT_EQ((*plte)[3 * index], 4);
    EXPECT_EQ((*plte)[3 * index + 1], 5);
    EXPECT_EQ((*plte)[3 * index + 2], 6);
    ExpectLibpngReadsTheImage(png, image, "with properties");
}

TEST(PngWriter, BackgroundChunkFollowsTheColourForm) {
    c32bppDIB image;
    cPNGwriter writer;
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_BACKGROUND, int64_t{0x332211}));
    Fill(image, 2, 1, {{9, 9, 9, 255}, {7, 7, 7, 255}}, false);
    auto chunks = pngtest::ListChunks(WritePng(image, writer));
    EXPECT_EQ(*FindChunk(chunks, "bKGD"), (std::vector<uint8_t>{0, 0x11}));

    Fill(image, 2, 1, {{9, 8, 7, 255}, {7, 7, 7, 255}}, false);
    chunks = pngtest::ListChunks(WritePng(image, writer));
    EXPECT_EQ(*FindChunk(chunks, "bKGD"), (std::vector<uint8_t>{2}));  // appended entry
    EXPECT_EQ(FindChunk(chunks, "PLTE")->size(), 9u);

    Fill(image, 16, 16, RandomPixels(256, 5, 256, false), false);
    chunks = pngtest::ListChunks(WritePng(image, writer));
    ASSERT_EQ(chunks[0].second[9], 3);
    EXPECT_EQ(FindChunk(chunks, "bKGD"), nullptr) << "a full palette has no room";

    Fill(image, 300, 1, RandomPixels(300, 6, 300, false), false);
    chunks = pngtest::ListChunks(WritePng(image, writer));
    EXPECT_EQ(*FindChunk(chunks, "bKGD"), (std::vector<uint8_t>{0, 0x11, 0, 0x22, 0, 0x33}));
}

TEST(PngWriter, TextsAreCleanedAndLongCustomTextsCompressed) {
    c32bppDIB image;
    Fill(image, 1, 1, {{1, 2, 3, 255}}, false);
    cPNGwriter writer;
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("Set by keyword"), "tITle"));
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_TITLE)), "Set by keyword");
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_DESCRIPTION, std::string("line\r\nbreak\rend")));
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_DESCRIPTION)),
              "line\nbreak\nend");
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_WARNING, std::string("form\ffeed")));
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_WARNING)), "");
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string(1025, 'x'), "Long"));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string(1024, 'y'), "Short"));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_SOURCE, std::string("caf\xC3\xA9 \xE2\x82\xAC")));

    const auto chunks = pngtest::ListChunks(WritePng(image, writer));
    size_t warnings = 0;
    for (const auto& [type, data] : chunks) {
        const std::string text(data.begin(), data.end());
        warnings += text.rfind("Warning", 0) == 0;
        if (type == "zTXt") {
            ASSERT_EQ(text.substr(0, 6), std::string("Long\0\0", 6));
            std::vector<uint8_t> inflated(2000);
            uLongf size = inflated.size();
            ASSERT_EQ(uncompress(inflated.data(), &size, data.data() + 6, data.size() - 6), Z_OK);
            EXPECT_EQ(size, 1025u);
        }
        if (type == "tEXt" && text.rfind("Short", 0) == 0) {
            EXPECT_EQ(data.size(), 6u + 1024u);
        }
        if (type == "tEXt" && text.rfind("Source", 0) == 0) {
            EXPECT_EQ(text, std::string("Source\0caf\xE9 ?", 13));
        }
    }
    EXPECT_EQ(warnings, 0u) << "an empty text is not written";
    size_t ztxt = 0;
    for (const auto& chunk : chunks) {
        ztxt += chunk.first == "zTXt";
    }
    EXPECT_EQ(ztxt, 1u);
}

TEST(PngWriter, KeywordsAreCleaned) {
    cPNGwriter writer;
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("v1"), "  My \xC2\xA0  Key  "));
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_CUSTOM, "My Key")), "v1");
    EXPECT_FALSE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("v"), "   "));
    EXPECT_FALSE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("v"), "bad\tkey"));
    EXPECT_FALSE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("v"), "\xE2\x82\xAC"));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("v2"), "My Key"));
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_CUSTOM, "My Key")), "v2");
    const std::string longKey(100, 'k');
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("v3"), longKey));
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_CUSTOM, std::string(79, 'k'))),
              "v3");
}

TEST(PngWriter, PropertyDefaultsValidationAndRemoval) {
    cPNGwriter writer;
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_TITLE)), "");
    EXPECT_EQ(std::get<PngDate>(writer.GetProperty(quenda::PNGP_MODIFIED_TIME)), PngDate{});
    EXPECT_EQ(std::get<int64_t>(writer.GetProperty(quenda::PNGP_BACKGROUND)), -1);
    EXPECT_EQ(std::get<int64_t>(writer.GetProperty(quenda::PNGP_FILTER)), 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(writer.GetProperty(3)));

    EXPECT_FALSE(writer.SetProperty(3, std::string("x")));
    EXPECT_FALSE(writer.SetProperty(quenda::PNGP_TITLE, std::monostate{}));
    EXPECT_FALSE(writer.SetProperty(quenda::PNGP_MODIFIED_TIME, std::string("today")));
    EXPECT_FALSE(writer.SetProperty(quenda::PNGP_MODIFIED_TIME, PngDate{2023, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(writer.SetProperty(quenda::PNGP_BACKGROUND, std::string("red")));

    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_TITLE, std::string("t")));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("a"), "A"));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_CUSTOM, std::string("b"), "B"));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_BACKGROUND, int64_t{0x123456}));
    ASSERT_TRUE(writer.SetProperty(quenda::PNGP_FILTER, int64_t{6}));
    EXPECT_EQ(std::get<int64_t>(writer.GetProperty(quenda::PNGP_BACKGROUND)), 0x123456);

    EXPECT_TRUE(writer.RemoveProperty(quenda::PNGP_TITLE));
    EXPECT_FALSE(writer.RemoveProperty(quenda::PNGP_TITLE));
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_TITLE)), "");
    EXPECT_TRUE(writer.RemoveProperty(quenda::PNGP_CUSTOM, "A"));
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_CUSTOM, "A")), "");
    EXPECT_EQ(std::get<std::string>(writer.GetProperty(quenda::PNGP_CUSTOM, "B")), "b");
    EXPECT_TRUE(writer.RemoveProperty(quenda::PNGP_BACKGROUND));
    EXPECT_EQ(std::get<int64_t>(writer.GetProperty(quenda::PNGP_BACKGROUND)), -1);
    EXPECT_TRUE(writer.RemoveProperty(quenda::PNGP_FILTER));
    EXPECT_EQ(std::get<int64_t>(writer.GetProperty(quenda::PNGP_FILTER)), 0);
    EXPECT_FALSE(writer.RemoveProperty(quenda::PNGP_MODIFIED_TIME));
}

TEST(PngWriter, NeedsAnImageAndZlib) {
    c32bppDIB image;
    std::vector<uint8_t> out = {1, 2, 3};
    EXPECT_FALSE(cPNGwriter().Write(image, {}, out));
    EXPECT_TRUE(out.empty());

    Fill(image, 2, 2, RandomPixels(4, 1, 4, false), false);
    quenda::zlib::SetDisabledForTesting(true);
    out = {1};
    EXPECT_FALSE(cPNGwriter().Write(image, {}, out));
    EXPECT_TRUE(out.empty());
    quenda::zlib::SetDisabledForTesting(false);

    quenda::zlib::SetCompress2MissingForTesting(true);
    EXPECT_TRUE(cPNGwriter().Write(image, {}, out));
    quenda::zlib::SetCompress2MissingForTesting(false);
    ExpectLibpngReadsTheImage(out, image, "default level");
}

// The faster DEFLATE library and zlib's level 9 both make streams every reader takes.
TEST(PngWriter, BothCompressorsWriteFilesLibpngReadsBack) {
    std::vector<Pixel> gradient;
    for (int y = 0; y < 41; ++y) {
        for (int x = 0; x < 97; ++x) {
            const uint8_t a = static_cast<uint8_t>(128 + x);
            gradient.push_back({static_cast<uint8_t>(x * 2 % a), static_cast<uint8_t>(y * 3 % a),
                                static_cast<uint8_t>((x + y) % a), a});
        }
    }
    c32bppDIB image;
    Fill(image, 97, 41, gradient, true);
    std::vector<uint8_t> fast = WritePng(image);
    quenda::zlib::SetFastLibraryDisabledForTesting(true);
    std::vector<uint8_t> zlibOnly = WritePng(image);
    quenda::zlib::SetFastLibraryDisabledForTesting(false);
    ExpectLibpngReadsTheImage(fast, image, "fast library");
    ExpectLibpngReadsTheImage(zlibOnly, image, "zlib level 9");
    EXPECT_NE(fast, zlibOnly) << "the switch reaches zlib";
}

TEST(PngWriter, OwnReaderReadsOpaqueImagesBackExactly) {
    for (int colors : {2, 200, 5000}) {
        c32bppDIB image;
        Fill(image, 31, 17, RandomPixels(31 * 17, colors, colors, false), false);
        const auto png = WritePng(image);
        c32bppDIB back;
        uint32_t token = 0;
        ASSERT_TRUE(quenda::cPNGparser().LoadStream(png, back, 0, png.size(), token));
        EXPECT_EQ(pngtest::TopDownPixels(back), pngtest::TopDownPixels(image)) << colors;
        EXPECT_FALSE(back.Alpha());
    }
}
