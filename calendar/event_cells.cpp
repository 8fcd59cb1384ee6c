// The user's events in the month cells, on screen and on paper alike: the
// large month lists each day's events below what the cell already shows,
// one line each, all-day ones first, then "HH:MM title", each calendar in
// a colour of its own; the medium month puts a small mark under the number
// of each day that has events. Nothing is drawn while no calendar is
// configured, so the design's screens stay exactly as they were.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "calendar/calendar.h"
#include "calendar/views.h"
#include "events/events.h"
#include "layout/layout.h"

/* Colours: dark enough to be read on every colour of the palette (a
   contrast of 4.5 at least), apart from the day colours (red, the
   holiday's pink, the Saturday's green) and from each other */
const int CAL_SOURCE_COLOURS[CAL_SOURCE_COLOUR_COUNT] = {
    0x933A1F,  // blue
    0x9A1B6A,  // purple
    0x10287A,  // brown
    0x6A4600,  // teal
    0x004A4A,  // olive
    0x50147B,  // plum
    0x4F4737,  // slate
    0x6B2B2B,  // indigo
};

int cal_source_colour(int source)
{
    return CAL_SOURCE_COLOURS[(source % CAL_SOURCE_COLOUR_COUNT + CAL_SOURCE_COLOUR_COUNT) %
                              CAL_SOURCE_COLOUR_COUNT];
}

/* One month's lines, kept while the events and the month stay the same:
   a paint after a paint redraws without asking the sources again */

struct CellLine {
    std::string text;  // Shift-JIS
    int colour;
};

struct MonthLines {
    int year = 0, month = 0;
    unsigned generation = 0;
    std::vector<std::vector<CellLine>> days;  // [position - 1]
};

static std::string clock_text(int minute)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60 % 24, minute % 60);
    return text;
}

// "10:00 title"; on the later days of a timed event, the title alone, and
// on its last day when it ends ("～11:00 title").
static std::string line_text(const EvItem& item)
{
    if (item.all_day)
        return lay_sjis(item.title);
    if (!item.continued)
        return clock_text(item.start_minute) + " " + lay_sjis(item.title);
    if (item.continues)
        return lay_sjis(item.title);
    return "\x81\x60" + clock_text(item.end_minute) + " " + lay_sjis(item.title);  // ～
}

static const MonthLines* month_lines(int year, int month)
{
    static MonthLines kept;
    const unsigned generation = ev_generation();
    if (kept.year == year && kept.month == month && kept.generation == generation && !kept.days.empty())
        return &kept;
    kept = MonthLines{year, month, generation, {}};
    const int days = RKM_DAY_MAX(year, month);
    const auto items = ev_days(year, month, 1, days);
    kept.days.resize(days);
    for (int d = 0; d < days; d++)
        for (const EvItem& item : items[d])
            kept.days[d].push_back({line_text(item), cal_source_colour(item.source)});
    return &kept;
}

/* Drawing */

static const double LINE_HF = 0.93;  // 14 units high
static const int LINE_PITCH = 14;
static const double LINE_WF = 1.0;   // 7 units a half-width character
static const double NARROWEST_WF = 0.8;

// One line in `room` units: a little too long, it is drawn narrower (in
// steps, so that the glyphs of a few widths serve every line); much too
// long, it is cut with "…" at its full width.
static void fitted_line(const CalSheet& s, std::string text, int x, int y, int room, int colour)
{
    double wf = LINE_WF;
    while (cal_text_width(text.c_str(), wf) > room && wf > NARROWEST_WF + 0.01)
        wf -= 0.1;
    if (cal_text_width(text.c_str(), wf) > room) {
        wf = LINE_WF;
        cal_shorten(&text, (size_t)(room / (7 * wf)));
    }
    cal_text(s, text.c_str(), x, y, wf, LINE_HF, colour, FACE_GOTHIC);
}

