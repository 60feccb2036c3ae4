#include "output/upload/cFTPOutput.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>
#include <vector>

namespace {

// A setting bag that remembers every call in order.
class CallRecordingBag : public ISettingBag {
public:
    using Value = std::variant<bool, double, std::int32_t, std::wstring>;
    std::map<std::wstring, Value> values;
    std::vector<std::wstring> calls;

    bool getBool(const std::wstring& key, bool& value) override {
        return get(L"getBool ", key, value);
    }
    bool getDouble(const std::wstring& key, double& value) override {
        return get(L"getDouble ", key, value);
    }
    bool getInt(const std::wstring& key, std::int32_t& value) override {
        return get(L"getInt ", key, value);
    }
    bool getString(const std::wstring& key, std::wstring& value) override {
        return get(L"getString ", key, value);
    }
    bool setBool(const std::wstring& key, bool value) override {
        return set(L"setBool ", key, value);
    }
    bool setDouble(const std::wstring& key, double value) override {
        return set(L"setDouble ", key, value);
    }
    bool setInt(const std::wstring& key, std::int32_t value) override {
        return set(L"setInt ", key, value);
    }
    bool setString(const std::wstring& key, const std::wstring& value) override {
        return set(L"setString ", key, value);
    }

private:
    template <typename T> bool get(const wchar_t* call, const std::wstring& key, T& value) {
        calls.push_back(call + key);
        auto found = values.find(key);
        if (found == values.end() || !std::holds_alternative<T>(found->second))
            return false;
        value = std::get<T>(found->second);
        return true;
    }
    template <typename T> bool set(const wchar_t* call, const std::wstring& key, const T& value) {
        calls.push_back(call + key);
        values[key] = value;
        return true;
    }
};

const std::vector<std::wstring> kLoadCalls = {
    L"getString ftpServer", L"getString ftpUsername", L"getString ftpPswd",
    L"getString ftpPath",   L"getBool copyUrl",       L"getBool openBrowser",
    L"getBool isEnabled",   L"getBool ftpCustom",     L"getString urlImage"};
const std::vector<std::wstring> kSaveCalls = {
    L"setString ftpServer", L"setString ftpUsername", L"setString ftpPswd",
    L"setString ftpPath",   L"setBool copyUrl",       L"setBool openBrowser",
    L"setBool isEnabled",   L"setBool ftpCustom",     L"setString urlImage"};

TEST(FtpOutputSettingsTest, StartsWithTheDefaults) {
    cFTPOutput output;
    EXPECT_TRUE(output.copyUrl());
    EXPECT_TRUE(output.openBrowser());
    EXPECT_FALSE(output.ftpCustom());
    EXPECT_TRUE(output.isEnabled());
    EXPECT_TRUE(output.builtinUrl().empty());
    EXPECT_TRUE(output.customUrl().empty());
    const stFtpTarget custom = output.customTarget();
    EXPECT_TRUE(custom.server.empty() && custom.username.empty() && custom.password.empty() &&
                custom.path.empty() && custom.url.empty());
    EXPECT_NE(output.session().handle(), nullptr);
    EXPECT_EQ(output.pendingUploadCount(), 0u);
}

TEST(FtpOutputSettingsTest, SavesTheNineKeysInTheirOrder) {
    cFTPOutput output;
    output.setTarget(L"ftp.example.org", L"me", L"p\u00e4ss", L"/shots/", true);
    output.setTarget(L"builtin.example", L"robot", L"hidden", L"/in/", false);
    output.setBuiltinUrl(L"http://builtin.example/in");
    output.setCustomUrl(L"http://pics.example.org");
    output.setCopyUrl(false);
    output.setOpenBrowser(false);
    output.setEnabled(false);
    output.setFtpCustom(true);

    CallRecordingBag bag;
    output.save(&bag);
    EXPECT_EQ(bag.calls, kSaveCalls);
    using V = CallRecordingBag::Value;
    EXPECT_EQ(bag.values.at(L"ftpServer"), V(std::wstring(L"ftp.example.org")));
    EXPECT_EQ(bag.values.at(L"ftpUsername"), V(std::wstring(L"me")));
    // Kept as plain text.
    EXPECT_EQ(bag.values.at(L"ftpPswd"), V(std::wstring(L"p\u00e4ss")));
    EXPECT_EQ(bag.values.at(L"ftpPath"), V(std::wstring(L"/shots/")));
    EXPECT_EQ(bag.values.at(L"copyUrl"), V(false));
    EXPECT_EQ(bag.values.at(L"openBrowser"), V(false));
    EXPECT_EQ(bag.values.at(L"isEnabled"), V(false));
    EXPECT_EQ(bag.values.at(L"ftpCustom"), V(true));
    EXPECT_EQ(bag.values.at(L"urlImage"), V(std::wstring(L"http://pics.example.org")));
    // The built-in target is never stored.
    EXPECT_EQ(bag.values.size(), 9u);
}

TEST(FtpOutputSettingsTest, LoadsTheNineKeysInTheirOrder) {
    CallRecordingBag bag;
    using V = CallRecordingBag::Value;
    bag.values = {{L"ftpServer", V(std::wstring(L"host"))},
                  {L"ftpUsername", V(std::wstring(L"user"))},
                  {L"ftpPswd", V(std::wstring(L"secret"))},
                  {L"ftpPath", V(std::wstring(L"pub"))},
                  {L"copyUrl", V(false)},
                  {L"openBrowser", V(false)},
                  {L"isEnabled", V(false)},
                  {L"ftpCustom", V(true)},
                  {L"urlImage", V(std::wstring(L"pics.example"))}};
    cFTPOutput output;
    output.load(&bag);
    EXPECT_EQ(bag.calls, kLoadCalls);
    std::wstring server, username, password, path;
    output.getTarget(server, username, password, path, true);
    EXPECT_EQ(server, L"host");
    EXPECT_EQ(username, L"user");
    EXPECT_EQ(password, L"secret");
    EXPECT_EQ(path, L"pub");
    EXPECT_FALSE(output.copyUrl());
    EXPECT_FALSE(output.openBrowser());
    EXPECT_FALSE(output.isEnabled());
    EXPECT_TRUE(output.ftpCustom());
    EXPECT_EQ(output.customUrl(), L"pics.example");
    // Stored as given; normalised only when an upload starts.
    EXPECT_EQ(output.customTarget().url, L"pics.example");
}

TEST(FtpOutputSettingsTest, MissingKeysAndKeysOfAnotherTypeLeaveTheValues) {
    CallRecordingBag bag;
    using V = CallRecordingBag::Value;
    bag.values = {{L"ftpServer", V(std::int32_t{5})},
                  {L"copyUrl", V(std::wstring(L"false"))},
                  {L"ftpCustom", V(1.0)}};
    cFTPOutput output;
    output.setTarget(L"kept", L"u", L"p", L"f", true);
    output.load(&bag);
    EXPECT_EQ(bag.calls, kLoadCalls);
    EXPECT_EQ(output.customTarget().server, L"kept");
    EXPECT_TRUE(output.copyUrl());
    EXPECT_FALSE(output.ftpCustom());
    EXPECT_TRUE(output.isEnabled());
}

TEST(FtpOutputSettingsTest, TargetsAreKeptApart) {
    cFTPOutput output;
    output.setTarget(L"c-server", L"c-user", L"c-pass", L"c-path", true);
    output.setTarget(L"b-server", L"b-user", L"b-pass", L"b-path", false);
    std::wstring server, username, password, path;
    output.getTarget(server, username, password, path, true);
    EXPECT_EQ(server + username + password + path, L"c-serverc-userc-passc-path");
    output.getTarget(server, username, password, path, false);
    EXPECT_EQ(server + username + password + path, L"b-serverb-userb-passb-path");
    output.setCustomUrl(L"c-url");
    output.setBuiltinUrl(L"b-url");
    EXPECT_EQ(output.customUrl(), L"c-url");
    EXPECT_EQ(output.builtinUrl(), L"b-url");
    EXPECT_EQ(output.customTarget().url, L"c-url");
}

} // namespace
