#include "hotkeys/KeySeqDescription.h"

#include <gtest/gtest.h>

namespace {

std::wstring fakeName(std::int32_t code) {
    return code == 17 ? L"Ctrl" : code == 70 ? L"F" : code == 222 ? L"'" : L"";
}

TEST(KeySeqDescription, QuotedNamesInOrderJoinedByPlus) {
    EXPECT_EQ(describeKeySeq({17, 70}, fakeName), L"'Ctrl' + 'F'");
    EXPECT_EQ(describeKeySeq({70, 17}, fakeName), L"'F' + 'Ctrl'");
    EXPECT_EQ(describeKeySeq({222}, fakeName), L"'''");
    EXPECT_EQ(describeKeySeq({}, fakeName), L"");
    // A key the layout can't name still shows.
    EXPECT_EQ(describeKeySeq({17, 255}, fakeName), L"'Ctrl' + '#255'");
}

} // namespace
