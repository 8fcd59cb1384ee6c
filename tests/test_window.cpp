// Windows and messages: the first paint, input from the user, disabled
// windows, closing and what the screen shows. Real X input and the window
// icon are tested on the whole program (test_screen).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include <SDL.h>

#include "platform/window/fit.h"
#include "platform/window/wnd.h"
#include "platform/windows.h"

namespace {

const COLORREF PAINT_COLOUR = RGB(255, 0, 0), CLASS_COLOUR = RGB(0, 0, 128);

struct Received { UINT message; WPARAM wparam; LPARAM lparam; std::string chars; };  // chars: ToAscii at WM_KEYUP
std::vector<Received> received;

// Records every message; paints the top-left 50 x 50 red; erasing and the
// rest go to the default procedure, as in the calendar.
LRESULT recorder(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    Received r{message, wparam, lparam, ""};
    if (message == WM_KEYUP) {
        BYTE state[256];
        GetKeyboardState(state);
        WORD out = 0;
        r.chars.assign((char*)&out, ToAscii((UINT)wparam, (UINT)lparam, state, &out, 0));
    }
    received.push_back(r);
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        static HBRUSH red = CreateSolidBrush(PAINT_COLOUR);
        RECT box = {0, 0, 50, 50};
        FillRect(BeginPaint(window, &ps), &box, red);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_DESTROY)
        PostQuitMessage(7);
    return message == WM_DESTROY ? 0 : DefWindowProcA(window, message, wparam, lparam);
}

// The messages received of these kinds, in order.
std::vector<Received> only(std::initializer_list<UINT> kinds)
{
    std::vector<Received> out;
    for (const Received& r : received)
        if (std::find(kinds.begin(), kinds.end(), r.message) != kinds.end())
            out.push_back(r);
    return out;
}

int count(UINT message)
{
    return (int)only({message}).size();
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static HBRUSH navy = CreateSolidBrush(CLASS_COLOUR);
        WNDCLASSA wc{};
        wc.lpfnWndProc = recorder;
        wc.hInstance = (HINSTANCE)&received;
        wc.hbrBackground = navy;
        wc.lpszClassName = "TestWin";
        RegisterClassA(&wc);  // refused, harmlessly, from the second window on
        received.clear();
        window = CreateWindowExA(0, "TestWin", "Test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr) << plat_window_error();
        ShowWindow(window, SW_SHOWMAXIMIZED);
        UpdateWindow(window);
    }
    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            ;
    }
    // The calendar's message loop, ended as soon as nothing is left to do.
    WPARAM run_loop()
    {
        plat_set_idle_hook([](void*) { PostQuitMessage(0); }, nullptr);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        plat_set_idle_hook(nullptr, nullptr);
        return m.wParam;
    }
    // The window system makes the client area width x height pixels.
    void resize(int width, int height)
    {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
        e.window.windowID = window->sdl_id;
        e.window.data1 = width;
        e.window.data2 = height;
        SDL_PushEvent(&e);
        run_loop();
    }
    HWND window = nullptr;
};

}  // namespace

TEST_F(WindowTest, update_window_paints_once_before_the_loop_over_the_erased_background)
{
    EXPECT_EQ(count(WM_PAINT), 1);
    EXPECT_EQ(count(WM_ERASEBKGND), 1);
    HDC dc = GetDC(window);
    EXPECT_EQ(GetPixel(dc, 10, 10), PAINT_COLOUR);
    EXPECT_EQ(GetPixel(dc, 100, 100), CLASS_COLOUR) << "class brush erases";
    ReleaseDC(window, dc);
    EXPECT_EQ(plat_screen_pixel(window, 10, 10), PAINT_COLOUR) << "EndPaint shows it";
    UpdateWindow(window);
    run_loop();
    EXPECT_EQ(count(WM_PAINT), 1) << "nothing asked for a second paint";
    plat_inject_paint(window);
    run_loop();
    EXPECT_EQ(count(WM_PAINT), 2);
}

