// Cost of the official holiday list: reading and resolving a list of
// 1955-2030 at start, and one year of days asked of it, as the year layouts
// ask them.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "calendar/calendar.h"
#include "calendar/holiday_law.h"
#include "calendar/holidays.h"

// The law's days written as the Cabinet Office writes its list (Shift-JIS,
// CR LF; substitute days and days between holidays as 休日).
static std::string list_file()
{
    std::string text = "header\r\n";
    for (int y = 1955; y <= 2030; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= RKM_DAY_MAX(y, m); ++d)
                if (const char* name = law_day_name(y, m, d))
                    text += std::to_string(y) + "/" + std::to_string(m) + "/" + std::to_string(d) + "," +
                            (law_day_kind(y, m, d) == LAW_HOLIDAY ? name : "\x8B\x78\x93\xFA") + "\r\n";
    return text;
}

static void read_and_resolve_the_list(benchmark::State& state)
{
    const std::string file = list_file();
    for (auto _ : state) {
        std::vector<std::string> bad;
        hol_set_list(hol_parse_list(file.data(), file.size(), &bad), "bench");
    }
    hol_set_list({}, "");
}
BENCHMARK(read_and_resolve_the_list)->Unit(benchmark::kMillisecond);

static void year_of_day_kinds_from_the_list(benchmark::State& state)
{
    const std::string file = list_file();
    std::vector<std::string> bad;
    hol_set_list(hol_parse_list(file.data(), file.size(), &bad), "bench");
    for (auto _ : state) {
        int off = 0;
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= RKM_DAY_MAX(2026, m); ++d)
                off += hol_day_kind(2026, m, d) != LAW_WORKDAY;
        benchmark::DoNotOptimize(off);
    }
    hol_set_list({}, "");
}
BENCHMARK(year_of_day_kinds_from_the_list);
