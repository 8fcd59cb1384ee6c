// Test helpers for pictures of the 1024 x 768 screen: a memory DC to draw
// views into, a PNG written by the program, and questions about the pixels
// of a rectangle. Colours are 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/windows.h"

// Pixels of a picture, read back after drawing.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00BBGGRR, row by row

    uint32_t at(int x, int y) const { return pixels[(size_t)y * width + x]; }
    // How many pixels of the inclusive rectangle have exactly this colour.
    int count(int x1, int y1, int x2, int y2, uint32_t colour) const;
    // How many pixels of the inclusive rectangle differ from this colour.
    int count_not(int x1, int y1, int x2, int y2, uint32_t colour) const;
    // Whether some pixel of the rectangle is within `tolerance` of the
    // colour in each component (text is antialiased).
    bool has_near(int x1, int y1, int x2, int y2, uint32_t colour, int tolerance = 24) const;
    bool empty() const { return pixels.empty(); }
};

// Reads a PNG file; an empty picture when it cannot be read.
Picture read_png(const std::string& path);

// A 1024 x 768 memory DC, black, for drawing one view.
class Canvas {
public:
    Canvas(int width = 1024, int height = 768);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_; }
    Picture picture() const;

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    int width_, height_;
};
