// The user's events on screen and on paper: each view drawn with and
// without two calendars, and every pixel that differs must lie where events
// belong (below the number and the holiday name of a day that has events,
// inside its cell), in the calendar's colour; the failures' quiet line only
// in its strip. Nothing changes while no calendar is configured.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "calendar/calendar.h"
#include "calendar/views.h"
#include "events/events.h"
#include "layout/layout.h"
#include "state/state.h"
#include "tests/helpers/canvas.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/program_run.h"
#include "tests/helpers/tempdir.h"

static std::string calendar(const std::string& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n";
}

static std::string event(const std::string& uid, const std::string& start, const std::string& title,
                         const std::string& more = "")
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTART" + start + "\r\n" + more + "SUMMARY:" + title +
           "\r\nEND:VEVENT\r\n";
}

// November 2026 (the 1st a Sunday; the 3rd and the 23rd holidays): ten
// timed events and a day on the 25th, one on the holiday of the 3rd, a
// long title on the 10th; the second calendar's all-day days on the 10th
// and from the 16th to the 18th.
static std::string first_calendar()
{
    std::string events = event("day", ";VALUE=DATE:20261125", "結婚記念日") +
                         event("h", ":20261103T100000", "文化の日の特別展示会の打ち合わせ") +
                         event("long", ":20261110T093000", "Quarterly review with the New York office and partners");
    for (int i = 0; i < 10; i++)
        events += event("b" + std::to_string(i), ":20261125T0" + std::to_string(i) + "0000", "会議 " + std::to_string(i));
    return calendar(events);
}

static std::string second_calendar()
{
    return calendar(event("x", ";VALUE=DATE:20261110", "Day off") +
                    event("trip", ";VALUE=DATE:20261116", "大阪出張", "DTEND;VALUE=DATE:20261119\r\n"));
}

static uint32_t differ_count(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b,
                             const std::function<bool(int, int)>& allowed, int* outside)
{
    uint32_t n = 0;
    *outside = 0;
    for (int y = 0; y < 768; y++)
        for (int x = 0; x < 1024; x++)
            if (a[y * 1024 + x] != b[y * 1024 + x]) {
                n++;
                *outside += !allowed(x, y);
            }
    return n;
}

class EventViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        iBcol = 0xD0FFD0;  // a pale green of the palette
        dir.write("a.ics", first_calendar());
        dir.write("b.ics", second_calendar());
    }
    void TearDown() override { ev_stop(); }
    // The view drawn first with no calendar, then with `sources`.
    void draw_both(const std::function<void(HDC)>& view, const std::vector<std::string>& sources)
    {
        ev_stop();
        view(without.dc);
        ev_start(ev_read_list("", sources), nullptr, nullptr);
        ev_wait_first_round();
        view(with.dc);
    }
    TempDir dir;
    Canvas without{1024, 768, 0}, with{1024, 768, 0};
};

// Whether a pixel is `colour` laid over `background` (text is drawn with
// smoothed edges): most of the way from the one to the other, alike in
// every channel.
static bool inked(COLORREF pixel, int colour, int background)
{
    double share = -1;
    for (int i = 0; i < 24; i += 8) {
        const int p = pixel >> i & 0xFF, c = colour >> i & 0xFF, b = background >> i & 0xFF;
        if (std::abs(c - b) < 40)
            continue;
        const double s = (double)(p - b) / (c - b);
        if (s < 0.6 || (share >= 0 && std::fabs(s - share) > 0.15))
            return false;
        share = s;
    }
    return share >= 0;
}

// Day positions with events in the large month, and the top of their room.
static bool large_event_room(int x, int y, int* position)
{
    const int column = (x - 21) / 140, row = (y - 103) / 98;
    const int p = row * 7 + column + 1;  // November 2026 starts on a Sunday
    const bool has_events = p == 3 || p == 10 || p == 16 || p == 17 || p == 18 || p == 25;
    const int top = 110 + 98 * row + (p == 3 ? 72 : 38);
    *position = p;
    return has_events && x > 23 + 140 * column && x < 159 + 140 * column && y >= top &&
           y < 103 + 98 * (row + 1) - 1;
}

