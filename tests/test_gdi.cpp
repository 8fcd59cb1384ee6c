// The graphics layer: memory DCs, objects and the pixel rules of shapes.
// Printer DCs are tested with the print calls, PNG files with --snapshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>

#include "platform/windows.h"
#include "tests/helpers/canvas.h"

const COLORREF WHITE = 0xFFFFFF, BLACK = 0x000000, RED = 0x0000FF, BLUE = 0xFF0000;

TEST(memory_dc, bitmap_pixels_round_trip_and_without_bitmap_nothing_is_drawn)
{
    Canvas c(8, 6, WHITE);
    EXPECT_EQ(SetPixel(c.dc, 7, 5, 0x123456), 0x123456u);
    EXPECT_EQ(c.at(7, 5), 0x123456u);
    EXPECT_EQ(GetPixel(c.dc, 8, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc, 0, -1), CLR_INVALID);
    EXPECT_EQ(SetPixel(c.dc, -1, 0, BLACK), CLR_INVALID);
    HDC dc = CreateCompatibleDC(nullptr);
    RECT r{0, 0, 4, 4};
    EXPECT_EQ(FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH)), 0);
    EXPECT_FALSE(Rectangle(dc, 0, 0, 4, 4));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    DeleteDC(dc);
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
// 30 x 12 canvas: red and blue pixels in boxes, single pixels, or the same
// pixels as another drawing.
TEST(shapes, pixel_rules_of_each_call)
{
    struct Count { COLORREF colour; int x1, y1, x2, y2, n; };  // x2 < 0: the whole canvas; n < 0: at least -n
    struct Probe { int x, y; COLORREF colour; };
    using Draw = std::function<void(HDC)>;
    struct Case {
        const char* what;
        Draw draw;
        std::vector<Count> counts;
        std::vector<Probe> probes;
        int mode = GM_COMPATIBLE, pen = PS_SOLID;
        bool hollow = false;
        Draw same_as = nullptr;
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
        {"RoundRect with square corners", [](HDC dc) { RoundRect(dc, 2, 1, 20, 11, 0, 0); }, {}, {},
         GM_COMPATIBLE, PS_SOLID, false, [](HDC dc) { Rectangle(dc, 2, 1, 20, 11); }},
        {"PatBlt with negative extents", [](HDC dc) { PatBlt(dc, 6, 6, -3, -2, BLACKNESS); },
         {{BLACK, 0, 0, -1, 0, 6}, {BLACK, 3, 4, 5, 5, 6}}, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto paint = [&](const Draw& draw) {
            auto c = std::make_unique<Canvas>(30, 12);
            SetGraphicsMode(c->dc, k.mode);
            HPEN pen = CreatePen(k.pen, 0, RED);
            HBRUSH brush = k.hollow ? (HBRUSH)GetStockObject(NULL_BRUSH) : CreateSolidBrush(BLUE);
            HGDIOBJ old_pen = SelectObject(c->dc, pen), old_brush = SelectObject(c->dc, brush);
            draw(c->dc);
            SelectObject(c->dc, old_pen), SelectObject(c->dc, old_brush);
            DeleteObject(pen), DeleteObject(brush);
            return c;
        };
        std::unique_ptr<Canvas> c = paint(k.draw);
        for (const Count& n : k.counts) {
            int got = n.x2 < 0 ? c->count(n.colour) : c->count(n.colour, n.x1, n.y1, n.x2, n.y2);
            EXPECT_TRUE(n.n < 0 ? got >= -n.n : got == n.n)
                << std::hex << n.colour << std::dec << " in " << n.x1 << "," << n.y1 << ": " << got;
        }
        for (const Probe& p : k.probes)
            EXPECT_EQ(c->at(p.x, p.y), p.colour) << p.x << "," << p.y;
        if (k.same_as) {
            EXPECT_EQ(c->pixels(), paint(k.same_as)->pixels());
        }
    }
}

// Fills wait to be drawn, and are dropped or cut where later ones cover
// them: whatever the order of fills, outlines and single pixels, the picture
// is the one drawn step by step into an array of pixels.
TEST(fills, waiting_fills_give_the_picture_drawn_step_by_step)
{
    const int W = 600, H = 400;
    Canvas c(W, H, 0);
    std::vector<COLORREF> want(W * H, 0);
    auto paint = [&](int x0, int y0, int x1, int y1, COLORREF colour) {
        for (int y = std::max(y0, 0); y < std::min(y1, H); y++)
            for (int x = std::max(x0, 0); x < std::min(x1, W); x++)
                want[y * W + x] = colour;
    };
    std::mt19937 random(22);
    SelectObject(c.dc, GetStockObject(HOLLOW_BRUSH));
    int wrong = 0, first = -1;
    for (int step = 0; step < 320; step++) {
        if (step % 8 == 7) {  // read back now and then: the fills waiting are drawn
            std::vector<COLORREF> got = c.pixels();
            for (int i = 0; i < W * H; i++)
                if (got[i] != want[i] && wrong++ == 0)
                    first = i;
        }
        int x0 = (int)(random() % W) - 40, y0 = (int)(random() % H) - 40;
        bool big = step % 3 == 0;  // a third of them at least half the canvas's size
        int x1 = x0 + 1 + (big ? W / 2 : 0) + (int)(random() % (W / 2));
        int y1 = y0 + 1 + (big ? H / 2 : 0) + (int)(random() % (H / 2));
        COLORREF colour = random() & 0xFFFFFF;
        if (step % 11 == 0) {  // one pixel
            SetPixel(c.dc, x0 + 40, y0 + 40, colour);
            paint(x0 + 40, y0 + 40, x0 + 41, y0 + 41, colour);
        } else if (step % 5 == 0) {  // an outline, one pixel wide
            HPEN pen = CreatePen(PS_SOLID, 0, colour);
            HGDIOBJ old = SelectObject(c.dc, pen);
            Rectangle(c.dc, x0, y0, x1, y1);
            SelectObject(c.dc, old);
            DeleteObject(pen);
            paint(x0, y0, x1, y0 + 1, colour), paint(x0, y1 - 1, x1, y1, colour);
            paint(x0, y0, x0 + 1, y1, colour), paint(x1 - 1, y0, x1, y1, colour);
        } else {
            RECT r = {x0, y0, x1, y1};
            HBRUSH brush = CreateSolidBrush(colour);
            FillRect(c.dc, &r, brush);
            DeleteObject(brush);
            paint(x0, y0, x1, y1, colour);
        }
    }
    EXPECT_EQ(wrong, 0) << "first at " << first % W << "," << first / W;
}
