#pragma once

#include <ctime>
#include <string>

// The name of a frame captured at the given calendar time: its local time as
// day_month_year_hour_minute_second, two digits each ("07_12_26_21_26_31"). Frames of the same
// second share a name. Empty when the time can't be converted or formatted.
std::wstring frameNameFor(std::time_t when);

// Names the frames of one run in the order they are captured: each gets the name of its time and
// the number that follows the last frame of that same name (1 for a new name), so that frames of
// one second keep files of their own.
class FrameNameSequence {
public:
    struct Name {
        std::wstring name;
        int number = 1;
    };

    Name next(std::time_t when);

private:
    Name last_;
};
