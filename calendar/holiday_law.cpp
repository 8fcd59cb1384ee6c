// Japan's days off by the national holidays law in force in each year.
#include "calendar/holiday_law.h"

#include "calendar/calendar.h"

#include <cmath>

namespace {

/* Days as the calendar counts them (RKM_DAY_MAX, RKM_FIRST_DAY), so a
   holiday set on a Monday is shown on a Monday in every year. */
struct LawDate {
    int year, month, day;
};

const int LAW_YEAR_MAX = 9999;

int law_key(const LawDate& t)  // orders dates; years 1 to 9999 fit
{
    return t.year * 10000 + t.month * 100 + t.day;
}

bool law_valid(const LawDate& t)
{
    return t.year >= 1 && t.year <= LAW_YEAR_MAX && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= RKM_DAY_MAX(t.year, t.month);
}

LawDate law_prev(const LawDate& t)
{
    if (t.day > 1)
        return {t.year, t.month, t.day - 1};
    if (t.month > 1)
        return {t.year, t.month - 1, RKM_DAY_MAX(t.year, t.month - 1)};
    return {t.year - 1, 12, 31};
}

LawDate law_next(const LawDate& t)
{
    if (t.day < RKM_DAY_MAX(t.year, t.month))
        return {t.year, t.month, t.day + 1};
    if (t.month < 12)
        return {t.year, t.month + 1, 1};
    return {t.year + 1, 1, 1};
}

int law_weekday(const LawDate& t)  // 0 Sunday .. 6 Saturday
{
    return (RKM_FIRST_DAY(t.year, t.month) + t.day - 1) % 7;
}

const int LAW_START = 19480720;          // the law takes effect
const int LAW_SUBSTITUTES = 19730412;    // Sunday holidays owe a day off
const int LAW_CITIZENS_FROM = 19851227;  // days between holidays are off
const int LAW_2007 = 20070101;           // the owed day may come after the Monday

/* Equinox day by the formula for the year's range: trunc(base + 0.242194
   (year - 1980) - leap days counted since 1980). */
int law_equinox(int year, double base_1900, double base_1980, double base_2100)
{
    if (year < 1900)
        year = 1900;
    if (year > LAW_YEAR_MAX)
        year = LAW_YEAR_MAX;
    const int d = year - 1980;
    if (year < 1980)
        return static_cast<int>(std::trunc(base_1900 + 0.242194 * d - (year - 1983) / 4));
    if (year < 2100)
        return static_cast<int>(std::trunc(base_1980 + 0.242194 * d - d / 4));
    // century years after 2100 without a leap day, up to this one
    const int skipped = year < 2200 ? 0 : (year / 100 - 21) - (year / 400 - 5);
    return static_cast<int>(std::trunc(base_2100 + 0.242194 * d - d / 4 + skipped));
}

/* Holiday names, Shift-JIS */
#define NAME_GANJITSU "\x8C\xB3\x93\xFA"                                   // 元日
#define NAME_SEIJIN "\x90\xAC\x90\x6C\x82\xCC\x93\xFA"                     // 成人の日
#define NAME_KENKOKU "\x8C\x9A\x8D\x91\x8B\x4C\x94\x4F\x82\xCC\x93\xFA"      // 建国記念の日
#define NAME_TENNO "\x93\x56\x8D\x63\x92\x61\x90\xB6\x93\xFA"              // 天皇誕生日
#define NAME_SHUNBUN "\x8F\x74\x95\xAA\x82\xCC\x93\xFA"                    // 春分の日
#define NAME_MIDORI "\x82\xDD\x82\xC7\x82\xE8\x82\xCC\x93\xFA"             // みどりの日
#define NAME_SHOWA "\x8F\xBA\x98\x61\x82\xCC\x93\xFA"                      // 昭和の日
#define NAME_KENPO "\x8C\x9B\x96\x40\x8B\x4C\x94\x4F\x93\xFA"              // 憲法記念日
#define NAME_KODOMO "\x82\xB1\x82\xC7\x82\xE0\x82\xCC\x93\xFA"             // こどもの日
#define NAME_UMI "\x8A\x43\x82\xCC\x93\xFA"                                  // 海の日
#define NAME_YAMA "\x8E\x52\x82\xCC\x93\xFA"                                 // 山の日
#define NAME_KEIRO "\x8C\x68\x98\x56\x82\xCC\x93\xFA"                      // 敬老の日
#define NAME_SHUBUN "\x8F\x48\x95\xAA\x82\xCC\x93\xFA"                     // 秋分の日
#define NAME_TAIIKU "\x91\xCC\x88\xE7\x82\xCC\x93\xFA"                     // 体育の日
#define NAME_SPORTS "\x83\x58\x83\x7C\x81\x5B\x83\x63\x82\xCC\x93\xFA"     // スポーツの日
#define NAME_BUNKA "\x95\xB6\x89\xBB\x82\xCC\x93\xFA"                      // 文化の日
#define NAME_KINRO "\x8B\xCE\x98\x4A\x8A\xB4\x8E\xD3\x82\xCC\x93\xFA"      // 勤労感謝の日
#define NAME_KEKKON "\x8C\x8B\x8D\xA5\x82\xCC\x8B\x56"                     // 結婚の儀
#define NAME_TAISO "\x91\xE5\x91\x72\x82\xCC\x97\xE7"                      // 大喪の礼
#define NAME_SOKUIREI "\x91\xA6\x88\xCA\x97\xE7\x90\xB3\x93\x61\x82\xCC\x8B\x56"  // 即位礼正殿の儀
#define NAME_SOKUI "\x93\x56\x8D\x63\x82\xCC\x91\xA6\x88\xCA\x82\xCC\x93\xFA"    // 天皇の即位の日
#define NAME_FURIKAE "\x90\x55\x91\xD6\x8B\x78\x93\xFA"                    // 振替休日
#define NAME_KYUJITSU "\x8B\x78\x93\xFA"                                   // 休日

/* National holidays kept by rule, each for the years it was in force and
   under the name the law of those years gives it. */
enum { ON_DAY, ON_MONDAY, ON_SPRING_EQUINOX, ON_AUTUMN_EQUINOX };
const int OPEN = LAW_YEAR_MAX;

struct LawRule {
    int first, last;  // years in force
    int month;
    int how;          // ON_...
    int which;        // day of the month, or which Monday
    const char* name;
};

const LawRule law_rules[] = {
    {1948, OPEN, 1, ON_DAY, 1, NAME_GANJITSU},
    {1948, 1999, 1, ON_DAY, 15, NAME_SEIJIN},
    {2000, OPEN, 1, ON_MONDAY, 2, NAME_SEIJIN},
    {1967, OPEN, 2, ON_DAY, 11, NAME_KENKOKU},
    {2020, OPEN, 2, ON_DAY, 23, NAME_TENNO},
    {1948, OPEN, 3, ON_SPRING_EQUINOX, 0, NAME_SHUNBUN},
    {1948, 1988, 4, ON_DAY, 29, NAME_TENNO},
    {1989, 2006, 4, ON_DAY, 29, NAME_MIDORI},
    {2007, OPEN, 4, ON_DAY, 29, NAME_SHOWA},
    {1948, OPEN, 5, ON_DAY, 3, NAME_KENPO},
    {2007, OPEN, 5, ON_DAY, 4, NAME_MIDORI},
    {1948, OPEN, 5, ON_DAY, 5, NAME_KODOMO},
    {1996, 2002, 7, ON_DAY, 20, NAME_UMI},
    {2003, 2019, 7, ON_MONDAY, 3, NAME_UMI},
    {2022, OPEN, 7, ON_MONDAY, 3, NAME_UMI},
    {2016, 2019, 8, ON_DAY, 11, NAME_YAMA},
    {2022, OPEN, 8, ON_DAY, 11, NAME_YAMA},
    {1966, 2002, 9, ON_DAY, 15, NAME_KEIRO},
    {2003, OPEN, 9, ON_MONDAY, 3, NAME_KEIRO},
    {1948, OPEN, 9, ON_AUTUMN_EQUINOX, 0, NAME_SHUBUN},
    {1966, 1999, 10, ON_DAY, 10, NAME_TAIIKU},
    {2000, 2019, 10, ON_MONDAY, 2, NAME_TAIIKU},
    {2022, OPEN, 10, ON_MONDAY, 2, NAME_SPORTS},
    {1948, OPEN, 11, ON_DAY, 3, NAME_BUNKA},
    {1948, OPEN, 11, ON_DAY, 23, NAME_KINRO},
    {1989, 2018, 12, ON_DAY, 23, NAME_TENNO},
};

/* Days set once by special laws, by the names those laws give them. */
struct LawOnce {
    LawDate date;
    const char* name;
};

const LawOnce law_once[] = {
    {{1959, 4, 10}, NAME_KEKKON},    // the Crown Prince's wedding
    {{1989, 2, 24}, NAME_TAISO},     // the Showa Emperor's funeral
    {{1990, 11, 12}, NAME_SOKUIREI}, // enthronement ceremony
    {{1993, 6, 9}, NAME_KEKKON},     // the Crown Prince's wedding
    {{2019, 5, 1}, NAME_SOKUI},      // accession of the Emperor
    {{2019, 10, 22}, NAME_SOKUIREI}, // enthronement ceremony
    // Marine Day, Sports Day and Mountain Day moved for the Olympic Games,
    // and moved again when the Games were put off a year
    {{2020, 7, 23}, NAME_UMI},
    {{2020, 7, 24}, NAME_SPORTS},
    {{2020, 8, 10}, NAME_YAMA},
    {{2021, 7, 22}, NAME_UMI},
    {{2021, 7, 23}, NAME_SPORTS},
    {{2021, 8, 8}, NAME_YAMA},
};

bool law_rule_holds(const LawRule& r, int year, int month, int day, int weekday)
{
    if (year < r.first || year > r.last || month != r.month)
        return false;
    switch (r.how) {
    case ON_DAY:
        return day == r.which;
    case ON_MONDAY:
        return weekday == 1 && (day - 1) / 7 + 1 == r.which;
    case ON_SPRING_EQUINOX:
        return day == law_spring_equinox(year);
    default:
        return day == law_autumn_equinox(year);
    }
}

// The name of the national holiday on this date, or null for none.
const char* law_national_name(const LawDate& t)
{
    if (law_key(t) < LAW_START || t.year > LAW_YEAR_MAX)
        return nullptr;
    for (const LawOnce& once : law_once)
        if (law_key(once.date) == law_key(t))
            return once.name;
    const int weekday = law_weekday(t);
    for (const LawRule& r : law_rules)
        if (law_rule_holds(r, t.year, t.month, t.day, weekday))
            return r.name;
    return nullptr;
}

bool law_national(const LawDate& t)
{
    return law_national_name(t) != nullptr;
}

/* The rules for the days around the national holidays, over the holidays
   `national` names: the law's own, or those of the official list. */
bool law_listed(LawHolidayTest national, const LawDate& t)
{
    return national(t.year, t.month, t.day) != 0;
}

bool law_owes_substitute(LawHolidayTest national, const LawDate& sunday)
{
    return law_key(sunday) >= LAW_SUBSTITUTES && law_weekday(sunday) == 0 && law_listed(national, sunday);
}

/* The day off owed for a Sunday holiday: up to 2006 the Monday after it
   (even a Monday that is a holiday itself); from 2007 the first following
   day that is not a national holiday. */
bool law_substitute(LawHolidayTest national, const LawDate& t)
{
    const LawDate before = law_prev(t);
    if (law_key(t) < LAW_2007)
        return law_owes_substitute(national, before);
    if (law_listed(national, t))
        return false;
    for (LawDate back = before; law_listed(national, back); back = law_prev(back))
        if (law_owes_substitute(national, back))
            return true;
    return false;
}

/* Up to 2006 a Sunday between two holidays stays a plain Sunday; from 2007
   the law no longer makes that exception. */
bool law_citizens(LawHolidayTest national, const LawDate& t)
{
    if (law_key(t) < LAW_CITIZENS_FROM || !law_listed(national, law_prev(t)) ||
        !law_listed(national, law_next(t)))
        return false;
    return law_key(t) >= LAW_2007 || law_weekday(t) != 0;
}

}  // namespace

