// The graphics layer: device contexts, objects and the pixel rules of shapes.
#include <gtest/gtest.h>

#include <cairo-pdf.h>

#include <functional>

#include "platform/dc.h"
#include "platform/windows.h"
#include "tests/helpers/canvas.h"
#include "tests/helpers/picture.h"
#include "tests/helpers/tempdir.h"

namespace {

const COLORREF WHITE = 0xFFFFFF, BLACK = 0x000000, RED = 0x0000FF, BLUE = 0xFF0000;

// Selects a new pen and brush, runs the drawing, and deletes them again.
template <class Draw>
void with_pen_and_brush(HDC dc, HPEN pen, HBRUSH brush, Draw draw)
{
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, brush);
    draw();
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(pen);
    DeleteObject(brush);
}

}  // namespace

TEST(memory_dc, bitmap_pixels_round_trip_and_refuse_outside)
{
    Canvas c(8, 6, WHITE);
    EXPECT_EQ(c.at(0, 0), WHITE);
    EXPECT_EQ(SetPixel(c.dc, 7, 5, 0x123456), 0x123456u);
    EXPECT_EQ(c.at(7, 5), 0x123456u);
    EXPECT_EQ(GetPixel(c.dc, 8, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc, 0, -1), CLR_INVALID);
    EXPECT_EQ(SetPixel(c.dc, -1, 0, BLACK), CLR_INVALID);
    EXPECT_EQ(GetDeviceCaps(c.dc, HORZRES), 8);
    EXPECT_EQ(GetDeviceCaps(c.dc, VERTRES), 6);
}

TEST(memory_dc, without_bitmap_draws_nothing_and_does_not_crash)
{
    HDC dc = CreateCompatibleDC(nullptr);
    RECT r{0, 0, 4, 4};
    EXPECT_EQ(FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH)), 0);
    EXPECT_FALSE(Rectangle(dc, 0, 0, 4, 4));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_FALSE(plat_save_png(dc, "/nonexistent/x.png"));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(objects, select_gives_back_previous_and_delete_refuses_selected_unknown_or_held)
{
    Canvas c(4, 4);
    int live = plat_gdi_live_objects();
    HPEN pen = CreatePen(PS_SOLID, 0, RED);
    EXPECT_EQ(plat_gdi_live_objects(), live + 1);
    HGDIOBJ old = SelectObject(c.dc, pen);
    EXPECT_EQ(old, GetStockObject(BLACK_PEN));
    EXPECT_FALSE(DeleteObject(pen));  // still selected
    EXPECT_EQ(SelectObject(c.dc, old), (HGDIOBJ)pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));  // already gone
    EXPECT_EQ(plat_gdi_live_objects(), live);
    int not_an_object = 0;
    EXPECT_EQ(SelectObject(c.dc, &not_an_object), nullptr);
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock: stays usable
    EXPECT_NE(SelectObject(c.dc, GetStockObject(WHITE_BRUSH)), nullptr);
    HDC other = CreateCompatibleDC(nullptr);  // a bitmap belongs to one DC at a time
    EXPECT_EQ(SelectObject(other, c.bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(c.bitmap));
    HBITMAP bitmap = CreateCompatibleBitmap(other, 3, 3);  // a deleted DC lets go of its objects
    HBRUSH brush = CreateSolidBrush(RED);
    SelectObject(other, bitmap);
    SelectObject(other, brush);
    DeleteDC(other);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(plat_gdi_live_objects(), live);
}

