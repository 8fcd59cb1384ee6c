// The screen frames and the calendar views, drawn into a 1024 x 768 memory
// DC and read back at the design's coordinates.
#include <gtest/gtest.h>

#include <map>

#include "state/state.h"
#include "calendar/calendar.h"
#include "calendar/views.h"
#include "layout/layout.h"
#include "tests/helpers/picture.h"
#include "tests/helpers/tempdir.h"

enum : uint32_t {
    DARK_GREY = 0x404040, BEIGE = 0xBBCCD5, LIGHT_GREY = 0xC0C0C0, BLUE = 0xFF0000, WHITE = 0xFFFFFF, BLACK = 0,
};

// Each test starts from the start-up state, with no holiday files.
class Views : public ::testing::Test {
protected:
    void SetUp() override
    {
        iBcol = WHITE;
        iDspfg = 9;
        TempDir dir(true);
        RKM_YHDAY_RED();
    }
    Picture drawn() const { return {1024, 768, canvas.pixels()}; }
    Canvas canvas{1024, 768, 0};
};

// Each view draws every day in its cell and the walk's colour, nothing in the other cells; the year
// view boxes the days that are not black; months and years that do not exist draw no days.
TEST_F(Views, every_layout_draws_each_day_in_its_cell_and_colour)
{
    static const struct { void (*draw)(HDC, int, int); int x0, pitch_x, y0, pitch_y, w, h; } layouts[] = {
        {RKM_CALEN1_PROC, 30, 140, 110, 98, 60, 36},
        {[](HDC dc, int y, int m) { RKM_CALEN2_PROC(dc, y, m, 0); }, 56, 70, 126, 60, 64, 54},
        {RKM_CALEN3_PROC, 30, 30, 53, 24, 20, 17},
        {RKM_CALEN4_PROC, 30, 30, 103, 24, 20, 16}};  // the month's block of the year
    for (auto [year, month] : {std::pair{2003, 11}, {1752, 9}, {2003, 5}, {2003, 0}, {2003, 13},
                               {2003, -1}, {2003, 99}, {-5, 1}})
        for (int view = 0; view < 4; view++) {
            if (view == 3 && (month < 1 || month > 12) && year >= 0)
                continue;  // the year view draws the whole year whatever the month
            std::map<int, int> colours;  // cell: colour of its day; none before year 0
            iFuri = 0;
            cal_walk_month(year < 0 ? 0 : year, year < 0 ? 0 : month,
                           [&](const CalDay& d) { colours[d.row * 7 + d.column] = d.colour; });
            const auto& l = layouts[view];
            l.draw(canvas.dc, year, month);
            const Picture p = drawn();
            int bx = view == 3 ? 250 * ((month - 1) % 4) : 0, by = view == 3 ? 200 * ((month - 1) / 4) : 0;
            for (int i = 0; i < 42; i++) {
                int x = bx + l.x0 + l.pitch_x * (i % 7), y = by + l.y0 + l.pitch_y * (i / 7);
                bool day = colours.count(i), box = p.at(x - 1, y + 11) == BLACK && p.at(x + 23, y + 11) == BLACK;
                EXPECT_EQ(std::vector<bool>({p.count_not(x, y, x + l.w, y + l.h, WHITE) > 10,
                                             !day || p.has_near(x, y, x + l.w, y + l.h, colours[i], 24),
                                             view == 3 && box}),
                          std::vector<bool>({day, true, view == 3 && day && colours[i] != CAL_BLACK}))
                    << year << "-" << month << " view " << view << " cell " << i << ": ink, colour, box";
            }
        }
}

