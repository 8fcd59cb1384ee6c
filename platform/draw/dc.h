// Device contexts inside the platform layer (not for code above platform/).
//
// Every HDC wraps a cairo context on a surface plus the graphics state the
// calls of gdi.h keep: selected pen, brush, font and bitmap, text and
// background colour, background mode and graphics mode. On memory and
// printer DCs one unit is one device pixel: on image surfaces a pixel, on a
// printer's PDF surface one printer dot (1/dpi inch). A window DC takes the
// program's design units and draws them `scale` device pixels large, each
// coordinate rounded to a whole pixel (gdi_dev), on a surface whose origin
// is the design's top-left corner.
//
// Who makes them:
//   memory DC  - CreateCompatibleDC(NULL); its surface is the selected bitmap
//   window DC  - window/framebuffer.cpp (GetDC, BeginPaint) over the window framebuffer
//   printer DC - print/job.cpp (CreateDCA) over a PDF surface, dpi from the printer
#pragma once

#include <cairo.h>

#include "platform/draw/gdi.h"

struct HDC__ {
    enum Kind { Memory, Window, Printer };
    Kind kind = Memory;
    cairo_surface_t* surface = nullptr;  // not owned: bitmap, framebuffer or PDF
    cairo_t* cr = nullptr;               // owned; null while a memory DC has no bitmap
    int width = 0;                       // device units
    int height = 0;
    double scale = 1.0;                  // device pixels per unit (window DCs)
    // The device pixels drawn so far, x0..x1-1 by y0..y1-1 (empty while
    // x0 >= x1): a window DC shows only these when it is released.
    struct { int x0, y0, x1, y1; } drawn = {0, 0, 0, 0};
    int dpi_x = 96;
    int dpi_y = 96;

    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    COLORREF text_color = 0x000000;
    COLORREF bk_color = 0xFFFFFF;
    int bk_mode = OPAQUE;
    int graphics_mode = GM_COMPATIBLE;

    HWND window = nullptr;  // window DCs: the window they draw into
    void* job = nullptr;    // printer DCs: the print job, owned by print/job.cpp
    // Printer DCs: the paper, and where on it the device context's (0, 0),
    // the printable area's top-left corner, lies; in dots.
    struct { int width, height, x, y; } page = {0, 0, 0, 0};
    void (*on_delete)(HDC dc) = nullptr;  // run by DeleteDC before the DC is freed
};

// Makes a DC over `surface` (which the caller keeps alive for the DC's life)
// with the stock black pen, white brush and default font selected. For a
// printer DC the cairo context is scaled so that one unit is one dot at
// dpi_x by dpi_y on the PDF surface, whose own unit is 1/72 inch.
HDC plat_dc_create(HDC__::Kind kind, cairo_surface_t* surface, int width, int height,
                   int dpi_x, int dpi_y);

// Frees the DC's cairo context and the DC, its fills drawn; the surface
// is left alone.
void plat_dc_destroy(HDC dc);

// An opaque fill on an image surface (FillRect, PatBlt, a text's
// background) waits until something else draws on or reads that surface,
// and is never drawn when a later fill covers it: a paint that fills the
// whole window, then its frame, then the areas inside, fills each pixel
// about once. This draws the fills still waiting on `surface`, of every DC,
// in order; the graphics calls do it themselves, code that reads a surface
// directly calls it first.
void plat_dc_flush(cairo_surface_t* surface);
