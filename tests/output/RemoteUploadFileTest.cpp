#include "output/upload/RemoteUploadFile.h"
#include "platform/InternetException.h"
#include "platform/InternetSession.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <string>

namespace {

std::string patterned(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 13 + i / 509) & 0xFF);
    return bytes;
}

TEST(RemoteUploadFileTest, TheEncoderWritesWhileTheFileIsStillOpening) {
    const std::wstring address = TestEnvironment::ftpAddress(L"upload");
    const std::wstring root = TestEnvironment::ftpRoot(L"upload");
    InternetSession session(L"Pixlance");
    UniqueHandle mayOpen(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const std::string content = patterned(1700000);
    bool released = false;
    {
        RemoteUploadFile file([&] {
            // Had the writes below waited for the file, nobody would release this.
            released = ::WaitForSingleObject(mayOpen.get(), 10000) == WAIT_OBJECT_0;
            FtpConnection connection = session.connectFtp(address, L"tester", L"secret");
            FtpFile remote = connection.openFile(L"/early.bin");
            return RemoteUpload{std::move(connection), std::move(remote)};
        });
        // Less than a piece goes in before the file is open: nothing waits for the server.
        file.write(content.data(), 100000);
        file.write(content.data() + 100000, 300000);
        EXPECT_EQ(file.position(), 400000u);
        ::SetEvent(mayOpen.get());
        file.write(content.data() + 400000, content.size() - 400000);
        file.close();
    }
    EXPECT_TRUE(released);
    EXPECT_TRUE(TestEnvironment::readFileBytes(root + L"\\early.bin") == content);
}

TEST(RemoteUploadFileTest, AFailureToOpenIsRaisedWhenTheFileIsNeeded) {
    RemoteUploadFile file(
        []() -> RemoteUpload { throw InternetException(ERROR_INTERNET_CANNOT_CONNECT); });
    EXPECT_NO_THROW(file.write("abc", 3));
    try {
        file.close();
        FAIL() << "closed a file that never opened";
    } catch (const InternetException& error) {
        EXPECT_EQ(error.errorCode(), static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
    }
    // And again for every later use.
    EXPECT_THROW(file.write(std::string(FtpFile::kPieceSize, 'x').data(), FtpFile::kPieceSize),
                 InternetException);
}

TEST(RemoteUploadFileTest, OnlyGoesForward) {
    RemoteUploadFile file(
        []() -> RemoteUpload { throw InternetException(ERROR_INTERNET_CANNOT_CONNECT); });
    EXPECT_FALSE(file.canSeek());
    EXPECT_EQ(file.seek(0, SeekOrigin::Begin), 0u);
    file.write("abcd", 4);
    EXPECT_EQ(file.seek(0, SeekOrigin::Current), 4u);
    EXPECT_EQ(file.seek(4, SeekOrigin::Begin), 4u);
    EXPECT_THROW(file.seek(0, SeekOrigin::Begin), InternetException);
    EXPECT_THROW(file.seek(0, SeekOrigin::End), InternetException);
}

} // namespace
