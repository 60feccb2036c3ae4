#include "output/upload/TransferFile.h"
#include "support/MemoryFile.h"

#include <gtest/gtest.h>

// The writers and the frame entry that use the transfer are Windows code.
#ifdef _WIN32
#include "output/FrameWriting.h"
#include "output/upload/stFrameEntry.h"
#include "platform/FileException.h"
#include "support/RecordingUpdate.h"
#include "support/TestImages.h"
#endif

namespace {

TEST(TransferFileTest, PassesEverythingOn) {
    MemoryFile file(false);
    bool broken = false;
    TransferFile transfer(file, broken);
    transfer.write("abc", 3);
    transfer.flush();
    EXPECT_EQ(transfer.seek(0, SeekOrigin::Current), 3u);
    EXPECT_EQ(transfer.position(), 3u);
    EXPECT_FALSE(transfer.canSeek());
    transfer.close();
    EXPECT_EQ(file.bytes(), "abc");
    EXPECT_EQ(file.flushes(), 1);
    EXPECT_EQ(file.closes(), 1);
    EXPECT_FALSE(broken);
    EXPECT_NO_THROW(transfer.rethrowFailure());
}

#ifdef _WIN32
const RecordedMessage kCompressFailed =
    RecordedMessage::notify(false, L"Failed to compress image", L"");

stFrameEntry entryFor(IFrameOutputUpdate* update) {
    stFrameEntry entry;
    entry.owner = std::make_shared<FtpUploadShared>();
    entry.relay = std::make_shared<StatusRelay>(update);
    return entry;
}

TEST(TransferFileTest, KeepsTheFirstFailureThatTheEncoderSwallowed) {
    MemoryFile file(false, 5000);
    bool broken = false;
    TransferFile transfer(file, broken);
    FramePtr frame = TestImages::makeNoiseFrame(200, 100);
    // The GDI+ writer turns the file's failure into its own.
    EXPECT_FALSE(writeFrameAs(0, frame.get(), &transfer, nullptr));
    EXPECT_TRUE(broken);
    EXPECT_THROW(transfer.rethrowFailure(), FileException);
}

TEST(TransferFileTest, BmpWriterLetsTheFailurePassAndItIsKept) {
    MemoryFile file(false, 5000);
    bool broken = false;
    TransferFile transfer(file, broken);
    FramePtr frame = TestImages::makeNoiseFrame(200, 100);
    EXPECT_THROW(writeFrameAs(2, frame.get(), &transfer, nullptr), FileException);
    EXPECT_TRUE(broken);
    EXPECT_THROW(transfer.rethrowFailure(), FileException);
}

TEST(FrameEntryTest, DropsSuccessesAndForwardsFailures) {
    RecordingUpdate update;
    stFrameEntry entry = entryFor(&update);
    EXPECT_TRUE(entry.notify(true, L"Image written successfully", L""));
    EXPECT_TRUE(entry.notify(false, L"Failed to compress image", L""));
    entry.progress(L"Image saved", L"Uploading to ftp");
    EXPECT_EQ(
        update.messages(),
        (std::vector<RecordedMessage>{
            kCompressFailed, RecordedMessage::progress(L"Image saved", L"Uploading to ftp")}));
}

TEST(FrameEntryTest, ForwardsTheReceiversAnswer) {
    RecordingUpdate notWanted(false);
    stFrameEntry entry = entryFor(&notWanted);
    EXPECT_FALSE(entry.notify(false, L"Failed to compress image", L""));
}

TEST(FrameEntryTest, CancelledDropsEveryNotificationButNotProgress) {
    RecordingUpdate update;
    stFrameEntry entry = entryFor(&update);
    entry.cancelled = true;
    EXPECT_FALSE(entry.notify(false, L"Failed to compress image", L""));
    EXPECT_FALSE(entry.notify(true, L"Image written successfully", L""));
    entry.reportUploadFailure(L"text");
    entry.progress(L"Image saved", L"Uploading to ftp");
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{RecordedMessage::progress(
                                     L"Image saved", L"Uploading to ftp")}));
}

TEST(FrameEntryTest, WithoutReceiverNothingIsReported) {
    stFrameEntry entry = entryFor(nullptr);
    EXPECT_TRUE(entry.notify(false, L"Failed to compress image", L""));
    entry.progress(L"Image saved", L"Uploading to ftp");
    entry.reportUploadFailure(L"text");
}

TEST(FrameEntryTest, BrokenTransferReplacesTheWritersFailureByTheUploads) {
    RecordingUpdate update;
    stFrameEntry entry = entryFor(&update);
    entry.transferBroken = true;
    EXPECT_TRUE(entry.notify(false, L"Failed to compress image", L""));
    entry.reportUploadFailure(L"Connection reset");
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{RecordedMessage::notify(
                                     false, L"Upload failed", L"Connection reset")}));
}

#endif

} // namespace
