#include "capture/cFrame.h"
#include "platform/MemoryException.h"

#include <gtest/gtest.h>

#include <vector>

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

// A buffer the frame takes over goes back to its owner, once, whichever way the frame lets go.
TEST(FrameTest, AnAdoptedBufferGoesBackToItsOwnerOnce) {
    struct Owner {
        std::vector<unsigned char> buffer = std::vector<unsigned char>(cFrame::strideFor(5) * 3);
        int releases = 0;
    };
    auto release = [](void* owner) { ++static_cast<Owner*>(owner)->releases; };
    Owner first;
    Owner second;
    {
        cFrame frame;
        frame.adopt(first.buffer.data(), 5, 3, release, &first);
        EXPECT_EQ(frame.pixels.get(), first.buffer.data());
        EXPECT_EQ(frame.bufferSize(), first.buffer.size());
        frame.adopt(second.buffer.data(), 5, 3, release, &second);
        EXPECT_EQ(first.releases, 1);
        frame.allocate(2, 2); // a buffer of its own from now on
        EXPECT_EQ(second.releases, 1);
        EXPECT_NE(frame.pixels, nullptr);
        frame.adopt(first.buffer.data(), 5, 3, release, &first);
        FramePtr moved = makeEmptyFrame();
        moved->pixels = std::move(frame.pixels);
    }
    EXPECT_EQ(first.releases, 2);
    EXPECT_EQ(second.releases, 1);
}

} // namespace
