// Speed of the fitted window: a complete paint of each layout through a
// window DC, and a key release until the framebuffer is shown, on a
// 3840 x 2160 window beside the design's own 1024 x 768.
#include <benchmark/benchmark.h>

#include <utility>

#include "app/app.h"
#include "state/state.h"

namespace {

HWND sized_window(int width, int height)
{
    static HWND windows[2];
    HWND& window = windows[width > 1024];
    if (window)
        return window;
    static char module;
    plat_set_display(PLAT_DISPLAY_OFFSCREEN);
    plat_set_window_size(width, height);
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = reinterpret_cast<HINSTANCE>(&module);
    window_class.lpszClassName = "RKM7500";
    RegisterClassA(&window_class);
    window = CreateWindowExA(0, "RKM7500", "Calendar", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             window_class.hInstance, nullptr);
    if (window)
        ShowWindow(window, SW_SHOWMAXIMIZED);
    return window;
}

void pump(HWND window)
{
    MSG msg;
    while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The window of width state.range(0) (3840 x 2160 or 1024 x 768) with the
// program's state fresh; null, and the benchmark skipped, without one.
HWND fitted_window(benchmark::State& state)
{
    int width = (int)state.range(0);
    HWND window = sized_window(width, width == 1024 ? 768 : 2160);
    if (!window)
        state.SkipWithError("no window");
    ghwndMain = window;
    RKM_INIT_SET();
    return window;
}

// Args: window width, layout (-1: the start screen).
void paint_fitted(benchmark::State& state)
{
    HWND window = fitted_window(state);
    if (!window)
        return;
    int layout = (int)state.range(1);
    iSetfg = layout < 0 ? 0 : 1;
    iDspfg = iDspbk = layout < 0 ? 1 : layout;
    iYear = 2003;
    iMont = 11;
    for (auto _ : state) {
        HDC dc = GetDC(window);
        RKM_PAINT_PROC(dc);
        ReleaseDC(window, dc);
    }
}
BENCHMARK(paint_fitted)->ArgsProduct({{1024, 3840}, {-1, 0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond);

// One key typed into the year field and one Backspace, each drawn and shown.
void key_release_fitted(benchmark::State& state)
{
    HWND window = fitted_window(state);
    if (!window)
        return;
    UpdateWindow(window);
    pump(window);
    const std::pair<UINT, const char*> keys[] = {{'1', "1"}, {VK_BACK, nullptr}};
    for (auto _ : state)
        for (auto [vk, text] : keys) {
            plat_inject_key(window, vk, text);
            pump(window);
        }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(key_release_fitted)->Arg(1024)->Arg(3840)->Unit(benchmark::kMicrosecond);

}  // namespace
