// The month walk: the one loop that places and colours the days of a month
// for every view and printed layout.
#include "calendar/calendar.h"

#include "state/state.h"
#include "calendar/holidays.h"

// Substitute holidays by the law of the year (holiday_law.h), or as the
// official list gives them in the years it covers (holidays.h). A national
// holiday on a Sunday sets the carry iFuri; the day off it owes is shown red
// and clears it: the next Monday up to 2006, from 2007 the first day that is
// not a national holiday. The carry survives from one month to the next, so
// in the year layouts it may land on the 1st of the next month.
static int walk_substitute(int year, int month, int day, int colour)
{
    return hol_substitute_step(year, month, day, &iFuri) ? CAL_SUNDAY : colour;
}

static int base_colour(int weekday_code)
{
    if (weekday_code == 1)
        return CAL_SUNDAY;
    if (weekday_code == 0)
        return CAL_SATURDAY;
    return CAL_BLACK;
}

// Visits day positions 1 .. RKM_DAY_MAX in order, Sunday-first columns,
// the first row starting at the weekday of the 1st. A month outside 1..12
// has no days, so nothing is visited and iFuri is left as it was.
void cal_walk_month(int year, int month, const std::function<void(const CalDay&)>& visit)
{
    int days = RKM_DAY_MAX(year, month);
    int first = RKM_FIRST_DAY(year, month);
    CalDay day{first, 0, 0, 0, CAL_BLACK};
    int mondays = 0;
    int offset = 0;
    for (int d = 1; d <= days; d++) {
        if (year == 1752 && month == 9 && d > 2)
            offset = 11;  // 2 September 1752 is followed by the 14th
        int code = (first + d) % 7;  // 1 Sunday, 2 Monday .. 0 Saturday
        if (code == 2)
            mondays++;
        bool holiday = RKM_HDAY_CHK(year, month, d, code, mondays) == 1;
        int colour = holiday ? CAL_HOLIDAY : base_colour(code);
        day.position = d;
        day.number = d + offset;
        day.colour = walk_substitute(year, month, d, colour);
        visit(day);
        day.column++;
        if (code == 0) {
            day.column = 0;
            day.row++;
        }
    }
}
