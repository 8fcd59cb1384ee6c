// Japan's days off by the national holidays law in force in each year.
#include "calendar/holiday_law.h"

#include <cmath>

namespace {

/* Dates as day numbers: 0 is 1 January 1970, Gregorian throughout. */
int law_serial(int year, int month, int day)
{
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct LawDate {
    int year, month, day;
};

LawDate law_date(int serial)
{
    const int z = serial + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int day = doy - (153 * mp + 2) / 5 + 1;
    const int month = mp < 10 ? mp + 3 : mp - 9;
    return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

int law_weekday(int serial)  // 0 Sunday .. 6 Saturday
{
    return ((serial + 4) % 7 + 7) % 7;
}

const int LAW_YEAR_MIN = 1;
const int LAW_YEAR_MAX = 9999;

bool law_valid(int year, int month, int day)
{
    if (year < LAW_YEAR_MIN || year > LAW_YEAR_MAX || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    const LawDate back = law_date(law_serial(year, month, day));
    return back.month == month && back.day == day;
}

const int LAW_START = law_serial(1948, 7, 20);         // the law takes effect
const int LAW_SUBSTITUTES = law_serial(1973, 4, 12);   // Sunday holidays owe a Monday
const int LAW_CITIZENS_FROM = law_serial(1985, 12, 27); // days between holidays are off
const int LAW_2007 = law_serial(2007, 1, 1);            // owed day off may be later than Monday

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

bool law_national(int serial)
{
    if (serial < LAW_START)
        return false;
    const LawDate t = law_date(serial);
    for (const LawDate& once : law_once)
        if (once.year == t.year && once.month == t.month && once.day == t.day)
            return true;
    const int weekday = law_weekday(serial);
    for (const LawRule& r : law_rules)
        if (law_rule_holds(r, t.year, t.month, t.day, weekday))
            return true;
    return false;
}

/* A day that is not itself a national holiday is the day off owed for a
   Sunday holiday when it follows that Sunday directly, or, under the law of
   2007, follows it across an unbroken run of national holidays. */
bool law_substitute(int serial)
{
    for (int back = serial - 1; law_national(back); --back) {
        if (law_weekday(back) == 0)
            return back >= LAW_SUBSTITUTES && (back == serial - 1 || back >= LAW_2007);
    }
    return false;
}

/* Up to 2006 a Sunday between two holidays stays a plain Sunday; from 2007
   the law no longer makes that exception. */
bool law_citizens(int serial)
{
    if (serial < LAW_CITIZENS_FROM || !law_national(serial - 1) || !law_national(serial + 1))
        return false;
    return serial >= LAW_2007 || law_weekday(serial) != 0;
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
    return law_valid(year, month, day) && law_national(law_serial(year, month, day));
}

int law_day_kind(int year, int month, int day)
{
    if (!law_valid(year, month, day))
        return LAW_WORKDAY;
    const int serial = law_serial(year, month, day);
    if (law_national(serial))
        return LAW_HOLIDAY;
    if (law_substitute(serial))
        return LAW_SUBSTITUTE;
    if (law_citizens(serial))
        return LAW_CITIZENS;
    return LAW_WORKDAY;
}

int law_substitute_step(int year, int month, int day, int* carry)
{
    if (!law_valid(year, month, day))
        return 0;
    const int serial = law_serial(year, month, day);
    const bool national = law_national(serial);
    int owed_here = 0;
    if (*carry && !national) {
        owed_here = 1;
        *carry = 0;
    } else if (*carry && serial < LAW_2007) {
        *carry = 0;  // the Monday is a national holiday already; nothing is owed
    }
    if (national && law_weekday(serial) == 0 && serial >= LAW_SUBSTITUTES)
        *carry = 1;
    return owed_here;
}
