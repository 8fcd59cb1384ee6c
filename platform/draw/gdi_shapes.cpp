// Lines, rectangles, ellipses, rounded rectangles and the flood fill.
//
// Shapes are worked out here pixel by pixel and handed to cairo as filled
// device rectangles, so that a screen and a printed page get the same
// pixels and no antialiasing touches them. A shape is a list of rows, one
// span of pixels per row; a pixel of the shape is on its outline when one
// of its four neighbours lies outside the shape, inside otherwise.
//
// On a window DC drawn larger than the design, coordinates are mapped to
// device pixels first and a one-unit pen is as many pixels thick as one
// unit is wide: an outline pixel then has a pixel outside the shape within
// that many steps up, down, left or right.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/draw/dc.h"
#include "platform/draw/gdi_internal.h"

namespace {

struct Box {  // device rectangle, x, y, width, height
    int x, y, w, h;
};

// Collects pixel runs and joins a run onto the previous one when it
// continues it horizontally or vertically, so that straight lines and
// rectangles reach cairo as one rectangle each.
class Boxes {
public:
    void add(int x, int y, int w, int h)
    {
        if (w <= 0 || h <= 0)
            return;
        if (!list_.empty()) {
            Box& last = list_.back();
            if (last.y == y && last.h == h && last.x + last.w == x) {
                last.w += w;
                return;
            }
        }
        // The two sides of an outline alternate row by row, so a column may
        // continue the box before the last one.
        for (size_t back = 1; back <= 2 && back <= list_.size(); back++) {
            Box& b = list_[list_.size() - back];
            if (b.x == x && b.w == w && b.y + b.h == y) {
                b.h += h;
                return;
            }
        }
        list_.push_back({x, y, w, h});
    }
    void fill(HDC dc, COLORREF colour) const
    {
        if (list_.empty())
            return;
        if (list_.size() <= 4) {  // a rectangle or an outline: waits as fills do
            for (const Box& b : list_)
                gdi_fill_box(dc, b.x, b.y, b.w, b.h, colour);
            return;
        }
        gdi_draw_begin(dc);
        gdi_set_colour(dc->cr, colour);
        for (const Box& b : list_) {
            cairo_rectangle(dc->cr, b.x, b.y, b.w, b.h);
            gdi_touch(dc, b.x, b.y, b.w, b.h);
        }
        cairo_fill(dc->cr);
    }

private:
    std::vector<Box> list_;
};

/* Lines */

// Cosmetic pen patterns in pixels: on, off, on, off ...
const std::vector<int>& dash_pattern(int style)
{
    static const std::vector<int> solid{}, dash{18, 6}, dot{3, 3}, dashdot{9, 6, 3, 6},
        dashdotdot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH: return dash;
    case PS_DOT: return dot;
    case PS_DASHDOT: return dashdot;
    case PS_DASHDOTDOT: return dashdotdot;
    default: return solid;
    }
}

bool pattern_on(const std::vector<int>& pattern, int64_t position)
{
    if (pattern.empty())
        return true;
    int period = 0;
    for (int n : pattern)
        period += n;
    int64_t at = position % period;
    for (size_t i = 0; i < pattern.size(); i++) {
        if (at < pattern[i])
            return i % 2 == 0;
        at -= pattern[i];
    }
    return true;
}

