// The calendar views on screen, and the drawing they share with the printed
// layouts: large and medium months with grooved grids, small months, the
// year with its day-off boxes.
#include "calendar/views.h"

#include <cstring>
#include <string>

#include "state/state.h"
#include "calendar/calendar.h"
#include "calendar/holidays.h"
#include "layout/layout.h"
#include "support/ghl3000.h"

/* Drawing on screen or on paper */

static int sheet_x(const CalSheet& s, int x)
{
    return s.ox + (int)(x * s.sx);
}

static int sheet_y(const CalSheet& s, int y)
{
    return s.oy + (int)(y * s.sy);
}

void cal_line(const CalSheet& s, int x1, int y1, int x2, int y2, int colour, int mode)
{
    GrpLine(s.hdc, sheet_x(s, x1), sheet_y(s, y1), sheet_x(s, x2), sheet_y(s, y2), colour, mode);
}

void cal_text(const CalSheet& s, const char* text, int x, int y, double wf, double hf,
              int colour, const char* face)
{
    lay_text(s.hdc, text, sheet_x(s, x), sheet_y(s, y), wf * s.sx, hf * s.sy, colour, face);
}

void cal_circle(const CalSheet& s, int cx, int cy, int r, int colour, bool filled)
{
    GrpCircle(s.hdc, sheet_x(s, cx), sheet_y(s, cy), (int)(r * s.sx + 0.5), (int)(r * s.sy + 0.5), colour,
              filled);
}

void cal_groove(const CalSheet& s, int x1, int y1, int x2, int y2)
{
    if (x1 == x2)
        cal_line(s, x1 - 1, y1, x1 + 1, y2, COLOR_DARK_GREY, MODE_OUTLINE);
    else
        cal_line(s, x1, y1 - 1, x2, y1 + 1, COLOR_DARK_GREY, MODE_OUTLINE);
    cal_line(s, x1, y1, x2, y2, COLOR_LIGHT_GREY, MODE_LINE);
}

// The weekday headings: Sunday red, Saturday green, the others black.
static void weekday_names(const CalSheet& s, int x, int pitch, int y, double wf, double hf,
                          const char* face)
{
    for (int i = 0; i < 7; i++) {
        int colour = i == 0 ? CAL_SUNDAY : i == 6 ? CAL_SATURDAY : CAL_BLACK;
        cal_text(s, Youbi[i], x + pitch * i, y, wf, hf, colour, face);
    }
}

/* Large and medium months */

extern const CalNotesLayout CAL_LARGE_NOTES, CAL_MEDIUM_NOTES;

const CalMonthGrid CAL_LARGE_MONTH = {
    .area_x1 = 0, .area_y1 = 0, .area_x2 = 1024, .area_y2 = 768,
    .title_x = 380, .title_y = 10, .title_wf = 4.0,
    .label_x = 70, .label_y = 60,
    .day_x_short = 5, .day_x_long = 30, .day_y = 110,
    .pitch_x = 140, .pitch_y = 98,
    .rule_x = 21, .rule_y1 = 57, .rule_y2 = 692,
    .line_x1 = 20, .line_x2 = 1002,
    .top_y = 58, .row_y = 103,
    .holiday_line_y = 0,
    .notes = &CAL_LARGE_NOTES,
};
const CalMonthGrid CAL_MEDIUM_MONTH = {
    .area_x1 = 14, .area_y1 = 10, .area_x2 = 586, .area_y2 = 520,
    .title_x = 190, .title_y = 30, .title_wf = 3.0,
    .label_x = 68, .label_y = 80,
    .day_x_short = 60, .day_x_long = 60, .day_y = 130,
    .pitch_x = 70, .pitch_y = 60,
    .rule_x = 53, .rule_y1 = 77, .rule_y2 = 483,
    .line_x1 = 52, .line_x2 = 542,
    .top_y = 78, .row_y = 123,
    .holiday_line_y = 490,
    .notes = &CAL_MEDIUM_NOTES,
};

void cal_draw_month_grid(const CalSheet& s, const CalMonthGrid& g)
{
    for (int i = 0; i <= 7; i++)
        cal_groove(s, g.rule_x + g.pitch_x * i, g.rule_y1, g.rule_x + g.pitch_x * i, g.rule_y2);
    cal_groove(s, g.line_x1, g.top_y, g.line_x2, g.top_y);
    for (int j = 0; j <= 6; j++)
        cal_groove(s, g.line_x1, g.row_y + g.pitch_y * j, g.line_x2, g.row_y + g.pitch_y * j);
}

/* Additions in small text: the era year and the holiday names. A Shift-JIS
   text of n bytes is n half-width cells wide, 7 units each at magnification
   1, so its width is known before it is drawn. */

static const double NAME_HF = 1.4;

int cal_text_width(const char* text, double wf)
{
    return (int)(std::strlen(text) * 7 * wf + 0.5);
}

