#include "settings/RegistryProfile.h"
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

// Values put there by hand or by a deployment are read as meant and never rewritten.
TEST_F(RegistryProfileTest, ExistingValuesOfOtherTypesAreReadAsMeantAndLeftAlone) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"PIXLANCE_TEST_HOST", L"files.example"));
    const wchar_t server[] = L"ftp.%PIXLANCE_TEST_HOST%";
    const DWORD number = 5;
    const std::wstring section = profile.sectionPath(L"Default");
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, section.c_str(), L"Server", REG_EXPAND_SZ,
                                server, sizeof server),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, section.c_str(), L"URL", REG_DWORD, &number,
                                sizeof number),
              ERROR_SUCCESS);

    EXPECT_EQ(profile.readAndKeep(L"Default", L"Server", L"ftp.fallback"), L"ftp.files.example");
    EXPECT_EQ(profile.readAndKeep(L"Default", L"URL", L"http://fallback"), L"http://fallback");
    EXPECT_EQ(raw(L"Server"),
              std::make_pair(DWORD{REG_EXPAND_SZ},
                             std::string(reinterpret_cast<const char*>(server), sizeof server)));
    EXPECT_EQ(raw(L"URL"), std::make_pair(DWORD{REG_DWORD}, std::string("\x05\0\0\0", 4)));
}

TEST(ModuleBaseNameTest, IsTheExecutablesNameWithoutExtension) {
    EXPECT_EQ(moduleBaseName(), L"test_app_pieces");
}

} // namespace
