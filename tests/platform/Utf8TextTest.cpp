#include "platform/Utf8Text.h"

#include <gtest/gtest.h>

#include <string>

using namespace Utf8Text;

namespace {

// UTF-16 as a list of units: natively a wchar_t literal above U+FFFF would be one unit.
std::wstring units(std::initializer_list<unsigned> values) {
    std::wstring text;
    for (unsigned value : values)
        text.push_back(static_cast<wchar_t>(value));
    return text;
}

TEST(Utf8TextTest, EachSequenceLengthAtItsLimitsConvertsBothWays) {
    const std::pair<std::string, std::wstring> cases[] = {
        {std::string(1, '\0'), units({0})},
        {"\x7F", units({0x7F})},
        {"\xC2\x80", units({0x80})},
        {"\xDF\xBF", units({0x7FF})},
        {"\xE0\xA0\x80", units({0x800})},
        {"\xED\x9F\xBF", units({0xD7FF})},
        {"\xEE\x80\x80", units({0xE000})},
        {"\xEF\xBF\xBF", units({0xFFFF})},
        {"\xF0\x90\x80\x80", units({0xD800, 0xDC00})},
        {"\xF4\x8F\xBF\xBF", units({0xDBFF, 0xDFFF})},
    };
    for (const auto& [utf8, utf16] : cases) {
        EXPECT_EQ(toUtf16(utf8), utf16) << testing::PrintToString(utf8);
        EXPECT_EQ(toUtf8(utf16), utf8) << testing::PrintToString(utf8);
    }
}

TEST(Utf8TextTest, WhatIsNotUtf8OrNotUtf16IsReportedOrReplaced) {
    // A stray continuation, cut sequences, a lead before a plain byte, overlong forms, encoded
    // surrogates, code points past U+10FFFF.
    for (const char* bytes : {"\x80", "a\xC3", "\xE4\xB8", "\xE4\x41\xAD", "\xC0\x80", "\xC1\xBF",
                              "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
                              "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF"})
        EXPECT_FALSE(toUtf16(bytes).has_value()) << testing::PrintToString(std::string(bytes));
    for (const std::wstring& text :
         {units({0xD800}), units({0xD83D, 'a'}), units({0xDE00, 0xD83D})})
        EXPECT_FALSE(toUtf8(text).has_value());
    EXPECT_EQ(toUtf8Replacing(units({0xDE00, 'a', 0xD83D, 0xD83D, 0xDE00})),
              "\xEF\xBF\xBD"
              "a\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

} // namespace
