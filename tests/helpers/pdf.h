// Reading PDF pages back with poppler's tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string pdf_info(const std::string& pdf);   // pdfinfo
std::string pdf_text(const std::string& pdf);   // pdftotext, UTF-8
std::string pdf_fonts(const std::string& pdf);  // pdffonts
// The value of one "Key:  value" line of pdfinfo's report, or "".
std::string pdf_field(const std::string& info, const std::string& key);

// The first page rendered at `dpi` (pdftoppm), read back as RGB pixels;
// shapes are rendered without antialiasing, so one printer dot rendered at
// the printer's resolution is one pixel.
struct PdfPage {
    int left = 0;  // page pixel of rgb's first column and row
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    // Page pixel (x, y) as 0x00BBGGRR, like the program's colours;
    // 0xFFFFFFFF outside what was rendered.
    uint32_t pixel(int x, int y) const;
    // Whether any pixel of the box (inclusive) has the colour, give or take
    // `tolerance` per channel.
    bool has_colour(int x1, int y1, int x2, int y2, uint32_t colour, int tolerance = 0) const;
};
PdfPage pdf_page(const std::string& pdf, int dpi);
// Only the part from page pixel (x, y), w x h pixels: cheap at 600 dpi.
PdfPage pdf_area(const std::string& pdf, int dpi, int x, int y, int w, int h);
