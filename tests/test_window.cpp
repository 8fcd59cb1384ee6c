// Windows and messages: creation, the first paint, input from the user,
// disabled windows, closing, what the screen shows, and a real X window.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/foreign.h"
#include "platform/windows.h"
#include "support/ghl3000.h"
#include "tests/helpers/picture.h"
#include "tests/helpers/xvfb.h"

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
LPVOID create_param_seen = nullptr;

// Records every message; paints the top-left 50 x 50 red; erasing and the
// rest go to the default procedure, as in the calendar.
LRESULT recorder(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    Received r{message, wparam, lparam, 0, {0, 0}};
    if (message == WM_CREATE)
        create_param_seen = reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams;
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

void register_test_class()
{
    static HBRUSH navy = CreateSolidBrush(CLASS_COLOUR);
    WNDCLASSA wc{};
    wc.lpfnWndProc = recorder;
    wc.hInstance = (HINSTANCE)&received;
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(400));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = navy;
    wc.lpszClassName = CLASS_NAME;
    RegisterClassA(&wc);
}

HWND create_test_window(LPVOID param = nullptr)
{
    register_test_class();
    return CreateWindowExA(0, CLASS_NAME, "Test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                           (HINSTANCE)&received, param);
}

std::vector<Received> only(UINT message)
{
    std::vector<Received> out;
    for (const Received& r : received)
        if (r.message == message)
            out.push_back(r);
    return out;
}

int count(UINT message)
{
    return (int)only(message).size();
}

// The messages received of these kinds, in order.
std::vector<UINT> order_of(std::initializer_list<UINT> kinds)
{
    std::vector<UINT> order;
    for (const Received& r : received)
        for (UINT kind : kinds)
            if (r.message == kind)
                order.push_back(kind);
    return order;
}

COLORREF framebuffer_pixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        received.clear();
        window = create_test_window(&received);
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

TEST_F(WindowTest, creation_delivers_wm_create_during_the_call)
{
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().message, (UINT)WM_CREATE);
    EXPECT_EQ(create_param_seen, &received);
    HWND second = create_test_window();
    EXPECT_NE(second, nullptr) << "a second window of the class is allowed";
    EXPECT_NE(second, window);
    DestroyWindow(second);
}

