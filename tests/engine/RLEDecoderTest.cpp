#include <gtest/gtest.h>

#include <cctype>

#include "engine/RLEDecoder.h"
#include "engine/modColor.h"
#include "imaging/c32bppDIB.h"
#include "support/EventRecorder.h"
#include "support/RLEBuilder.h"

using quenda::c32bppDIB;
using testsupport::EventRecorder;
using testsupport::RLEBuilder;

namespace {

struct Decoded {
    quenda::RLEDecodeResult result;
    c32bppDIB image;
    EventRecorder events;
};

std::unique_ptr<Decoded> Decode(const std::vector<uint8_t>& file) {
    auto d = std::make_unique<Decoded>();
    d->result = quenda::DecodeRLEBytes(file, "f.bmp", d->image, d->events);
    return d;
}

// Ten colours: entry i has red i, so the decoded red byte names the entry.
RLEBuilder TenColours(int width, int height, bool alpha) {
    RLEBuilder b;
    b.width = width;
    b.height = height;
    b.hasAlpha = alpha;
    for (uint16_t i = 1; i <= 10; ++i) {
        b.colors.push_back(static_cast<uint16_t>(i << 11));
    }
    b.alphas.assign(11, 32);
    b.alphas[0] = 0;
    return b;
}

int EntryAt(const c32bppDIB& img, int x, int y) {
    const int32_t c = img.GetPixel(x, y, nullptr, true);
    for (int i = 1; i <= 10; ++i) {
        if (static_cast<uint32_t>(c) == quenda::RGB565ToRGB(static_cast<uint16_t>(i << 11))) {
            return i;
        }
    }
    return c == 0 ? 0 : -1;
}

}  // namespace

TEST(RLEDecoder, TransparentRunAndColourRunWithEvents) {
    RLEBuilder b = TenColours(4, 2, true);
    b.rows = {{0xFF, 0x04}, {0xFE, 0x01, 0x04}};
    auto d = Decode(b.Build());
    ASSERT_TRUE(d->result.success);
    EXPECT_EQ(d->result.colorCount, 10);
    for (int x = 0; x < 4; ++x) {
        uint8_t a = 1;
        EXPECT_EQ(d->image.GetPixel(x, 0, &a), 0);
        EXPECT_EQ(a, 0);
        EXPECT_EQ(EntryAt(d->image, x, 1), 1);
    }
    EXPECT_TRUE(d->image.Alpha());
    const std::vector<std::string> expected = {"DecodingStarted f.bmp", "Decoding f.bmp 0",
                                               "Decoding f.bmp 100", "Decoding f.bmp 100",
                                               "DecodingComplete f.bmp 1"};
    EXPECT_EQ(d->events.lines, expected);
}

TEST(RLEDecoder, BaseMarkerAndFallback) {
    RLEBuilder b = TenColours(3, 3, false);
    b.rows = {
        {0xFD, 0x05, 0x00, 0x03},        // base 5: code 3 is entry 8
        {0xFD, 0x05, 0x00, 0x07, 0x02},  // 7+5 > 10: entry 7, then base 0: entry 2
        {0x01, 0x00, 0x0A},
    };
    auto d = Decode(b.Build());
    ASSERT_TRUE(d->result.success);
    EXPECT_EQ(EntryAt(d->image, 0, 0), 8);
    EXPECT_EQ(EntryAt(d->image, 0, 1), 7);
    EXPECT_EQ(EntryAt(d->image, 1, 1), 2);
    EXPECT_EQ(EntryAt(d->image, 0, 2), 1);
    EXPECT_EQ(EntryAt(d->image, 2, 2), 10);
    // Without alpha a transparent pixel is opaque black and Alpha is off.
    uint8_t a = 0;
    EXPECT_EQ(d->image.GetPixel(1, 2, &a), 0);
    EXPECT_EQ(a, 255);
    EXPECT_FALSE(d->image.Alpha());
    // Columns no token covers stay transparent black.
    EXPECT_EQ(d->image.GetPixel(2, 0, &a), 0);
    EXPECT_EQ(a, 0);
}

TEST(RLEDecoder, AlphaLevelsAndPremultiplication) {
    RLEBuilder b;
    b.width = 3;
    b.height = 1;
    b.hasAlpha = true;
    b.colors = {0xFFFF, 0xF800, 0x001F};
    b.alphas = {0, 16, 32, 0};
    b.rows = {{1, 2, 3}};
    auto d = Decode(b.Build());
    ASSERT_TRUE(d->result.success);
    uint8_t a = 0;
    EXPECT_EQ(d->image.GetPixel(0, 0, &a, true), 0x00808080);  // white at 128
    EXPECT_EQ(a, 128);
    EXPECT_EQ(d->image.GetPixel(1, 0, &a, true), 0x000000FF);
    EXPECT_EQ(a, 255);
    EXPECT_EQ(d->image.GetPixel(2, 0, &a, true), 0);  // alpha level 0 clears the pixel
    EXPECT_EQ(a, 0);
}

TEST(RLEDecoder, ExtraPixelsAreDroppedAndLongRowsRead) {
    RLEBuilder b = TenColours(2, 1, false);
    std::vector<uint8_t> row;
    for (int i = 0; i < 100; ++i) {
        row.insert(row.end(), {0xFE, 0x02, 0xFF});  // 300 bytes: long length record
    }
    b.rows = {row};
    const std::vector<uint8_t> file = b.Build();
    ASSERT_EQ(file[14 + 20], 0xFF);
    auto d = Decode(file);
    ASSERT_TRUE(d->result.success);
    EXPECT_EQ(EntryAt(d->image, 0, 0), 2);
    EXPECT_EQ(EntryAt(d->image, 1, 0), 2);
}

