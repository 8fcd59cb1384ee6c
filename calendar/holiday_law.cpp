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

/* National holidays kept by rule, each for the years it was in force. */
enum { ON_DAY, ON_MONDAY, ON_SPRING_EQUINOX, ON_AUTUMN_EQUINOX };
const int OPEN = LAW_YEAR_MAX;

struct LawRule {
    int first, last;  // years in force
    int month;
    int how;          // ON_...
    int which;        // day of the month, or which Monday
};

const LawRule law_rules[] = {
    {1948, OPEN, 1, ON_DAY, 1},                // New Year's Day
    {1948, 1999, 1, ON_DAY, 15},               // Coming of Age Day
    {2000, OPEN, 1, ON_MONDAY, 2},
    {1967, OPEN, 2, ON_DAY, 11},               // National Foundation Day
    {2020, OPEN, 2, ON_DAY, 23},               // Emperor's Birthday
    {1948, OPEN, 3, ON_SPRING_EQUINOX, 0},
    {1948, OPEN, 4, ON_DAY, 29},               // Emperor's Birthday, Greenery Day, Showa Day
    {1948, OPEN, 5, ON_DAY, 3},                // Constitution Day
    {2007, OPEN, 5, ON_DAY, 4},                // Greenery Day
    {1948, OPEN, 5, ON_DAY, 5},                // Children's Day
    {1996, 2002, 7, ON_DAY, 20},               // Marine Day
    {2003, 2019, 7, ON_MONDAY, 3},
    {2022, OPEN, 7, ON_MONDAY, 3},
    {2016, 2019, 8, ON_DAY, 11},               // Mountain Day
    {2022, OPEN, 8, ON_DAY, 11},
    {1966, 2002, 9, ON_DAY, 15},               // Respect for the Aged Day
    {2003, OPEN, 9, ON_MONDAY, 3},
    {1948, OPEN, 9, ON_AUTUMN_EQUINOX, 0},
    {1966, 1999, 10, ON_DAY, 10},              // Sports Day
    {2000, 2019, 10, ON_MONDAY, 2},
    {2022, OPEN, 10, ON_MONDAY, 2},
    {1948, OPEN, 11, ON_DAY, 3},               // Culture Day
    {1948, OPEN, 11, ON_DAY, 23},              // Labour Thanksgiving Day
    {1989, 2018, 12, ON_DAY, 23},              // Emperor's Birthday
};

/* Days set once by special laws. */
const LawDate law_once[] = {
    {1959, 4, 10},  // the Crown Prince's wedding
    {1989, 2, 24},  // the Showa Emperor's funeral
    {1990, 11, 12}, // enthronement ceremony
    {1993, 6, 9},   // the Crown Prince's wedding
    {2019, 5, 1},   // accession of the Emperor
    {2019, 10, 22}, // enthronement ceremony
    {2020, 7, 23},  // Marine Day, Sports Day and Mountain Day moved for the Olympic Games
    {2020, 7, 24},
    {2020, 8, 10},
    {2021, 7, 22},  // the same, moved again when the Games were put off a year
    {2021, 7, 23},
    {2021, 8, 8},
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

bool law_national(const LawDate& t)
{
    if (law_key(t) < LAW_START || t.year > LAW_YEAR_MAX)
        return false;
    for (const LawDate& once : law_once)
        if (law_key(once) == law_key(t))
            return true;
    const int weekday = law_weekday(t);
    for (const LawRule& r : law_rules)
        if (law_rule_holds(r, t.year, t.month, t.day, weekday))
            return true;
    return false;
}

bool law_owes_substitute(const LawDate& sunday)
{
    return law_key(sunday) >= LAW_SUBSTITUTES && law_weekday(sunday) == 0 && law_national(sunday);
}

/* The day off owed for a Sunday holiday: up to 2006 the Monday after it
   (even a Monday that is a holiday itself); from 2007 the first following
   day that is not a national holiday. */
bool law_substitute(const LawDate& t)
{
    const LawDate before = law_prev(t);
    if (law_key(t) < LAW_2007)
        return law_owes_substitute(before);
    if (law_national(t))
        return false;
    for (LawDate back = before; law_national(back); back = law_prev(back))
        if (law_owes_substitute(back))
            return true;
    return false;
}

/* Up to 2006 a Sunday between two holidays stays a plain Sunday; from 2007
   the law no longer makes that exception. */
bool law_citizens(const LawDate& t)
{
    if (law_key(t) < LAW_CITIZENS_FROM || !law_national(law_prev(t)) || !law_national(law_next(t)))
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
    if (law_substitute(t))
        return LAW_SUBSTITUTE;
    if (law_national(t))
        return LAW_HOLIDAY;
    if (law_citizens(t))
        return LAW_CITIZENS;
    return LAW_WORKDAY;
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
    if (law_owes_substitute(t))
        *carry = 1;
    return owed_here;
}
