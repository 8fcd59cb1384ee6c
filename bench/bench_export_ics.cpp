// Cost of an export: six years of holidays, alone and with the notes.
#include <benchmark/benchmark.h>

#include "app/export_ics.h"

static void six_years_of_holidays(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ics_calendar(2026, 2031, state.range(0) != 0, 0));
}
BENCHMARK(six_years_of_holidays)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
