// The traditional notes in the cells of the large and medium months, on
// screen and on paper alike. Each note has its place in the cell, clear of
// the day number, the holiday name and the rules; the lower part of a large
// cell, under the holiday name, stays free for the user's events.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "calendar/holidays.h"
#include "calendar/views.h"
#include "layout/layout.h"
#include "state/state.h"

// A line of the notes: its top left from the cell's corner (the middle of
// its left rule, the top of its day number), its magnifications, and the
// widest it may be; a narrower magnification keeps a longer text inside.
struct NotesLine {
    int dx, dy;
    double wf, hf;
    int width;  // 0: the line is not drawn
};

struct CalNotesLayout {
    NotesLine rokuyo, old_date, events;  // events: the solar term and the 雑節
    NotesLine framed_rokuyo;             // the 六曜 of a day framed as today
    int disc_dx, disc_dy, disc_r;        // the Moon's phase; radius 0: none
};

// Large: the 六曜 and the old date right of the number; the events line
// under it, above the holiday name (day_y + 50).
extern const CalNotesLayout CAL_LARGE_NOTES = {
    .rokuyo = {72, -4, 1.3, 1.3, 48},
    .old_date = {72, 16, 1.1, 1.1, 64},
    .events = {4, 33, 1.1, 1.1, 132},
    .framed_rokuyo = {72, -4, 1.3, 1.3, 48},
    .disc_dx = 129, .disc_dy = 5, .disc_r = 6,
};
// Medium: the 六曜 under the number (its digits end at day_y + 32), at the
// cell's left; the rest of the band is left for an event mark. Today's
// frame crosses that band at day_y + 41: a framed day's 六曜 goes under it,
// smaller, and the start screen repeats today's notes in full below the
// calendar.
extern const CalNotesLayout CAL_MEDIUM_NOTES = {
    .rokuyo = {3, 35, 0.9, 1.0, 26},
    .old_date = {},
    .events = {},
    .framed_rokuyo = {3, 42, 0.65, 0.6, 26},
    .disc_dx = 0, .disc_dy = 0, .disc_r = 0,
};

// Navy for the 六曜 and for the old date on its month's first day, dark grey
// for the rest.
enum { NOTES_COLOUR = 0x404040, ROKUYO_COLOUR = 0x800000 };

// The notes' texts in the program's Shift-JIS, each converted once: a
// month's paint asks for a hundred of them.
static const char* sjis(const std::string& utf8)
{
    static std::map<std::string, std::string> kept;
    auto [at, added] = kept.try_emplace(utf8);
    if (added)
        at->second = lay_sjis(utf8);
    return at->second.c_str();
}

// The solar term and the 雑節, joined by "・".
static std::string events_text(const AlmDay& a)
{
    const std::string term = alm_solar_term_name(a.solar_term), zassetsu = alm_zassetsu_names(a.zassetsu);
    return term + (term.empty() || zassetsu.empty() ? "" : "・") + zassetsu;
}

// One line's text where the layout puts it, narrowed to its width.
struct Placed {
    const char* text;
    int x, y;
    double wf, hf;
};

static Placed place(const NotesLine& line, int cell_x, int cell_y, const std::string& utf8)
{
    const char* text = sjis(utf8);
    double wf = line.wf;
    if (cal_text_width(text, wf) > line.width)
        wf = line.width / (7.0 * (double)std::strlen(text));
    return {text, cell_x + line.dx, cell_y + line.dy, wf, line.hf};
}

static int cell_x(const CalMonthGrid& g, int column)
{
    return g.rule_x + g.pitch_x * column;
}

static int cell_y(const CalMonthGrid& g, int row)
{
    return g.day_y + g.pitch_y * row;
}

// The lines a day's notes take, in the order they are drawn; returns how many.
static int notes_lines(const CalMonthGrid& g, int column, int row, const AlmDay& a, bool framed,
                       Placed out[3])
{
    const CalNotesLayout& l = *g.notes;
    const int x = cell_x(g, column), y = cell_y(g, row);
    int n = 0;
    if (!a.known)
        return 0;
    out[n++] = place(framed ? l.framed_rokuyo : l.rokuyo, x, y, alm_rokuyo_name(a.rokuyo));
    if (l.old_date.width)  // "11/30", and the month named on its first day: "閏11月1日"
        out[n++] = place(l.old_date, x, y, alm_old_date_text(a, a.old_day == 1));
    if (l.events.width && !events_text(a).empty())
        out[n++] = place(l.events, x, y, events_text(a));
    return n;
}

