#include "app/FrameName.h"

#include "capture/cFrame.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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

TEST(FrameNameTest, LaterFramesOfASecondAreNumberedAndANewSecondStartsAgain) {
    const std::time_t when = localTime(2026, 12, 7, 21, 26, 31);
    FrameNameSequence names;
    std::vector<std::pair<std::wstring, int>> given;
    for (std::time_t at : {when, when, when, when + 1, when + 1, when, when + 2}) {
        const FrameNameSequence::Name next = names.next(at);
        given.emplace_back(next.name, next.number);
    }
    EXPECT_EQ(given, (std::vector<std::pair<std::wstring, int>>{{L"07_12_26_21_26_31", 1},
                                                                {L"07_12_26_21_26_31", 2},
                                                                {L"07_12_26_21_26_31", 3},
                                                                {L"07_12_26_21_26_32", 1},
                                                                {L"07_12_26_21_26_32", 2},
                                                                {L"07_12_26_21_26_31", 1},
                                                                {L"07_12_26_21_26_33", 1}}));
    cFrame frame;
    frame.name = given[2].first;
    frame.nameNumber = given[2].second;
    EXPECT_EQ(frame.fileStem(), L"07_12_26_21_26_31_3");
    frame.nameNumber = 1;
    EXPECT_EQ(frame.fileStem(), L"07_12_26_21_26_31");
}

} // namespace
