// A run of days on the command line (--almanac, --agenda): FROM or
// FROM..TO, each a date as YYYY-MM-DD.
#pragma once

#include <string>

struct DayRange {
    int from_year, from_month, from_day;
    int to_year, to_month, to_day;
};

// Dates of the Gregorian calendar, years 0001 to 9999, FROM not after TO.
// On a bad text returns false with the reason, naming it, in `error`.
bool cmd_parse_days(const char* text, DayRange* range, std::string* error);
