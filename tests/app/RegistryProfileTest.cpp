#include "app/RegistryProfile.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

class RegistryProfileTest : public ::testing::Test {
protected:
    std::wstring company = L"PixlanceTest_" + std::to_wstring(::GetCurrentProcessId());
    RegistryProfile profile{company, L"Pixlance"};
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + company).c_str());
    }

    void setRaw(const wchar_t* name, DWORD type, const void* data, std::size_t size) {
        HKEY raw = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, profile.sectionPath(L"Default").c_str(), 0,
                                    nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr),
                  ERROR_SUCCESS);
        UniqueRegKey key(raw);
        ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data),
                                   static_cast<DWORD>(size)),
                  ERROR_SUCCESS);
    }

    // The value's type and bytes as stored, unexpanded.
    std::pair<DWORD, std::string> raw(const wchar_t* name) {
        DWORD type = 0;
        char data[512] = {};
        DWORD size = sizeof data;
        ::RegGetValueW(HKEY_CURRENT_USER, profile.sectionPath(L"Default").c_str(), name,
                       RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size);
        return {type, std::string(data, size)};
    }
};

TEST_F(RegistryProfileTest, MissingValueGivesTheFallbackAndKeepingWritesIt) {
    EXPECT_EQ(profile.readString(L"Default", L"Server", L"ftp.example"), L"ftp.example");
    EXPECT_EQ(profile.readAndKeep(L"Default", L"Server", L"ftp.example"), L"ftp.example");
    EXPECT_EQ(profile.readString(L"Default", L"Server", L"other"), L"ftp.example");
}

TEST_F(RegistryProfileTest, StoredValueWinsOverTheFallback) {
    ASSERT_TRUE(profile.writeString(L"Default", L"Path", L"/shots"));
    EXPECT_EQ(profile.readAndKeep(L"Default", L"Path", L"/"), L"/shots");
    EXPECT_EQ(profile.sectionPath(L"Default"), L"Software\\" + company + L"\\Pixlance\\Default");
}

// Values put there by hand or by a deployment, of any type, are read as they are meant and never
// rewritten.
TEST_F(RegistryProfileTest, ExpandableValueIsReadExpandedAndStaysExpandable) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"PIXLANCE_TEST_HOST", L"files.example"));
    const std::wstring stored = L"ftp.%PIXLANCE_TEST_HOST%";
    setRaw(L"Server", REG_EXPAND_SZ, stored.c_str(), (stored.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(profile.readAndKeep(L"Default", L"Server", L"ftp.fallback"), L"ftp.files.example");
    const auto [type, bytes] = raw(L"Server");
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(stored.c_str()),
                                 (stored.size() + 1) * sizeof(wchar_t)));
}

TEST_F(RegistryProfileTest, ValueOfAnotherTypeGivesTheFallbackAndIsLeftAlone) {
    const DWORD number = 5;
    setRaw(L"URL", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(profile.readString(L"Default", L"URL", L"http://fallback"), L"http://fallback");
    EXPECT_EQ(profile.readAndKeep(L"Default", L"URL", L"http://fallback"), L"http://fallback");
    const auto [type, bytes] = raw(L"URL");
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(bytes, std::string("\x05\0\0\0", 4));
}

TEST(ModuleBaseNameTest, IsTheExecutablesNameWithoutExtension) {
    EXPECT_EQ(moduleBaseName(), L"test_app_pieces");
}

} // namespace
