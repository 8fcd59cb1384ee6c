// Stepping through months: PageDown and PageUp (Down and Up), and the mouse
// wheel over the calendar, show the next or the previous month (year, in the
// year view). A step is a completed month entry, taken from the month shown.
#include "app/app.h"

#include "state/state.h"
#include "calendar/views.h"
#include "layout/layout.h"
#include "support/ghl3000.h"

enum { BEEP_COUNT = 20 };
enum { MONTH_FIRST = 0, MONTH_LAST = 9999 * 12 + 11 };  // January of year 0, December 9999

bool step_target(const ShownView& shown, int layout, int direction, int* year, int* month)
{
    if (shown.layout == LAYOUT_NONE)
        return false;
    const int months = layout == LAYOUT_YEAR ? 12 : 1;
    const long index = shown.year * 12L + (shown.month - 1) + direction * months;
    if (index < MONTH_FIRST || index > MONTH_LAST)
        return false;
    *year = (int)(index / 12);
    *month = (int)(index % 12) + 1;
    return true;
}

void step_month(HDC hdc, const ShownView& shown, int direction)
{
    if (shown.layout == LAYOUT_NONE)
        return;
    int year, month;
    if (!step_target(shown, iDspfg, direction, &year, &month)) {
        GrpBeep(BEEP_COUNT);
        return;
    }
    ent_show_month(hdc, year, month);
}

// The medium month's area, the small month's panel, or the whole screen for
// the large month and the year, which cover it.
bool step_on_calendar(const ShownView& shown, int x, int y)
{
    const CalMonthGrid& m = CAL_MEDIUM_MONTH;
    if (shown.help)
        return false;
    switch (shown.layout) {
    case LAYOUT_MEDIUM: return m.area_x1 <= x && x < m.area_x2 && m.area_y1 <= y && y < m.area_y2;
    case LAYOUT_SMALL: return 4 <= x && x < 1020 && 2 <= y && y < 657;
    case LAYOUT_NONE: return false;
    default: return true;
    }
}

// One step a notch; turning down (towards the user) goes on. Each step
// draws the month it reaches, which `shown` then holds.
void step_wheel(HWND window, const ShownView& shown, int x, int y, int turn)
{
    if (turn == 0 || !step_on_calendar(shown, x, y))
        return;
    HDC hdc = GetDC(window);
    const int notches = turn / WHEEL_DELTA != 0 ? turn / WHEEL_DELTA : turn > 0 ? 1 : -1;
    for (int i = 0; i < (notches > 0 ? notches : -notches); i++)
        step_month(hdc, shown, notches > 0 ? -1 : 1);
    ReleaseDC(window, hdc);
}
