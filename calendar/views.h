// The calendar views: the four screen views, and the drawing they share
// with the printed layouts.
//
// A month outside 1 to 12, or a year before year 0, draws the frame and
// grid with no title and no days on screen: there is no such month to show.
#pragma once

#include <string>

#include "almanac/almanac.h"
#include "calendar/calendar.h"
#include "platform/windef.h"

/* The four views on screen. Each draws its own frame and the whole view,
   runs the month walk for the days, clears iFuri when it starts and sets
   iNstep and iNkcnt to 0 when it finishes (the fields it drew empty or
   covered take a new entry, starting with the year). */
void RKM_CALEN1_PROC(HDC hdc, int year, int month);             // large month view
void RKM_CALEN2_PROC(HDC hdc, int year, int month, int today);  // medium; today 0: no frame
void RKM_CALEN3_PROC(HDC hdc, int year, int month);             // small month view
void RKM_CALEN4_PROC(HDC hdc, int year, int month);             // year view; month unused

/* Drawing on screen or on paper. The design is 1024 x 768 units: on screen
   a unit is a pixel, on a printed page dXdpi by dYdpi dots, the design's
   (0, 0) at dot (ox, oy). Coordinates are scaled and truncated toward zero;
   text magnifications are scaled only. */
struct CalSheet {
    HDC hdc;
    double sx = 1.0;
    double sy = 1.0;
    int ox = 0;
    int oy = 0;
};
void cal_line(const CalSheet& s, int x1, int y1, int x2, int y2, int colour, int mode);
void cal_text(const CalSheet& s, const char* text, int x, int y, double wf, double hf,
              int colour, const char* face);
// A circle of radius r around (cx, cy), filled or a ring.
void cal_circle(const CalSheet& s, int cx, int cy, int r, int colour, bool filled);
// A grid line three units wide: a dark outline around a light middle line
// from (x1, y1) to (x2, y2). The line is vertical when x1 == x2.
void cal_groove(const CalSheet& s, int x1, int y1, int x2, int y2);
// The width of a Shift-JIS text: n bytes are n half-width cells of 7 units
// at magnification 1.
int cal_text_width(const char* text, double wf);

/* The large and medium month: title, weekday row, days and grooved grid */
struct CalMonthGrid {
    int area_x1, area_y1, area_x2, area_y2;  // the calendar area
    int title_x, title_y;
    double title_wf;
    int label_x, label_y;                // weekday name of column 0
    int day_x_short, day_x_long, day_y;  // day of column 0, row 0; short for positions 1 to 9
    int pitch_x, pitch_y;
    int rule_x, rule_y1, rule_y2;  // vertical rule 0, by its middle
    int line_x1, line_x2;          // horizontal rules
    int top_y, row_y;              // top rule and row rule 0, by their middles
    int holiday_line_y;            // the month's holidays on one line here; 0: names in the cells
    const struct CalNotesLayout* notes;  // where a cell takes the traditional notes
};
extern const CalMonthGrid CAL_LARGE_MONTH;
extern const CalMonthGrid CAL_MEDIUM_MONTH;
// `today`, a day position or 0, is framed in blue. Beside the title stands
// the era year; holiday names go under the day numbers or on the line
// below the grid.
void cal_draw_month(const CalSheet& s, int year, int month, const CalMonthGrid& g, int today);
void cal_draw_month_grid(const CalSheet& s, const CalMonthGrid& g);

/* The traditional notes in the cells, drawn while iNotes is 1: in the large
   month the 六曜 and the old date right of the day number, the solar term and
   the 雑節 on the line above the holiday name, the Moon's phase as a small
   disc; in the medium month the 六曜 under the number, at the cell's left. */
// The notes of one day in its cell; `background` is the cell's colour,
// `framed` whether the day is framed as today.
void cal_draw_cell_notes(const CalSheet& s, const CalMonthGrid& g, const CalDay& day,
                         const AlmDay& notes, int background, bool framed);
// The lowest design y that the day number, today's frame (`today`, a day
// position or 0, as cal_draw_month takes it), the holiday name and the
// notes use in the cell of day `position`, from design x `from_x` to the
// cell's right rule. The user's events go below it.
int cal_cell_bottom(const CalMonthGrid& g, int year, int month, int position, int today,
                    int from_x);
// The start screen's line of today's notes, under the medium month.
void cal_draw_today_notes(HDC hdc, int year, int month, int day);

/* The user's events in the month cells (event_cells.cpp): in the large
   month the day's events below all else the cell holds (cal_cell_bottom;
   `today` as cal_draw_month takes it), in the medium month a mark under the
   number; nothing while no calendar is configured. */
void cal_draw_day_events(const CalSheet& s, int year, int month, const CalMonthGrid& g,
                         const CalDay& day, int today);
// The sources that could not be read, one a line from `top` (lines 20
// units apart, `lines` at most, the last naming how many more), in a
// quiet ink for `background`; on screen only.
void cal_events_status(HDC hdc, int top, int lines, int background);
// A calendar's colour, by its place in the list of sources.
enum { CAL_SOURCE_COLOUR_COUNT = 8 };
extern const int CAL_SOURCE_COLOURS[CAL_SOURCE_COLOUR_COUNT];
int cal_source_colour(int source);

/* Small text shared by the views: a Shift-JIS text of n bytes is n
   half-width cells wide, 7 units each at magnification 1 */
int cal_text_width(const char* text, double wf);
// Cuts `line` to at most `bytes` bytes, a whole character at a time, and
// ends it with "…" when something was cut; with no room for the "…", to
// nothing.
void cal_shorten(std::string* line, size_t bytes);

/* The small months of the small view and the year view */
// One month block: title at (bx + 80, title_y), weekday row 20 units below
// it, week rows from 40 below. The year view boxes the days off.
void cal_draw_small_month(const CalSheet& s, int year, int month, int bx, int title_y,
                          bool day_off_boxes);
// The twelve months of a year in four columns and three bands, and the
// lines between them.
void cal_draw_year(const CalSheet& s, int year);
void cal_draw_year_grid(const CalSheet& s);
