// Drawing primitives and buttons of the support library, pixel by pixel.
#include <gtest/gtest.h>

#include "support/ghl3000.h"
#include "tests/helpers/canvas.h"

namespace {

const COLORREF WHITE = 0xFFFFFF, BLACK = 0x000000, RED = 0x0000FF, BLUE = 0xFF0000;
const COLORREF GREY = 0x808080, DARK_GREY = 0x404040, LIGHT_GREY = 0xC0C0C0;

// Runs a drawing and checks that the DC's pen, brush, font, modes and the
// number of live objects are what they were before.
template <class Draw>
void keeps_dc_state(HDC dc, Draw draw)
{
    DcState before(dc);
    draw();
    EXPECT_TRUE(DcState(dc) == before);
}

}  // namespace

TEST(grp_line, filled_single_pixel_and_corners_in_any_order)
{
    Canvas c(30, 10);
    keeps_dc_state(c.dc, [&] { GrpLine(c.dc, 10, 10 - 1, 10, 9, RED, 2); });
    EXPECT_EQ(c.count(RED), 1);
    EXPECT_EQ(c.at(10, 9), RED);

    Canvas a(30, 10), b(30, 10);
    GrpLine(a.dc, 20, 5, 10, 1, RED, 2);
    GrpLine(b.dc, 10, 1, 20, 5, RED, 2);
    EXPECT_EQ(a.pixels(), b.pixels());
    EXPECT_EQ(a.count(RED), 11 * 5);
    EXPECT_EQ(a.count(RED, 10, 1, 20, 5), 55);
}

TEST(grp_line, outline_two_rows_high_paints_both_rows_whole)
{
    Canvas c(30, 10);
    keeps_dc_state(c.dc, [&] { GrpLine(c.dc, 25, 4, 3, 3, BLUE, 1); });
    EXPECT_EQ(c.count(BLUE), 2 * 23);
    EXPECT_EQ(c.count(BLUE, 3, 3, 25, 4), 46);
}

TEST(grp_line, outline_lies_on_the_inclusive_border_in_both_graphics_modes)
{
    for (int mode : {GM_COMPATIBLE, GM_ADVANCED}) {
        Canvas c(20, 20);
        SetGraphicsMode(c.dc, mode);
        keeps_dc_state(c.dc, [&] { GrpLine(c.dc, 2, 3, 12, 15, RED, 1); });
        EXPECT_EQ(c.ink(WHITE).right, 12) << mode;
        EXPECT_EQ(c.ink(WHITE).bottom, 15) << mode;
        EXPECT_EQ(c.count(RED), 2 * 11 + 2 * 11) << mode;
        EXPECT_EQ(c.at(7, 9), WHITE) << mode;
    }
}

TEST(grp_line, line_draws_its_end_point_and_keeps_its_direction)
{
    Canvas c(20, 20);
    keeps_dc_state(c.dc, [&] { GrpLine(c.dc, 0, 0, 0, 10, RED, 0); });
    EXPECT_EQ(c.count(RED, 0, 0, 0, 10), 11);
    EXPECT_EQ(c.count(RED), 11);  // the step to the right is left out again

    Canvas back(20, 20);
    GrpLine(back.dc, 15, 2, 4, 2, RED, 0);
    EXPECT_EQ(back.count(RED, 4, 2, 15, 2), 12);
    // Drawn from (15, 2) leftwards; the closing step goes right from (4, 2).
    EXPECT_EQ(back.count(RED), 12);
}

TEST(grp_line, other_modes_draw_nothing_and_create_nothing)
{
    Canvas c(10, 10);
    int live = plat_gdi_live_objects();
    for (int mode : {3, -1, 100})
        GrpLine(c.dc, 1, 1, 8, 8, RED, mode);
    EXPECT_EQ(c.count(WHITE), 100);
    EXPECT_EQ(plat_gdi_live_objects(), live);
}

TEST(grp_line, coordinates_at_the_int_range_end_do_not_wrap)
{
    Canvas c(10, 10);
    GrpLine(c.dc, 5, 5, 2147483647, 5, RED, 2);
    GrpLine(c.dc, 2, 2, 2147483647, 2, RED, 0);
    EXPECT_EQ(c.count(RED, 5, 5, 9, 5), 5);
    EXPECT_EQ(c.count(RED, 2, 2, 9, 2), 8);
}

