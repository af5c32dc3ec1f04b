#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/RLEDecoder.h"
#include "engine/RLEFile.h"
#include "engine/RLEScaledDecoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

using quenda::RLEPixelOrder;
using quenda::RLETarget;
using testsupport::RLEBuilder;

namespace {

using Bytes = std::vector<uint8_t>;

struct Raster {
    int32_t width = 0;
    int32_t height = 0;
    Bytes pixels;  // 4 bytes each, top row first
};

// The full decoder's picture as premultiplied BGRA, top row first; empty on failure.
Raster FullDecode(const Bytes& file) {
    quenda::ZorixImgEngineEvents none;
    quenda::c32bppDIB image;
    if (!quenda::DecodeRLEBytes(file, "f", image, none).success) {
        return {};
    }
    Raster r{image.Width(), image.Height(), {}};
    for (int32_t y = 0; y < r.height; ++y) {
        const uint8_t* row = image.BitsPointer() + image.PixelOffset(0, y);
        r.pixels.insert(r.pixels.end(), row, row + 4 * r.width);
    }
    return r;
}

// The box filter written plainly, pixel by pixel, then the target's byte order.
Raster PlainBoxScale(const Raster& src, int32_t w, int32_t h, RLEPixelOrder order) {
    Raster out{w, h, Bytes(static_cast<size_t>(w) * h * 4)};
    auto box = [](int32_t i, int32_t from, int32_t to) {
        const int64_t s = int64_t{i} * from / to;
        const int64_t e = int64_t{i + 1} * from / to;
        return std::pair<int64_t, int64_t>{s, std::max(e, s + 1)};
    };
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const auto [y0, y1] = box(y, src.height, h);
            const auto [x0, x1] = box(x, src.width, w);
            uint64_t sum[4] = {0, 0, 0, 0};
            for (int64_t sy = y0; sy < y1; ++sy) {
                for (int64_t sx = x0; sx < x1; ++sx) {
                    for (int c = 0; c < 4; ++c) {
                        sum[c] += src.pixels[static_cast<size_t>((sy * src.width + sx) * 4 + c)];
                    }
                }
            }
            const uint64_t area = static_cast<uint64_t>((x1 - x0) * (y1 - y0));
            uint8_t p[4];
            for (int c = 0; c < 4; ++c) {
                p[c] = static_cast<uint8_t>((sum[c] + area / 2) / area);
            }
            if (order != RLEPixelOrder::PremultipliedBGRA) {
                for (int c = 0; c < 3; ++c) {
                    const unsigned a = p[3];
                    p[c] = a == 0 ? 0 : a == 255 ? p[c] : std::min(255u, p[c] * 255u / a);
                }
            }
            if (order == RLEPixelOrder::StraightRGBA) {
                std::swap(p[0], p[2]);
            }
            std::memcpy(&out.pixels[(static_cast<size_t>(y) * w + x) * 4], p, 4);
        }
    }
    return out;
}

// The scaled decoder into a raster with padded rows; empty pixels on failure.
Raster Scaled(const Bytes& file, int32_t w, int32_t h, RLEPixelOrder order, bool opaque = false) {
    const ptrdiff_t stride = w * 4 + 12;
    Bytes padded(static_cast<size_t>(stride * h), 0xAB);
    RLETarget t{padded.data(), stride, w, h, order, opaque};
    if (!quenda::DecodeRLEScaled(file, t).success) {
        return {};
    }
    Raster r{w, h, {}};
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* row = padded.data() + stride * y;
        r.pixels.insert(r.pixels.end(), row, row + 4 * w);
        EXPECT_EQ(row[4 * w], 0xAB) << "wrote past the row";
    }
    return r;
}

// Rows of random runs, singles, base markers, short and long rows, some transparent.
Bytes RandomFile(uint32_t seed, int32_t width, int32_t height, bool alpha) {
    std::mt19937 random(seed);
    RLEBuilder b;
    b.width = width;
    b.height = height;
    b.hasAlpha = alpha;
    for (int i = 1; i <= 300; ++i) {
        b.colors.push_back(static_cast<uint16_t>(random()));
    }
    b.alphas.push_back(0);
    for (int i = 1; i <= 300; ++i) {
        b.alphas.push_back(static_cast<uint8_t>(random() % 33));
    }
    for (int32_t y = 0; y < height; ++y) {
        Bytes row;
        if (random() % 3 == 0) {
            row = {0xFD, static_cast<uint8_t>(random() % 40), 0};
        }
        // Rows end short of the width or run past it.
        const int32_t goal = width - 3 + static_cast<int32_t>(random() % 7);
        for (int32_t x = 0; x < goal;) {
            const uint32_t kind = random() % 4;
            const auto n = static_cast<uint8_t>(1 + random() % 20);
            if (kind == 0) {
                row.insert(row.end(), {0xFE, static_cast<uint8_t>(1 + random() % 250), n});
            } else if (kind == 1) {
                row.insert(row.end(), {0xFF, n});
            } else {
                row.push_back(static_cast<uint8_t>(random() % 253));
                x += 1;
                continue;
            }
            x += n;
        }
        b.rows.push_back(row);
    }
    return b.Build();
}