// The pixels of the segment from (x0, y0) towards (x1, y1) without its end
// point, visited only where they fall on the device surface so that a line
// with far-away ends costs no more than one across the surface. Step i sets
// the pixel whose minor coordinate is the exact one rounded half up.
// A pen `thick` pixels wide stamps that many pixels across the line's
// major direction at each step, and its pattern is stretched by the DC's
// scale.
void line_pixels(HDC dc, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int thick,
                 int64_t& position, const std::vector<int>& pattern, Boxes& on, Boxes& off)
{
    int64_t dx = x1 - x0, dy = y1 - y0;
    bool x_major = std::llabs(dx) >= std::llabs(dy);
    int64_t n = x_major ? std::llabs(dx) : std::llabs(dy);
    if (n == 0)
        return;
    int64_t major0 = x_major ? x0 : y0, step = (x_major ? dx : dy) > 0 ? 1 : -1;
    int64_t minor0 = x_major ? y0 : x0, dminor = x_major ? dy : dx;
    int64_t limit = x_major ? dc->width : dc->height;
    // Steps i with 0 <= major0 + i * step < limit.
    int64_t first = step > 0 ? -major0 : major0 - (limit - 1);
    int64_t last = step > 0 ? limit - 1 - major0 : major0;
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, n - 1);
    int64_t other_limit = x_major ? dc->height : dc->width;
    for (int64_t i = first; i <= last; i++) {
        int64_t major = major0 + i * step;
        // Far ends make the product pass 64 bits.
        __int128 num = (__int128)2 * i * std::llabs(dminor) + n;
        int64_t offset = (int64_t)(num / (2 * n));
        int64_t minor = minor0 + (dminor >= 0 ? offset : -offset);
        if (minor + thick <= 0 || minor >= other_limit)
            continue;
        int64_t from = std::max<int64_t>(minor, 0);
        int across = (int)(std::min<int64_t>(minor + thick, other_limit) - from);
        int px = (int)(x_major ? major : from), py = (int)(x_major ? from : major);
        int64_t at = position + i;
        if (dc->scale != 1.0)
            at = (int64_t)std::floor((double)at / dc->scale);
        (pattern_on(pattern, at) ? on : off).add(px, py, x_major ? 1 : across, x_major ? across : 1);
    }
    position += n;
}

