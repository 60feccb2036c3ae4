#pragma once

#include <optional>
#include <string>

// The per-user profile of the program: HKCU\Software\<company key>\<application>\<section>, string
// values only.
class RegistryProfile {
public:
    RegistryProfile(std::wstring companyKey, std::wstring applicationName);

    // The stored value (a REG_EXPAND_SZ one expanded), or fallback when it is missing or not a
    // string.
    std::wstring readString(const std::wstring& section, const std::wstring& name,
                            const std::wstring& fallback) const;
    bool writeString(const std::wstring& section, const std::wstring& name,
                     const std::wstring& value) const;
    // Reads with the fallback; a missing value is written with the fallback, so it exists
    // afterwards. A value that exists is never rewritten.
    std::wstring readAndKeep(const std::wstring& section, const std::wstring& name,
                             const std::wstring& fallback) const;

    std::wstring sectionPath(const std::wstring& section) const;

private:
    // present tells whether the value exists at all, whatever its type.
    std::optional<std::wstring> storedValue(const std::wstring& section, const std::wstring& name,
                                            bool& present) const;

    std::wstring companyKey_;
    std::wstring applicationName_;
};

// The executable's file name without its folder and extension.
std::wstring moduleBaseName();
