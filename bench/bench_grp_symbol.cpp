// GrpSymbol as the calendar draws its day numbers: two characters in a
// font made and deleted for each call, on a 1024 x 768 image surface.
//
// The first_call benchmarks run once each, before anything else has used
// their face, so they measure matching the face and building its fonts
// (the first one also loads the font configuration). The warm benchmarks
// then measure the cached path.
#include <benchmark/benchmark.h>

#include "support/ghl3000.h"

namespace {

const char* const FACES[] = {
    "\x82" "c\x82" "e\x92\x86\x8A\xDB\x83S\x83V\x83" "b\x83N\x91\xCC",  // ＤＦ中丸ゴシック体
    "\x82" "c\x82" "e\x8D\xD7\x8A\xDB\x83S\x83V\x83" "b\x83N\x91\xCC",  // ＤＦ細丸ゴシック体
    "\x82l\x82r \x83S\x83V\x83" "b\x83N",                              // ＭＳ ゴシック
    "Arial",
    "MSMINCHO",
};
const char* const DAYS[] = {" 1", " 9", "10", "17", "23", "31"};

struct Screen {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 1024, 768);
    Screen() { SelectObject(dc, bitmap); }
};

Screen& screen()
{
    static Screen s;
    return s;
}

void day_number(HDC dc, int i, const char* face)
{
    GrpSymbol(dc, DAYS[i % 6], 100 + (i % 7) * 120, 100 + (i % 5) * 110, 3.0, 2.6, 0x0000FF, 500,
              0, 0, 1, 0x30, face);
}

void first_call(benchmark::State& state)
{
    const char* face = FACES[state.range(0)];
    for (auto _ : state)
        day_number(screen().dc, 0, face);
}

void warm(benchmark::State& state)
{
    const char* face = FACES[state.range(0)];
    HDC dc = screen().dc;
    for (int i = 0; i < 100; i++)
        day_number(dc, i, face);
    int i = 0;
    for (auto _ : state)
        day_number(dc, i++, face);
}

}  // namespace

BENCHMARK(first_call)->DenseRange(0, 4)->Iterations(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(warm)->DenseRange(0, 4)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
