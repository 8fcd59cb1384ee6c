// Pictures of the 1024 x 768 screen, from a canvas ({w, h, pixels()}) or
// from a PNG the program wrote, and questions about the pixels of a
// rectangle. Colours are 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/helpers/canvas.h"

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00BBGGRR, row by row

    uint32_t at(int x, int y) const { return pixels[(size_t)y * width + x]; }
    // How many pixels of the inclusive rectangle have exactly this colour.
    int count(int x1, int y1, int x2, int y2, uint32_t colour) const;
    int count_not(int x1, int y1, int x2, int y2, uint32_t colour) const
    {
        return (x2 - x1 + 1) * (y2 - y1 + 1) - count(x1, y1, x2, y2, colour);
    }
    // Whether some pixel of the rectangle is within `tolerance` of the colour in each component.
    bool has_near(int x1, int y1, int x2, int y2, uint32_t colour, int tolerance = 24) const;
    bool empty() const { return pixels.empty(); }
};

// Reads a PNG file; an empty picture when it cannot be read.
Picture read_png(const std::string& path);
