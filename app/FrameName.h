#pragma once

#include <ctime>
#include <string>

// The name of a frame captured at the given calendar time: its local time as
// day_month_year_hour_minute_second, two digits each ("07_12_26_21_26_31"). Frames of the same
// second share a name. Empty when the time can't be converted or formatted.
std::wstring frameNameFor(std::time_t when);
