#pragma once

#include "capture/cFrame.h"
#include "output/upload/cFTPOutput.h"
#include "support/RecordingUpdate.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

// What the FTP output's tests share.
namespace UploadTesting {

const RecordedMessage kUploading = RecordedMessage::progress(L"Image saved", L"Uploading to ftp");
const RecordedMessage kUploaded = RecordedMessage::notify(true, L"Upload successfull", L"");
const RecordedMessage kUploadedAndCopied =
    RecordedMessage::notify(true, L"Upload successfull", L"URL copied to clipboard");
const std::wstring kNewerVersionHint =
    L"You can go to www.pixlance.example to check for newer version.\n";

// An output for the fixture's server (account tester / secret), the custom target selected,
// uploading into `folder`; it neither opens the browser nor touches the clipboard.
void configure(cFTPOutput& output, const std::wstring& server, const std::wstring& folder);

// Wait, for a bounded time, until the output has no (or `count`) uploads in flight.
bool waitUntilIdle(const cFTPOutput& output, DWORD timeoutMs = 30000);
bool waitUntilPending(const cFTPOutput& output, std::size_t count, DWORD timeoutMs = 30000);

// The bytes the writer for the format code produces for the frame, written to a disk file.
std::string encodedOnDisk(const cFrame& frame, int format);

// A frame of noise with the given name.
FramePtr namedFrame(const std::wstring& name, int width = 640, int height = 400);

// Records like RecordingUpdate, but holds the first progress message (an upload about to connect)
// until released, so a test can act while that upload is certainly in flight.
class HeldUpdate : public RecordingUpdate {
public:
    HeldUpdate();
    ~HeldUpdate();
    HeldUpdate(const HeldUpdate&) = delete;
    HeldUpdate& operator=(const HeldUpdate&) = delete;

    void progress(const std::wstring& title, const std::wstring& text) override;
    // Waits until an upload is held.
    bool waitUntilHeld(DWORD timeoutMs = 30000) const;
    void release();

private:
    HANDLE held_;
    HANDLE released_;
};

// A test against one FTP fixture's server: an output configured by configure() to upload into
// "shots", stopped at the end of each test.
class UploadFixture : public ::testing::Test {
protected:
    explicit UploadFixture(const wchar_t* fixture);
    void SetUp() override;
    void TearDown() override;

    // Uploads the frame and waits for the upload to end.
    std::vector<RecordedMessage> upload(const cFrame& frame, int format);
    // The bytes of a file the server received, by its path below the server's folder.
    std::string uploaded(const std::wstring& relativePath) const;

    std::wstring address;
    std::wstring root;
    cFTPOutput output;
};

} // namespace UploadTesting
