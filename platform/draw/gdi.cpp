// Device contexts, bitmaps, pens, brushes, stock objects and the state calls
// of the graphics layer, on cairo.
//
// Every object the program creates is recorded in a set of live objects:
// SelectObject and DeleteObject refuse anything else, and tests count what
// a call left behind. An object still selected into a device context is not
// deleted (DeleteObject answers FALSE), so nothing is freed under a DC.
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "platform/draw/dc.h"
#include "platform/draw/gdi_internal.h"

namespace {

std::unordered_set<PlatGdiObject*>& live_objects()
{
    static std::unordered_set<PlatGdiObject*> set;
    return set;
}

std::unordered_set<HDC>& live_dcs()
{
    static std::unordered_set<HDC> set;
    return set;
}

HPEN__* make_stock_pen(int style, COLORREF colour)
{
    auto* pen = new HPEN__;
    pen->stock = true;
    pen->style = style;
    pen->colour = colour;
    return pen;
}

HBRUSH__* make_stock_brush(bool hollow, COLORREF colour)
{
    auto* brush = new HBRUSH__;
    brush->stock = true;
    brush->hollow = hollow;
    brush->colour = colour;
    return brush;
}

// The stock objects live for the whole process.
PlatGdiObject* stock_object(int index)
{
    static PlatGdiObject* table[] = {
        make_stock_brush(false, 0xFFFFFF),  // WHITE_BRUSH
        make_stock_brush(false, 0xC0C0C0),  // LTGRAY_BRUSH
        make_stock_brush(false, 0x808080),  // GRAY_BRUSH
        make_stock_brush(false, 0x404040),  // DKGRAY_BRUSH
        make_stock_brush(false, 0x000000),  // BLACK_BRUSH
        make_stock_brush(true, 0),          // NULL_BRUSH
        make_stock_pen(PS_SOLID, 0xFFFFFF), // WHITE_PEN
        make_stock_pen(PS_SOLID, 0x000000), // BLACK_PEN
        make_stock_pen(PS_NULL, 0),         // NULL_PEN
    };
    if (index >= 0 && index < (int)(sizeof table / sizeof table[0]))
        return table[index];
    if (index == SYSTEM_FONT || index == DEFAULT_GUI_FONT)
        return gdi_default_font();
    return nullptr;
}

// A memory DC starts with this one-pixel bitmap selected, as on Windows, so
// that selecting a real bitmap gives back something to select again later.
HBITMAP__* stock_bitmap()
{
    static HBITMAP__* bitmap = [] {
        auto* b = new HBITMAP__;
        b->stock = true;
        return b;
    }();
    return bitmap;
}

// Opaque fills not yet drawn, of every DC, in the order they were asked for.
struct PendingFill {
    HDC dc;
    int64_t x0, y0, x1, y1;
    COLORREF colour;
};
std::vector<PendingFill>& pending_fills()
{
    static std::vector<PendingFill> fills;
    return fills;
}
// Beyond this many, the waiting fills are drawn: few fills wait long in a
// paint, and covering is checked against each.
constexpr size_t MAX_PENDING = 32;
// A later fill that covers at least this many pixels of a waiting one cuts
// them out of it (a frame's inside out of the frame); smaller ones, such as
// buttons on a panel, leave it whole rather than cut it into pieces.
constexpr int64_t CUT_PIXELS = 1 << 16;

// What is left of `f` outside x0..x1 by y0..y1, appended to `out` as up to
// four rectangles: the rows above and below, then the sides between.
void cut_out(const PendingFill& f, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
             std::vector<PendingFill>& out)
{
    int64_t top = std::max(f.y0, y0), bottom = std::min(f.y1, y1);
    auto add = [&](int64_t a0, int64_t b0, int64_t a1, int64_t b1) {
        if (a0 < a1 && b0 < b1)
            out.push_back({f.dc, a0, b0, a1, b1, f.colour});
    };
    add(f.x0, f.y0, f.x1, top);
    add(f.x0, bottom, f.x1, f.y1);
    add(f.x0, top, std::max(f.x0, x0), bottom);
    add(std::min(f.x1, x1), top, f.x1, bottom);
}

void attach_surface(HDC dc, cairo_surface_t* surface, int width, int height)
{
    if (dc->surface)
        plat_dc_flush(dc->surface);
    if (dc->cr)
        cairo_destroy(dc->cr);
    dc->cr = nullptr;
    dc->surface = surface;
    dc->width = width;
    dc->height = height;
    if (!surface)
        return;
    dc->cr = cairo_create(surface);
    if (dc->kind == HDC__::Printer)
        cairo_scale(dc->cr, 72.0 / dc->dpi_x, 72.0 / dc->dpi_y);
    cairo_set_antialias(dc->cr, CAIRO_ANTIALIAS_NONE);
}

bool dc_live(HDC dc)
{
    return dc && live_dcs().count(dc);
}

uint32_t* pixel_address(cairo_surface_t* surface, int x, int y)
{
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    return reinterpret_cast<uint32_t*>(data + (size_t)y * stride) + x;
}

}  // namespace

