#pragma once

#include "capture/cFrame.h"
#include "output/upload/cFTPOutput.h"
#include "support/PaintedWindow.h"
#include "support/RecordingUpdate.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

// What the FTP output's tests share. The output's work on the GUI thread (starting uploads,
// hearing how they ended, the clipboard) happens in this thread's message loop, so every wait
// here takes this thread's messages.
namespace UploadTesting {

const RecordedMessage kUploading = RecordedMessage::progress(L"Image saved", L"Uploading to ftp");
const std::wstring kNewerVersionHint =
    L"You can go to www.pixlance.example to check for newer version.\n";

// The success report of an upload whose address was not copied.
RecordedMessage uploadedAs(const std::wstring& address);
// The failure report of an upload whose image is kept at keptPath.
RecordedMessage failedWith(const std::wstring& text, const std::wstring& keptPath);

// An output for the server (account tester / secret), the custom target selected, uploading into
// `folder` under the frames' own names (no random suffix); it neither opens the browser nor
// touches the clipboard, and keeps its queue and its history in a fresh folder of the test's own.
void configure(cFTPOutput& output, const std::wstring& server, const std::wstring& folder);

// The bytes the writer for the format code produces for the frame, written to a disk file.
std::string encodedOnDisk(const cFrame& frame, int format);

// A frame of noise with the given name.
FramePtr namedFrame(const std::wstring& name, int width = 640, int height = 400);

// A test against one FTP fixture's server: an output configured by configure() to upload into
// "shots", reporting to `update`, stopped at the end of each test.
class UploadFixture : public ::testing::Test {
protected:
    explicit UploadFixture(const wchar_t* fixture);
    void SetUp() override;
    void TearDown() override;

    // Puts the frame (as the only output of a capture) and waits for the outcome of its first
    // attempt; returns what was reported meanwhile.
    std::vector<RecordedMessage> upload(FramePtr& frame, int format);
    // Puts the frame and returns at once.
    void put(FramePtr& frame, int format);
    // Waits until count outcomes (success or failure reports) have been told in all.
    bool waitForOutcomes(std::size_t count, DWORD timeoutMs = 30000);
    // The bytes of a file the server received, by its path below the server's folder.
    std::string uploaded(const std::wstring& relativePath) const;
    // The queue's file of that name.
    std::wstring queued(const std::wstring& fileName) const;

    std::wstring address;
    std::wstring root;
    RecordingUpdate update;
    cFTPOutput output;
};

} // namespace UploadTesting
