#include "platform/RandomText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// What a random suffix must be: never the same twice, only letters and digits, and every one of
// the 62 of them in use.
TEST(RandomTextTest, TenThousandNamesRepeatNothingAndStayInTheAlphabet) {
    const std::wstring alphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::set<std::wstring> names;
    std::set<wchar_t> seen;
    for (int i = 0; i < 10000; ++i) {
        const std::wstring name = randomAlphanumeric(16);
        ASSERT_EQ(name.size(), 16u);
        for (wchar_t c : name) {
            ASSERT_NE(alphabet.find(c), std::wstring::npos) << static_cast<int>(c);
            seen.insert(c);
        }
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 10000u);
    EXPECT_EQ(seen.size(), alphabet.size());
}

} // namespace
