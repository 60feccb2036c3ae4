#include "app/ProgramRegistration.h"

#include "platform/Handles.h"

namespace ProgramRegistration {

std::wstring keyPath() {
    return L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pixlance.exe";
}

namespace {

bool setString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

} // namespace

bool registerProgram(const std::wstring& executablePath) {
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    std::wstring folder = executablePath.substr(0, executablePath.find_last_of(L'\\') + 1);
    return setString(key.get(), nullptr, executablePath) && setString(key.get(), L"Path", folder);
}

bool unregisterProgram() {
    LSTATUS status = ::RegDeleteKeyW(HKEY_CURRENT_USER, keyPath().c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

} // namespace ProgramRegistration
