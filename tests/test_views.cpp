// The screen frames and the four calendar views, drawn into a 1024 x 768
// memory DC and read back pixel by pixel at the design's coordinates.
#include <gtest/gtest.h>

#include <string>

#include "app/state.h"
#include "calendar/calendar.h"
#include "calendar/views.h"
#include "tests/helpers/picture.h"
#include "tests/helpers/tempdir.h"
#include "layout/layout.h"
#include "support/ghl3000.h"

enum : uint32_t {
    DARK_GREY = 0x404040, BEIGE = 0xBBCCD5, NAVY = 0x800000, LIGHT_GREY = 0xC0C0C0,
    GREEN = 0x5C8000, BLUE = 0xFF0000, WHITE = 0xFFFFFF, BLACK = 0x000000,
    STEEL_BLUE = 0xA05C40,
};

// Each test starts from the start-up state with no holiday files.
class Views : public ::testing::Test {
protected:
    void SetUp() override
    {
        iBcol = WHITE;
        iDspfg = 9;
        iNstep = 1;
        load_holidays("", "");
    }

    // Reads the holiday files from a folder holding these texts.
    static void load_holidays(const std::string& hday1, const std::string& hday2)
    {
        TempDir dir(true);
        if (!hday1.empty())
            dir.write("HDAY1.DAT", hday1);
        if (!hday2.empty())
            dir.write("HDAY2.DAT", hday2);
        RKM_YHDAY_RED();
    }
};

// The cells of a 7-column grid whose rectangle holds anything but the
// background: the days drawn there.
static int cells_with_text(const Picture& p, int x0, int pitch_x, int y0, int pitch_y, int w,
                           int h, uint32_t background)
{
    int n = 0;
    for (int r = 0; r < 6; r++)
        for (int c = 0; c < 7; c++) {
            int x = x0 + pitch_x * c, y = y0 + pitch_y * r;
            n += p.count_not(x, y, x + w, y + h, background) > 10;
        }
    return n;
}

static bool medium_cell_has_text(const Picture& p, int c, int r)
{
    return p.count_not(56 + 70 * c, 126 + 60 * r, 120 + 70 * c, 180 + 60 * r, WHITE) > 10;
}

/* The working screen of the medium view */

TEST_F(Views, working_screen_panels_fields_and_cursor)
{
    Canvas canvas(1024, 768, 0);
    RKM_WAKU_CRT(canvas.dc);
    Picture p = picture_of(canvas);
    EXPECT_EQ(p.at(1, 1), DARK_GREY);
    EXPECT_EQ(p.at(1022, 766), DARK_GREY);
    EXPECT_EQ(p.at(300, 600), BEIGE);
    EXPECT_EQ(p.at(625, 100), STEEL_BLUE);
    EXPECT_EQ(p.at(700, 100), NAVY);     // year field
    EXPECT_EQ(p.at(850, 100), NAVY);     // month field
    EXPECT_EQ(p.at(635, 122), LIGHT_GREY);  // cursor under the first year cell
    EXPECT_EQ(p.at(663, 123), LIGHT_GREY);
    EXPECT_EQ(p.at(664, 122), NAVY);
    EXPECT_EQ(p.at(634, 122), NAVY);
    EXPECT_TRUE(p.has_near(770, 84, 830, 123, BEIGE, 8));  // caption 年 beside the field
}

TEST_F(Views, selector_marks_the_layout_in_force_and_medium_before_any)
{
    for (int layout : {9, 0, 1, 2, 3}) {
        iDspfg = layout;
        Canvas canvas(1024, 768, 0);
        RKM_WAKU2_CRT(canvas.dc);
        Picture p = picture_of(canvas);
        int marked = layout == 9 ? 1 : layout;
        for (int i = 0; i < 4; i++) {
            int x = 620 + 80 * i;
            EXPECT_EQ(p.at(x + 3, 225), i == marked ? BLUE : GREEN) << layout << " " << i;
            EXPECT_EQ(p.at(x, 200), WHITE);
            EXPECT_EQ(p.at(x + 78, 200), BLACK);  // two-pixel dark right edge
            EXPECT_EQ(p.at(x + 79, 200), BLACK);
            EXPECT_EQ(p.at(x + 40, 230), BLACK);  // and bottom edge
            EXPECT_TRUE(p.has_near(x + 18, 183, x + 60, 222, WHITE, 8));  // label
        }
    }
}

