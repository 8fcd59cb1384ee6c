// Cost of the holiday law for one year of days, as the year layouts ask it.
#include <benchmark/benchmark.h>

#include "calendar/holiday_law.h"

static void year_of_day_kinds(benchmark::State& state)
{
    static const int length[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (auto _ : state) {
        int off = 0;
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= length[m - 1]; ++d)
                off += law_day_kind(2026, m, d) != LAW_WORKDAY;
        benchmark::DoNotOptimize(off);
    }
}
BENCHMARK(year_of_day_kinds);
