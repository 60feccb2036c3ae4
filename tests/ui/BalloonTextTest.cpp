#include "ui/BalloonText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BalloonTextTest, ShortTextIsCopiedWhole) {
    wchar_t field[8];
    copyBalloonField(field, 8, L"abc");
    EXPECT_STREQ(field, L"abc");
    copyBalloonField(field, 8, L"1234567");
    EXPECT_STREQ(field, L"1234567");
}

TEST(BalloonTextTest, LongTextIsCutToTheFieldWithItsTerminator) {
    wchar_t field[8];
    field[7] = L'#';
    copyBalloonField(field, 8, L"123456789");
    EXPECT_STREQ(field, L"1234567");
}

TEST(BalloonTextTest, CutNeverSplitsASurrogatePair) {
    wchar_t field[8];
    // The pair would occupy the 7th and 8th places: it is left out whole.
    copyBalloonField(field, 8, L"123456\xD83D\xDE00");
    EXPECT_STREQ(field, L"123456");
    // A pair that fits stays.
    copyBalloonField(field, 8, L"12345\xD83D\xDE00");
    EXPECT_EQ(std::wstring(field), std::wstring(L"12345\xD83D\xDE00"));
}

TEST(BalloonTextTest, NullTextIsEmpty) {
    wchar_t field[4] = {L'x', L'y', L'z', 0};
    copyBalloonField(field, 4, nullptr);
    EXPECT_STREQ(field, L"");
}

} // namespace
