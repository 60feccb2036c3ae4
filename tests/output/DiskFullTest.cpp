// The disk output on a folder that fills up: no format leaves a partial image behind, and the
// capture's report says why. tests/support/small_disk.sh gives the folder: a 1 MB file system
// where the run has a mount namespace of its own, a 1 MB limit on the size of written files
// otherwise.
#include "app/CPixlanceApp.h"
#include "hotkeys/CaptureRequest.h"
#include "output/cDiskFileOutput.h"
#include "platform/FileException.h"
#include "support/PutCapture.h"
#include "support/RecordingUpdate.h"
#include "support/TestEnvironment.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

namespace {

class DiskFullTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder.empty()) << "run through tests/support/small_disk.sh";
        for (const std::wstring& name : TestEnvironment::filesIn(folder))
            ::DeleteFileW((folder + L"\\" + name).c_str());
    }

    // The error a write past the end of the space gives.
    DWORD expectedError() const { return fileSystemFull ? ERROR_DISK_FULL : ERROR_GEN_FAILURE; }

    const std::wstring folder =
        TestEnvironment::windowsPath(TestEnvironment::variable(L"PIXLANCE_SMALL_DISK"));
    const bool fileSystemFull = TestEnvironment::variable(L"PIXLANCE_SMALL_DISK_KIND") == L"full";
};

TEST_F(DiskFullTest, NoFormatLeavesAPartialFile) {
    cDiskFileOutput output;
    output.setFolder(folder);
    // Noise does not compress: every format needs well over the 1 MB there is.
    FramePtr frame = TestImages::makeNoiseFrame(1600, 1200);
    frame->name = L"09_12_26_10_00_00";
    // The BMP writer lets the file's failure out; the PNG and JPEG writers say that they could
    // not compress the image.
    for (int format : {0, 1, 2}) {
        RecordingUpdate update;
        stCaptureRecord capture;
        capture.frame = std::move(frame);
        try {
            output.put(&capture, format, &update);
            EXPECT_NE(format, 2) << "an image larger than the disk was written";
            EXPECT_EQ(update.messages(), std::vector<RecordedMessage>{RecordedMessage::notify(
                                             false, L"Failed to compress image", L"")})
                << format;
        } catch (const FileException& error) {
            EXPECT_EQ(format, 2);
            EXPECT_EQ(error.osError(), expectedError());
            EXPECT_EQ(error.path(), output.imagePath(capture.frame->name, format));
            EXPECT_TRUE(update.messages().empty());
        }
        frame = std::move(capture.frame);
        EXPECT_TRUE(TestEnvironment::filesIn(folder).empty()) << format;
        EXPECT_TRUE(capture.savedPath.empty());
    }
    // The same folder takes an image that fits, under the name the failures did not keep.
    FramePtr small = TestImages::makeNoiseFrame(64, 48);
    small->name = frame->name;
    putCapture(output, small, 2, nullptr);
    EXPECT_EQ(TestEnvironment::filesIn(folder),
              std::vector<std::wstring>{L"09_12_26_10_00_00.bmp"});
}

TEST_F(DiskFullTest, CaptureIntoAFullFolderReportsTheFailureAndKeepsNothing) {
    CPixlanceApp app;
    RecordingUpdate update;
    app.setStatusCallback(&update);
    app.setOutputs(&app.disk(), nullptr, nullptr);
    app.disk().setFolder(folder + L"\\");
    app.setDiskOutputOn(1);
    app.setOutputFormat(2);
    app.OnCaptureRequest(CaptureFullScreen, 0);

    const std::vector<RecordedMessage> messages = update.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_FALSE(messages[0].ok);
    EXPECT_EQ(messages[0].title, L"Failed to capture screenshot");
    const std::wstring file = L" File: " + folder + L"\\";
    const std::size_t at = messages[0].text.find(file);
    ASSERT_NE(at, std::wstring::npos);
    if (fileSystemFull) {
        EXPECT_EQ(messages[0].text.substr(0, at), L"Disk full.");
    }
    EXPECT_EQ(messages[0].text.substr(messages[0].text.size() - 4), L".bmp");
    EXPECT_TRUE(TestEnvironment::filesIn(folder).empty());
}

} // namespace
