// Text routines of the support library: font sizes, device-context state
// after each call, and the fields on the character grid.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "support/ghl3000.h"
#include "tests/helpers/canvas.h"
#include "tests/helpers/sjis_texts.h"

namespace {

const COLORREF WHITE = 0xFFFFFF, RED = 0x0000FF, BLUE = 0xFF0000, GREEN = 0x00FF00;

LOGFONTA last_font()
{
    LOGFONTA f{};
    EXPECT_TRUE(plat_last_font(&f));
    return f;
}

void symbol(HDC dc, const char* text, double wf, double hf)
{
    GrpSymbol(dc, text, 0, 0, wf, hf, 0, 500, 0, 0, 1, 0x30, FACE_NAKAMARU);
}

// The pixels of a 600 x 80 white canvas after `draw`.
template <class Draw>
std::vector<COLORREF> after(Draw draw)
{
    Canvas c(600, 80);
    draw(c.dc);
    return c.pixels();
}

}  // namespace

TEST(grp_symbol, font_size_from_the_factors)
{
    Canvas c(10, 10);
    struct Case {
        double wf, hf;
        int width, height;
    } cases[] = {
        {1.6, 1.5, 11, 22}, {3.0, 2.6, 21, 39}, {2.2, 2.0, 15, 30}, {4.0, 2.2, 28, 33},
        {1.9, 1.6, 13, 24}, {2.2, 1.2, 15, 18},
        // A factor not above zero, or not a number, gives the base width and half its height.
        {0.0, 2.0, 7, 7},   {2.0, -1.0, 7, 7},  {std::nan(""), 1.0, 7, 7},
        // Beyond any screen or page: held, not wrapped.
        {1e300, 1.0, 16384, 15},
    };
    for (const Case& k : cases) {
        symbol(c.dc, "1", k.wf, k.hf);
        LOGFONTA f = last_font();
        EXPECT_EQ(f.lfWidth, k.width) << k.wf << " x " << k.hf;
        EXPECT_EQ(f.lfHeight, k.height) << k.wf << " x " << k.hf;
    }
}

TEST(grp_symbol, font_parameters_of_each_routine)
{
    Canvas c(400, 80);
    auto font = [] {
        LOGFONTA f = last_font();
        return std::vector<int>({(int)f.lfWidth, (int)f.lfHeight, (int)f.lfWeight, f.lfItalic, f.lfCharSet,
                                 f.lfOutPrecision, f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily});
    };
    GrpSymbol(c.dc, "1", 0, 0, 1.6, 1.5, 0, 500, 1, 0, 1, 0x30, FACE_ARIAL);
    EXPECT_EQ(font(), std::vector<int>({11, 22, 500, 1, SHIFTJIS_CHARSET, 3, 2, 2, 0x31}));
    EXPECT_STREQ(last_font().lfFaceName, FACE_ARIAL);
    GrpPrint(c.dc, "1", 0, 0, 1.6, 1.5, 0, 0x20);
    EXPECT_EQ(font(), std::vector<int>({11, 22, 500, 0, SHIFTJIS_CHARSET, 3, 2, 2, 0x21}));
    EXPECT_STREQ(last_font().lfFaceName, "MSMINCHO");
    GrpPrnFnt(c.dc, "1", 0, 0, 0, WHITE, 1, FACE_GOTHIC);
    EXPECT_EQ(font(), std::vector<int>({11, 22, 300, 0, SHIFTJIS_CHARSET, 3, 2, 2, 0x31}));
    EXPECT_STREQ(last_font().lfFaceName, FACE_GOTHIC);
}

TEST(grp_symbol, background_mode_restored_text_colour_left_and_empty_text_draws_nothing)
{
    Canvas c(200, 40);
    for (int mode : {OPAQUE, TRANSPARENT}) {
        SetBkMode(c.dc, mode);
        DcState before(c.dc);
        GrpSymbol(c.dc, "12", 0, 0, 1.6, 1.5, RED, 500, 0, 0, 1, 0x30, FACE_GOTHIC);
        EXPECT_TRUE(DcState(c.dc) == before) << mode;
        EXPECT_EQ(SetTextColor(c.dc, 0), RED);
    }
    EXPECT_LT(c.count(WHITE), 200 * 40);
    Canvas e(50, 30);
    DcState before(e.dc);
    GrpSymbol(e.dc, "", 0, 0, 2.0, 2.0, BLUE, 500, 0, 0, 1, 0x30, FACE_GOTHIC);
    EXPECT_EQ(last_font().lfHeight, 30);  // a font was made for it
    EXPECT_TRUE(DcState(e.dc) == before);
    EXPECT_EQ(SetTextColor(e.dc, 0), BLUE);
    EXPECT_EQ(e.count(WHITE), 50 * 30);
}

TEST(grp_symbol_ex, paints_the_cell_and_restores_a_transparent_dc)
{
    Canvas c(100, 40);
    SetBkMode(c.dc, TRANSPARENT);
    HGDIOBJ font = SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(c.dc, font);
    int live = plat_gdi_live_objects();
    GrpSymbolEx(c.dc, "12", 10, 5, 1.6, 1.5, RED, BLUE, 500, 0, 0, 1, 0x30, FACE_GOTHIC);
    EXPECT_EQ(GetBkMode(c.dc), TRANSPARENT);
    EXPECT_EQ(SetBkColor(c.dc, WHITE), BLUE);  // left as the call set it
    EXPECT_EQ(plat_gdi_live_objects(), live);
    RECT ink = c.ink(WHITE);
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.top, 5);
    EXPECT_EQ(ink.right, 10 + 22 - 1);
    EXPECT_EQ(ink.bottom, 5 + 22 - 1);
    EXPECT_EQ(c.at(10, 5), BLUE);
}

