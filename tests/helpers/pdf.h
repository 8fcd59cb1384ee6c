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
// The first page rendered at `dpi`, neither shapes nor text antialiased, so
// that one printer dot rendered at the printer's resolution is one pixel.
Picture pdf_page(const std::string& pdf, int dpi);
// The words of the first page with their boxes in points.
struct PdfWord { std::string text; double x1, y1, x2, y2; };
std::vector<PdfWord> pdf_words(const std::string& pdf);
