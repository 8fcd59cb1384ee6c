// Drawing, buttons and text of the support library, pixel by pixel, and the DC after each call.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>

#include "support/ghl3000.h"
#include "tests/helpers/canvas.h"
#include "tests/helpers/sjis_texts.h"

const COLORREF WHITE = 0xFFFFFF, BLACK = 0x000000, RED = 0x0000FF, BLUE = 0xFF0000, GREEN = 0x00FF00;
const COLORREF GREY = 0x808080, DARK_GREY = 0x404040, LIGHT_GREY = 0xC0C0C0;

// Pen, brush, font, modes, background colour and live objects of a DC: a call leaves them as it found them.
static std::vector<intptr_t> dc_state(HDC dc)
{
    std::vector<intptr_t> state;
    for (int stock : {(int)NULL_PEN, (int)NULL_BRUSH, (int)SYSTEM_FONT}) {  // selecting gives the current one
        HGDIOBJ current = SelectObject(dc, GetStockObject(stock));
        SelectObject(dc, current);
        state.push_back((intptr_t)current);
    }
    COLORREF bk_colour = SetBkColor(dc, 0);
    SetBkColor(dc, bk_colour);
    state.insert(state.end(), {GetBkMode(dc), GetGraphicsMode(dc), (intptr_t)bk_colour, plat_gdi_live_objects()});
    return state;
}

// Each drawing on white, in either graphics mode: its ink box, pixel count and probes; the DC unchanged.
TEST(grp_shapes, ink_box_pixel_count_and_dc_state_per_call_and_one_beep_a_call)
{
    const RECT NONE = {60, 60, -1, -1};
    struct Probe { int x, y; COLORREF colour; };
    struct {  // `count` pixels of `colour`; -1: not counted
        const char* what;
        std::function<void(HDC)> draw;
        RECT ink;
        COLORREF colour;
        int count;
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
        {"wide pen", [](HDC dc) { GrpLineEX(dc, 5, 15, 20, 15, RED, 0, 5, PS_SOLID); }, {3, 13, 23, 17}, RED, -1,
         {{12, 13, RED}, {12, 17, RED}, {12, 10, WHITE}}},
        {"unknown and null pen styles", [](HDC dc) { for (int style : {42, (int)PS_NULL}) GrpLineEX(dc, 5, 15, 20, 15, RED, 0, 0, style); },
         NONE, RED, 0, {}},
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
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        int size = k.ink.right > 59 ? 100 : 60;
        Canvas c(size, size);
        SetGraphicsMode(c.dc, k.mode);
        auto before = dc_state(c.dc);
        k.draw(c.dc);
        EXPECT_TRUE(dc_state(c.dc) == before);
        RECT ink = c.ink(WHITE);
        EXPECT_EQ(std::vector<LONG>({ink.left, ink.top, ink.right, ink.bottom}),
                  std::vector<LONG>({k.ink.left, k.ink.top, k.ink.right, k.ink.bottom}));
        EXPECT_TRUE(k.count < 0 || c.count(k.colour) == k.count) << c.count(k.colour);
        for (const Probe& p : k.probes)
            EXPECT_EQ(c.at(p.x, p.y), p.colour) << p.x << "," << p.y;
    }
    ASSERT_EQ(GetVersion() & 0x80000000u, 0u);  // the NT family: one beep whatever the count
    int before = plat_beep_count();
    GrpBeep(20);
    GrpBeep(0);
    EXPECT_EQ(plat_beep_count(), before + 2);
}

