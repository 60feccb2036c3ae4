#include "output/upload/cFTPOutput.h"
#include "settings/cBinSettingBag.h"
#include "support/MemorySettingBag.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace {

TEST(FtpOutputSettingsTest, StartsWithTheDefaults) {
    cFTPOutput output;
    EXPECT_TRUE(output.copyUrl());
    EXPECT_TRUE(output.openBrowser());
    EXPECT_FALSE(output.ftpCustom());
    EXPECT_TRUE(output.isEnabled());
    EXPECT_TRUE(output.randomName());
    EXPECT_TRUE(output.builtinUrl().empty());
    EXPECT_TRUE(output.customUrl().empty());
    const stFtpTarget custom = output.customTarget();
    EXPECT_TRUE(custom.server.empty() && custom.username.empty() && custom.password.empty() &&
                custom.path.empty() && custom.url.empty());
    EXPECT_EQ(output.pendingUploadCount(), 0u);
}

// Saved into the settings file and loaded from it by another output, every value comes back where
// it was, each target's apart; the built-in target is never stored.
TEST(FtpOutputSettingsTest, TheTenKeysComeBackFromTheSettingsFileIntoTheirOwnFields) {
    cFTPOutput output;
    output.setTarget(L"ftp.example.org", L"me", L"p\u00e4ss", L"/shots/", true);
    output.setTarget(L"builtin.example", L"robot", L"hidden", L"/in/", false);
    output.setBuiltinUrl(L"http://builtin.example/in");
    output.setCustomUrl(L"pics.example.org");
    output.setCopyUrl(false);
    output.setOpenBrowser(true);
    output.setEnabled(false);
    output.setFtpCustom(true);
    output.setRandomName(false);

    MemorySettingBag keys;
    output.save(&keys);
    EXPECT_EQ(keys.entries().size(), 10u);
    EXPECT_EQ(std::get<std::wstring>(keys.entries().at(L"ftpPswd")), L"p\u00e4ss"); // plain text

    const std::wstring path = TestEnvironment::freshTempDir(L"ftp-settings") + L"\\Settings.dat";
    cBinSettingBag written;
    output.save(&written);
    written.writeFile(path);
    cBinSettingBag read;
    read.readFile(path);
    cFTPOutput loaded;
    loaded.setTarget(L"kept.example", L"k", L"k", L"/k/", false);
    loaded.load(&read);
    std::wstring server, username, password, folder;
    loaded.getTarget(server, username, password, folder, true);
    EXPECT_EQ(server + L"|" + username + L"|" + password + L"|" + folder,
              L"ftp.example.org|me|p\u00e4ss|/shots/");
    loaded.getTarget(server, username, password, folder, false);
    EXPECT_EQ(server + L"|" + username + L"|" + password + L"|" + folder, L"kept.example|k|k|/k/");
    EXPECT_FALSE(loaded.copyUrl());
    EXPECT_TRUE(loaded.openBrowser());
    EXPECT_FALSE(loaded.isEnabled());
    EXPECT_TRUE(loaded.ftpCustom());
    EXPECT_FALSE(loaded.randomName());
    // Stored as given; normalised only when an upload starts.
    EXPECT_EQ(loaded.customUrl(), L"pics.example.org");
    EXPECT_TRUE(loaded.builtinUrl().empty());
}

TEST(FtpOutputSettingsTest, MissingKeysAndKeysOfAnotherTypeLeaveTheValues) {
    MemorySettingBag bag;
    bag.setInt(L"ftpServer", 5);
    bag.setString(L"copyUrl", L"false");
    bag.setDouble(L"ftpCustom", 1.0);
    cFTPOutput output;
    output.setTarget(L"kept", L"u", L"p", L"f", true);
    output.load(&bag);
    EXPECT_EQ(output.customTarget().server, L"kept");
    EXPECT_TRUE(output.copyUrl());
    EXPECT_FALSE(output.ftpCustom());
    EXPECT_TRUE(output.isEnabled());
}

} // namespace