TEST_F(Views, palette_swatches_sample_and_title)
{
    iBcol = 0xB0B0FF;
    Canvas canvas(1024, 768, 0);
    RKM_WAKU3_CRT(canvas.dc);
    Picture p = picture_of(canvas);
    EXPECT_EQ(p.at(818, 302), 0xFFFFFFu);  // row 0, column 0
    EXPECT_EQ(p.at(896, 356), 0xFFC0C0u);  // row 2, column 3
    EXPECT_EQ(p.at(922, 410), 0xA0FFA0u);  // row 4, column 4
    EXPECT_EQ(p.at(808, 292), BLACK);      // swatch outlines
    EXPECT_EQ(p.at(828, 312), BLACK);
    EXPECT_EQ(p.at(831, 302), BEIGE);      // between two swatches
    EXPECT_EQ(p.at(870, 455), 0xB0B0FFu);  // the sample shows iBcol
    EXPECT_EQ(p.at(808, 435), BLACK);
    EXPECT_EQ(p.at(932, 475), BLACK);
    EXPECT_EQ(p.at(803, 259), BLUE);  // title bar
    EXPECT_EQ(p.at(870, 285), BLACK);
    EXPECT_EQ(p.at(870, 287), WHITE);
    EXPECT_TRUE(p.has_near(804, 260, 937, 284, 0xFFFF00, 8));  // "Back Color" in cyan
    EXPECT_EQ(p.at(939, 300), BLACK);  // right and bottom edges
    EXPECT_EQ(p.at(870, 486), BLACK);
}

TEST_F(Views, keypad_rules_divider_and_keys)
{
    Canvas canvas(1024, 768, 0);
    GrpLine(canvas.dc, 0, 0, 1023, 767, 0x123456, 2);
    RKM_KEY_BOAD(canvas.dc, 620, 256);
    Picture p = picture_of(canvas);
    EXPECT_EQ(p.at(623, 259), BLUE);   // title bar
    EXPECT_EQ(p.at(650, 285), BLACK);  // rule under the title
    EXPECT_EQ(p.at(650, 287), WHITE);
    EXPECT_EQ(p.at(661, 324), BEIGE);  // key 1
    EXPECT_EQ(p.at(662, 290), BLACK);  // border between 1 and 2, above the text
    EXPECT_EQ(p.at(664, 290), WHITE);
    EXPECT_EQ(p.at(666, 324), BEIGE);  // key 2
    EXPECT_EQ(p.at(746, 290), BLACK);  // border between 3 and +
    EXPECT_EQ(p.at(700, 485), BLACK);  // bottom rule
    EXPECT_EQ(p.at(726, 470), BLACK);  // divider between Enter and BS
    EXPECT_EQ(p.at(728, 470), WHITE);
    EXPECT_EQ(p.at(700, 484), 0x123456u);  // the last row is not filled
    EXPECT_EQ(p.at(788, 300), BLACK);      // the right rule, x 788 to 789
    EXPECT_EQ(p.at(790, 300), 0x123456u);
    EXPECT_TRUE(p.has_near(626, 292, 662, 322, NAVY, 8));          // "1"
    EXPECT_TRUE(p.has_near(626, 452, 720, 482, 0x000080, 8));      // "Enter"
}

TEST_F(Views, function_keys_only_f9_f11_f12_have_captions)
{
    Canvas canvas(1024, 768, 0);
    RKM_WAKU_CRT(canvas.dc);
    Picture p = picture_of(canvas);
    for (int key = 0; key < 12; key++) {
        int x = key < 4 ? 80 * key + 4 : key < 8 ? 80 * key + 33 : 80 * key + 62;
        bool caption = p.count_not(x + 7, 698, x + 70, 712, LIGHT_GREY) > 10;
        EXPECT_EQ(caption, key == 8 || key == 10 || key == 11) << "F" << key + 1;
        if (!caption) {
            EXPECT_EQ(p.at(x + 39, 705), LIGHT_GREY) << key;
        }
        EXPECT_TRUE(p.has_near(x + 7, 677, x + 70, 694, NAVY, 8)) << key;  // key name
    }
    EXPECT_EQ(p.at(83, 700), DARK_GREY);   // 2 apart within a group
    EXPECT_EQ(p.at(340, 700), DARK_GREY);  // gaps between the groups
    EXPECT_EQ(p.at(690, 700), DARK_GREY);
}

