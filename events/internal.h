// Inside the events layer: days, credentials, calendars read from text,
// fetching and the cache. Nothing above events/ includes this header.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "events/events.h"

/* Days: day numbers count from 1970-01-01 (proleptic Gregorian); local
   times are minutes since 1970-01-01 0:00 of the machine's wall clock. */
constexpr long long EV_DAY_MINUTES = 24 * 60;
// The day of a local time in minutes (rounded down, also before 1970).
inline long long ev_day_of(long long minutes)
{
    return minutes >= 0 ? minutes / EV_DAY_MINUTES : -((-minutes + EV_DAY_MINUTES - 1) / EV_DAY_MINUTES);
}
// The machine's wall clock (TZ) at an instant, as local minutes.
long long ev_local_minutes(long long utc_seconds);

/* Credentials never leave the layer */
// `text` with the user name and password of every URL in it replaced by
// "***" (https://***@host/...).
std::string ev_mask(const std::string& text);
// Text from a file or a server made safe for one line of UTF-8: invalid
// bytes become U+FFFD, tabs, line ends and other controls blanks.
std::string ev_clean_line(const std::string& text);

/* Why a source could not be read: the same words in English and Japanese */
struct EvReason {
    std::string en, ja;
};

/* A calendar read from iCalendar text (ical_read.cpp, expand.cpp) */
struct EvCalendar;
// Null with the reason when the text holds no calendar.
std::shared_ptr<const EvCalendar> ev_read_calendar(const std::string& text, EvReason* reason);
// One occurrence of an event, in local minutes; `end` is exclusive, and
// equals `start` for an event without length (or reads earlier, for a
// short event over the hour when clocks go back). All-day occurrences span
// whole days.
struct EvOccurrence {
    long long start, end;
    bool all_day;
    const std::string* title;  // lives as long as its calendar
};
// Appends every occurrence that touches a day from `first_day` to
// `last_day` (day numbers, inclusive).
void ev_expand(const EvCalendar& calendar, long long first_day, long long last_day,
               std::vector<EvOccurrence>* out);
// The days an occurrence is shown on, as day numbers.
long long ev_first_day(const EvOccurrence& o);
long long ev_last_day(const EvOccurrence& o);

/* Fetching a URL (fetch.cpp) */
struct EvFetchResult {
    bool ok = false;         // a calendar text arrived, or it is unchanged
    bool unchanged = false;  // 304: the cached copy is still good
    std::string body, etag, last_modified;
    EvReason reason;         // when not ok
};
struct EvValidators {
    std::string etag, last_modified;
};
// One conditional GET: http and https only (also after a redirect), at most
// 5 redirects, TLS verified, credentials from the URL or ~/.netrc, 20 MB at
// most, connect and total time-outs (10 s and 60 s, or RKM_FETCH_TIMEOUTS
// "CONNECT,TOTAL" seconds). Gives up soon after `stop` is set.
EvFetchResult ev_fetch(const std::string& url, const EvValidators& known,
                       const std::atomic<bool>& stop);
// Before any thread fetches.
void ev_fetch_init(void);

/* The cache of fetched calendars (cache.cpp) */
struct EvCached {
    std::string body;
    EvValidators validators;
};
// The last good copy of `url`; false when there is none.
bool ev_cache_load(const std::string& url, EvCached* out);
// Keeps `copy` for `url`, each file whole or not at all; false with the reason.
bool ev_cache_store(const std::string& url, const EvCached& copy, std::string* reason);
