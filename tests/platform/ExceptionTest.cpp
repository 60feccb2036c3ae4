#include "platform/DiskFile.h"
#include "platform/FileException.h"
#include "platform/InternetException.h"
#include "platform/MemoryException.h"
#include "platform/ResourceException.h"
#include "platform/SystemMessage.h"

#include <gtest/gtest.h>

#include <wininet.h>

namespace {

// The code of the failing call, not whatever the system says later.
TEST(ExceptionTest, ResourceExceptionKeepsTheErrorOfTheFailingCall) {
    ::SetLastError(ERROR_SUCCESS);
    ASSERT_EQ(::GetDC(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0001))), nullptr);
    const DWORD failing = ::GetLastError();
    ASSERT_NE(failing, static_cast<DWORD>(ERROR_SUCCESS));
    try {
        throw ResourceException();
    } catch (const ResourceException& error) {
        ::SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(error.osError(), failing);
    }
}

TEST(ExceptionTest, CopiesShareTheText) {
    FileException original(ERROR_FILE_NOT_FOUND, L"C:\\a.bmp");
    FileException copy = original;
    EXPECT_EQ(&copy.message(), &original.message());
    EXPECT_EQ(copy.path(), L"C:\\a.bmp");
    EXPECT_EQ(copy.osError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(ExceptionTest, ShownMessageIsCutAt254CharactersOutsideSurrogatePairs) {
    AppException plain(std::wstring(300, L'x'));
    EXPECT_EQ(plain.shownMessage(), std::wstring(254, L'x'));
    // A pair that would be split at the cut is left out whole.
    std::wstring text(253, L'a');
    text += L"\xD83D\xDE00";
    text += L"tail";
    AppException paired(text);
    EXPECT_EQ(paired.shownMessage(), std::wstring(253, L'a'));
    AppException shortText(L"short");
    EXPECT_EQ(shortText.shownMessage(), L"short");
}

TEST(ExceptionTest, FileExceptionCarriesTheSystemTextTheCodeAndThePath) {
    const std::wstring path = L"C:\\no-such-folder-pixlance\\shot.png";
    try {
        DiskFile file(path, DiskFile::Mode::CreateReadWrite);
        FAIL() << "opening a file in a missing folder succeeded";
    } catch (const FileException& error) {
        EXPECT_EQ(error.osError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
        EXPECT_EQ(error.path(), path);
        const std::wstring systemText = systemMessageText(ERROR_PATH_NOT_FOUND);
        ASSERT_FALSE(systemText.empty());
        EXPECT_EQ(error.message(), systemText + L" File: " + path);
    }
}

TEST(ExceptionTest, FileExceptionWithOurOwnReason) {
    FileException error(ERROR_FILENAME_EXCED_RANGE, L"C:\\long", L"The path is too long.");
    EXPECT_EQ(error.message(), L"The path is too long. File: C:\\long");
}

TEST(ExceptionTest, InternetExceptionWithoutAnyTextNamesTheCode) {
    InternetException error(12999);
    EXPECT_EQ(error.message(), L"Internet error 12999.");
}

} // namespace
