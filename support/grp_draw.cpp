// Drawing primitives of the support library: lines, outlines, filled
// rectangles, ellipses, rounded boxes, boundary fills, the cursor bar and
// the warning beep.
//
// Every routine creates the pen and brush it needs, selects them, draws,
// selects back what was current and deletes what it created, so a device
// context leaves a call with the pen and brush it came with. Coordinates
// that would pass the int range when a routine adds its one-pixel step are
// held at the range's end rather than wrapping round.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "support/ghl3000.h"
#include "support/grp_internal.h"

int grp_clamp(int64_t v)
{
    return (int)std::clamp<int64_t>(v, INT_MIN, INT_MAX);
}

namespace {

// Puts the first corner at the top left, as the rectangle forms require.
void order_corners(int& x1, int& y1, int& x2, int& y2)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
}

// The right or bottom edge handed to Rectangle, Ellipse and RoundRect: one
// past the last pixel in the compatible graphics mode, the last pixel
// itself in the advanced mode.
int shape_edge(HDC hdc, int64_t last)
{
    return grp_clamp(GetGraphicsMode(hdc) == GM_ADVANCED ? last : last + 1);
}

// Line from (x1, y1) to (x2, y2) with both end points: the third point makes
// the platform's polyline, which leaves out its last point, draw the end.
void line(HDC hdc, int x1, int y1, int x2, int y2, COLORREF colour, int width, int style)
{
    HPEN pen = CreatePen(style, width, colour);
    if (!pen)
        return;
    HGDIOBJ old_pen = SelectObject(hdc, pen);
    POINT third = GetMapMode(hdc) == MM_TEXT ? POINT{grp_clamp((int64_t)x2 + 1), y2}
                                             : POINT{x1, y1};
    POINT points[3] = {{x1, y1}, {x2, y2}, third};
    Polyline(hdc, points, 3);
    SelectObject(hdc, old_pen);
    DeleteObject(pen);
}

void outline(HDC hdc, int x1, int y1, int x2, int y2, COLORREF colour)
{
    HGDIOBJ old_brush = SelectObject(hdc, GetStockObject(HOLLOW_BRUSH));
    HPEN pen = CreatePen(PS_SOLID, 0, colour);
    HGDIOBJ old_pen = SelectObject(hdc, pen);
    order_corners(x1, y1, x2, y2);
    Rectangle(hdc, x1, y1, shape_edge(hdc, x2), shape_edge(hdc, y2));
    SelectObject(hdc, old_pen);
    SelectObject(hdc, old_brush);
    DeleteObject(pen);
}

void filled(HDC hdc, int x1, int y1, int x2, int y2, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ old_brush = SelectObject(hdc, brush);
    order_corners(x1, y1, x2, y2);
    RECT rect;
    SetRect(&rect, x1, y1, grp_clamp((int64_t)x2 + 1), grp_clamp((int64_t)y2 + 1));
    FillRect(hdc, &rect, brush);
    SelectObject(hdc, old_brush);
    DeleteObject(brush);
}

void line_shape(HDC hdc, int x1, int y1, int x2, int y2, int colour, int mode, int width,
                int style)
{
    switch (mode) {
    case 0: line(hdc, x1, y1, x2, y2, (COLORREF)colour, width, style); break;
    case 1: outline(hdc, x1, y1, x2, y2, (COLORREF)colour); break;
    case 2: filled(hdc, x1, y1, x2, y2, (COLORREF)colour); break;
    default: break;
    }
}

// The interior brush of GrpCircle and GrpBox: hollow for fill mode 0, the
// colour for 1. Any other fill mode keeps the brush the DC already has.
HBRUSH fill_brush(int fill, int colour)
{
    return fill == 1 ? CreateSolidBrush((COLORREF)colour) : nullptr;
}

HGDIOBJ select_fill(HDC hdc, int fill, HBRUSH brush)
{
    if (fill == 0)
        return SelectObject(hdc, GetStockObject(HOLLOW_BRUSH));
    if (brush)
        return SelectObject(hdc, brush);
    return nullptr;
}

// Selects back the pen and brush a shape routine replaced and deletes the
// ones it created (a null brush or old brush: none was made or replaced).
void restore_shape(HDC hdc, HPEN pen, HGDIOBJ old_pen, HBRUSH brush, HGDIOBJ old_brush)
{
    SelectObject(hdc, old_pen);
    if (old_brush)
        SelectObject(hdc, old_brush);
    DeleteObject(pen);
    if (brush)
        DeleteObject(brush);
}

}  // namespace

void GrpLine(HDC hdc, int x1, int y1, int x2, int y2, int colour, int mode)
{
    line_shape(hdc, x1, y1, x2, y2, colour, mode, 0, PS_SOLID);
}

void GrpLineEX(HDC hdc, int x1, int y1, int x2, int y2, int colour, int mode, int width,
               int style)
{
    line_shape(hdc, x1, y1, x2, y2, colour, mode, width, style);
}

void GrpCircle(HDC hdc, int cx, int cy, int rx, int ry, int colour, int fill)
{
    HPEN pen = CreatePen(PS_SOLID, 0, (COLORREF)colour);
    HGDIOBJ old_pen = SelectObject(hdc, pen);
    HBRUSH brush = fill_brush(fill, colour);
    HGDIOBJ old_brush = select_fill(hdc, fill, brush);
    Ellipse(hdc, grp_clamp((int64_t)cx - rx), grp_clamp((int64_t)cy - ry),
            shape_edge(hdc, (int64_t)cx + rx), shape_edge(hdc, (int64_t)cy + ry));
    restore_shape(hdc, pen, old_pen, brush, old_brush);
}

void GrpBox(HDC hdc, int x1, int y1, int x2, int y2, int colour, int cw, int ch, int fill)
{
    HBRUSH brush = fill_brush(fill, colour);
    HGDIOBJ old_brush = select_fill(hdc, fill, brush);
    HPEN pen = CreatePen(PS_SOLID, 0, (COLORREF)colour);
    HGDIOBJ old_pen = SelectObject(hdc, pen);
    order_corners(x1, y1, x2, y2);
    RoundRect(hdc, x1, y1, shape_edge(hdc, x2), shape_edge(hdc, y2), cw, ch);
    restore_shape(hdc, pen, old_pen, brush, old_brush);
}

void GrpPaint(HDC hdc, int x, int y, int fill, int border)
{
    HBRUSH brush = CreateSolidBrush((COLORREF)fill);
    HGDIOBJ old_brush = SelectObject(hdc, brush);
    ExtFloodFill(hdc, x, y, (COLORREF)border, FLOODFILLBORDER);
    SelectObject(hdc, old_brush);
    DeleteObject(brush);
}

void GrpCurDsp(HDC hdc, int row, int column, int colour)
{
    int64_t x = (int64_t)column * GRP_CELL_W, y = (int64_t)row * GRP_CELL_H;
    GrpLine(hdc, grp_clamp(x), grp_clamp(y + 22), grp_clamp(x + GRP_CELL_W),
            grp_clamp(y + 21), colour, 2);
}

// One beep on the NT family and on the Win32 subsystem of 16-bit Windows,
// twenty in a row on the Windows 95 family. The count is not read.
void GrpBeep(int)
{
    DWORD version = GetVersion();
    bool windows95_family = (version & 0x80000000u) && (version & 0xFF) >= 4;
    int beeps = windows95_family ? 20 : 1;
    for (int i = 0; i < beeps; i++)
        MessageBeep(MB_SIMPLE_BEEP);
}