// Pixels of `colour` in the box, on a 0..9 button over green; 1 raised, 3 sunken, 7 framed, 10 nothing.
TEST(grp_button, styles_paint_their_frames_and_shadow_rows)
{
    struct { int style, x0, y0, x1, y1; COLORREF colour; int count; } cases[] = {
        {1, 0, 9, 9, 9, BLACK, 10},      {1, 9, 0, 9, 9, BLACK, 10},      {1, 0, 0, 8, 0, WHITE, 9},
        {1, 0, 0, 0, 8, WHITE, 9},       {1, 1, 8, 8, 8, DARK_GREY, 8},   {1, 8, 1, 8, 8, DARK_GREY, 8},
        {1, 1, 1, 7, 7, LIGHT_GREY, 49}, {1, 10, 10, 11, 11, 0x00FF00, 4}, {2, 9, 9, 9, 9, DARK_GREY, 1},
        {2, 8, 5, 8, 5, GREY, 1},        {4, 0, 0, 0, 0, BLACK, 1},       {4, 1, 5, 1, 5, DARK_GREY, 1},
        {5, 5, 0, 5, 0, DARK_GREY, 1},   {5, 5, 1, 5, 1, GREY, 1},        {6, 1, 5, 1, 5, BLACK, 1},
        {6, 8, 5, 8, 5, BLACK, 1},       {6, 5, 5, 5, 5, LIGHT_GREY, 1},  {8, 8, 5, 8, 5, BLACK, 1},
        {8, 0, 5, 0, 5, WHITE, 1},       {9, 1, 5, 1, 5, BLACK, 1},       {9, 9, 5, 9, 5, WHITE, 1},
        {3, 0, 0, 9, 0, BLACK, 10},      {3, 0, 0, 0, 9, BLACK, 10},      {3, 1, 9, 9, 9, WHITE, 9},
        {3, 9, 1, 9, 9, WHITE, 9},       {3, 0, 0, 11, 11, LIGHT_GREY, 64}, {7, 0, 0, 11, 11, BLACK, 36},
        {7, 0, 0, 11, 11, LIGHT_GREY, 64}, {10, 0, 0, 11, 11, 0x00FF00, 144}, {-1, 0, 0, 11, 11, 0x00FF00, 144}};
    for (const auto& k : cases) {
        Canvas c(12, 12, 0x00FF00);
        auto before = dc_state(c.dc);
        GrpButton(c.dc, 0, 0, 9, 9, LIGHT_GREY, k.style);
        EXPECT_TRUE(dc_state(c.dc) == before) << "style " << k.style;
        EXPECT_EQ(c.count(k.colour, k.x0, k.y0, k.x1, k.y1), k.count) << "style " << k.style << " at " << k.x0 << "," << k.y0;
    }
}

/* Text */

// Width, height, weight, italic, character set, precisions, quality, pitch and family, face of the latest font.
static std::string last_font()
{
    LOGFONTA f{};
    char s[200];
    EXPECT_TRUE(plat_last_font(&f));
    std::snprintf(s, sizeof s, "%d %d %d %d %d %d %d %d %d %s", (int)f.lfWidth, (int)f.lfHeight, (int)f.lfWeight,
                  f.lfItalic, f.lfCharSet, f.lfOutPrecision, f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily,
                  f.lfFaceName);
    return s;
}

TEST(grp_symbol, font_size_from_the_factors_and_parameters_of_each_routine)
{
    Canvas c(400, 80);
    // A factor not above zero, or not a number, gives the base width and half
    // its height; beyond any screen or page the size is held, not wrapped.
    struct { double wf, hf; int width, height; } sizes[] = {
        {1.6, 1.5, 11, 22}, {3.0, 2.6, 21, 39}, {2.2, 2.0, 15, 30}, {4.0, 2.2, 28, 33}, {1.9, 1.6, 13, 24},
        {2.2, 1.2, 15, 18}, {0.0, 2.0, 7, 7},   {2.0, -1.0, 7, 7},  {std::nan(""), 1.0, 7, 7}, {1e300, 1.0, 16384, 15}};
    for (const auto& k : sizes) {
        GrpSymbol(c.dc, "1", 0, 0, k.wf, k.hf, 0, 500, 0, 0, 1, 0x30, FACE_NAKAMARU);
        EXPECT_EQ(last_font(), std::to_string(k.width) + " " + std::to_string(k.height) + " 500 0 128 3 2 2 49 " FACE_NAKAMARU)
            << k.wf << " x " << k.hf;
    }
    GrpSymbol(c.dc, "1", 0, 0, 1.6, 1.5, 0, 500, 1, 0, 1, 0x30, FACE_ARIAL);
    EXPECT_EQ(last_font(), "11 22 500 1 128 3 2 2 49 " FACE_ARIAL);
    GrpPrint(c.dc, "1", 0, 0, 1.6, 1.5, 0, 0x20);
    EXPECT_EQ(last_font(), "11 22 500 0 128 3 2 2 33 MSMINCHO");
    GrpPrnFnt(c.dc, "1", 0, 0, 0, WHITE, 1, FACE_GOTHIC);
    EXPECT_EQ(last_font(), "11 22 300 0 128 3 2 2 49 " FACE_GOTHIC);
}

