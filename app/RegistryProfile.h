#pragma once

#include <string>

// The per-user profile of the program: HKCU\Software\<company key>\<application>\<section>, string
// values only.
class RegistryProfile {
public:
    RegistryProfile(std::wstring companyKey, std::wstring applicationName);

    // The stored value, or fallback when it is missing or not a string.
    std::wstring readString(const std::wstring& section, const std::wstring& name,
                            const std::wstring& fallback) const;
    bool writeString(const std::wstring& section, const std::wstring& name,
                     const std::wstring& value) const;
    // Reads with the fallback and writes the result back, so the value exists afterwards.
    std::wstring readAndKeep(const std::wstring& section, const std::wstring& name,
                             const std::wstring& fallback) const;

    std::wstring sectionPath(const std::wstring& section) const;

private:
    std::wstring companyKey_;
    std::wstring applicationName_;
};

// The executable's file name without its folder and extension.
std::wstring moduleBaseName();
