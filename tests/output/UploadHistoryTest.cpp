#include "output/upload/UploadHistory.h"
#include "platform/FileException.h"
#include "support/TestEnvironment.h"
#include "HistoryLines.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class UploadHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { dir = TestEnvironment::freshTempDir(L"history"); }
    void TearDown() override { TestEnvironment::removeTree(dir); }
    std::wstring dir;
    std::wstring path() const { return dir + L"\\History.tsv"; }
};

const stHistoryEntry kFirst{L"2024-03-09 14:05:07", L"http://host/shots/a.png",
                            L"C:\\Users\\Zo\u00EB\\\u4E2D\\a.png", L"ftp.host"};
const std::string kFirstLine = "2024-03-09 14:05:07\thttp://host/shots/a.png\t"
                               "C:\\Users\\Zo\xC3\xAB\\\xE4\xB8\xAD\\a.png\tftp.host\r\n";
const stHistoryEntry kSecond{L"2024-03-09 14:06:00", L"http://other/b.jpg", L"", L"other"};
const std::string kSecondLine = "2024-03-09 14:06:00\thttp://other/b.jpg\t\tother\r\n";
const stHistoryEntry kThird{L"2024-03-10 08:00:01", L"http://host/c.bmp", L"D:\\c.bmp", L"h"};
const std::string kThirdLine = "2024-03-10 08:00:01\thttp://host/c.bmp\tD:\\c.bmp\th\r\n";

TEST_F(UploadHistoryTest, EachAppendAddsOneLineAndRecentGivesTheNewestFirst) {
    UploadHistory history(path());
    history.append(kFirst);
    history.append(kSecond);
    history.append(kThird);
    EXPECT_EQ(TestEnvironment::readFileBytes(path()), kFirstLine + kSecondLine + kThirdLine);
    EXPECT_EQ(linesOf(history.recent(10)), kThirdLine + kSecondLine + kFirstLine);
    EXPECT_EQ(linesOf(history.recent(2)), kThirdLine + kSecondLine);
}

TEST_F(UploadHistoryTest, ACutLastLineIsIgnoredAndTheNextAppendStartsALineOfItsOwn) {
    const std::string cut = "2024-03-09 14:07:00\thttp://host/sho";
    TestEnvironment::writeFileBytes(path(), kFirstLine + cut);
    UploadHistory history(path());
    EXPECT_EQ(linesOf(history.recent(10)), kFirstLine);

    history.append(kSecond);
    EXPECT_EQ(TestEnvironment::readFileBytes(path()), kFirstLine + cut + "\r\n" + kSecondLine);
    EXPECT_EQ(linesOf(history.recent(10)), kSecondLine + kFirstLine);
}

TEST_F(UploadHistoryTest, AFileLongerThanTheTailStillGivesTheNewestEntries) {
    // Lines of 64 bytes: the last kTailBytes of the file begin exactly at the start of a line.
    const int total = 3000;
    std::vector<std::string> lines;
    std::string file;
    for (int n = 0; n < total; ++n) {
        char line[80];
        std::snprintf(line, sizeof line,
                      "2024-03-09 14:05:07\thttp://host/%05d.png\tC:\\%05d.png\t"
                      "ftp.abc\r\n",
                      n, n);
        lines.push_back(line);
        file += line;
    }
    ASSERT_EQ(file.size(), 64u * total);
    TestEnvironment::writeFileBytes(path(), file);

    auto newest = [&lines](std::size_t count) {
        std::string text;
        for (std::size_t i = 1; i <= count; ++i)
            text += lines[lines.size() - i];
        return text;
    };
    const UploadHistory history(path());
    EXPECT_EQ(linesOf(history.recent(10)), newest(10));
    // Every line of the tail and nothing older.
    EXPECT_EQ(linesOf(history.recent(total)), newest(UploadHistory::kTailBytes / 64));
}

TEST_F(UploadHistoryTest, WithoutAFileThereAreNoEntriesAndAMissingFolderRaisesWithThePath) {
    EXPECT_TRUE(UploadHistory(path()).recent(10).empty());
    const std::wstring inMissingFolder = dir + L"\\missing\\History.tsv";
    EXPECT_TRUE(UploadHistory(inMissingFolder).recent(10).empty());
    try {
        UploadHistory(inMissingFolder).append(kFirst);
        FAIL() << "appending into a missing folder succeeded";
    } catch (const FileException& error) {
        EXPECT_EQ(error.path(), inMissingFolder);
        EXPECT_EQ(error.osError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    }
}

std::wstring localTimeNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t text[32];
    std::swprintf(text, 32, L"%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return text;
}

TEST_F(UploadHistoryTest, StampingTakesTheLocalClock) {
    stHistoryEntry entry = kSecond;
    const std::wstring before = localTimeNow();
    UploadHistory::stampLocalTime(entry);
    EXPECT_LE(before, entry.time);
    EXPECT_LE(entry.time, localTimeNow());
}

} // namespace
