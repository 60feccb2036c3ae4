#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>

// Type tag of a stored value, as the settings file writes it.
enum SettingType : std::int32_t {
    SettingString = 0,
    SettingInt = 1,
    SettingDouble = 2,
    SettingBool = 3,
};

// One stored value; the index of the alternative is its SettingType tag. A string holds at most
// 255 code units and no zero code unit.
using SettingValue = std::variant<std::wstring, std::int32_t, double, bool>;

// Keys in ascending order of their UTF-16 code units (a prefix first): the order of the file.
using SettingMap = std::map<std::wstring, SettingValue>;
