// The hot keys through the program's own bag and its file.
#include "hotkeys/cHotKeySettings.h"
#include "settings/cBinSettingBag.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(HotKeySettings, KeysLostToADamagedFileKeepTheirCombinations) {
    cHotKeySettings saved;
    saved.full = {123};
    saved.active.clear();
    saved.select = {17, 18, 83};
    cBinSettingBag bag;
    saved.save(&bag);
    const std::wstring file = TestEnvironment::freshTempDir(L"hotkeys") + L"\\Settings.dat";
    bag.writeFile(file);
    // Keys are stored in order, "Select" last: cut inside it.
    std::string bytes = TestEnvironment::readFileBytes(file);
    bytes.resize(bytes.size() - 4);
    TestEnvironment::writeFileBytes(file, bytes);

    bag.readFile(file);
    cHotKeySettings table;
    table.load(&bag);
    EXPECT_EQ(table.full, (KeySeq{123}));
    EXPECT_TRUE(table.active.empty()) << "a stored empty text is still no combination";
    EXPECT_EQ(table.select, (KeySeq{17, 16, 83})) << "the lost key keeps the default";
    EXPECT_EQ(table.published()->read()->select, (KeySeq{17, 16, 83}));
}

} // namespace
