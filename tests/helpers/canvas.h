// A small memory device context for pixel tests, filled with one colour.
#pragma once

#include <vector>

#include "platform/windows.h"

struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    int width, height;

    Canvas(int w, int h, COLORREF background = 0xFFFFFF);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
    // Pixels of `colour` in the inclusive box.
    int count(COLORREF colour, int x0, int y0, int x1, int y1) const;
    int count(COLORREF colour) const { return count(colour, 0, 0, width - 1, height - 1); }
    // Every pixel, row by row.
    std::vector<COLORREF> pixels() const;
    // Smallest inclusive box of the pixels not `background`; right < left when none.
    RECT ink(COLORREF background) const;
};
