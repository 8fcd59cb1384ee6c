// Speed of the screen: a complete paint of each layout into the 1024 x 768
// framebuffer, a key release until the framebuffer is shown, and the whole
// program started for one snapshot.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "app/app.h"
#include "state/state.h"

extern char** environ;

// iSetfg 0 is the start screen (today's month, medium view); layouts 0 to 3
// are the chosen-month state.
static void paint_layout(benchmark::State& state)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 1024, 768);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RKM_INIT_SET();
    int layout = (int)state.range(0);
    iSetfg = layout < 0 ? 0 : 1;
    iDspfg = iDspbk = layout < 0 ? 1 : layout;
    iYear = 2003;
    iMont = 11;
    for (auto _ : state)
        RKM_PAINT_PROC(dc);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
BENCHMARK(paint_layout)->Arg(-1)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// Until the queue is empty: every message of the injected input handled.
static void pump(HWND window)
{
    MSG msg;
    while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// One key typed into the year field and one Backspace, each drawn on the
// window and shown when its DC is released.
static void key_to_screen(benchmark::State& state)
{
    plat_set_display(PLAT_DISPLAY_OFFSCREEN);
    RKM_INIT_SET();
    static char module;
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = reinterpret_cast<HINSTANCE>(&module);
    window_class.lpszClassName = "RKM7500";
    RegisterClassA(&window_class);
    HWND window = CreateWindowExA(0, "RKM7500", "Calendar", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  window_class.hInstance, nullptr);
    if (!window) {
        state.SkipWithError("no window");
        return;
    }
    ghwndMain = window;
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    pump(window);
    for (auto _ : state) {
        plat_inject_key(window, '1', "1");
        pump(window);
        plat_inject_key(window, VK_BACK, nullptr);
        pump(window);
    }
    state.SetItemsProcessed(state.iterations() * 2);
    DestroyWindow(window);
    pump(window);
}
BENCHMARK(key_to_screen)->Unit(benchmark::kMicrosecond);

// `rkm7500 --snapshot` from start to exit.
static void snapshot_process(benchmark::State& state)
{
    std::string program = std::string(RKM_SOURCE_DIR) + "/build/rkm7500";
    std::string png = "/tmp/rkm-bench-" + std::to_string(getpid()) + ".png";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (auto _ : state) {
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--snapshot"),
                        const_cast<char*>(png.c_str()), nullptr};
        pid_t pid;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start rkm7500");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("rkm7500 --snapshot failed");
            return;
        }
    }
    unlink(png.c_str());
}
BENCHMARK(snapshot_process)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
