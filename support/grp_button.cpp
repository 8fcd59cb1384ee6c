// Three-dimensional panels: a face, a white outline and edge lines in black
// and greys, by style. Every stroke is a GrpLine; later strokes draw over
// earlier ones.
#include <initializer_list>

#include "support/ghl3000.h"

namespace {

enum : int { WHITE = 0xFFFFFF, BLACK = 0x000000, GREY = 0x808080, DARK_GREY = 0x404040 };

// A point of an edge line: a corner coordinate (left or right, top or
// bottom) plus a step of 0 or +-1 pixel inward.
struct Corner {
    bool right;
    int dx;
    bool bottom;
    int dy;
};

struct Edge {
    int colour;
    Corner from, to;
};

const int MAX_EDGES = 8;

struct Style {
    int outline;  // colour of the outline over the whole rectangle; -1 none
    int count;
    Edge edges[MAX_EDGES];
};

constexpr Corner L_T{false, 0, false, 0}, R_T{true, 0, false, 0}, L_B{false, 0, true, 0},
    R_B{true, 0, true, 0};
constexpr Corner L1_B1{false, 1, true, -1}, R1_B1{true, -1, true, -1},
    L1_T1{false, 1, false, 1}, L_T1{false, 0, false, 1}, R1_T1{true, -1, false, 1};

// The strokes of each style after the face, in drawing order.
const Style STYLES[10] = {
    // 0 raised, thin shadow
    {WHITE, 2, {{BLACK, L_B, R_B}, {BLACK, R_T, R_B}}},
    // 1 raised, two-pixel shadow
    {WHITE, 4,
     {{DARK_GREY, L1_B1, R1_B1}, {BLACK, L_B, R_B}, {DARK_GREY, R1_T1, R1_B1}, {BLACK, R_T, R_B}}},
    // 2 raised, soft shadow
    {WHITE, 4,
     {{GREY, L1_B1, R1_B1}, {DARK_GREY, L_B, R_B}, {GREY, R1_T1, R1_B1}, {DARK_GREY, R_T, R_B}}},
    // 3 sunken, thin shadow
    {WHITE, 2, {{BLACK, L_T, R_T}, {BLACK, L_T, L_B}}},
    // 4 sunken, two-pixel shadow
    {WHITE, 4,
     {{DARK_GREY, L_T1, R1_T1}, {BLACK, L_T, R_T}, {DARK_GREY, L1_T1, L1_B1}, {BLACK, L_T, L_B}}},
    // 5 sunken, soft shadow
    {WHITE, 4,
     {{GREY, L1_T1, R1_T1}, {DARK_GREY, L_T, R_T}, {GREY, L1_T1, L1_B1}, {DARK_GREY, L_T, L_B}}},
    // 6 flat, two-pixel black frame
    {-1, 8,
     {{BLACK, L_T1, R1_T1}, {BLACK, L_T, R_T}, {BLACK, L1_T1, L1_B1}, {BLACK, L_T, L_B},
      {BLACK, L1_B1, R1_B1}, {BLACK, L_B, R_B}, {BLACK, R1_T1, R1_B1}, {BLACK, R_T, R_B}}},
    // 7 flat, one-pixel black frame
    {BLACK, 2, {{BLACK, L_B, R_B}, {BLACK, R_T, R_B}}},
    // 8 raised, two-pixel black shadow
    {WHITE, 4,
     {{BLACK, L1_B1, R1_B1}, {BLACK, L_B, R_B}, {BLACK, R1_T1, R1_B1}, {BLACK, R_T, R_B}}},
    // 9 sunken, two-pixel black shadow
    {WHITE, 4,
     {{BLACK, L_T1, R1_T1}, {BLACK, L_T, R_T}, {BLACK, L1_T1, L1_B1}, {BLACK, L_T, L_B}}},
};

int corner_x(const Corner& c, int x1, int x2)
{
    return (c.right ? x2 : x1) + c.dx;
}

int corner_y(const Corner& c, int y1, int y2)
{
    return (c.bottom ? y2 : y1) + c.dy;
}

}  // namespace

// The face and outline are reordered by GrpLine; the edge lines are drawn
// where the caller's corners put them, so callers pass x1 < x2 and y1 < y2.
// A style outside 0 to 9 draws nothing. Corners within one pixel of the int
// range's ends are outside the contract's screens and pages and draw
// nothing, so that no edge step leaves the range.
void GrpButton(HDC hdc, int x1, int y1, int x2, int y2, int colour, int style)
{
    if (style < 0 || style > 9)
        return;
    for (int v : {x1, y1, x2, y2})
        if (v <= -2147483647 || v >= 2147483647)
            return;
    const Style& s = STYLES[style];
    GrpLine(hdc, x1, y1, x2, y2, colour, 2);
    if (s.outline >= 0)
        GrpLine(hdc, x1, y1, x2, y2, s.outline, 1);
    for (int i = 0; i < s.count; i++) {
        const Edge& e = s.edges[i];
        GrpLine(hdc, corner_x(e.from, x1, x2), corner_y(e.from, y1, y2), corner_x(e.to, x1, x2),
                corner_y(e.to, y1, y2), e.colour, 0);
    }
}
