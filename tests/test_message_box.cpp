// The print failure box in a real X window: the program draws it with its
// own fonts, centred on the calendar, and Enter, Space, Esc and its OK
// button each close it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/windows.h"
#include "tests/helpers/xvfb.h"

namespace {

const char CAPTION[] = "印刷処理が取り消されました";
const char STOP_TEXT[] = "\x88\xF3\x8D\xFC\x82\xF0\x92\x86\x8E\x7E\x82\xB5\x82\xDC\x82\xB7";
const char FACE[] = "\x82\x63\x82\x65\x92\x86\x8a\xdb\x83\x53\x83\x56\x83\x62\x83\x4e\x91\xcc";
const COLORREF BOX_FACE = 0xF0F0F0;

struct Shown {
    int x = 0, y = 0, width = 0, height = 0;  // on the screen
    std::vector<COLORREF> pixels;
    COLORREF at(int px, int py) const { return pixels[(size_t)py * width + px]; }
};

Shown shown(const Xvfb& x, unsigned long window)
{
    Shown s;
    Display* d = XOpenDisplay(x.display().c_str());
    XWindowAttributes a;
    Window child;
    if (d && XGetWindowAttributes(d, window, &a) &&
        XTranslateCoordinates(d, window, a.root, 0, 0, &s.x, &s.y, &child)) {
        XImage* image = XGetImage(d, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
        for (int py = 0; image && py < a.height; py++)
            for (int px = 0; px < a.width; px++) {
                unsigned long rgb = XGetPixel(image, px, py);
                s.pixels.push_back(RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF));
            }
        s.width = image ? a.width : 0;
        s.height = a.height;
        if (image)
            XDestroyImage(image);
    }
    if (d)
        XCloseDisplay(d);
    return s;
}

// The message line as the calendar's own text routine draws it on the box.
std::vector<COLORREF> message_line(int* width, int* height)
{
    *width = 160, *height = 20;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, *width, *height);
    SelectObject(dc, bitmap);
    HBRUSH face = CreateSolidBrush(BOX_FACE);
    RECT all = {0, 0, *width, *height};
    FillRect(dc, &all, face);
    HFONT font = CreateFontA(20, 10, 0, 0, 500, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 49, FACE);
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 0, 0, STOP_TEXT, 16);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < *height; y++)
        for (int x = 0; x < *width; x++)
            pixels.push_back(GetPixel(dc, x, y));
    DeleteDC(dc);
    DeleteObject(bitmap), DeleteObject(face), DeleteObject(font);
    return pixels;
}

bool shows_line(const Shown& box)
{
    int w, h;
    std::vector<COLORREF> line = message_line(&w, &h);
    for (int oy = 0; oy + h <= box.height; oy++)
        for (int ox = 0; ox + w <= box.width; ox++) {
            bool same = true;
            for (int i = 0; same && i < w * h; i++)
                same = box.at(ox + i % w, oy + i / w) == line[i];
            if (same)
                return true;
        }
    return false;
}

// Closes the box with Enter, Space, Esc or (3) a click on its OK button,
// centred at its bottom.
void close_box(const Xvfb& x, unsigned long box, const Shown& s, int how)
{
    std::string id = std::to_string(box);
    xvfb_xdotool(x, {"windowfocus", "--sync", id});
    const char* keys[] = {"Return", "space", "Escape"};
    if (how < 3)
        xvfb_xdotool(x, {"key", keys[how]});
    else if (xvfb_xdotool(x, {"mousemove", "--window", id, std::to_string(s.width / 2),
                              std::to_string(s.height - 35)}) == "")
        xvfb_xdotool(x, {"click", "1"});
}

unsigned long next_box(const Xvfb& x, unsigned long previous)
{
    for (int i = 0; i < 100; i++) {
        unsigned long box = xvfb_find_window(x, CAPTION, 100);
        if (box && box != previous)
            return box;
    }
    return 0;
}

}  // namespace

TEST(message_box, ten_print_failure_boxes_in_the_programs_font_closed_by_keys_and_button)
{
    Xvfb x;
    ASSERT_TRUE(x.start(1024, 768)) << x.error();
    pid_t pid = xvfb_spawn(x, {RKM_PROGRAM, "--replay", "key F9"}, {"CUPS_SERVER=127.0.0.1:9"});
    unsigned long calendar = xvfb_find_window(x, "Calendar", 20000), box = 0;
    ASSERT_NE(calendar, 0u);
    for (int i = 0; i < 10; i++) {
        box = next_box(x, box);
        ASSERT_NE(box, 0u) << "box " << i + 1;
        Shown s = shown(x, box);
        if (i == 0) {
            EXPECT_TRUE(shows_line(s));
            EXPECT_NEAR(s.x + s.width / 2, 512, 1);  // centred on the calendar
            EXPECT_NEAR(s.y + s.height / 2, 384, 1);
        }
        // A key or click that comes while the box is still being mapped may
        // find no window to go to: then it is given again.
        for (int attempt = 0; attempt < 3 && xvfb_find_window(x, CAPTION, 0) == box; attempt++) {
            close_box(x, box, s, i < 9 ? i % 3 : 3);
            usleep(700000);
        }
    }
    EXPECT_EQ(xvfb_find_window(x, CAPTION, 1500), 0u);  // no eleventh
    EXPECT_TRUE(xvfb_close_window(x, calendar));
    EXPECT_EQ(wait_child(pid, 20000), 0);
}
