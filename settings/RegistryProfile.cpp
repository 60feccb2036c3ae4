#include "settings/RegistryProfile.h"

#include "platform/ModulePath.h"
#include "platform/RegistryValue.h"

#include "platform/Handles.h"

#include <vector>

namespace {

std::wstring expanded(const std::wstring& text) {
    DWORD size = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0)
        return text;
    std::vector<wchar_t> buffer(size + 1, L'\0');
    if (::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), size + 1) == 0)
        return text;
    return std::wstring(buffer.data());
}

} // namespace

RegistryProfile::RegistryProfile(std::wstring companyKey, std::wstring applicationName)
    : companyKey_(std::move(companyKey)), applicationName_(std::move(applicationName)) {}

std::wstring RegistryProfile::sectionPath(const std::wstring& section) const {
    return L"Software\\" + companyKey_ + L"\\" + applicationName_ + L"\\" + section;
}

std::optional<std::wstring> RegistryProfile::storedValue(const std::wstring& section,
                                                         const std::wstring& name,
                                                         bool& present) const {
    present = false;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, KEY_READ, &raw) !=
        ERROR_SUCCESS)
        return std::nullopt;
    UniqueRegKey key(raw);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    present = true;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring value(buffer.data());
    if (type == REG_EXPAND_SZ)
        return expanded(value);
    return value;
}

std::wstring RegistryProfile::readString(const std::wstring& section, const std::wstring& name,
                                         const std::wstring& fallback) const {
    bool present = false;
    return storedValue(section, name, present).value_or(fallback);
}

bool RegistryProfile::writeString(const std::wstring& section, const std::wstring& name,
                                  const std::wstring& value) const {
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, nullptr, 0, KEY_WRITE,
                          nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    return writeRegistryString(key.get(), name.c_str(), value);
}

std::wstring RegistryProfile::readAndKeep(const std::wstring& section, const std::wstring& name,
                                          const std::wstring& fallback) const {
    bool present = false;
    std::optional<std::wstring> value = storedValue(section, name, present);
    // A value the user or a deployment put there stays as it is, whatever its type; only a missing
    // one is filled in.
    if (!present)
        writeString(section, name, fallback);
    return value.value_or(fallback);
}

std::wstring moduleBaseName() {
    std::wstring name = modulePath();
    std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return name;
}
