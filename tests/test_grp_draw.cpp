// Drawing primitives and buttons of the support library, pixel by pixel.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "support/ghl3000.h"
#include "tests/helpers/canvas.h"

namespace {

const COLORREF WHITE = 0xFFFFFF, BLACK = 0x000000, RED = 0x0000FF, BLUE = 0xFF0000;
const COLORREF GREY = 0x808080, DARK_GREY = 0x404040, LIGHT_GREY = 0xC0C0C0;

}  // namespace

// Each drawing on a white 60 x 60 canvas (100 x 100 for the ellipses), in
// the compatible or the advanced graphics mode: the box its ink covers, how
// many pixels of one colour, pixels it must or must not set, and the DC's
// pen, brush, font, modes and live objects left as they were.
TEST(grp_shapes, ink_box_pixel_count_and_dc_state_per_call)
{
    const RECT ANY = {-1, 0, 0, 0}, NONE = {0, 0, -1, -1};
    struct Probe { int x, y; COLORREF colour; };
    struct Case {
        const char* what;
        std::function<void(HDC)> draw;
        RECT ink;
        COLORREF colour;
        int count;  // pixels of `colour`; -1: not counted
        std::vector<Probe> probes;
        int mode = GM_COMPATIBLE;
    } cases[] = {
        {"fill of one pixel", [](HDC dc) { GrpLine(dc, 10, 9, 10, 9, RED, 2); }, {10, 9, 10, 9}, RED, 1, {}},
        {"fill, corners swapped", [](HDC dc) { GrpLine(dc, 20, 5, 10, 1, RED, 2); }, {10, 1, 20, 5}, RED, 55, {}},
        {"outline two rows high", [](HDC dc) { GrpLine(dc, 25, 4, 3, 3, BLUE, 1); }, {3, 3, 25, 4}, BLUE, 46, {}},
        {"outline", [](HDC dc) { GrpLine(dc, 2, 3, 12, 15, RED, 1); }, {2, 3, 12, 15}, RED, 44, {{7, 9, WHITE}}},
        {"outline, advanced mode", [](HDC dc) { GrpLine(dc, 2, 3, 12, 15, RED, 1); }, {2, 3, 12, 15}, RED, 44,
         {{7, 9, WHITE}}, GM_ADVANCED},
        {"line down", [](HDC dc) { GrpLine(dc, 0, 0, 0, 10, RED, 0); }, {0, 0, 0, 10}, RED, 11, {}},
        {"line leftwards", [](HDC dc) { GrpLine(dc, 15, 2, 4, 2, RED, 0); }, {4, 2, 15, 2}, RED, 12, {}},
        {"other modes", [](HDC dc) { for (int m : {3, -1, 100}) GrpLine(dc, 1, 1, 8, 8, RED, m); }, NONE, RED, 0, {}},
        {"fill to INT_MAX", [](HDC dc) { GrpLine(dc, 5, 5, INT_MAX, 5, RED, 2); }, {5, 5, 59, 5}, RED, 55, {}},
        {"line to INT_MAX", [](HDC dc) { GrpLine(dc, 2, 2, INT_MAX, 2, RED, 0); }, {2, 2, 59, 2}, RED, 58, {}},
        {"wide pen", [](HDC dc) { GrpLineEX(dc, 5, 15, 20, 15, RED, 0, 5, PS_SOLID); }, ANY, RED, -1,
         {{12, 13, RED}, {12, 17, RED}, {12, 10, WHITE}}},
        {"unknown and null pen styles", [](HDC dc) {
             GrpLineEX(dc, 5, 15, 20, 15, RED, 0, 0, 42);
             GrpLineEX(dc, 5, 15, 20, 15, RED, 0, 0, PS_NULL);
         }, NONE, RED, 0, {}},
        {"hollow ellipse", [](HDC dc) { GrpCircle(dc, 50, 50, 10, 5, RED, 0); }, {40, 45, 60, 55}, RED, -1,
         {{50, 50, WHITE}, {40, 50, RED}, {50, 45, RED}, {40, 45, WHITE}}},
        {"filled ellipse", [](HDC dc) { GrpCircle(dc, 50, 50, 10, 5, RED, 1); }, {40, 45, 60, 55}, RED, -1,
         {{50, 50, RED}}, GM_ADVANCED},
        {"rounded box", [](HDC dc) { GrpBox(dc, 30, 30, 5, 5, BLUE, 10, 10, 1); }, {5, 5, 30, 30}, BLUE, -1,
         {{5, 5, WHITE}, {17, 17, BLUE}}},
        {"cursor bar", [](HDC dc) { GrpCurDsp(dc, 0, 0, RED); }, {0, 21, 11, 22}, RED, 24, {}},
        {"cursor bar of cell 1, 2", [](HDC dc) { GrpCurDsp(dc, 1, 2, RED); }, {22, 47, 33, 48}, RED, 24, {}},
        {"paint inside a border", [](HDC dc) { GrpLine(dc, 5, 5, 20, 20, RED, 1); GrpPaint(dc, 10, 10, BLUE, RED); },
         {5, 5, 20, 20}, BLUE, 14 * 14, {{5, 5, RED}, {25, 25, WHITE}}},
        {"paint on a border pixel", [](HDC dc) { GrpLine(dc, 5, 5, 20, 20, RED, 1); GrpPaint(dc, 5, 12, 0x00FF00, RED); },
         {5, 5, 20, 20}, RED, 60, {{10, 10, WHITE}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        int size = k.ink.right > 59 ? 100 : 60;
        Canvas c(size, size);
        SetGraphicsMode(c.dc, k.mode);
        DcState before(c.dc);
        k.draw(c.dc);
        EXPECT_TRUE(DcState(c.dc) == before);
        RECT ink = c.ink(WHITE);
        if (k.ink.right < k.ink.left) {
            EXPECT_LT(ink.right, ink.left);
        } else if (k.ink.left >= 0) {
            EXPECT_EQ(std::vector<LONG>({ink.left, ink.top, ink.right, ink.bottom}),
                      std::vector<LONG>({k.ink.left, k.ink.top, k.ink.right, k.ink.bottom}));
        }
        if (k.count >= 0) {
            EXPECT_EQ(c.count(k.colour), k.count);
        }
        for (const Probe& p : k.probes)
            EXPECT_EQ(c.at(p.x, p.y), p.colour) << p.x << "," << p.y;
    }
}

TEST(grp_beep, one_beep_on_the_nt_family_whatever_the_count)
{
    ASSERT_EQ(GetVersion() & 0x80000000u, 0u);
    int before = plat_beep_count();
    GrpBeep(20);
    GrpBeep(0);
    EXPECT_EQ(plat_beep_count(), before + 2);
}

TEST(grp_button, styles_paint_their_frames_and_shadow_rows)
{
    // Pixels of `colour` in the inclusive box, on a 0..9 button over green.
    struct Case {
        int style, x0, y0, x1, y1;
        COLORREF colour;
        int count;
    } cases[] = {
        // 1, raised: white top and left, black bottom and right, a dark grey shadow row
        {1, 0, 9, 9, 9, BLACK, 10},    {1, 9, 0, 9, 9, BLACK, 10},    {1, 0, 0, 8, 0, WHITE, 9},
        {1, 0, 0, 0, 8, WHITE, 9},     {1, 1, 8, 8, 8, DARK_GREY, 8}, {1, 8, 1, 8, 8, DARK_GREY, 8},
        {1, 1, 1, 7, 7, LIGHT_GREY, 49}, {1, 10, 10, 11, 11, 0x00FF00, 4},
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
        // outside 0..9: nothing
        {10, 0, 0, 11, 11, 0x00FF00, 144}, {-1, 0, 0, 11, 11, 0x00FF00, 144},
    };
    for (const Case& k : cases) {
        Canvas c(12, 12, 0x00FF00);
        DcState before(c.dc);
        GrpButton(c.dc, 0, 0, 9, 9, LIGHT_GREY, k.style);
        EXPECT_TRUE(DcState(c.dc) == before) << "style " << k.style;
        EXPECT_EQ(c.count(k.colour, k.x0, k.y0, k.x1, k.y1), k.count)
            << "style " << k.style << " at " << k.x0 << "," << k.y0;
    }
}
