#include "UploadTesting.h"

#include "output/upload/RemoteName.h"
#include "output/upload/cFTPOutput.h"
#include "platform/InternetException.h"
#include "support/PutCapture.h"
#include "support/RecordingUpdate.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <vector>

using namespace UploadTesting;

namespace {

// Nothing listens on this address.
const std::wstring kNoServer = L"127.0.0.19";

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Against the pyftpdlib server of the "upload" fixture.
class FtpOutputTest : public UploadFixture {
protected:
    FtpOutputTest() : UploadFixture(L"upload") {}

    std::wstring addressOf(const std::wstring& remotePath) const {
        return L"http://" + address + remotePath;
    }
};

// Each capture is on the local disk before its transfer starts and leaves the queue once the
// server has it, byte for byte.
TEST_F(FtpOutputTest, PngJpegAndBmpArriveByteForByteAndLeaveTheQueue) {
    struct Case {
        int format;
        const wchar_t* name;
        const wchar_t* extension;
    };
    for (const Case& c : {Case{0, L"intact_png", L".png"}, Case{1, L"intact_jpg", L".jpg"},
                          Case{2, L"intact_bmp", L".bmp"}}) {
        // Large enough for the transfer to go in several pieces.
        FramePtr frame = namedFrame(c.name, 1000, 700);
        const std::string expected = encodedOnDisk(*frame, c.format);
        const std::wstring file = std::wstring(c.name) + c.extension;
        update.clear();
        put(frame, c.format);
        // Queued, complete, under the name it will have on the server.
        EXPECT_EQ(TestEnvironment::filesIn(output.queueFolder()), std::vector<std::wstring>{file});
        EXPECT_TRUE(TestEnvironment::readFileBytes(queued(file)) == expected);
        ASSERT_TRUE(waitForOutcomes(1));
        EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{
                                         kUploading, uploadedAs(addressOf(L"/shots/" + file))}));
        EXPECT_TRUE(uploaded(L"shots\\" + file) == expected) << c.format;
        EXPECT_TRUE(TestEnvironment::filesIn(output.queueFolder()).empty());
        EXPECT_EQ(output.unsentCount(), 0u);
    }
}

// The disk output's file of the capture is what is sent, in its format; in another format the
// frame is encoded.
TEST_F(FtpOutputTest, TheDiskOutputsFileIsSentAsItIs) {
    const std::wstring dir = TestEnvironment::freshTempDir(L"saved-elsewhere");
    const std::wstring saved = dir + L"\\saved.jpg";
    // Another frame's image: what arrives shows which bytes were sent.
    TestEnvironment::writeFileBytes(saved, encodedOnDisk(*namedFrame(L"other", 64, 48), 1));
    FramePtr frame = namedFrame(L"saved_bytes", 320, 200);
    for (int format : {1, 0}) {
        stCaptureRecord capture;
        capture.frame = std::move(frame);
        capture.savedPath = saved;
        capture.savedFormat = 1;
        update.clear();
        output.put(&capture, format, &update);
        frame = std::move(capture.frame);
        ASSERT_TRUE(waitForOutcomes(1));
    }
    EXPECT_TRUE(uploaded(L"shots\\saved_bytes.jpg") == TestEnvironment::readFileBytes(saved));
    EXPECT_TRUE(uploaded(L"shots\\saved_bytes.png") == encodedOnDisk(*frame, 0));
    TestEnvironment::removeTree(dir);
}

TEST_F(FtpOutputTest, AnyOtherFormatCodeUploadsABmp) {
    FramePtr frame = namedFrame(L"code_five");
    // A BMP upload never shows the writer's "Image written successfully".
    EXPECT_EQ(upload(frame, 5), (std::vector<RecordedMessage>{
                                    kUploading, uploadedAs(addressOf(L"/shots/code_five.bmp"))}));
    EXPECT_TRUE(uploaded(L"shots\\code_five.bmp") == encodedOnDisk(*frame, 2));
}

