// Speed of the fitted window: a complete paint of each layout through a
// window DC, and a key release until the framebuffer is shown, on a
// 3840 x 2160 window beside the design's own 1024 x 768. The floor is set
// by memory: one 3840 x 2160 frame copied (frame_copy); after the usual
// table, each paint at 4K is given as a number of frame copies of the same
// run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

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

// One 3840 x 2160 frame of 32-bit pixels copied: what a full paint at 4K
// could cost at the least, as it writes every pixel once.
void frame_copy(benchmark::State& state)
{
    static std::vector<uint32_t> from(3840 * 2160, 0x00405060), to(3840 * 2160);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof from[0]);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)(from.size() * sizeof from[0]));
}
BENCHMARK(frame_copy)->Unit(benchmark::kMillisecond);

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

// The console's table, then each paint at 4K as frame copies, by the real
// time and by the processor time of one run (the median, where repeated).
class FrameCopies : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            std::string name = run.run_name.str();
            if (median || (run.run_type == Run::RT_Iteration && !times_.count(name)))
                times_[name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        auto copy = times_.find("frame_copy");
        if (copy == times_.end())
            return;
        std::printf("\n%-28s %12s %12s\n", "at 3840 x 2160", "real", "cpu");
        for (const auto& [name, t] : times_)
            if (name.rfind("paint_fitted/3840/", 0) == 0)
                std::printf("%-28s %9.2f fc %9.2f fc\n", name.c_str(),
                            t.first / copy->second.first, t.second / copy->second.second);
    }

private:
    std::map<std::string, std::pair<double, double>> times_;  // by name: real, cpu per iteration
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    FrameCopies reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
