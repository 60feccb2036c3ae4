#include "hotkeys/cHotKeySettings.h"

#include <gtest/gtest.h>

// The program's bag under Wine; natively, where that bag is not built, one in memory.
#ifdef _WIN32
#include "settings/cBinSettingBag.h"
using Bag = cBinSettingBag;
#else
#include "support/MemorySettingBag.h"
using Bag = MemorySettingBag;
#endif

namespace {

TEST(HotKeySettings, DefaultsUseTheGenericModifiers) {
    const cHotKeySettings table;
    EXPECT_EQ(table.full, (KeySeq{17, 16, 70}));
    EXPECT_EQ(table.active, (KeySeq{17, 16, 65}));
    EXPECT_EQ(table.select, (KeySeq{17, 16, 83}));
    EXPECT_EQ(table.edit, (KeySeq{17, 16, 69}));
}

TEST(HotKeySettings, SavesAllFourAsText) {
    cHotKeySettings table;
    table.active.clear();
    Bag bag;
    table.save(&bag);
    std::wstring text;
    ASSERT_TRUE(bag.getString(L"Full", text));
    EXPECT_EQ(text, L"17,16,70");
    ASSERT_TRUE(bag.getString(L"Active", text));
    EXPECT_EQ(text, L"");
    ASSERT_TRUE(bag.getString(L"Select", text));
    EXPECT_EQ(text, L"17,16,83");
    ASSERT_TRUE(bag.getString(L"Edit", text));
    EXPECT_EQ(text, L"17,16,69");
    EXPECT_EQ(bag.entries().size(), 4u);
}

TEST(HotKeySettings, LoadsTheStoredTexts) {
    Bag bag;
    bag.setString(L"Full", L"17,,70");
    bag.setString(L"Active", L",17,70,");
    bag.setString(L"Select", L" 123");
    cHotKeySettings table;
    table.load(&bag);
    EXPECT_EQ(table.full, (KeySeq{17, 70}));
    EXPECT_EQ(table.active, (KeySeq{17, 70}));
    EXPECT_EQ(table.select, (KeySeq{123}));
    EXPECT_EQ(table.edit, (KeySeq{17, 16, 69}));
    bag.setString(L"Edit", L"");
    table.load(&bag);
    EXPECT_TRUE(table.edit.empty());
    bag.setString(L"Edit", L"18,69");
    table.load(&bag);
    EXPECT_EQ(table.edit, (KeySeq{18, 69}));
}

TEST(HotKeySettings, ABagWithoutEditGivesItsDefault) {
    cHotKeySettings table;
    table.edit = {123};
    Bag bag;
    table.load(&bag);
    EXPECT_TRUE(table.full.empty());
    EXPECT_EQ(table.edit, (KeySeq{17, 16, 69}));
    EXPECT_EQ(table.published()->read()->edit, (KeySeq{17, 16, 69}));
}

TEST(HotKeySettings, BagWithoutAnyOfTheThreeTurnsThemAllOff) {
    Bag bag;
    bag.setInt(L"Active", 65);
    bag.setString(L"Other", L"17,16,70");
    cHotKeySettings table;
    table.load(&bag);
    EXPECT_TRUE(table.full.empty());
    EXPECT_TRUE(table.active.empty());
    EXPECT_TRUE(table.select.empty());
}

TEST(HotKeySettings, OverlongCombinationSavesWhatReadsBack) {
    cHotKeySettings table;
    table.full = KeySeq(70, 123);
    Bag bag;
    table.save(&bag);
    cHotKeySettings reloaded;
    reloaded.load(&bag);
    EXPECT_EQ(reloaded.full, KeySeq(64, 123)); // 64 codes of "123" and commas: 255 characters
    EXPECT_EQ(reloaded.active, table.active);
}

// The hook reads only what was published: load publishes, an edit does not until publish(), and a
// copy's changes never reach the original's readers.
TEST(HotKeySettings, ReadersSeeWhatLoadOrPublishGaveThem) {
    cHotKeySettings table;
    const auto readers = table.published();
    Bag bag;
    bag.setString(L"Full", L"123");
    table.load(&bag);
    const auto loaded = readers->read();
    EXPECT_EQ(loaded->full, (KeySeq{123}));
    EXPECT_EQ(loaded->active, (KeySeq{17, 16, 65}));

    table.active = {17, 65};
    EXPECT_EQ(readers->read()->active, (KeySeq{17, 16, 65}));
    table.publish();
    EXPECT_EQ(readers->read()->active, (KeySeq{17, 65}));
    EXPECT_EQ(loaded->active, (KeySeq{17, 16, 65})) << "a published value never changes";

    cHotKeySettings copy = table;
    copy.full.clear();
    copy.publish();
    EXPECT_EQ(copy.published()->read()->full, KeySeq{});
    EXPECT_EQ(readers->read()->full, (KeySeq{123}));
    table = copy;
    EXPECT_EQ(readers->read()->full, KeySeq{});
}

} // namespace
