#include "hotkeys/KeySeq.h"

#include <gtest/gtest.h>

namespace {

TEST(KeySeqText, ReadsTheDefaults) {
    EXPECT_EQ(parseKeySeq(L"17,16,70"), (KeySeq{17, 16, 70}));
    EXPECT_EQ(parseKeySeq(L"123"), (KeySeq{123}));
}

TEST(KeySeqText, RunsOfCommasAreOneSeparator) {
    EXPECT_EQ(parseKeySeq(L"17,,70"), (KeySeq{17, 70}));
    EXPECT_EQ(parseKeySeq(L",17,70,"), (KeySeq{17, 70}));
    EXPECT_EQ(parseKeySeq(L",,,"), KeySeq{});
    EXPECT_EQ(parseKeySeq(L""), KeySeq{});
}

TEST(KeySeqText, NumbersAreReadAsAFormattedScanReadsThem) {
    EXPECT_EQ(parseKeySeq(L" 17,\t16, \r\n70"), (KeySeq{17, 16, 70}));
    EXPECT_EQ(parseKeySeq(L"+17,-5,0"), (KeySeq{17, -5, 0}));
    // Reading a piece stops at the first character that is not part of the number.
    EXPECT_EQ(parseKeySeq(L"17x,16 9,70.5"), (KeySeq{17, 16, 70}));
    // Duplicates stay.
    EXPECT_EQ(parseKeySeq(L"70,70"), (KeySeq{70, 70}));
}

TEST(KeySeqText, PiecesThatAreNoNumberAreSkipped) {
    EXPECT_EQ(parseKeySeq(L"Ctrl,17,x70,70"), (KeySeq{17, 70}));
    EXPECT_EQ(parseKeySeq(L"-,+, ,17"), (KeySeq{17}));
    EXPECT_EQ(parseKeySeq(L"\uff11\uff17,17"), (KeySeq{17})); // full-width digits are not digits
}

TEST(KeySeqText, NumbersBeyondThirtyTwoBitsAreSkipped) {
    EXPECT_EQ(parseKeySeq(L"2147483647,-2147483648"), (KeySeq{2147483647, -2147483647 - 1}));
    EXPECT_EQ(parseKeySeq(L"2147483648,17,-2147483649,99999999999999999999,70"), (KeySeq{17, 70}));
}

TEST(KeySeqText, ReadsOnlyTheFirstTwoHundredFiftyFiveCharactersUpToAZero) {
    std::wstring text = std::wstring(252, L',') + L"17,70";
    EXPECT_EQ(parseKeySeq(text), (KeySeq{17}));
    EXPECT_EQ(parseKeySeq(std::wstring(L"17,70\0,65", 9)), (KeySeq{17, 70}));
}

TEST(KeySeqText, WritesCodesWithSingleCommas) {
    EXPECT_EQ(formatKeySeq({17, 16, 70}), L"17,16,70");
    EXPECT_EQ(formatKeySeq({123}), L"123");
    EXPECT_EQ(formatKeySeq({}), L"");
    EXPECT_EQ(formatKeySeq({-1, 0, 2147483647}), L"-1,0,2147483647");
}

TEST(KeySeqText, OverlongSequenceKeepsTheCodesThatFitWhole) {
    // 64 codes of three digits with their commas take exactly 255 characters: all kept.
    const KeySeq full(64, 100);
    EXPECT_EQ(formatKeySeq(full).size(), 255u);
    EXPECT_EQ(parseKeySeq(formatKeySeq(full)), full);

    KeySeq longer = full;
    longer.push_back(5);
    EXPECT_EQ(formatKeySeq(longer), formatKeySeq(full));

    // 63 codes take 251 characters; ",12345" would end at 257. It is left off whole, not cut to
    // ",123", and the short code after it is not slipped in either.
    KeySeq gap(63, 100);
    gap.push_back(12345);
    gap.push_back(7);
    const std::wstring text = formatKeySeq(gap);
    EXPECT_EQ(text.size(), 251u);
    EXPECT_EQ(parseKeySeq(text), KeySeq(63, 100));
}

} // namespace
