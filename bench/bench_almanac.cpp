// Speed of the traditional notes: a month's notes the first time its years
// are asked for, month after month as PageDown steps, and again once known;
// the large month painted whole with and without them; `rkm7500 --almanac`
// over the whole range 1873-2100 as a process.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "almanac/almanac.h"
#include "app/app.h"
#include "layout/layout.h"
#include "state/state.h"

extern char** environ;

static void month_notes(int index, AlmDay* out)
{
    alm_days(ALM_FIRST_YEAR + index / 12, index % 12 + 1, 1, 31, out);
}

// Months four years apart: each one's events are computed from nothing.
static void month_first_time(benchmark::State& state)
{
    AlmDay out[31];
    int index = 6;
    for (auto _ : state) {
        month_notes(index, out);
        index += 4 * 12 + 1;
    }
}
BENCHMARK(month_first_time)->Unit(benchmark::kMicrosecond)->Iterations(55);

// Every month from 1873 on, in order, each computing what is new in it.
static void month_after_month(benchmark::State& state)
{
    AlmDay out[31];
    int index = 0;
    for (auto _ : state)
        month_notes(index++, out);
}
BENCHMARK(month_after_month)->Unit(benchmark::kMicrosecond)->Iterations(228 * 12);

static void month_known(benchmark::State& state)
{
    AlmDay out[31];
    month_notes(12 * 160, out);
    for (auto _ : state)
        month_notes(12 * 160, out);
}
BENCHMARK(month_known)->Unit(benchmark::kMicrosecond);

// The large month of May 2024 (holidays, a moon in most weeks) painted into
// the 1024 x 768 framebuffer: notes off (0) and on (1), its months known.
static void paint_large_month(benchmark::State& state)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 1024, 768);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RKM_INIT_SET();
    iSetfg = 1;
    iDspfg = iDspbk = LAYOUT_LARGE;
    iYear = 2024;
    iMont = 5;
    iNotes = (int)state.range(0);
    RKM_PAINT_PROC(dc);
    for (auto _ : state)
        RKM_PAINT_PROC(dc);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
BENCHMARK(paint_large_month)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A new process each time: nothing computed before.
static void whole_range_process(benchmark::State& state)
{
    std::string program = std::string(RKM_SOURCE_DIR) + "/build/rkm7500";
    for (auto _ : state) {
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--almanac"),
                        const_cast<char*>("1873-01-01..2100-12-31"), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid;
        const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (started != 0) {
            state.SkipWithError("cannot start rkm7500");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("rkm7500 --almanac failed");
            return;
        }
    }
}
BENCHMARK(whole_range_process)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
