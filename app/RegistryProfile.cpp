#include "app/RegistryProfile.h"

#include "platform/Handles.h"

#include <vector>

RegistryProfile::RegistryProfile(std::wstring companyKey, std::wstring applicationName)
    : companyKey_(std::move(companyKey)), applicationName_(std::move(applicationName)) {}

std::wstring RegistryProfile::sectionPath(const std::wstring& section) const {
    return L"Software\\" + companyKey_ + L"\\" + applicationName_ + L"\\" + section;
}

std::wstring RegistryProfile::readString(const std::wstring& section, const std::wstring& name,
                                         const std::wstring& fallback) const {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, KEY_READ, &raw) !=
        ERROR_SUCCESS)
        return fallback;
    UniqueRegKey key(raw);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return fallback;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS)
        return fallback;
    return std::wstring(buffer.data());
}

bool RegistryProfile::writeString(const std::wstring& section, const std::wstring& name,
                                  const std::wstring& value) const {
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, nullptr, 0, KEY_WRITE,
                          nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    return ::RegSetValueExW(
               key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring RegistryProfile::readAndKeep(const std::wstring& section, const std::wstring& name,
                                          const std::wstring& fallback) const {
    std::wstring value = readString(section, name, fallback);
    writeString(section, name, value);
    return value;
}

std::wstring moduleBaseName() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return name;
}
