#include "output/BitmapHeaders.h"
#include "output/cBitmapWriter.h"
#include "support/MemoryFile.h"
#include "support/RecordingUpdate.h"
#include "support/TestFrames.h"
#ifdef _WIN32
#include "support/TestImages.h"
#endif

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::uint32_t read32(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    return value;
}

std::uint16_t read16(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                      static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

std::string writeBitmap(const cFrame& frame, IFrameOutputUpdate* update = nullptr) {
    MemoryFile file;
    cBitmapWriter writer;
    EXPECT_TRUE(writer.write(&frame, &file, update));
    return file.bytes();
}

TEST(BitmapWriterTest, OnePixelFrameIsExactly142Bytes) {
    FramePtr frame = makeEmptyFrame();
    frame->allocate(1, 1);
    frame->pixels[0] = 0x11; // blue
    frame->pixels[1] = 0x22; // green
    frame->pixels[2] = 0x33; // red
    frame->pixels[3] = 0x44; // padding, written as the frame holds it

    const std::string expectedHeaders(
        "BM\x8E\0\0\0\0\0\0\0\x8A\0\0\0" // file header: size 142, offset 138
        "\x7C\0\0\0\1\0\0\0\1\0\0\0\1\0\x18\0\0\0\0\0",
        34);
    std::string expected = expectedHeaders + std::string(104, '\0') + "\x11\x22\x33\x44";
    EXPECT_EQ(writeBitmap(*frame), expected);
}

TEST(BitmapWriterTest, HeaderFieldsDescribeTheFrame) {
    FramePtr frame = TestImages::makeNoiseFrame(5, 3);
    const std::string bytes = writeBitmap(*frame);

    ASSERT_EQ(bytes.size(), 138u + 16u * 3u); // 5 pixels: 15 bytes, padded to 16
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(read32(bytes, 2), bytes.size());
    EXPECT_EQ(read16(bytes, 6), 0);
    EXPECT_EQ(read16(bytes, 8), 0);
    EXPECT_EQ(read32(bytes, 10), 138u);
    EXPECT_EQ(read32(bytes, 14), 124u);
    EXPECT_EQ(read32(bytes, 18), 5u);
    EXPECT_EQ(read32(bytes, 22), 3u);
    EXPECT_EQ(read16(bytes, 26), 1);
    EXPECT_EQ(read16(bytes, 28), 24);
    EXPECT_EQ(read32(bytes, 30), 0u);
    EXPECT_EQ(bytes.substr(34, 104), std::string(104, '\0'));
    EXPECT_EQ(std::memcmp(bytes.data() + 138, frame->pixels.get(), frame->bufferSize()), 0);
}

TEST(BitmapWriterTest, SizeFieldEqualsTheFileLengthForEveryStride) {
    struct Case {
        int width;
        std::size_t stride;
    };
    for (const Case& c : {Case{1, 4}, Case{2, 8}, Case{3, 12}, Case{4, 12}, Case{5, 16},
                          Case{7, 24}, Case{640, 1920}}) {
        const std::string bytes = writeBitmap(*TestImages::makeNoiseFrame(c.width, 7));
        EXPECT_EQ(bytes.size(), 138u + c.stride * 7) << c.width;
        EXPECT_EQ(read32(bytes, 2), bytes.size()) << c.width;
    }
}

TEST(BitmapWriterTest, LargeFrameGoesOutInMebibytePiecesAfterTwoHeaderWrites) {
    FramePtr frame = TestImages::makeNoiseFrame(2000, 1000);
    MemoryFile file;
    cBitmapWriter writer;
    ASSERT_TRUE(writer.write(frame.get(), &file, nullptr));

    const std::vector<std::size_t> expected{14,      124,     1048576, 1048576,
                                            1048576, 1048576, 1048576, 757120};
    EXPECT_EQ(file.writeSizes(), expected);
    ASSERT_EQ(file.bytes().size(), 138u + 6000000u);
    EXPECT_EQ(std::memcmp(file.bytes().data() + 138, frame->pixels.get(), 6000000), 0);
}

TEST(BitmapWriterTest, EmptyFrameWritesOnlyTheHeaders) {
    FramePtr frame = makeEmptyFrame();
    MemoryFile file;
    cBitmapWriter writer;
    EXPECT_TRUE(writer.write(frame.get(), &file, nullptr));
    EXPECT_EQ(file.writeSizes(), (std::vector<std::size_t>{14, 124}));
    EXPECT_EQ(read32(file.bytes(), 2), 138u);
}

TEST(BitmapWriterTest, WritesFromTheFilesCurrentPositionWithoutFlushingOrClosing) {
    FramePtr frame = TestImages::makeNoiseFrame(3, 3);
    MemoryFile file;
    file.write("prefix", 6);
    cBitmapWriter writer;
    ASSERT_TRUE(writer.write(frame.get(), &file, nullptr));
    EXPECT_EQ(file.bytes().substr(0, 8), "prefixBM");
    EXPECT_EQ(file.bytes().size(), 6u + 138u + 12u * 3u);
    EXPECT_EQ(file.flushes(), 0);
    EXPECT_EQ(file.closes(), 0);
}

TEST(BitmapWriterTest, ReportsSuccessOnlyWhenAskedTo) {
    FramePtr frame = TestImages::makeNoiseFrame(2, 2);
    RecordingUpdate update;
    writeBitmap(*frame, &update);
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{RecordedMessage::notify(
                                     true, L"Image written successfully", L"")}));
    // A null update: written all the same, and nothing to report to.
    EXPECT_EQ(writeBitmap(*frame, nullptr).size(), 138u + 8u * 2u);
}

TEST(BitmapWriterTest, FailingFileRaisesItsExceptionAndReportsNothing) {
    FramePtr frame = TestImages::makeNoiseFrame(1000, 1000);
    for (std::size_t failAfter : {std::size_t{0}, std::size_t{20}, std::size_t{2000000}}) {
        MemoryFile file(true, failAfter);
        RecordingUpdate update;
        cBitmapWriter writer;
        EXPECT_THROW(writer.write(frame.get(), &file, &update), MemoryFileFailure) << failAfter;
        EXPECT_TRUE(file.failed());
        EXPECT_EQ(update.count(), 0u) << failAfter;
    }
}

#ifdef _WIN32
// Read back by GDI+, which only the Windows build has.
TEST(BitmapWriterTest, DecodesToTheFramePixels) {
    FramePtr frame = TestImages::makeNoiseFrame(37, 23);
    TestImages::DecodedImage image = TestImages::decode(writeBitmap(*frame));
    ASSERT_EQ(image.width, 37);
    ASSERT_EQ(image.height, 23);
    EXPECT_EQ(TestImages::maxChannelDifference(*frame, image), 0);
}
#endif

} // namespace