struct Picture {
    const char* name;
    Bytes file;
};

std::vector<Picture> Pictures() {
    return {{"varied alpha", testsupport::VariedAlphaFile(61, 37)},
            {"random with alpha", RandomFile(1, 97, 45, true)},
            {"random opaque", RandomFile(2, 50, 80, false)},
            {"one pixel", RandomFile(3, 1, 1, true)},
            {"one row", RandomFile(4, 40, 1, true)}};
}

TEST(RLEScaledDecoder, EqualsTheFullDecodeScaledByTheBoxFilter) {
    for (const Picture& p : Pictures()) {
        const Raster full = FullDecode(p.file);
        ASSERT_FALSE(full.pixels.empty()) << p.name;
        const int32_t w = full.width, h = full.height;
        const std::pair<int32_t, int32_t> sizes[] = {
            {w, h},     {(w + 1) / 2, (h + 1) / 2}, {std::max(1, w - 1), std::max(1, h / 3)},
            {1, 1},     {2 * w + 1, 3 * h},         {std::max(1, w / 4), 2 * h + 1},
            {w + 1, h}, {w, std::max(1, h - 1)}};
        for (const auto& [sw, sh] : sizes) {
            for (RLEPixelOrder order : {RLEPixelOrder::PremultipliedBGRA,
                                        RLEPixelOrder::StraightBGRA, RLEPixelOrder::StraightRGBA}) {
                const Raster expected = PlainBoxScale(full, sw, sh, order);
                const Raster got = Scaled(p.file, sw, sh, order);
                EXPECT_EQ(got.pixels, expected.pixels)
                    << p.name << " at " << sw << "x" << sh << " order " << static_cast<int>(order);
            }
        }
    }
}

TEST(RLEScaledDecoder, FillsAnEngineBufferAtFullSizeWithTheFullDecodersBytes) {
    const Bytes file = RandomFile(9, 33, 21, true);
    quenda::ZorixImgEngineEvents none;
    quenda::c32bppDIB full, scaled;
    ASSERT_TRUE(quenda::DecodeRLEBytes(file, "f", full, none).success);
    ASSERT_TRUE(scaled.InitializeDIB(33, 21));
    std::memset(scaled.BitsPointer(), 0x5A, scaled.ByteCount());
    const RLETarget t{scaled.BitsPointer() + scaled.PixelOffset(0, 0), -scaled.scanWidth(), 33, 21};
    ASSERT_TRUE(quenda::DecodeRLEScaled(file, t).success);
    EXPECT_EQ(0, std::memcmp(full.BitsPointer(), scaled.BitsPointer(), full.ByteCount()));
}

TEST(RLEScaledDecoder, OpaqueTargetsShowUncoveredColumnsAsBlack) {
    RLEBuilder b;
    b.width = 4;
    b.height = 2;
    b.colors = {0xFFFF};
    b.rows = {{0x01}, {0x01, 0x01, 0x01, 0x01}};
    const Bytes file = b.Build();
    const Raster full = Scaled(file, 4, 2, RLEPixelOrder::StraightBGRA, true);
    const Bytes white = {255, 255, 255, 255}, black = {0, 0, 0, 255};
    ASSERT_EQ(full.pixels.size(), 32u);
    EXPECT_EQ(Bytes(full.pixels.begin(), full.pixels.begin() + 4), white);
    EXPECT_EQ(Bytes(full.pixels.begin() + 4, full.pixels.begin() + 8), black);
    // Half size: three white pixels and a black one, then two of each.
    const Raster half = Scaled(file, 2, 1, RLEPixelOrder::StraightBGRA, true);
    EXPECT_EQ(half.pixels, (Bytes{191, 191, 191, 255, 128, 128, 128, 255}));
}

