#include "app/RegistryProfile.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

namespace {

class RegistryProfileTest : public ::testing::Test {
protected:
    std::wstring company = L"PixlanceTest_" + std::to_wstring(::GetCurrentProcessId());
    RegistryProfile profile{company, L"Pixlance"};
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + company).c_str());
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

TEST_F(RegistryProfileTest, ValueOfAnotherTypeGivesTheFallback) {
    ASSERT_TRUE(profile.writeString(L"Default", L"URL", L"x"));
    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, profile.sectionPath(L"Default").c_str(), 0,
                              KEY_WRITE, &raw),
              ERROR_SUCCESS);
    UniqueRegKey key(raw);
    DWORD number = 5;
    ::RegSetValueExW(key.get(), L"URL", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number),
                     sizeof number);
    EXPECT_EQ(profile.readString(L"Default", L"URL", L"http://fallback"), L"http://fallback");
}

TEST(ModuleBaseNameTest, IsTheExecutablesNameWithoutExtension) {
    EXPECT_EQ(moduleBaseName(), L"test_app_pieces");
}

} // namespace
