// The gdk-pixbuf loader's stream decoder: pieces of any size, the header's facts as soon
// as it is in, pixels equal to the engine's at the picture's size, any requested size,
// and clean failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/RLEDecoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/StraightRgba.h"
#include "imaging/c32bppDIB.h"
#include "pixbuf/RleStreamDecoder.h"
#include "support/RLEBuilder.h"

namespace {

using zorixpixbuf::RleStreamDecoder;

std::vector<uint8_t> EngineRgba(const std::vector<uint8_t>& file) {
    quenda::c32bppDIB image;
    quenda::ZorixImgEngineEvents silent;
    EXPECT_TRUE(quenda::DecodeRLEBytes(file, "x", image, silent).success);
    std::vector<uint8_t> rgba(static_cast<size_t>(image.scanWidth()) * image.Height());
    EXPECT_TRUE(quenda::CopyRowsToStraightRgba(image, 0, image.Height(), rgba.data(),
                                               static_cast<size_t>(image.scanWidth())));
    return rgba;
}

bool FeedInPieces(RleStreamDecoder& decoder, const std::vector<uint8_t>& file, size_t piece) {
    for (size_t at = 0; at < file.size(); at += piece) {
        if (!decoder.Append(file.data() + at, std::min(piece, file.size() - at))) {
            return false;
        }
    }
    return true;
}

TEST(PixbufStream, DecodesTheEnginesPixelsWhateverThePieces) {
    const std::vector<uint8_t> file = testsupport::VariedAlphaFile(37, 23);
    const std::vector<uint8_t> expected = EngineRgba(file);
    for (const size_t piece : {size_t{1}, size_t{13}, size_t{14}, size_t{4096}}) {
        RleStreamDecoder decoder;
        ASSERT_TRUE(FeedInPieces(decoder, file, piece)) << piece;
        ASSERT_TRUE(decoder.HeaderRead());
        EXPECT_EQ(decoder.Width(), 37);
        EXPECT_EQ(decoder.Height(), 23);
        EXPECT_TRUE(decoder.HasAlpha());
        // A wider row than the picture's: the stride is honoured, the padding untouched.
        const size_t stride = 37 * 4 + 8;
        std::vector<uint8_t> out(stride * 23, 0xAB);
        ASSERT_TRUE(decoder.Decode(37, 23, out.data(), stride)) << decoder.Reason();
        for (size_t y = 0; y < 23; ++y) {
            EXPECT_TRUE(std::equal(expected.begin() + y * 37 * 4,
                                   expected.begin() + (y + 1) * 37 * 4, out.begin() + y * stride))
                << "row " << y << " piece " << piece;
            EXPECT_EQ(out[y * stride + 37 * 4], 0xAB);
        }
    }
}

TEST(PixbufStream, KnowsTheSizeOnceTheHeaderIsIn) {
    const std::vector<uint8_t> file = testsupport::VariedAlphaFile(300, 2);
    RleStreamDecoder decoder;
    ASSERT_TRUE(decoder.Append(file.data(), 13));
    EXPECT_FALSE(decoder.HeaderRead());
    ASSERT_TRUE(decoder.Append(file.data() + 13, 1));
    EXPECT_TRUE(decoder.HeaderRead());
    EXPECT_EQ(decoder.Width(), 300);
}

TEST(PixbufStream, DecodesAtARequestedSize) {
    const std::vector<uint8_t> file = testsupport::VariedAlphaFile(64, 48);
    RleStreamDecoder decoder;
    ASSERT_TRUE(FeedInPieces(decoder, file, 1000));
    std::vector<uint8_t> out(16 * 4 * 12);
    ASSERT_TRUE(decoder.Decode(16, 12, out.data(), 16 * 4)) << decoder.Reason();
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](uint8_t v) { return v != 0; }));
}

TEST(PixbufStream, FailsCleanlyOnBadData) {
    std::vector<uint8_t> truncated = testsupport::VariedAlphaFile(40, 40);
    truncated.resize(truncated.size() - 10);
    testsupport::RLEBuilder noPixels;
    noPixels.width = 0;
    noPixels.height = 5;
    testsupport::RLEBuilder negative;
    negative.width = 10;
    negative.height = -3;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool failsAtAppend;
    };
    const Case cases[] = {
        {"windows bitmap", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true},
        {"no pixels", noPixels.Build(), true},
        {"negative height", negative.Build(), true},
        {"truncated", truncated, false},
        {"header only", std::vector<uint8_t>(truncated.begin(), truncated.begin() + 14), false},
        {"short", {'R', 'L', 1}, false},
    };
    for (const Case& c : cases) {
        RleStreamDecoder decoder;
        EXPECT_EQ(FeedInPieces(decoder, c.bytes, 5), !c.failsAtAppend) << c.name;
        std::vector<uint8_t> out(40 * 40 * 4);
        EXPECT_FALSE(decoder.Decode(40, 40, out.data(), 40 * 4)) << c.name;
        EXPECT_FALSE(decoder.Reason().empty()) << c.name;
        // A failed decoder stays failed.
        EXPECT_FALSE(decoder.Append(c.bytes.data(), 0)) << c.name;
    }
}

}  // namespace