// The era year after the title, its foot on the title's, in blue.
static void era_beside_title(const CalSheet& s, int year, int month, const CalMonthGrid& g)
{
    const double title_hf = 2.6, wf = g.title_wf * 0.45, hf = 1.6;
    const int x = g.title_x + cal_text_width(cal_month_title(year, month), g.title_wf) + 8;
    const int y = g.title_y + (int)(15 * (title_hf - hf));
    char era[CAL_ERA_SIZE];
    cal_text(s, cal_era_text(year, month, era, sizeof era), x, y, wf, hf, COLOR_BLUE,
             FACE_ROUND_MEDIUM);
}

// The name under the day number, centred in the cell; a long name is drawn
// narrower so that it stays clear of the rules.
static void name_in_cell(const CalSheet& s, const CalMonthGrid& g, const CalDay& day,
                         const char* name)
{
    const int room = g.pitch_x - 12;
    double wf = 1.4;
    if (cal_text_width(name, wf) > room)
        wf = room / (7.0 * std::strlen(name));
    const int left = g.rule_x + g.pitch_x * day.column;
    const int x = left + (g.pitch_x - cal_text_width(name, wf)) / 2;
    const int y = g.day_y + g.pitch_y * day.row + 50;
    cal_text(s, name, x, y, wf, NAME_HF, day.colour, FACE_ROUND_MEDIUM);
}

static bool sjis_lead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

void cal_shorten(std::string* line, size_t bytes)
{
    static const char ellipsis[] = "\x81\x63";  // …
    if (line->size() <= bytes)
        return;
    if (bytes < sizeof ellipsis - 1) {
        line->clear();
        return;
    }
    size_t keep = 0;
    for (size_t i = 0; i < bytes - 2;) {
        const size_t n = sjis_lead((unsigned char)(*line)[i]) ? 2 : 1;
        if (i + n > bytes - 2)
            break;
        i += n;
        keep = i;
    }
    line->resize(keep);
    *line += ellipsis;
}

// The month's holidays on one line under the grid, "3 文化の日　23 勤労感謝の日",
// shortened to the width of the grid. Holidays begin in 1948, after the
// only month whose numbers skip, so a day's number is its position.
static void holiday_line(const CalSheet& s, int year, int month, const CalMonthGrid& g)
{
    static const char space[] = "\x81\x40";  // full-width blank
    const double wf = 1.3;
    std::string line;
    for (int day = 1; day <= RKM_DAY_MAX(year, month); day++)
        if (const char* name = hol_day_name(year, month, day))
            line += (line.empty() ? "" : space) + std::to_string(day) + " " + name;
    cal_shorten(&line, (size_t)((g.line_x2 - g.line_x1) / (7 * wf)));
    cal_text(s, line.c_str(), g.line_x1, g.holiday_line_y, wf, NAME_HF, CAL_HOLIDAY, FACE_ROUND_MEDIUM);
}

void cal_draw_month(const CalSheet& s, int year, int month, const CalMonthGrid& g, int today)
{
    cal_text(s, cal_month_title(year, month), g.title_x, g.title_y, g.title_wf, 2.6, COLOR_BLUE,
             FACE_ROUND_MEDIUM);
    era_beside_title(s, year, month, g);
    weekday_names(s, g.label_x, g.pitch_x, g.label_y, 3.0, 2.6, FACE_ROUND_MEDIUM);
    AlmDay notes[31];
    if (iNotes)
        alm_days(year, month, 1, RKM_DAY_MAX(year, month), notes);
    cal_walk_month(year, month, [&](const CalDay& day) {
        // In the large month one-digit positions stand further left, so the
        // digits line up on the right.
        int x = (day.position <= 9 ? g.day_x_short : g.day_x_long) + g.pitch_x * day.column;
        int y = g.day_y + g.pitch_y * day.row;
        if (today != 0 && today == day.position) {
            cal_line(s, x - 1, y - 1, x + 57, y + 41, COLOR_BLUE, MODE_OUTLINE);
            cal_line(s, x, y, x + 56, y + 40, COLOR_BLUE, MODE_OUTLINE);
        }
        cal_text(s, cal_day_text(day.number), x, y, 4.2, 2.4, day.colour, FACE_ROUND_MEDIUM);
        const char* name = hol_day_name(year, month, day.position);
        if (name && g.holiday_line_y == 0)
            name_in_cell(s, g, day, name);
        if (iNotes && alm_is_date(year, month, day.position))
            cal_draw_cell_notes(s, g, day, notes[day.position - 1], iBcol, today == day.position);
        cal_draw_day_events(s, year, month, g, day, today);
    });
    if (g.holiday_line_y != 0)
        holiday_line(s, year, month, g);
    cal_draw_month_grid(s, g);
}

/* Small months and the year */

