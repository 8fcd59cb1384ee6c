// Stepping through months: PageDown and PageUp, and the mouse wheel over the
// calendar, show the next or the previous month (year, in the year view).
// A step is a completed month entry, taken from the month on screen.
#include "app/app.h"

#include "state/state.h"
#include "calendar/views.h"
#include "layout/layout.h"
#include "support/ghl3000.h"

enum { BEEP_COUNT = 20 };
enum { MONTH_FIRST = 0, MONTH_LAST = 9999 * 12 + 11 };  // January of year 0, December 9999

// The view the calendar area shows, and its month.
static int shown_layout = LAYOUT_NONE;
static int shown_year, shown_month;

void step_shown(int layout, int year, int month)
{
    shown_layout = layout;
    shown_year = year;
    shown_month = month;
}

void step_month(HDC hdc, int direction)
{
    if (shown_layout == LAYOUT_NONE)
        return;
    const int months = iDspfg == LAYOUT_YEAR ? 12 : 1;
    const long index = shown_year * 12L + (shown_month - 1) + direction * months;
    if (index < MONTH_FIRST || index > MONTH_LAST) {
        GrpBeep(BEEP_COUNT);
        return;
    }
    ent_show_month(hdc, (int)(index / 12), (int)(index % 12) + 1);
}

// Whether (x, y) lies on the calendar the screen shows: the medium month's
// area, the small month's panel, or the whole screen for the large month
// and the year, which cover it.
static bool on_calendar(int x, int y)
{
    const CalMonthGrid& m = CAL_MEDIUM_MONTH;
    switch (shown_layout) {
    case LAYOUT_MEDIUM: return m.area_x1 <= x && x < m.area_x2 && m.area_y1 <= y && y < m.area_y2;
    case LAYOUT_SMALL: return 4 <= x && x < 1020 && 2 <= y && y < 657;
    case LAYOUT_NONE: return false;
    default: return true;
    }
}

// One step a notch; turning down (towards the user) goes on.
void step_wheel(HWND window, int x, int y, int turn)
{
    if (turn == 0 || !on_calendar(x, y))
        return;
    HDC hdc = GetDC(window);
    const int notches = turn / WHEEL_DELTA != 0 ? turn / WHEEL_DELTA : turn > 0 ? 1 : -1;
    for (int i = 0; i < (notches > 0 ? notches : -notches); i++)
        step_month(hdc, notches > 0 ? -1 : 1);
    ReleaseDC(window, hdc);
}
