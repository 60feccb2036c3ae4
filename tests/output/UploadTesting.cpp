#include "UploadTesting.h"

#include "output/FrameWriting.h"
#include "platform/DiskFile.h"
#include "support/PutCapture.h"
#include "support/TestEnvironment.h"
#include "support/TestImages.h"

#include <algorithm>

namespace UploadTesting {

RecordedMessage uploadedAs(const std::wstring& address) {
    return RecordedMessage::notify(true, L"Upload successfull", address);
}

RecordedMessage failedWith(const std::wstring& text, const std::wstring& keptPath) {
    std::wstring told = text;
    if (!told.empty() && told.back() != L'\n')
        told += L'\n';
    return RecordedMessage::notify(false, L"Upload failed",
                                   told + L"The image was kept in " + keptPath);
}

void configure(cFTPOutput& output, const std::wstring& server, const std::wstring& folder) {
    output.setTarget(server, L"tester", L"secret", folder, true);
    output.setFtpCustom(true);
    output.setOpenBrowser(false);
    output.setCopyUrl(false);
    // The names as the frames have them, unless a test asks for random ones.
    output.setRandomName(false);
    // A folder of each output's own: uploads stuck in a send keep their queue's files open.
    static int outputs = 0;
    const std::wstring own =
        TestEnvironment::freshTempDir(L"upload-state-" + std::to_wstring(++outputs));
    ::CreateDirectoryW((own + L"\\Unsent").c_str(), nullptr);
    output.setQueueFolder(own + L"\\Unsent");
    output.setHistoryFile(own + L"\\History.tsv");
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

UploadFixture::UploadFixture(const wchar_t* fixture)
    : address(TestEnvironment::ftpAddress(fixture)), root(TestEnvironment::ftpRoot(fixture)) {}

void UploadFixture::SetUp() {
    ::CreateDirectoryW((root + L"\\shots").c_str(), nullptr);
    configure(output, address, L"shots");
    output.setReceiver(&update);
}

void UploadFixture::TearDown() {
    EXPECT_TRUE(output.stopUploads(10000));
}

void UploadFixture::put(FramePtr& frame, int format) {
    putCapture(output, frame, format, &update);
}

bool UploadFixture::waitForOutcomes(std::size_t count, DWORD timeoutMs) {
    return pumpUntil(
        [&] {
            const std::vector<RecordedMessage> messages = update.messages();
            return static_cast<std::size_t>(std::count_if(
                       messages.begin(), messages.end(), [](const RecordedMessage& message) {
                           return message.kind == RecordedMessage::Kind::Notify;
                       })) >= count;
        },
        timeoutMs);
}

std::vector<RecordedMessage> UploadFixture::upload(FramePtr& frame, int format) {
    update.clear();
    put(frame, format);
    EXPECT_TRUE(waitForOutcomes(1));
    return update.messages();
}

std::string UploadFixture::uploaded(const std::wstring& relativePath) const {
    return TestEnvironment::readFileBytes(root + L"\\" + relativePath);
}

std::wstring UploadFixture::queued(const std::wstring& fileName) const {
    return output.queueFolder() + fileName;
}

} // namespace UploadTesting
