#include "settings/SettingFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::string u32(std::uint32_t value) {
    std::string out;
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    return out;
}

std::string utf16(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>((static_cast<std::uint32_t>(c) >> 8) & 0xFF));
    }
    return out;
}

std::string keyField(const std::wstring& key) {
    return u32(static_cast<std::uint32_t>(key.size() * 2)) + utf16(key);
}

std::string intEntry(const std::wstring& key, std::int32_t value) {
    return keyField(key) + u32(SettingInt) + u32(4) + u32(static_cast<std::uint32_t>(value));
}

std::string stringEntry(const std::wstring& key, const std::wstring& value) {
    return keyField(key) + u32(SettingString) + u32(static_cast<std::uint32_t>(value.size() * 2)) +
           utf16(value);
}

std::string boolEntry(const std::wstring& key, bool value) {
    return keyField(key) + u32(SettingBool) + u32(1) + std::string(1, value ? '\1' : '\0');
}

SettingMap decode(const std::string& bytes) {
    return SettingFile::decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

SettingValue intValue(std::int32_t v) {
    return SettingValue(std::in_place_type<std::int32_t>, v);
}
SettingValue text(const std::wstring& v) {
    return SettingValue(std::in_place_type<std::wstring>, v);
}

// --- writing ---

TEST(SettingFileWriting, OneIntIsTheFortyFourByteExample) {
    const std::string expected =
        std::string("\x01\x00\x00\x00\x18\x00\x00\x00", 8) +
        std::string("R\0u\0n\0A\0t\0S\0t\0a\0r\0t\0u\0p\0", 24) +
        std::string("\x01\x00\x00\x00\x04\x00\x00\x00\x01\x00\x00\x00", 12);
    const std::string bytes = SettingFile::encode({{L"RunAtStartup", intValue(1)}});
    EXPECT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes, expected);
}

TEST(SettingFileWriting, NoEntriesIsFourZeroBytes) {
    EXPECT_EQ(SettingFile::encode({}), std::string(4, '\0'));
}

TEST(SettingFileWriting, EntriesGoInAscendingCodeUnitOrder) {
    SettingMap entries;
    entries[L"copyUrl"] = true;
    entries[L"Full"] = text(L"17,16,70");
    entries[L"FullX"] = intValue(-2);
    entries[L"DiskOutput"] = intValue(0);
    entries[L"ClipboardOutput"] = intValue(1);
    entries[L"\u00e9"] = intValue(3);
    entries[L"\uff21"] = intValue(4);
    const std::string expected = u32(7) + intEntry(L"ClipboardOutput", 1) +
                                 intEntry(L"DiskOutput", 0) + stringEntry(L"Full", L"17,16,70") +
                                 intEntry(L"FullX", -2) + boolEntry(L"copyUrl", true) +
                                 intEntry(L"\u00e9", 3) + intEntry(L"\uff21", 4);
    EXPECT_EQ(SettingFile::encode(entries), expected);
}

TEST(SettingFileWriting, EachTypeHasItsTagSizeAndPayload) {
    SettingMap entries;
    entries[L"a"] = false;
    entries[L"b"] = true;
    entries[L"c"] = 1.5;
    entries[L"d"] = text(L"C:\\\u5f71");
    entries[L"e"] = text(L"");
    const std::string expected =
        u32(5) + keyField(L"a") + u32(3) + u32(1) + std::string(1, '\0') + keyField(L"b") + u32(3) +
        u32(1) + std::string(1, '\1') + keyField(L"c") + u32(2) + u32(8) +
        std::string("\0\0\0\0\0\0\xF8\x3F", 8) + keyField(L"d") + u32(0) + u32(8) +
        std::string("C\0:\0\\\0\x71\x5f", 8) + keyField(L"e") + u32(0) + u32(0);
    EXPECT_EQ(SettingFile::encode(entries), expected);
}

TEST(SettingFileWriting, TextEndsAtItsTerminatorAndAtTwoHundredFiftyFiveUnits) {
    SettingMap entries;
    entries[L"a"] = text(std::wstring(L"ab\0cd", 5));
    entries[L"b"] = text(std::wstring(300, L'x'));
    const std::string expected =
        u32(2) + stringEntry(L"a", L"ab") + stringEntry(L"b", std::wstring(255, L'x'));
    EXPECT_EQ(SettingFile::encode(entries), expected);
}

// --- reading ---

TEST(SettingFileReading, ReadsWhatWasWritten) {
    SettingMap entries;
    entries[L"Active"] = text(L"17,16,65");
    entries[L"OutputFormat"] = intValue(-7);
    entries[L"ratio"] = 0.1;
    entries[L"isEnabled"] = true;
    entries[L"ftpCustom"] = false;
    entries[L"\u4e2d\u6587"] = text(L"\u8def\u5f84");
    EXPECT_EQ(decode(SettingFile::encode(entries)), entries);
}

TEST(SettingFileReading, ZeroOrNegativeCountIsEmpty) {
    EXPECT_TRUE(decode(u32(0)).empty());
    EXPECT_TRUE(decode(u32(0) + intEntry(L"x", 1)).empty());
    EXPECT_TRUE(decode(u32(0xFFFFFFFF) + intEntry(L"x", 1)).empty());
    EXPECT_TRUE(decode(u32(0x80000000) + intEntry(L"x", 1)).empty());
    EXPECT_TRUE(decode("").empty());
    EXPECT_TRUE(decode("\x01\x00").empty());
}

