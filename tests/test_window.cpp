// Windows and messages: creation, the first paint, input from the user,
// disabled windows, closing and what the screen shows. Real X input and
// the window icon are tested on the whole program (test_screen).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/foreign.h"
#include "platform/windows.h"
#include "support/ghl3000.h"

namespace {

const COLORREF PAINT_COLOUR = RGB(255, 0, 0);
const COLORREF CLASS_COLOUR = RGB(0, 0, 128);
const char CLASS_NAME[] = "TestWin";

struct Received {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    int chars;  // ToAscii's answer during WM_KEYUP
    BYTE text[2];
};
std::vector<Received> received;

// Records every message; paints the top-left 50 x 50 red; erasing and the
// rest go to the default procedure, as in the calendar.
LRESULT recorder(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    Received r{message, wparam, lparam, 0, {0, 0}};
    if (message == WM_KEYUP) {
        BYTE state[256];
        GetKeyboardState(state);
        WORD out = 0;
        r.chars = ToAscii((UINT)wparam, (UINT)lparam, state, &out, 0);
        std::memcpy(r.text, &out, 2);
    }
    received.push_back(r);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        HBRUSH red = CreateSolidBrush(PAINT_COLOUR);
        RECT box = {0, 0, 50, 50};
        FillRect(dc, &box, red);
        DeleteObject(red);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(7);
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

HWND create_test_window()
{
    static HBRUSH navy = CreateSolidBrush(CLASS_COLOUR);
    WNDCLASSA wc{};
    wc.lpfnWndProc = recorder;
    wc.hInstance = (HINSTANCE)&received;
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(400));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = navy;
    wc.lpszClassName = CLASS_NAME;
    RegisterClassA(&wc);  // refused, harmlessly, from the second window on
    return CreateWindowExA(0, CLASS_NAME, "Test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

// The messages received of these kinds, in order.
std::vector<Received> only(std::initializer_list<UINT> kinds)
{
    std::vector<Received> out;
    for (const Received& r : received)
        for (UINT kind : kinds)
            if (r.message == kind)
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
        received.clear();
        window = create_test_window();
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
        plat_set_idle_hook(nullptr, nullptr);
    }
    // The calendar's message loop, ended by default as soon as nothing is
    // left to do.
    static void quit_when_idle(void*) { PostQuitMessage(0); }
    WPARAM run_loop(void (*idle)(void*) = quit_when_idle)
    {
        plat_set_idle_hook(idle, nullptr);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        plat_set_idle_hook(nullptr, nullptr);
        return m.wParam;
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

TEST_F(WindowTest, injected_keys_arrive_as_key_releases_with_windows_codes)
{
    plat_inject_text(window, "2a/ ");
    plat_inject_key(window, VK_RETURN, nullptr);
    plat_inject_key(window, VK_F9, nullptr);
    plat_inject_key(window, VK_LEFT, nullptr);
    plat_inject_key(window, VK_F10, nullptr);
    run_loop();

    std::vector<Received> ups = only({WM_KEYUP});
    const WPARAM vks[] = {'2', 'A', VK_OEM_2, VK_SPACE, VK_RETURN, VK_F9, VK_LEFT};
    const int chars[] = {'2', 'a', '/', ' ', '\r', 0, 0};
    ASSERT_EQ(ups.size(), 7u);
    for (size_t i = 0; i < ups.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ups[i].wparam, vks[i]);
        EXPECT_EQ(ups[i].chars, chars[i] ? 1 : 0);
        if (chars[i]) {
            EXPECT_EQ(ups[i].text[0], chars[i]);
        }
        DWORD data = (DWORD)ups[i].lparam;
        EXPECT_EQ(data & 0xFFFF, 1u) << "repeat count";
        EXPECT_EQ(data >> 30, 3u) << "previous state down, transition up";
    }
    EXPECT_TRUE((DWORD)ups[6].lparam & (1u << 24)) << "arrow keys are extended keys";
    EXPECT_EQ(count(WM_KEYDOWN), 7);
    std::vector<Received> typed = only({WM_CHAR});
    ASSERT_GE(typed.size(), 4u);
    EXPECT_EQ(typed[0].wparam, (WPARAM)'2') << "TranslateMessage makes WM_CHAR";
    ASSERT_EQ(count(WM_SYSKEYUP), 1) << "F10 is a system key";
    EXPECT_EQ(only({WM_SYSKEYUP})[0].wparam, (WPARAM)VK_F10);
}

TEST_F(WindowTest, to_ascii_gives_the_character_the_layout_produced)
{
    plat_inject_key(window, '2', "\"");          // Shift+2 on a Japanese keyboard
    plat_inject_key(window, VK_NONAME, "\xEF\xBD\xB1");  // half-width katakana A
    plat_inject_key(window, 'A', "\xE3\x81\x82");        // hiragana A: two bytes
    plat_inject_key(window, 'E', "^e");          // an unused dead key and e
    plat_inject_key(window, 'Q', nullptr);       // a key that typed nothing
    run_loop();
    std::vector<Received> ups = only({WM_KEYUP});
    ASSERT_EQ(ups.size(), 5u);
    EXPECT_EQ(ups[0].chars, 1);
    EXPECT_EQ(ups[0].text[0], '"');
    EXPECT_EQ(ups[1].chars, 1);
    EXPECT_EQ(ups[1].text[0], 0xB1);
    EXPECT_EQ(ups[2].chars, 0) << "a double-byte character is no ASCII key";
    EXPECT_EQ(ups[3].chars, 2);
    EXPECT_EQ(ups[3].text[0], '^');
    EXPECT_EQ(ups[3].text[1], 'e');
    EXPECT_EQ(ups[4].chars, 0);
    WORD out = 0xFFFF;
    EXPECT_EQ(ToAscii('2', 0, nullptr, &out, 0), 1) << "found by key code alone";
    EXPECT_EQ(out & 0xFF, '"');
    EXPECT_EQ(ToAscii('2', 0, nullptr, nullptr, 0), 0);
}

TEST_F(WindowTest, left_clicks_arrive_with_client_coordinates)
{
    plat_inject_click(window, 640, 300);
    plat_inject_click(window, 1023, 767);
    run_loop();
    std::vector<Received> downs = only({WM_LBUTTONDOWN});
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(LOWORD(downs[0].lparam), 640);
    EXPECT_EQ(HIWORD(downs[0].lparam), 300);
    EXPECT_EQ(downs[0].wparam, MK_LBUTTON);
    EXPECT_EQ(LOWORD(downs[1].lparam), 1023);
    EXPECT_EQ(HIWORD(downs[1].lparam), 767);
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
    EXPECT_EQ(only({WM_KEYUP})[0].text[0], '5');
}

TEST_F(WindowTest, close_request_becomes_wm_close_and_ends_the_loop)
{
    bool foreign_called = false;
    static bool* flag = &foreign_called;
    plat_foreign_post = [](HWND, UINT, WPARAM, LPARAM) -> BOOL {
        *flag = true;
        return TRUE;
    };
    plat_inject_close(window);
    EXPECT_EQ(run_loop(), 7u) << "the quit code of WM_DESTROY, not the idle hook's";
    std::vector<Received> ends = only({WM_CLOSE, WM_DESTROY});
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[0].message, (UINT)WM_CLOSE);

    RECT client;
    EXPECT_FALSE(GetClientRect(window, &client));
    EXPECT_EQ(GetDC(window), nullptr);
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_CLOSE, 0, 0));
    EXPECT_FALSE(foreign_called) << "a destroyed window of ours is no foreign window";
    EXPECT_TRUE(PostMessageA((HWND)(uintptr_t)0x4000123, WM_CLOSE, 0, 0));
    EXPECT_TRUE(foreign_called);
    plat_foreign_post = nullptr;
    window = nullptr;
}

TEST_F(WindowTest, dc_held_across_destroy_window_still_draws_and_releases)
{
    HDC dc = GetDC(window);  // as the key handler holds it when F12 destroys the window
    ASSERT_TRUE(DestroyWindow(window));
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    RECT box = {0, 0, 1024, 768};
    EXPECT_TRUE(FillRect(dc, &box, white));
    DeleteObject(white);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(plat_screen_pixel(window, 0, 0), CLR_INVALID) << "nothing left to show on";
    window = nullptr;
}

TEST(message_loop, idle_hook_runs_when_nothing_is_queued_and_no_window_means_no_wait)
{
    static int idle_calls = 0;
    idle_calls = 0;
    plat_set_idle_hook(
        [](void*) {
            if (++idle_calls == 1)
                PostMessageA(nullptr, 0x8001, 5, 6);
        },
        nullptr);
    MSG m;
    EXPECT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, 0x8001u);
    EXPECT_EQ(m.wParam, 5u);
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0)) << "no window: nothing can ever arrive";
    EXPECT_EQ(m.message, (UINT)WM_QUIT);
    EXPECT_EQ(idle_calls, 2);
    plat_set_idle_hook(nullptr, nullptr);
}
