// The print failure box in a real X window: the program draws it with its
// own fonts, centred on the calendar, and Enter, Space, Esc and its OK
// button each close it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include "platform/windows.h"
#include "tests/helpers/xvfb.h"

static const char CAPTION[] = "印刷処理が取り消されました";

struct Shown {
    int x = 0, y = 0, width = 0, height = 0;  // on the screen
    XImage* image = nullptr;
    COLORREF at(int px, int py) const
    {
        unsigned long c = XGetPixel(image, px, py);
        return RGB(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF);
    }
};

static Shown shown(Display* d, unsigned long window)
{
    Shown s;
    XWindowAttributes a;
    Window child;
    if (XGetWindowAttributes(d, window, &a) &&
        XTranslateCoordinates(d, window, a.root, 0, 0, &s.x, &s.y, &child)) {
        s.image = XGetImage(d, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
        s.width = a.width, s.height = a.height;
    }
    return s;
}

// Whether the box shows "印刷を中止します" exactly as the calendar's own
// text routine draws it on the box's grey in its 20-pixel rounded gothic.
static bool shows_message(const Shown& box)
{
    const int w = 160, h = 20;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
    HBRUSH grey = CreateSolidBrush(0xF0F0F0);
    HFONT font = CreateFontA(h, 10, 0, 0, 500, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 49,
                             "\x82\x63\x82\x65\x92\x86\x8a\xdb\x83\x53\x83\x56\x83\x62\x83\x4e\x91\xcc");
    SelectObject(dc, bitmap), SelectObject(dc, font);
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, grey);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 0, 0, "\x88\xF3\x8D\xFC\x82\xF0\x92\x86\x8E\x7E\x82\xB5\x82\xDC\x82\xB7", 16);
    bool found = false;
    for (int oy = 0; box.image && oy + h <= box.height && !found; oy++)
        for (int ox = 0; ox + w <= box.width && !found; ox++) {
            found = true;
            for (int i = 0; found && i < w * h; i++)
                found = box.at(ox + i % w, oy + i / w) == GetPixel(dc, i % w, i / w);
        }
    DeleteDC(dc), DeleteObject(bitmap), DeleteObject(grey), DeleteObject(font);
    return found;
}

TEST(message_box, ten_print_failure_boxes_in_the_programs_font_closed_by_keys_and_button)
{
    Xvfb x;
    ASSERT_TRUE(x.start(1024, 768)) << x.error();
    pid_t pid = xvfb_spawn(x, {RKM_PROGRAM, "--replay", "key F9"}, {"CUPS_SERVER=127.0.0.1:9"});
    unsigned long calendar = xvfb_find_window(x, "Calendar", 20000), box = 0;
    ASSERT_NE(calendar, 0u);
    Display* d = XOpenDisplay(x.display().c_str());
    for (int i = 0; i < 10; i++) {
        unsigned long previous = box;
        for (int wait = 0; wait < 100 && (box == 0 || box == previous); wait++)
            box = xvfb_find_window(x, CAPTION, 100);
        ASSERT_TRUE(box && box != previous) << "box " << i + 1;
        Shown s = shown(d, box);
        // The box may be mapped a moment before it is drawn.
        for (int wait = 0; i == 0 && wait < 30 && !shows_message(s); wait++) {
            usleep(100000);
            if (s.image)
                XDestroyImage(s.image);
            s = shown(d, box);
        }
        if (i == 0) {
            EXPECT_TRUE(shows_message(s));
            EXPECT_NEAR(s.x + s.width / 2, 512, 1);  // centred on the calendar
            EXPECT_NEAR(s.y + s.height / 2, 384, 1);
        }
        if (s.image)
            XDestroyImage(s.image);
        // Enter, Space, Esc, and the OK button (centred at the bottom) last;
        // given again if the box is still there two seconds later (the
        // program drops keys pressed before a box shows, so none carries
        // over to the next box).
        std::string id = std::to_string(box);
        const char* keys[] = {"Return", "space", "Escape"};
        for (int wait = 0; wait < 60 && xvfb_find_window(x, CAPTION, 0) == box; wait++) {
            if (wait % 20 == 0 && i < 9)
                xvfb_xdotool(x, {"key", "--window", id, keys[i % 3]});
            else if (wait % 20 == 0 &&
                     xvfb_xdotool(x, {"mousemove", "--window", id, std::to_string(s.width / 2),
                                      std::to_string(s.height - 35)}) == "")
                xvfb_xdotool(x, {"click", "1"});
            usleep(100000);
        }
    }
    XCloseDisplay(d);
    EXPECT_EQ(xvfb_find_window(x, CAPTION, 1500), 0u);  // the tenth closed, no eleventh
    EXPECT_TRUE(xvfb_close_window(x, calendar));
    EXPECT_EQ(wait_child(pid, 20000), 0);
}