// Each shape with a red pen and a blue brush (hollow where said) on a white
// 30 x 12 canvas: red and blue pixels in boxes, and single pixels.
TEST(shapes, pixel_rules_of_each_call)
{
    struct Count { COLORREF colour; int x1, y1, x2, y2, n; };  // x2 < 0: the whole canvas; n < 0: at least -n
    struct Probe { int x, y; COLORREF colour; };
    struct Case {
        const char* what;
        std::function<void(HDC)> draw;
        std::vector<Count> counts;
        std::vector<Probe> probes;
        int mode = GM_COMPATIBLE;
        int pen = PS_SOLID;
        bool hollow = false;
    } cases[] = {
        {"FillRect leaves out right and bottom",
         [](HDC dc) { RECT r{2, 3, 5, 7}, e{6, 6, 6, 9}; HBRUSH b = CreateSolidBrush(RED);
                      FillRect(dc, &r, b); FillRect(dc, &e, b); DeleteObject(b); },
         {{RED, 0, 0, -1, 0, 12}, {RED, 2, 3, 4, 6, 12}}, {}},
        {"Rectangle, compatible", [](HDC dc) { Rectangle(dc, 1, 2, 7, 9); },
         {{RED, 1, 2, 6, 2, 6}, {RED, 1, 8, 6, 8, 6}, {RED, 1, 2, 1, 8, 7}, {RED, 6, 2, 6, 8, 7},
          {BLUE, 0, 0, -1, 0, 20}, {BLUE, 2, 3, 5, 7, 20}}, {{7, 5, WHITE}, {3, 9, WHITE}}},
        {"Rectangle, advanced, reversed, hollow", [](HDC dc) { Rectangle(dc, 7, 9, 1, 2); },
         {{RED, 0, 0, -1, 0, 2 * 7 + 2 * 6}}, {{7, 9, RED}, {4, 5, WHITE}}, GM_ADVANCED, PS_SOLID, true},
        {"Polyline leaves out the last point",
         [](HDC dc) { POINT p[] = {{1, 1}, {8, 1}, {8, 6}}; Polyline(dc, p, 3); },
         {{RED, 0, 0, -1, 0, 12}, {RED, 1, 1, 8, 1, 8}, {RED, 8, 1, 8, 5, 5}}, {{8, 6, WHITE}}},
        {"Polyline leftwards and diagonal",
         [](HDC dc) { POINT l[] = {{9, 2}, {2, 2}}, d[] = {{0, 4}, {6, 10}}; Polyline(dc, l, 2); Polyline(dc, d, 2); },
         {{RED, 3, 2, 9, 2, 7}, {RED, 0, 0, -1, 0, 13}},
         {{2, 2, WHITE}, {0, 4, RED}, {3, 7, RED}, {5, 9, RED}, {6, 10, WHITE}}},
        {"Polyline far away", [](HDC dc) { POINT p[] = {{-2000000000, 5}, {2000000000, 5}}; Polyline(dc, p, 2); },
         {{RED, 0, 0, -1, 0, 30}, {RED, 0, 5, 29, 5, 30}}, {}},
        {"dotted pen, opaque gaps", [](HDC dc) { SetBkColor(dc, BLUE); POINT p[] = {{0, 1}, {30, 1}}; Polyline(dc, p, 2); },
         {{BLUE, 0, 1, 29, 1, -11}, {WHITE, 0, 1, 29, 1, 0}}, {{0, 1, RED}, {3, 1, BLUE}}, GM_COMPATIBLE, PS_DOT},
        {"RoundRect", [](HDC dc) { RoundRect(dc, 2, 0, 20, 12, 8, 8); },
         {}, {{2, 0, WHITE}, {10, 0, RED}, {2, 6, RED}, {19, 6, RED}, {20, 6, WHITE}}},
        {"PatBlt with negative extents", [](HDC dc) { PatBlt(dc, 6, 6, -3, -2, BLACKNESS); },
         {{BLACK, 0, 0, -1, 0, 6}, {BLACK, 3, 4, 5, 5, 6}}, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Canvas c(30, 12);
        SetGraphicsMode(c.dc, k.mode);
        HBRUSH brush = k.hollow ? (HBRUSH)GetStockObject(NULL_BRUSH) : CreateSolidBrush(BLUE);
        with_pen_and_brush(c.dc, CreatePen(k.pen, 0, RED), brush, [&] { k.draw(c.dc); });
        for (const Count& n : k.counts) {
            int got = n.x2 < 0 ? c.count(n.colour) : c.count(n.colour, n.x1, n.y1, n.x2, n.y2);
            EXPECT_TRUE(n.n < 0 ? got >= -n.n : got == n.n)
                << std::hex << n.colour << std::dec << " in " << n.x1 << "," << n.y1 << ": " << got;
        }
        for (const Probe& p : k.probes)
            EXPECT_EQ(c.at(p.x, p.y), p.colour) << p.x << "," << p.y;
    }
    Canvas a(30, 30), b(30, 30);  // square corners: a rectangle
    with_pen_and_brush(a.dc, CreatePen(PS_SOLID, 0, RED), CreateSolidBrush(BLUE), [&] { RoundRect(a.dc, 2, 2, 20, 20, 0, 0); });
    with_pen_and_brush(b.dc, CreatePen(PS_SOLID, 0, RED), CreateSolidBrush(BLUE), [&] { Rectangle(b.dc, 2, 2, 20, 20); });
    EXPECT_EQ(a.pixels(), b.pixels());
}

TEST(png, saved_image_has_the_drawn_pixels)
{
    Canvas c(5, 4);
    SetPixel(c.dc, 3, 2, RED);
    TempDir dir;
    ASSERT_TRUE(plat_save_png(c.dc, dir.file("c.png").c_str()));
    Picture image = read_png(dir.file("c.png"));
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.at(3, 2), RED);
    EXPECT_EQ(image.at(2, 2), WHITE);
}

TEST(printer_dc, one_unit_is_one_dot_and_pixels_cannot_be_read)
{
    cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(nullptr, nullptr, 842, 595);
    HDC dc = plat_dc_create(HDC__::Printer, pdf, 7016, 4961, 600, 600);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 7016);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_TRUE(Rectangle(dc, 100, 100, 600, 600));
    EXPECT_FALSE(ExtFloodFill(dc, 200, 200, 0, FLOODFILLBORDER));
    EXPECT_TRUE(DeleteDC(dc));
    cairo_surface_destroy(pdf);
}
