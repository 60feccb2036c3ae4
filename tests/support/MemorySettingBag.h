#pragma once

#include "settings/ISettingBag.h"
#include "settings/SettingValue.h"

#include <string>
#include <utility>

// A setting bag held in memory only: for tests of a component's load and save that need no
// settings file, and natively, where the program's file-backed bag (Windows file calls) is not
// built. A value of another type than the one asked for counts as missing, and a string keeps its
// first kMaxStringLength code units, as in every bag.
class MemorySettingBag final : public ISettingBag {
public:
    bool getBool(const std::wstring& key, bool& value) override { return get(key, value); }
    bool getDouble(const std::wstring& key, double& value) override { return get(key, value); }
    bool getInt(const std::wstring& key, std::int32_t& value) override { return get(key, value); }
    bool getString(const std::wstring& key, std::wstring& value) override {
        return get(key, value);
    }
    bool setBool(const std::wstring& key, bool value) override { return set(key, value); }
    bool setDouble(const std::wstring& key, double value) override { return set(key, value); }
    bool setInt(const std::wstring& key, std::int32_t value) override { return set(key, value); }
    bool setString(const std::wstring& key, const std::wstring& value) override {
        return set(key, value.substr(0, kMaxStringLength));
    }

    const SettingMap& entries() const noexcept { return entries_; }

private:
    template <typename T> bool get(const std::wstring& key, T& value) const {
        const auto found = entries_.find(key);
        if (found == entries_.end() || !std::holds_alternative<T>(found->second))
            return false;
        value = std::get<T>(found->second);
        return true;
    }
    bool set(const std::wstring& key, SettingValue value) {
        entries_[key] = std::move(value);
        return true;
    }

    SettingMap entries_;
};