// The large month: the day's lines from `top` (below all else the cell
// holds) down to the cell's last row of pixels; when they do not all fit, the last line ends in "+N" for
// those left out, or with no room at all "+N" stands in the cell's top
// right corner, clear of the number.
static void list_in_cell(const CalSheet& s, const CalMonthGrid& g, const CalDay& day,
                         const std::vector<CellLine>& lines, int top)
{
    if (lines.empty())
        return;
    const int left = g.rule_x + g.pitch_x * day.column + 4, room = g.pitch_x - 8;
    const int bottom = g.row_y + g.pitch_y * (day.row + 1) - 2;
    const int fit = std::max(0, (bottom - top) / LINE_PITCH);
    const int shown = std::min<int>(fit, (int)lines.size());
    const std::string more = "+" + std::to_string(lines.size() - shown);
    const int more_width = cal_text_width(more.c_str(), LINE_WF);
    if (shown == 0) {
        cal_text(s, more.c_str(), left + room - more_width, g.row_y + g.pitch_y * day.row + 4, LINE_WF,
                 LINE_HF, CAL_BLACK, FACE_GOTHIC);
        return;
    }
    for (int i = 0; i < shown; i++) {
        const bool last_with_more = i == shown - 1 && shown < (int)lines.size();
        const int y = top + LINE_PITCH * i;
        fitted_line(s, lines[i].text, left, y, last_with_more ? room - more_width - 3 : room,
                    lines[i].colour);
        if (last_with_more)
            cal_text(s, more.c_str(), left + room - more_width, y, LINE_WF, LINE_HF, CAL_BLACK, FACE_GOTHIC);
    }
}

// The medium month: a small bar under the number's last digit, in the
// colour of the day's first event, below today's frame.
static void mark_in_cell(const CalSheet& s, const CalMonthGrid& g, const CalDay& day,
                         const std::vector<CellLine>& lines)
{
    if (lines.empty())
        return;
    const int x = g.day_x_long + g.pitch_x * day.column + 46;
    const int y = g.day_y + g.pitch_y * day.row + 43;
    cal_line(s, x, y, x + 11, y + 3, lines[0].colour, MODE_FILL);
}

void cal_draw_day_events(const CalSheet& s, int year, int month, const CalMonthGrid& g,
                         const CalDay& day, int today)
{
    // Days before the calendar's change of 1752 are not the Gregorian days
    // the events are dated in.
    if (!ev_active() || year < 1752 || (year == 1752 && month <= 9))
        return;
    const MonthLines* lines = month_lines(year, month);
    if (day.position < 1 || day.position > (int)lines->days.size())
        return;
    const std::vector<CellLine>& day_lines = lines->days[day.position - 1];
    if (g.holiday_line_y == 0 && !day_lines.empty()) {
        const int left = g.rule_x + g.pitch_x * day.column + 4;
        list_in_cell(s, g, day, day_lines, cal_cell_bottom(g, year, month, day.position, today, left) + 2);
    } else if (g.holiday_line_y != 0)
        mark_in_cell(s, g, day, day_lines);
}

/* The quiet line of sources that could not be read */

void cal_events_status(HDC hdc, int top, int lines, int background)
{
    if (!ev_active())
        return;
    const std::vector<EvFailure> failures = ev_failures();
    const double wf = 1.1, hf = 1.1;
    const size_t room = (size_t)(984 / (7 * wf));
    for (int i = 0; i < lines && i < (int)failures.size(); i++) {
        std::string text;
        if (i == lines - 1 && (int)failures.size() > lines)  // (ほか) N 件の予定表を読めません
            text = std::string(i > 0 ? "\x82\xD9\x82\xA9 " : "") + std::to_string(failures.size() - i) +
                   " \x8C\x8F\x82\xCC\x97\x5C\x92\xE8\x95\x5C\x82\xF0\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
        else  // 予定表を読めません　NAME: REASON
            text = "\x97\x5C\x92\xE8\x95\x5C\x82\xF0\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1\x81\x40" +
                   lay_sjis(failures[i].source) + ": " + lay_sjis(failures[i].reason_ja);
        cal_shorten(&text, room);
        lay_text(hdc, text.c_str(), 20, top + 20 * i, wf, hf, lay_quiet_ink(background), FACE_ROUND_MEDIUM);
    }
}
