// --almanac: the notes of a run of days as lines of text.
#include "app/almanac_list.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "almanac/almanac.h"
#include "calendar/holidays.h"
#include "platform/draw/codeconv.h"

using std::chrono::day;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

/* Lines */

static const char* const WEEKDAYS[] = {"日", "月", "火", "水", "木", "金", "土"};

static std::string field(const char* text)
{
    return *text ? text : "-";
}

static std::string holiday(const year_month_day& date)
{
    const char* name = hol_day_name((int)date.year(), (int)(unsigned)date.month(),
                                    (int)(unsigned)date.day());
    return name ? plat_sjis_to_utf8(name, std::strlen(name)) : "";
}

static std::string line(const year_month_day& date, const AlmDay& a)
{
    char iso[16];
    std::snprintf(iso, sizeof iso, "%04d-%02u-%02u", (int)date.year(), (unsigned)date.month(),
                  (unsigned)date.day());
    std::string text = std::string(iso) + "\t" +
                       WEEKDAYS[std::chrono::weekday{sys_days{date}}.c_encoding()] + "\t";
    if (!a.known)
        text += "-\t-\t-\t-\t-";
    else
        text += alm_old_date_text(a, false) + "\t" + alm_rokuyo_name(a.rokuyo) + "\t" +
                field(alm_solar_term_name(a.solar_term)) + "\t" + field(alm_zassetsu_names(a.zassetsu).c_str()) +
                "\t" + field(alm_moon_name(a.moon));
    return text + "\t" + field(holiday(date).c_str()) + "\n";
}

// The days are asked for a year's worth at a time: far cheaper than one by
// one, and a range of centuries needs no more memory than a year.
bool almanac_write(const DayRange& range, std::FILE* out)
{
    const sys_days last{year_month_day{year{range.to_year}, month{(unsigned)range.to_month},
                                       day{(unsigned)range.to_day}}};
    sys_days next{year_month_day{year{range.from_year}, month{(unsigned)range.from_month},
                                 day{(unsigned)range.from_day}}};
    std::vector<AlmDay> notes(366);
    while (next <= last) {
        const int count = (int)std::min<long>(366, (last - next).count() + 1);
        const year_month_day first{next};
        alm_days((int)first.year(), (int)(unsigned)first.month(), (int)(unsigned)first.day(), count,
                 notes.data());
        std::string block;
        for (int i = 0; i < count; i++)
            block += line(year_month_day{next + std::chrono::days{i}}, notes[(size_t)i]);
        if (std::fwrite(block.data(), 1, block.size(), out) != block.size())
            return false;
        next += std::chrono::days{count};
    }
    return std::fflush(out) == 0;
}