TEST(window_classes, unknown_class_or_double_registration_is_refused)
{
    register_test_class();
    WNDCLASSA again{};
    again.lpfnWndProc = recorder;
    again.lpszClassName = CLASS_NAME;
    EXPECT_EQ(RegisterClassA(&again), 0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "x", 0, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_NE(std::string(plat_window_error()), "");
}

TEST_F(WindowTest, update_window_paints_once_before_the_loop_over_the_erased_background)
{
    EXPECT_EQ(count(WM_PAINT), 1);
    EXPECT_EQ(count(WM_ERASEBKGND), 1);
    EXPECT_EQ(framebuffer_pixel(window, 10, 10), PAINT_COLOUR);
    EXPECT_EQ(framebuffer_pixel(window, 100, 100), CLASS_COLOUR) << "class brush erases";
    EXPECT_EQ(plat_screen_pixel(window, 10, 10), PAINT_COLOUR) << "EndPaint shows it";

    UpdateWindow(window);
    run_loop();
    EXPECT_EQ(count(WM_PAINT), 1) << "nothing asked for a second paint";

    plat_inject_paint(window);
    run_loop();
    EXPECT_EQ(count(WM_PAINT), 2);
}

TEST_F(WindowTest, maximised_window_covers_the_design_and_sizes_agree)
{
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(GetSizeX(window), client.right);
    EXPECT_EQ(GetSizeY(window), client.bottom);
    EXPECT_GE(client.right, 1024);
    EXPECT_GE(client.bottom, 768);
    EXPECT_EQ(GetSizeX(nullptr), 0);
}

TEST_F(WindowTest, released_dc_is_shown_on_screen_and_released_once)
{
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    RECT box = {200, 200, 210, 210};
    FillRect(dc, &box, green);
    DeleteObject(green);
    EXPECT_NE(plat_screen_pixel(window, 205, 205), RGB(0, 255, 0)) << "not before release";
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(plat_screen_pixel(window, 205, 205), RGB(0, 255, 0));
    EXPECT_EQ(ReleaseDC(window, dc), 0) << "a DC is released only once";
}

TEST_F(WindowTest, grp_cls_blackens_the_whole_client_area_on_screen)
{
    GrpCls(window);
    int right = GetSizeX(window) - 1;
    int bottom = GetSizeY(window) - 1;
    EXPECT_EQ(plat_screen_pixel(window, 10, 10), RGB(0, 0, 0));
    EXPECT_EQ(plat_screen_pixel(window, 100, 100), RGB(0, 0, 0));
    EXPECT_EQ(plat_screen_pixel(window, right, bottom), RGB(0, 0, 0));
    GrpCls(nullptr);  // no window: nothing happens
}

TEST_F(WindowTest, injected_keys_arrive_as_key_releases_with_windows_codes)
{
    plat_inject_text(window, "2a/ ");
    plat_inject_key(window, VK_RETURN, nullptr);
    plat_inject_key(window, VK_F9, nullptr);
    plat_inject_key(window, VK_LEFT, nullptr);
    plat_inject_key(window, VK_F10, nullptr);
    run_loop();

    std::vector<Received> ups = only(WM_KEYUP);
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
    std::vector<Received> typed = only(WM_CHAR);
    ASSERT_GE(typed.size(), 4u);
    EXPECT_EQ(typed[0].wparam, (WPARAM)'2') << "TranslateMessage makes WM_CHAR";
    ASSERT_EQ(count(WM_SYSKEYUP), 1) << "F10 is a system key";
    EXPECT_EQ(only(WM_SYSKEYUP)[0].wparam, (WPARAM)VK_F10);
}

TEST_F(WindowTest, to_ascii_gives_the_character_the_layout_produced)
{
    plat_inject_key(window, '2', "\"");          // Shift+2 on a Japanese keyboard
    plat_inject_key(window, VK_NONAME, "\xEF\xBD\xB1");  // half-width katakana A
    plat_inject_key(window, 'A', "\xE3\x81\x82");        // hiragana A: two bytes
    plat_inject_key(window, 'E', "^e");          // an unused dead key and e
    plat_inject_key(window, 'Q', nullptr);       // a key that typed nothing
    run_loop();
    std::vector<Received> ups = only(WM_KEYUP);
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
    std::vector<Received> downs = only(WM_LBUTTONDOWN);
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
    EXPECT_EQ(only(WM_KEYUP)[0].text[0], '5');
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
    EXPECT_EQ(order_of({WM_CLOSE, WM_DESTROY}), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));

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

TEST_F(WindowTest, snapshot_holds_the_1024_by_768_design_area)
{
    HDC dc = GetDC(window);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT corner = {1023, 767, 1024, 768};
    FillRect(dc, &corner, blue);
    DeleteObject(blue);
    ReleaseDC(window, dc);

    std::string path = ::testing::TempDir() + "window_snapshot.png";
    ASSERT_TRUE(plat_save_window_png(window, path.c_str()));
    Picture png = read_png(path);
    std::remove(path.c_str());
    ASSERT_EQ(png.width, 1024);
    ASSERT_EQ(png.height, 768);
    EXPECT_EQ(png.at(10, 10), PAINT_COLOUR);
    EXPECT_EQ(png.at(1023, 767), RGB(0, 0, 255));
    EXPECT_EQ(png.at(500, 500), CLASS_COLOUR);
    EXPECT_FALSE(plat_save_window_png(window, "/nonexistent/dir/x.png"));
}

TEST_F(WindowTest, replay_from_the_idle_hook_keeps_input_and_repaints_in_order)
{
    static HWND target;
    static int step;
    target = window;
    step = 0;
    received.clear();
    run_loop([](void*) {
        switch (step++) {
        case 0: plat_inject_click(target, 1, 2); break;
        case 1: plat_inject_paint(target); break;
        case 2: plat_inject_text(target, "7"); break;
        default: PostQuitMessage(0);
        }
    });
    EXPECT_EQ(order_of({WM_LBUTTONDOWN, WM_PAINT, WM_KEYUP}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_PAINT, WM_KEYUP}));
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

TEST(resources, icon_400_and_the_arrow_cursor_exist)
{
    HINSTANCE self = (HINSTANCE)&received;
    EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(400)), nullptr);
    EXPECT_EQ(LoadIconA(self, "#400"), LoadIconA(self, MAKEINTRESOURCEA(400)));
    EXPECT_EQ(LoadIconA(self, MAKEINTRESOURCEA(401)), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
}

