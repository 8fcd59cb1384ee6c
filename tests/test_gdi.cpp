// The graphics layer: device contexts, objects and the pixel rules of shapes.
#include <gtest/gtest.h>

#include <cairo-pdf.h>

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

TEST(objects, select_gives_back_previous_and_delete_refuses_selected_or_unknown)
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
}

TEST(objects, bitmap_belongs_to_one_dc_at_a_time)
{
    Canvas c(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, c.bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(c.bitmap));
    DeleteDC(other);
}

TEST(objects, deleting_a_dc_releases_what_it_held)
{
    int live = plat_gdi_live_objects();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 3);
    HBRUSH brush = CreateSolidBrush(RED);
    SelectObject(dc, bitmap);
    SelectObject(dc, brush);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(plat_gdi_live_objects(), live);
}

TEST(fill_rect, leaves_out_right_and_bottom_edge)
{
    Canvas c(10, 10);
    RECT r;
    SetRect(&r, 2, 3, 5, 7);
    HBRUSH brush = CreateSolidBrush(RED);
    FillRect(c.dc, &r, brush);
    RECT empty{6, 6, 6, 9};
    FillRect(c.dc, &empty, brush);
    DeleteObject(brush);
    EXPECT_EQ(c.count(RED), 3 * 4);
    EXPECT_EQ(c.count(RED, 2, 3, 4, 6), 12);
}

TEST(rectangle, compatible_mode_outlines_up_to_right_minus_one_and_fills_inside)
{
    Canvas c(12, 12);
    with_pen_and_brush(c.dc, CreatePen(PS_SOLID, 0, RED), CreateSolidBrush(BLUE),
                       [&] { Rectangle(c.dc, 1, 2, 7, 9); });
    // Outline columns 1..6, rows 2..8.
    EXPECT_EQ(c.count(RED, 1, 2, 6, 2), 6);
    EXPECT_EQ(c.count(RED, 1, 8, 6, 8), 6);
    EXPECT_EQ(c.count(RED, 1, 2, 1, 8), 7);
    EXPECT_EQ(c.count(RED, 6, 2, 6, 8), 7);
    EXPECT_EQ(c.count(BLUE), 4 * 5);
    EXPECT_EQ(c.count(BLUE, 2, 3, 5, 7), 20);
    EXPECT_EQ(c.at(7, 5), WHITE);
    EXPECT_EQ(c.at(3, 9), WHITE);
}

TEST(rectangle, advanced_mode_includes_right_and_bottom_and_corners_may_come_reversed)
{
    Canvas c(12, 12);
    SetGraphicsMode(c.dc, GM_ADVANCED);
    with_pen_and_brush(c.dc, CreatePen(PS_SOLID, 0, RED), (HBRUSH)GetStockObject(NULL_BRUSH),
                       [&] { Rectangle(c.dc, 7, 9, 1, 2); });
    EXPECT_EQ(c.count(RED), 2 * 7 + 2 * 6);
    EXPECT_EQ(c.at(7, 9), RED);
    EXPECT_EQ(c.at(4, 5), WHITE);  // hollow brush leaves the inside
}

TEST(polyline, leaves_out_only_the_last_point)
{
    Canvas c(12, 12);
    POINT points[] = {{1, 1}, {8, 1}, {8, 6}};
    with_pen_and_brush(c.dc, CreatePen(PS_SOLID, 0, RED), CreateSolidBrush(BLUE),
                       [&] { Polyline(c.dc, points, 3); });
    EXPECT_EQ(c.count(RED, 1, 1, 8, 1), 8);  // the corner point is drawn
    EXPECT_EQ(c.count(RED, 8, 1, 8, 5), 5);
    EXPECT_EQ(c.at(8, 6), WHITE);
    EXPECT_EQ(c.count(RED), 8 + 4);
}

TEST(polyline, line_to_the_left_and_diagonal_cover_every_step)
{
    Canvas c(12, 12);
    POINT left[] = {{9, 2}, {2, 2}};
    POINT diagonal[] = {{0, 4}, {6, 10}};
    with_pen_and_brush(c.dc, CreatePen(PS_SOLID, 0, RED), CreateSolidBrush(BLUE), [&] {
        Polyline(c.dc, left, 2);
        Polyline(c.dc, diagonal, 2);
    });
    EXPECT_EQ(c.count(RED, 3, 2, 9, 2), 7);
    EXPECT_EQ(c.at(2, 2), WHITE);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(c.at(i, 4 + i), RED) << i;
    EXPECT_EQ(c.at(6, 10), WHITE);
}

TEST(polyline, far_away_end_points_draw_the_visible_part_at_once)
{
    Canvas c(20, 10);
    POINT points[] = {{-2000000000, 5}, {2000000000, 5}};
    with_pen_and_brush(c.dc, CreatePen(PS_SOLID, 0, RED), CreateSolidBrush(BLUE),
                       [&] { Polyline(c.dc, points, 2); });
    EXPECT_EQ(c.count(RED), 20);
    EXPECT_EQ(c.count(RED, 0, 5, 19, 5), 20);
}

TEST(polyline, dotted_pen_leaves_gaps_painted_in_opaque_mode)
{
    Canvas c(30, 4);
    POINT points[] = {{0, 1}, {30, 1}};
    SetBkColor(c.dc, BLUE);
    with_pen_and_brush(c.dc, CreatePen(PS_DOT, 0, RED), CreateSolidBrush(BLUE),
                       [&] { Polyline(c.dc, points, 2); });
    EXPECT_EQ(c.at(0, 1), RED);
    EXPECT_EQ(c.at(3, 1), BLUE);
    EXPECT_EQ(c.count(RED) + c.count(BLUE), 30);
    EXPECT_GT(c.count(BLUE), 10);
}

TEST(round_rect, square_corners_match_rectangle_and_round_ones_cut_the_corner)
{
    Canvas a(30, 30), b(30, 30);
    with_pen_and_brush(a.dc, CreatePen(PS_SOLID, 0, RED), CreateSolidBrush(BLUE),
                       [&] { RoundRect(a.dc, 2, 2, 20, 20, 0, 0); });
    with_pen_and_brush(b.dc, CreatePen(PS_SOLID, 0, RED), CreateSolidBrush(BLUE),
                       [&] { Rectangle(b.dc, 2, 2, 20, 20); });
    EXPECT_EQ(a.pixels(), b.pixels());
    Canvas r(30, 30);
    with_pen_and_brush(r.dc, CreatePen(PS_SOLID, 0, RED), CreateSolidBrush(BLUE),
                       [&] { RoundRect(r.dc, 2, 2, 20, 20, 8, 8); });
    EXPECT_EQ(r.at(2, 2), WHITE);
    EXPECT_EQ(r.at(10, 2), RED);
    EXPECT_EQ(r.at(2, 10), RED);
    EXPECT_EQ(r.at(19, 10), RED);
    EXPECT_EQ(r.ink(WHITE).right, 19);
}

TEST(pat_blt, blackness_paints_black_with_negative_extents_too)
{
    Canvas c(10, 10);
    PatBlt(c.dc, 6, 6, -3, -2, BLACKNESS);
    EXPECT_EQ(c.count(BLACK), 6);
    EXPECT_EQ(c.count(BLACK, 3, 4, 5, 5), 6);
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
