// The four printed layouts: the screen design of 1024 x 768 units drawn on
// the printer page through the same drawing as the screen views, every
// coordinate scaled by dXdpi and dYdpi and truncated toward zero, then moved
// to where prn_fit_page centred the canvas; every text magnification scaled
// without truncation. No screen frame is drawn: each layout's area is
// filled with iBcol instead.
#include "state/state.h"
#include "calendar/views.h"
#include "layout/layout.h"
#include "print/print.h"

namespace {

CalSheet page(HDC hdc)
{
    const POINT origin = prn_page_origin();
    return {hdc, dXdpi, dYdpi, origin.x, origin.y};
}

// The month table has twelve entries; no layout prints another month.
int prn_month(int month)
{
    return month < 1 ? 1 : month > 12 ? 12 : month;
}

void prn_month_page(HDC hdc, int year, int month, const CalMonthGrid& g)
{
    CalSheet s = page(hdc);
    iFuri = 0;
    cal_line(s, g.area_x1, g.area_y1, g.area_x2, g.area_y2, iBcol, MODE_FILL);
    cal_draw_month(s, year, prn_month(month), g, 0);
    iNstep = 0;
}

}  // namespace

void RKM_CALEN1_PRN(HDC hdc, int year, int month)
{
    prn_month_page(hdc, year, month, CAL_LARGE_MONTH);
}

void RKM_CALEN2_PRN(HDC hdc, int year, int month)
{
    prn_month_page(hdc, year, month, CAL_MEDIUM_MONTH);
}

void RKM_CALEN3_PRN(HDC hdc, int year, int month)
{
    CalSheet s = page(hdc);
    iFuri = 0;
    cal_line(s, 10, 10, 256, 200, iBcol, MODE_FILL);
    cal_draw_small_month(s, year, prn_month(month), 0, 10, false);
    iNstep = 0;
}

void RKM_CALEN4_PRN(HDC hdc, int year, int)
{
    CalSheet s = page(hdc);
    iFuri = 0;  // once for the whole year
    cal_line(s, 0, 0, 1024, 768, iBcol, MODE_FILL);
    cal_draw_year(s, year);
    iNstep = 0;
}
