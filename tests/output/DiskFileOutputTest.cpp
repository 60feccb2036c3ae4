#include "output/ImageFilePath.h"
#include "output/cDiskFileOutput.h"
#include "platform/FileException.h"
#include "support/MemorySettingBag.h"
#include "support/PutCapture.h"
#include "support/RecordingUpdate.h"
#include "support/TestEnvironment.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <map>
#include <variant>

namespace {

const RecordedMessage kBitmapWritten =
    RecordedMessage::notify(true, L"Image written successfully", L"");
const RecordedMessage kWrittenToDisk =
    RecordedMessage::notify(true, L"Image written to disk", L" ");

class DiskFileOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = TestEnvironment::freshTempDir(L"disk-output");
        output.setFolder(dir + L"\\");
    }
    void TearDown() override { TestEnvironment::removeTree(dir); }

    FramePtr namedFrame(const std::wstring& name, int width = 31, int height = 17) {
        FramePtr frame = TestImages::makeNoiseFrame(width, height);
        frame->name = name;
        return frame;
    }

    std::wstring dir;
    cDiskFileOutput output;
    RecordingUpdate update;
};

TEST(DiskFileOutputPathTest, StartsInTheDesktopFolder) {
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(
        ::SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, desktop)));
    cDiskFileOutput output;
    ASSERT_FALSE(output.folder().empty());
    EXPECT_EQ(output.folder().back(), L'\\');
    std::wstring expected = desktop;
    if (expected.back() != L'\\')
        expected += L'\\';
    EXPECT_EQ(output.folder(), expected);
}

TEST(DiskFileOutputPathTest, FolderLoadsAndSavesUnderItsKey) {
    cDiskFileOutput output;
    const std::wstring desktop = output.folder();
    MemorySettingBag bag;
    output.load(&bag); // missing key: unchanged
    EXPECT_EQ(output.folder(), desktop);
    bag.setInt(L"Folder", 5); // another type: unchanged
    output.load(&bag);
    EXPECT_EQ(output.folder(), desktop);

    bag.setString(L"Folder", L"D:\\Pictures");
    output.load(&bag);
    EXPECT_EQ(output.folder(), L"D:\\Pictures");

    MemorySettingBag saved;
    output.setFolder(L"E:\\Elsewhere\\");
    output.save(&saved);
    ASSERT_EQ(saved.entries().size(), 1u);
    EXPECT_EQ(std::get<std::wstring>(saved.entries().at(L"Folder")), L"E:\\Elsewhere\\");
}

TEST_F(DiskFileOutputTest, BitmapGivesTwoMessagesInOrderAndTheExactFile) {
    FramePtr frame = namedFrame(L"01_02_24_10_20_30");
    putCapture(output, frame, 2, &update);
    const std::string bytes = TestEnvironment::readFileBytes(dir + L"\\01_02_24_10_20_30.bmp");
    ASSERT_EQ(bytes.size(), 138u + 96u * 17u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes.substr(138),
              std::string(reinterpret_cast<const char*>(frame->pixels.get()), frame->bufferSize()));
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kBitmapWritten, kWrittenToDisk}));
}

TEST_F(DiskFileOutputTest, PngAndJpegGiveOnlyTheDiskMessage) {
    FramePtr frame = namedFrame(L"02_02_24_10_20_30");
    // The record tells the outputs after this one which file holds the image, in which format.
    const stCaptureRecord asPng = putCapture(output, frame, 0, &update);
    EXPECT_EQ(asPng.savedPath, dir + L"\\02_02_24_10_20_30.png");
    EXPECT_EQ(asPng.savedFormat, 0);
    const stCaptureRecord asJpeg = putCapture(output, frame, 1, &update);
    EXPECT_EQ(asJpeg.savedPath, dir + L"\\02_02_24_10_20_30.jpg");
    EXPECT_EQ(asJpeg.savedFormat, 1);
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kWrittenToDisk, kWrittenToDisk}));

    TestImages::DecodedImage png =
        TestImages::decode(TestEnvironment::readFileBytes(dir + L"\\02_02_24_10_20_30.png"));
    EXPECT_EQ(TestImages::maxChannelDifference(*frame, png), 0);
    TestImages::DecodedImage jpeg =
        TestImages::decode(TestEnvironment::readFileBytes(dir + L"\\02_02_24_10_20_30.jpg"));
    EXPECT_EQ(jpeg.width, 31);
    EXPECT_EQ(jpeg.height, 17);
}

TEST_F(DiskFileOutputTest, OtherFormatCodesWriteBitmaps) {
    FramePtr frame = namedFrame(L"03_02_24_10_20_30");
    putCapture(output, frame, 7, &update);
    const std::string bytes = TestEnvironment::readFileBytes(dir + L"\\03_02_24_10_20_30.bmp");
    EXPECT_EQ(bytes.size(), 138u + frame->bufferSize());
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kBitmapWritten, kWrittenToDisk}));
}

TEST_F(DiskFileOutputTest, FolderWithoutTrailingBackslashWritesIntoIt) {
    output.setFolder(dir);
    FramePtr frame = namedFrame(L"04_02_24_10_20_30");
    putCapture(output, frame, 2, nullptr);
    EXPECT_EQ(TestEnvironment::readFileBytes(dir + L"\\04_02_24_10_20_30.bmp").size(),
              138u + frame->bufferSize());
}

