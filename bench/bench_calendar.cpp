// Walking all twelve months of a year with the holiday test, as the year
// layouts do.
#include <benchmark/benchmark.h>

#include "state/state.h"
#include "calendar/calendar.h"

static void walk_year(benchmark::State& state)
{
    int year = (int)state.range(0);
    for (auto _ : state) {
        int off = 0;
        iFuri = 0;
        for (int month = 1; month <= 12; month++)
            cal_walk_month(year, month, [&](const CalDay& day) {
                off += RKM_YHDAY_CHK(day.colour, month * 100 + day.position);
            });
        benchmark::DoNotOptimize(off);
    }
}
BENCHMARK(walk_year)->Arg(2003)->Arg(1752)->Repetitions(9)->ReportAggregatesOnly(true);
