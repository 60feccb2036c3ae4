#include "app/ProgramRegistration.h"
#include "settings/RegistryProfile.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

namespace {

std::wstring defaultValue() {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, ProgramRegistration::keyPath().c_str(), 0, KEY_READ,
                        &raw) != ERROR_SUCCESS)
        return L"<missing>";
    UniqueRegKey key(raw);
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    ::RegQueryValueExW(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    return value;
}

TEST(ProgramRegistrationTest, RegisterRecordsTheProgramAndUnregisterRemovesExactlyThat) {
    ASSERT_TRUE(ProgramRegistration::registerProgram(L"C:\\Tools\\Pixlance.exe"));
    EXPECT_EQ(defaultValue(), L"C:\\Tools\\Pixlance.exe");
    ASSERT_TRUE(ProgramRegistration::unregisterProgram());
    EXPECT_EQ(defaultValue(), L"<missing>");
    // The parent key stays.
    HKEY raw = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", 0,
                              KEY_READ, &raw),
              ERROR_SUCCESS);
    UniqueRegKey key(raw);
    EXPECT_TRUE(ProgramRegistration::unregisterProgram()); // already gone: still fine
}

} // namespace