TEST_F(EventViews, large_month_lists_events_below_the_number_and_name_in_their_colours)
{
    draw_both([](HDC dc) { RKM_CALEN1_PROC(dc, 2026, 11); }, {dir.file("a.ics"), dir.file("b.ics")});
    int outside = 0, position = 0;
    EXPECT_GT(differ_count(without.pixels(), with.pixels(),
                           [&](int x, int y) { return large_event_room(x, y, &position); }, &outside),
              1000u);
    EXPECT_EQ(outside, 0);  // no rule, number, name or other cell touched
    // Each day shows its calendars' colours; the 25th, with eleven events,
    // ends its last line in "+N" (black).
    const struct {
        int position;
        int colour;
    } expected[] = {{3, CAL_SOURCE_COLOURS[0]},  {10, CAL_SOURCE_COLOURS[0]}, {10, CAL_SOURCE_COLOURS[1]},
                    {16, CAL_SOURCE_COLOURS[1]}, {18, CAL_SOURCE_COLOURS[1]}, {25, CAL_SOURCE_COLOURS[0]},
                    {25, 0x000000}};
    for (const auto& e : expected) {
        const int c = (e.position - 1) % 7, r = (e.position - 1) / 7;
        int ink = 0;
        for (int y = 148 + 98 * r; y < 200 + 98 * r; y++)
            for (int x = 23 + 140 * c; x < 159 + 140 * c; x++)
                ink += inked(with.at(x, y), e.colour, iBcol);
        EXPECT_GT(ink, 10) << e.position;

    }
}

TEST_F(EventViews, medium_month_marks_the_days_with_events_and_the_status_line_keeps_to_its_strip)
{
    draw_both([](HDC dc) { RKM_CALEN2_PROC(dc, 2026, 11, 0); },
              {dir.file("a.ics"), dir.file("b.ics"), dir.file("gone.ics")});
    int outside = 0;
    differ_count(without.pixels(), with.pixels(), [](int x, int y) {
        const int column = (x - 53) / 70, row = (y - 123) / 60, p = row * 7 + column + 1;
        const bool mark = (p == 3 || p == 10 || (p >= 16 && p <= 18) || p == 25) &&
                          x >= 106 + 70 * column && x <= 117 + 70 * column && y >= 173 + 60 * row &&
                          y <= 176 + 60 * row;
        return mark || (y >= 720 && y <= 766);
    }, &outside);
    EXPECT_EQ(outside, 0);
    for (int p : {3, 10, 16, 17, 18, 25}) {
        const int c = (p - 1) % 7, r = (p - 1) / 7;
        EXPECT_NE(with.at(111 + 70 * c, 174 + 60 * r), without.at(111 + 70 * c, 174 + 60 * r)) << p;
    }
    EXPECT_GT(with.count(lay_quiet_ink(COLOR_DARK_GREY), 16, 720, 1010, 766), 50);
}

// No calendar, or a list with nothing but comments: the screens are the
// design's, pixel for pixel.
TEST_F(EventViews, a_list_with_no_sources_changes_nothing)
{
    dir.write("calendars", "# nothing yet\n\n");
    ev_start(ev_read_list(dir.file("calendars"), {}), nullptr, nullptr);
    EXPECT_FALSE(ev_active());
    RKM_CALEN1_PROC(with.dc, 2026, 11);
    ev_stop();
    RKM_CALEN1_PROC(without.dc, 2026, 11);
    EXPECT_EQ(with.pixels(), without.pixels());
}

// Every calendar colour reads on every colour of the palette (a WCAG
// contrast of 4.5 or more) and differs from the day colours and the others.
TEST(event_colours, readable_on_every_palette_colour_and_apart)
{
    auto luminance = [](int bgr) {
        double sum = 0;
        const double weight[3] = {0.2126, 0.7152, 0.0722};
        for (int i = 0; i < 3; i++) {
            const double c = (bgr >> (8 * i) & 0xFF) / 255.0;
            sum += weight[i] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    auto apart = [](int a, int b) {
        int d = 0;
        for (int i = 0; i < 24; i += 8)
            d += std::abs((a >> i & 0xFF) - (b >> i & 0xFF));
        return d >= 60;
    };
    for (int c : CAL_SOURCE_COLOURS) {
        for (const auto& row : lay_palette)
            for (int background : row)
                EXPECT_GE((luminance(background) + 0.05) / (luminance(c) + 0.05), 4.5) << std::hex << c;
        for (int day : {CAL_BLACK, CAL_SUNDAY, CAL_SATURDAY, CAL_HOLIDAY})
            EXPECT_TRUE(apart(c, day)) << std::hex << c << " " << day;
        for (int other : CAL_SOURCE_COLOURS)
            EXPECT_TRUE(c == other || apart(c, other)) << std::hex << c << " " << other;
    }
}

// The printed large month carries the events in their colours.
TEST(event_print, the_printed_page_shows_the_events)
{
    TempDir dir;
    dir.write("a.ics", first_calendar());
    const std::string pdf = dir.file("page.pdf");
    ProgramRun run = run_program("key F1; type 2026; key Enter; type 11; key Enter; key F9",
                                 {"--ics", dir.file("a.ics"), "--print-to", pdf});
    ASSERT_EQ(run.status, 0);
    const Picture page = pdf_page(pdf, 100);
    ASSERT_FALSE(page.empty());
    EXPECT_TRUE(page.has_near(0, 0, page.width - 1, page.height - 1, CAL_SOURCE_COLOURS[0], 8));
}