/* Medium month view */

TEST_F(Views, medium_view_frames_today_in_blue)
{
    Canvas canvas(1024, 768, 0);
    RKM_CALEN2_PROC(canvas.dc, 2003, 11, 15);  // Saturday, column 6, row 2
    Picture p = picture_of(canvas);
    for (int x : {479, 480, 536, 537})
        EXPECT_EQ(p.at(x, 289), BLUE) << x;
    EXPECT_EQ(p.at(505, 249), BLUE);
    EXPECT_EQ(p.at(505, 291), BLUE);
    EXPECT_NE(p.at(478, 270), BLUE);
    EXPECT_NE(p.at(409, 270), BLUE);  // the 14th has no frame
    EXPECT_EQ(p.at(20, 15), BEIGE);   // the calendar area stays on the panel
    EXPECT_EQ(iNstep, 0);
}

TEST_F(Views, medium_view_without_today_fills_the_area_and_frames_nothing)
{
    iBcol = 0xD0FFD0;
    Canvas canvas(1024, 768, 0);
    RKM_CALEN2_PROC(canvas.dc, 2003, 11, 0);
    Picture p = picture_of(canvas);
    EXPECT_EQ(p.at(20, 15), 0xD0FFD0u);
    EXPECT_EQ(p.at(586, 520), 0xD0FFD0u);
    EXPECT_EQ(p.at(587, 521), BEIGE);
    EXPECT_EQ(p.count(14, 10, 586, 520, BLUE) > 0, true);  // the title is blue...
    EXPECT_EQ(p.count(475, 245, 540, 295, BLUE), 0);        // ...but no day is framed
}

TEST_F(Views, november_2003_uses_six_rows)
{
    Canvas canvas(1024, 768, 0);
    RKM_CALEN2_PROC(canvas.dc, 2003, 11, 0);
    Picture p = picture_of(canvas);
    EXPECT_TRUE(medium_cell_has_text(p, 6, 0));   // the 1st alone in the first row
    for (int c = 0; c < 6; c++)
        EXPECT_FALSE(medium_cell_has_text(p, c, 0)) << c;
    EXPECT_TRUE(medium_cell_has_text(p, 0, 5));   // the 30th alone in the sixth
    for (int c = 1; c < 7; c++)
        EXPECT_FALSE(medium_cell_has_text(p, c, 5)) << c;
    EXPECT_EQ(cells_with_text(p, 56, 70, 126, 60, 64, 54, WHITE), 30);
    EXPECT_TRUE(p.has_near(60, 430, 118, 466, 0x0000FF, 8));  // a Sunday, in red
    EXPECT_TRUE(p.has_near(480, 130, 538, 166, 0x406000, 8));  // a Saturday
}

TEST_F(Views, september_1752_shows_19_days)
{
    Canvas canvas(1024, 768, 0);
    RKM_CALEN2_PROC(canvas.dc, 1752, 9, 0);
    Picture p = picture_of(canvas);
    EXPECT_EQ(cells_with_text(p, 56, 70, 126, 60, 64, 54, WHITE), 19);
    EXPECT_TRUE(medium_cell_has_text(p, 2, 0));  // 1 on Tuesday
    EXPECT_FALSE(medium_cell_has_text(p, 1, 0));
    EXPECT_TRUE(medium_cell_has_text(p, 6, 2));  // 30 on Saturday, third row
    EXPECT_FALSE(medium_cell_has_text(p, 0, 3));
}

