#include "platform/DiskFile.h"
#include "platform/FileException.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

class DiskFileTest : public ::testing::Test {
protected:
    void SetUp() override { dir = TestEnvironment::freshTempDir(L"diskfile"); }
    void TearDown() override { TestEnvironment::removeTree(dir); }
    std::wstring dir;
};

TEST_F(DiskFileTest, WritesSeeksAndReportsPositions) {
    const std::wstring path = dir + L"\\data.bin";
    {
        DiskFile file(path, DiskFile::Mode::CreateReadWrite);
        file.write("hello world", 11);
        EXPECT_EQ(file.position(), 11u);
        EXPECT_EQ(file.seek(6, SeekOrigin::Begin), 6u);
        file.write("WORLD", 5);
        EXPECT_EQ(file.seek(-5, SeekOrigin::End), 6u);
        EXPECT_EQ(file.seek(2, SeekOrigin::Current), 8u);
        EXPECT_EQ(file.length(), 11u);
        // Beyond 4 GiB without writing there: the 64-bit seek.
        EXPECT_EQ(file.seek(0x100000005LL, SeekOrigin::Begin), 0x100000005ULL);
        EXPECT_EQ(file.seek(0, SeekOrigin::Begin), 0u);
        char buffer[16] = {};
        EXPECT_EQ(file.read(buffer, sizeof buffer), 11u);
        EXPECT_EQ(std::string(buffer, 11), "hello WORLD");
        file.flush();
        file.close();
        EXPECT_FALSE(file.isOpen());
        file.close(); // a second close does nothing
    }
    EXPECT_EQ(TestEnvironment::readFileBytes(path), "hello WORLD");
}

TEST_F(DiskFileTest, CreateEmptiesAnExistingFile) {
    const std::wstring path = dir + L"\\replace.bin";
    TestEnvironment::writeFileBytes(path, "old contents that are long");
    {
        DiskFile file(path, DiskFile::Mode::CreateReadWrite);
        file.write("new", 3);
    }
    EXPECT_EQ(TestEnvironment::readFileBytes(path), "new");
}

TEST_F(DiskFileTest, CreatedFileIsNotShared) {
    const std::wstring path = dir + L"\\locked.bin";
    DiskFile first(path, DiskFile::Mode::CreateReadWrite);
    try {
        DiskFile second(path, DiskFile::Mode::OpenRead);
        FAIL() << "a second open of a file opened without sharing succeeded";
    } catch (const FileException& error) {
        EXPECT_EQ(error.osError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(error.path(), path);
    }
}

TEST_F(DiskFileTest, WriteAfterCloseRaisesTheFileException) {
    const std::wstring path = dir + L"\\closed.bin";
    DiskFile file(path, DiskFile::Mode::CreateReadWrite);
    file.close();
    try {
        file.write("x", 1);
        FAIL() << "writing a closed file succeeded";
    } catch (const FileException& error) {
        EXPECT_EQ(error.path(), path);
        EXPECT_EQ(error.osError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
}

TEST_F(DiskFileTest, WriteToAReadOnlyOpenRaisesWithTheOsError) {
    const std::wstring path = dir + L"\\readonly.bin";
    TestEnvironment::writeFileBytes(path, "abc");
    DiskFile file(path, DiskFile::Mode::OpenRead);
    try {
        file.write("x", 1);
        FAIL() << "writing a file opened for reading succeeded";
    } catch (const FileException& error) {
        EXPECT_EQ(error.osError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(TestEnvironment::readFileBytes(path), "abc");
}

} // namespace
