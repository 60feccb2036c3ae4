#pragma once

#include "settings/ISettingBag.h"
#include "settings/SettingValue.h"

#include <string>

// The program's one setting bag, stored whole in "Settings.dat" (format in SettingFile.h). Keys,
// like string values, keep at most 255 code units up to a zero code unit, the most the file gives
// back.
class cBinSettingBag final : public ISettingBag {
public:
    bool getBool(const std::wstring& key, bool& value) override;
    bool getDouble(const std::wstring& key, double& value) override;
    bool getInt(const std::wstring& key, std::int32_t& value) override;
    bool getString(const std::wstring& key, std::wstring& value) override;
    bool setBool(const std::wstring& key, bool value) override;
    bool setDouble(const std::wstring& key, double value) override;
    bool setInt(const std::wstring& key, std::int32_t value) override;
    bool setString(const std::wstring& key, const std::wstring& value) override;

    // Empties the bag, then fills it from the file. A file that cannot be opened raises
    // AppException "internal error" and leaves the bag empty; damaged contents load as far as they
    // are whole and never raise.
    void readFile(const std::wstring& path);

    // Replaces the file by every entry, in ascending key order. The bytes go to a temporary file in
    // the same folder, which takes the file's place only once it is complete and on disk, so a
    // failure or a crash meanwhile leaves the old file as it was. Any failure raises AppException
    // "internal error" and leaves no temporary file behind.
    void writeFile(const std::wstring& path);

    const SettingMap& entries() const noexcept { return entries_; }

private:
    template <typename T> bool get(const std::wstring& key, T& value) const;
    bool set(const std::wstring& key, SettingValue value);

    SettingMap entries_;
};
