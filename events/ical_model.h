// A calendar as read from iCalendar text: single occurrences already in
// local time, and recurring events kept as their rules, expanded a range at
// a time. Only ical_read.cpp and expand.cpp see libical's types.
#pragma once

#include <libical/ical.h>

#include <climits>
#include <string>
#include <vector>

#include "events/internal.h"

// How an event's times are read: dates, wall clock of no zone (floating),
// or a wall clock in a zone (UTC included).
enum class EvTimeKind { Date, Floating, Zoned };

struct EvSingle {
    long long start, end;  // local minutes
    bool all_day;
    int title;  // index into EvCalendar::titles
};

// A recurring event: its instances start at the rules' and RDATE's wall
// times (in `zone` for Zoned) and last `nominal` seconds of wall clock
// plus `exact` seconds.
struct EvSeries {
    EvTimeKind kind = EvTimeKind::Floating;
    icaltimetype dtstart{};
    const icaltimezone* zone = nullptr;
    long long nominal = 0, exact = 0;
    std::vector<icalrecurrencetype> rules;  // COUNT already turned into UNTIL
    std::vector<icaltimetype> rdates;       // wall times in the series' own terms
    std::vector<long long> excluded;        // instance keys (EXDATE, RECURRENCE-ID)
    std::vector<long long> excluded_dates;  // EXDATE dates of a timed series (wall dates)
    long long first_start = 0;              // local minutes
    long long last_end = LLONG_MAX;         // local minutes; LLONG_MAX while endless
    int title = 0;
};

struct EvCalendar {
    icalcomponent* root = nullptr;  // keeps the VTIMEZONEs the series use
    std::vector<std::string> titles;
    std::vector<EvSingle> singles;  // by start
    long long longest_single = 0;   // minutes
    std::vector<EvSeries> series;

    EvCalendar() = default;
    EvCalendar(const EvCalendar&) = delete;
    EvCalendar& operator=(const EvCalendar&) = delete;
    ~EvCalendar();
};

/* Times shared by reading and expanding (ical_read.cpp) */
// Wall-clock seconds of a time's own fields (a date at 0:00).
long long ev_wall_seconds(const icaltimetype& t);
icaltimetype ev_wall_time(long long wall_seconds, bool is_date);
// The instant a wall time in `zone` names, as UTC seconds: a time that
// occurs twice (the clock going back) is its first occurrence, a time in a
// gap (the clock going forward) takes the offset from before the gap.
long long ev_zone_to_utc(long long wall_seconds, const icaltimezone* zone);
// The key by which EXDATE and RECURRENCE-ID name an instance: UTC seconds
// for Zoned, wall seconds for Floating, the date's 0:00 for Date.
long long ev_instance_key(const EvSeries& s, long long wall_seconds);
// DTSTART as the rules' iterator takes it: wall-clock time of no zone.
// (Given the zone, libical moves a time in a DST gap and keeps the moved
// time for every later instance; the zone is applied to each instance
// instead.)
icaltimetype ev_series_start(const EvSeries& s);
// Whether EXDATE or a changed instance removes the instance at this wall time.
bool ev_excluded(const EvSeries& s, long long wall_seconds);
// The occurrence of an instance starting at this wall time.
EvSingle ev_instance(const EvSeries& s, long long wall_seconds);