TEST(RLEDecoder, OneRowImageReportsHundred) {
    RLEBuilder b = TenColours(1, 1, false);
    b.rows = {{0x01}};
    auto d = Decode(b.Build());
    ASSERT_TRUE(d->result.success);
    EXPECT_EQ(d->events.decodingProgress, (std::vector<float>{100.0f, 100.0f}));
}

TEST(RLEDecoder, ProgressPerRow) {
    RLEBuilder b = TenColours(1, 3, false);
    b.rows = {{1}, {1}, {1}};
    auto d = Decode(b.Build());
    ASSERT_TRUE(d->result.success);
    EXPECT_EQ(d->events.decodingProgress, (std::vector<float>{0.0f, 50.0f, 100.0f, 100.0f}));
}

// Every malformed file fails with the events completed and no image left behind.
class MalformedRLE : public ::testing::TestWithParam<std::pair<const char*, std::vector<uint8_t>>> {
};

TEST_P(MalformedRLE, FailsCleanly) {
    auto d = Decode(GetParam().second);
    EXPECT_FALSE(d->result.success) << GetParam().first;
    EXPECT_TRUE(d->result.failure);
    EXPECT_EQ(d->image.Handle(), 0u);
    ASSERT_GE(d->events.lines.size(), 3u);
    EXPECT_EQ(d->events.lines.front(), "DecodingStarted f.bmp");
    EXPECT_EQ(d->events.lines[d->events.lines.size() - 2], "Decoding f.bmp 100");
    EXPECT_EQ(d->events.lines.back(), "DecodingComplete f.bmp 0");
}

namespace {

std::vector<uint8_t> Valid() {
    RLEBuilder b = TenColours(4, 2, true);
    b.rows = {{0xFF, 0x04}, {0xFE, 0x01, 0x04}};
    return b.Build();
}

std::vector<std::pair<const char*, std::vector<uint8_t>>> MalformedCases() {
    std::vector<std::pair<const char*, std::vector<uint8_t>>> cases;
    auto with = [&](const char* name, auto change) {
        RLEBuilder b = TenColours(4, 2, true);
        b.rows = {{0xFF, 0x04}, {0xFE, 0x01, 0x04}};
        change(b);
        cases.emplace_back(name, b.Build());
    };
    std::vector<uint8_t> truncated = Valid();
    truncated.pop_back();
    cases.emplace_back("truncated row data", truncated);
    cases.emplace_back("header only",
                       std::vector<uint8_t>(truncated.begin(), truncated.begin() + 14));
    cases.emplace_back("empty", std::vector<uint8_t>{});
    with("missing colour in run", [](RLEBuilder& b) { b.rows[1] = {0xFE, 0x0B, 0x04}; });
    with("missing colour single", [](RLEBuilder& b) { b.rows[1] = {0x0C}; });
    with("base run past palette",
         [](RLEBuilder& b) { b.rows[1] = {0xFD, 0x05, 0x00, 0xFE, 0x07, 0x01}; });
    with("alpha above 32", [](RLEBuilder& b) { b.alphas[3] = 33; });
    with("fewer rows than height", [](RLEBuilder& b) {
        b.rowCount = 1;
        b.rows.pop_back();
    });
    with("negative row count", [](RLEBuilder& b) {
        b.rowCount = 0xFFFF;
        b.rows.clear();
    });
    with("negative width", [](RLEBuilder& b) { b.width = 0xFFFF; });
    with("zero height", [](RLEBuilder& b) {
        b.height = 0;
        b.rowCount = 2;
    });
    with("huge image", [](RLEBuilder& b) {
        b.width = 32767;
        b.height = 32767;
        b.rowCount = 2;
    });
    with("no palette entries", [](RLEBuilder& b) { b.entryCount = 0; });
    with("palette past end", [](RLEBuilder& b) { b.entryCount = 5000; });
    with("truncated colour run", [](RLEBuilder& b) { b.rows[1] = {0x01, 0xFE, 0x01}; });
    with("truncated transparent run", [](RLEBuilder& b) { b.rows[1] = {0xFF}; });
    with("truncated base marker", [](RLEBuilder& b) { b.rows[1] = {0xFD, 0x01}; });
    {
        // A long row length that reads as negative.
        std::vector<uint8_t> file = Valid();
        const size_t table = 14 + 20 + 11;
        file.insert(file.begin() + table, {0xFF, 0x80});
        file[table + 2] = 0x00;
        cases.emplace_back("negative row length", file);
    }
    return cases;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Files, MalformedRLE, ::testing::ValuesIn(MalformedCases()),
                         [](const auto& info) {
                             std::string name = info.param.first;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST(RLEDecoder, ColourCountIsKnownForFilesThatFailLater) {
    RLEBuilder b = TenColours(4, 2, true);
    b.rows = {{0x0C}, {}};
    auto d = Decode(b.Build());
    EXPECT_FALSE(d->result.success);
    EXPECT_TRUE(d->result.headerRead);
    EXPECT_EQ(d->result.colorCount, 10);
}

TEST(RLEDecoder, TrailingBaseMarkerAndRowCountAboveHeight) {
    RLEBuilder b = TenColours(2, 1, false);
    b.rowCount = 2;
    b.rows = {{0x01, 0xFD, 0x02, 0x00}, {0xFF, 0x02}};
    auto d = Decode(b.Build());
    ASSERT_TRUE(d->result.success);
    EXPECT_EQ(EntryAt(d->image, 0, 0), 1);
    EXPECT_EQ(d->image.Height(), 1);
}