TEST_F(Views, medium_and_large_grid_grooves)
{
    Canvas canvas(1024, 768, 0);
    RKM_CALEN2_PROC(canvas.dc, 2003, 5, 0);
    Picture p = picture_of(canvas);
    EXPECT_EQ(p.at(52, 300), DARK_GREY);
    EXPECT_EQ(p.at(53, 300), LIGHT_GREY);
    EXPECT_EQ(p.at(54, 300), DARK_GREY);
    EXPECT_EQ(p.at(543, 400), LIGHT_GREY);  // last column line, x 53 + 490
    EXPECT_EQ(p.at(544, 483), DARK_GREY);   // down to y 483
    EXPECT_EQ(p.at(300, 77), DARK_GREY);   // top line
    EXPECT_EQ(p.at(300, 78), LIGHT_GREY);
    EXPECT_EQ(p.at(300, 483), LIGHT_GREY); // last row line, y 123 + 360
    EXPECT_EQ(p.at(300, 485), WHITE);

    Canvas large(1024, 768, 0);
    RKM_CALEN1_PROC(large.dc, 2003, 5);
    Picture q = picture_of(large);
    EXPECT_EQ(q.at(20, 400), DARK_GREY);
    EXPECT_EQ(q.at(21, 400), LIGHT_GREY);
    EXPECT_EQ(q.at(1001, 400), LIGHT_GREY);  // x 21 + 980
    EXPECT_EQ(q.at(500, 58), LIGHT_GREY);
    EXPECT_EQ(q.at(500, 691), LIGHT_GREY);   // y 103 + 588
    EXPECT_EQ(q.at(500, 693), WHITE);
}

/* Large month view */

TEST_F(Views, large_view_frame_and_digit_offsets)
{
    iBcol = 0xF0F0FF;
    Canvas canvas(1024, 768, 0);
    RKM_CALEN1_PROC(canvas.dc, 2003, 11);
    Picture p = picture_of(canvas);
    EXPECT_EQ(p.at(2, 2), DARK_GREY);
    EXPECT_EQ(p.at(5, 4), BEIGE);
    EXPECT_EQ(p.at(1019, 764), BEIGE);
    EXPECT_EQ(p.at(1020, 765), DARK_GREY);
    EXPECT_EQ(p.at(700, 730), 0xF0F0FFu);
    // Day 9 (column 0, row 2) stands at x 5, its digit in 34 to 63; day 10
    // (column 1) at x 170, leaving 145 to 158 empty.
    uint32_t bg = 0xF0F0FF;
    EXPECT_GT(p.count_not(34, 306, 63, 342, bg), 10);
    EXPECT_EQ(p.count_not(66, 306, 95, 342, bg), 0);
    EXPECT_GT(p.count_not(170, 306, 229, 342, bg), 10);
    EXPECT_EQ(p.count_not(145, 306, 158, 342, bg), 0);
    EXPECT_TRUE(p.has_near(380, 10, 600, 48, BLUE, 8));  // title
}

/* Small month view */

TEST_F(Views, small_view_panel_and_days)
{
    iBcol = 0xA0FFA0;
    Canvas canvas(1024, 768, 0);
    RKM_CALEN3_PROC(canvas.dc, 2003, 11);
    Picture p = picture_of(canvas);
    EXPECT_EQ(p.at(500, 500), BEIGE);
    EXPECT_EQ(p.at(4, 300), 0xA0FFA0u);   // outlined in the background colour
    EXPECT_EQ(p.at(500, 2), 0xA0FFA0u);
    EXPECT_EQ(p.at(1019, 300), BLACK);     // two-pixel dark right and bottom edge
    EXPECT_EQ(p.at(1020, 300), BLACK);
    EXPECT_EQ(p.at(500, 655), BLACK);
    EXPECT_EQ(p.at(500, 656), BLACK);
    EXPECT_EQ(p.at(250, 195), WHITE);      // the white box
    EXPECT_EQ(p.at(257, 195), BEIGE);
    EXPECT_EQ(cells_with_text(p, 30, 30, 53, 24, 20, 17, WHITE), 30);
    EXPECT_EQ(iNstep, 0);
}

TEST_F(Views, small_view_leaves_the_function_key_bar_below_656)
{
    Canvas canvas(1024, 768, 0);
    RKM_CALEN2_PROC(canvas.dc, 2003, 5, 0);
    Picture before = picture_of(canvas);
    RKM_CALEN3_PROC(canvas.dc, 2003, 5);
    Picture after = picture_of(canvas);
    int changed = 0;
    for (int y = 657; y < 768; y++)
        for (int x = 0; x < 1024; x++)
            changed += before.at(x, y) != after.at(x, y);
    for (int y = 0; y < 657; y++)
        for (int x = 1021; x < 1024; x++)
            changed += before.at(x, y) != after.at(x, y);
    EXPECT_EQ(changed, 0);
}