// The background mode is set back, the colours left; an empty text makes its font and draws nothing.
TEST(grp_symbol, background_mode_restored_text_and_cell_colours_left_and_empty_text_draws_nothing)
{
    Canvas c(200, 40);
    for (int mode : {OPAQUE, TRANSPARENT}) {
        SetBkMode(c.dc, mode);
        auto before = dc_state(c.dc);
        GrpSymbol(c.dc, "12", 0, 0, 1.6, 1.5, RED, 500, 0, 0, 1, 0x30, FACE_GOTHIC);
        EXPECT_TRUE(dc_state(c.dc) == before) << mode;
        EXPECT_EQ(SetTextColor(c.dc, 0), RED);
    }
    EXPECT_LT(c.count(WHITE), 200 * 40);
    Canvas e(50, 30);
    auto before = dc_state(e.dc);
    GrpSymbol(e.dc, "", 0, 0, 2.0, 2.0, BLUE, 500, 0, 0, 1, 0x30, FACE_GOTHIC);
    EXPECT_EQ(last_font().substr(0, 6), "14 30 ");
    EXPECT_TRUE(dc_state(e.dc) == before);
    EXPECT_EQ(SetTextColor(e.dc, 0), BLUE);
    EXPECT_EQ(e.count(WHITE), 50 * 30);
    Canvas x(100, 40);  // GrpSymbolEx paints the cell and leaves its background colour
    SetBkMode(x.dc, TRANSPARENT);
    SelectObject(x.dc, SelectObject(x.dc, GetStockObject(SYSTEM_FONT)));
    int live = plat_gdi_live_objects();
    GrpSymbolEx(x.dc, "12", 10, 5, 1.6, 1.5, RED, BLUE, 500, 0, 0, 1, 0x30, FACE_GOTHIC);
    EXPECT_EQ(GetBkMode(x.dc), TRANSPARENT);
    EXPECT_EQ(SetBkColor(x.dc, WHITE), BLUE);  // left as the call set it
    EXPECT_EQ(plat_gdi_live_objects(), live);
    RECT ink = x.ink(WHITE);
    EXPECT_EQ(std::vector<LONG>({ink.left, ink.top, ink.right, ink.bottom}), std::vector<LONG>({10, 5, 31, 26}));
    EXPECT_EQ(x.at(10, 5), BLUE);
}

// A field's background is a pixel wider than its cells and 23 high; lengths are held at 51, below 1 nothing.
TEST(fields, background_one_pixel_wider_than_the_cells_and_lengths_held)
{
    Canvas c(700, 100);
    auto before = dc_state(c.dc);
    GrpPrnAtt(c.dc, "     ", 2, 3, RED, BLUE, 5, 0);
    EXPECT_TRUE(dc_state(c.dc) == before);
    EXPECT_EQ(c.count(BLUE), 56 * 23);
    EXPECT_EQ(c.count(BLUE, 33, 52, 88, 74), 56 * 23);
    std::vector<char> text{'A', 'B', '\0'};  // exactly sized: an overread would be caught
    GrpPrnAtt(c.dc, text.data(), 0, 0, RED, BLUE, 60, 0);
    EXPECT_EQ(std::vector<COLORREF>({c.at(51 * 11, 0), c.at(51 * 11 + 1, 0)}), std::vector<COLORREF>({BLUE, WHITE}));
    Canvas none(100, 30);
    GrpPrnAtt(none.dc, "AB", 0, 0, RED, BLUE, 0, 0);
    GrpPrnFnt(none.dc, "AB", 0, 0, RED, BLUE, -5, FACE_GOTHIC);
    EXPECT_EQ(none.count(WHITE), 100 * 30);
}

