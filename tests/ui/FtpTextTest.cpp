// What the folder browser's own FTP connection reads from servers: the listing lines of the common
// servers, reply codes and the passive data address. Natively too, under the sanitizers.
#include "platform/FtpText.h"

#include <gtest/gtest.h>

namespace {

using FtpText::listEntry;

std::string describe(const std::optional<FtpText::stListEntry>& entry) {
    if (!entry)
        return "none";
    return (entry->directory ? "folder " : "file ") + entry->name;
}

TEST(FtpTextTest, UnixListingLinesGiveTheWholeNameAndWhetherItIsAFolder) {
    EXPECT_EQ(describe(listEntry("drwxr-xr-x   1 owner    group           0 Jan 01 00:00 many")),
              "folder many");
    EXPECT_EQ(describe(listEntry("-rw-r--r--   1 owner    group        1234 Sep 28  1995 a.png")),
              "file a.png");
    // Blanks inside a name are the name's.
    EXPECT_EQ(describe(listEntry("drwxr-xr-x 2 ftp ftp 4096 Mar 3 12:30 Screen Shots 2024")),
              "folder Screen Shots 2024");
    // No group, extra rights marked, a link without its target.
    EXPECT_EQ(describe(listEntry("drwxr-xr-x 2 ftp 4096 Mar 03 2020 pub")), "folder pub");
    EXPECT_EQ(describe(listEntry("drwxr-xr-x+ 2 ftp ftp 4096 mar 03 2020 acl")), "folder acl");
    EXPECT_EQ(describe(listEntry("lrwxrwxrwx 1 root root 8 Jan 01 00:00 www -> /var/www")),
              "file www");
}

TEST(FtpTextTest, DosListingLinesGiveTheWholeNameAndWhetherItIsAFolder) {
    EXPECT_EQ(describe(listEntry("07-13-03  08:55PM       <DIR>          sakpatch")),
              "folder sakpatch");
    EXPECT_EQ(describe(listEntry("05-09-2003  06:02PM     12656686 2003-04-21 bgm cmd.rgz")),
              "file 2003-04-21 bgm cmd.rgz");
}

TEST(FtpTextTest, LinesThatNameNoEntryAreSkipped) {
    for (const char* line : {"", "total 12", "drwxr-xr-x 2 ftp ftp 4096 Jan 01 00:00",
                             "07-13-03 08:55PM <DIR>", "garbage line", "-rw-r--r-- 1 a b"})
        EXPECT_EQ(describe(listEntry(line)), "none") << line;
}

TEST(FtpTextTest, RepliesEndWithTheirCodeAndABlank) {
    EXPECT_EQ(FtpText::replyCode("230 Logged in."), 230);
    EXPECT_EQ(FtpText::replyCode("230-Welcome"), 230);
    EXPECT_EQ(FtpText::replyCode("200"), 200);
    EXPECT_FALSE(FtpText::replyCode("2300 no"));
    EXPECT_FALSE(FtpText::replyCode(" 230 no"));
    EXPECT_FALSE(FtpText::endsReply("230-Welcome", 230));
    EXPECT_FALSE(FtpText::endsReply("220 not the same code", 230));
    EXPECT_TRUE(FtpText::endsReply("230 Logged in.", 230));
}

TEST(FtpTextTest, PassiveRepliesGiveTheDataAddressAndPortWritesItBack) {
    const auto endpoint =
        FtpText::passiveEndpoint("227 Entering Passive Mode (127,0,0,32,195,80).");
    ASSERT_TRUE(endpoint);
    EXPECT_EQ(endpoint->address, (std::array<std::uint8_t, 4>{127, 0, 0, 32}));
    EXPECT_EQ(endpoint->port, 50000);
    EXPECT_EQ(FtpText::portArgument(*endpoint), "127,0,0,32,195,80");
    const auto bare = FtpText::passiveEndpoint("227 =10,1,2,3,0,21");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->port, 21);
    for (const char* reply :
         {"227 (256,0,0,1,1,1)", "227 (1,2,3)", "227 Passive", "227 (1,2,3,4,5,"})
        EXPECT_FALSE(FtpText::passiveEndpoint(reply)) << reply;
}

} // namespace
