#include "support/BrowserRecorder.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

RecorderAsBrowser::RecorderAsBrowser(const std::wstring& recordFile) {
    const std::wstring recorder =
        TestEnvironment::windowsPath(TestEnvironment::variable(L"PIXLANCE_URL_RECORDER"));
    const std::wstring command = L"\"" + recorder + L"\" \"" + recordFile + L"\" \"%1\"";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        for (const wchar_t* scheme : {L"http", L"https"})
            replace(root, std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command",
                    command);
}

RecorderAsBrowser::~RecorderAsBrowser() {
    for (const Saved& saved : saved_) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(saved.root, saved.path.c_str(), 0, KEY_SET_VALUE, &key) !=
            ERROR_SUCCESS)
            continue;
        if (saved.existed)
            ::RegSetValueExW(key, nullptr, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(saved.value.c_str()),
                             static_cast<DWORD>((saved.value.size() + 1) * sizeof(wchar_t)));
        else
            ::RegDeleteValueW(key, nullptr);
        ::RegCloseKey(key);
    }
}

void RecorderAsBrowser::replace(HKEY root, const std::wstring& path, const std::wstring& command) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    wchar_t old[2048] = {};
    DWORD size = sizeof(old) - sizeof(wchar_t);
    DWORD type = 0;
    const bool existed = ::RegQueryValueExW(key, nullptr, nullptr, &type,
                                            reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS &&
                         type == REG_SZ;
    saved_.push_back({root, path, existed, existed ? old : L""});
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

std::wstring waitForRecord(const std::wstring& path) {
    // The recorder creates the file before it writes the address: wait for the text, not the name.
    std::string bytes;
    for (int attempt = 0; attempt < 1500; ++attempt) {
        if (TestEnvironment::fileExists(path))
            bytes = TestEnvironment::readFileBytes(path);
        if (!bytes.empty())
            break;
        ::Sleep(20);
    }
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                        bytes.size() / sizeof(wchar_t));
}