/* Shared with the other graphics sources */

PlatGdiObject* gdi_object(HGDIOBJ handle)
{
    auto* object = static_cast<PlatGdiObject*>(handle);
    if (!object)
        return nullptr;
    if (live_objects().count(object))
        return object;
    for (int i = WHITE_BRUSH; i <= NULL_PEN; i++)
        if (stock_object(i) == object)
            return object;
    if (object == gdi_default_font() || object == stock_bitmap())
        return object;
    return nullptr;
}

void gdi_register(PlatGdiObject* object)
{
    live_objects().insert(object);
}

bool gdi_dc_drawable(HDC dc)
{
    return dc_live(dc) && dc->cr;
}

void gdi_set_colour(cairo_t* cr, COLORREF colour)
{
    cairo_set_source_rgb(cr, GetRValue(colour) / 255.0, GetGValue(colour) / 255.0,
                         GetBValue(colour) / 255.0);
}

void gdi_touch(HDC dc, int64_t x, int64_t y, int64_t w, int64_t h)
{
    int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    int64_t x1 = std::min<int64_t>(x + w, dc->width), y1 = std::min<int64_t>(y + h, dc->height);
    if (x1 <= x0 || y1 <= y0)
        return;
    auto& d = dc->drawn;
    bool empty = d.x0 >= d.x1;
    d = {(int)(empty ? x0 : std::min<int64_t>(d.x0, x0)), (int)(empty ? y0 : std::min<int64_t>(d.y0, y0)),
         (int)(empty ? x1 : std::max<int64_t>(d.x1, x1)), (int)(empty ? y1 : std::max<int64_t>(d.y1, y1))};
}

void gdi_touch_all(HDC dc)
{
    gdi_touch(dc, 0, 0, dc->width, dc->height);
}

// Clipped to the surface first: cairo's fixed-point coordinates cannot hold
// the far ends of the int range. On image surfaces the fill waits, and the
// waiting fills it covers are dropped.
void gdi_fill_box(HDC dc, int64_t x, int64_t y, int64_t w, int64_t h, COLORREF colour)
{
    int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    int64_t x1 = std::min<int64_t>(x + w, dc->width);
    int64_t y1 = std::min<int64_t>(y + h, dc->height);
    if (w <= 0 || h <= 0 || x1 <= x0 || y1 <= y0)
        return;
    gdi_touch(dc, x0, y0, x1 - x0, y1 - y0);
    if (dc->kind == HDC__::Printer) {
        gdi_set_colour(dc->cr, colour);
        cairo_rectangle(dc->cr, (double)x0, (double)y0, (double)(x1 - x0), (double)(y1 - y0));
        cairo_fill(dc->cr);
        return;
    }
    std::vector<PendingFill>& fills = pending_fills();
    static std::vector<PendingFill> kept;
    kept.clear();
    for (const PendingFill& f : fills) {
        int64_t w_in = std::min(f.x1, x1) - std::max(f.x0, x0);
        int64_t h_in = std::min(f.y1, y1) - std::max(f.y0, y0);
        bool covered = w_in > 0 && h_in > 0 && w_in * h_in == (f.x1 - f.x0) * (f.y1 - f.y0);
        if (f.dc->surface != dc->surface || w_in <= 0 || h_in <= 0 ||
            (!covered && w_in * h_in < CUT_PIXELS))
            kept.push_back(f);
        else if (!covered)
            cut_out(f, x0, y0, x1, y1, kept);
    }
    fills.swap(kept);
    if (fills.size() >= MAX_PENDING)
        plat_dc_flush(dc->surface);
    fills.push_back({dc, x0, y0, x1, y1, colour});
}

