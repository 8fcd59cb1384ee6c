// Text output of the support library: free text in a font made for the one
// call, and fixed-width fields on the character grid.
//
// Each call creates its font, selects it, draws, selects back the previous
// font and deletes its own. The text colour is left at the colour of the
// last text drawn; GrpSymbolEx also leaves its background colour. The
// background mode is set back to what it was.
//
// Field widths beyond the work areas' limits are held at the limit (51
// bytes for GrpPrnAtt and GrpPrnFnt, 20 characters for GrpPrintD, 19 for
// GrpPrintF, 12 for GrpPrnFntD and GrpPrnFntF); a width below 1 draws
// nothing. A field copies its text only up to the text's terminator. A
// number that cannot be shown in its field (GrpPrintF with too long an
// integer part, GrpPrnFntD and GrpPrnFntF when BinToAscii refuses it) is
// drawn as a row of "*" of the field's width.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/ghl3000.h"
#include "support/grp_internal.h"

namespace {

const char* const PRINT_FACE = "MSMINCHO";
const double FIELD_WF = 1.6, FIELD_HF = 1.5;  // one grid cell, 11 x 22
// Longer sides than any screen or page holds; a larger product of the
// factors is held here so the size stays an int.
const double MAX_FONT_SIZE = 16384.0;

enum { COPY_AREA = 52, PRINTD_AREA = 20, PRINTF_AREA = 20, FNT_AREA = 12 };

// The size of the base cell of 7 x 15 device pixels in logical units.
void base_cell(HDC hdc, int* width, int* height)
{
    POINT p[2] = {{1, 1}, {8, 16}};
    DPtoLP(hdc, p, 2);
    *width = std::abs(p[1].x - p[0].x);
    *height = std::abs(p[1].y - p[0].y);
}

int scaled(int base, double factor)
{
    return (int)std::min(base * factor, MAX_FONT_SIZE);
}

struct TextStyle {
    int weight, italic, underline, pitch_family;
    const char* face;
};

// Draws `text` at (x, y) in a font of the factors' size. `bk_mode` is the
// background mode to draw in (TRANSPARENT or OPAQUE with `bk_colour`).
void draw_text(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
               const TextStyle& style, int bk_mode, int bk_colour)
{
    int length = text ? (int)std::strlen(text) : 0;
    int bw, bh, width, height;
    base_cell(hdc, &bw, &bh);
    if (wf > 0.0 && hf > 0.0) {
        width = scaled(bw, wf);
        height = scaled(bh, hf);
    } else {  // not positive, or not a number
        width = bw;
        height = bh / 2;
    }
    HFONT font = CreateFontA(height, width, 0, 0, style.weight, style.italic, style.underline, 0,
                             SHIFTJIS_CHARSET, 3, 2, 2, style.pitch_family, style.face);
    HGDIOBJ old_font = SelectObject(hdc, font);
    int old_mode = GetBkMode(hdc);
    if (old_mode != bk_mode)
        SetBkMode(hdc, bk_mode);
    if (bk_mode == OPAQUE)
        SetBkColor(hdc, (COLORREF)bk_colour);
    SetTextColor(hdc, (COLORREF)colour);
    TextOutA(hdc, x, y, text, length);
    SelectObject(hdc, old_font);
    DeleteObject(font);
    if (old_mode != bk_mode)
        SetBkMode(hdc, old_mode);
}

TextStyle print_style(int family)
{
    return {500, 0, 0, family | 1, PRINT_FACE};
}

int grid_x(int column)
{
    return grp_clamp((int64_t)column * GRP_CELL_W);
}

int grid_y(int row)
{
    return grp_clamp((int64_t)row * GRP_CELL_H);
}

// Paints the background of a field of n cells: columns x..x+11n, rows
// y..y+22 (one pixel wider than the cells, 23 pixels high).
void field_background(HDC hdc, int row, int column, int n, int bk_colour)
{
    int x = grid_x(column), y = grid_y(row);
    GrpLine(hdc, x, y, grp_clamp((int64_t)x + (int64_t)n * GRP_CELL_W), grp_clamp((int64_t)y + 22),
            bk_colour, 2);
}

void field_print(HDC hdc, const char* text, int row, int column, int colour, int family)
{
    GrpPrint(hdc, text, grid_x(column), grid_y(row), FIELD_WF, FIELD_HF, colour, family);
}

void overflow_mark(char* area, int width)
{
    std::memset(area, '*', (size_t)width);
    area[width] = '\0';
}

// Copies at most `length` bytes of text, stopping at its terminator.
void copy_field(char* area, const char* text, int length)
{
    size_t n = text ? strnlen(text, (size_t)length) : 0;
    std::memcpy(area, text ? text : "", n);
    area[n] = '\0';
}

// The text fields: `length` bytes of the text (at most 51) copied into the
// library's copy area, and the field's background painted. Null, and
// nothing painted, for a length below 1.
const char* text_field(HDC hdc, const char* text, int row, int column, int length,
                       int bkcolour)
{
    static char copy[COPY_AREA];
    if (length < 1)
        return nullptr;
    length = std::min(length, COPY_AREA - 1);
    copy_field(copy, text, length);
    field_background(hdc, row, column, length, bkcolour);
    return copy;
}

}  // namespace

void GrpSymbol(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
               int weight, int italic, int underline, int pitch, int family, const char* face)
{
    draw_text(hdc, text, x, y, wf, hf, colour, {weight, italic, underline, pitch | family, face},
              TRANSPARENT, 0);
}

