#include "UploadTesting.h"

#include "output/upload/HistoryText.h"
#include "output/upload/cFTPOutput.h"
#include "support/BrowserRecorder.h"
#include "support/ClipboardText.h"
#include "support/RecordingUpdate.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

using namespace UploadTesting;

namespace {

RecordedMessage copiedAs(const std::wstring& address) {
    return RecordedMessage::notify(true, L"Upload successfull",
                                   L"URL copied to clipboard\n" + address);
}

// Against the pyftpdlib server of the "upload_desktop" fixture.
class FtpOutputDesktopTest : public UploadFixture {
protected:
    FtpOutputDesktopTest() : UploadFixture(L"upload_desktop") {}
};

DWORD clipboardOwnerThread() {
    HWND owner = ::GetClipboardOwner();
    return owner ? ::GetWindowThreadProcessId(owner, nullptr) : 0;
}

// The address is built from the target's base address, or from its server and folder, and is
// copied by the thread that runs the output (the program's GUI thread).
TEST_F(FtpOutputDesktopTest, CopiesThePublicAddressOnTheOutputsThread) {
    output.setCopyUrl(true);
    struct Case {
        std::wstring server;
        bool custom;
        std::wstring name;
        int format;
        std::wstring address;
    };
    output.setBuiltinUrl(L"http://builtin.example/i/");
    for (const Case& c : {Case{address, true, L"07_12_26_21_30_05", 0,
                               L"http://pics.example/shots/07_12_26_21_30_05.png"},
                          Case{L"ftp://" + address, true, L"from_server", 5,
                               L"http://" + address + L"/shots/from_server.bmp"},
                          Case{address, false, L"builtin_address", 1,
                               L"http://builtin.example/i/builtin_address.jpg"}}) {
        ASSERT_TRUE(ClipboardText::write(L"before"));
        output.setTarget(c.server, L"tester", L"secret", L"shots", c.custom);
        output.setFtpCustom(c.custom);
        output.setCustomUrl(c.server == address ? L"pics.example/shots/" : L"");
        FramePtr frame = namedFrame(c.name);
        const std::vector<RecordedMessage> messages = upload(frame, c.format);
        // The built-in account's files always carry their random suffix: "_" and 16 characters.
        std::wstring expected = c.address;
        const std::wstring copied = ClipboardText::read();
        if (!c.custom && copied.size() == expected.size() + 17)
            expected.insert(expected.rfind(L'.'), copied.substr(expected.rfind(L'.'), 17));
        EXPECT_EQ(messages, (std::vector<RecordedMessage>{kUploading, copiedAs(expected)}));
        EXPECT_EQ(copied, expected);
        EXPECT_EQ(clipboardOwnerThread(), ::GetCurrentThreadId());
    }
}

TEST_F(FtpOutputDesktopTest, WithoutCopyUrlTheClipboardStaysAndTheTextIsTheAddress) {
    ASSERT_TRUE(ClipboardText::write(L"untouched"));
    FramePtr frame = namedFrame(L"not_copied");
    EXPECT_EQ(upload(frame, 0),
              (std::vector<RecordedMessage>{
                  kUploading, uploadedAs(L"http://" + address + L"/shots/not_copied.png")}));
    EXPECT_EQ(ClipboardText::read(), L"untouched");
}

TEST_F(FtpOutputDesktopTest, OpensThePublicAddressInTheBrowser) {
    const std::wstring dir = TestEnvironment::freshTempDir(L"browser-record");
    const std::wstring record = dir + L"\\address.txt";
    RecorderAsBrowser browser(record);
    output.setOpenBrowser(true);
    output.setCustomUrl(L"http://pics.example/a b");
    FramePtr frame = namedFrame(L"in_browser");
    upload(frame, 0);
    EXPECT_EQ(waitForRecord(record), L"http://pics.example/a b/in_browser.png");
    TestEnvironment::removeTree(dir);
}

// Another program holding the clipboard for a second does not cost the address; one holding it
// past the retry time is told, and the address is still in the history.
TEST_F(FtpOutputDesktopTest, AClipboardHeldByAnotherProgramIsTriedAgain) {
    output.setCopyUrl(true);
    stUploadTimings timings;
    timings.clipboardRetryMs = 2500;
    output.setTimings(timings);
    ASSERT_TRUE(ClipboardText::write(L"before"));
    const std::wstring first = L"http://" + address + L"/shots/held_a_second.png";
    {
        ClipboardText::Holder holder(1000);
        ASSERT_TRUE(holder.held());
        FramePtr frame = namedFrame(L"held_a_second");
        EXPECT_EQ(upload(frame, 0), (std::vector<RecordedMessage>{kUploading, copiedAs(first)}));
    }
    EXPECT_EQ(ClipboardText::read(), first);

    const std::wstring second = L"http://" + address + L"/shots/held_too_long.png";
    {
        ClipboardText::Holder holder(4000);
        FramePtr frame = namedFrame(L"held_too_long");
        EXPECT_EQ(upload(frame, 0),
                  (std::vector<RecordedMessage>{
                      kUploading,
                      RecordedMessage::notify(true, L"Upload successfull",
                                              L"The clipboard was held by another program; the "
                                              L"address was not copied.\n" +
                                                  second)}));
    }
    EXPECT_EQ(ClipboardText::read(), first);
    const std::vector<stHistoryEntry> recent = output.recentUploads(10);
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent[0].address, second);
    EXPECT_EQ(recent[0].server, address);
    EXPECT_EQ(recent[1].address, first);
    // The history's copy works once the clipboard is free.
    output.copyAddress(recent[0].address);
    EXPECT_EQ(ClipboardText::read(), second);
}

} // namespace

namespace {

// A server that answers SIZE 3 s late ("upload_slowsize" fixture).
class FtpOutputSlowSizeTest : public UploadFixture {
protected:
    FtpOutputSlowSizeTest() : UploadFixture(L"upload_slowsize") {}
};

// The address is on the clipboard once the server has closed the transfer; the size it then
// answers only lets the queue's copy go, and the balloon comes with that.
TEST_F(FtpOutputSlowSizeTest, TheAddressIsCopiedBeforeTheSizeIsConfirmed) {
    output.setCopyUrl(true);
    // A random suffix: no name is looked up with SIZE before the transfer.
    output.setRandomName(true);
    ASSERT_TRUE(ClipboardText::write(L"before"));
    FramePtr frame = namedFrame(L"early");
    put(frame, 0);
    ASSERT_TRUE(pumpUntil([] { return ClipboardText::read() != L"before"; }, 10000));
    const std::wstring copied = ClipboardText::read();
    EXPECT_EQ(copied.rfind(L"http://" + address + L"/shots/early_", 0), 0u) << copied.size();
    EXPECT_EQ(update.messages(), std::vector<RecordedMessage>{kUploading});
    EXPECT_EQ(output.unsentCount(), 1u);
    ASSERT_TRUE(waitForOutcomes(1));
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kUploading, copiedAs(copied)}));
    EXPECT_EQ(output.unsentCount(), 0u);
}

} // namespace