TEST(fields, background_one_pixel_wider_than_the_cells_and_23_high)
{
    Canvas c(200, 100);
    DcState before(c.dc);
    GrpPrnAtt(c.dc, "     ", 2, 3, RED, BLUE, 5, 0);
    EXPECT_TRUE(DcState(c.dc) == before);
    EXPECT_EQ(c.count(BLUE), 56 * 23);
    EXPECT_EQ(c.count(BLUE, 33, 52, 88, 74), 56 * 23);
}

TEST(fields, lengths_beyond_the_work_area_are_held_at_51_and_short_texts_are_not_overread)
{
    Canvas c(700, 30);
    std::vector<char> text{'A', 'B', '\0'};  // exactly sized: an overread would be caught
    GrpPrnAtt(c.dc, text.data(), 0, 0, RED, BLUE, 60, 0);
    EXPECT_EQ(c.at(51 * 11, 0), BLUE);
    EXPECT_EQ(c.at(51 * 11 + 1, 0), WHITE);
    Canvas none(100, 30);
    GrpPrnAtt(none.dc, "AB", 0, 0, RED, BLUE, 0, 0);
    GrpPrnFnt(none.dc, "AB", 0, 0, RED, BLUE, -5, FACE_GOTHIC);
    EXPECT_EQ(none.count(WHITE), 100 * 30);
}

// Each numeric routine's field against the same field drawn from the
// expected characters; GrpPrnFnt's routines keep no sign position and
// write stars where the number is refused.
TEST(numeric_fields, right_aligned_cut_held_and_starred)
{
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    enum { D, F, FNT_D, FNT_F };
    struct Case { int routine; double value; int width, decimals; const char* field; } cases[] = {
        {D, 1234, 6, 0, "  1234"}, {D, -56, 4, 0, " -56"}, {D, 1234567, 4, 0, "1234"},
        {D, -2147483648.0, 20, 0, "         -2147483648"}, {D, 7, 25, 0, "                   7"},
        {F, 3.14159, 8, 2, "    3.14"}, {F, -3.14159, 8, 2, "   -3.14"}, {F, 0.05, 6, 3, " 0.050"},
        {F, 2.5, 5, 0, "   2."}, {F, 12345.0, 4, 1, "****"}, {F, 1e300, 19, 2, "*******************"},
        {F, NaN, 5, 1, "*****"}, {F, 1e-30, 6, 2, "  0.00"}, {F, 1.5, 40, 1, "                1.5"},
        {FNT_D, -56, 4, 0, "  56"}, {FNT_D, 1234, 6, 0, "  1234"}, {FNT_D, 123456, 4, 0, "****"},
        {FNT_D, 5, 30, 0, "           5"}, {FNT_F, 3.14159, 6, 2, "  3.14"}, {FNT_F, -2.5, 5, 1, "  2.5"},
        {FNT_F, 3.14159, 6, 9, "******"}, {FNT_F, 1e30, 12, 0, "************"},
    };
    for (const Case& k : cases) {
        bool fnt = k.routine >= FNT_D;
        auto drawn = after([&](HDC dc) {
            switch (k.routine) {
            case D: GrpPrintD(dc, (int)k.value, k.width, 1, 2, RED, GREEN, 0); break;
            case F: GrpPrintF(dc, k.value, k.width, k.decimals, 1, 2, RED, GREEN, 0); break;
            case FNT_D: GrpPrnFntD(dc, (int)k.value, k.width, 1, 2, RED, GREEN, FACE_GOTHIC); break;
            default: GrpPrnFntF(dc, k.value, k.width, k.decimals, 1, 2, RED, GREEN, FACE_GOTHIC);
            }
        });
        auto expected = after([&](HDC dc) {
            int n = (int)std::strlen(k.field);
            if (fnt)
                GrpPrnFnt(dc, k.field, 1, 2, RED, GREEN, n, FACE_GOTHIC);
            else
                GrpPrnAtt(dc, k.field, 1, 2, RED, GREEN, n, 0);
        });
        EXPECT_EQ(drawn, expected) << k.routine << ": " << k.value << " as \"" << k.field << '"';
    }
}

// A font asked for with a width lays its text on the character grid: in the
// keypad's "1  2  3  +" every key label starts three cells after the last,
// in the proportional "Arial" as in the Japanese faces.
TEST(grp_symbol, half_width_characters_take_the_width_asked_for)
{
    for (const char* face : {"Arial", FACE_NAKAMARU}) {
        Canvas c(200, 40);
        GrpSymbol(c.dc, "1  2  3  +", 0, 0, 2.2, 2.0, 0, 500, 0, 0, 1, 0x30, face);
        Canvas plus(200, 40);
        GrpSymbol(plus.dc, "+", 135, 0, 2.2, 2.0, 0, 500, 0, 0, 1, 0x30, face);
        RECT all = c.ink(WHITE), last = plus.ink(WHITE);
        EXPECT_EQ(all.right, last.right) << face;  // the "+" ends where it would alone at cell 9
        EXPECT_GE(last.left, 135) << face;
    }
}