TEST_F(FtpOutputTest, ServerAndFolderAreNormalisedBeforeUse) {
    ::CreateDirectoryW((root + L"\\deep").c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\deep\\er").c_str(), nullptr);
    output.setTarget(L"FTP://" + address, L"tester", L"secret", L"deep/er", true);
    FramePtr frame = namedFrame(L"normalised");
    upload(frame, 0);
    EXPECT_TRUE(uploaded(L"deep\\er\\normalised.png") == encodedOnDisk(*frame, 0));

    output.setTarget(L"http://" + address, L"tester", L"secret", L"", true);
    FramePtr top = namedFrame(L"top_folder");
    upload(top, 1);
    EXPECT_TRUE(uploaded(L"top_folder.jpg") == encodedOnDisk(*top, 1));
}

// A capture queued while uploading is off waits, and goes to the target selected when it is sent.
TEST_F(FtpOutputTest, QueuedCapturesWaitWhileOffAndGoToTheTargetSelectedThen) {
    ::CreateDirectoryW((root + L"\\builtin").c_str(), nullptr);
    output.setTarget(address, L"tester", L"secret", L"/builtin/", false);
    output.setTarget(kNoServer, L"tester", L"secret", L"shots", true);
    // Queued by an earlier run, while the custom target was selected.
    FramePtr frame = namedFrame(L"to_builtin");
    TestEnvironment::writeFileBytes(output.queueFolder() + L"to_builtin.bmp",
                                    encodedOnDisk(*frame, 2));
    output.setEnabled(false);
    output.resumeQueue();
    pumpMessagesFor(300);
    EXPECT_TRUE(update.messages().empty());
    EXPECT_EQ(output.unsentCount(), 1u);

    output.setFtpCustom(false);
    output.setEnabled(true);
    ASSERT_TRUE(waitForOutcomes(1));
    // Queued without a suffix, it still gets one on the shared account, and the address says so.
    const std::vector<std::wstring> sent = TestEnvironment::filesIn(root + L"\\builtin");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(RemoteName::hasRandomSuffix(sent[0]));
    EXPECT_EQ(sent[0].substr(0, 11), L"to_builtin_");
    EXPECT_EQ(sent[0].size(), std::wstring(L"to_builtin_").size() + 16 + 4);
    EXPECT_TRUE(uploaded(L"builtin\\" + sent[0]) == encodedOnDisk(*frame, 2));
    const std::wstring said = update.messages().back().text;
    EXPECT_EQ(said.substr(said.rfind(L'/') + 1), sent[0]);
    EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\shots\\to_builtin.bmp"));
    EXPECT_EQ(output.unsentCount(), 0u);
}

// Every failure is told once, with its reason and where the image stays.
TEST_F(FtpOutputTest, FailuresAreToldOnceWithTheReasonAndTheKeptImage) {
    const std::wstring refused = InternetException(ERROR_INTERNET_CANNOT_CONNECT).shownMessage();
    ASSERT_FALSE(refused.empty());
    struct Case {
        std::wstring server;
        std::wstring user;
        std::wstring folder;
        bool custom;
        std::wstring text; // empty: begins with the server's 550 reply
    };
    const std::wstring denied = L"Check your internet and firewall settings.\nMake sure you have "
                                L"access to " +
                                address + L".\nDetails: 550 ";
    int n = 0;
    for (const Case& c :
         {Case{address, L"wrong", L"shots", true, L"Incorrect user name or password"},
          Case{address, L"wrong", L"shots", false, kNewerVersionHint},
          Case{kNoServer, L"secret", L"shots", true, refused},
          Case{kNoServer, L"secret", L"shots", false, L"\n" + kNewerVersionHint},
          Case{address, L"secret", L"no-such-folder", true, L""},
          Case{address, L"secret", L"no-such-folder", false, kNewerVersionHint}}) {
        output.setTarget(c.server, L"tester", c.user, c.folder, c.custom);
        output.setFtpCustom(c.custom);
        const std::wstring stem = L"failing_" + std::to_wstring(++n);
        FramePtr frame = namedFrame(stem);
        const std::vector<RecordedMessage> messages = upload(frame, 0);
        // The built-in account's files always take a random suffix.
        std::wstring file = stem + L".png";
        for (const std::wstring& name : TestEnvironment::filesIn(output.queueFolder()))
            if (!c.custom && name.rfind(stem + L"_", 0) == 0)
                file = name;
        ASSERT_EQ(messages.size(), 2u) << n;
        EXPECT_EQ(messages[0], kUploading);
        if (c.text.empty()) {
            EXPECT_EQ(messages[1].text.substr(0, denied.size()), denied)
                << narrow(messages[1].text);
            EXPECT_NE(messages[1].text.find(L"\nThe image was kept in " + queued(file)),
                      std::wstring::npos);
        } else {
            EXPECT_EQ(messages[1], failedWith(c.text, queued(file))) << n;
        }
        EXPECT_TRUE(TestEnvironment::readFileBytes(queued(file)) == encodedOnDisk(*frame, 0));
        EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\shots\\" + file));
    }
    EXPECT_EQ(output.unsentCount(), 6u);
}

TEST_F(FtpOutputTest, ImageThatCannotBeEncodedIsNotQueued) {
    FramePtr empty = makeEmptyFrame();
    empty->name = L"empty_frame";
    EXPECT_EQ(upload(empty, 0), (std::vector<RecordedMessage>{RecordedMessage::notify(
                                    false, L"Upload failed", L"Failed to compress image")}));
    EXPECT_TRUE(TestEnvironment::filesIn(output.queueFolder()).empty());
    EXPECT_EQ(output.unsentCount(), 0u);
}

TEST_F(FtpOutputTest, AfterCancelPendingSuccessesAreStillToldButNoFailure) {
    FramePtr fine = namedFrame(L"cancelled_but_fine");
    put(fine, 1);
    output.setTarget(kNoServer, L"tester", L"secret", L"shots", true);
    FramePtr refused = namedFrame(L"cancelled");
    put(refused, 0);
    output.cancelPending();
    // Both attempts end; the second's failure stays quiet.
    ASSERT_TRUE(pumpUntil([&] { return output.pendingUploadCount() == 0; }, 30000));
    pumpMessagesFor(200);
    EXPECT_EQ(update.messages(),
              (std::vector<RecordedMessage>{
                  kUploading, kUploading,
                  uploadedAs(L"http://" + address + L"/shots/cancelled_but_fine.jpg")}));
    EXPECT_TRUE(uploaded(L"shots\\cancelled_but_fine.jpg") == encodedOnDisk(*fine, 1));
}

// With nowhere to send it, a capture not on the disk is kept and said so, and it is sent once a
// target is set; one the disk output saved is left there.
TEST_F(FtpOutputTest, WithoutAServerTheCaptureIsKeptSaidSoAndSentOnceThereIsOne) {
    output.setTarget(L"ftp://", L"tester", L"secret", L"shots", true);
    FramePtr frame = namedFrame(L"no_server");
    EXPECT_EQ(upload(frame, 0), (std::vector<RecordedMessage>{RecordedMessage::notify(
                                    false, L"Upload failed",
                                    L"No upload server is set.\nThe image was kept in " +
                                        queued(L"no_server.png"))}));
    stCaptureRecord onDisk;
    onDisk.frame = namedFrame(L"saved_by_disk");
    onDisk.savedPath = L"C:\\Shots\\saved_by_disk.png";
    onDisk.savedFormat = 0;
    output.put(&onDisk, 0, &update);
    EXPECT_EQ(TestEnvironment::filesIn(output.queueFolder()),
              std::vector<std::wstring>{L"no_server.png"});

    update.clear();
    output.setTarget(address, L"tester", L"secret", L"shots", true);
    ASSERT_TRUE(waitForOutcomes(1));
    EXPECT_EQ(update.messages(),
              std::vector<RecordedMessage>{uploadedAs(addressOf(L"/shots/no_server.png"))});
    EXPECT_TRUE(uploaded(L"shots\\no_server.png") == encodedOnDisk(*frame, 0));
}

TEST_F(FtpOutputTest, DisabledOutputQueuesNothing) {
    output.setEnabled(false);
    FramePtr frame = namedFrame(L"disabled");
    put(frame, 0);
    EXPECT_EQ(output.unsentCount(), 0u);
    EXPECT_TRUE(TestEnvironment::filesIn(output.queueFolder()).empty());
    output.setEnabled(true);
    // A later upload runs through, so the first one had its chance to show up.
    FramePtr later = namedFrame(L"enabled_again");
    upload(later, 0);
    EXPECT_EQ(update.messages().size(), 2u);
    EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\shots\\disabled.png"));
}

TEST_F(FtpOutputTest, NullReceiversUploadSilently) {
    output.setReceiver(nullptr);
    FramePtr frame = namedFrame(L"no_receiver");
    putCapture(output, frame, 0, nullptr);
    frame.reset(); // the queue holds the image, not the frame
    ASSERT_TRUE(pumpUntil([&] { return output.unsentCount() == 0; }, 30000));
    EXPECT_TRUE(uploaded(L"shots\\no_receiver.png") ==
                encodedOnDisk(*namedFrame(L"no_receiver"), 0));
    EXPECT_TRUE(update.messages().empty());
}

TEST_F(FtpOutputTest, AfterStopNothingIsQueued) {
    EXPECT_TRUE(output.stopUploads(1000));
    FramePtr frame = namedFrame(L"after_stop");
    put(frame, 0);
    EXPECT_EQ(output.unsentCount(), 0u);
    EXPECT_TRUE(update.messages().empty());
}

// A failed upload is tried again after each delay, then only when asked; the queue keeps it
// throughout, and it goes to the target selected at each attempt.
TEST_F(FtpOutputTest, FailedUploadIsTriedAgainAfterEachDelayThenOnlyWhenAsked) {
    stUploadTimings timings;
    timings.retryDelaysMs = {100, 200, 300};
    output.setTimings(timings);
    output.setTarget(kNoServer, L"tester", L"secret", L"shots", true);
    FramePtr frame = namedFrame(L"retried");
    put(frame, 0);
    // The first attempt and three more.
    ASSERT_TRUE(waitForOutcomes(4, 10000));
    pumpMessagesFor(1000);
    EXPECT_EQ(update.count(), 5u) << "no attempt after the third retry";
    EXPECT_EQ(output.unsentCount(), 1u);

    output.setTarget(address, L"tester", L"secret", L"shots", true);
    pumpMessagesFor(300);
    EXPECT_EQ(update.count(), 5u) << "a target set does not resend a resting capture";
    update.clear();
    output.resendUnsent();
    ASSERT_TRUE(waitForOutcomes(1));
    EXPECT_EQ(update.messages(),
              std::vector<RecordedMessage>{uploadedAs(addressOf(L"/shots/retried.png"))});
    EXPECT_TRUE(uploaded(L"shots\\retried.png") == encodedOnDisk(*frame, 0));
    EXPECT_EQ(output.unsentCount(), 0u);
}

// What an earlier run left: half-written files go, complete images are sent, other files stay.
TEST_F(FtpOutputTest, ResumingSendsWhatEarlierRunsQueuedAndDropsHalfWrittenFiles) {
    const std::wstring queue = output.queueFolder();
    ::CreateDirectoryW(queue.c_str(), nullptr);
    FramePtr frame = namedFrame(L"left_behind");
    TestEnvironment::writeFileBytes(queue + L"left_behind.jpg", encodedOnDisk(*frame, 1));
    TestEnvironment::writeFileBytes(queue + L"cut_short.png.part", "\x89PNG");
    TestEnvironment::writeFileBytes(queue + L"notes.txt", "the user's");
    output.resumeQueue();
    EXPECT_FALSE(TestEnvironment::fileExists(queue + L"cut_short.png.part"));
    ASSERT_TRUE(waitForOutcomes(1));
    EXPECT_TRUE(uploaded(L"shots\\left_behind.jpg") == encodedOnDisk(*frame, 1));
    EXPECT_EQ(TestEnvironment::filesIn(queue), std::vector<std::wstring>{L"notes.txt"});
}

// The name on the server: the stem, "_", 16 random letters and digits, the extension; the queue,
// the address and the history all name that file.
TEST_F(FtpOutputTest, RandomNamesAreTheDefaultAndEverythingNamesTheRemoteFile) {
    output.setRandomName(true);
    FramePtr frame = namedFrame(L"09_12_26_10_00_00");
    put(frame, 0);
    const std::vector<std::wstring> queuedNames = TestEnvironment::filesIn(output.queueFolder());
    ASSERT_EQ(queuedNames.size(), 1u);
    const std::wstring name = queuedNames[0];
    ASSERT_EQ(name.size(), std::wstring(L"09_12_26_10_00_00_k3Qx9TzB2mWcL7pA.png").size());
    EXPECT_EQ(name.substr(0, 18), L"09_12_26_10_00_00_");
    EXPECT_EQ(name.find_first_not_of(
                  L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", 18),
              34u);
    EXPECT_EQ(name.substr(34), L".png");
    ASSERT_TRUE(waitForOutcomes(1));
    EXPECT_EQ(update.messages().back(), uploadedAs(addressOf(L"/shots/" + name)));
    EXPECT_TRUE(uploaded(L"shots\\" + name) == encodedOnDisk(*frame, 0));
    ASSERT_EQ(output.recentUploads(1).size(), 1u);
    EXPECT_EQ(output.recentUploads(1)[0].address, addressOf(L"/shots/" + name));
}

// Files already on the server under the names of the coming captures stay as they are: without
// a random suffix the captures take the next free number.
TEST_F(FtpOutputTest, AFileOfTheNameOnTheServerIsNeverReplaced) {
    const std::wstring theirs = root + L"\\shots\\10_12_26_10_00_00.png";
    TestEnvironment::writeFileBytes(theirs, "another user's image");
    TestEnvironment::writeFileBytes(root + L"\\shots\\10_12_26_10_00_00_2.png", "and another");
    FramePtr frame = namedFrame(L"10_12_26_10_00_00");
    EXPECT_EQ(upload(frame, 0).back(), uploadedAs(addressOf(L"/shots/10_12_26_10_00_00_3.png")));
    EXPECT_TRUE(TestEnvironment::readFileBytes(theirs) == "another user's image");
    EXPECT_TRUE(uploaded(L"shots\\10_12_26_10_00_00_2.png") == "and another");
    EXPECT_TRUE(uploaded(L"shots\\10_12_26_10_00_00_3.png") == encodedOnDisk(*frame, 0));
}

// Passive mode comes first; a server that refuses it gets active mode, which is used for it from
// then on; one that refuses active mode is never asked for it.
TEST(FtpOutputModeTest, UploadsReachServersThatTakeOnlyOneMode) {
    for (const wchar_t* fixture : {L"upload_noport", L"upload_nopasv"}) {
        cFTPOutput output;
        configure(output, TestEnvironment::ftpAddress(fixture), L"/");
        RecordingUpdate update;
        output.setReceiver(&update);
        for (const wchar_t* name : {L"first_of_mode", L"second_of_mode"}) {
            const std::size_t passiveBefore = TestEnvironment::ftpLogCount(fixture, "command PASV");
            FramePtr frame = namedFrame(name);
            putCapture(output, frame, 2, &update);
            ASSERT_TRUE(pumpUntil([&] { return output.unsentCount() == 0; }, 30000))
                << narrow(fixture);
            EXPECT_TRUE(TestEnvironment::readFileBytes(TestEnvironment::ftpRoot(fixture) + L"\\" +
                                                       name + L".bmp") == encodedOnDisk(*frame, 2));
            const std::size_t passiveAsks =
                TestEnvironment::ftpLogCount(fixture, "command PASV") - passiveBefore;
            // The refusing server is asked once, then remembered as one for active mode.
            const bool refusesPassive = std::wstring(fixture) == L"upload_nopasv";
            EXPECT_EQ(passiveAsks, refusesPassive && std::wstring(name) == L"first_of_mode" ? 1u
                                   : refusesPassive                                         ? 0u
                                                                                            : 1u)
                << narrow(fixture) << " " << narrow(name);
        }
        EXPECT_EQ(update.count(), 4u) << narrow(fixture);
    }
    EXPECT_EQ(TestEnvironment::ftpLogCount(L"upload_noport", "command PORT") +
                  TestEnvironment::ftpLogCount(L"upload_noport", "command EPRT"),
              0u);
}

// A server that keeps what it holds refuses a random name that is taken: the upload draws another
// suffix, and the file of the name stays as it was.
TEST(FtpOutputModeTest, ARandomNameTheServerHoldsIsDrawnAgain) {
    cFTPOutput output;
    configure(output, TestEnvironment::ftpAddress(L"upload_keep"), L"/");
    RecordingUpdate update;
    output.setReceiver(&update);
    const std::wstring taken = L"11_12_26_10_00_00_AAAAAAAAAAAAAAAA.png";
    const std::wstring server = TestEnvironment::ftpRoot(L"upload_keep");
    TestEnvironment::writeFileBytes(server + L"\\" + taken, "someone else's");
    FramePtr frame = namedFrame(L"11_12_26_10_00_00");
    TestEnvironment::writeFileBytes(output.queueFolder() + taken, encodedOnDisk(*frame, 0));
    output.resumeQueue();
    ASSERT_TRUE(pumpUntil([&] { return update.count() == 1; }, 30000));
    const std::wstring address = update.messages()[0].text;
    const std::wstring remote = address.substr(address.rfind(L'/') + 1);
    EXPECT_NE(remote, taken);
    EXPECT_EQ(remote.substr(0, 18), taken.substr(0, 18));
    EXPECT_EQ(remote.size(), taken.size());
    EXPECT_TRUE(TestEnvironment::readFileBytes(server + L"\\" + taken) == "someone else's");
    EXPECT_TRUE(TestEnvironment::readFileBytes(server + L"\\" + remote) ==
                encodedOnDisk(*frame, 0));
    EXPECT_EQ(output.unsentCount(), 0u);
}

// A server that answers neither SIZE nor a listing cannot say whether a name is free: the upload
// takes a random suffix rather than risk replacing a file.
TEST(FtpOutputModeTest, AServerThatDoesNotTellWhatItHoldsGetsARandomName) {
    cFTPOutput output;
    configure(output, TestEnvironment::ftpAddress(L"upload_blind"), L"/");
    RecordingUpdate update;
    output.setReceiver(&update);
    const std::wstring server = TestEnvironment::ftpRoot(L"upload_blind");
    TestEnvironment::writeFileBytes(server + L"\\12_12_26_10_00_00.png", "someone else's");
    FramePtr frame = namedFrame(L"12_12_26_10_00_00");
    putCapture(output, frame, 0, &update);
    ASSERT_TRUE(pumpUntil([&] { return output.unsentCount() == 0; }, 30000));
    EXPECT_TRUE(TestEnvironment::readFileBytes(server + L"\\12_12_26_10_00_00.png") ==
                "someone else's");
    const std::vector<std::wstring> random =
        TestEnvironment::filesIn(server, L"12_12_26_10_00_00_*");
    ASSERT_EQ(random.size(), 1u);
    EXPECT_TRUE(RemoteName::hasRandomSuffix(random[0]));
    EXPECT_TRUE(TestEnvironment::readFileBytes(server + L"\\" + random[0]) ==
                encodedOnDisk(*frame, 0));
    EXPECT_EQ(
        update.messages().back(),
        uploadedAs(L"http://" + TestEnvironment::ftpAddress(L"upload_blind") + L"/" + random[0]));
    EXPECT_GE(TestEnvironment::ftpLogCount(L"upload_blind", "command SIZE"), 1u);
}

// A port written in the server field is the one used.
TEST(FtpOutputModeTest, APortInTheServerFieldIsUsed) {
    cFTPOutput output;
    configure(output, TestEnvironment::ftpAddress(L"upload_port") + L":2121", L"/");
    RecordingUpdate update;
    output.setReceiver(&update);
    FramePtr frame = namedFrame(L"on_2121");
    putCapture(output, frame, 1, &update);
    ASSERT_TRUE(pumpUntil([&] { return output.unsentCount() == 0; }, 30000));
    EXPECT_TRUE(TestEnvironment::readFileBytes(TestEnvironment::ftpRoot(L"upload_port") +
                                               L"\\on_2121.jpg") == encodedOnDisk(*frame, 1));
}

// A server that hangs up the data connection after about 1000 bytes ("upload_drop" fixture).
class FtpOutputDropTest : public UploadFixture {
protected:
    FtpOutputDropTest() : UploadFixture(L"upload_drop") {}
    void SetUp() override {
        UploadFixture::SetUp();
        configure(output, address, L"/");
    }
};

TEST_F(FtpOutputDropTest, TransferCutShortIsOneFailureWithTheServersReply) {
    // Small enough to go in one piece when the file closes; the server's reply tells.
    FramePtr frame = namedFrame(L"cut_short", 200, 150);
    EXPECT_EQ(upload(frame, 0),
              (std::vector<RecordedMessage>{
                  kUploading,
                  failedWith(L"Check your internet and firewall settings.\nMake sure you have "
                             L"access to " +
                                 address + L".\nDetails: 426 Connection closed; transfer aborted.",
                             queued(L"cut_short.png"))}));
}

// The clean-up after a cut transfer removes only the file this upload made, never another's of
// the name it could not take.
TEST_F(FtpOutputDropTest, TheCleanUpRemovesOnlyWhatThisUploadMade) {
    TestEnvironment::writeFileBytes(root + L"\\cut_theirs.png", "another user's image");
    FramePtr frame = namedFrame(L"cut_theirs", 900, 700);
    upload(frame, 0);
    EXPECT_TRUE(TestEnvironment::readFileBytes(root + L"\\cut_theirs.png") ==
                "another user's image");
    EXPECT_EQ(TestEnvironment::ftpLogCount(L"upload_drop", "command DELE /cut_theirs.png"), 0u);
    EXPECT_EQ(TestEnvironment::ftpLogCount(L"upload_drop", "command DELE /cut_theirs_2.png"), 1u);
    EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\cut_theirs_2.png"));
}

TEST_F(FtpOutputDropTest, TransferCutShortIsOneFailureForEveryFormatAndLeavesNoPartialFile) {
    for (const auto& [format, name] : {std::pair{0, L"cut_long.png"}, std::pair{1, L"cut_long.jpg"},
                                       std::pair{2, L"cut_long.bmp"}}) {
        const std::string deletion = "command DELE /" + narrow(name);
        const std::size_t deletionsBefore = TestEnvironment::ftpLogCount(L"upload_drop", deletion);
        // Several pieces: the connection breaks while they are being sent.
        FramePtr frame = namedFrame(L"cut_long", 900, 700);
        const std::vector<RecordedMessage> messages = upload(frame, format);
        ASSERT_EQ(messages.size(), 2u) << format;
        EXPECT_EQ(messages[1].title, L"Upload failed");
        const std::wstring kept = L"\nThe image was kept in " + queued(name);
        EXPECT_EQ(messages[1].text.substr(messages[1].text.size() - kept.size()), kept);
        // Deleted once, after the transfer failed.
        EXPECT_EQ(TestEnvironment::ftpLogCount(L"upload_drop", deletion), deletionsBefore + 1)
            << format;
        EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\" + name)) << format;
    }
}

// A server that answers SIZE with one byte less than it was sent ("upload_lying" fixture).
class FtpOutputSizeTest : public UploadFixture {
protected:
    FtpOutputSizeTest() : UploadFixture(L"upload_lying") {}
};

TEST_F(FtpOutputSizeTest, AServerThatKeptLessThanWasSentIsAFailedUpload) {
    FramePtr frame = namedFrame(L"short_kept");
    const std::size_t size = encodedOnDisk(*frame, 2).size();
    EXPECT_EQ(upload(frame, 2),
              (std::vector<RecordedMessage>{
                  kUploading, failedWith(L"The server kept " + std::to_wstring(size - 1) +
                                             L" of the " + std::to_wstring(size) + L" bytes sent.",
                                         queued(L"short_kept.bmp"))}));
    EXPECT_EQ(output.unsentCount(), 1u);
}

// A server that takes the upload's data connection and never reads ("upload_stall" fixture).
class FtpOutputStallTest : public UploadFixture {
protected:
    FtpOutputStallTest() : UploadFixture(L"upload_stall") {}
    void SetUp() override {
        UploadFixture::SetUp();
        configure(output, address, L"/");
    }
    // A send stuck in a full connection ends only when the server lets go: no wait for it.
    void TearDown() override { output.stopUploads(0); }
};

// Large enough that the transfer fills every buffer on the way and waits.
FramePtr stuckFrame(const std::wstring& name) {
    return namedFrame(name, 3000, 2000);
}

TEST_F(FtpOutputStallTest, AtMostTwoUploadsAreInFlightTheRestWaitOnDisk) {
    const std::size_t before = TestEnvironment::ftpLogCount(L"upload_stall", "command STOR");
    for (int i = 1; i <= 4; ++i) {
        FramePtr frame = stuckFrame(L"waiting_" + std::to_wstring(i));
        put(frame, 2);
    }
    ASSERT_TRUE(pumpUntil(
        [&] { return TestEnvironment::ftpLogCount(L"upload_stall", "command STOR") >= before + 2; },
        30000));
    pumpMessagesFor(500);
    EXPECT_EQ(TestEnvironment::ftpLogCount(L"upload_stall", "command STOR"), before + 2);
    EXPECT_EQ(output.pendingUploadCount(), 2u);
    EXPECT_EQ(output.unsentCount(), 4u);
    EXPECT_EQ(TestEnvironment::filesIn(output.queueFolder()).size(), 4u);
}

// A transfer that makes no progress for the stall limit fails, is told, stays queued and is tried
// again; stopping then leaves it queued and returns in time.
TEST_F(FtpOutputStallTest, AStalledTransferFailsAndIsTriedAgainAndStopLeavesItQueued) {
    stUploadTimings timings;
    timings.stallLimitMs = 600;
    timings.retryDelaysMs = {100, 100, 100};
    output.setTimings(timings);
    FramePtr frame = stuckFrame(L"stalled");
    put(frame, 2);
    ASSERT_TRUE(waitForOutcomes(2, 20000));
    const std::vector<RecordedMessage> messages = update.messages();
    EXPECT_EQ(messages[1], failedWith(InternetException(ERROR_INTERNET_TIMEOUT).shownMessage(),
                                      queued(L"stalled.bmp")));
    const ULONGLONG start = ::GetTickCount64();
    output.stopUploads(1000);
    EXPECT_LT(::GetTickCount64() - start, 2500u);
    EXPECT_EQ(TestEnvironment::filesIn(output.queueFolder()),
              std::vector<std::wstring>{L"stalled.bmp"});
}

// A server that accepts connections and never answers ("upload_hang" fixture): stopping frees the
// upload waiting for it and leaves the capture queued.
TEST(FtpOutputStopTest, StopFreesAnUploadWaitingForAServerThatNeverAnswers) {
    cFTPOutput output;
    configure(output, TestEnvironment::ftpAddress(L"upload_hang"), L"shots");
    RecordingUpdate update;
    output.setReceiver(&update);
    const std::size_t taken = TestEnvironment::ftpLogCount(L"upload_hang", "accepted");
    FramePtr frame = namedFrame(L"never_answered");
    putCapture(output, frame, 0, &update);
    ASSERT_TRUE(pumpUntil(
        [&] { return TestEnvironment::ftpLogCount(L"upload_hang", "accepted") > taken; }, 30000));
    EXPECT_EQ(output.pendingUploadCount(), 1u);

    const ULONGLONG start = ::GetTickCount64();
    EXPECT_TRUE(output.stopUploads(5000));
    EXPECT_LT(::GetTickCount64() - start, 5000u);
    EXPECT_EQ(output.pendingUploadCount(), 0u);
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kUploading}));
    EXPECT_EQ(TestEnvironment::filesIn(output.queueFolder()),
              std::vector<std::wstring>{L"never_answered.png"});
}

} // namespace
