// The almanac on the command line: the traditional notes of a run of days,
// one day a line, in UTF-8 whatever the locale.
//
//   rkm7500 --almanac 2033-12-01..2034-02-28
//
// Eight fields separated by tabs: the date, the weekday, the old date
// (M/D, 閏 before a leap month), the 六曜, the solar term, the 雑節 joined by
// "・", the Moon's phase and the national holiday; "-" for a field with
// nothing, and in fields 3 to 7 for a day outside the notes' years.
#pragma once

#include <cstdio>

#include "app/day_range.h"

// Writes the lines of the days; false when they could not all be written.
bool almanac_write(const DayRange& range, std::FILE* out);
