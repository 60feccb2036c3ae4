#include "app/ProgramRegistration.h"

#include "platform/Handles.h"
#include "platform/RegistryValue.h"

namespace ProgramRegistration {

std::wstring keyPath() {
    return L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pixlance.exe";
}

bool registerProgram(const std::wstring& executablePath) {
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    std::wstring folder = executablePath.substr(0, executablePath.find_last_of(L'\\') + 1);
    return writeRegistryString(key.get(), nullptr, executablePath) &&
           writeRegistryString(key.get(), L"Path", folder);
}

bool unregisterProgram() {
    LSTATUS status = ::RegDeleteKeyW(HKEY_CURRENT_USER, keyPath().c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

} // namespace ProgramRegistration
