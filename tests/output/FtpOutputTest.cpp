#include "UploadTesting.h"

#include "output/upload/cFTPOutput.h"
#include "platform/InternetException.h"
#include "platform/ResourceException.h"
#include "support/RecordingUpdate.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <wininet.h>

#include <tuple>
#include <vector>

using namespace UploadTesting;

namespace {

// Nothing listens on this address.
const std::wstring kNoServer = L"127.0.0.19";

std::vector<RecordedMessage> failedWith(const std::wstring& text) {
    return {kUploading, RecordedMessage::notify(false, L"Upload failed", text)};
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Against the pyftpdlib server of the "upload" fixture.
class FtpOutputTest : public UploadFixture {
protected:
    FtpOutputTest() : UploadFixture(L"upload") {}
};

TEST_F(FtpOutputTest, PngJpegAndBmpArriveByteForByte) {
    struct Case {
        int format;
        const wchar_t* name;
        const wchar_t* extension;
    };
    for (const Case& c : {Case{0, L"intact_png", L".png"}, Case{1, L"intact_jpg", L".jpg"},
                          Case{2, L"intact_bmp", L".bmp"}}) {
        // Large enough for the transfer to go in several pieces.
        FramePtr frame = namedFrame(c.name, 1000, 700);
        EXPECT_EQ(upload(*frame, c.format), (std::vector<RecordedMessage>{kUploading, kUploaded}))
            << c.format;
        const std::string expected = encodedOnDisk(*frame, c.format);
        ASSERT_GT(expected.size(), 1000u);
        EXPECT_TRUE(uploaded(std::wstring(L"shots\\") + c.name + c.extension) == expected)
            << c.format;
    }
}

// With the disk output's bytes of the upload's format on the frame, the upload sends exactly
// those instead of encoding the frame again; bytes of another format are not used.
TEST_F(FtpOutputTest, TheSavedFilesBytesAreSentInsteadOfASecondEncoding) {
    FramePtr frame = namedFrame(L"saved_bytes", 320, 200);
    // Another frame's image: what arrives shows which bytes were sent.
    const std::string saved = encodedOnDisk(*namedFrame(L"other", 64, 48), 1);
    frame->savedImage =
        std::make_shared<const std::vector<unsigned char>>(saved.begin(), saved.end());
    frame->savedImageFormat = 1;
    EXPECT_EQ(upload(*frame, 1), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(uploaded(L"shots\\saved_bytes.jpg") == saved);

    EXPECT_EQ(upload(*frame, 0), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(uploaded(L"shots\\saved_bytes.png") == encodedOnDisk(*frame, 0));
}

TEST_F(FtpOutputTest, AnyOtherFormatCodeUploadsABmp) {
    FramePtr frame = namedFrame(L"code_five");
    // A BMP upload never shows the writer's "Image written successfully".
    EXPECT_EQ(upload(*frame, 5), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(uploaded(L"shots\\code_five.bmp") == encodedOnDisk(*frame, 2));
}

TEST_F(FtpOutputTest, ServerAndFolderAreNormalisedBeforeUse) {
    ::CreateDirectoryW((root + L"\\deep").c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\deep\\er").c_str(), nullptr);
    output.setTarget(L"FTP://" + address, L"tester", L"secret", L"deep/er", true);
    FramePtr frame = namedFrame(L"normalised");
    EXPECT_EQ(upload(*frame, 0), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(uploaded(L"deep\\er\\normalised.png") == encodedOnDisk(*frame, 0));

    output.setTarget(L"http://" + address, L"tester", L"secret", L"", true);
    FramePtr top = namedFrame(L"top_folder");
    EXPECT_EQ(upload(*top, 1), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(uploaded(L"top_folder.jpg") == encodedOnDisk(*top, 1));
}

TEST_F(FtpOutputTest, TheSelectedTargetIsUsed) {
    ::CreateDirectoryW((root + L"\\builtin").c_str(), nullptr);
    output.setTarget(address, L"tester", L"secret", L"/builtin/", false);
    output.setFtpCustom(false);
    FramePtr frame = namedFrame(L"to_builtin");
    EXPECT_EQ(upload(*frame, 2), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(TestEnvironment::fileExists(root + L"\\builtin\\to_builtin.bmp"));
    EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\shots\\to_builtin.bmp"));
}

TEST_F(FtpOutputTest, TwoUploadsInFlightAtOnceEachReportTheirOwn) {
    HeldUpdate first;
    RecordingUpdate second;
    FramePtr firstFrame = namedFrame(L"first_of_two", 800, 600);
    FramePtr secondFrame = namedFrame(L"second_of_two", 600, 800);
    output.put(firstFrame.get(), 0, &first);
    ASSERT_TRUE(first.waitUntilHeld());
    output.put(secondFrame.get(), 2, &second);
    // The second finishes while the first is still in flight.
    ASSERT_TRUE(second.waitForCount(2, 30000));
    EXPECT_TRUE(waitUntilPending(output, 1));
    first.release();
    ASSERT_TRUE(waitUntilIdle(output));

    EXPECT_EQ(first.messages(), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_EQ(second.messages(), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(uploaded(L"shots\\first_of_two.png") == encodedOnDisk(*firstFrame, 0));
    EXPECT_TRUE(uploaded(L"shots\\second_of_two.bmp") == encodedOnDisk(*secondFrame, 2));
}

TEST_F(FtpOutputTest, WrongPasswordIsOneFailure) {
    output.setTarget(address, L"tester", L"wrong", L"shots", true);
    FramePtr frame = namedFrame(L"wrong_password");
    EXPECT_EQ(upload(*frame, 0), failedWith(L"Incorrect user name or password\n"));

    output.setTarget(address, L"tester", L"wrong", L"shots", false);
    output.setFtpCustom(false);
    EXPECT_EQ(upload(*frame, 0), failedWith(kNewerVersionHint));
    EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\shots\\wrong_password.png"));
}

TEST_F(FtpOutputTest, MissingRemoteFolderShowsTheServersReply) {
    output.setTarget(address, L"tester", L"secret", L"no-such-folder", true);
    FramePtr frame = namedFrame(L"nowhere");
    std::vector<RecordedMessage> messages = upload(*frame, 2);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], kUploading);
    EXPECT_FALSE(messages[1].ok);
    EXPECT_EQ(messages[1].title, L"Upload failed");
    const std::wstring expected = L"Check your internet and firewall settings.\nMake sure you have "
                                  L"access to " +
                                  address + L".\nDetails: 550 ";
    EXPECT_EQ(messages[1].text.substr(0, expected.size()), expected) << narrow(messages[1].text);

    output.setTarget(address, L"tester", L"secret", L"no-such-folder", false);
    output.setFtpCustom(false);
    EXPECT_EQ(upload(*frame, 2), failedWith(kNewerVersionHint));
}

TEST_F(FtpOutputTest, RefusedConnectionShowsWinInetsText) {
    output.setTarget(kNoServer, L"tester", L"secret", L"shots", true);
    FramePtr frame = namedFrame(L"refused");
    const std::wstring cannotConnect =
        InternetException(ERROR_INTERNET_CANNOT_CONNECT).shownMessage();
    ASSERT_FALSE(cannotConnect.empty());
    EXPECT_EQ(upload(*frame, 0), failedWith(cannotConnect));

    output.setTarget(kNoServer, L"tester", L"secret", L"shots", false);
    output.setFtpCustom(false);
    EXPECT_EQ(upload(*frame, 0), failedWith(L"\n" + kNewerVersionHint));
}

TEST_F(FtpOutputTest, ImageThatCannotBeEncodedIsNoSuccess) {
    FramePtr empty = makeEmptyFrame();
    empty->name = L"empty_frame";
    EXPECT_EQ(upload(*empty, 0), failedWith(L"Failed to compress image"));
}

TEST_F(FtpOutputTest, AfterCancelPendingNoFailureIsReported) {
    output.setTarget(kNoServer, L"tester", L"secret", L"shots", true);
    HeldUpdate update;
    FramePtr frame = namedFrame(L"cancelled");
    output.put(frame.get(), 0, &update);
    ASSERT_TRUE(update.waitUntilHeld());
    output.cancelPending();
    update.release();
    ASSERT_TRUE(waitUntilIdle(output));
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kUploading}));
}

TEST_F(FtpOutputTest, AfterCancelPendingASuccessIsStillReported) {
    HeldUpdate update;
    FramePtr frame = namedFrame(L"cancelled_but_fine");
    output.put(frame.get(), 1, &update);
    ASSERT_TRUE(update.waitUntilHeld());
    output.cancelPending();
    update.release();
    ASSERT_TRUE(waitUntilIdle(output));
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(uploaded(L"shots\\cancelled_but_fine.jpg") == encodedOnDisk(*frame, 1));
}

TEST_F(FtpOutputTest, EmptyServerUploadsNothingAndSaysNothing) {
    for (const wchar_t* server : {L"", L"ftp://", L"HTTP://"}) {
        output.setTarget(server, L"tester", L"secret", L"shots", true);
        FramePtr frame = namedFrame(L"no_server");
        EXPECT_TRUE(upload(*frame, 0).empty()) << narrow(server);
    }
    EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\shots\\no_server.png"));
}

TEST_F(FtpOutputTest, DisabledOutputDoesNothing) {
    output.setEnabled(false);
    RecordingUpdate update;
    FramePtr frame = namedFrame(L"disabled");
    output.put(frame.get(), 0, &update);
    EXPECT_EQ(output.pendingUploadCount(), 0u);
    output.setEnabled(true);
    // A later upload runs through, so the first one had its chance to show up.
    FramePtr later = namedFrame(L"enabled_again");
    EXPECT_EQ(upload(*later, 0), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(update.messages().empty());
    EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\shots\\disabled.png"));
}

TEST_F(FtpOutputTest, UploadsKeepTheirOwnCopyOfTheFrame) {
    RecordingUpdate update;
    FramePtr frame = namedFrame(L"own_copy", 300, 200);
    const std::string expected = encodedOnDisk(*frame, 2);
    output.put(frame.get(), 2, &update);
    // The caller's frame goes at once.
    frame.reset();
    ASSERT_TRUE(waitUntilIdle(output));
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_TRUE(uploaded(L"shots\\own_copy.bmp") == expected);
}

TEST_F(FtpOutputTest, NullUpdateUploadsSilently) {
    FramePtr frame = namedFrame(L"no_receiver");
    output.put(frame.get(), 0, nullptr);
    ASSERT_TRUE(waitUntilIdle(output));
    EXPECT_TRUE(uploaded(L"shots\\no_receiver.png") == encodedOnDisk(*frame, 0));
}

TEST_F(FtpOutputTest, AfterStopNothingStarts) {
    EXPECT_TRUE(output.stopUploads(1000));
    RecordingUpdate update;
    FramePtr frame = namedFrame(L"after_stop");
    output.put(frame.get(), 0, &update);
    EXPECT_EQ(output.pendingUploadCount(), 0u);
    EXPECT_TRUE(update.messages().empty());
}

HANDLE noThread(unsigned(__stdcall*)(void*), void*) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

// A worker that can't be started is a failed upload at once, and nothing is left to wait for.
TEST_F(FtpOutputTest, WorkerThatCannotBeStartedIsOneFailureAndNothingToWaitFor) {
    output.setWorkerStarter(&noThread);
    RecordingUpdate update;
    FramePtr frame = namedFrame(L"no_worker");
    EXPECT_NO_THROW(output.put(frame.get(), 0, &update));
    const std::vector<RecordedMessage> messages = update.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, RecordedMessage::Kind::Notify);
    EXPECT_FALSE(messages[0].ok);
    EXPECT_EQ(messages[0].title, L"Upload failed");
    EXPECT_NE(messages[0].text.find(ResourceException().message()), std::wstring::npos)
        << narrow(messages[0].text);
    EXPECT_EQ(output.pendingUploadCount(), 0u);
    EXPECT_TRUE(output.stopUploads(0));
}

// A failed upload keeps its image in the fallback folder (two levels, not there yet).
TEST_F(FtpOutputTest, EveryFailureKeepsOneImageAndNamesItOnOneMoreLine) {
    const std::wstring kept = TestEnvironment::freshTempDir(L"kept") + L"\\Pixlance\\Unsent";
    output.setFallbackFolder(kept + L"\\");
    const std::wstring drop = TestEnvironment::ftpAddress(L"upload_drop");
    const std::wstring refused = InternetException(ERROR_INTERNET_CANNOT_CONNECT).shownMessage();
    const std::wstring aborted = L"Check your internet and firewall settings.\nMake sure you have "
                                 L"access to " +
                                 drop +
                                 L".\nDetails: 426 Connection closed; "
                                 L"transfer aborted.\n";
    // Server, folder, custom target, format, the text as without a fallback, the kept file.
    for (const auto& [server, folder, custom, format, text, file] :
         {std::tuple{kNoServer, L"shots", true, 1, refused + L"\n", L"kept.jpg"},
          std::tuple{drop, L"/", true, 0, aborted, L"kept_2.png"},
          std::tuple{address, L"no-such-folder", false, 2, kNewerVersionHint, L"kept.bmp"}}) {
        if (format == 0) // the user's own file of that name, which stays as it is
            TestEnvironment::writeFileBytes(kept + L"\\kept.png", "the user's own");
        output.setTarget(server, L"tester", L"secret", folder, custom);
        output.setFtpCustom(custom);
        FramePtr frame = namedFrame(L"kept", 200, 150);
        const std::size_t before = TestEnvironment::filesIn(kept).size();
        const std::wstring path = kept + L"\\" + file;
        EXPECT_EQ(upload(*frame, format), failedWith(text + L"The image was kept in " + path));
        EXPECT_TRUE(TestEnvironment::readFileBytes(path) == encodedOnDisk(*frame, format));
        EXPECT_EQ(TestEnvironment::filesIn(kept).size(), before + 1) << format;
    }
    EXPECT_TRUE(TestEnvironment::readFileBytes(kept + L"\\kept.png") == "the user's own");

    // Where no file can be made (a file stands where the folder should be), the text is as before.
    output.setFallbackFolder(kept + L"\\kept.png\\");
    output.setTarget(kNoServer, L"tester", L"secret", L"shots", true);
    output.setFtpCustom(true);
    EXPECT_EQ(upload(*namedFrame(L"not_kept"), 0), failedWith(refused));
}

// A server that hangs up the data connection after about 1000 bytes ("upload_drop" fixture).
class FtpOutputDropTest : public FtpOutputTest {
protected:
    void SetUp() override { configure(output, dropAddress, L"/"); }
    std::wstring dropAddress = TestEnvironment::ftpAddress(L"upload_drop");
};

TEST_F(FtpOutputDropTest, TransferCutShortIsOneFailureWithTheServersReply) {
    // Small enough to go in one piece when the file closes; the server's reply tells.
    FramePtr frame = namedFrame(L"cut_short", 200, 150);
    EXPECT_EQ(upload(*frame, 0),
              failedWith(L"Check your internet and firewall settings.\nMake sure you have access "
                         L"to " +
                         dropAddress + L".\nDetails: 426 Connection closed; transfer aborted."));
}

// The lines of the "upload_drop" fixture's server log that record the command.
std::size_t dropServerCommands(const std::string& command) {
    const std::string log = TestEnvironment::readFileBytes(
        TestEnvironment::windowsPath(TestEnvironment::variable(L"PIXLANCE_FIXTURE_DIR")) +
        L"\\upload_drop.log");
    std::size_t count = 0;
    for (std::size_t at = log.find(command); at != std::string::npos;
         at = log.find(command, at + 1))
        ++count;
    return count;
}

TEST_F(FtpOutputDropTest, TransferCutShortIsOneFailureForEveryFormatAndLeavesNoPartialFile) {
    const std::wstring root =
        TestEnvironment::windowsPath(TestEnvironment::variable(L"PIXLANCE_FTP_ROOT_UPLOAD_DROP"));
    for (const auto& [format, name] : {std::pair{0, L"cut_long.png"}, std::pair{1, L"cut_long.jpg"},
                                       std::pair{2, L"cut_long.bmp"}}) {
        const std::string deletion = "command DELE /" + narrow(name);
        const std::size_t deletionsBefore = dropServerCommands(deletion);
        // Several pieces: the connection breaks while they are being sent.
        FramePtr frame = namedFrame(L"cut_long", 900, 700);
        std::vector<RecordedMessage> messages = upload(*frame, format);
        ASSERT_EQ(messages.size(), 2u) << format;
        EXPECT_EQ(messages[0], kUploading);
        EXPECT_FALSE(messages[1].ok);
        EXPECT_EQ(messages[1].title, L"Upload failed");
        EXPECT_FALSE(messages[1].text.empty());
        // Deleted once, over a connection of its own, after the failure was reported.
        EXPECT_EQ(dropServerCommands(deletion), deletionsBefore + 1) << format;
        EXPECT_FALSE(TestEnvironment::fileExists(root + L"\\" + name)) << format;
    }
}

// How many connections the "upload_hang" fixture's server has taken so far (its log says).
std::size_t connectionsTakenByTheHangingServer() {
    const std::wstring log =
        TestEnvironment::windowsPath(TestEnvironment::variable(L"PIXLANCE_FIXTURE_DIR")) +
        L"\\upload_hang.log";
    const std::string text = TestEnvironment::readFileBytes(log);
    std::size_t count = 0;
    for (std::size_t at = text.find("accepted"); at != std::string::npos;
         at = text.find("accepted", at + 1))
        ++count;
    return count;
}

// A server that accepts connections and never answers ("upload_hang" fixture).
TEST(FtpOutputStopTest, StopFreesAnUploadWaitingForAServerThatNeverAnswers) {
    cFTPOutput output;
    configure(output, TestEnvironment::ftpAddress(L"upload_hang"), L"shots");
    RecordingUpdate update;
    FramePtr frame = namedFrame(L"never_answered");
    const std::size_t taken = connectionsTakenByTheHangingServer();
    output.put(frame.get(), 0, &update);
    // The worker is connected and waits for the server's greeting.
    const ULONGLONG waitUntil = ::GetTickCount64() + 30000;
    while (connectionsTakenByTheHangingServer() == taken && ::GetTickCount64() < waitUntil)
        ::Sleep(10);
    ASSERT_GT(connectionsTakenByTheHangingServer(), taken);
    EXPECT_EQ(output.pendingUploadCount(), 1u);

    const ULONGLONG start = ::GetTickCount64();
    // Closing the session frees the worker.
    EXPECT_TRUE(output.stopUploads(5000));
    EXPECT_LT(::GetTickCount64() - start, 5000u);
    EXPECT_EQ(output.pendingUploadCount(), 0u);
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kUploading}));
}

// A server that takes the upload's data connection and never reads ("upload_stall" fixture): the
// worker can be stuck in a send that nothing interrupts. Stopping still returns in time, and the
// output can go while that worker lives on.
TEST(FtpOutputStopTest, StopReturnsInTimeWhileAnUploadIsStuckInTheTransfer) {
    auto output = std::make_unique<cFTPOutput>();
    configure(*output, TestEnvironment::ftpAddress(L"upload_stall"), L"/");
    RecordingUpdate update;
    FramePtr frame = namedFrame(L"stalled", 3000, 2000);
    output->put(frame.get(), 2, &update);
    ASSERT_TRUE(update.waitForCount(1, 30000));

    const ULONGLONG start = ::GetTickCount64();
    output->stopUploads(1500);
    EXPECT_LT(::GetTickCount64() - start, 2500u);
    output.reset();
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kUploading}));
}

} // namespace
