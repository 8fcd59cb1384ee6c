// Reading PDF pages back with poppler's tools.
#pragma once

#include <string>
#include <vector>

#include "tests/helpers/picture.h"

std::string pdf_text(const std::string& pdf);  // pdftotext, UTF-8
// The same without blanks and line ends: pdftotext spaces words its own way.
std::string pdf_text_unspaced(const std::string& pdf);
// The value of pdfinfo's "Key:  value" line, or "".
std::string pdf_field(const std::string& pdf, const std::string& key);
// Page `page` (1 the first) rendered at `dpi`, neither shapes nor text
// antialiased, so that one printer dot rendered at the printer's
// resolution is one pixel.
Picture pdf_page(const std::string& pdf, int dpi, int page = 1);
// The words of a page with their boxes in points.
struct PdfWord { std::string text; double x1, y1, x2, y2; };
std::vector<PdfWord> pdf_words(const std::string& pdf, int page = 1);
// The page's size in points, from pdfinfo; {0, 0} when it cannot be read.
struct PdfSize { double width, height; };
PdfSize pdf_page_size(const std::string& pdf);

/* The calendar on paper against the calendar on screen */

// Where the 1024 x 768 canvas lies on a page printed at `dpi`: unit (x, y)
// at dot (ox + trunc(x * scale), oy + trunc(y * scale)). The canvas is as
// large as the printable area takes it (the page less `edge_x` and `edge_y`
// points on either side), its shape kept, centred there.
struct PageFit {
    int dpi;
    int ox, oy;
    double scale;
    int x(double unit) const { return ox + (int)(unit * scale); }
    int y(double unit) const { return oy + (int)(unit * scale); }
};
PageFit page_fit(const PdfSize& page, int dpi, double edge_x = 0, double edge_y = 0);

// The part of the canvas a layout paints on paper, and the part of it drawn
// as on screen; where the screen shows white, the paper shows `background`
// when `white_is_background` (the small month's white panel is iBcol on paper).
struct PaperAreas {
    int x1, y1, x2, y2;  // the layout's area on paper
    int ax1, ay1, ax2, ay2;  // drawn as on screen
    bool white_is_background;
    uint32_t background;
};
// Compares a printed page with the screen: each word in the screen's commonest
// ink within the word's box, every other unit's first dot the screen's colour
// (white outside the layout's area). The units that differ, the first few
// described in `report`.
int page_unlike_screen(const std::string& pdf, int page, const Picture& screen, const PageFit& fit,
                       const PaperAreas& areas, std::string* report);