// Each key, typed as text or pressed with what the layout produced, arrives
// as one release with its Windows code, key data and ToAscii's characters.
TEST_F(WindowTest, injected_keys_and_clicks_arrive_with_windows_codes)
{
    struct Key { UINT press; const char* text; WPARAM vk; UINT message; const char* chars; bool extended = false; };
    const Key keys[] = {  // press 0: typed as the text
        {0, "2", '2', WM_KEYUP, "2"},
        {0, "a", 'A', WM_KEYUP, "a"},
        {0, "/", VK_OEM_2, WM_KEYUP, "/"},
        {0, " ", VK_SPACE, WM_KEYUP, " "},
        {VK_RETURN, nullptr, VK_RETURN, WM_KEYUP, "\r"},
        {VK_F9, nullptr, VK_F9, WM_KEYUP, ""},
        {VK_LEFT, nullptr, VK_LEFT, WM_KEYUP, "", true},
        {VK_F10, nullptr, VK_F10, WM_SYSKEYUP, ""},                // a system key
        {'7', "'", '7', WM_KEYUP, "'"},                            // Shift+7, Japanese layout
        {VK_NONAME, "\xEF\xBD\xB1", VK_NONAME, WM_KEYUP, "\xB1"},  // half-width katakana A
        {'3', "\xE3\x81\x82", '3', WM_KEYUP, ""},                  // kana A: no one-byte key
        {'E', "^e", 'E', WM_KEYUP, "^e"},                          // an unused dead key and e
        {'Q', nullptr, 'Q', WM_KEYUP, ""},                         // a key that typed nothing
    };
    for (const Key& k : keys)
        k.press ? plat_inject_key(window, k.press, k.text) : plat_inject_text(window, k.text);
    plat_inject_click(window, 640, 300);
    plat_inject_click(window, 1023, 767);
    run_loop();
    std::vector<Received> ups = only({WM_KEYUP, WM_SYSKEYUP});
    ASSERT_EQ(ups.size(), std::size(keys));
    for (size_t i = 0; i < ups.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ups[i].message, keys[i].message);
        EXPECT_EQ(ups[i].wparam, keys[i].vk);
        EXPECT_EQ(ups[i].chars, keys[i].chars);
        DWORD data = (DWORD)ups[i].lparam;
        EXPECT_EQ(data & 0xFFFF, 1u) << "repeat count";
        EXPECT_EQ(data >> 30, 3u) << "previous state down, transition up";
        EXPECT_EQ((data >> 24 & 1) != 0, keys[i].extended);
    }
    EXPECT_EQ(count(WM_KEYDOWN), (int)std::size(keys) - 1);
    std::vector<Received> typed = only({WM_CHAR});
    ASSERT_GE(typed.size(), 4u);
    EXPECT_EQ(typed[0].wparam, (WPARAM)'2') << "TranslateMessage makes WM_CHAR";

    std::vector<Received> downs = only({WM_LBUTTONDOWN});
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].lparam, MAKELPARAM(640, 300));
    EXPECT_EQ(downs[1].lparam, MAKELPARAM(1023, 767));
    EXPECT_EQ(downs[0].wparam, MK_LBUTTON);
    EXPECT_EQ(count(WM_LBUTTONUP), 2);
}

