#include "app/FrameName.h"

#include <gtest/gtest.h>

namespace {

std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

TEST(FrameNameTest, NameIsTheLocalTimeDayFirstTwoDigitsEach) {
    EXPECT_EQ(frameNameFor(localTime(2026, 12, 7, 21, 26, 31)), L"07_12_26_21_26_31");
    EXPECT_EQ(frameNameFor(localTime(2009, 2, 1, 3, 4, 5)), L"01_02_09_03_04_05");
    EXPECT_EQ(frameNameFor(localTime(2030, 10, 31, 0, 0, 0)), L"31_10_30_00_00_00");
}

TEST(FrameNameTest, CapturesWithinOneSecondShareTheName) {
    const std::time_t when = localTime(2026, 12, 7, 21, 26, 31);
    EXPECT_EQ(frameNameFor(when), frameNameFor(when));
    EXPECT_EQ(frameNameFor(when + 1), L"07_12_26_21_26_32");
}

TEST(FrameNameTest, TimeThatCannotBeConvertedGivesAnEmptyName) {
    EXPECT_EQ(frameNameFor(static_cast<std::time_t>(-1)), L"");
}

} // namespace
