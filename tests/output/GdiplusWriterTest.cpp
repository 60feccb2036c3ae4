#include "output/GdiplusSession.h"
#include "output/cBitmapWriter.h"
#include "output/cJPegWriter.h"
#include "output/cPngWriter.h"
#include "support/MemoryFile.h"
#include "support/RecordingUpdate.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using TestImages::decode;
using TestImages::DecodedImage;

const RecordedMessage kCompressFailed =
    RecordedMessage::notify(false, L"Failed to compress image", L"");

// Records whether GDI+ runs at the moment the encoder writes.
class WatchingFile : public MemoryFile {
public:
    void write(const void* data, std::size_t size) override {
        sawRunning = sawRunning || GdiplusSession::isRunning();
        MemoryFile::write(data, size);
    }
    bool sawRunning = false;
};

template <typename Writer> std::string encode(const cFrame& frame, RecordingUpdate& update) {
    MemoryFile file;
    Writer writer;
    EXPECT_TRUE(writer.write(&frame, &file, &update));
    return file.bytes();
}

TEST(GdiplusWriterTest, PngIsLosslessAndSilent) {
    FramePtr frame = TestImages::makeNoiseFrame(123, 45);
    RecordingUpdate update;
    const std::string bytes = encode<cPngWriter>(*frame, update);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1A\n");
    DecodedImage image = decode(bytes);
    ASSERT_EQ(image.width, 123);
    ASSERT_EQ(image.height, 45);
    EXPECT_EQ(TestImages::maxChannelDifference(*frame, image), 0);
    EXPECT_EQ(update.count(), 0u);
}

TEST(GdiplusWriterTest, JpegIsCloseAndSilent) {
    FramePtr frame = TestImages::makeQuadrantFrame(160, 120);
    RecordingUpdate update;
    const std::string bytes = encode<cJPegWriter>(*frame, update);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF");
    DecodedImage image = decode(bytes);
    ASSERT_EQ(image.width, 160);
    ASSERT_EQ(image.height, 120);
    EXPECT_LT(TestImages::meanChannelDifference(*frame, image), 4.0);
    // Away from the quadrant borders the colours survive well.
    for (auto [x, y] : {std::pair{20, 20}, {140, 20}, {20, 100}, {140, 100}}) {
        const COLORREF want = TestImages::framePixel(*frame, x, y);
        const COLORREF got = image.at(x, y);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(static_cast<int>((want >> shift) & 0xFF),
                        static_cast<int>((got >> shift) & 0xFF), 12)
                << x << "," << y;
    }
    EXPECT_EQ(update.count(), 0u);
}

TEST(GdiplusWriterTest, AllThreeFormatsShowTheTopOfTheFrameAtTheTop) {
    // Top half red, bottom half blue: the frame's last rows in memory are the image's top.
    FramePtr frame = TestImages::makeQuadrantFrame(64, 48);
    RecordingUpdate update;
    for (const std::string& bytes :
         {encode<cPngWriter>(*frame, update), encode<cJPegWriter>(*frame, update),
          encode<cBitmapWriter>(*frame, update)}) {
        DecodedImage image = decode(bytes);
        ASSERT_EQ(image.height, 48);
        EXPECT_GT(GetRValue(image.at(5, 5)), 180);
        EXPECT_LT(GetBValue(image.at(5, 5)), 80);
        EXPECT_GT(GetBValue(image.at(5, 42)), 170);
        EXPECT_LT(GetRValue(image.at(5, 42)), 80);
    }
}

TEST(GdiplusWriterTest, OddWidthsKeepEveryRowInPlace) {
    for (int width : {1, 2, 3, 5, 7}) {
        FramePtr frame = TestImages::makeNoiseFrame(width, 9, static_cast<unsigned>(width));
        RecordingUpdate update;
        DecodedImage image = decode(encode<cPngWriter>(*frame, update));
        EXPECT_EQ(TestImages::maxChannelDifference(*frame, image), 0) << width;
    }
}

TEST(GdiplusWriterTest, EncodesIntoAForwardOnlyFile) {
    FramePtr frame = TestImages::makeNoiseFrame(300, 200);
    for (bool png : {true, false}) {
        MemoryFile upload(false);
        RecordingUpdate update;
        const bool ok = png ? cPngWriter().write(frame.get(), &upload, &update)
                            : cJPegWriter().write(frame.get(), &upload, &update);
        EXPECT_TRUE(ok);
        EXPECT_EQ(update.count(), 0u);
        DecodedImage image = decode(upload.bytes());
        EXPECT_EQ(image.width, 300);
        if (png) {
            EXPECT_EQ(TestImages::maxChannelDifference(*frame, image), 0);
        }
    }
}