TEST_F(DiskFileOutputTest, ExistingFilesStayAsTheyAreTheFrameTakesTheNextFreeNumber) {
    const std::wstring name = L"05_02_24_10_20_30";
    const std::wstring first = dir + L"\\" + name + L".bmp";
    const std::wstring second = dir + L"\\" + name + L"_2.bmp";
    TestEnvironment::writeFileBytes(first, "another program's image");
    // A file held open without sharing is just as much taken.
    HANDLE held = ::CreateFileW(second.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    FramePtr frame = namedFrame(name, 3, 2);
    const stCaptureRecord stored = putCapture(output, frame, 2, &update);
    ::CloseHandle(held);
    EXPECT_EQ(TestEnvironment::readFileBytes(first), "another program's image");
    EXPECT_EQ(TestEnvironment::readFileBytes(second), "");
    EXPECT_EQ(TestEnvironment::readFileBytes(dir + L"\\" + name + L"_3.bmp").size(), 138u + 24u);
    // The outputs after this one name the image as its file is named.
    EXPECT_EQ(frame->nameNumber, 3);
    EXPECT_EQ(stored.savedPath, dir + L"\\" + name + L"_3.bmp");
    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kBitmapWritten, kWrittenToDisk}));

    // A later frame of the same second starts from its own number.
    frame->nameNumber = 2;
    putCapture(output, frame, 0, nullptr);
    EXPECT_EQ(frame->nameNumber, 2);
    putCapture(output, frame, 0, nullptr);
    EXPECT_EQ(frame->nameNumber, 3);
    EXPECT_EQ(TestEnvironment::filesIn(dir, L"*.png"),
              (std::vector<std::wstring>{name + L"_2.png", name + L"_3.png"}));
}

TEST_F(DiskFileOutputTest, FailedEncodeLeavesNoFileAndNoDiskMessage) {
    FramePtr empty = makeEmptyFrame();
    empty->name = L"07_02_24_10_20_30";
    EXPECT_TRUE(putCapture(output, empty, 0, &update).savedPath.empty());
    EXPECT_TRUE(putCapture(output, empty, 1, &update).savedPath.empty());
    EXPECT_EQ(update.count(), 0u);
    EXPECT_TRUE(TestEnvironment::filesIn(dir).empty());
}

TEST_F(DiskFileOutputTest, MissingFolderRaisesTheFileExceptionFromPut) {
    output.setFolder(dir + L"\\no such folder\\");
    FramePtr frame = namedFrame(L"08_02_24_10_20_30");
    for (int format : {0, 1, 2}) {
        try {
            putCapture(output, frame, format, &update);
            FAIL() << "put into a missing folder succeeded, format " << format;
        } catch (const FileException& error) {
            EXPECT_EQ(error.path(), output.imagePath(frame->name, format));
            EXPECT_EQ(error.osError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
        }
    }
    EXPECT_EQ(update.count(), 0u);
}

// A folder whose image path is exactly `length` characters long for a frame of this name.
std::wstring folderForPathLength(const std::wstring& base, std::size_t length,
                                 const std::wstring& frameName) {
    const std::size_t fixed =
        base.size() + 1 /* backslash */ + 1 /* backslash */ + frameName.size() + 4 /* extension */;
    if (length <= fixed || length - fixed > 255)
        return {};
    return base + L"\\" + std::wstring(length - fixed, L'd');
}

TEST_F(DiskFileOutputTest, PathOfAtMost259CharactersIsWritten) {
    const std::wstring name = L"10_02_24_10_20_30";
    const std::wstring folder = folderForPathLength(dir, kMaxImagePathLength, name);
    if (folder.empty())
        GTEST_SKIP() << "the test folder's path is too long to build a 259-character name";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    output.setFolder(folder);
    FramePtr frame = namedFrame(name);
    ASSERT_EQ(output.imagePath(name, 2).size(), 259u);
    putCapture(output, frame, 2, &update);
    EXPECT_EQ(TestEnvironment::readFileBytes(output.imagePath(name, 2)).size(),
              138u + frame->bufferSize());
    EXPECT_EQ(update.count(), 2u);
}

TEST_F(DiskFileOutputTest, LongerPathRaisesTheFileExceptionAndWritesNothing) {
    const std::wstring name = L"11_02_24_10_20_30";
    const std::wstring folder = folderForPathLength(dir, kMaxImagePathLength + 1, name);
    if (folder.empty())
        GTEST_SKIP() << "the test folder's path is too long to build a 260-character name";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    output.setFolder(folder);
    FramePtr frame = namedFrame(name);
    const std::wstring path = output.imagePath(name, 0);
    ASSERT_EQ(path.size(), 260u);
    try {
        putCapture(output, frame, 0, &update);
        FAIL() << "an over-long path was written";
    } catch (const FileException& error) {
        EXPECT_EQ(error.path(), path);
        EXPECT_EQ(error.osError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
        EXPECT_EQ(error.message().rfind(L"The path of the image file is too long.", 0), 0u);
    }
    EXPECT_EQ(update.count(), 0u);
    // Nothing in the folder, not even a file under a cut name.
    EXPECT_TRUE(TestEnvironment::filesIn(folder).empty());
}

} // namespace
