#include "output/upload/WarmConnectionRule.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

stSendTarget ownServer() {
    stSendTarget target;
    target.server = L"files.example";
    target.port = 21;
    target.username = L"tester";
    target.password = L"secret";
    target.path = L"/shots/";
    target.url = L"http://files.example/shots/";
    target.custom = true;
    return target;
}

// A burst within the keeping time reuses the connection; one a minute after the last use does not,
// and the connection is closed then even when no upload comes.
TEST(WarmConnectionRuleTest, TheConnectionServesTheSameTargetForSixtySecondsAfterItsLastUse) {
    WarmConnectionRule rule;
    EXPECT_FALSE(rule.fits(ownServer(), 1000));
    EXPECT_FALSE(rule.toClose(ownServer(), 1000));
    rule.kept(ownServer(), 1000);
    EXPECT_TRUE(rule.fits(ownServer(), 1000));
    EXPECT_FALSE(rule.fits(ownServer(), 999)) << "a clock that went back stretches nothing";
    EXPECT_TRUE(rule.fits(ownServer(), 60'999));
    EXPECT_FALSE(rule.toClose(ownServer(), 60'999));
    EXPECT_EQ(rule.expiresAt(), std::optional<std::uint64_t>(61'000));
    EXPECT_FALSE(rule.fits(ownServer(), 61'000));
    EXPECT_TRUE(rule.toClose(ownServer(), 61'000));
    // Kept again after an upload: another minute from then.
    rule.kept(ownServer(), 50'000);
    EXPECT_TRUE(rule.fits(ownServer(), 109'999));
    rule.forget();
    EXPECT_FALSE(rule.holds());
    EXPECT_FALSE(rule.fits(ownServer(), 50'001));
    EXPECT_EQ(rule.expiresAt(), std::nullopt);
}

// Each setting that the login or the folder depends on closes the connection when it changes;
// the public address alone does not, and uploading turned off does.
TEST(WarmConnectionRuleTest, AChangedTargetOrUploadingTurnedOffClosesTheConnection) {
    const std::vector<std::function<void(stSendTarget&)>> changes = {
        [](stSendTarget& t) { t.server = L"other.example"; },
        [](stSendTarget& t) { t.port = 2121; },
        [](stSendTarget& t) { t.username = L"another"; },
        [](stSendTarget& t) { t.password = L"secret2"; },
        [](stSendTarget& t) { t.path = L"/"; },
        [](stSendTarget& t) { t.custom = false; },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        WarmConnectionRule rule;
        rule.kept(ownServer(), 1000);
        stSendTarget changed = ownServer();
        changes[i](changed);
        EXPECT_FALSE(rule.fits(changed, 2000)) << "change " << i;
        EXPECT_TRUE(rule.toClose(changed, 2000)) << "change " << i;
    }
    WarmConnectionRule rule;
    rule.kept(ownServer(), 1000);
    stSendTarget newAddress = ownServer();
    newAddress.url = L"https://cdn.example/";
    EXPECT_TRUE(rule.fits(newAddress, 2000));
    EXPECT_TRUE(rule.toClose(std::nullopt, 2000));
}

} // namespace
