// The calendar views on screen: large and medium month views with grooved
// grids, the small month view and the year view with its day-off boxes.
#include "calendar/views.h"

#include "app/state.h"
#include "calendar/calendar.h"
#include "layout/layout.h"
#include "support/ghl3000.h"

// Years before year 0 and months outside 1 to 12 have no calendar.
static bool is_month(int year, int month)
{
    return year >= 0 && month >= 1 && month <= 12;
}

// The weekday headings: Sunday red, Saturday green, the others black.
static void weekday_names(HDC hdc, int x, int pitch, int y, double wf, double hf,
                          const char* face)
{
    for (int i = 0; i < 7; i++) {
        int colour = i == 0 ? CAL_SUNDAY : i == 6 ? CAL_SATURDAY : CAL_BLACK;
        lay_text(hdc, Youbi[i], x + pitch * i, y, wf, hf, colour, face);
    }
}

void cal_groove(HDC hdc, int x1, int y1, int x2, int y2)
{
    if (x1 == x2)
        GrpLine(hdc, x1 - 1, y1, x1 + 1, y2, COLOR_DARK_GREY, MODE_OUTLINE);
    else
        GrpLine(hdc, x1, y1 - 1, x2, y1 + 1, COLOR_DARK_GREY, MODE_OUTLINE);
    GrpLine(hdc, x1, y1, x2, y2, COLOR_LIGHT_GREY, MODE_LINE);
}

// The grooved grid of the month views: eight column lines, the top line of
// the heading band and seven row lines.
static void month_grid(HDC hdc, int left, int pitch_x, int top_v, int bottom_v, int x1, int x2,
                       int top_h, int first_row, int pitch_y)
{
    for (int i = 0; i <= 7; i++)
        cal_groove(hdc, left + pitch_x * i, top_v, left + pitch_x * i, bottom_v);
    cal_groove(hdc, x1, top_h, x2, top_h);
    for (int i = 0; i <= 6; i++)
        cal_groove(hdc, x1, first_row + pitch_y * i, x2, first_row + pitch_y * i);
}

void RKM_CALEN1_PROC(HDC hdc, int year, int month)
{
    iFuri = 0;
    RKM_WAKU1_CRT(hdc);
    if (is_month(year, month)) {
        lay_text(hdc, cal_month_title(year, month), 380, 10, 4.0, 2.6, COLOR_BLUE,
                 FACE_ROUND_MEDIUM);
        weekday_names(hdc, 70, 140, 60, 3.0, 2.6, FACE_ROUND_MEDIUM);
        cal_walk_month(year, month, [hdc](const CalDay& day) {
            // One-digit positions stand further left, so the digits line up on the right.
            int x = 140 * day.column + (day.position <= 9 ? 5 : 30);
            lay_text(hdc, cal_day_text(day.number), x, 110 + 98 * day.row, 4.2, 2.4,
                     day.colour, FACE_ROUND_MEDIUM);
        });
    }
    month_grid(hdc, 21, 140, 57, 692, 20, 1002, 58, 103, 98);
    iNstep = 0;
}

void RKM_CALEN2_PROC(HDC hdc, int year, int month, int today)
{
    iFuri = 0;
    RKM_WAKU_CRT(hdc);
    if (today == 0)
        GrpLine(hdc, 14, 10, 586, 520, iBcol, MODE_FILL);
    if (is_month(year, month)) {
        lay_text(hdc, cal_month_title(year, month), 190, 30, 3.0, 2.6, COLOR_BLUE,
                 FACE_ROUND_MEDIUM);
        weekday_names(hdc, 68, 70, 80, 3.0, 2.6, FACE_ROUND_MEDIUM);
        cal_walk_month(year, month, [hdc, today](const CalDay& day) {
            int x = 60 + 70 * day.column;
            int y = 130 + 60 * day.row;
            if (today != 0 && today == day.position) {
                GrpLine(hdc, x - 1, y - 1, x + 57, y + 41, COLOR_BLUE, MODE_OUTLINE);
                GrpLine(hdc, x, y, x + 56, y + 40, COLOR_BLUE, MODE_OUTLINE);
            }
            lay_text(hdc, cal_day_text(day.number), x, y, 4.2, 2.4, day.colour,
                     FACE_ROUND_MEDIUM);
        });
    }
    month_grid(hdc, 53, 70, 77, 483, 52, 542, 78, 123, 60);
    iNstep = 0;
}

// The small and year views share one text style.
static void small_text(HDC hdc, const char* text, int x, int y, int colour)
{
    lay_text(hdc, text, x, y, 1.6, 1.5, colour, FACE_GOTHIC);
}

// One small month with its title and weekday row; the block's origin is
// (bx, by) and its title stands at (bx + tx, by + ty). `day_drawn` is told
// of every day after its number is drawn, with the number's position.
template <typename DayDrawn>
static void small_month(HDC hdc, int year, int month, int tx, int ty, int bx, int by,
                        DayDrawn day_drawn)
{
    small_text(hdc, cal_month_title(year, month), bx + tx, by + ty, COLOR_BLUE);
    weekday_names(hdc, bx + 30, 30, by + ty + 20, 1.6, 1.5, FACE_GOTHIC);
    cal_walk_month(year, month, [&](const CalDay& day) {
        int x = bx + 30 + 30 * day.column;
        int y = by + ty + 40 + 24 * day.row;
        small_text(hdc, cal_day_text(day.number), x, y, day.colour);
        day_drawn(day, x, y);
    });
}

void RKM_CALEN3_PROC(HDC hdc, int year, int month)
{
    iFuri = 0;
    GrpLine(hdc, 4, 2, 1019, 656, COLOR_BEIGE, MODE_FILL);
    GrpLine(hdc, 4, 2, 1019, 656, iBcol, MODE_OUTLINE);
    GrpLine(hdc, 1019, 2, 1020, 656, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, 4, 655, 1020, 656, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, 10, 10, 256, 200, COLOR_WHITE, MODE_FILL);
    if (is_month(year, month))
        small_month(hdc, year, month, 80, 10, 0, 0, [](const CalDay&, int, int) {});
    iNstep = 0;
}

void RKM_CALEN4_PROC(HDC hdc, int year, int /*month*/)
{
    // Once for the whole year: a Sunday holiday on the last day of a month
    // makes the next month's first day a substitute holiday.
    iFuri = 0;
    RKM_WAKU1_CRT(hdc);
    GrpLine(hdc, 0, 0, 1024, 768, iBcol, MODE_FILL);
    for (int m = 1; m <= 12 && is_month(year, m); m++) {
        int bx = 250 * ((m - 1) % 4);
        int by = 200 * ((m - 1) / 4);
        small_month(hdc, year, m, 80, 60, bx, by, [hdc, m](const CalDay& day, int x, int y) {
            if (RKM_YHDAY_CHK(day.colour, m * 100 + day.position) == 1)
                GrpLine(hdc, x - 1, y + 1, x + 23, y + 20, COLOR_BLACK, MODE_OUTLINE);
        });
    }
    for (int x = 10; x <= 1010; x += 250)
        GrpLine(hdc, x, 45, x, 645, COLOR_DARK_GREY, MODE_LINE);
    for (int y = 45; y <= 645; y += 200)
        GrpLine(hdc, 10, y, 1010, y, COLOR_DARK_GREY, MODE_LINE);
    iNstep = 0;
}