// Whatever the bytes, the scaled decoder succeeds exactly when the full decoder does.
TEST(RLEScaledDecoder, FailsExactlyWhereTheFullDecoderFails) {
    const Bytes good = RandomFile(5, 30, 12, true);
    std::mt19937 random(11);
    int failures = 0;
    for (int i = 0; i < 400; ++i) {
        Bytes file = good;
        if (i % 4 == 0) {
            file.resize(random() % file.size());
        } else {
            for (int k = 0; k < 1 + i % 3; ++k) {
                file[14 + random() % (file.size() - 14)] = static_cast<uint8_t>(random());
            }
        }
        const Raster full = FullDecode(file);
        quenda::RLEImageInfo info;
        const bool sized = quenda::ReadRLEInfo(file, info) && info.width < 200 && info.height < 200;
        const int32_t w = sized ? info.width : 7, h = sized ? info.height : 5;
        const Raster same = Scaled(file, w, h, RLEPixelOrder::PremultipliedBGRA);
        const Raster small = Scaled(file, 5, 3, RLEPixelOrder::StraightRGBA);
        EXPECT_EQ(same.pixels, full.pixels) << "mutation " << i;
        EXPECT_EQ(small.pixels.empty(), full.pixels.empty()) << "mutation " << i;
        failures += full.pixels.empty();
    }
    EXPECT_GT(failures, 100);
}

TEST(RLEScaledDecoder, RefusesEmptyPicturesAndTargets) {
    RLEBuilder b;
    b.width = 0;
    b.height = 3;
    b.rows = {{}, {}, {}};
    quenda::RLEImageInfo info;
    EXPECT_FALSE(quenda::ReadRLEInfo(b.Build(), info));
    uint8_t pixel[4];
    EXPECT_FALSE(quenda::DecodeRLEScaled(b.Build(), {pixel, 4, 1, 1}).success);
    b.width = 3;
    EXPECT_TRUE(quenda::DecodeRLEScaled(b.Build(), {pixel, 4, 1, 1}).success);
    EXPECT_FALSE(quenda::DecodeRLEScaled(b.Build(), {nullptr, 4, 1, 1}).success);
    EXPECT_FALSE(quenda::DecodeRLEScaled(b.Build(), {pixel, 4, 0, 1}).success);
    EXPECT_FALSE(quenda::DecodeRLEScaled(Bytes(20, 0), {pixel, 4, 1, 1}).success);
}

// A reader that fetches as little as it must: prefixes grown to what the parser asks
// for, then the rows one by one, give the picture of the whole file.
TEST(RLEScaledDecoder, PrologueAndRowsArriveInPieces) {
    RLEBuilder b;
    b.width = 300;
    b.height = 40;
    b.colors = {0xF800, 0x07E0};
    for (int y = 0; y < 40; ++y) {
        // Every other row needs a long length record.
        Bytes codes(y % 2 ? 300 : 10);
        for (size_t x = 0; x < codes.size(); ++x) {
            codes[x] = static_cast<uint8_t>(1 + (x + y) % 2);
        }
        b.rows.push_back(testsupport::EncodeCodesRow(codes));
    }
    const Bytes file = b.Build();
    quenda::rle::ParsedFile prologue;
    size_t needed = 0;
    size_t have = 0;
    int reads = 0;
    quenda::rle::ParseError e;
    while ((e = quenda::rle::ParsePrologue({file.data(), have}, prologue, needed)) ==
           quenda::rle::ParseError::Truncated) {
        ASSERT_GT(needed, have) << "no progress";
        ASSERT_LE(needed, file.size());
        have = needed;
        ++reads;
    }
    ASSERT_EQ(e, quenda::rle::ParseError::None);
    EXPECT_LT(reads, 12);
    EXPECT_EQ(prologue.dataOffset + prologue.dataSize, file.size());

    Bytes row;
    size_t at = prologue.dataOffset;
    int32_t expectedY = 0;
    const quenda::RLERowSource source = [&](int32_t y, std::span<const uint8_t>& bytes) {
        EXPECT_EQ(y, expectedY++);
        const size_t n = prologue.rowLengths[static_cast<size_t>(y)];
        row.assign(file.begin() + static_cast<ptrdiff_t>(at),
                   file.begin() + static_cast<ptrdiff_t>(at + n));
        at += n;
        bytes = row;
        return true;
    };
    Bytes pixels(75 * 10 * 4);
    ASSERT_TRUE(quenda::DecodeRLERows(prologue, source, {pixels.data(), 75 * 4, 75, 10}).success);
    EXPECT_EQ(expectedY, 40);
    EXPECT_EQ(pixels, Scaled(file, 75, 10, RLEPixelOrder::PremultipliedBGRA).pixels);
}

}  // namespace
