// The national holidays as an iCalendar file (RFC 5545) for the user's
// other calendars, and with them the traditional notes if asked:
// --export-ics FILE [--years FROM..TO] [--notes].
//
// One all-day event a day, named as the calendar shows the day, with a UID
// made from the date alone, so that a calendar importing a later export
// updates its events instead of doubling them. The dates are Gregorian, as
// iCalendar's are: the calendar keeps a 29 February 2100 that the Gregorian
// calendar does not, so the years end with 2099.
#pragma once

#include <string>

enum { ICS_YEAR_FIRST = 1948, ICS_YEAR_LAST = 2099 };

// The whole calendar for the years from..to, UTF-8 with CR LF line ends and
// lines folded at 75 octets; `stamp` (seconds since 1970, UTC) is DTSTAMP.
// With `notes`, each day's 六曜, solar term and 雑節 follow its holiday, as
// events of their own categories.
std::string ics_calendar(int from, int to, bool notes, long long stamp);

// Writes the file whole or not at all. `years` is "FROM..TO", one year, or
// null for this year and the five after it. Returns the exit status: 0
// written, 1 not written (the reason on standard error), 2 bad years.
int ics_export(const char* path, const char* years, bool notes);
