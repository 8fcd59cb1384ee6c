// The national holidays as an iCalendar file for other calendars.
#include "app/export_ics.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "almanac/almanac.h"
#include "calendar/calendar.h"
#include "calendar/holidays.h"
#include "platform/draw/codeconv.h"
#include "platform/system/file.h"
#include "platform/system/out_file.h"

enum { ICS_LINE_MOST = 75 };  // octets of a content line, CR LF not counted

/* Content lines */

// TEXT as RFC 5545 writes it: backslash, semicolon, comma and line ends escaped.
static std::string ics_text(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == ';' || c == ',')
            out += '\\';
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return out;
}

// Appends one content line, folded: a line longer than 75 octets goes on in
// lines that start with a blank, each cut before a UTF-8 character begins
// so that no character is split between two lines.
static void ics_line(std::string* out, const std::string& line)
{
    size_t at = 0;
    for (size_t room = ICS_LINE_MOST; line.size() - at > room; room = ICS_LINE_MOST - 1) {
        size_t cut = at + room;
        while (cut > at && (line[cut] & 0xC0) == 0x80)
            cut--;
        if (cut == at)  // no character starts in reach: not UTF-8
            cut = at + room;
        *out += line.substr(at, cut - at) + "\r\n ";
        at = cut;
    }
    *out += line.substr(at) + "\r\n";
}

static std::string ics_date(int year, int month, int day)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    return text;
}

static std::string ics_stamp(long long seconds)
{
    const std::time_t t = (std::time_t)seconds;
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
    return text;
}

/* Events */

// One all-day event. Its UID is the date and what the event is, so it
// stays the same from one export to the next.
static void ics_event(std::string* out, int year, int month, int day, const std::string& what,
                      const std::string& summary, const char* category, const std::string& stamp)
{
    int next_year = year, next_month = month, next_day = day + 1;
    if (next_day > RKM_DAY_MAX(year, month)) {
        next_day = 1;
        if (++next_month > 12)
            next_month = 1, next_year++;
    }
    const std::string date = ics_date(year, month, day);
    ics_line(out, "BEGIN:VEVENT");
    ics_line(out, "UID:" + date + "-" + what + "@rkm7500");
    ics_line(out, "DTSTAMP:" + stamp);
    ics_line(out, "DTSTART;VALUE=DATE:" + date);
    ics_line(out, "DTEND;VALUE=DATE:" + ics_date(next_year, next_month, next_day));
    ics_line(out, "SUMMARY:" + ics_text(summary));
    ics_line(out, std::string("CATEGORIES:") + category);
    ics_line(out, "TRANSP:TRANSPARENT");
    ics_line(out, "END:VEVENT");
}

// The notes of a day, each an event after its holiday: its 六曜, its solar
// term, its 雑節.
static void ics_notes(std::string* out, int year, int month, int day, const AlmDay& notes,
                      const std::string& stamp)
{
    if (!notes.known)
        return;
    ics_event(out, year, month, day, "rokuyo", alm_rokuyo_name(notes.rokuyo), "六曜", stamp);
    if (notes.solar_term != ALM_NONE)
        ics_event(out, year, month, day, "sekki", alm_solar_term_name(notes.solar_term), "二十四節気", stamp);
    for (int k = 0; k < ALM_ZASSETSU_KINDS; k++)
        if (notes.zassetsu & (1u << k))
            ics_event(out, year, month, day, "zassetsu" + std::to_string(k), alm_zassetsu_name(1u << k), "雑節",
                      stamp);
}

std::string ics_calendar(int from, int to, bool notes, long long stamp)
{
    const std::string when = ics_stamp(stamp);
    std::string out;
    ics_line(&out, "BEGIN:VCALENDAR");
    ics_line(&out, "VERSION:2.0");
    ics_line(&out, "PRODID:-//rkm7500//rkm7500 " RKM_VERSION "//JA");
    ics_line(&out, "CALSCALE:GREGORIAN");
    ics_line(&out, "METHOD:PUBLISH");
    ics_line(&out, "X-WR-CALNAME:日本の祝日");
    std::vector<AlmDay> year_notes;
    for (int y = from; y <= to; y++) {
        year_notes.assign(notes ? 366 : 0, AlmDay{});
        if (notes)
            alm_days(y, 1, 1, RKM_DAY_MAX(y, 2) == 29 ? 366 : 365, year_notes.data());
        for (int m = 1, at = 0; m <= 12; m++)
            for (int d = 1; d <= RKM_DAY_MAX(y, m); d++, at++) {
                if (const char* name = hol_day_name(y, m, d))
                    ics_event(&out, y, m, d, "holiday", plat_sjis_to_utf8(name, std::strlen(name)), "祝日", when);
                if (notes)
                    ics_notes(&out, y, m, d, year_notes[at], when);
            }
    }
    ics_line(&out, "END:VCALENDAR");
    return out;
}

/* The command */

// A year written as one to four digits and nothing else: no sign, no blank.
static bool parse_year(const std::string& text, int* year)
{
    if (text.empty() || text.size() > 4)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    *year = std::stoi(text);
    return true;
}

// "FROM..TO" or one year, within the years iCalendar's dates can hold.
static bool parse_years(const char* text, int* from, int* to)
{
    const std::string all = text;
    const size_t dots = all.find("..");
    if (!parse_year(all.substr(0, dots), from) ||
        !parse_year(dots == all.npos ? all : all.substr(dots + 2), to))
        return false;
    return *from >= ICS_YEAR_FIRST && *from <= *to && *to <= ICS_YEAR_LAST;
}

// The export's DTSTAMP: now, or SOURCE_DATE_EPOCH when it is set, so that a
// build or a test can make the same file twice.
static long long export_time(void)
{
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    char* end = nullptr;
    const long long seconds = fixed ? std::strtoll(fixed, &end, 10) : 0;
    return fixed && *fixed && *end == '\0' && seconds >= 0 ? seconds : (long long)std::time(nullptr);
}

int ics_export(const char* path, const char* years, bool notes)
{
    int from = 0, to = 0;
    if (years && !parse_years(years, &from, &to)) {
        std::fprintf(stderr, "rkm7500: --years needs FROM..TO or one year, from %d to %d "
                     "(as 2026..2031); 'rkm7500 --help' shows the usage\n", ICS_YEAR_FIRST, ICS_YEAR_LAST);
        return 2;
    }
    if (!years) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        from = std::min(std::max((int)now.wYear, (int)ICS_YEAR_FIRST), (int)ICS_YEAR_LAST);
        to = std::min(from + 5, (int)ICS_YEAR_LAST);
    }
    hol_load_official();
    std::string reason;
    if (!plat_write_file(path, ics_calendar(from, to, notes, export_time()), &reason)) {
        std::fprintf(stderr, "rkm7500: cannot write %s: %s\n", path, reason.c_str());
        return 1;
    }
    return 0;
}