// Today's frame, the grooves, one-digit days of the large view, the
// function-key captions, and the small view leaving the key bar below 656 (the key line below 745 aside).
TEST_F(Views, frames_grooves_one_digit_days_and_the_key_bar)
{
    RKM_CALEN2_PROC(canvas.dc, 2003, 11, 15);  // Saturday, column 6, row 2
    Picture p = drawn();
    for (int x : {479, 480, 536, 537})
        EXPECT_EQ(p.at(x, 289), BLUE) << x;
    EXPECT_NE(p.at(409, 289), BLUE);  // not the 14th
    EXPECT_EQ(p.at(20, 15), BEIGE);
    iBcol = 0xD0FFD0;  // no day framed: the area in iBcol
    RKM_CALEN2_PROC(canvas.dc, 2003, 11, 0);
    p = drawn();
    EXPECT_EQ(p.at(20, 15), 0xD0FFD0u);
    EXPECT_EQ(p.count(475, 245, 540, 295, BLUE), 0);
    EXPECT_EQ(p.at(52, 300), DARK_GREY);  // grooves: dark edges around a light middle line
    EXPECT_EQ(p.at(53, 300), LIGHT_GREY);
    EXPECT_EQ(p.at(300, 483), LIGHT_GREY);
    EXPECT_EQ(p.at(300, 485), 0xD0FFD0u);
    // Large view: day 9 (column 0, row 2) stands at x 5, its digit in 34 to
    // 63; day 10 (column 1) at x 170, leaving 145 to 158 empty.
    iBcol = WHITE;
    RKM_CALEN1_PROC(canvas.dc, 2003, 11);
    p = drawn();
    EXPECT_EQ(p.count_not(66, 306, 95, 342, WHITE), 0);
    EXPECT_EQ(p.count_not(145, 306, 158, 342, WHITE), 0);
    RKM_WAKU_CRT(canvas.dc);
    p = drawn();
    // Captions: 大 中 小 年 on F1 to F4, 暦注 on F5, ヘルプ on F8, 印刷 and 印刷設定 on F9 and F10, Menu, 終了; ink stays on the key.
    const std::string captioned = "1111" "1001" "1111";
    for (int key = 0; key < 12; key++) {
        int x = 80 * key + (key < 4 ? 4 : key < 8 ? 33 : 62);
        bool caption = p.count_not(x + 7, 698, x + 70, 712, LIGHT_GREY) > 10;
        EXPECT_EQ(caption, captioned[key] == '1') << "F" << key + 1;
        EXPECT_EQ(p.count_not(x + 72, 692, x + 76, 714, LIGHT_GREY), 0) << "F" << key + 1;
    }
    EXPECT_EQ(p.at(340, 700), DARK_GREY);  // a gap between groups
    RKM_CALEN2_PROC(canvas.dc, 2003, 5, 0);
    Picture before = drawn();
    RKM_CALEN3_PROC(canvas.dc, 2003, 5);
    Picture after = drawn();
    int changed = 0;
    for (int y = 0; y < 768; y++)
        for (int x = 0; x < 1024; x++)
            changed += (y > 656 || x > 1020) && y < 745 && before.at(x, y) != after.at(x, y);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(after.at(500, 500), BEIGE);
}

// The views that cover the working screen name the keys in grey at their foot, below anything
// else they draw (y 693 on); the medium view's strip stays the design's.
TEST_F(Views, covering_views_have_a_grey_key_line_at_their_foot_and_the_medium_one_none)
{
    for (int view : {0, 2, 3, 1}) {
        void (*const draw[])(HDC, int, int) = {RKM_CALEN1_PROC, nullptr, RKM_CALEN3_PROC, RKM_CALEN4_PROC};
        view == 1 ? RKM_CALEN2_PROC(canvas.dc, 2003, 11, 0) : draw[view](canvas.dc, 2003, 11);
        const Picture p = drawn();
        const bool panel = view == 1 || view == 2;  // the working screen's key bar above y 720
        const uint32_t ground = panel ? DARK_GREY : WHITE;
        int ink = 0, coloured = 0;
        for (int y = 693; y < 764; y++)
            for (int x = 10; x < 1010; x++) {
                const uint32_t c = p.at(x, y);
                if (c == ground || (panel && y < 720))
                    continue;
                ink += y >= 745;
                coloured += y < 745 || (c & 0xFF) != (c >> 8 & 0xFF) || (c & 0xFF) != (c >> 16);
            }
        EXPECT_EQ(std::vector<int>({ink > 300, coloured}), std::vector<int>({view != 1, 0})) << "view " << view;
    }
}

