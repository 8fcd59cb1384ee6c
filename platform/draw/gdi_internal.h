// Graphics objects inside the platform layer (not for code above platform/).
//
// Pens, brushes, fonts and bitmaps share one header so that SelectObject and
// DeleteObject can tell them apart and refuse a handle that is not a live
// object. Shapes (gdi_shapes.cpp) and text (gdi_text.cpp) draw through the
// helpers declared at the end.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/draw/dc.h"

struct PlatGdiObject {
    enum Type { Pen, Brush, Font, Bitmap };
    Type type;
    bool stock = false;
    int selected = 0;  // device contexts this object is selected into
    explicit PlatGdiObject(Type t) : type(t) {}
};

struct HPEN__ : PlatGdiObject {
    HPEN__() : PlatGdiObject(Pen) {}
    int style = PS_SOLID;
    int width = 0;
    COLORREF colour = 0;
};

struct HBRUSH__ : PlatGdiObject {
    HBRUSH__() : PlatGdiObject(Brush) {}
    bool hollow = false;
    COLORREF colour = 0;
};

struct PlatFace;  // a matched face name, cached in gdi_text.cpp

struct HFONT__ : PlatGdiObject {
    HFONT__() : PlatGdiObject(Font) {}
    LOGFONTA request{};            // the values CreateFontA received
    PlatFace* face = nullptr;      // resolved on first use
};

struct HBITMAP__ : PlatGdiObject {
    HBITMAP__() : PlatGdiObject(Bitmap) {}
    cairo_surface_t* surface = nullptr;  // RGB24 image
    int width = 0;
    int height = 0;
};

/* Shared by the graphics sources */

// A unit coordinate as a device pixel: the left or top edge of the unit's
// block of pixels. Unchanged at scale 1.
inline int64_t gdi_dev(HDC dc, int64_t unit)
{
    return dc->scale == 1.0 ? unit : (int64_t)std::llround(dc->scale * (double)unit);
}
// A length of `units` (a pen's width, a corner) in whole device pixels, at
// least one.
inline int64_t gdi_dev_width(HDC dc, int64_t units)
{
    return std::max<int64_t>(1, gdi_dev(dc, units));
}

// The live object behind a handle of the given type, or null.
PlatGdiObject* gdi_object(HGDIOBJ handle);
// Records a newly made object as live.
void gdi_register(PlatGdiObject* object);
// True for a device context made by plat_dc_create and not yet destroyed
// that has a surface to draw on.
bool gdi_dc_drawable(HDC dc);
// Records device rectangle x..x+w-1, y..y+h-1 (clipped to the surface) as
// drawn; gdi_touch_all the whole surface.
void gdi_touch(HDC dc, int64_t x, int64_t y, int64_t w, int64_t h);
void gdi_touch_all(HDC dc);
// Fills device rectangle x..x+w-1, y..y+h-1 with an opaque colour (on an
// image surface once nothing covers it first: see plat_dc_flush).
void gdi_fill_box(HDC dc, int64_t x, int64_t y, int64_t w, int64_t h, COLORREF colour);
// Before drawing on the DC's surface by any other means than gdi_fill_box:
// the fills waiting on it are drawn.
void gdi_draw_begin(HDC dc);
// The same for a rectangle in units: the device pixels from the edge of its
// first unit up to the edge of the unit after it, so that rectangles which
// meet in units meet in pixels.
void gdi_fill_units(HDC dc, int64_t x, int64_t y, int64_t w, int64_t h, COLORREF colour);
void gdi_set_colour(cairo_t* cr, COLORREF colour);
// The DC's surface as an image (window framebuffer or bitmap), with every
// waiting fill drawn, or null for a printer DC.
cairo_surface_t* gdi_image_surface(HDC dc);
// Makes the default font of a fresh device context.
HFONT gdi_default_font(void);