void cal_draw_small_month(const CalSheet& s, int year, int month, int bx, int title_y,
                          bool day_off_boxes)
{
    const double wf = 1.6, hf = 1.5;
    cal_text(s, cal_month_title(year, month), bx + 80, title_y, wf, hf, COLOR_BLUE, FACE_GOTHIC);
    weekday_names(s, bx + 30, 30, title_y + 20, wf, hf, FACE_GOTHIC);
    cal_walk_month(year, month, [&](const CalDay& day) {
        int x = bx + 30 + 30 * day.column;
        int y = title_y + 40 + 24 * day.row;
        cal_text(s, cal_day_text(day.number), x, y, wf, hf, day.colour, FACE_GOTHIC);
        if (day_off_boxes && RKM_YHDAY_CHK(day.colour, month * 100 + day.position) == 1)
            cal_line(s, x - 1, y + 1, x + 23, y + 20, COLOR_BLACK, MODE_OUTLINE);
    });
}

void cal_draw_year_grid(const CalSheet& s)
{
    for (int x = 10; x <= 1010; x += 250)
        cal_line(s, x, 45, x, 645, COLOR_DARK_GREY, MODE_LINE);
    for (int y = 45; y <= 645; y += 200)
        cal_line(s, 10, y, 1010, y, COLOR_DARK_GREY, MODE_LINE);
}

// iFuri is not cleared between months: a Sunday holiday on the last day of
// a month makes the next month's first day a substitute holiday.
void cal_draw_year(const CalSheet& s, int year)
{
    for (int m = 1; m <= 12; m++)
        cal_draw_small_month(s, year, m, 250 * ((m - 1) % 4), 200 * ((m - 1) / 4) + 60, true);
    cal_draw_year_grid(s);
}

/* The views on screen */

// A view draws the entry fields empty or covers them, so the entry starts
// over: the year field takes characters, with none typed.
static void view_entry_reset()
{
    iNstep = 0;
    iNkcnt = 0;
}

// Years before year 0 and months outside 1 to 12 have no calendar.
static bool is_month(int year, int month)
{
    return year >= 0 && month >= 1 && month <= 12;
}

// The large, small and year views cover the keypad and the layout buttons,
// so each names the keys in the free strip at its foot.
void RKM_CALEN1_PROC(HDC hdc, int year, int month)
{
    iFuri = 0;
    RKM_WAKU1_CRT(hdc);
    if (is_month(year, month))
        cal_draw_month({hdc}, year, month, CAL_LARGE_MONTH, 0);
    else
        cal_draw_month_grid({hdc}, CAL_LARGE_MONTH);
    lay_hint(hdc, iBcol);
    cal_events_status(hdc, 698, 2, iBcol);
    view_entry_reset();
}

void RKM_CALEN2_PROC(HDC hdc, int year, int month, int today)
{
    const CalMonthGrid& g = CAL_MEDIUM_MONTH;
    iFuri = 0;
    RKM_WAKU_CRT(hdc);
    if (today == 0)
        GrpLine(hdc, g.area_x1, g.area_y1, g.area_x2, g.area_y2, iBcol, MODE_FILL);
    if (is_month(year, month))
        cal_draw_month({hdc}, year, month, g, today);
    else
        cal_draw_month_grid({hdc}, g);
    cal_events_status(hdc, 723, 2, COLOR_DARK_GREY);
    if (today != 0 && iNotes)
        cal_draw_today_notes(hdc, year, month, today);
    view_entry_reset();
}

// The working screen's panel and function-key bar are drawn first, so that
// nothing of an earlier view shows around the small month's panel.
void RKM_CALEN3_PROC(HDC hdc, int year, int month)
{
    iFuri = 0;
    lay_working_frame(hdc);
    GrpLine(hdc, 4, 2, 1019, 656, COLOR_BEIGE, MODE_FILL);
    GrpLine(hdc, 4, 2, 1019, 656, iBcol, MODE_OUTLINE);
    GrpLine(hdc, 1019, 2, 1020, 656, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, 4, 655, 1020, 656, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, 10, 10, 256, 200, COLOR_WHITE, MODE_FILL);
    if (is_month(year, month))
        cal_draw_small_month({hdc}, year, month, 0, 10, false);
    lay_hint(hdc, COLOR_DARK_GREY);
    cal_events_status(hdc, 723, 1, COLOR_DARK_GREY);
    view_entry_reset();
}

void RKM_CALEN4_PROC(HDC hdc, int year, int /*month*/)
{
    iFuri = 0;  // once for the whole year
    RKM_WAKU1_CRT(hdc);
    GrpLine(hdc, 0, 0, 1024, 768, iBcol, MODE_FILL);
    if (is_month(year, 1))
        cal_draw_year({hdc}, year);
    else
        cal_draw_year_grid({hdc});
    lay_hint(hdc, iBcol);
    cal_events_status(hdc, 698, 2, iBcol);
    view_entry_reset();
}