TEST(SettingFileReading, UnknownTypeIsSkippedBySizeAndDropped) {
    const std::string bytes = u32(3) + intEntry(L"A", 1) + keyField(L"B") + u32(7) + u32(5) +
                              "12345" + stringEntry(L"C", L"after");
    const SettingMap expected{{L"A", intValue(1)}, {L"C", text(L"after")}};
    EXPECT_EQ(decode(bytes), expected);
}

TEST(SettingFileReading, LaterOfTwoEqualKeysWins) {
    const std::string bytes =
        u32(3) + intEntry(L"Full", 5) + stringEntry(L"Other", L"o") + stringEntry(L"Full", L"70");
    const SettingMap expected{{L"Full", text(L"70")}, {L"Other", text(L"o")}};
    EXPECT_EQ(decode(bytes), expected);
}

TEST(SettingFileReading, FixedWidthTypesIgnoreTheValueSize) {
    const std::string bytes = u32(3) + keyField(L"i") + u32(1) + u32(0) + u32(42) + keyField(L"b") +
                              u32(3) + u32(4) + "\x01" + keyField(L"d") + u32(2) + u32(0) +
                              std::string("\0\0\0\0\0\0\xF0\x3F", 8);
    const SettingMap expected{{L"b", true}, {L"d", 1.0}, {L"i", intValue(42)}};
    EXPECT_EQ(decode(bytes), expected);
}

TEST(SettingFileReading, AnyNonZeroBoolByteIsTrue) {
    const std::string bytes = u32(1) + keyField(L"b") + u32(3) + u32(1) + "\x02";
    EXPECT_EQ(decode(bytes), (SettingMap{{L"b", true}}));
}

TEST(SettingFileReading, KeysAndTextsEndAtZeroOrOddByteAndKeepTheRestAligned) {
    // Key "Ke" with a zero and more after it; value of odd size: its last byte is dropped.
    const std::string bytes = u32(2) + u32(8) + utf16(std::wstring(L"Ke\0y", 4)) + u32(0) + u32(5) +
                              utf16(L"ab") + "c" + intEntry(L"next", 9);
    const SettingMap expected{{L"Ke", text(L"ab")}, {L"next", intValue(9)}};
    EXPECT_EQ(decode(bytes), expected);
}

TEST(SettingFileReading, LongKeysAndTextsKeepTwoHundredFiftyFiveUnits) {
    const std::wstring longKey(300, L'k');
    const std::string bytes = u32(3) + stringEntry(L"s", std::wstring(256, L'y')) +
                              intEntry(longKey, 3) + stringEntry(L"t", L"tail");
    const SettingMap expected{{L"s", text(std::wstring(255, L'y'))},
                              {std::wstring(255, L'k'), intValue(3)},
                              {L"t", text(L"tail")}};
    EXPECT_EQ(decode(bytes), expected);
}

// --- damaged data ---

TEST(SettingFileDamage, DataCutAnywhereKeepsExactlyTheWholeEntriesBeforeTheCut) {
    const std::string first = intEntry(L"ClipboardOutput", 1);
    const std::string second = stringEntry(L"Folder", L"C:\\shots");
    const std::string third = boolEntry(L"copyUrl", true);
    const std::string whole = u32(3) + first + second + third;
    const std::size_t firstEnd = 4 + first.size();
    const std::size_t secondEnd = firstEnd + second.size();
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        SettingMap expected;
        if (cut >= firstEnd)
            expected[L"ClipboardOutput"] = intValue(1);
        if (cut >= secondEnd)
            expected[L"Folder"] = text(L"C:\\shots");
        if (cut == whole.size())
            expected[L"copyUrl"] = true;
        EXPECT_EQ(decode(whole.substr(0, cut)), expected) << "cut after " << cut << " bytes";
    }
}

TEST(SettingFileDamage, CountBeyondTheDataKeepsTheEntriesThere) {
    const std::string bytes = u32(0x7FFFFFFF) + intEntry(L"A", 1) + intEntry(L"B", 2);
    EXPECT_EQ(decode(bytes), (SettingMap{{L"A", intValue(1)}, {L"B", intValue(2)}}));
}

TEST(SettingFileDamage, SizesReachingPastTheEndStopTheReading) {
    const std::string before = u32(3) + intEntry(L"A", 1);
    const std::string after = intEntry(L"Z", 2);
    for (std::uint32_t size : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0x10000u}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(decode(before + u32(size) + utf16(L"BB") + after),
                  (SettingMap{{L"A", intValue(1)}}))
            << "key size";
        EXPECT_EQ(decode(before + keyField(L"B") + u32(0) + u32(size) + utf16(L"x") + after),
                  (SettingMap{{L"A", intValue(1)}}))
            << "text size";
        EXPECT_EQ(decode(before + keyField(L"B") + u32(9) + u32(size) + "xyz" + after),
                  (SettingMap{{L"A", intValue(1)}}))
            << "size of an unknown type";
    }
}

} // namespace
