#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "codecs/BitmapWriter.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"
#include "platform/ReplacingFileSink.h"
#include "support/RLEBuilder.h"

using quenda::ByteSink;
using quenda::c32bppDIB;

namespace {

// Records every piece it is given and refuses from the piece numbered `failAt` on.
class RecordingSink final : public ByteSink {
  public:
    explicit RecordingSink(size_t failAt = SIZE_MAX) : failAt_(failAt) {}
    bool Write(const uint8_t* data, size_t size) override {
        ++calls;
        if (calls > failAt_) {
            return false;
        }
        bytes.insert(bytes.end(), data, data + size);
        pieces.push_back(size);
        return true;
    }
    size_t calls = 0;
    std::vector<uint8_t> bytes;
    std::vector<size_t> pieces;

  private:
    size_t failAt_;
};

void FillRandom(c32bppDIB& dib, int32_t w, int32_t h, uint32_t seed) {
    ASSERT_TRUE(dib.InitializeDIB(w, h));
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            dib.SetPixel(x, y, static_cast<int32_t>(rng() & 0xFFFFFF),
                         static_cast<uint8_t>(rng() % 256));
        }
    }
}

}  // namespace

// 24-bit rows are made one at a time from the held blue, green and red bytes, padded
// with zeros, and give the bytes of the buffer's own bit extraction.
TEST(BitmapSink, TwentyFourBitRowsGoOutOneByOneAsTheBufferExtractsThem) {
    for (int32_t w : {1, 2, 3, 4, 5, 17}) {
        c32bppDIB dib;
        FillRandom(dib, w, 7, static_cast<uint32_t>(w));
        RecordingSink sink;
        ASSERT_TRUE(quenda::WriteBitmap(dib.BitsPointer(), w, 7, false, sink));
        const size_t rowLength = (static_cast<size_t>(w) * 24 + 31) / 32 * 4;
        ASSERT_EQ(sink.pieces.size(), 8u) << "header, then each row";
        EXPECT_EQ(sink.pieces[1], rowLength);

        std::vector<uint8_t> rows;
        quenda::DIBbitsLayout layout;
        layout.twoDimensional = true;
        layout.bits32 = false;
        layout.alignedRows = true;
        ASSERT_TRUE(dib.GetDIBbits(rows, layout));
        EXPECT_EQ(std::vector<uint8_t>(sink.bytes.begin() + 54, sink.bytes.end()), rows) << w;
        EXPECT_EQ(sink.bytes.size(), quenda::BitmapFileSize(w, 7, false));
    }
}

TEST(BitmapSink, ThirtyTwoBitRowsAreTheHeldBytes) {
    c32bppDIB dib;
    FillRandom(dib, 9, 4, 3);
    RecordingSink sink;
    ASSERT_TRUE(quenda::WriteBitmap(dib.BitsPointer(), 9, 4, true, sink));
    EXPECT_EQ(std::vector<uint8_t>(sink.bytes.begin() + 54, sink.bytes.end()),
              std::vector<uint8_t>(dib.BitsPointer(), dib.BitsPointer() + dib.ByteCount()));
}

// The writer gives up at the first refused piece and offers nothing more.
TEST(BitmapSink, StopsAtTheFirstRefusedWrite) {
    c32bppDIB dib;
    FillRandom(dib, 6, 5, 4);
    for (size_t failAt : {0u, 1u, 3u}) {
        RecordingSink sink(failAt);
        EXPECT_FALSE(quenda::WriteBitmap(dib.BitsPointer(), 6, 5, false, sink));
        EXPECT_EQ(sink.calls, failAt + 1);
    }
}

TEST(BitmapSink, RefusesImagesTooLargeForTheFormat) {
    EXPECT_EQ(quenda::BitmapFileSize(70000, 70000, true), 0u);
    EXPECT_EQ(quenda::BitmapFileSize(0, 5, false), 0u);
    EXPECT_EQ(quenda::BitmapFileSize(3, 2, false), 78u);
    uint8_t pixel[4] = {};
    RecordingSink sink;
    EXPECT_FALSE(quenda::WriteBitmap(pixel, 70000, 70000, true, sink));
    EXPECT_EQ(sink.calls, 0u);
}

// The file appears, whole, only on Commit.
TEST(BitmapSink, ReplacingFileSinkWritesOnCommitOnly) {
    const std::string dir = testsupport::MakeTempDir("bitmapsink");
    const std::filesystem::path target = std::filesystem::path(dir) / "out.bmp";
    c32bppDIB dib;
    FillRandom(dib, 5, 3, 5);
    {
        quenda::ReplacingFileSink sink(target);
        ASSERT_TRUE(quenda::WriteBitmap(dib.BitsPointer(), 5, 3, false, sink));
        EXPECT_FALSE(std::filesystem::exists(target));
    }
    // The rows went to a temporary file, which an uncommitted sink removes.
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    quenda::ReplacingFileSink sink(target);
    ASSERT_TRUE(quenda::WriteBitmap(dib.BitsPointer(), 5, 3, false, sink));
    ASSERT_TRUE(sink.Commit());
    std::vector<uint8_t> written;
    ASSERT_TRUE(quenda::fileio::ReadWholeFile(target, written));
    std::vector<uint8_t> expected;
    dib.setAlpha(false);
    ASSERT_TRUE(dib.SaveToStream(expected));
    EXPECT_EQ(written, expected);
    std::filesystem::remove_all(dir);
}
