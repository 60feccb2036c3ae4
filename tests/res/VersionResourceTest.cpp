// The version resource of the built program, as the shell's Properties page reads it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> versionInfo() {
    const char* exe = std::getenv("PIXLANCE_EXE");
    if (!exe)
        return {};
    const std::wstring path(exe, exe + std::char_traits<char>::length(exe));
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<unsigned char> data(size);
    if (size == 0 || !::GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        data.clear();
    return data;
}

std::wstring stringValue(std::vector<unsigned char>& info, const std::wstring& block,
                         const std::wstring& name) {
    const std::wstring query = L"\\StringFileInfo\\" + block + L"\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(info.data(), query.c_str(), &value, &length) || !value || length == 0)
        return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override {
        info_ = versionInfo();
        ASSERT_FALSE(info_.empty()) << "no version resource in PIXLANCE_EXE";
    }
    std::vector<unsigned char> info_;
};

// What the Properties page shows: the version of the project, and the Chinese description read as
// Unicode. The release check reads every field of both blocks from the PE file (tests/tools).
TEST_F(VersionResource, ThePropertiesPageShowsTheProjectVersionAndTheChineseDescription) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info_.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    const std::wstring text = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                              std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                              std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(text, PIXLANCE_PROJECT_VERSION);
    EXPECT_EQ(stringValue(info_, L"080404b0", L"FileVersion"), PIXLANCE_PROJECT_VERSION);
    EXPECT_EQ(stringValue(info_, L"080404b0", L"FileDescription"), L"Pixlance 屏幕截图");
}

} // namespace
