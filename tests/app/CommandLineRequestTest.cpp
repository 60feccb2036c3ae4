#include "app/CommandLineRequest.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineRequestTest, RegisterAndUnregisterInAnyCaseWithSlashOrDash) {
    for (const wchar_t* line :
         {L"/Register", L"/regserver", L"-REGISTER", L"-RegServer", L"  /register  "})
        EXPECT_EQ(parseCommandLine(line), CommandLineRequest::Register) << line;
    for (const wchar_t* line : {L"/Unregister", L"/unregserver", L"-UNREGISTER", L"-UnregServer"})
        EXPECT_EQ(parseCommandLine(line), CommandLineRequest::Unregister) << line;
}

TEST(CommandLineRequestTest, AnythingElseRuns) {
    for (const wchar_t* line : {L"", L"register", L"/registered", L"/", L"-", L"/reg", L"x /y"})
        EXPECT_EQ(parseCommandLine(line), CommandLineRequest::Run) << line;
}

TEST(CommandLineRequestTest, TheRequestMayFollowOtherArguments) {
    EXPECT_EQ(parseCommandLine(L"/Embedding /Unregserver"), CommandLineRequest::Unregister);
}

} // namespace
