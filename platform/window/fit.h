// How a window shows the program's 1024 x 768 design: the pure arithmetic
// of the fit, shared by the framebuffer, the mouse and the message box.
//
// Design unit u of a row or column lies at device pixels from
// fit_pixel(scale, offset, u) up to, not including, fit_pixel(scale, offset,
// u + 1), so rectangles that meet in units meet in pixels. Above scale 1
// every unit has pixels of its own; below it some units share their first
// pixel with the next, which then takes it.
#pragma once

constexpr int WND_DESIGN_WIDTH = 1024, WND_DESIGN_HEIGHT = 768;

struct WndFit {
    double scale;           // device pixels per design unit
    int offset_x, offset_y;  // device pixel of the design's top-left corner
};

// The design's place in a client area of width x height device pixels:
// centred and as large as fits with its shape kept; one pixel per unit when
// `one_to_one` or the area is empty, centred where the area is larger.
WndFit fit_for(int width, int height, bool one_to_one);
// The device pixels that `units` design units take: at least one.
int fit_extent(double scale, int units);
// The device pixel where design unit u begins.
int fit_pixel(double scale, int offset, int u);
// The design unit, of `units`, whose pixels hold device pixel d; -1 before
// the first unit or past the last.
int fit_unit_at(double scale, int offset, int units, int d);
