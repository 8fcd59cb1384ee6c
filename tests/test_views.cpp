// The screen frames and the calendar views, drawn into a 1024 x 768 memory
// DC and read back at the design's coordinates.
#include <gtest/gtest.h>

#include <tuple>

#include "state/state.h"
#include "calendar/calendar.h"
#include "calendar/views.h"
#include "layout/layout.h"
#include "tests/helpers/picture.h"
#include "tests/helpers/tempdir.h"

enum : uint32_t {
    DARK_GREY = 0x404040, BEIGE = 0xBBCCD5, LIGHT_GREY = 0xC0C0C0, BLUE = 0xFF0000, WHITE = 0xFFFFFF, BLACK = 0x000000,
};

// Each test starts from the start-up state, with the holiday files given.
class Views : public ::testing::Test {
protected:
    void SetUp() override
    {
        iBcol = WHITE;
        iDspfg = 9;
        load_holidays("", "");
    }
    static void load_holidays(const std::string& hday1, const std::string& hday2)
    {
        TempDir dir(true);
        if (!hday1.empty())
            dir.write("HDAY1.DAT", hday1);
        if (!hday2.empty())
            dir.write("HDAY2.DAT", hday2);
        RKM_YHDAY_RED();
    }
    Canvas canvas{1024, 768, 0};
};

// How many cells of a six-row grid hold more than the background.
static int cells_with_text(const Picture& p, int x0, int pitch_x, int y0, int pitch_y, int w, int h)
{
    int n = 0;
    for (int r = 0; r < 6; r++)
        for (int c = 0; c < 7; c++)
            n += p.count_not(x0 + pitch_x * c, y0 + pitch_y * r, x0 + pitch_x * c + w,
                             y0 + pitch_y * r + h, WHITE) > 10;
    return n;
}

static int medium_days(const Picture& p)
{
    return cells_with_text(p, 56, 70, 126, 60, 64, 54);
}

static bool medium_cell(const Picture& p, int c, int r)
{
    return p.count_not(56 + 70 * c, 126 + 60 * r, 120 + 70 * c, 180 + 60 * r, WHITE) > 10;
}

TEST_F(Views, function_keys_only_f9_f11_f12_have_captions)
{
    RKM_WAKU_CRT(canvas.dc);
    Picture p = picture_of(canvas);
    for (int key = 0; key < 12; key++) {
        int x = 80 * key + (key < 4 ? 4 : key < 8 ? 33 : 62);
        bool caption = p.count_not(x + 7, 698, x + 70, 712, LIGHT_GREY) > 10;
        EXPECT_EQ(caption, key == 8 || key == 10 || key == 11) << "F" << key + 1;
    }
    EXPECT_EQ(p.at(340, 700), DARK_GREY);  // a gap between groups
}

TEST_F(Views, medium_and_large_views_place_every_day_of_a_month)
{
    RKM_CALEN2_PROC(canvas.dc, 2003, 11, 15);  // Saturday, column 6, row 2
    Picture p = picture_of(canvas);
    for (int x : {479, 480, 536, 537})
        EXPECT_EQ(p.at(x, 289), BLUE) << x;
    EXPECT_NE(p.at(409, 289), BLUE);  // not the 14th
    EXPECT_EQ(p.at(20, 15), BEIGE);
    iBcol = 0xD0FFD0;  // no day framed: the area in iBcol
    RKM_CALEN2_PROC(canvas.dc, 2003, 11, 0);
    p = picture_of(canvas);
    EXPECT_EQ(p.at(20, 15), 0xD0FFD0u);
    EXPECT_EQ(p.count(475, 245, 540, 295, BLUE), 0);
    iBcol = WHITE;
    // Every day where the day numbers put it: November 2003 with six rows,
    // September 1752 with 19 days.
    for (auto [year, month, days] : {std::tuple{2003, 11, 30}, std::tuple{1752, 9, 19}}) {
        RKM_CALEN2_PROC(canvas.dc, year, month, 0);
        p = picture_of(canvas);
        EXPECT_EQ(medium_days(p), days) << year;
        int first = RKM_FIRST_DAY(year, month);
        for (int i = 0; i < 42; i++)
            EXPECT_EQ(medium_cell(p, i % 7, i / 7), i >= first && i < first + days) << year << " cell " << i;
    }
    RKM_CALEN2_PROC(canvas.dc, 2003, 11, 0);
    p = picture_of(canvas);
    EXPECT_TRUE(p.has_near(60, 430, 118, 466, 0x0000FF, 8));  // a Sunday, red
    EXPECT_EQ(p.at(52, 300), DARK_GREY);  // grooves: dark edges around a light middle line
    EXPECT_EQ(p.at(53, 300), LIGHT_GREY);
    EXPECT_EQ(p.at(300, 483), LIGHT_GREY);
    EXPECT_EQ(p.at(300, 485), WHITE);
    RKM_CALEN1_PROC(canvas.dc, 2003, 11);
    p = picture_of(canvas);
    // Day 9 (column 0, row 2) stands at x 5, its digit in 34 to 63; day 10
    // (column 1) at x 170, leaving 145 to 158 empty.
    EXPECT_GT(p.count_not(34, 306, 63, 342, WHITE), 10);
    EXPECT_EQ(p.count_not(66, 306, 95, 342, WHITE), 0);
    EXPECT_GT(p.count_not(170, 306, 229, 342, WHITE), 10);
    EXPECT_EQ(p.count_not(145, 306, 158, 342, WHITE), 0);
}

