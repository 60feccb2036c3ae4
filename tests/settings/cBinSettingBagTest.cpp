#include "platform/AppException.h"
#include "platform/Handles.h"
#include "settings/cBinSettingBag.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const std::string kWorkedExample =
    std::string("\x01\x00\x00\x00\x18\x00\x00\x00", 8) +
    std::string("R\0u\0n\0A\0t\0S\0t\0a\0r\0t\0u\0p\0", 24) +
    std::string("\x01\x00\x00\x00\x04\x00\x00\x00\x01\x00\x00\x00", 12);

class BinSettingBagTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = TestEnvironment::freshTempDir(L"settings");
        path = dir + L"\\Settings.dat";
    }
    void TearDown() override { TestEnvironment::removeTree(dir); }

    void expectInternalError(void (cBinSettingBag::*operation)(const std::wstring&),
                             const std::wstring& file) {
        try {
            (bag.*operation)(file);
            ADD_FAILURE() << "no error raised";
        } catch (const AppException& error) {
            EXPECT_EQ(error.message(), L"internal error");
        }
    }

    std::wstring dir;
    std::wstring path;
    cBinSettingBag bag;
};

TEST_F(BinSettingBagTest, GetsOnlyWhatWasSetWithThatType) {
    bag.setBool(L"copyUrl", true);
    std::int32_t number = 77;
    EXPECT_FALSE(bag.getInt(L"copyUrl", number));
    EXPECT_EQ(number, 77);
    bool flag = false;
    EXPECT_TRUE(bag.getBool(L"copyUrl", flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(bag.getBool(L"copyurl", flag)) << "keys are case-sensitive";

    double real = 0;
    EXPECT_TRUE(bag.setDouble(L"ratio", -2.25));
    EXPECT_TRUE(bag.getDouble(L"ratio", real));
    EXPECT_EQ(real, -2.25);
    std::wstring text = L"untouched";
    EXPECT_FALSE(bag.getString(L"ratio", text));
    EXPECT_FALSE(bag.getString(L"missing", text));
    EXPECT_EQ(text, L"untouched");
}

TEST_F(BinSettingBagTest, SetReplacesValueAndType) {
    EXPECT_TRUE(bag.setString(L"Folder", L"C:\\shots"));
    EXPECT_TRUE(bag.setInt(L"Folder", 5));
    std::wstring text;
    EXPECT_FALSE(bag.getString(L"Folder", text));
    std::int32_t number = 0;
    EXPECT_TRUE(bag.getInt(L"Folder", number));
    EXPECT_EQ(number, 5);
    EXPECT_EQ(bag.entries().size(), 1u);
}

TEST_F(BinSettingBagTest, StringsKeepTwoHundredFiftyFiveCodeUnits) {
    bag.setString(L"urlImage", std::wstring(300, L'\u5f71'));
    std::wstring text;
    ASSERT_TRUE(bag.getString(L"urlImage", text));
    EXPECT_EQ(text, std::wstring(255, L'\u5f71'));
}

TEST_F(BinSettingBagTest, GetDoesNotCreateKeys) {
    std::wstring text;
    std::int32_t number = 0;
    bag.getString(L"Full", text);
    bag.getInt(L"DiskOutput", number);
    bag.writeFile(path);
    EXPECT_EQ(TestEnvironment::readFileBytes(path), std::string(4, '\0'));
}

TEST_F(BinSettingBagTest, WritesTheWorkedExampleByteForByte) {
    bag.setInt(L"RunAtStartup", 1);
    bag.writeFile(path);
    EXPECT_EQ(TestEnvironment::readFileBytes(path), kWorkedExample);
}

TEST_F(BinSettingBagTest, ReadFileLoadsTheFileAndKeepsKeysNoOneWrites) {
    TestEnvironment::writeFileBytes(path, kWorkedExample);
    bag.setInt(L"Stale", 3);
    bag.readFile(path);
    std::int32_t number = 0;
    EXPECT_FALSE(bag.getInt(L"Stale", number)) << "reading empties the bag first";
    ASSERT_TRUE(bag.getInt(L"RunAtStartup", number));
    EXPECT_EQ(number, 1);

    bag.setBool(L"copyUrl", true);
    bag.writeFile(path);
    const std::string expected = std::string("\x02\x00\x00\x00", 4) + kWorkedExample.substr(4) +
                                 std::string("\x0e\x00\x00\x00", 4) +
                                 std::string("c\0o\0p\0y\0U\0r\0l\0", 14) +
                                 std::string("\x03\x00\x00\x00\x01\x00\x00\x00\x01", 9);
    EXPECT_EQ(TestEnvironment::readFileBytes(path), expected);
}

TEST_F(BinSettingBagTest, EverythingSetReadsBackFromTheFile) {
    bag.setString(L"\u8def\u5f84", L"\u4e2d\u6587 \U0001F600");
    bag.setString(L"Folder", L"");
    bag.setInt(L"OutputFormat", -2147483647 - 1);
    bag.setDouble(L"ratio", 0.1);
    bag.setBool(L"isEnabled", false);
    bag.setInt(std::wstring(300, L'k'), 9);
    bag.writeFile(path);

    cBinSettingBag other;
    other.readFile(path);
    EXPECT_EQ(other.entries(), bag.entries());
    std::int32_t number = 0;
    EXPECT_TRUE(other.getInt(std::wstring(300, L'k'), number));
    EXPECT_EQ(number, 9);
}

TEST_F(BinSettingBagTest, DamagedFileLoadsTheWholeEntriesBeforeTheDamage) {
    // Count 3, one whole entry, then a key size far beyond the end of the file.
    const std::string bytes = std::string("\x03\x00\x00\x00", 4) + kWorkedExample.substr(4) +
                              std::string("\xff\xff\xff\x7f"
                                          "A\0",
                                          6);
    TestEnvironment::writeFileBytes(path, bytes);
    bag.readFile(path);
    std::int32_t number = 0;
    EXPECT_TRUE(bag.getInt(L"RunAtStartup", number));
    EXPECT_EQ(bag.entries().size(), 1u);
}

TEST_F(BinSettingBagTest, MissingFileRaisesInternalErrorAndEmptiesTheBag) {
    bag.setInt(L"RunAtStartup", 1);
    expectInternalError(&cBinSettingBag::readFile, dir + L"\\absent.dat");
    EXPECT_TRUE(bag.entries().empty());
    expectInternalError(&cBinSettingBag::readFile, dir);
}

TEST_F(BinSettingBagTest, WriteIntoMissingFolderRaisesInternalError) {
    bag.setInt(L"RunAtStartup", 1);
    expectInternalError(&cBinSettingBag::writeFile, dir + L"\\no such folder\\Settings.dat");
    EXPECT_FALSE(TestEnvironment::fileExists(dir + L"\\no such folder"));
}

TEST_F(BinSettingBagTest, WriteReplacesTheOldFileWhole) {
    TestEnvironment::writeFileBytes(path, std::string(5000, 'x'));
    bag.setInt(L"RunAtStartup", 1);
    bag.writeFile(path);
    EXPECT_EQ(TestEnvironment::readFileBytes(path), kWorkedExample);
    EXPECT_FALSE(TestEnvironment::fileExists(path + L".tmp"));
}

TEST_F(BinSettingBagTest, FailedWriteLeavesTheOldFileWhenItIsHeldOpen) {
    TestEnvironment::writeFileBytes(path, kWorkedExample);
    bag.setString(L"Folder", L"new");
    {
        UniqueFileHandle held(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        expectInternalError(&cBinSettingBag::writeFile, path);
    }
    EXPECT_EQ(TestEnvironment::readFileBytes(path), kWorkedExample);
    EXPECT_FALSE(TestEnvironment::fileExists(path + L".tmp"));
}

TEST_F(BinSettingBagTest, FailedWriteLeavesTheOldFileWhenNoTemporaryFileCanBeMade) {
    TestEnvironment::writeFileBytes(path, kWorkedExample);
    ASSERT_TRUE(::CreateDirectoryW((path + L".tmp").c_str(), nullptr));
    bag.setString(L"Folder", L"new");
    expectInternalError(&cBinSettingBag::writeFile, path);
    EXPECT_EQ(TestEnvironment::readFileBytes(path), kWorkedExample);
}

} // namespace
