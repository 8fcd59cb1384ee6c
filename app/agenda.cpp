// --agenda FROM[..TO]: the user's events day by day on standard output, in
// UTF-8 whatever the locale, one line per event per day:
//
//   2026-12-24<TAB>終日<TAB>冬休み<TAB>work.ics
//   2026-12-24<TAB>19:00-21:00<TAB>Dinner<TAB>https://example.org/family/
#include "app/agenda.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/day_range.h"
#include "events/events.h"

bool agenda_range(const char* text, long long* first, long long* last)
{
    DayRange days;
    std::string error;
    if (!cmd_parse_days(text, &days, &error))
        return false;
    *first = ev_day_number(days.from_year, days.from_month, days.from_day);
    *last = ev_day_number(days.to_year, days.to_month, days.to_day);
    return true;
}

static std::string clock_text(int minute)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    return text;
}

static void print_day(long long day, const std::vector<EvItem>& items)
{
    int y, m, d;
    ev_civil(day, &y, &m, &d);
    for (const EvItem& item : items) {
        const std::string time = item.all_day ? "終日"
                                              : clock_text(item.start_minute) + "-" +
                                                    clock_text(item.end_minute);
        std::printf("%04d-%02d-%02d\t%s\t%s\t%s\n", y, m, d, time.c_str(), item.title.c_str(),
                    ev_source_name(item.source).c_str());
    }
}

int agenda_run(long long first, long long last, const std::vector<const char*>& ics)
{
    std::vector<std::string> extra(ics.begin(), ics.end());
    const EvSourceList list = ev_read_list(ev_list_path(), extra);
    if (list.sources.empty() && list.problems.empty()) {
        std::fprintf(stderr, "rkm7500: no calendars: list them in %s or give --ics\n",
                     ev_list_path().c_str());
        return 0;
    }
    ev_start(list, nullptr, nullptr);
    ev_wait_first_round();
    // A month at a time, so that a long range never holds every day at once.
    for (long long from = first; from <= last; from += 31) {
        const int count = (int)std::min(31LL, last - from + 1);
        int y, m, d;
        ev_civil(from, &y, &m, &d);
        const auto days = ev_days(y, m, d, count);
        for (int i = 0; i < count; i++)
            print_day(from + i, days[i]);
    }
    std::fflush(stdout);
    const bool failed = !ev_failures().empty();
    ev_stop();
    return failed ? 1 : 0;
}
