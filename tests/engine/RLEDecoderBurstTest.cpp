// The decoder writes runs in bursts that may reach past them; these rows compare it
// with a pixel-by-pixel decoding through SetPixel, the plain way.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/RLEDecoder.h"
#include "engine/modColor.h"
#include "imaging/c32bppDIB.h"
#include "support/EventRecorder.h"
#include "support/RLEBuilder.h"

using quenda::c32bppDIB;
using testsupport::RLEBuilder;

namespace {

uint8_t Alpha255(const RLEBuilder& b, size_t entry) {
    return b.hasAlpha ? quenda::Alpha33To255(b.alphas[entry]) : 255;
}

// The token grammar one pixel at a time; false where a code names no entry.
bool PlainDecode(const RLEBuilder& b, c32bppDIB& image) {
    const size_t last = b.colors.size();
    const uint8_t clear = b.hasAlpha ? 0 : 255;
    image.InitializeDIB(b.width, b.height);
    for (int32_t y = 0; y < b.height; ++y) {
        const std::vector<uint8_t>& row = b.rows[y];
        int32_t x = 0;
        size_t base = 0;
        auto put = [&](size_t entry) {
            if (x < b.width) {
                const uint32_t color = entry == 0 ? 0 : quenda::RGB565ToRGB(b.colors[entry - 1]);
                image.SetPixel(x, y, color, entry == 0 ? clear : Alpha255(b, entry), false);
            }
            ++x;
        };
        for (size_t p = 0; p < row.size();) {
            if (row[p] == 0xFD) {
                base = row[p + 1] | (row[p + 2] << 8);
                p += 3;
                if (p == row.size()) {
                    break;
                }
            }
            if (row[p] == 0xFE) {
                const size_t v = row[p + 1];
                if (v != 0 && v + base > last) {
                    return false;
                }
                for (int i = 0; i < row[p + 2]; ++i) {
                    put(v == 0 ? 0 : v + base);
                }
                p += 3;
            } else if (row[p] == 0xFF) {
                for (int i = 0; i < row[p + 1]; ++i) {
                    put(0);
                }
                p += 2;
            } else {
                size_t i = row[p] == 0 ? 0 : row[p] + base;
                if (i > last) {
                    i = row[p];
                    base = 0;
                }
                if (i > last) {
                    return false;
                }
                put(i);
                p += 1;
            }
        }
    }
    return true;
}

// Random rows of every token kind, some shorter and some longer than the width.
RLEBuilder RandomFile(std::mt19937& random, bool alpha) {
    RLEBuilder b;
    b.width = static_cast<int32_t>(1 + random() % 70);
    b.height = 6;
    b.hasAlpha = alpha;
    const size_t colours = 3 + random() % 300;
    for (size_t i = 0; i < colours; ++i) {
        b.colors.push_back(static_cast<uint16_t>(random()));
    }
    for (size_t i = 0; i <= colours; ++i) {
        b.alphas.push_back(static_cast<uint8_t>(random() % 33));
    }
    for (int32_t y = 0; y < b.height; ++y) {
        std::vector<uint8_t> row;
        const int tokens = static_cast<int>(random() % 30);
        for (int t = 0; t < tokens; ++t) {
            const uint32_t kind = random() % 5;
            const auto count = static_cast<uint8_t>(random() % 3 == 0 ? random() % 40 : random());
            const auto code = static_cast<uint8_t>(random() % std::min<size_t>(colours + 1, 253));
            if (kind == 0) {
                row.insert(row.end(), {0xFE, code, count});
            } else if (kind == 1) {
                row.insert(row.end(), {0xFF, count});
            } else if (kind == 2 && colours > 252) {
                row.insert(row.end(), {0xFD, static_cast<uint8_t>(random() % 60), 0});
            } else {
                row.push_back(code);
            }
        }
        b.rows.push_back(row);
    }
    return b;
}

}  // namespace

TEST(RLEDecoderBursts, MatchesPixelByPixelDecoding) {
    std::mt19937 random(20261209);
    int compared = 0;
    for (int round = 0; round < 400; ++round) {
        const RLEBuilder b = RandomFile(random, round % 2 == 0);
        c32bppDIB expected;
        const bool plainOk = PlainDecode(b, expected);
        c32bppDIB image;
        testsupport::EventRecorder events;
        const quenda::RLEDecodeResult r = quenda::DecodeRLEBytes(b.Build(), "f", image, events);
        ASSERT_EQ(r.success, plainOk) << "round " << round;
        if (!plainOk) {
            continue;
        }
        ++compared;
        ASSERT_EQ(image.ByteCount(), expected.ByteCount());
        ASSERT_EQ(std::memcmp(image.BitsPointer(), expected.BitsPointer(), image.ByteCount()), 0)
            << "round " << round << ", width " << b.width;
    }
    EXPECT_GT(compared, 100);
}
