#pragma once

#include <cstdint>
#include <string>

// Typed key/value access in one flat, case-sensitive key space. A get never creates a key and never
// converts between types: it gives false and leaves the out value alone when the key is missing or
// holds another type. A set creates or replaces the key, value and type together.
class ISettingBag {
public:
    static constexpr std::size_t kMaxStringLength = 255;

    virtual bool getBool(const std::wstring& key, bool& value) = 0;
    virtual bool getDouble(const std::wstring& key, double& value) = 0;
    virtual bool getInt(const std::wstring& key, std::int32_t& value) = 0;
    virtual bool getString(const std::wstring& key, std::wstring& value) = 0;
    virtual bool setBool(const std::wstring& key, bool value) = 0;
    virtual bool setDouble(const std::wstring& key, double value) = 0;
    virtual bool setInt(const std::wstring& key, std::int32_t value) = 0;
    // Keeps the first kMaxStringLength code units.
    virtual bool setString(const std::wstring& key, const std::wstring& value) = 0;

protected:
    ~ISettingBag() = default;
};
