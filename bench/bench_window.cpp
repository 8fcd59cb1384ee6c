// Windows and messages: from a key release to the framebuffer on screen.
#include <benchmark/benchmark.h>

#include "platform/windows.h"

namespace {

HWND window;
bool shown;

// Draws a digit-sized cell on each key release, as the year field does.
LRESULT bench_proc(HWND w, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != WM_KEYUP)
        return DefWindowProcA(w, message, wparam, lparam);
    HDC dc = GetDC(w);
    HBRUSH navy = CreateSolidBrush(RGB(0, 0, 128));
    RECT cell = {635, 87, 663, 124};
    FillRect(dc, &cell, navy);
    DeleteObject(navy);
    ReleaseDC(w, dc);
    shown = true;
    return 0;
}

HWND open_window()
{
    if (window)
        return window;
    plat_set_display(PLAT_DISPLAY_OFFSCREEN);
    WNDCLASSA wc{};
    wc.lpfnWndProc = bench_proc;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "BenchWindow";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, "BenchWindow", "Bench", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             nullptr, nullptr);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    return window;
}

void key_release_to_screen(benchmark::State& state)
{
    if (!open_window()) {
        state.SkipWithError(plat_window_error());
        return;
    }
    for (auto _ : state) {
        plat_inject_key(window, '5', "5");
        shown = false;
        MSG msg;
        while (!shown && GetMessageA(&msg, nullptr, 0, 0)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
BENCHMARK(key_release_to_screen)->Unit(benchmark::kMicrosecond);

// Showing the whole framebuffer once: what every ReleaseDC costs.
void release_dc_shows_framebuffer(benchmark::State& state)
{
    if (!open_window()) {
        state.SkipWithError(plat_window_error());
        return;
    }
    for (auto _ : state)
        ReleaseDC(window, GetDC(window));
}
BENCHMARK(release_dc_shows_framebuffer)->Unit(benchmark::kMicrosecond);

}  // namespace