void gdi_draw_begin(HDC dc)
{
    if (!pending_fills().empty())
        plat_dc_flush(dc->surface);
}

void gdi_fill_units(HDC dc, int64_t x, int64_t y, int64_t w, int64_t h, COLORREF colour)
{
    if (w <= 0 || h <= 0)
        return;
    int64_t left = gdi_dev(dc, x), top = gdi_dev(dc, y);
    gdi_fill_box(dc, left, top, gdi_dev(dc, x + w) - left, gdi_dev(dc, y + h) - top, colour);
}

cairo_surface_t* gdi_image_surface(HDC dc)
{
    if (!gdi_dc_drawable(dc) || cairo_surface_get_type(dc->surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return nullptr;
    gdi_draw_begin(dc);
    return dc->surface;
}

void plat_dc_flush(cairo_surface_t* surface)
{
    std::vector<PendingFill>& fills = pending_fills();
    auto waiting = std::stable_partition(fills.begin(), fills.end(), [&](const PendingFill& f) {
        return f.dc->surface != surface;
    });
    for (auto f = waiting; f != fills.end(); ++f) {
        gdi_set_colour(f->dc->cr, f->colour);
        cairo_rectangle(f->dc->cr, (double)f->x0, (double)f->y0, (double)(f->x1 - f->x0),
                        (double)(f->y1 - f->y0));
        cairo_fill(f->dc->cr);
    }
    fills.erase(waiting, fills.end());
}

/* Device contexts */

HDC plat_dc_create(HDC__::Kind kind, cairo_surface_t* surface, int width, int height, int dpi_x,
                   int dpi_y)
{
    HDC dc = new HDC__;
    dc->kind = kind;
    dc->dpi_x = dpi_x > 0 ? dpi_x : 96;
    dc->dpi_y = dpi_y > 0 ? dpi_y : 96;
    attach_surface(dc, surface, width, height);
    dc->pen = static_cast<HPEN>(stock_object(BLACK_PEN));
    dc->brush = static_cast<HBRUSH>(stock_object(WHITE_BRUSH));
    dc->font = gdi_default_font();
    dc->pen->selected++;
    dc->brush->selected++;
    dc->font->selected++;
    live_dcs().insert(dc);
    return dc;
}

void plat_dc_destroy(HDC dc)
{
    if (!dc_live(dc))
        return;
    if (dc->surface)
        plat_dc_flush(dc->surface);
    live_dcs().erase(dc);
    PlatGdiObject* slots[] = {dc->pen, dc->brush, dc->font, dc->bitmap};
    for (PlatGdiObject* object : slots)
        if (object)
            object->selected--;
    if (dc->cr)
        cairo_destroy(dc->cr);
    delete dc;
}

HDC CreateCompatibleDC(HDC dc)
{
    HDC memory = plat_dc_create(HDC__::Memory, nullptr, 0, 0, dc_live(dc) ? dc->dpi_x : 96,
                                dc_live(dc) ? dc->dpi_y : 96);
    memory->bitmap = stock_bitmap();
    stock_bitmap()->selected++;
    return memory;
}

BOOL DeleteDC(HDC dc)
{
    if (!dc_live(dc))
        return FALSE;
    if (dc->on_delete)
        dc->on_delete(dc);
    plat_dc_destroy(dc);
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height)
{
    // A 16384-pixel side is far beyond any screen or page the program draws.
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    auto* bitmap = new HBITMAP__;
    bitmap->surface = surface;
    bitmap->width = width;
    bitmap->height = height;
    gdi_register(bitmap);
    return bitmap;
}

int GetDeviceCaps(HDC dc, int index)
{
    if (!dc_live(dc))
        return 0;
    bool printer = dc->kind == HDC__::Printer;
    switch (index) {
    case HORZRES: return dc->width;
    case VERTRES: return dc->height;
    case LOGPIXELSX: return dc->dpi_x;
    case LOGPIXELSY: return dc->dpi_y;
    case BITSPIXEL: return 24;
    case HORZSIZE: return (int)(dc->width * 25.4 / dc->dpi_x + 0.5);
    case VERTSIZE: return (int)(dc->height * 25.4 / dc->dpi_y + 0.5);
    case PHYSICALWIDTH: return printer ? dc->page.width : 0;
    case PHYSICALHEIGHT: return printer ? dc->page.height : 0;
    case PHYSICALOFFSETX: return printer ? dc->page.x : 0;
    case PHYSICALOFFSETY: return printer ? dc->page.y : 0;
    default: return 0;
    }
}

// A unit's pixel reads as the top-left pixel of its block and is written
// as the whole block (at least one pixel where units are smaller).
COLORREF GetPixel(HDC dc, int x, int y)
{
    cairo_surface_t* surface = gdi_image_surface(dc);
    int64_t dx = surface ? gdi_dev(dc, x) : -1, dy = surface ? gdi_dev(dc, y) : -1;
    if (!surface || dx < 0 || dy < 0 || dx >= dc->width || dy >= dc->height)
        return CLR_INVALID;
    cairo_surface_flush(surface);
    uint32_t p = *pixel_address(surface, (int)dx, (int)dy);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    cairo_surface_t* surface = gdi_image_surface(dc);
    int64_t dx = surface ? gdi_dev(dc, x) : -1, dy = surface ? gdi_dev(dc, y) : -1;
    if (!surface || dx < 0 || dy < 0 || dx >= dc->width || dy >= dc->height)
        return CLR_INVALID;
    int64_t w = std::max<int64_t>(1, gdi_dev(dc, (int64_t)x + 1) - dx);
    int64_t h = std::max<int64_t>(1, gdi_dev(dc, (int64_t)y + 1) - dy);
    w = std::min<int64_t>(w, dc->width - dx);
    h = std::min<int64_t>(h, dc->height - dy);
    cairo_surface_flush(surface);
    uint32_t value = 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) |
                     GetBValue(colour);
    for (int64_t row = 0; row < h; row++)
        std::fill_n(pixel_address(surface, (int)dx, (int)(dy + row)), w, value);
    cairo_surface_mark_dirty_rectangle(surface, (int)dx, (int)dy, (int)w, (int)h);
    gdi_touch(dc, dx, dy, w, h);
    return colour & 0xFFFFFF;
}

int SelectClipRgn(HDC dc, HRGN region)
{
    if (!dc_live(dc) || region)
        return ERROR_REGION;
    if (dc->cr) {
        gdi_draw_begin(dc);
        cairo_reset_clip(dc->cr);
    }
    return SIMPLEREGION;
}

/* Objects */

HPEN CreatePen(int style, int width, COLORREF colour)
{
    if (style < PS_SOLID || style > PS_INSIDEFRAME)
        return nullptr;
    auto* pen = new HPEN__;
    pen->style = style;
    pen->width = width < 0 ? 0 : width;
    pen->colour = colour & 0xFFFFFF;
    gdi_register(pen);
    return pen;
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    auto* brush = new HBRUSH__;
    brush->colour = colour & 0xFFFFFF;
    gdi_register(brush);
    return brush;
}

HGDIOBJ GetStockObject(int index)
{
    return stock_object(index);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ handle)
{
    PlatGdiObject* object = gdi_object(handle);
    if (!dc_live(dc) || !object)
        return nullptr;
    PlatGdiObject* old = nullptr;
    switch (object->type) {
    case PlatGdiObject::Pen:
        old = dc->pen;
        dc->pen = static_cast<HPEN>(object);
        break;
    case PlatGdiObject::Brush:
        old = dc->brush;
        dc->brush = static_cast<HBRUSH>(object);
        break;
    case PlatGdiObject::Font:
        old = dc->font;
        dc->font = static_cast<HFONT>(object);
        break;
    case PlatGdiObject::Bitmap: {
        // A bitmap belongs to one memory DC at a time.
        auto* bitmap = static_cast<HBITMAP__*>(object);
        if (dc->kind != HDC__::Memory || (bitmap->selected > 0 && dc->bitmap != bitmap))
            return nullptr;
        old = dc->bitmap;
        dc->bitmap = bitmap;
        attach_surface(dc, bitmap->surface, bitmap->width, bitmap->height);
        break;
    }
    }
    if (old)
        old->selected--;
    object->selected++;
    return old;
}

BOOL DeleteObject(HGDIOBJ handle)
{
    PlatGdiObject* object = gdi_object(handle);
    if (!object)
        return FALSE;
    if (object->stock)
        return TRUE;
    if (object->selected > 0)
        return FALSE;
    live_objects().erase(object);
    switch (object->type) {
    case PlatGdiObject::Pen: delete static_cast<HPEN__*>(object); break;
    case PlatGdiObject::Brush: delete static_cast<HBRUSH__*>(object); break;
    case PlatGdiObject::Font: delete static_cast<HFONT__*>(object); break;
    case PlatGdiObject::Bitmap: {
        auto* bitmap = static_cast<HBITMAP__*>(object);
        cairo_surface_destroy(bitmap->surface);
        delete bitmap;
        break;
    }
    }
    return TRUE;
}

int plat_gdi_live_objects(void)
{
    return (int)live_objects().size();
}

/* State */

COLORREF SetTextColor(HDC dc, COLORREF colour)
{
    if (!dc_live(dc))
        return CLR_INVALID;
    COLORREF old = dc->text_color;
    dc->text_color = colour & 0xFFFFFF;
    return old;
}

COLORREF SetBkColor(HDC dc, COLORREF colour)
{
    if (!dc_live(dc))
        return CLR_INVALID;
    COLORREF old = dc->bk_color;
    dc->bk_color = colour & 0xFFFFFF;
    return old;
}

int GetBkMode(HDC dc)
{
    return dc_live(dc) ? dc->bk_mode : 0;
}

int SetBkMode(HDC dc, int mode)
{
    if (!dc_live(dc) || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int old = dc->bk_mode;
    dc->bk_mode = mode;
    return old;
}

int GetMapMode(HDC dc)
{
    return dc_live(dc) ? MM_TEXT : 0;
}

int GetGraphicsMode(HDC dc)
{
    return dc_live(dc) ? dc->graphics_mode : 0;
}

int SetGraphicsMode(HDC dc, int mode)
{
    if (!dc_live(dc) || (mode != GM_COMPATIBLE && mode != GM_ADVANCED))
        return 0;
    int old = dc->graphics_mode;
    dc->graphics_mode = mode;
    return old;
}

// The mapping mode is always the text mode with no origin shift, so logical
// and device coordinates are the same numbers.
BOOL DPtoLP(HDC dc, POINT* points, int count)
{
    return dc_live(dc) && (points || count == 0) && count >= 0;
}

/* Rectangles */

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom)
{
    if (!rect)
        return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH handle)
{
    PlatGdiObject* object = gdi_object(handle);
    if (!gdi_dc_drawable(dc) || !rect || !object || object->type != PlatGdiObject::Brush)
        return 0;
    auto* brush = static_cast<HBRUSH__*>(object);
    if (!brush->hollow)
        gdi_fill_units(dc, rect->left, rect->top, (int64_t)rect->right - rect->left,
                       (int64_t)rect->bottom - rect->top, brush->colour);
    return 1;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop)
{
    if (!gdi_dc_drawable(dc))
        return FALSE;
    int64_t left = std::min<int64_t>(x, (int64_t)x + width);
    int64_t top = std::min<int64_t>(y, (int64_t)y + height);
    int64_t w = std::llabs((int64_t)width), h = std::llabs((int64_t)height);
    switch (rop) {
    case BLACKNESS: gdi_fill_units(dc, left, top, w, h, 0x000000); return TRUE;
    case WHITENESS: gdi_fill_units(dc, left, top, w, h, 0xFFFFFF); return TRUE;
    case PATCOPY:
        if (!dc->brush->hollow)
            gdi_fill_units(dc, left, top, w, h, dc->brush->colour);
        return TRUE;
    default: return FALSE;
    }
}

BOOL plat_save_png(HDC dc, const char* path)
{
    cairo_surface_t* surface = gdi_image_surface(dc);
    if (!surface || !path)
        return FALSE;
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
}
