// The user's own events: iCalendar files and calendar servers, shown by day
// in the machine's local time zone (TZ).
//
// Sources are listed in $XDG_CONFIG_HOME/rkm7500/calendars, one a line: a
// path to an .ics file or an http(s) URL ('#' starts a comment, a line
// "refresh SECONDS" sets how often URLs are fetched again); --ics adds
// more for one run. Files are read again when they change; URLs are
// fetched in a thread of their own and their last good copy is kept under
// $XDG_CACHE_HOME/rkm7500/, shown at start and while a server cannot be
// reached. Nothing here ever blocks the window or prints a password.
#pragma once

#include <string>
#include <vector>

/* Days of the proleptic Gregorian calendar, counted from 1970-01-01 */
long long ev_day_number(int year, int month, int day);
void ev_civil(long long day_number, int* year, int* month, int* day);

/* Failures: one short line per source that could not be read */
struct EvFailure {
    std::string source;     // the source's name, without credentials, or "calendars:3"
    std::string reason;     // English, for standard error and --agenda
    std::string reason_ja;  // the same for the screen, in Japanese
};

/* The list of sources */
struct EvSource {
    std::string location;  // an absolute path, or an http(s) URL
    std::string name;      // as written, without credentials: for messages and --agenda
    bool url = false;
};
struct EvSourceList {
    std::vector<EvSource> sources;
    int refresh_seconds = 15 * 60;      // how often URLs are fetched again
    std::vector<EvFailure> problems;  // lines of the list not understood ("calendars:3")
};
// The calendars file: $XDG_CONFIG_HOME/rkm7500/calendars ("" without a folder).
std::string ev_list_path(void);
// Reads the list at `path` (missing: no sources) and adds `extra` (--ics).
// A relative path in the file is taken from the file's folder, "~/" from
// the home folder; an --ics path from the current folder.
EvSourceList ev_read_list(const std::string& path, const std::vector<std::string>& extra);

/* Reading and fetching in the background */
// Starts reading every source: files and cached copies first, then the
// URLs. `changed` is called from the reading thread whenever the events or
// the failures change; it must only hand the news to the window's thread.
void ev_start(const EvSourceList& list, void (*changed)(void* data), void* data);
// Waits until every source has been read once: each URL fetched (or
// failed, within the time-outs), each file read.
void ev_wait_first_round(void);
// Stops the reading thread (an unfinished fetch is dropped) and forgets
// every source.
void ev_stop(void);
// True when any source is configured: the views then show events.
bool ev_active(void);
// A number that changes whenever the events or the failures may have
// changed: what was drawn from them before is to be drawn again.
unsigned ev_generation(void);

/* One day's events */
struct EvItem {
    int source = 0;         // position in the list: its name and its colour
    bool all_day = false;
    bool continued = false; // began on an earlier day
    bool continues = false; // goes on into the next day
    int start_minute = 0;   // timed: local clock time of the start, minutes after 0:00
    int end_minute = 0;     // and of the end (an end after midnight keeps its clock time)
    long long start = 0;    // local minutes since 1970-01-01 0:00, for sorting
    std::string title;      // UTF-8, one line
};
// The events of `count` days from year-month-day on (proleptic Gregorian),
// one list per day: all-day events first, then by start, then by title.
std::vector<std::vector<EvItem>> ev_days(int year, int month, int day, int count);
// The name of source `source` as the user may see it: a URL without its
// user name and password.
std::string ev_source_name(int source);

/* The failures of the sources and of the list, as they stand */
std::vector<EvFailure> ev_failures(void);
