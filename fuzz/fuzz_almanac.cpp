// The range parser of --almanac on any text: it accepts a range of real dates,
// first day first, or gives a one-line reason; an accepted short range
// writes one line of eight fields a day.
#include "fuzz/fuzz_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/almanac_list.h"

static long day_count(const DayRange& r)
{
    using namespace std::chrono;
    const year_month_day from{year{r.from_year}, month{(unsigned)r.from_month}, day{(unsigned)r.from_day}};
    const year_month_day to{year{r.to_year}, month{(unsigned)r.to_month}, day{(unsigned)r.to_day}};
    FUZZ_CHECK(from.ok() && to.ok() && r.from_year >= 1 && r.to_year <= 9999);
    return (sys_days{to} - sys_days{from}).count() + 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    DayRange range;
    std::string error;
    if (!cmd_parse_days(text.c_str(), &range, &error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    const long days = day_count(range);
    FUZZ_CHECK(days >= 1);
    if (days > 62)
        return 0;
    char* lines = nullptr;
    size_t length = 0;
    std::FILE* out = open_memstream(&lines, &length);
    FUZZ_CHECK(out && almanac_write(range, out));
    std::fclose(out);
    long newlines = 0, tabs = 0;
    for (size_t i = 0; i < length; i++)
        newlines += lines[i] == '\n', tabs += lines[i] == '\t';
    FUZZ_CHECK(newlines == days && tabs == 7 * days);
    std::free(lines);
    return 0;
}
