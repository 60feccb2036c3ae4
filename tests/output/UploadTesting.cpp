#include "UploadTesting.h"

#include "output/FrameWriting.h"
#include "platform/DiskFile.h"
#include "support/TestEnvironment.h"
#include "support/TestImages.h"

namespace UploadTesting {

void configure(cFTPOutput& output, const std::wstring& server, const std::wstring& folder) {
    output.setTarget(server, L"tester", L"secret", folder, true);
    output.setFtpCustom(true);
    output.setOpenBrowser(false);
    output.setCopyUrl(false);
}

bool waitUntilIdle(const cFTPOutput& output, DWORD timeoutMs) {
    return waitUntilPending(output, 0, timeoutMs);
}

bool waitUntilPending(const cFTPOutput& output, std::size_t count, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (output.pendingUploadCount() != count) {
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(10);
    }
    return true;
}

std::string encodedOnDisk(const cFrame& frame, int format) {
    const std::wstring dir = TestEnvironment::freshTempDir(L"upload-reference");
    const std::wstring path = dir + L"\\reference";
    {
        DiskFile file(path, DiskFile::Mode::CreateReadWrite);
        writeFrameAs(format, &frame, &file, nullptr);
        file.close();
    }
    std::string bytes = TestEnvironment::readFileBytes(path);
    TestEnvironment::removeTree(dir);
    return bytes;
}

FramePtr namedFrame(const std::wstring& name, int width, int height) {
    FramePtr frame = TestImages::makeNoiseFrame(width, height, static_cast<unsigned>(name.size()));
    frame->name = name;
    return frame;
}

HeldUpdate::HeldUpdate()
    : held_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      released_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

HeldUpdate::~HeldUpdate() {
    ::SetEvent(released_);
    ::CloseHandle(held_);
    ::CloseHandle(released_);
}

void HeldUpdate::progress(const std::wstring& title, const std::wstring& text) {
    RecordingUpdate::progress(title, text);
    ::SetEvent(held_);
    ::WaitForSingleObject(released_, 60000);
}

bool HeldUpdate::waitUntilHeld(DWORD timeoutMs) const {
    return ::WaitForSingleObject(held_, timeoutMs) == WAIT_OBJECT_0;
}

void HeldUpdate::release() {
    ::SetEvent(released_);
}

UploadFixture::UploadFixture(const wchar_t* fixture)
    : address(TestEnvironment::ftpAddress(fixture)), root(TestEnvironment::ftpRoot(fixture)) {}

void UploadFixture::SetUp() {
    ::CreateDirectoryW((root + L"\\shots").c_str(), nullptr);
    configure(output, address, L"shots");
}

void UploadFixture::TearDown() {
    EXPECT_TRUE(output.stopUploads(10000));
}

std::vector<RecordedMessage> UploadFixture::upload(const cFrame& frame, int format) {
    RecordingUpdate update;
    output.put(&frame, format, &update);
    EXPECT_TRUE(waitUntilIdle(output));
    return update.messages();
}

std::string UploadFixture::uploaded(const std::wstring& relativePath) const {
    return TestEnvironment::readFileBytes(root + L"\\" + relativePath);
}

} // namespace UploadTesting