// The Moon's phase: new moon a dark disc, full moon a ring, a quarter a
// ring dark on its unlit half (the left at the first quarter). The lit half
// is painted over in the cell's own colour, then the ring drawn again.
static void moon_disc(const CalSheet& s, int cx, int cy, int r, int phase, int background)
{
    if (phase == ALM_NONE)
        return;
    cal_circle(s, cx, cy, r, NOTES_COLOUR, phase != ALM_FULL_MOON);
    if (phase == ALM_FIRST_QUARTER)
        cal_line(s, cx + 1, cy - r - 1, cx + r + 1, cy + r + 1, background, MODE_FILL);
    if (phase == ALM_LAST_QUARTER)
        cal_line(s, cx - r - 1, cy - r - 1, cx, cy + r + 1, background, MODE_FILL);
    cal_circle(s, cx, cy, r, NOTES_COLOUR, false);
}

void cal_draw_cell_notes(const CalSheet& s, const CalMonthGrid& g, const CalDay& day,
                         const AlmDay& notes, int background, bool framed)
{
    Placed lines[3];
    const int n = notes_lines(g, day.column, day.row, notes, framed, lines);
    for (int i = 0; i < n; i++) {
        const bool new_month = i == 1 && notes.old_day == 1;
        const int colour = i == 0 || new_month ? ROKUYO_COLOUR : NOTES_COLOUR;
        cal_text(s, lines[i].text, lines[i].x, lines[i].y, lines[i].wf, lines[i].hf, colour,
                 FACE_ROUND_MEDIUM);
    }
    const CalNotesLayout& l = *g.notes;
    if (l.disc_r && notes.known)
        moon_disc(s, cell_x(g, day.column) + l.disc_dx, cell_y(g, day.row) + l.disc_dy, l.disc_r,
                  notes.moon, background);
}

/* What a cell holds */

struct Box {
    int x1, y1, x2, y2;  // inclusive
};

static int lowest_from(const Box& b, int from_x, int lowest)
{
    return b.x2 >= from_x ? std::max(lowest, b.y2) : lowest;
}

int cal_cell_bottom(const CalMonthGrid& g, int year, int month, int position, int today,
                    int from_x)
{
    const int slot = RKM_FIRST_DAY(year, month) + position - 1, column = slot % 7, row = slot / 7;
    const int left = cell_x(g, column), y = cell_y(g, row);
    const int x = (position <= 9 ? g.day_x_short : g.day_x_long) + g.pitch_x * column;
    int lowest = g.row_y + g.pitch_y * row + 1;  // the foot of the rule above
    lowest = lowest_from({x, y, x + cal_text_width(" 0", 4.2), y + 36}, from_x, lowest);
    if (today == position)
        lowest = lowest_from({x - 1, y - 1, x + 57, y + 41}, from_x, lowest);
    if (g.holiday_line_y == 0 && hol_day_name(year, month, position))
        lowest = lowest_from({left, y + 50, left + g.pitch_x, y + 50 + 21}, from_x, lowest);
    if (!iNotes || !alm_is_date(year, month, position))
        return lowest;
    const AlmDay a = alm_day(year, month, position);
    Placed lines[3];
    const int n = notes_lines(g, column, row, a, today == position, lines);
    for (int i = 0; i < n; i++) {
        const Placed& p = lines[i];
        lowest = lowest_from({p.x, p.y, p.x + cal_text_width(p.text, p.wf), p.y + (int)(15 * p.hf + 0.5)},
                             from_x, lowest);
    }
    const CalNotesLayout& l = *g.notes;
    if (l.disc_r && a.moon != ALM_NONE)
        lowest = lowest_from({left + l.disc_dx - l.disc_r, y + l.disc_dy - l.disc_r,
                              left + l.disc_dx + l.disc_r, y + l.disc_dy + l.disc_r},
                             from_x, lowest);
    return lowest;
}

// The start screen's line under the calendar: today's notes in full, as
// "今日　旧暦11月23日　先勝　上弦", since a framed day's cell has room only
// for a small 六曜.
void cal_draw_today_notes(HDC hdc, int year, int month, int day)
{
    if (!alm_is_date(year, month, day))
        return;
    const AlmDay a = alm_day(year, month, day);
    if (!a.known)
        return;
    std::string line = "今日　旧暦" + alm_old_date_text(a, true) + "　" + alm_rokuyo_name(a.rokuyo);
    for (const std::string& more : {events_text(a), std::string(alm_moon_name(a.moon))})
        if (!more.empty())
            line += "　" + more;
    lay_text(hdc, lay_sjis(line).c_str(), 20, 528, 1.6, 1.8, ROKUYO_COLOUR, FACE_ROUND_MEDIUM);
}
