#include "imaging/ByteCursor.h"

#include <gtest/gtest.h>

#include "imaging/ByteWindow.h"

using quenda::ByteCursor;
using quenda::ByteWindow;

TEST(ByteCursor, ReadsFixedWidthValuesInBothByteOrders) {
    const uint8_t data[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                            0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D};
    ByteCursor c(data, sizeof data);
    uint8_t b = 0;
    uint16_t le16 = 0, be16 = 0;
    uint32_t le32 = 0, be32 = 0;
    ASSERT_TRUE(c.ReadU8(b));
    ASSERT_TRUE(c.ReadLE16(le16));
    ASSERT_TRUE(c.ReadBE16(be16));
    ASSERT_TRUE(c.ReadLE32(le32));
    ASSERT_TRUE(c.ReadBE32(be32));
    EXPECT_EQ(b, 0x01);
    EXPECT_EQ(le16, 0x0302);
    EXPECT_EQ(be16, 0x0405);
    EXPECT_EQ(le32, 0x09080706u);
    EXPECT_EQ(be32, 0x0A0B0C0Du);
    EXPECT_EQ(c.Position(), sizeof data);
    EXPECT_EQ(c.Remaining(), 0u);
    EXPECT_FALSE(c.Failed());
}

TEST(ByteCursor, AReadPastTheEndFailsAtItsPositionAndStaysFailed) {
    const uint8_t data[] = {1, 2, 3, 4, 5};
    ByteCursor c(data, sizeof data);
    uint32_t v = 0;
    uint16_t w = 0;
    ASSERT_TRUE(c.ReadLE32(v));
    EXPECT_FALSE(c.ReadLE16(w));
    EXPECT_TRUE(c.Failed());
    EXPECT_EQ(c.FailedAt(), 4u);
    uint8_t b = 0;
    EXPECT_FALSE(c.ReadU8(b)) << "a failed cursor reads nothing more, even what is there";
    EXPECT_EQ(c.FailedAt(), 4u) << "the first failure is the one remembered";
    EXPECT_EQ(c.Remaining(), 0u);
}

TEST(ByteCursor, SpansCannotPassTheEndEvenWithHugeLengths) {
    const uint8_t data[] = {9, 8, 7, 6};
    ByteCursor c(data, sizeof data);
    const uint8_t* p = c.Span(3);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[2], 7);
    EXPECT_EQ(c.Span(SIZE_MAX), nullptr);  // no wrap-around of position + length
    EXPECT_EQ(c.FailedAt(), 3u);

    ByteCursor d(data, sizeof data);
    EXPECT_TRUE(d.Skip(0));
    EXPECT_TRUE(d.Skip(4));
    EXPECT_FALSE(d.Skip(1));
}

TEST(ByteCursor, SeekWithinAndBeyondTheData) {
    const uint8_t data[] = {1, 2, 3};
    ByteCursor c(data, sizeof data);
    EXPECT_TRUE(c.Seek(3));
    EXPECT_EQ(c.Remaining(), 0u);
    EXPECT_FALSE(c.Seek(4));
    EXPECT_EQ(c.FailedAt(), 4u);
}

// A reader's window never reaches past the array, and a zero length means nothing or the
// rest as the reader says.
TEST(ByteWindow, StaysInsideTheArray) {
    const std::vector<uint8_t> bytes = {1, 2, 3, 4, 5};
    EXPECT_EQ(ByteWindow::Of(bytes, 5, 1).data, nullptr);
    EXPECT_EQ(ByteWindow::Of(bytes, 9, 1, ByteWindow::ZeroLength::Rest).data, nullptr);
    const ByteWindow tail = ByteWindow::Of(bytes, 3, 100);
    ASSERT_NE(tail.data, nullptr);
    EXPECT_EQ(tail.data[0], 4);
    EXPECT_EQ(tail.size, 2u);
    EXPECT_EQ(ByteWindow::Of(bytes, 1, 2).size, 2u);
    EXPECT_EQ(ByteWindow::Of(bytes, 1, 0).size, 0u);
    EXPECT_EQ(ByteWindow::Of(bytes, 1, 0, ByteWindow::ZeroLength::Rest).size, 4u);
    EXPECT_EQ(ByteWindow::Of({}, 0, 0, ByteWindow::ZeroLength::Rest).data, nullptr);
}
