#include "capture/cFrame.h"
#include "platform/MemoryException.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameTest, StrideIsThreeBytesAPixelRoundedUpToFour) {
    EXPECT_EQ(cFrame::strideFor(1), 4u);
    EXPECT_EQ(cFrame::strideFor(4), 12u);
    EXPECT_EQ(cFrame::strideFor(5), 16u);
    EXPECT_EQ(cFrame::strideFor(1366), 4100u);
    EXPECT_EQ(cFrame::strideFor(1920), 5760u);
}

TEST(FrameTest, NewFrameIsEmpty) {
    FramePtr frame = makeEmptyFrame();
    EXPECT_EQ(frame->pixels, nullptr);
    EXPECT_EQ(frame->width, 0);
    EXPECT_EQ(frame->height, 0);
    EXPECT_TRUE(frame->name.empty());
}

TEST(FrameTest, AllocateGivesStrideTimesHeightBytes) {
    cFrame frame;
    frame.allocate(1366, 3);
    ASSERT_NE(frame.pixels, nullptr);
    EXPECT_EQ(frame.bufferSize(), 4100u * 3);
    frame.pixels[4100 * 3 - 1] = 0xAB; // the last byte belongs to the buffer
    EXPECT_EQ(frame.width, 1366);
    EXPECT_EQ(frame.height, 3);
}

TEST(FrameTest, ZeroOrNegativeSizeGivesNoBuffer) {
    cFrame frame;
    frame.allocate(10, 10);
    frame.allocate(0, 100);
    EXPECT_EQ(frame.pixels, nullptr);
    EXPECT_EQ(frame.width, 0);
    EXPECT_EQ(frame.height, 0);
    frame.allocate(100, 0);
    EXPECT_EQ(frame.pixels, nullptr);
    frame.allocate(-5, 10);
    EXPECT_EQ(frame.pixels, nullptr);
}

TEST(FrameTest, ImpossibleBufferRaisesTheMemoryException) {
    cFrame frame;
    frame.name = L"kept";
    EXPECT_THROW(frame.allocate(0x7FFFFFFF, 0x7FFFFFFF), MemoryException);
    EXPECT_EQ(frame.pixels, nullptr);
    EXPECT_EQ(frame.width, 0);
    EXPECT_EQ(frame.name, L"kept");
}

} // namespace
