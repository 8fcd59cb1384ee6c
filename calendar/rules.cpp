// The date rules: days in a month, the weekday of the first, national
// holidays and the day-off test against the holiday tables.
//
// Years are plain ints from year 1 on (year 0 goes through the same
// formulas). Months outside 1..12 and negative years are outside the
// calendar; for them the routines still return a value in their usual
// range and never read outside a table (see each routine).
#include "calendar/calendar.h"

#include "app/state.h"

static const int month_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Fixed-date holidays as day codes. Entries 2 and 7 are the spring and
// autumn equinox days, rewritten for the year of every RKM_HDAY_CHK call.
int iHdtbl[11] = {101, 211, 321, 429, 503, 504, 505, 923, 1103, 1123, 1223};
enum { HDTBL_SPRING = 2, HDTBL_AUTUMN = 7 };

static bool valid_month(int month)
{
    return month >= 1 && month <= 12;
}

// Days in the month: 28 to 31, 19 for September 1752; 0 for a month
// outside 1..12, so a walk over it visits nothing.
int RKM_DAY_MAX(int year, int month)
{
    if (!valid_month(month))
        return 0;
    if (year == 1752 && month == 9)
        return 19;
    if (month == 2)
        return (year % 4 == 0 && year != 1800 && year != 1900) ? 29 : 28;
    return month_days[month - 1];
}

// Weekday (0 Sunday .. 6 Saturday) of the first of the month. 1 January of
// year 1 is a Saturday; the 11 days dropped in 1752 and the missing leap
// days of 1800 and 1900 are added from the year after them. Division
// truncates toward zero, as for year 0 (January of year 0 is a Friday).
// A negative year gives the remainder brought into 0..6; a month below 1
// counts as January and one above 12 as the day after 31 December.
int RKM_FIRST_DAY(int year, int month)
{
    long long p = (long long)year - 1;
    long long total = p + p / 4 + 6;
    if (year >= 1753)
        total += 3;
    if (year >= 1801)
        total += 6;
    if (year >= 1901)
        total += 6;
    for (int m = 1; m < month && m <= 12; m++)
        total += RKM_DAY_MAX(year, m);
    int weekday = (int)(total % 7);
    return weekday < 0 ? weekday + 7 : weekday;
}

// Spring and autumn equinox days of the year (day of March and of
// September), from the mean length of the tropical year counted from 1980.
static void equinox_days(int year, int* spring, int* autumn)
{
    long long d = (long long)year - 1980;
    long long q = d / 4;
    *spring = (int)(d * 0.242194 + 20.8431 - q);
    *autumn = (int)(d * 0.242194 + 23.2488 - q);
}

// 1 when the date is a national holiday: a fixed date of iHdtbl (with this
// year's equinoxes), the second Monday of January and October, or the third
// Monday of July and September. The weekday code is 2 for a Monday; the
// Monday count is the number of Mondays of the month up to this date.
// Substitute holidays are decided by the month walk. A month outside 1..12
// or a day outside 1..31 is no holiday.
int RKM_HDAY_CHK(int year, int month, int day, int weekday_code, int monday_count)
{
    int spring, autumn;
    equinox_days(year, &spring, &autumn);
    iHdtbl[HDTBL_SPRING] = 300 + spring;
    iHdtbl[HDTBL_AUTUMN] = 900 + autumn;

    if (!valid_month(month) || day < 1 || day > 31)
        return 0;
    int code = month * 100 + day;
    for (int entry : iHdtbl)
        if (entry == code)
            return 1;
    if (weekday_code == 2) {
        if ((month == 1 || month == 10) && monday_count == 2)
            return 1;
        if ((month == 7 || month == 9) && monday_count == 3)
            return 1;
    }
    return 0;
}

static bool table_has(const int* table, int day_code)
{
    for (int i = 0; i < 100; i++)
        if (table[i] == day_code)
            return true;
    return false;
}

// 1 when the date counts as a day off. `off` is non-zero when the calendar
// already makes it one (the walk's day colour is not black): then only
// iHday2 can make it a working day; otherwise only iHday1 can make it a day
// off. An entry of 0 is no entry and matches no day code.
int RKM_YHDAY_CHK(int off, int day_code)
{
    if (day_code == 0)
        return off ? 1 : 0;
    if (off)
        return table_has(iHday2, day_code) ? 0 : 1;
    return table_has(iHday1, day_code) ? 1 : 0;
}
