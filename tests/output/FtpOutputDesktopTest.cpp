#include "UploadTesting.h"

#include "output/cFTPOutput.h"
#include "support/RecordingUpdate.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

using namespace UploadTesting;

namespace {

std::wstring clipboardText() {
    std::wstring text;
    for (int attempt = 0; attempt < 50 && !::OpenClipboard(nullptr); ++attempt)
        ::Sleep(20);
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void setClipboardText(const std::wstring& text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

// Makes UrlRecorder.exe the http and https handler for the test's lifetime, in place of a browser.
// Windows reads the user's classes first; Wine reads only the machine's, so both are set and put
// back afterwards.
class RecorderAsBrowser {
public:
    explicit RecorderAsBrowser(const std::wstring& recordFile) {
        const std::wstring recorder =
            TestEnvironment::windowsPath(TestEnvironment::variable(L"PIXLANCE_URL_RECORDER"));
        const std::wstring command = L"\"" + recorder + L"\" \"" + recordFile + L"\" \"%1\"";
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            for (const wchar_t* scheme : {L"http", L"https"})
                replace(root,
                        std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command",
                        command);
    }
    RecorderAsBrowser(const RecorderAsBrowser&) = delete;
    RecorderAsBrowser& operator=(const RecorderAsBrowser&) = delete;
    ~RecorderAsBrowser() {
        for (const Saved& saved : saved_) {
            HKEY key = nullptr;
            if (::RegOpenKeyExW(saved.root, saved.path.c_str(), 0, KEY_SET_VALUE, &key) !=
                ERROR_SUCCESS)
                continue;
            if (saved.existed)
                ::RegSetValueExW(key, nullptr, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(saved.value.c_str()),
                                 static_cast<DWORD>((saved.value.size() + 1) * sizeof(wchar_t)));
            else
                ::RegDeleteValueW(key, nullptr);
            ::RegCloseKey(key);
        }
    }

private:
    struct Saved {
        HKEY root;
        std::wstring path;
        bool existed;
        std::wstring value;
    };

    void replace(HKEY root, const std::wstring& path, const std::wstring& command) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0,
                                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        wchar_t old[2048] = {};
        DWORD size = sizeof(old) - sizeof(wchar_t);
        DWORD type = 0;
        const bool existed =
            ::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ;
        saved_.push_back({root, path, existed, existed ? old : L""});
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }

    std::vector<Saved> saved_;
};

// Waits, for a bounded time, until the file exists, and gives its UTF-16 text.
std::wstring waitForRecord(const std::wstring& path) {
    for (int attempt = 0; attempt < 1500 && !TestEnvironment::fileExists(path); ++attempt)
        ::Sleep(20);
    const std::string bytes = TestEnvironment::readFileBytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                        bytes.size() / sizeof(wchar_t));
}

// Against the pyftpdlib server of the "upload_desktop" fixture.
class FtpOutputDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::CreateDirectoryW((root + L"\\shots").c_str(), nullptr);
        configure(output, address, L"shots");
    }
    void TearDown() override { EXPECT_TRUE(output.stopUploads(10000)); }

    std::vector<RecordedMessage> upload(const cFrame& frame, int format) {
        RecordingUpdate update;
        output.put(&frame, format, &update);
        EXPECT_TRUE(waitUntilIdle(output));
        return update.messages();
    }

    std::wstring address = TestEnvironment::ftpAddress(L"upload_desktop");
    std::wstring root = TestEnvironment::ftpRoot(L"upload_desktop");
    cFTPOutput output;
};

TEST_F(FtpOutputDesktopTest, CopiesThePublicAddressUnderTheBaseAddress) {
    setClipboardText(L"before");
    output.setCopyUrl(true);
    output.setCustomUrl(L"pics.example/shots/");
    FramePtr frame = namedFrame(L"07_12_26_21_30_05");
    EXPECT_EQ(upload(*frame, 0), (std::vector<RecordedMessage>{kUploading, kUploadedAndCopied}));
    EXPECT_EQ(clipboardText(), L"http://pics.example/shots/07_12_26_21_30_05.png");
}

TEST_F(FtpOutputDesktopTest, CopiesTheAddressBuiltFromServerAndFolder) {
    setClipboardText(L"before");
    output.setCopyUrl(true);
    output.setTarget(L"ftp://" + address, L"tester", L"secret", L"shots", true);
    FramePtr frame = namedFrame(L"from_server");
    EXPECT_EQ(upload(*frame, 5), (std::vector<RecordedMessage>{kUploading, kUploadedAndCopied}));
    EXPECT_EQ(clipboardText(), L"http://" + address + L"/shots/from_server.bmp");
    EXPECT_TRUE(TestEnvironment::fileExists(root + L"\\shots\\from_server.bmp"));
}

TEST_F(FtpOutputDesktopTest, BuiltinTargetUsesItsOwnBaseAddress) {
    setClipboardText(L"before");
    output.setCopyUrl(true);
    output.setTarget(address, L"tester", L"secret", L"shots", false);
    output.setBuiltinUrl(L"http://builtin.example/i/");
    output.setCustomUrl(L"http://custom.example");
    output.setFtpCustom(false);
    FramePtr frame = namedFrame(L"builtin_address");
    EXPECT_EQ(upload(*frame, 1), (std::vector<RecordedMessage>{kUploading, kUploadedAndCopied}));
    EXPECT_EQ(clipboardText(), L"http://builtin.example/i/builtin_address.jpg");
}

TEST_F(FtpOutputDesktopTest, WithoutCopyUrlTheClipboardStaysAndTheTextIsEmpty) {
    setClipboardText(L"untouched");
    FramePtr frame = namedFrame(L"not_copied");
    EXPECT_EQ(upload(*frame, 0), (std::vector<RecordedMessage>{kUploading, kUploaded}));
    EXPECT_EQ(clipboardText(), L"untouched");
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