/* Start-up, each in a fresh process */

class FreshProcess : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

static void forget_display()
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
}

TEST_F(FreshProcess, without_a_display_creation_fails_with_a_reason_not_a_crash)
{
    EXPECT_EXIT(
        {
            forget_display();
            HWND w = create_test_window();
            std::fprintf(stderr, "%s\n", plat_window_error());
            std::exit(w ? 3 : 1);
        },
        ::testing::ExitedWithCode(1), "no display");
    EXPECT_EXIT(
        {
            forget_display();
            plat_set_display(PLAT_DISPLAY_ANY);
            std::exit(create_test_window() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(FreshProcess, message_box_without_a_display_writes_utf8_to_stderr)
{
    EXPECT_EXIT(
        {
            forget_display();
            int r = MessageBoxA(nullptr, "\x83\x76\x83\x8a\x83\x93\x83\x5e\x81\x5b", "RKM7500",
                                MB_OK | MB_ICONERROR);
            std::exit(r == IDOK ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "RKM7500: \xE3\x83\x97\xE3\x83\xAA\xE3\x83\xB3");
}

TEST_F(FreshProcess, startup_show_state_0_keeps_the_first_window_hidden)
{
    EXPECT_EXIT(
        {
            setenv("RKM_STARTUP_SHOW", "0", 1);
            HWND w = create_test_window();
            ShowWindow(w, SW_SHOWMAXIMIZED);
            UpdateWindow(w);
            bool hidden = count(WM_PAINT) == 0 && plat_screen_pixel(w, 1, 1) == CLR_INVALID;
            ShowWindow(w, SW_SHOWMAXIMIZED);
            UpdateWindow(w);
            bool shown = count(WM_PAINT) == 1;
            std::exit(hidden && shown ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

/* A real window on a private X server, driven by real X input */

namespace {

void report(const char* format, unsigned a, unsigned b)
{
    std::printf("report: ");
    std::printf(format, a, b);
    std::printf("\n");
    std::fflush(stdout);
}

LRESULT x_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_KEYUP: {
        BYTE state[256];
        GetKeyboardState(state);
        WORD out = 0;
        int n = ToAscii((UINT)wparam, (UINT)lparam, state, &out, 0);
        report("key %02X %02X", (unsigned)wparam, n == 1 ? out & 0xFF : 0);
        return 0;
    }
    case WM_LBUTTONDOWN:
        report("click %u %u", LOWORD(lparam), HIWORD(lparam));
        return 0;
    case WM_CLOSE:
        report("close%c%c", ' ', ' ');
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        report("size %u %u", GetSizeX(window), GetSizeY(window));
        return recorder(window, message, wparam, lparam);
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

// Runs only as the child of the test below, on its X server.
TEST(real_window, DISABLED_child)
{
    if (!std::getenv("RKM_X_CHILD"))
        GTEST_SKIP();
    WNDCLASSA wc{};
    wc.lpfnWndProc = x_window_proc;
    wc.hInstance = (HINSTANCE)&received;
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(400));
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "XTest";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND w = CreateWindowExA(0, "XTest", "XTest", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(w, nullptr) << plat_window_error();
    ShowWindow(w, SW_SHOWMAXIMIZED);
    UpdateWindow(w);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    EXPECT_EQ(m.wParam, 0u);
}

static std::string read_all(int fd)
{
    std::string output;
    char buffer[512];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        output.append(buffer, n);
    close(fd);
    return output;
}

// A private X server and one child test program on it, both ended however
// the test ends.
class RealWindow : public ::testing::Test {
protected:
    void run_child(const char* name)
    {
        ASSERT_TRUE(x.start(1024, 768)) << x.error();
        // This test program again, running only the disabled test `name`.
        child = xvfb_spawn(x, {"/proc/self/exe", "--gtest_also_run_disabled_tests",
                               std::string("--gtest_filter=real_window.") + name},
                           {"RKM_X_CHILD=1"}, &out);
        ASSERT_GT(child, 0);
    }
    // The child's exit status (-1 when it had to be ended) and its output.
    int finish(std::string* output)
    {
        int status = wait_child(child, 20000);
        child = -1;
        *output = read_all(out);
        out = -1;
        return status;
    }
    void TearDown() override
    {
        if (child > 0) {
            kill(-child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        if (out >= 0)
            close(out);
    }
    Xvfb x;
    pid_t child = -1;
    int out = -1;
};

TEST_F(RealWindow, x_keys_clicks_and_close_reach_the_window_procedure)
{
    run_child("DISABLED_child");

    unsigned long id = xvfb_find_window(x, "XTest", 20000);
    ASSERT_NE(id, 0u);
    long red = -1;
    for (int i = 0; i < 200 && red != 0xFF0000; ++i) {
        red = xvfb_pixel(x, id, 5, 5);
        usleep(20000);
    }
    EXPECT_EQ(red, 0xFF0000) << "the first paint is on the X screen";
    std::vector<long> icon = xvfb_property(x, id, "_NET_WM_ICON");
    size_t at = 0, smaller = 0;  // each size in turn, smallest first: find 32 x 32
    for (; at + 2 < icon.size() && icon[at] != 32; smaller++)
        at += 2 + icon[at] * icon[at + 1];
    ASSERT_LE(at + 2 + 32 * 32, icon.size()) << "a 32 x 32 window icon";
    EXPECT_EQ(smaller, 2u) << "after the 16 x 16 and 24 x 24 ones";
    EXPECT_EQ(icon[at + 2 + 5 * 32 + 5] & 0xFFFFFFFF, 0xFFD02828) << "the red header";
    std::string sid = std::to_string(id);
    xvfb_xdotool(x, {"windowfocus", "--sync", sid});
    xvfb_xdotool(x, {"key", "--delay", "20", "2", "0", "0", "3", "Return", "F9"});
    xvfb_xdotool(x, {"mousemove", "--window", sid, "640", "300", "click", "1"});
    usleep(200000);  // the input goes first; then the close request
    EXPECT_TRUE(xvfb_close_window(x, id));

    std::string output;
    int status = finish(&output);
    std::string reports;
    for (size_t at = output.find("report: "); at != std::string::npos;
         at = output.find("report: ", at + 1)) {
        std::string line = output.substr(at + 8, output.find('\n', at) - at - 8);
        if (line.compare(0, 5, "size ") != 0)
            reports += line + ";";
        else
            EXPECT_EQ(line, "size 1024 768") << "maximised with no window manager";
    }
    EXPECT_EQ(reports, "key 32 32;key 30 30;key 30 30;key 33 33;key 0D 0D;key 78 00;"
                       "click 640 300;close  ;");
    EXPECT_EQ(status, 0) << output;
}

// Runs only as the child of the test below: one message box, then exit.
TEST(real_window, DISABLED_message_box_child)
{
    if (!std::getenv("RKM_X_CHILD"))
        GTEST_SKIP();
    int answer = MessageBoxA(nullptr, "\x88\xf3\x8d\xfc", "BoxTest", MB_OK | MB_ICONERROR);
    EXPECT_EQ(answer, IDOK);
}

TEST_F(RealWindow, message_box_with_a_display_is_a_real_window)
{
    run_child("DISABLED_message_box_child");
    unsigned long box = xvfb_find_window(x, "BoxTest", 20000);
    EXPECT_NE(box, 0u) << "a window titled with the caption";
    if (box) {
        xvfb_xdotool(x, {"windowfocus", "--sync", std::to_string(box)});
        xvfb_xdotool(x, {"key", "Return"});
    }
    std::string output;
    int status = finish(&output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("BoxTest:"), std::string::npos) << "nothing on standard error";
}
