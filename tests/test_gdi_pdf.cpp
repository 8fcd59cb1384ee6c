// A printer DC over a PDF page draws what an image DC draws: read back with
// poppler's pdffonts and pdftoppm.
#include <gtest/gtest.h>

#include <cairo-pdf.h>
#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/dc.h"
#include "support/ghl3000.h"
#include "tests/helpers/sjis_texts.h"

namespace {

const int DPI = 300;
const int PAGE_W_PT = 842, PAGE_H_PT = 595;  // A4 landscape
const COLORREF RED = 0x0000FF, LIGHT_GREY = 0xC0C0C0;

std::string run(const std::string& command)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    char buffer[512];
    while (p && fgets(buffer, sizeof buffer, p))
        out += buffer;
    if (p)
        pclose(p);
    return out;
}

class PdfPage : public testing::Test {
protected:
    std::string base = testing::TempDir() + "gdi_pdf_" + std::to_string(getpid());
    std::string pdf = base + ".pdf";

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

    void TearDown() override
    {
        if (!getenv("GDI_KEEP_PDF"))
            unlink(pdf.c_str());
        unlink((base + ".png").c_str());
    }

    // The page rendered by pdftoppm at `dpi`, optionally cropped, without
    // antialiasing of shapes.
    cairo_surface_t* render(int dpi, const std::string& crop = "")
    {
        run("pdftoppm -png -singlefile -aaVector no -r " + std::to_string(dpi) + " " + crop + " " +
            pdf + " " + base);
        return cairo_image_surface_create_from_png((base + ".png").c_str());
    }
};

COLORREF pixel(cairo_surface_t* image, int x, int y)
{
    cairo_surface_flush(image);
    auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image) +
                                            y * cairo_image_surface_get_stride(image));
    uint32_t p = row[x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int dark_pixels(cairo_surface_t* image, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            n += (pixel(image, x, y) & 0xFF) < 128;
    return n;
}

}  // namespace

TEST_F(PdfPage, fonts_are_embedded_and_subset)
{
    std::istringstream lines(run("pdffonts " + pdf));
    std::string line;
    int fonts = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("name", 0) == 0 || line.rfind("----", 0) == 0)
            continue;
        fonts++;
        std::istringstream words(line);
        std::string word, all;
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

TEST_F(PdfPage, renders_the_same_colours_at_the_scaled_positions)
{
    cairo_surface_t* page = render(30);  // one pixel per ten dots
    ASSERT_EQ(cairo_surface_status(page), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(pixel(page, 60, 45), RED);
    EXPECT_EQ(pixel(page, 20, 20), 0xFFFFFFu);
    EXPECT_EQ(pixel(page, 125, 45), LIGHT_GREY);
    // Text of 70 x 150 dots: ink inside its cell and nowhere else nearby.
    EXPECT_GT(dark_pixels(page, 30, 90, 30 + 28, 90 + 15), 20);   // 印刷
    EXPECT_GT(dark_pixels(page, 30, 120, 30 + 28, 120 + 15), 20); // 2003
    EXPECT_GT(dark_pixels(page, 120, 90, 120 + 28, 90 + 15), 20); // 終了
    EXPECT_GT(dark_pixels(page, 120, 120, 120 + 14, 120 + 15), 20); // 日
    EXPECT_EQ(dark_pixels(page, 160, 90, 200, 140), 0);
    cairo_surface_destroy(page);
}

TEST_F(PdfPage, one_dot_edges_land_on_the_dots)
{
    cairo_surface_t* page = render(DPI, "-x 990 -y 290 -W 520 -H 320");
    ASSERT_EQ(cairo_surface_status(page), CAIRO_STATUS_SUCCESS);
    auto at = [&](int x, int y) { return pixel(page, x - 990, y - 290); };
    EXPECT_EQ(at(1000, 300), 0xFFFFFFu);
    EXPECT_EQ(at(1000, 598), 0xFFFFFFu);
    EXPECT_EQ(at(1499, 599), 0x000000u);
    EXPECT_EQ(at(1200, 599), 0x000000u);
    EXPECT_EQ(at(1200, 598), 0x404040u);
    EXPECT_EQ(at(1498, 400), 0x404040u);
    EXPECT_EQ(at(1200, 450), LIGHT_GREY);
    EXPECT_EQ(at(1500, 450), 0xFFFFFFu);
    cairo_surface_destroy(page);
}