void stroke_wide(HDC dc, const POINT* points, int count, const HPEN__* pen)
{
    gdi_draw_begin(dc);
    cairo_t* cr = dc->cr;
    cairo_save(cr);
    cairo_set_line_width(cr, (double)gdi_dev_width(dc, pen->width));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    gdi_set_colour(cr, pen->colour);
    for (int i = 0; i < count; i++)
        (i ? cairo_line_to : cairo_move_to)(cr, (double)gdi_dev(dc, points[i].x) + 0.5,
                                            (double)gdi_dev(dc, points[i].y) + 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
    gdi_touch_all(dc);
}

/* Shapes */

struct Span {
    int64_t x0, x1;  // inclusive; empty when x0 > x1
    bool empty() const { return x0 > x1; }
};

// A box of inclusive rows top..bottom and columns left..right whose corners
// are rounded by an ellipse of corner_w x corner_h pixels (0: square). An
// ellipse is the box with the whole box as its corner ellipse. Pixel centres
// inside the ellipse widened by half a pixel belong to it, so the shape
// touches all four sides of its box.
struct Shape {
    int64_t left, top, right, bottom, corner_w, corner_h;

    Span row(int64_t y) const
    {
        if (y < top || y > bottom)
            return {1, 0};
        int64_t d = std::min(y - top, bottom - y);
        double b = (corner_h - 1) / 2.0;
        if (corner_w <= 1 || corner_h <= 1 || d > b)
            return {left, right};
        double a = (corner_w - 1) / 2.0;
        double dy = d - b;
        double half = (a + 0.5) * std::sqrt(std::max(0.0, 1.0 - (dy / (b + 0.5)) * (dy / (b + 0.5))));
        int64_t inset = std::max<int64_t>(0, (int64_t)std::ceil(a - half - 1e-9));
        return {left + inset, right - inset};
    }

    // Inside pixels of row y for an outline `thick` pixels wide: those whose
    // neighbours up to that many steps up, down, left and right are all in
    // the shape.
    Span inside(int64_t y, int thick) const
    {
        Span s = row(y);
        s.x0 += thick;
        s.x1 -= thick;
        for (int k = 1; k <= thick; k++) {
            Span up = row(y - k), down = row(y + k);
            if (up.empty() || down.empty())
                return {1, 0};
            s = {std::max({s.x0, up.x0, down.x0}), std::min({s.x1, up.x1, down.x1})};
        }
        return s;
    }
};

// Splits the shape into outline and inside runs on the visible rows and
// columns of the surface.
void shape_boxes(HDC dc, const Shape& shape, int thick, Boxes& outline, Boxes& inside)
{
    int64_t y0 = std::max<int64_t>(shape.top, 0), y1 = std::min<int64_t>(shape.bottom, dc->height - 1);
    auto clip_add = [&](Boxes& boxes, int64_t x0, int64_t x1, int64_t y) {
        x0 = std::max<int64_t>(x0, 0);
        x1 = std::min<int64_t>(x1, dc->width - 1);
        if (x1 >= x0)
            boxes.add((int)x0, (int)y, (int)(x1 - x0 + 1), 1);
    };
    for (int64_t y = y0; y <= y1; y++) {
        Span s = shape.row(y), in = shape.inside(y, thick);
        if (in.empty()) {
            clip_add(outline, s.x0, s.x1, y);
            continue;
        }
        clip_add(outline, s.x0, in.x0 - 1, y);
        clip_add(inside, in.x0, in.x1, y);
        clip_add(outline, in.x1 + 1, s.x1, y);
    }
}

// A wide pen's outline, `width` pixels: cairo strokes the centre line of
// the outline pixels.
void stroke_shape_wide(HDC dc, const Shape& s, const HPEN__* pen, double width)
{
    gdi_draw_begin(dc);
    cairo_t* cr = dc->cr;
    double inset = pen->style == PS_INSIDEFRAME ? width / 2.0 : 0.0;
    double l = s.left + 0.5 + inset, t = s.top + 0.5 + inset;
    double r = s.right + 0.5 - inset, b = s.bottom + 0.5 - inset;
    double rx = std::min(s.corner_w / 2.0, (r - l) / 2);
    double ry = std::min(s.corner_h / 2.0, (b - t) / 2);
    cairo_save(cr);
    cairo_new_path(cr);
    if (rx > 0 && ry > 0) {
        const double corners[4][3] = {
            {r - rx, t + ry, -M_PI / 2}, {r - rx, b - ry, 0}, {l + rx, b - ry, M_PI / 2},
            {l + rx, t + ry, M_PI}};
        for (const auto& c : corners) {
            cairo_save(cr);
            cairo_translate(cr, c[0], c[1]);
            cairo_scale(cr, rx, ry);
            cairo_arc(cr, 0, 0, 1, c[2], c[2] + M_PI / 2);
            cairo_restore(cr);
        }
        cairo_close_path(cr);
    } else {
        cairo_rectangle(cr, l, t, r - l, b - t);
    }
    cairo_set_line_width(cr, width);
    gdi_set_colour(cr, pen->colour);
    cairo_stroke(cr);
    cairo_restore(cr);
    gdi_touch_all(dc);
}

// Rectangle, Ellipse and RoundRect: outline with the pen, inside with the
// brush. In the compatible mode the right and bottom edges given are left
// out; in the advanced mode they belong to the shape. On a scaled window
// DC the edges are mapped first, so the edge left out is one device pixel.
BOOL draw_shape(HDC dc, int x1, int y1, int x2, int y2, int corner_w, int corner_h,
                bool ellipse)
{
    if (!gdi_dc_drawable(dc))
        return FALSE;
    bool compatible = dc->graphics_mode == GM_COMPATIBLE;
    int64_t left = std::min(x1, x2), top = std::min(y1, y2);
    int64_t right = (int64_t)std::max(x1, x2) + (compatible ? 0 : 1);
    int64_t bottom = (int64_t)std::max(y1, y2) + (compatible ? 0 : 1);
    left = gdi_dev(dc, left);
    top = gdi_dev(dc, top);
    right = gdi_dev(dc, right) - 1;
    bottom = gdi_dev(dc, bottom) - 1;
    if (right < left || bottom < top)
        return TRUE;
    int64_t w = right - left + 1, h = bottom - top + 1;
    Shape shape{left, top, right, bottom,
                ellipse ? w : std::min<int64_t>(gdi_dev(dc, std::llabs(corner_w)), w),
                ellipse ? h : std::min<int64_t>(gdi_dev(dc, std::llabs(corner_h)), h)};
    const HPEN__* pen = dc->pen;
    const HBRUSH__* brush = dc->brush;
    bool no_pen = pen->style == PS_NULL;
    int64_t thick = gdi_dev_width(dc, std::max(pen->width, 1));
    bool wide = !no_pen && pen->width > 1 && thick > 1;
    Boxes outline, inside;
    shape_boxes(dc, shape, wide ? 1 : (int)std::min<int64_t>(thick, std::max(w, h)), outline,
                inside);
    if (!brush->hollow) {
        inside.fill(dc, brush->colour);
        if (no_pen || wide)
            outline.fill(dc, brush->colour);
    }
    if (wide)
        stroke_shape_wide(dc, shape, pen, (double)thick);
    else if (!no_pen)
        outline.fill(dc, pen->colour);
    return TRUE;
}

uint32_t* row_pixels(cairo_surface_t* surface, int y)
{
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface) +
                                       (size_t)y * cairo_image_surface_get_stride(surface));
}

}  // namespace

