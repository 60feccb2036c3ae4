#include "hotkeys/KeyDisplayName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring nameOf(UINT key) {
    wchar_t buffer[255];
    keyDisplayName(key, buffer);
    return buffer;
}

TEST(KeyDisplayName, NamesKeysAsTheLayoutSpellsThem) {
    EXPECT_EQ(nameOf('F'), L"F");
    EXPECT_EQ(nameOf('7'), L"7");
    EXPECT_FALSE(nameOf(VK_F12).empty());
}

TEST(KeyDisplayName, ExtendedKeysAreToldApartFromTheKeypad) {
    EXPECT_NE(nameOf(VK_PRIOR), nameOf(VK_NUMPAD9));
    EXPECT_NE(nameOf(VK_INSERT), nameOf(VK_NUMPAD0));
    EXPECT_NE(nameOf(VK_LEFT), nameOf(VK_NUMPAD4));
    EXPECT_NE(nameOf(VK_DELETE), nameOf(VK_DECIMAL));
}

} // namespace
