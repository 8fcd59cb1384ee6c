// A printer DC over a PDF page draws what an image DC draws: read back with
// poppler's pdffonts and pdftoppm.
#include <gtest/gtest.h>

#include <cairo-pdf.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/dc.h"
#include "support/ghl3000.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/sjis_texts.h"
#include "tests/helpers/tempdir.h"

namespace {

const int DPI = 300;
const int PAGE_W_PT = 842, PAGE_H_PT = 595;  // A4 landscape
const COLORREF RED = 0x0000FF, LIGHT_GREY = 0xC0C0C0;

class PrinterPdf : public testing::Test {
protected:
    TempDir dir;
    std::string pdf = dir.file("page.pdf");

    void SetUp() override
    {
        cairo_surface_t* surface = cairo_pdf_surface_create(pdf.c_str(), PAGE_W_PT, PAGE_H_PT);
        HDC dc = plat_dc_create(HDC__::Printer, surface, PAGE_W_PT * DPI / 72, PAGE_H_PT * DPI / 72,
                                DPI, DPI);
        GrpLine(dc, 300, 300, 899, 599, RED, 2);
        GrpButton(dc, 1000, 300, 1499, 599, LIGHT_GREY, 1);
        GrpSymbol(dc, SJIS_INSATSU, 300, 900, 10.0, 10.0, 0, 500, 0, 0, 1, 0x30, FACE_MINCHO);
        GrpSymbol(dc, "2003", 300, 1200, 10.0, 10.0, 0, 500, 0, 0, 1, 0x30, FACE_ARIAL);
        GrpSymbol(dc, SJIS_SHUURYOU, 1200, 900, 10.0, 10.0, 0, 500, 0, 0, 1, 0x30, FACE_NAKAMARU);
        GrpSymbol(dc, SJIS_NICHI, 1200, 1200, 10.0, 10.0, 0, 500, 0, 0, 1, 0x30, FACE_GOTHIC);
        DeleteDC(dc);
        cairo_surface_finish(surface);
        ASSERT_EQ(cairo_surface_status(surface), CAIRO_STATUS_SUCCESS);
        cairo_surface_destroy(surface);
    }
};

int dark_pixels(const PdfPage& page, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            n += (page.pixel(x, y) & 0xFF) < 128;
    return n;
}

}  // namespace

TEST_F(PrinterPdf, fonts_are_embedded_and_subset)
{
    std::istringstream lines(pdf_fonts(pdf));
    std::string line;
    int fonts = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("name", 0) == 0 || line.rfind("----", 0) == 0)
            continue;
        fonts++;
        std::istringstream words(line);
        std::string word;
        std::vector<std::string> w;
        while (words >> word)
            w.push_back(word);
        ASSERT_GE(w.size(), 5u) << line;
        // Columns from the right: object ID (two words), uni, sub, emb.
        EXPECT_EQ(w[w.size() - 5], "yes") << "embedded: " << line;
        EXPECT_EQ(w[w.size() - 4], "yes") << "subset: " << line;
        EXPECT_NE(w[0].find('+'), std::string::npos) << line;
    }
    EXPECT_GE(fonts, 3);
}

TEST_F(PrinterPdf, renders_the_same_colours_at_the_scaled_positions)
{
    PdfPage page = pdf_page(pdf, 30);  // one pixel per ten dots
    ASSERT_GT(page.width, 0);
    EXPECT_EQ(page.pixel(60, 45), RED);
    EXPECT_EQ(page.pixel(20, 20), 0xFFFFFFu);
    EXPECT_EQ(page.pixel(125, 45), LIGHT_GREY);
    // Text of 70 x 150 dots: ink inside its cell and nowhere else nearby.
    EXPECT_GT(dark_pixels(page, 30, 90, 30 + 28, 90 + 15), 20);   // 印刷
    EXPECT_GT(dark_pixels(page, 30, 120, 30 + 28, 120 + 15), 20); // 2003
    EXPECT_GT(dark_pixels(page, 120, 90, 120 + 28, 90 + 15), 20); // 終了
    EXPECT_GT(dark_pixels(page, 120, 120, 120 + 14, 120 + 15), 20); // 日
    EXPECT_EQ(dark_pixels(page, 160, 90, 200, 140), 0);
}

TEST_F(PrinterPdf, one_dot_edges_land_on_the_dots)
{
    PdfPage page = pdf_area(pdf, DPI, 990, 290, 520, 320);
    ASSERT_GT(page.width, 0);
    EXPECT_EQ(page.pixel(1000, 300), 0xFFFFFFu);
    EXPECT_EQ(page.pixel(1000, 598), 0xFFFFFFu);
    EXPECT_EQ(page.pixel(1499, 599), 0x000000u);
    EXPECT_EQ(page.pixel(1200, 599), 0x000000u);
    EXPECT_EQ(page.pixel(1200, 598), 0x404040u);
    EXPECT_EQ(page.pixel(1498, 400), 0x404040u);
    EXPECT_EQ(page.pixel(1200, 450), LIGHT_GREY);
    EXPECT_EQ(page.pixel(1500, 450), 0xFFFFFFu);
}
