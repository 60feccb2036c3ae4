#include "UploadTesting.h"

#include "output/upload/cFTPOutput.h"
#include "support/BrowserRecorder.h"
#include "support/ClipboardText.h"
#include "support/FakeShellTray.h"
#include "support/GuiThread.h"
#include "support/RecordingUpdate.h"
#include "support/TestEnvironment.h"
#include "ui/CSystemTray.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

using namespace UploadTesting;

namespace {

// Against the pyftpdlib server of the "upload_desktop" fixture.
class FtpOutputDesktopTest : public UploadFixture {
protected:
    FtpOutputDesktopTest() : UploadFixture(L"upload_desktop") {}
};

struct NoCommands : ITrayCommands {
    bool isPreferencesOpen() const override { return false; }
    void showPreferences() override {}
};

// The program's tray window on a GUI thread of its own, its icon in a stand-in shell.
class FtpOutputTrayTest : public FtpOutputDesktopTest {
protected:
    FakeShellTray shell;
    NoCommands commands;
    GuiThread gui{[this] {
        auto tray = std::make_unique<CSystemTray>(commands);
        tray->addTrayIcon(WM_APP + 1, ::LoadIconW(nullptr, IDI_APPLICATION));
        return tray;
    }};
};

DWORD clipboardOwnerThread() {
    HWND owner = ::GetClipboardOwner();
    return owner ? ::GetWindowThreadProcessId(owner, nullptr) : 0;
}

TEST_F(FtpOutputDesktopTest, CopiesThePublicAddressUnderTheBaseAddress) {
    ASSERT_TRUE(ClipboardText::write(L"before"));
    output.setCopyUrl(true);
    output.setCustomUrl(L"pics.example/shots/");
    FramePtr frame = namedFrame(L"07_12_26_21_30_05");
    EXPECT_EQ(upload(*frame, 0), (std::vector<RecordedMessage>{kUploading, kUploadedAndCopied}));
    EXPECT_EQ(ClipboardText::read(), L"http://pics.example/shots/07_12_26_21_30_05.png");
}

TEST_F(FtpOutputDesktopTest, CopiesTheAddressBuiltFromServerAndFolder) {
    ASSERT_TRUE(ClipboardText::write(L"before"));
    output.setCopyUrl(true);
    output.setTarget(L"ftp://" + address, L"tester", L"secret", L"shots", true);
    FramePtr frame = namedFrame(L"from_server");
    EXPECT_EQ(upload(*frame, 5), (std::vector<RecordedMessage>{kUploading, kUploadedAndCopied}));
    EXPECT_EQ(ClipboardText::read(), L"http://" + address + L"/shots/from_server.bmp");
    EXPECT_TRUE(TestEnvironment::fileExists(root + L"\\shots\\from_server.bmp"));
}

TEST_F(FtpOutputDesktopTest, BuiltinTargetUsesItsOwnBaseAddress) {
    ASSERT_TRUE(ClipboardText::write(L"before"));
    output.setCopyUrl(true);
    output.setTarget(address, L"tester", L"secret", L"shots", false);
    output.setBuiltinUrl(L"http://builtin.example/i/");
    output.setCustomUrl(L"http://custom.example");
    output.setFtpCustom(false);
    FramePtr frame = namedFrame(L"builtin_address");
    EXPECT_EQ(upload(*frame, 1), (std::vector<RecordedMessage>{kUploading, kUploadedAndCopied}));
    EXPECT_EQ(ClipboardText::read(), L"http://builtin.example/i/builtin_address.jpg");
}

TEST_F(FtpOutputDesktopTest, WithoutCopyUrlTheClipboardStaysAndTheTextIsEmpty) {
    ASSERT_TRUE(ClipboardText::write(L"untouched"));
    FramePtr frame = namedFrame(L"not_copied");
    EXPECT_EQ(upload(*frame, 0), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_EQ(ClipboardText::read(), L"untouched");
}

TEST_F(FtpOutputDesktopTest, OpensThePublicAddressInTheBrowser) {
    const std::wstring dir = TestEnvironment::freshTempDir(L"browser-record");
    const std::wstring record = dir + L"\\address.txt";
    RecorderAsBrowser browser(record);
    output.setOpenBrowser(true);
    output.setCustomUrl(L"http://pics.example/a b");
    FramePtr frame = namedFrame(L"in_browser");
    EXPECT_EQ(upload(*frame, 0), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_EQ(waitForRecord(record), L"http://pics.example/a b/in_browser.png");
    TestEnvironment::removeTree(dir);
}

TEST_F(FtpOutputTrayTest, TheGuiThreadOpensAndCopiesTheAddressAndOwnsTheClipboard) {
    ASSERT_TRUE(ClipboardText::write(L"before"));
    const std::wstring dir = TestEnvironment::freshTempDir(L"browser-record");
    const std::wstring record = dir + L"\\address.txt";
    RecorderAsBrowser browser(record);
    output.setAddressHandoff(gui.window());
    output.setCopyUrl(true);
    output.setOpenBrowser(true);
    output.setCustomUrl(L"http://pics.example");
    FramePtr frame = namedFrame(L"through_gui");
    EXPECT_EQ(upload(*frame, 0), (std::vector<RecordedMessage>{kUploading, kUploadedAndCopied}));
    EXPECT_EQ(ClipboardText::read(), L"http://pics.example/through_gui.png");
    EXPECT_EQ(clipboardOwnerThread(), gui.id());
    EXPECT_EQ(waitForRecord(record), L"http://pics.example/through_gui.png");
    TestEnvironment::removeTree(dir);
}

TEST_F(FtpOutputTrayTest, AGuiThreadThatDoesNotAnswerInTimeGetsNoCopyLaterEither) {
    ASSERT_TRUE(ClipboardText::write(L"before"));
    constexpr DWORD kWaitMs = 1000;
    output.setAddressHandoff(gui.window(), kWaitMs);
    output.setCopyUrl(true);
    ASSERT_TRUE(gui.hold(60000));
    FramePtr frame = namedFrame(L"gui_held", 64, 40);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(upload(*frame, 0), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    // The wait and a small upload, not the GUI thread's minute.
    EXPECT_LT(::GetTickCount64() - start, kWaitMs + 3000u);
    EXPECT_EQ(ClipboardText::read(), L"before");
    // Once free, the GUI thread does not carry out the request that was given up.
    gui.resume();
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(gui.window(), WM_NULL, 0, 0, SMTO_BLOCK, 10000, &ignored));
    EXPECT_EQ(ClipboardText::read(), L"before");
}

} // namespace