void GrpSymbolEx(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
                 int bkcolour, int weight, int italic, int underline, int pitch, int family,
                 const char* face)
{
    draw_text(hdc, text, x, y, wf, hf, colour, {weight, italic, underline, pitch | family, face},
              OPAQUE, bkcolour);
}

void GrpPrint(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
              int family)
{
    draw_text(hdc, text, x, y, wf, hf, colour, print_style(family), TRANSPARENT, 0);
}

void GrpPrnAtt(HDC hdc, const char* text, int row, int column, int colour, int bkcolour,
               int length, int family)
{
    if (const char* copy = text_field(hdc, text, row, column, length, bkcolour))
        field_print(hdc, copy, row, column, colour, family);
}

void GrpPrnFnt(HDC hdc, const char* text, int row, int column, int colour, int bkcolour,
               int length, const char* face)
{
    const char* copy = text_field(hdc, text, row, column, length, bkcolour);
    if (copy)
        draw_text(hdc, copy, grid_x(column), grid_y(row), FIELD_WF, FIELD_HF, colour,
                  {300, 0, 0, FIXED_PITCH | FF_MODERN, face}, TRANSPARENT, 0);
}

// Right-aligned decimal; a number longer than the field keeps its first
// `width` characters.
void GrpPrintD(HDC hdc, int value, int width, int row, int column, int colour, int bkcolour,
               int family)
{
    static char out[40];
    char digits[PRINTD_AREA];
    if (width < 1)
        return;
    width = std::min(width, (int)PRINTD_AREA);
    std::memset(out, ' ', PRINTD_AREA);
    int length = std::snprintf(digits, sizeof digits, "%d", value);
    int start = std::max(width - length, 0);
    std::memcpy(out + start, digits, (size_t)length + 1);
    field_background(hdc, row, column, width, bkcolour);
    out[width] = '\0';
    field_print(hdc, out, row, column, colour, family);
}

namespace {

// `value` to `width` significant digits (rounded in the last), the position
// of the decimal point relative to the first digit, and the sign.
void significant_digits(double value, int width, char* digits, int* point, bool* negative)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", width - 1, std::fabs(value));
    int n = 0;
    const char* p = text;
    for (; *p && *p != 'e'; p++)
        if (*p >= '0' && *p <= '9')
            digits[n++] = *p;
    digits[n] = '\0';
    *point = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
    *negative = std::signbit(value);
}

// Fixed-point text of `value` with the point at position width-decimals-1,
// `decimals` digits after it (cut, not rounded, after the significant
// digits' own rounding). False when the integer part and sign do not fit
// in front of the point.
bool fixed_point(double value, int width, int decimals, char* out)
{
    if (!std::isfinite(value))
        return false;
    char digits[PRINTF_AREA + 1];
    int point;
    bool negative;
    significant_digits(value, width, digits, &point, &negative);
    if (point > width)
        return false;
    // W: the digits with their point; E: its first `width` characters with the sign.
    char w[64], e[64];
    if (point < 1) {
        // A value below 1: "0.", the zeros after the point, then the digits.
        int zeros = std::min(-point, 40);
        std::snprintf(w, sizeof w, "0.%.*s%s", zeros, "0000000000000000000000000000000000000000",
                      digits);
    } else {
        std::snprintf(w, sizeof w, "%.*s.%s", point, digits, digits + point);
    }
    std::snprintf(e, sizeof e, "%s%.*s", negative ? "-" : "", width, w);
    const char* dot = std::strchr(e, '.');
    int k = width - decimals - 1;
    if (!dot || k - (dot - e) < 0)
        return false;
    std::memset(out, ' ', (size_t)width);
    int start = k - (int)(dot - e);
    for (int i = 0; e[i] && start + i < width; i++)
        out[start + i] = e[i];
    out[width] = '\0';
    return true;
}

}  // namespace

void GrpPrintF(HDC hdc, double value, int width, int decimals, int row, int column, int colour,
               int bkcolour, int family)
{
    static char out[PRINTF_AREA];
    if (width < 1)
        return;
    width = std::min(width, PRINTF_AREA - 1);
    decimals = std::clamp(decimals, 0, std::max(width - 2, 0));
    if (!fixed_point(value, width, decimals, out))
        overflow_mark(out, width);
    field_background(hdc, row, column, width, bkcolour);
    field_print(hdc, out, row, column, colour, family);
}

namespace {

// A number converted by BinToAscii (no sign position, blank fill,
// right-aligned) and drawn with GrpPrnFnt; a refused number shows as "*".
void number_field(HDC hdc, const char* type, const void* value, int width, int decimals, int row,
                  int column, int colour, int bkcolour, const char* face)
{
    char area[FNT_AREA + 1];
    if (width < 1)
        return;
    width = std::min(width, (int)FNT_AREA);
    if (BinToAscii(type, width, decimals, "0000", value, area) != BTA_OK)
        overflow_mark(area, width);
    GrpPrnFnt(hdc, area, row, column, colour, bkcolour, width, face);
}

}  // namespace

void GrpPrnFntD(HDC hdc, int value, int width, int row, int column, int colour, int bkcolour,
                const char* face)
{
    int32_t number = value;
    number_field(hdc, "LN", &number, width, 0, row, column, colour, bkcolour, face);
}

void GrpPrnFntF(HDC hdc, double value, int width, int decimals, int row, int column, int colour,
                int bkcolour, const char* face)
{
    number_field(hdc, "DB", &value, width, decimals, row, column, colour, bkcolour, face);
}