int law_spring_equinox(int year)
{
    return law_equinox(year, 20.8357, 20.8431, 21.8510);
}

int law_autumn_equinox(int year)
{
    return law_equinox(year, 23.2588, 23.2488, 24.2488);
}

int law_national_holiday(int year, int month, int day)
{
    const LawDate t{year, month, day};
    return law_valid(t) && law_national(t);
}

int law_day_kind(int year, int month, int day)
{
    const LawDate t{year, month, day};
    if (!law_valid(t))
        return LAW_WORKDAY;
    if (law_substitute(law_national_holiday, t))
        return LAW_SUBSTITUTE;
    if (law_national(t))
        return LAW_HOLIDAY;
    if (law_citizens(law_national_holiday, t))
        return LAW_CITIZENS;
    return LAW_WORKDAY;
}

int law_day_between(int year, int month, int day, LawHolidayTest national)
{
    const LawDate t{year, month, day};
    if (!law_valid(t))
        return LAW_WORKDAY;
    if (law_substitute(national, t))
        return LAW_SUBSTITUTE;
    if (!law_listed(national, t) && law_citizens(national, t))
        return LAW_CITIZENS;
    return LAW_WORKDAY;
}

const char* law_day_name(int year, int month, int day)
{
    switch (law_day_kind(year, month, day)) {
    case LAW_HOLIDAY: return law_national_name({year, month, day});
    case LAW_SUBSTITUTE: return NAME_FURIKAE;
    case LAW_CITIZENS: return NAME_KYUJITSU;
    default: return nullptr;
    }
}

int law_substitute_step(int year, int month, int day, int* carry)
{
    const LawDate t{year, month, day};
    if (!law_valid(t))
        return 0;
    int owed_here = 0;
    if (*carry && (law_key(t) < LAW_2007 ? law_weekday(t) == 1 : !law_national(t))) {
        owed_here = 1;
        *carry = 0;
    }
    if (law_owes_substitute(law_national_holiday, t))
        *carry = 1;
    return owed_here;
}
