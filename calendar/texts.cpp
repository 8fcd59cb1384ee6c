// Texts every view and printed layout shares: the title and the day number
// composed in cWorkbuf, as the views have always had them; the era year in
// a buffer of the caller's.
#include "calendar/calendar.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "state/state.h"
#include "support/ghl3000.h"

// The title template: 2001年１月 (the year and the month are written over it).
static const char title_template[] = "2001\x94\x4E\x82\x50\x8C\x8E";
static const char unknown_month[] = "\x81\x48\x8C\x8E";  // ？月
enum { TITLE_YEAR = 0, TITLE_MONTH = 6, TITLE_LENGTH = 10 };

// "2003年11月": the year right-aligned in four places, then the four bytes
// of the month name. A negative year keeps its minus sign ("  -5"); a year
// that does not fit in four places (below -999, above 9999) shows "****";
// a month outside 1..12 shows "？月". Returns cWorkbuf.
const char* cal_month_title(int year, int month)
{
    std::memcpy(cWorkbuf, title_template, TITLE_LENGTH);
    cWorkbuf[TITLE_LENGTH] = '\0';
    if (year < -999 || year > 9999)
        std::memcpy(cWorkbuf + TITLE_YEAR, "****", 4);
    else
        BinToAscii("SI", 4, 0, year < 0 ? "1000" : "0000", &year, cWorkbuf + TITLE_YEAR);
    const char* name = (month >= 1 && month <= 12) ? Mname[month - 1] : unknown_month;
    std::memcpy(cWorkbuf + TITLE_MONTH, name, 4);
    return cWorkbuf;
}

// The day number in two places, right-aligned, NUL-terminated: " 5", "14".
// A number outside 0..99 (never shown by the walk) gives "**". Returns
// cWorkbuf.
const char* cal_day_text(int number)
{
    if (number < 0 || number > 99)
        std::memcpy(cWorkbuf, "**", 3);
    else
        BinToAscii("SI", 2, 0, "0001", &number, cWorkbuf);
    return cWorkbuf;
}

/* The Japanese era year */

#define SJ_NEN "\x94\x4E"       // 年
#define SJ_GANNEN "\x8C\xB3"    // 元
#define SJ_NAKAGURO "\x81\x45"  // ・

// Each era from the day it began, by the calendar in use since 1873.
struct CalEra {
    int year, month, day;
    const char* name;
};
static const CalEra eras[] = {
    {1868, 10, 23, "\x96\xBE\x8E\xA1"},  // 明治
    {1912, 7, 30, "\x91\xE5\x90\xB3"},   // 大正
    {1926, 12, 25, "\x8F\xBA\x98\x61"},  // 昭和
    {1989, 1, 8, "\x95\xBD\x90\xAC"},    // 平成
    {2019, 5, 1, "\x97\xDF\x98\x61"},    // 令和
};
enum { ERA_COUNT = sizeof eras / sizeof eras[0] };

static bool era_begun(const CalEra& era, int year, int month, int day)
{
    return year * 10000 + month * 100 + day >= era.year * 10000 + era.month * 100 + era.day;
}

// "令和8年", "平成元年" for the first year, after `text`.
static void era_year(std::string* text, const CalEra& era, int year)
{
    *text += era.name;
    *text += year == era.year ? SJ_GANNEN : std::to_string(year - era.year + 1);
    *text += SJ_NEN;
}

// The era year of the month: the era of its 1st, and when a new era begins
// later in the month that one too, "昭和64年・平成元年". Empty before
// January 1873, when Japan took up this calendar, and after 9999.
char* cal_era_text(int year, int month, char* out, size_t size)
{
    std::string text;
    if (year >= 1873 && year <= 9999 && month >= 1 && month <= 12) {
        int at_first = 0;
        for (int i = 0; i < ERA_COUNT; i++)
            if (era_begun(eras[i], year, month, 1))
                at_first = i;
        era_year(&text, eras[at_first], year);
        const int next = at_first + 1;
        if (next < ERA_COUNT && eras[next].year == year && eras[next].month == month) {
            text += SJ_NAKAGURO;
            era_year(&text, eras[next], year);
        }
    }
    std::snprintf(out, size, "%s", text.c_str());
    return out;
}
