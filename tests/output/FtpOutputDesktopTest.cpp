#include "UploadTesting.h"

#include "output/cFTPOutput.h"
#include "support/BrowserRecorder.h"
#include "support/ClipboardText.h"
#include "support/RecordingUpdate.h"
#include "support/TestEnvironment.h"

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

} // namespace