TEST_F(WindowTest, disabled_window_gets_no_keyboard_or_mouse_messages)
{
    plat_inject_key(window, '1', "1");  // queued before, taken after disabling
    EXPECT_FALSE(EnableWindow(window, FALSE)) << "was enabled";
    EXPECT_FALSE(IsWindowEnabled(window));
    plat_inject_click(window, 10, 10);
    plat_inject_text(window, "9");
    plat_inject_close(window);
    plat_inject_paint(window);
    run_loop();
    EXPECT_EQ(count(WM_KEYUP) + count(WM_KEYDOWN) + count(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(count(WM_CLOSE), 0) << "the close box of a disabled window does nothing";
    EXPECT_EQ(count(WM_PAINT), 2) << "painting goes on";
    EXPECT_TRUE(EnableWindow(window, TRUE)) << "was disabled";
    plat_inject_text(window, "5");
    run_loop();
    ASSERT_EQ(count(WM_KEYUP), 1);
    EXPECT_EQ(only({WM_KEYUP})[0].chars, "5");
}

// Enlarged, shrunk or with margins, a click on the first or the last pixel
// of a design unit's block arrives as that unit (below scale 1, for units
// with a pixel of their own); one beside the design arrives as nothing.
TEST_F(WindowTest, clicks_on_the_edges_of_a_units_block_arrive_as_the_unit)
{
    for (auto [w, h] : {std::pair{1920, 1080}, {2048, 1536}, {1366, 700}, {800, 600}}) {
        resize(w, h);
        WndFit f = fit_for(w, h, false);
        received.clear();
        std::vector<LPARAM> want;
        for (int u : {0, 1, 2, 99, 383, 511, 766, 767})
            for (int last : {0, 1}) {
                int x = fit_pixel(f.scale, f.offset_x, u + last) - last;
                int y = fit_pixel(f.scale, f.offset_y, u + last) - last;
                if (fit_pixel(f.scale, 0, u + 1) == fit_pixel(f.scale, 0, u))
                    continue;  // no pixel of its own
                plat_inject_click(window, x, y);
                want.push_back(MAKELPARAM(u, u));
            }
        plat_inject_click(window, f.offset_x - 1, f.offset_y);
        plat_inject_click(window, fit_pixel(f.scale, f.offset_x, 1024), f.offset_y);
        plat_inject_click(window, f.offset_x, fit_pixel(f.scale, f.offset_y, 768));
        run_loop();
        std::vector<LPARAM> got;
        for (const Received& r : only({WM_LBUTTONDOWN}))
            got.push_back(r.lparam);
        EXPECT_EQ(got, want) << w << "x" << h;
    }
}

// Two DCs on one window draw in the order of their calls, whichever is
// released first (fills wait to be drawn).
TEST_F(WindowTest, two_dcs_draw_in_the_order_of_their_calls)
{
    HDC first = GetDC(window), second = GetDC(window);
    RECT all = {0, 0, 1024, 768}, corner = {0, 0, 10, 10};
    FillRect(first, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    SetPixel(second, 20, 20, PAINT_COLOUR);
    FillRect(first, &corner, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ReleaseDC(window, second);
    ReleaseDC(window, first);
    EXPECT_EQ(plat_screen_pixel(window, 20, 20), PAINT_COLOUR);
    EXPECT_EQ(plat_screen_pixel(window, 30, 30), RGB(255, 255, 255));
    EXPECT_EQ(plat_screen_pixel(window, 5, 5), RGB(0, 0, 0));
}

// The close box ends the loop; a DC held across it (as the key handler holds
// one when F12 closes the window) still draws and is released.
TEST_F(WindowTest, close_request_becomes_wm_close_and_ends_the_loop)
{
    HDC dc = GetDC(window);
    plat_inject_close(window);
    EXPECT_EQ(run_loop(), 7u) << "the quit code of WM_DESTROY, not the idle hook's";
    std::vector<Received> ends = only({WM_CLOSE, WM_DESTROY});
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[0].message, (UINT)WM_CLOSE);
    RECT box = {0, 0, 1024, 768};
    EXPECT_TRUE(FillRect(dc, &box, (HBRUSH)GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(plat_screen_pixel(window, 0, 0), CLR_INVALID) << "nothing left to show on";
    EXPECT_EQ(GetDC(window), nullptr);
    window = nullptr;
}

// The day watch's thread ends with its window. A window the window system
// makes too large for a picture (over 32767 pixels wide) draws nothing and
// says why it cannot be saved, rather than draw through a surface without
// pixels, and draws again at a size it can.
TEST_F(WindowTest, the_day_watch_ends_with_its_window_and_a_window_too_large_draws_nothing)
{
    resize(40000, 300);
    EXPECT_EQ(GetDC(window), nullptr);
    std::string reason;
    EXPECT_FALSE(plat_save_window_png(window, "/nonexistent/wide.png", &reason));
    EXPECT_EQ(reason, "the window is too large to draw");
    resize(1024, 768);
    EXPECT_EQ(plat_screen_pixel(window, 10, 10), PAINT_COLOUR);

    auto threads = [] {
        auto tasks = std::filesystem::directory_iterator("/proc/self/task");
        return std::distance(begin(tasks), end(tasks));
    };
    auto before = threads();
    plat_watch_day(window);
    plat_watch_day(window);
    EXPECT_EQ(threads(), before + 1);
    DestroyWindow(window);
    window = nullptr;
    EXPECT_EQ(threads(), before);
}