// Each numeric routine's field against the expected characters drawn as a field.
TEST(numeric_fields, right_aligned_cut_held_and_starred)
{
    enum { D, F, FNT_D, FNT_F };
    struct { int routine; double value; int width, decimals; const char* field; } cases[] = {
        {D, 1234, 6, 0, "  1234"}, {D, -56, 4, 0, " -56"}, {D, 1234567, 4, 0, "1234"},
        {D, -2147483648.0, 20, 0, "         -2147483648"}, {D, 7, 25, 0, "                   7"},
        {F, 3.14159, 8, 2, "    3.14"}, {F, -3.14159, 8, 2, "   -3.14"}, {F, 0.05, 6, 3, " 0.050"},
        {F, 2.5, 5, 0, "   2."}, {F, 12345.0, 4, 1, "****"}, {F, 1e300, 19, 2, "*******************"},
        {F, std::nan(""), 5, 1, "*****"}, {F, 1e-30, 6, 2, "  0.00"}, {F, 1.5, 40, 1, "                1.5"},
        {FNT_D, -56, 4, 0, "  56"}, {FNT_D, 1234, 6, 0, "  1234"}, {FNT_D, 123456, 4, 0, "****"},
        {FNT_D, 5, 30, 0, "           5"}, {FNT_F, 3.14159, 6, 2, "  3.14"}, {FNT_F, -2.5, 5, 1, "  2.5"},
        {FNT_F, 3.14159, 6, 9, "******"}, {FNT_F, 1e30, 12, 0, "************"},
    };
    for (const auto& k : cases) {
        Canvas drawn(600, 80), expected(600, 80);
        switch (k.routine) {
        case D: GrpPrintD(drawn.dc, (int)k.value, k.width, 1, 2, RED, GREEN, 0); break;
        case F: GrpPrintF(drawn.dc, k.value, k.width, k.decimals, 1, 2, RED, GREEN, 0); break;
        case FNT_D: GrpPrnFntD(drawn.dc, (int)k.value, k.width, 1, 2, RED, GREEN, FACE_GOTHIC); break;
        default: GrpPrnFntF(drawn.dc, k.value, k.width, k.decimals, 1, 2, RED, GREEN, FACE_GOTHIC);
        }
        if (k.routine >= FNT_D)
            GrpPrnFnt(expected.dc, k.field, 1, 2, RED, GREEN, (int)std::strlen(k.field), FACE_GOTHIC);
        else
            GrpPrnAtt(expected.dc, k.field, 1, 2, RED, GREEN, (int)std::strlen(k.field), 0);
        EXPECT_EQ(drawn.pixels(), expected.pixels()) << k.routine << ": " << k.value << " as \"" << k.field << '"';
    }
}

// Text lies on the character grid, in the proportional Arial as in the Japanese faces (the keypad's labels).
TEST(grp_symbol, half_width_characters_take_the_width_asked_for)
{
    for (const char* face : {"Arial", FACE_NAKAMARU}) {
        Canvas c(200, 40), plus(200, 40);
        GrpSymbol(c.dc, "1  2  3  +", 0, 0, 2.2, 2.0, 0, 500, 0, 0, 1, 0x30, face);
        GrpSymbol(plus.dc, "+", 135, 0, 2.2, 2.0, 0, 500, 0, 0, 1, 0x30, face);
        RECT all = c.ink(WHITE), last = plus.ink(WHITE);
        EXPECT_EQ(all.right, last.right) << face;  // the "+" ends where it would alone at cell 9
        EXPECT_GE(last.left, 135) << face;
    }
}
