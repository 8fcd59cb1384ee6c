// Japan's days off by the national holidays law in force in each year.
//
// Dates are days of the calendar (calendar.h): Gregorian from 1753 up to
// February 2100. The calendar keeps 29 February 2100 and later century leap
// days; the law is applied to its days as they are shown, so a Monday
// holiday always falls on a day shown as a Monday. The law took effect on
// 20 July 1948; every earlier date is a working day here. Rules, not lists:
// each holiday carries the years it was in force, and the few days set once
// by special laws (weddings, a state funeral, enthronement days, the moved
// holidays of 2020 and 2021) sit in a small table of their own.
#pragma once

/* Kinds of day */
enum {
    LAW_WORKDAY = 0,
    LAW_HOLIDAY,     // a national holiday, one-off days included
    LAW_SUBSTITUTE,  // the day off owed for a national holiday on a Sunday
    LAW_CITIZENS,    // a day lying between two national holidays
};

/* Equinox days, by the published formulas for 1900-1979, 1980-2099 and
   2100-2150. Years before 1900 take the value of 1900: no holiday exists
   then, and the value only fills the equinox entries of iHdtbl. After 2150
   the 2100-2150 formula goes on, one day later for each further century
   year without a leap day (2200, 2300, 2500 ...), so it keeps step with
   the Gregorian calendar. The government fixes each equinox holiday only a
   year ahead: every date past 2150 is an estimate. Years after 9999 take
   the value of 9999. */
int law_spring_equinox(int year);  // day of March, 19 to 22 over 1900-2150
int law_autumn_equinox(int year);  // day of September, 22 to 24 over 1900-2150

/* Days off. Dates that are not days of the calendar, and years after
   9999, are working days. */
int law_national_holiday(int year, int month, int day);  // 1 or 0
int law_day_kind(int year, int month, int day);          // LAW_WORKDAY ...
/* The day's name as the law of its year gives it, Shift-JIS: the holiday's
   own name (one-off days by their laws' names), 振替休日 for a substitute
   day, 休日 for a day between two holidays; null for a working day. */
const char* law_day_name(int year, int month, int day);

/* The law's rules for the days around national holidays, applied to a
   list of national holidays other than its own: `national` gives 1 for a
   date that is a national holiday of that list. LAW_SUBSTITUTE for the day
   off owed for one of them on a Sunday, LAW_CITIZENS for a day between two
   of them that is none itself, else LAW_WORKDAY. */
typedef int (*LawHolidayTest)(int year, int month, int day);
int law_day_between(int year, int month, int day, LawHolidayTest national);

/* The substitute rule as the month walk applies it, one day at a time in
   date order. `carry` is the walk's iFuri: a national holiday on a Sunday
   sets it (from 12 April 1973 on) and the day off it owes clears it. That
   day is the next Monday up to 2006 (shown as owed even when it is a
   holiday itself, which the law's days never made happen), and from 2007
   the first following day that is not a national holiday. Returns 1 when
   this day is the owed day off.
   No national holiday falls on the last day of a month, so a month walked
   alone with the carry cleared loses nothing. */
int law_substitute_step(int year, int month, int day, int* carry);
