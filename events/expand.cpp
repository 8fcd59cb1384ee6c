// The occurrences of a calendar in a range of days: single events by a
// search of their sorted starts, recurring ones by their rules from the
// range on.
#include <algorithm>

#include "events/ical_model.h"

// Instances of one event taken in one range, at most: a rule every
// second or minute cannot stall the window.
static constexpr size_t MOST_INSTANCES = 5000;

long long ev_first_day(const EvOccurrence& o)
{
    return ev_day_of(o.start);
}

long long ev_last_day(const EvOccurrence& o)
{
    return o.end > o.start ? ev_day_of(o.end - 1) : ev_day_of(o.start);
}

// Whether an occurrence touches local minutes [from, to): one without
// length touches the day it starts on.
static bool touches(long long start, long long end, long long from, long long to)
{
    return start < to && (end > from || start >= from);
}

// The wall times of the rule's instances from `low` to before `high`.
static void rule_instances(const EvSeries& s, const icalrecurrencetype& rule, long long low,
                           long long high, std::vector<long long>* walls)
{
    const icaltimetype start = ev_series_start(s);
    icalrecur_iterator* it = icalrecur_iterator_new(rule, start);
    if (!it)
        return;
    if (low > ev_wall_seconds(start))
        icalrecur_iterator_set_start(it, ev_wall_time(low, start.is_date));
    for (size_t n = 0; n < MOST_INSTANCES; n++) {
        const icaltimetype t = icalrecur_iterator_next(it);
        if (icaltime_is_null_time(t))
            break;
        const long long wall = ev_wall_seconds(t);
        if (wall >= high)
            break;
        if (wall >= low)
            walls->push_back(wall);
    }
    icalrecur_iterator_free(it);
}

static void expand_series(const EvCalendar& c, const EvSeries& s, long long from, long long to,
                          std::vector<EvOccurrence>* out)
{
    if (s.first_start >= to || s.last_end < from)
        return;
    // Wall times of the series' zone that can reach the range: a day or
    // two either side covers any difference between its zone and ours.
    const long long length_days = (std::max(0LL, s.nominal + s.exact) + 86399) / 86400;
    const long long low = (ev_day_of(from) - length_days - 2) * 86400;
    const long long high = (ev_day_of(to) + 2) * 86400;
    std::vector<long long> walls;
    const long long first = ev_wall_seconds(s.dtstart);
    if (first >= low && first < high)
        walls.push_back(first);  // DTSTART is always the first instance
    for (const icaltimetype& r : s.rdates)
        if (ev_wall_seconds(r) >= low && ev_wall_seconds(r) < high)
            walls.push_back(ev_wall_seconds(r));
    for (const icalrecurrencetype& rule : s.rules)
        rule_instances(s, rule, low, high, &walls);
    std::sort(walls.begin(), walls.end());
    walls.erase(std::unique(walls.begin(), walls.end()), walls.end());
    for (long long wall : walls) {
        if (ev_excluded(s, wall))
            continue;
        const EvSingle o = ev_instance(s, wall);
        if (touches(o.start, o.end, from, to))
            out->push_back({o.start, o.end, o.all_day, &c.titles[o.title]});
    }
}

void ev_expand(const EvCalendar& c, long long first_day, long long last_day,
               std::vector<EvOccurrence>* out)
{
    const long long from = first_day * EV_DAY_MINUTES, to = (last_day + 1) * EV_DAY_MINUTES;
    auto it = std::lower_bound(c.singles.begin(), c.singles.end(), from - c.longest_single,
                               [](const EvSingle& s, long long at) { return s.start < at; });
    for (; it != c.singles.end() && it->start < to; ++it)
        if (touches(it->start, it->end, from, to))
            out->push_back({it->start, it->end, it->all_day, &c.titles[it->title]});
    for (const EvSeries& s : c.series)
        expand_series(c, s, from, to, out);
}