TEST_F(Views, small_view_leaves_the_function_key_bar_below_656)
{
    RKM_CALEN2_PROC(canvas.dc, 2003, 5, 0);
    Picture before = picture_of(canvas);
    RKM_CALEN3_PROC(canvas.dc, 2003, 5);
    Picture after = picture_of(canvas);
    int changed = 0;
    for (int y = 0; y < 768; y++)
        for (int x = 0; x < 1024; x++)
            changed += (y > 656 || x > 1020) && before.at(x, y) != after.at(x, y);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(cells_with_text(after, 30, 30, 53, 24, 20, 17), 31);
    EXPECT_EQ(after.at(500, 500), BEIGE);
}

// Whether the day-off box stands at column c, row r of month m's block.
static bool boxed(const Picture& p, int m, int c, int r)
{
    int x = 250 * ((m - 1) % 4) + 30 + 30 * c;
    int y = 200 * ((m - 1) / 4) + 100 + 24 * r;
    return p.at(x - 1, y + 14) == BLACK && p.at(x + 23, y + 14) == BLACK;
}

TEST_F(Views, year_view_boxes_days_off)
{
    RKM_CALEN4_PROC(canvas.dc, 2003, 5);
    Picture p = picture_of(canvas);
    EXPECT_TRUE(boxed(p, 1, 3, 0));   // 1 January, a Wednesday holiday
    EXPECT_TRUE(p.has_near(120, 100, 142, 122, 0x6020FF, 24));
    EXPECT_FALSE(boxed(p, 1, 4, 0));  // 2 January, an ordinary Thursday
    EXPECT_TRUE(boxed(p, 1, 6, 0));   // Saturday 4 January
    EXPECT_TRUE(boxed(p, 1, 0, 1));   // Sunday 5 January
    EXPECT_TRUE(boxed(p, 11, 1, 4));  // Monday 24 November, after a Sunday holiday
    EXPECT_EQ(p.at(1, 1), WHITE);     // no border

    load_holidays("0102\r\n", "0101\r\n");
    RKM_CALEN4_PROC(canvas.dc, 2003, 1);
    Picture files = picture_of(canvas);
    EXPECT_TRUE(boxed(files, 1, 4, 0));   // 2 January made a day off
    EXPECT_FALSE(boxed(files, 1, 3, 0));  // 1 January made a working day
}

TEST_F(Views, impossible_months_and_years_draw_no_days)
{
    for (int month : {0, 13, -1, 99}) {
        RKM_CALEN1_PROC(canvas.dc, 2003, month);
        RKM_CALEN3_PROC(canvas.dc, 2003, month);
        RKM_CALEN2_PROC(canvas.dc, 2003, month, 0);
        EXPECT_EQ(medium_days(picture_of(canvas)), 0) << month;
    }
    RKM_CALEN2_PROC(canvas.dc, -5, 1, 0);
    EXPECT_EQ(medium_days(picture_of(canvas)), 0);
}
