// The date rules: days in a month, the weekday of the first, national
// holidays and the day-off test against the holiday tables.
//
// Years are plain ints from year 1 on (year 0 goes through the same
// formulas). Months outside 1..12 and negative years are outside the
// calendar; for them the routines still return a value in their usual
// range and never read outside a table (see each routine).
#include "calendar/calendar.h"

#include "state/state.h"
#include "calendar/holiday_law.h"
#include "calendar/holidays.h"

static const int month_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Fixed-date holidays as day codes. Entries 2 and 7 are the spring and
// autumn equinox days, rewritten for the year of every RKM_HDAY_CHK call.
// The holidays themselves follow the law of each year (holiday_law.h).
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

// 1 when the date is a day off by the national holidays in force in its
// year (holidays.h): a national holiday, or a day between two of them.
// Substitute holidays are decided by the month walk. The equinox entries of
// iHdtbl are rewritten for the year of every call, whatever the date. The
// law finds weekdays by the calendar's own rules, so the weekday code and
// Monday count that the walk passes are not needed. A date that is not a day
// of the calendar is no holiday.
int RKM_HDAY_CHK(int year, int month, int day, int weekday_code, int monday_count)
{
    (void)weekday_code;
    (void)monday_count;
    iHdtbl[HDTBL_SPRING] = 300 + law_spring_equinox(year);
    iHdtbl[HDTBL_AUTUMN] = 900 + law_autumn_equinox(year);
    const int kind = hol_day_kind(year, month, day);
    return kind == LAW_HOLIDAY || kind == LAW_CITIZENS ? 1 : 0;
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
