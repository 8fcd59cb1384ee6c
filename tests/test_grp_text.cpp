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

// GrpPrnAtt of exactly the expected characters: the field a numeric
// routine must have drawn.
std::vector<COLORREF> field_of(const char* expected)
{
    return after([&](HDC dc) { GrpPrnAtt(dc, expected, 1, 2, RED, GREEN, (int)std::strlen(expected), 0); });
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
    GrpSymbol(c.dc, "1", 0, 0, 1.6, 1.5, 0, 500, 1, 0, 1, 0x30, FACE_ARIAL);
    LOGFONTA f = last_font();
    EXPECT_EQ(f.lfWeight, 500);
    EXPECT_EQ(f.lfItalic, 1);
    EXPECT_EQ(f.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(f.lfOutPrecision, 3);
    EXPECT_EQ(f.lfClipPrecision, 2);
    EXPECT_EQ(f.lfQuality, 2);
    EXPECT_EQ(f.lfPitchAndFamily, 0x31);
    EXPECT_STREQ(f.lfFaceName, FACE_ARIAL);

    GrpPrint(c.dc, "1", 0, 0, 1.6, 1.5, 0, 0x20);
    f = last_font();
    EXPECT_EQ(f.lfWeight, 500);
    EXPECT_EQ(f.lfPitchAndFamily, 0x21);
    EXPECT_STREQ(f.lfFaceName, "MSMINCHO");

    GrpPrnFnt(c.dc, "1", 0, 0, 0, WHITE, 1, FACE_GOTHIC);
    f = last_font();
    EXPECT_EQ(f.lfWeight, 300);
    EXPECT_EQ(f.lfPitchAndFamily, 0x31);
    EXPECT_EQ(f.lfWidth, 11);
    EXPECT_EQ(f.lfHeight, 22);
    EXPECT_STREQ(f.lfFaceName, FACE_GOTHIC);
}

TEST(grp_symbol, background_mode_restored_and_text_colour_left)
{
    Canvas c(200, 40);
    for (int mode : {OPAQUE, TRANSPARENT}) {
        SetBkMode(c.dc, mode);
        DcState before(c.dc);
        GrpSymbol(c.dc, "12", 0, 0, 1.6, 1.5, RED, 500, 0, 0, 1, 0x30, FACE_GOTHIC);
        EXPECT_TRUE(DcState(c.dc) == before) << mode;
        EXPECT_EQ(SetTextColor(c.dc, 0), RED);
    }
    EXPECT_EQ(c.count(WHITE, 0, 0, 199, 39) < 200 * 40, true);
}

TEST(grp_symbol, zero_length_text_draws_nothing_but_sets_the_colour)
{
    Canvas c(50, 30);
    int live = plat_gdi_live_objects();
    GrpSymbol(c.dc, "", 0, 0, 2.0, 2.0, BLUE, 500, 0, 0, 1, 0x30, FACE_GOTHIC);
    EXPECT_EQ(last_font().lfHeight, 30);  // a font was made for it
    EXPECT_EQ(plat_gdi_live_objects(), live);
    EXPECT_EQ(SetTextColor(c.dc, 0), BLUE);
    EXPECT_EQ(c.count(WHITE), 50 * 30);
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

TEST(grp_print_d, right_aligned_and_cut_to_the_field)
{
    auto d = [](int value, int width) {
        return after([&](HDC dc) { GrpPrintD(dc, value, width, 1, 2, RED, GREEN, 0); });
    };
    EXPECT_EQ(d(1234, 6), field_of("  1234"));
    EXPECT_NE(d(1234, 6), field_of("1234  "));  // the comparison sees the placement
    EXPECT_EQ(d(-56, 4), field_of(" -56"));
    EXPECT_EQ(d(1234567, 4), field_of("1234"));
    EXPECT_EQ(d(-2147483647 - 1, 20), field_of("         -2147483648"));
    EXPECT_EQ(d(7, 25), field_of("                   7"));  // held at 20
}

TEST(grp_print_f, fixed_point_fields_and_the_overflow_mark)
{
    auto f = [](double value, int width, int decimals) {
        return after([&](HDC dc) { GrpPrintF(dc, value, width, decimals, 1, 2, RED, GREEN, 0); });
    };
    EXPECT_EQ(f(3.14159, 8, 2), field_of("    3.14"));
    EXPECT_EQ(f(-3.14159, 8, 2), field_of("   -3.14"));
    EXPECT_EQ(f(0.05, 6, 3), field_of(" 0.050"));
    EXPECT_EQ(f(2.5, 5, 0), field_of("   2."));
    EXPECT_EQ(f(12345.0, 4, 1), field_of("****"));
    EXPECT_EQ(f(1e300, 19, 2), field_of("*******************"));
    EXPECT_EQ(f(std::numeric_limits<double>::quiet_NaN(), 5, 1), field_of("*****"));
    EXPECT_EQ(f(1e-30, 6, 2), field_of("  0.00"));
    EXPECT_EQ(f(1.5, 40, 1), f(1.5, 19, 1));  // width held at 19
}

TEST(grp_prn_fnt_numbers, no_sign_position_and_stars_when_refused)
{
    auto fnt = [](const char* expected) {
        return after([&](HDC dc) {
            GrpPrnFnt(dc, expected, 1, 2, RED, GREEN, (int)std::strlen(expected), FACE_GOTHIC);
        });
    };
    auto d = [](int value, int width) {
        return after([&](HDC dc) { GrpPrnFntD(dc, value, width, 1, 2, RED, GREEN, FACE_GOTHIC); });
    };
    auto f = [](double value, int width, int decimals) {
        return after(
            [&](HDC dc) { GrpPrnFntF(dc, value, width, decimals, 1, 2, RED, GREEN, FACE_GOTHIC); });
    };
    EXPECT_EQ(d(-56, 4), fnt("  56"));
    EXPECT_EQ(d(1234, 6), fnt("  1234"));
    EXPECT_EQ(d(123456, 4), fnt("****"));
    EXPECT_EQ(d(5, 30), fnt("           5"));  // held at 12
    EXPECT_EQ(f(3.14159, 6, 2), fnt("  3.14"));
    EXPECT_EQ(f(-2.5, 5, 1), fnt("  2.5"));
    EXPECT_EQ(f(3.14159, 6, 9), fnt("******"));  // decimals beyond 8 are refused
    EXPECT_EQ(f(1e30, 12, 0), fnt("************"));
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