/* Year view */

// Whether the day-off box of the day at column c, row r of the block of
// month m stands there (its left and right edges are black).
static bool boxed(const Picture& p, int m, int c, int r)
{
    int x = 250 * ((m - 1) % 4) + 30 + 30 * c;
    int y = 200 * ((m - 1) / 4) + 100 + 24 * r;
    return p.at(x - 1, y + 14) == BLACK && p.at(x + 23, y + 14) == BLACK;
}

TEST_F(Views, year_view_boxes_holidays_and_weekends_but_not_workdays)
{
    Canvas canvas(1024, 768, 0);
    RKM_CALEN4_PROC(canvas.dc, 2003, 5);
    Picture p = picture_of(canvas);
    EXPECT_TRUE(boxed(p, 1, 3, 0));   // 1 January, a Wednesday holiday
    EXPECT_TRUE(p.has_near(120, 100, 142, 122, 0x6020FF, 24));
    EXPECT_FALSE(boxed(p, 1, 4, 0));  // 2 January, an ordinary Thursday
    EXPECT_TRUE(boxed(p, 1, 6, 0));   // Saturday 4 January
    EXPECT_TRUE(boxed(p, 1, 0, 1));   // Sunday 5 January
    EXPECT_FALSE(boxed(p, 1, 1, 1));  // Monday 6 January
    EXPECT_TRUE(boxed(p, 1, 1, 2));   // 13 January, the second Monday
    EXPECT_TRUE(boxed(p, 11, 1, 4));  // Monday 24 November, after a Sunday holiday
    EXPECT_EQ(p.at(1, 1), WHITE);     // no border: all in the background colour
    EXPECT_EQ(p.at(10, 300), DARK_GREY);
    EXPECT_EQ(p.at(1010, 300), DARK_GREY);
    EXPECT_EQ(p.at(500, 645), DARK_GREY);
    EXPECT_EQ(p.at(500, 646), WHITE);
}

TEST_F(Views, year_view_applies_the_holiday_files)
{
    load_holidays("0102\r\n", "0101\r\n");
    Canvas canvas(1024, 768, 0);
    RKM_CALEN4_PROC(canvas.dc, 2003, 1);
    Picture p = picture_of(canvas);
    EXPECT_TRUE(boxed(p, 1, 4, 0));   // 2 January made a day off
    EXPECT_FALSE(boxed(p, 1, 3, 0));  // 1 January made a working day
    EXPECT_TRUE(boxed(p, 1, 6, 0));
}

TEST_F(Views, year_view_ignores_the_month_and_shows_1752)
{
    Canvas a(1024, 768, 0), b(1024, 768, 0);
    RKM_CALEN4_PROC(a.dc, 2003, 1);
    RKM_CALEN4_PROC(b.dc, 2003, 9);
    EXPECT_TRUE(picture_of(a).pixels == picture_of(b).pixels);

    Canvas c(1024, 768, 0);
    RKM_CALEN4_PROC(c.dc, 1752, 1);
    Picture p = picture_of(c);
    EXPECT_EQ(cells_with_text(p, 30, 30, 503, 24, 20, 17, WHITE), 19);  // September
    EXPECT_GT(p.count_not(280, 500, 300, 520, WHITE), 10);  // 1 October on a Sunday
}

/* Months outside the calendar */

TEST_F(Views, impossible_months_draw_the_frame_and_no_days)
{
    for (int month : {0, 13, -1, 99}) {
        Canvas canvas(1024, 768, 0);
        RKM_CALEN1_PROC(canvas.dc, 2003, month);
        RKM_CALEN2_PROC(canvas.dc, 2003, month, 0);
        Picture p = picture_of(canvas);
        EXPECT_EQ(cells_with_text(p, 56, 70, 126, 60, 64, 54, WHITE), 0) << month;
        RKM_CALEN3_PROC(canvas.dc, 2003, month);
    }
    Canvas canvas(1024, 768, 0);
    RKM_CALEN4_PROC(canvas.dc, -5, 1);
    EXPECT_EQ(picture_of(canvas).count_not(20, 60, 1000, 640, WHITE),
              picture_of(canvas).count(20, 60, 1000, 640, DARK_GREY));  // only the grid
}
