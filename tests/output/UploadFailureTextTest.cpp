#include "output/UploadFailureText.h"

#include <gtest/gtest.h>

using namespace UploadFailureText;

namespace {

const std::wstring kHint = L"You can go to www.pixlance.example to check for newer version.\n";
const std::wstring kAccessText =
    L"Check your internet and firewall settings.\nMake sure you have access to ftp.example.org.\n"
    L"Details: ";

TEST(UploadFailureTextTest, ReducedReplyDropsLeadingRepliesBelow300) {
    EXPECT_EQ(reducedReply(L"220 Welcome\r\n250 OK\r\n550 No such folder.\r\n"),
              L"550 No such folder.\r\n");
    EXPECT_EQ(reducedReply(L"  220 Hello\n550 Denied"), L"550 Denied");
    EXPECT_EQ(reducedReply(L"331 Password required\n550 x"), L"331 Password required\n550 x");
    EXPECT_EQ(reducedReply(L"550 Denied\n250 OK\n"), L"550 Denied\n250 OK\n");
}

TEST(UploadFailureTextTest, ReducedReplyKeepsALastLineAndTextsWithoutACode) {
    // Without a line feed nothing is taken off, even a code below 300.
    EXPECT_EQ(reducedReply(L"250 OK"), L"250 OK");
    EXPECT_EQ(reducedReply(L"220 a\n250 b"), L"250 b");
    EXPECT_EQ(reducedReply(L"Connection closed\n550 x"), L"Connection closed\n550 x");
    EXPECT_EQ(reducedReply(L""), L"");
    EXPECT_EQ(reducedReply(L"299 a\n300 b\n"), L"300 b\n");
    EXPECT_EQ(reducedReply(L"0299 a\n99999999999999999999 b\n"), L"99999999999999999999 b\n");
}

TEST(UploadFailureTextForCustomTarget, ServerReplyNamesTheServerAndTheReducedReply) {
    EXPECT_EQ(forFailure(12003, L"220 Hi\n250 OK\n550 No such file or directory.\n", true,
                         L"ftp.example.org"),
              kAccessText + L"550 No such file or directory.\n");
    EXPECT_EQ(forFailure(12003, L"331 Need password\n550 x", true, L"ftp.example.org"),
              kAccessText + L"331 Need password\n550 x");
}

TEST(UploadFailureTextForCustomTarget, RefusedLoginIsNamed) {
    for (unsigned long code : {12013ul, 12014ul, 12015ul})
        EXPECT_EQ(forFailure(code, L"530 Login incorrect.", true, L"h"),
                  L"Incorrect user name or password\n")
            << code;
}

TEST(UploadFailureTextForCustomTarget, OtherFailuresShowTheirOwnMessage) {
    EXPECT_EQ(forFailure(12029, L"Cannot connect", true, L"h"), L"Cannot connect");
    EXPECT_EQ(forFailure(kNotAnInternetError, L"内存不足.", true, L"h"), L"内存不足.");
}

TEST(UploadFailureTextForBuiltinTarget, OnlyPointsToTheWebSite) {
    for (unsigned long code : {12003ul, 12013ul, 12014ul, 12015ul})
        EXPECT_EQ(forFailure(code, L"550 x", false, L"h"), kHint) << code;
    EXPECT_EQ(forFailure(12029, L"Cannot connect", false, L"h"), L"\n" + kHint);
    EXPECT_EQ(forFailure(kNotAnInternetError, L"内存不足.", false, L"h"), L"\n" + kHint);
}

} // namespace
