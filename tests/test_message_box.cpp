// The print failure box in a real X window: the program draws it with its
// own fonts at the calendar's scale, centred on the calendar (margins or
// none), and Enter, Space, Esc and its OK button each close it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cmath>

#include "tests/helpers/canvas.h"
#include "tests/helpers/sjis_texts.h"
#include "tests/helpers/xvfb.h"

static const char CAPTION[] = "印刷処理が取り消されました";

// The box as the X server shows it: its place on the screen and its pixels.
struct Shown {
    int x = 0, y = 0, width = 0, height = 0;
    XImage* image = nullptr;
    Shown(Display* d, unsigned long window)
    {
        XWindowAttributes a;
        Window child;
        if (XGetWindowAttributes(d, window, &a) &&
            XTranslateCoordinates(d, window, a.root, 0, 0, &x, &y, &child))
            image = XGetImage(d, window, 0, 0, width = a.width, height = a.height, AllPlanes, ZPixmap);
    }
    ~Shown()
    {
        if (image)
            XDestroyImage(image);
    }
    COLORREF at(int px, int py) const
    {
        unsigned long c = XGetPixel(image, px, py);
        return RGB(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF);
    }
    // Whether it shows "印刷を中止します" exactly as the calendar's own text
    // routine draws it on the box's grey in its rounded gothic, 20 pixels
    // at scale 1.
    bool shows_message(double scale) const
    {
        const int cell = (int)std::lround(20 * scale), half = (int)std::lround(10 * scale);
        Canvas c(16 * half, cell, 0xF0F0F0);
        HFONT font = CreateFontA(cell, half, 0, 0, 500, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 49, FACE_NAKAMARU);
        SelectObject(c.dc, font);
        SetBkMode(c.dc, TRANSPARENT);
        TextOutA(c.dc, 0, 0, "\x88\xF3\x8D\xFC\x82\xF0\x92\x86\x8E\x7E\x82\xB5\x82\xDC\x82\xB7", 16);
        std::vector<COLORREF> want = c.pixels();
        bool found = false;
        for (int oy = 0; image && oy + c.height <= height && !found; oy++)
            for (int ox = 0; ox + c.width <= width && !found; ox++) {
                found = true;
                for (int i = 0; found && i < c.width * c.height; i++)
                    found = at(ox + i % c.width, oy + i / c.width) == want[i];
            }
        SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
        return found;
    }
};

// The ten boxes of a print that fails, on a screen of width x height, each
// closed in turn.
static void boxes_on(int width, int height)
{
    const int count = 10;
    const double scale = std::min(width / 1024.0, height / 768.0);
    Xvfb x;
    ASSERT_TRUE(x.start(width, height)) << x.error();
    pid_t pid = xvfb_spawn(x, {RKM_PROGRAM, "--replay", "key F9"}, {"CUPS_SERVER=127.0.0.1:9"});
    unsigned long calendar = xvfb_find_window(x, "Calendar", 20000), box = 0;
    ASSERT_NE(calendar, 0u);
    Display* d = XOpenDisplay(x.display().c_str());
    for (int i = 0; i < count; i++) {
        unsigned long previous = box;
        for (int wait = 0; wait < 100 && (box == 0 || box == previous); wait++)
            box = xvfb_find_window(x, CAPTION, 100);
        ASSERT_TRUE(box && box != previous) << "box " << i + 1;
        auto s = std::make_unique<Shown>(d, box);
        for (int wait = 0; i == 0 && wait < 30 && !s->shows_message(scale); wait++) {
            usleep(100000);  // mapped a moment before it is drawn
            s = std::make_unique<Shown>(d, box);
        }
        if (i == 0) {
            EXPECT_TRUE(s->shows_message(scale)) << width << "x" << height;
            EXPECT_NEAR(s->x + s->width / 2, width / 2, 1);  // centred on the calendar
            EXPECT_NEAR(s->y + s->height / 2, height / 2, 1);
            EXPECT_EQ(s->width, std::lround(490 * scale));  // its width at 1:1, scaled
        }
        // Enter, Space, Esc, and the OK button (centred at the bottom) last;
        // given again if the box is still there two seconds later (keys
        // pressed before a box shows are dropped, so none carries over).
        std::string id = std::to_string(box);
        const char* keys[] = {"Return", "space", "Escape"};
        for (int wait = 0; wait < 60 && xvfb_find_window(x, CAPTION, 0) == box; wait++) {
            if (wait % 20 == 0 && i < count - 1)
                xvfb_xdotool(x, {"key", "--window", id, keys[i % 3]});
            else if (wait % 20 == 0 &&
                     xvfb_xdotool(x, {"mousemove", "--window", id, std::to_string(s->width / 2),
                                      std::to_string(s->height - 35)}) == "")
                xvfb_xdotool(x, {"click", "1"});
            usleep(100000);
        }
    }
    XCloseDisplay(d);
    EXPECT_EQ(xvfb_find_window(x, CAPTION, 1500), 0u);  // the last closed, no more
    EXPECT_TRUE(xvfb_close_window(x, calendar));
    EXPECT_EQ(wait_child(pid, 20000), 0);
}

TEST(message_box, print_failure_boxes_in_the_programs_font_closed_by_keys_and_button)
{
    boxes_on(1024, 768);
    boxes_on(1920, 1080);  // enlarged, with margins at the sides
    boxes_on(800, 600);    // shrunk
}
