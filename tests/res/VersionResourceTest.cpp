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

TEST_F(VersionResource, FixedPartCarriesTheProjectVersion) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info_.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const std::wstring text = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                              std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                              std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(text, PIXLANCE_PROJECT_VERSION);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 0);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionResource, TranslationsAreNeutralAndSimplifiedChinese) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info_.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 8u);
    const auto* words = static_cast<const WORD*>(value);
    EXPECT_EQ(words[0], 0x0000);
    EXPECT_EQ(words[1], 1200);
    EXPECT_EQ(words[2], 0x0804);
    EXPECT_EQ(words[3], 1200);
}

TEST_F(VersionResource, EveryBlockNamesTheProductAndItsVersion) {
    for (const wchar_t* block : {L"000004b0", L"080404b0"}) {
        SCOPED_TRACE(block);
        EXPECT_EQ(stringValue(info_, block, L"ProductName"), L"Pixlance");
        EXPECT_EQ(stringValue(info_, block, L"OriginalFilename"), L"Pixlance.exe");
        EXPECT_EQ(stringValue(info_, block, L"FileVersion"), PIXLANCE_PROJECT_VERSION);
        EXPECT_EQ(stringValue(info_, block, L"ProductVersion"), PIXLANCE_PROJECT_VERSION);
        EXPECT_NE(stringValue(info_, block, L"FileDescription"), L"<missing>");
    }
}

TEST_F(VersionResource, ChineseDescriptionIsReadAsUnicode) {
    EXPECT_EQ(stringValue(info_, L"080404b0", L"FileDescription"), L"Pixlance 屏幕截图");
}

} // namespace