// The notes draw only in their places: in the large month right of the number and on the line above
// the holiday name, in the medium month under the number (under today's frame for today, whose notes
// the start screen writes in full below the calendar); never on a number, a name, a rule or outside
// the cells. Nothing a cell holds lies below cal_cell_bottom, where the user's events go.
TEST_F(Views, notes_stay_in_their_places_and_above_the_room_for_events)
{
    for (auto [year, month] : {std::pair{2024, 5}, {2033, 9}, {2033, 12}})
        for (int view : {0, 1, 2}) {  // large, medium, medium with the 22nd framed
            const CalMonthGrid& g = view == 0 ? CAL_LARGE_MONTH : CAL_MEDIUM_MONTH;
            const int today = view == 2 ? 22 : 0;
            Picture off, on;
            for (int notes : {0, 1}) {
                iNotes = notes;
                iFuri = 0;
                view == 0 ? RKM_CALEN1_PROC(canvas.dc, year, month) : RKM_CALEN2_PROC(canvas.dc, year, month, today);
                (notes ? on : off) = drawn();
            }
            const int first = RKM_FIRST_DAY(year, month), days = RKM_DAY_MAX(year, month);
            std::map<int, int> notes;  // day: pixels changed in its places
            int stray = 0;
            for (int y = 0; y < 768; y++)
                for (int x = 0; x < 1024; x++) {
                    if (on.at(x, y) == off.at(x, y))
                        continue;
                    const int c = (x - g.rule_x) / g.pitch_x, r = (y - g.row_y) / g.pitch_y, d = r * 7 + c - first + 1;
                    const int dx = x - g.rule_x - g.pitch_x * c, dy = y - g.day_y - g.pitch_y * r;
                    const bool placed = view == 0 ? (dx >= 70 && dx <= 138 && dy >= -5 && dy <= 32) ||
                                                        (dx >= 3 && dx <= 138 && dy >= 33 && dy <= 49)
                                                  : dx >= 2 && dx <= 68 && dy >= (d == today ? 42 : 33) && dy <= 51;
                    const bool today_line = today && y >= 528 && y < 556 && x >= 20 && x < 586;
                    if (x >= g.rule_x && c < 7 && y >= g.row_y && r < 6 && d >= 1 && d <= days && placed)
                        notes[d]++;
                    else
                        stray += !today_line;
                }
            EXPECT_EQ(stray, 0) << year << "-" << month << " view " << view;
            if (view == 0) {  // on a sheet whose origin is moved, as paper's is, all of it moves alike
                iNotes = 1;
                cal_line({canvas.dc}, 0, 0, 1024, 768, WHITE, MODE_FILL);
                iFuri = 0;
                cal_draw_month({canvas.dc, 1.0, 1.0, 3, 2}, year, month, g, 0);
                const Picture moved = drawn();
                int unlike = 0;
                for (int y = 60; y < 690; y++)
                    for (int x = 25; x < 1000; x++)
                        unlike += moved.at(x + 3, y + 2) != on.at(x, y);
                EXPECT_EQ(unlike, 0) << year << "-" << month;
            }
            for (int d = 1; d <= days; d++) {
                EXPECT_GT(notes[d], 15) << year << "-" << month << "-" << d << " view " << view;
                const int c = (first + d - 1) % 7, r = (first + d - 1) / 7, x0 = g.rule_x + g.pitch_x * c;
                for (int from : {x0 + 3, x0 + g.pitch_x / 2}) {
                    const int bottom = cal_cell_bottom(g, year, month, d, today, from);
                    EXPECT_EQ(on.count_not(from, bottom + 1, x0 + g.pitch_x - 3, g.row_y + g.pitch_y * (r + 1) - 2,
                                           view == 2 ? BEIGE : WHITE), 0)
                        << year << "-" << month << "-" << d << " view " << view << " from " << from - x0;
                }
            }
        }
    iNotes = 0;
}

TEST_F(Views, year_view_boxes_the_days_of_the_holiday_files)
{
    TempDir dir(true);
    dir.write("HDAY1.DAT", "0102\r\n");
    dir.write("HDAY2.DAT", "0101\r\n");
    RKM_YHDAY_RED();
    RKM_CALEN4_PROC(canvas.dc, 2003, 1);
    Picture p = drawn();
    EXPECT_EQ(p.at(1, 1), WHITE);  // no border
    EXPECT_EQ(p.at(149, 114), BLACK);  // 2 January made a day off
    EXPECT_NE(p.at(119, 114), BLACK);  // 1 January made a working day
}

// The medium month's holiday line is cut to the width it is given, a whole
// character at a time, down to a width with no room left for "…".
TEST_F(Views, holiday_line_stays_within_any_width)
{
    for (int width = 0; width <= 490; width += 13) {
        CalMonthGrid g = CAL_MEDIUM_MONTH;
        g.line_x2 = g.line_x1 + width;
        PatBlt(canvas.dc, 0, 0, 1024, 768, WHITENESS);
        cal_draw_month(CalSheet{canvas.dc}, 2003, 11, g, 0);
        Picture p = drawn();
        int right = -1;  // the rightmost ink of the line
        for (int y = 488; y < 520; y++)
            for (int x = 0; x < 1024; x++)
                if (p.at(x, y) != WHITE)
                    right = std::max(right, x);
        EXPECT_TRUE(width < 18 ? right < 0 : right > g.line_x1 && right <= g.line_x2) << width;
    }
}
