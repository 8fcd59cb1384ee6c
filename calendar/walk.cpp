// The month walk: the one loop that places and colours the days of a month
// for every view and printed layout.
#include "calendar/calendar.h"

#include "app/state.h"

// Substitute holidays. A holiday on a Sunday sets the carry iFuri; the next
// Monday the walk meets is shown red and clears it, even when that Monday
// is a holiday itself. The carry survives from one month to the next, so in
// the year layouts a holiday on the last day of a month, a Sunday, turns
// the 1st of the next month red when that is a Monday.
static int walk_substitute(int weekday_code, bool holiday, int colour)
{
    if (holiday && weekday_code == 1)
        iFuri = 1;
    if (weekday_code == 2 && iFuri == 1) {
        iFuri = 0;
        return CAL_SUNDAY;
    }
    return colour;
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
        day.colour = walk_substitute(code, holiday, colour);
        visit(day);
        day.column++;
        if (code == 0) {
            day.column = 0;
            day.row++;
        }
    }
}