BOOL Polyline(HDC dc, const POINT* points, int count)
{
    if (!gdi_dc_drawable(dc) || !points || count < 2)
        return FALSE;
    const HPEN__* pen = dc->pen;
    if (pen->style == PS_NULL)
        return TRUE;
    int thick = (int)std::min<int64_t>(gdi_dev_width(dc, std::max(pen->width, 1)), 1 << 16);
    if (pen->width > 1 && thick > 1) {
        stroke_wide(dc, points, count, pen);
        return TRUE;
    }
    const std::vector<int>& pattern = dash_pattern(pen->style);
    Boxes on, off;
    int64_t position = 0;
    for (int i = 0; i + 1 < count; i++)
        line_pixels(dc, gdi_dev(dc, points[i].x), gdi_dev(dc, points[i].y),
                    gdi_dev(dc, points[i + 1].x), gdi_dev(dc, points[i + 1].y), thick, position,
                    pattern, on, off);
    if (dc->bk_mode == OPAQUE)
        off.fill(dc, dc->bk_color);
    on.fill(dc, pen->colour);
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    return draw_shape(dc, left, top, right, bottom, 0, 0, false);
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom)
{
    return draw_shape(dc, left, top, right, bottom, 0, 0, true);
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int corner_w, int corner_h)
{
    return draw_shape(dc, left, top, right, bottom, corner_w, corner_h, false);
}

// Fills, with the current brush, the pixels reachable from (x, y) through
// their four neighbours: up to pixels of `colour` (FLOODFILLBORDER) or over
// pixels of `colour` only (FLOODFILLSURFACE). Works on image surfaces.
BOOL ExtFloodFill(HDC dc, int x, int y, COLORREF colour, UINT type)
{
    cairo_surface_t* surface = gdi_image_surface(dc);
    if (!surface || dc->brush->hollow)
        return FALSE;
    int64_t seed_x = gdi_dev(dc, x), seed_y = gdi_dev(dc, y);
    if (seed_x < 0 || seed_y < 0 || seed_x >= dc->width || seed_y >= dc->height)
        return FALSE;
    x = (int)seed_x;
    y = (int)seed_y;
    cairo_surface_flush(surface);
    const int w = dc->width, h = dc->height;
    auto rgb = [](COLORREF c) {
        return (uint32_t)(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
    };
    const uint32_t key = rgb(colour);
    const uint32_t paint = 0xFF000000u | rgb(dc->brush->colour);
    const bool border = type == FLOODFILLBORDER;
    auto fillable = [&](uint32_t p) { return ((p & 0xFFFFFF) == key) != border; };
    if (!fillable(row_pixels(surface, y)[x]))
        return FALSE;
    std::vector<uint8_t> seen((size_t)w * h, 0);
    std::vector<POINT> stack{{x, y}};
    while (!stack.empty()) {
        POINT p = stack.back();
        stack.pop_back();
        uint32_t* row = row_pixels(surface, p.y);
        uint8_t* done = &seen[(size_t)p.y * w];
        if (done[p.x])
            continue;
        int x0 = p.x, x1 = p.x;
        while (x0 > 0 && !done[x0 - 1] && fillable(row[x0 - 1]))
            x0--;
        while (x1 < w - 1 && !done[x1 + 1] && fillable(row[x1 + 1]))
            x1++;
        for (int i = x0; i <= x1; i++) {
            row[i] = paint;
            done[i] = 1;
        }
        for (int ny : {p.y - 1, p.y + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            uint32_t* next = row_pixels(surface, ny);
            const uint8_t* next_done = &seen[(size_t)ny * w];
            for (int i = x0; i <= x1; i++)
                if (!next_done[i] && fillable(next[i]) &&
                    (i == x0 || next_done[i - 1] || !fillable(next[i - 1])))
                    stack.push_back({i, ny});
        }
    }
    cairo_surface_mark_dirty(surface);
    gdi_touch_all(dc);
    return TRUE;
}
