// The four printed layouts: the screen design of 1024 x 768 units (1/92
// inch each) drawn on the printer, every coordinate scaled by dXdpi and
// dYdpi and truncated toward zero, every text magnification scaled without
// truncation.
#include "app/state.h"
#include "calendar/calendar.h"
#include "print/print.h"
#include "support/ghl3000.h"

namespace {

const int TITLE_BLUE = 0xFF0000;
const int GROOVE_EDGE = 0x404040;
const int GROOVE_CENTRE = 0xC0C0C0;
const int YEAR_GRID = 0x404040;
const int DAY_OFF_BOX = 0x000000;
const int LINE = 0, OUTLINE = 1, FILLED = 2;

// "ＤＦ中丸ゴシック体" for the month layouts, "ＭＳ ゴシック" for the small ones
const char FACE_ROUND[] = "\x82\x63\x82\x65\x92\x86\x8A\xDB\x83\x53\x83\x56\x83\x62\x83\x4E\x91\xCC";
const char FACE_GOTHIC[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

/* Scaling */

int prn_x(int x) { return (int)(x * dXdpi); }
int prn_y(int y) { return (int)(y * dYdpi); }

void prn_line(HDC hdc, int x1, int y1, int x2, int y2, int colour, int mode)
{
    GrpLine(hdc, prn_x(x1), prn_y(y1), prn_x(x2), prn_y(y2), colour, mode);
}

void prn_text(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
              const char* face)
{
    GrpSymbol(hdc, text, prn_x(x), prn_y(y), wf * dXdpi, hf * dYdpi, colour, 500, 0, 0, 1, 0x30,
              face);
}

/* Pieces shared by the layouts */

// The month table has twelve entries; no layout prints another month.
int prn_month(int month)
{
    return month < 1 ? 1 : month > 12 ? 12 : month;
}

int weekday_colour(int column)
{
    return column == 0 ? CAL_SUNDAY : column == 6 ? CAL_SATURDAY : CAL_BLACK;
}

// An embossed rule three units thick, given by its middle line.
void prn_groove_v(HDC hdc, int x, int y1, int y2)
{
    prn_line(hdc, x - 1, y1, x + 1, y2, GROOVE_EDGE, OUTLINE);
    prn_line(hdc, x, y1, x, y2, GROOVE_CENTRE, LINE);
}

void prn_groove_h(HDC hdc, int x1, int x2, int y)
{
    prn_line(hdc, x1, y - 1, x2, y + 1, GROOVE_EDGE, OUTLINE);
    prn_line(hdc, x1, y, x2, y, GROOVE_CENTRE, LINE);
}

// Geometry of the large and medium month layouts, in canvas units; a rule
// is given by its middle line.
struct MonthGeometry {
    int fill_x1, fill_y1, fill_x2, fill_y2;
    int title_x, title_y;
    double title_wf;
    int label_x, label_y;                // column 0
    int day_x_short, day_x_long, day_y;  // column 0, row 0; short for positions 1 to 9
    int pitch_x, pitch_y;
    int rule_x, rule_y1, rule_y2;  // vertical rule 0
    int line_x1, line_x2;          // horizontal rules
    int top_y, row_y;              // top rule, row rule 0
};

const MonthGeometry LARGE = {0,  0,   1024, 768, 380, 10, 4.0, 70, 60, 5, 30, 110,
                             140, 98, 21, 57, 692, 20, 1002, 58, 103};
const MonthGeometry MEDIUM = {14, 10, 586, 520, 190, 30, 3.0, 68, 80, 60, 60, 130,
                              70, 60, 53, 77, 483, 52, 542, 78, 123};

void prn_month_page(HDC hdc, int year, int month, const MonthGeometry& g)
{
    month = prn_month(month);
    iFuri = 0;
    prn_line(hdc, g.fill_x1, g.fill_y1, g.fill_x2, g.fill_y2, iBcol, FILLED);
    prn_text(hdc, cal_month_title(year, month), g.title_x, g.title_y, g.title_wf, 2.6, TITLE_BLUE,
             FACE_ROUND);
    for (int i = 0; i < 7; i++)
        prn_text(hdc, Youbi[i], g.label_x + g.pitch_x * i, g.label_y, 3.0, 2.6, weekday_colour(i),
                 FACE_ROUND);
    cal_walk_month(year, month, [&](const CalDay& day) {
        int x = (day.position <= 9 ? g.day_x_short : g.day_x_long) + g.pitch_x * day.column;
        prn_text(hdc, cal_day_text(day.number), x, g.day_y + g.pitch_y * day.row, 4.2, 2.4,
                 day.colour, FACE_ROUND);
    });
    for (int i = 0; i <= 7; i++)
        prn_groove_v(hdc, g.rule_x + g.pitch_x * i, g.rule_y1, g.rule_y2);
    prn_groove_h(hdc, g.line_x1, g.line_x2, g.top_y);
    for (int j = 0; j <= 6; j++)
        prn_groove_h(hdc, g.line_x1, g.line_x2, g.row_y + g.pitch_y * j);
    iNstep = 0;
}

// One small month with its block origin at (bx, by); the year layout boxes
// the days off.
void prn_small_month(HDC hdc, int year, int month, int bx, int by, bool boxes)
{
    const double wf = 1.6, hf = 1.5;
    prn_text(hdc, cal_month_title(year, month), bx + 80, by + 60, wf, hf, TITLE_BLUE, FACE_GOTHIC);
    for (int i = 0; i < 7; i++)
        prn_text(hdc, Youbi[i], bx + 30 + 30 * i, by + 80, wf, hf, weekday_colour(i), FACE_GOTHIC);
    cal_walk_month(year, month, [&](const CalDay& day) {
        int x = bx + 30 + 30 * day.column, y = by + 100 + 24 * day.row;
        prn_text(hdc, cal_day_text(day.number), x, y, wf, hf, day.colour, FACE_GOTHIC);
        if (boxes && RKM_YHDAY_CHK(day.colour, month * 100 + day.position) == 1)
            prn_line(hdc, x - 1, y + 1, x + 23, y + 20, DAY_OFF_BOX, OUTLINE);
    });
}

}  // namespace

void RKM_CALEN1_PRN(HDC hdc, int year, int month)
{
    prn_month_page(hdc, year, month, LARGE);
}

void RKM_CALEN2_PRN(HDC hdc, int year, int month)
{
    prn_month_page(hdc, year, month, MEDIUM);
}

void RKM_CALEN3_PRN(HDC hdc, int year, int month)
{
    iFuri = 0;
    prn_line(hdc, 10, 10, 256, 200, iBcol, FILLED);
    prn_small_month(hdc, year, prn_month(month), 0, -50, false);  // title at (80, 10)
    iNstep = 0;
}

void RKM_CALEN4_PRN(HDC hdc, int year, int)
{
    iFuri = 0;
    prn_line(hdc, 0, 0, 1024, 768, iBcol, FILLED);
    for (int k = 0; k < 12; k++)
        prn_small_month(hdc, year, k + 1, 250 * (k % 4), 200 * (k / 4), true);
    for (int i = 0; i <= 4; i++)
        prn_line(hdc, 10 + 250 * i, 45, 10 + 250 * i, 645, YEAR_GRID, LINE);
    for (int j = 0; j <= 3; j++)
        prn_line(hdc, 10, 45 + 200 * j, 1010, 45 + 200 * j, YEAR_GRID, LINE);
    iNstep = 0;
}