TEST(grp_line_ex, wide_pen_line_and_unknown_style_draws_nothing)
{
    Canvas c(30, 30);
    keeps_dc_state(c.dc, [&] { GrpLineEX(c.dc, 5, 15, 20, 15, RED, 0, 5, PS_SOLID); });
    EXPECT_EQ(c.at(12, 13), RED);
    EXPECT_EQ(c.at(12, 17), RED);
    EXPECT_EQ(c.at(12, 10), WHITE);
    Canvas d(30, 30);
    GrpLineEX(d.dc, 5, 15, 20, 15, RED, 0, 0, 42);
    EXPECT_EQ(d.count(RED), 0);
    GrpLineEX(d.dc, 5, 15, 20, 15, RED, 0, 0, PS_NULL);
    EXPECT_EQ(d.count(RED), 0);
}

TEST(grp_circle, spans_its_inclusive_box)
{
    Canvas c(100, 100);
    keeps_dc_state(c.dc, [&] { GrpCircle(c.dc, 50, 50, 10, 5, RED, 0); });
    RECT ink = c.ink(WHITE);
    EXPECT_EQ(ink.left, 40);
    EXPECT_EQ(ink.right, 60);
    EXPECT_EQ(ink.top, 45);
    EXPECT_EQ(ink.bottom, 55);
    EXPECT_EQ(c.at(50, 50), WHITE);  // fill mode 0: hollow
    EXPECT_EQ(c.at(40, 50), RED);
    EXPECT_EQ(c.at(50, 45), RED);
    EXPECT_EQ(c.at(40, 45), WHITE);  // the box's corners are outside

    Canvas f(100, 100);
    SetGraphicsMode(f.dc, GM_ADVANCED);
    keeps_dc_state(f.dc, [&] { GrpCircle(f.dc, 50, 50, 10, 5, RED, 1); });
    EXPECT_EQ(f.ink(WHITE).right, 60);
    EXPECT_EQ(f.at(50, 50), RED);
}

TEST(grp_box, rounded_corners_inside_the_box_and_filled)
{
    Canvas c(40, 40);
    keeps_dc_state(c.dc, [&] { GrpBox(c.dc, 30, 30, 5, 5, BLUE, 10, 10, 1); });
    RECT ink = c.ink(WHITE);
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.right, 30);
    EXPECT_EQ(ink.bottom, 30);
    EXPECT_EQ(c.at(5, 5), WHITE);
    EXPECT_EQ(c.at(17, 17), BLUE);
}

TEST(grp_paint, stops_at_the_border_and_does_nothing_on_a_border_pixel)
{
    Canvas c(30, 30);
    GrpLine(c.dc, 5, 5, 20, 20, RED, 1);
    keeps_dc_state(c.dc, [&] { GrpPaint(c.dc, 10, 10, BLUE, RED); });
    EXPECT_EQ(c.count(BLUE), 14 * 14);
    EXPECT_EQ(c.count(RED), 60);
    EXPECT_EQ(c.at(25, 25), WHITE);

    auto before = c.pixels();
    keeps_dc_state(c.dc, [&] { GrpPaint(c.dc, 5, 12, 0x00FF00, RED); });
    EXPECT_EQ(c.pixels(), before);
}

TEST(grp_cur_dsp, bar_of_twelve_by_two_under_the_cell)
{
    Canvas c(40, 60);
    keeps_dc_state(c.dc, [&] { GrpCurDsp(c.dc, 0, 0, RED); });
    EXPECT_EQ(c.count(RED), 24);
    EXPECT_EQ(c.count(RED, 0, 21, 11, 22), 24);

    Canvas d(40, 60);
    GrpCurDsp(d.dc, 1, 2, RED);
    EXPECT_EQ(d.count(RED, 22, 47, 33, 48), 24);
    EXPECT_EQ(d.count(RED), 24);
}