TEST(GdiplusWriterTest, FileFailingMidwayIsACompressionFailure) {
    FramePtr frame = TestImages::makeNoiseFrame(400, 300);
    for (std::size_t failAfter : {std::size_t{0}, std::size_t{100}, std::size_t{50000}}) {
        MemoryFile png(true, failAfter);
        RecordingUpdate pngUpdate;
        EXPECT_FALSE(cPngWriter().write(frame.get(), &png, &pngUpdate)) << failAfter;
        EXPECT_TRUE(png.failed());
        EXPECT_EQ(pngUpdate.messages(), std::vector<RecordedMessage>{kCompressFailed});

        MemoryFile jpeg(false, failAfter);
        RecordingUpdate jpegUpdate;
        EXPECT_FALSE(cJPegWriter().write(frame.get(), &jpeg, &jpegUpdate)) << failAfter;
        EXPECT_TRUE(jpeg.failed());
        EXPECT_EQ(jpegUpdate.messages(), std::vector<RecordedMessage>{kCompressFailed});
    }
}

TEST(GdiplusWriterTest, EmptyFrameFailsWithoutAMessage) {
    FramePtr frame = makeEmptyFrame();
    MemoryFile file;
    RecordingUpdate update;
    EXPECT_FALSE(cPngWriter().write(frame.get(), &file, &update));
    EXPECT_FALSE(cJPegWriter().write(frame.get(), &file, &update));
    EXPECT_EQ(update.count(), 0u);
    EXPECT_EQ(file.bytes(), "");
}

TEST(GdiplusWriterTest, GdiplusRunsOnlyWhileAnImageIsBeingWritten) {
    ASSERT_EQ(GdiplusSession::liveObjects(), 0);
    EXPECT_FALSE(GdiplusSession::isRunning());
    FramePtr frame = TestImages::makeNoiseFrame(20, 20);
    WatchingFile file;
    EXPECT_TRUE(cPngWriter().write(frame.get(), &file, nullptr));
    EXPECT_TRUE(file.sawRunning);
    EXPECT_FALSE(GdiplusSession::isRunning());
    EXPECT_EQ(GdiplusSession::liveObjects(), 0);

    // While another image object lives, GDI+ stays up after a write.
    {
        GdiplusSession other;
        WatchingFile again;
        EXPECT_TRUE(cJPegWriter().write(frame.get(), &again, nullptr));
        EXPECT_TRUE(again.sawRunning);
        EXPECT_TRUE(GdiplusSession::isRunning());
    }
    EXPECT_FALSE(GdiplusSession::isRunning());

    // And it starts anew for the next one.
    WatchingFile third;
    EXPECT_TRUE(cPngWriter().write(frame.get(), &third, nullptr));
    EXPECT_TRUE(third.sawRunning);
    EXPECT_FALSE(GdiplusSession::isRunning());
}

TEST(GdiplusWriterTest, WritersOnSeveralThreadsAtOnceAllSucceed) {
    constexpr int kThreads = 6;
    constexpr int kRounds = 4;
    std::vector<FramePtr> frames;
    for (int i = 0; i < kThreads; ++i)
        frames.push_back(TestImages::makeNoiseFrame(96 + i, 64, static_cast<unsigned>(i + 10)));
    std::vector<std::string> outputs(kThreads);
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            for (int round = 0; round < kRounds; ++round) {
                MemoryFile file;
                const bool ok = (i + round) % 2 == 0
                                    ? cPngWriter().write(frames[i].get(), &file, nullptr)
                                    : cJPegWriter().write(frames[i].get(), &file, nullptr);
                if (!ok)
                    ++failures[i];
                if (round == 0)
                    outputs[i] = file.bytes();
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(GdiplusSession::liveObjects(), 0);
    EXPECT_FALSE(GdiplusSession::isRunning());
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(failures[i], 0) << i;
        if (i % 2 == 0) { // round 0 of an even thread wrote PNG
            EXPECT_EQ(TestImages::maxChannelDifference(*frames[i], decode(outputs[i])), 0) << i;
        }
    }
}

} // namespace
