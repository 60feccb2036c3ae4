#include "output/upload/FtpModeMemory.h"
#include "output/upload/RemoteName.h"

#include <gtest/gtest.h>

namespace {

TEST(RemoteNameTest, RandomSuffixesAreRecognisedAndReplacedNumbersGoAfterTheStem) {
    const std::wstring named =
        RemoteName::withSuffix(L"09_12_26_10_00_00.png", L"k3Qx9TzB2mWcL7pA");
    EXPECT_EQ(named, L"09_12_26_10_00_00_k3Qx9TzB2mWcL7pA.png");
    EXPECT_TRUE(RemoteName::hasRandomSuffix(named));
    EXPECT_EQ(RemoteName::withOtherSuffix(named, L"0000000000000000"),
              L"09_12_26_10_00_00_0000000000000000.png");
    // The time's own parts, a number, a short or punctuated tail are no suffix.
    for (const wchar_t* name :
         {L"09_12_26_10_00_00.png", L"09_12_26_10_00_00_2.png", L"x_k3Qx9TzB2mWcL7p.png",
          L"x_k3Qx9TzB2mWcL7-A.png", L"xk3Qx9TzB2mWcL7pAq.png"})
        EXPECT_FALSE(RemoteName::hasRandomSuffix(name)) << name;
    EXPECT_EQ(RemoteName::numbered(L"09_12_26_10_00_00.jpg", 1), L"09_12_26_10_00_00.jpg");
    EXPECT_EQ(RemoteName::numbered(L"09_12_26_10_00_00.jpg", 3), L"09_12_26_10_00_00_3.jpg");
}

// Passive until a server's passive data connection failed where active mode worked; only a
// failure of the data connection counts as one, not a reply about the file.
TEST(FtpModeMemoryTest, PassiveFirstUntilAServerNeedsActive) {
    FtpModeMemory modes;
    EXPECT_TRUE(modes.passiveFirst(L"a.example", 21));
    modes.remember(L"a.example", 21, false);
    EXPECT_FALSE(modes.passiveFirst(L"a.example", 21));
    EXPECT_TRUE(modes.passiveFirst(L"a.example", 2121));
    EXPECT_TRUE(modes.passiveFirst(L"b.example", 21));
    modes.remember(L"a.example", 21, true);
    EXPECT_TRUE(modes.passiveFirst(L"a.example", 21));

    EXPECT_TRUE(FtpModeMemory::isDataConnectionFailure(false, L""));
    for (const wchar_t* reply :
         {L"500 Passive mode is not allowed here.", L"425 Can't open data connection.",
          L"220 Hello\r\n502 EPSV not implemented."})
        EXPECT_TRUE(FtpModeMemory::isDataConnectionFailure(true, reply)) << reply;
    for (const wchar_t* reply :
         {L"550 No such folder.", L"553 Could not create file.", L"452 Insufficient storage."})
        EXPECT_FALSE(FtpModeMemory::isDataConnectionFailure(true, reply)) << reply;
}

} // namespace