TEST(grp_beep, one_beep_on_the_nt_family_whatever_the_count)
{
    ASSERT_EQ(GetVersion() & 0x80000000u, 0u);
    int before = plat_beep_count();
    GrpBeep(20);
    GrpBeep(0);
    EXPECT_EQ(plat_beep_count(), before + 2);
}

TEST(grp_button, style_1_edges)
{
    Canvas c(12, 12, 0x00FF00);
    keeps_dc_state(c.dc, [&] { GrpButton(c.dc, 0, 0, 9, 9, LIGHT_GREY, 1); });
    for (int i = 0; i <= 9; i++) {
        EXPECT_EQ(c.at(i, 9), BLACK) << i;
        EXPECT_EQ(c.at(9, i), BLACK) << i;
    }
    for (int i = 0; i <= 8; i++) {
        EXPECT_EQ(c.at(i, 0), WHITE) << i;
        EXPECT_EQ(c.at(0, i), WHITE) << i;
    }
    for (int i = 1; i <= 8; i++) {
        EXPECT_EQ(c.at(i, 8), DARK_GREY) << i;
        EXPECT_EQ(c.at(8, i), DARK_GREY) << i;
    }
    EXPECT_EQ(c.count(LIGHT_GREY, 1, 1, 7, 7), 49);
    EXPECT_EQ(c.at(10, 10), 0x00FF00u);

    Canvas d(30, 30);
    GrpButton(d.dc, 10, 10, 20, 20, LIGHT_GREY, 1);
    EXPECT_EQ(d.at(10, 10), WHITE);
    EXPECT_EQ(d.at(20, 20), BLACK);
    EXPECT_EQ(d.at(19, 19), DARK_GREY);
    EXPECT_EQ(d.at(15, 15), LIGHT_GREY);
}

TEST(grp_button, styles_2_to_9_paint_their_frames_and_shadow_rows)
{
    // Pixels of `colour` in the inclusive box, on a 0..9 button over green.
    struct Case {
        int style, x0, y0, x1, y1;
        COLORREF colour;
        int count;
    } cases[] = {
        {2, 9, 9, 9, 9, DARK_GREY, 1}, {2, 8, 5, 8, 5, GREY, 1},      {4, 0, 0, 0, 0, BLACK, 1},
        {4, 1, 5, 1, 5, DARK_GREY, 1}, {5, 5, 0, 5, 0, DARK_GREY, 1}, {5, 5, 1, 5, 1, GREY, 1},
        {6, 1, 5, 1, 5, BLACK, 1},     {6, 8, 5, 8, 5, BLACK, 1},     {6, 5, 5, 5, 5, LIGHT_GREY, 1},
        {8, 8, 5, 8, 5, BLACK, 1},     {8, 0, 5, 0, 5, WHITE, 1},     {9, 1, 5, 1, 5, BLACK, 1},
        {9, 9, 5, 9, 5, WHITE, 1},
        // 3, sunken: black top and left, white bottom and right
        {3, 0, 0, 9, 0, BLACK, 10},    {3, 0, 0, 0, 9, BLACK, 10},    {3, 1, 9, 9, 9, WHITE, 9},
        {3, 9, 1, 9, 9, WHITE, 9},     {3, 0, 0, 11, 11, LIGHT_GREY, 64},
        // 7: a black frame on four sides
        {7, 0, 0, 11, 11, BLACK, 36},  {7, 0, 0, 11, 11, LIGHT_GREY, 64},
    };
    for (const Case& k : cases) {
        Canvas c(12, 12, 0x00FF00);
        GrpButton(c.dc, 0, 0, 9, 9, LIGHT_GREY, k.style);
        EXPECT_EQ(c.count(k.colour, k.x0, k.y0, k.x1, k.y1), k.count)
            << "style " << k.style << " at " << k.x0 << "," << k.y0;
    }
}

TEST(grp_button, styles_outside_0_to_9_leave_the_surface)
{
    Canvas c(12, 12);
    int live = plat_gdi_live_objects();
    GrpButton(c.dc, 0, 0, 9, 9, RED, 10);
    GrpButton(c.dc, 0, 0, 9, 9, RED, -1);
    EXPECT_EQ(c.count(WHITE), 144);
    EXPECT_EQ(plat_gdi_live_objects(), live);
}
