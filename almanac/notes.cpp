// The notes of a run of days, each kind walked once over the run: the old
// months by their new moons, the solar terms and the 雑節 by the years the
// run touches, the phases by the quarters in it.
#include "almanac/almanac.h"

#include <algorithm>

#include "almanac/astro.h"
#include "almanac/events.h"

// The days asked for, by day number, clipped to the years of the notes.
struct Run {
    int first, last;  // first > last: none
    AlmDay* out;
    int out_first;
    bool holds(int day) const { return day >= first && day <= last; }
    AlmDay& at(int day) const { return out[day - out_first]; }
    int first_year() const { return year_of(first); }
    int last_year() const { return year_of(last); }
    static int year_of(int day)
    {
        int y, m, d;
        alm_civil_date(day, &y, &m, &d);
        return y;
    }
};

// An event whose mean day lies this near the run may fall in it.
static const int MEAN_DAY_SLACK = 4;

static bool may_overlap(const Run& run, int mean_from, int mean_to)
{
    return mean_to >= run.first - MEAN_DAY_SLACK && mean_from <= run.last + MEAN_DAY_SLACK;
}

static bool may_hold(const Run& run, int mean_day)
{
    return may_overlap(run, mean_day, mean_day);
}

static void old_dates(const Run& run)
{
    AlmMonth month = alm_month_of(run.first);
    int begins = alm_quarter_day(4 * month.lunation);
    int next = alm_quarter_day(4 * month.lunation + 4);
    for (int day = run.first; day <= run.last; day++) {
        if (day == next) {
            month = alm_month_of(day);
            begins = day;
            next = alm_quarter_day(4 * month.lunation + 4);
        }
        AlmDay& a = run.at(day);
        a.old_month = month.number;
        a.old_day = day - begins + 1;
        a.old_leap = month.leap;
        a.rokuyo = (a.old_month + a.old_day) % 6;
    }
}

static void solar_terms(const Run& run)
{
    for (int year = run.first_year(); year <= run.last_year(); year++)
        for (int term = 0; term < ALM_SOLAR_TERMS; term++)
            if (may_hold(run, alm_sun_mean_day(15 * term, year))) {
                const int day = alm_sun_day(15 * term, year);
                if (run.holds(day))
                    run.at(day).solar_term = term;
            }
}

// The 雑節 that lie a number of days from the Sun's arrival at a longitude.
struct SunRule {
    int degrees;
    int days_after;
    unsigned bit;
};
static const SunRule SUN_RULES[] = {
    {315, -1, ALM_SETSUBUN},        {0, -3, ALM_HIGAN_BEGINS},
    {0, 3, ALM_HIGAN_ENDS},         {180, -3, ALM_HIGAN_BEGINS},
    {180, 3, ALM_HIGAN_ENDS},       {315, 87, ALM_EIGHTY_EIGHTH},
    {80, 0, ALM_RAINY_SEASON},      {100, 0, ALM_HANGESHO},
    {297, 0, ALM_DOYO_BEGINS},      {27, 0, ALM_DOYO_BEGINS},
    {117, 0, ALM_DOYO_BEGINS},      {207, 0, ALM_DOYO_BEGINS},
    {315, 209, ALM_TWO_HUNDRED_TENTH}, {315, 219, ALM_TWO_HUNDRED_TWENTIETH},
};

// 土用 runs from its beginning to the day before the next season's first
// term, 18 degrees on.
static const int DOYO_BEGINS[] = {297, 27, 117, 207};
static const int DOYO_LENGTH_DEGREES = 18;

// Days of the ox in the sexagenary count of days.
static bool ox_day(int day)
{
    return day % 12 == 0;
}

static void doyo_ox_days(const Run& run, int year)
{
    for (int begins : DOYO_BEGINS) {
        const int ends = (begins + DOYO_LENGTH_DEGREES) % 360;
        if (!may_overlap(run, alm_sun_mean_day(begins, year), alm_sun_mean_day(ends, year)))
            continue;
        const int last = std::min(run.last, alm_sun_day(ends, year) - 1);
        for (int day = std::max(run.first, alm_sun_day(begins, year)); day <= last; day++)
            if (ox_day(day))
                run.at(day).zassetsu |= ALM_DOYO_OX;
    }
}

static void zassetsu(const Run& run)
{
    for (int year = run.first_year(); year <= run.last_year(); year++) {
        for (const SunRule& rule : SUN_RULES)
            if (may_hold(run, alm_sun_mean_day(rule.degrees, year) + rule.days_after)) {
                const int day = alm_sun_day(rule.degrees, year) + rule.days_after;
                if (run.holds(day))
                    run.at(day).zassetsu |= rule.bit;
            }
        doyo_ox_days(run, year);
    }
}

static void phases(const Run& run)
{
    for (int q = alm_quarter_near(run.first) - 1; q <= alm_quarter_near(run.last) + 1; q++) {
        const int day = alm_quarter_day(q);
        if (run.holds(day))
            run.at(day).moon = q & 3;
    }
}

void alm_days(int year, int month, int day, int count, AlmDay* out)
{
    const int first = alm_day_number(year, month, day);
    for (int i = 0; i < count; i++)
        out[i] = {false, 0, 0, false, ALM_NONE, ALM_NONE, 0, ALM_NONE};
    const Run run{std::max(first, alm_day_number(ALM_FIRST_YEAR, 1, 1)),
                  std::min(first + count - 1, alm_day_number(ALM_LAST_YEAR, 12, 31)), out, first};
    if (run.first > run.last)
        return;
    for (int d = run.first; d <= run.last; d++)
        run.at(d).known = true;
    old_dates(run);
    solar_terms(run);
    zassetsu(run);
    phases(run);
}

AlmDay alm_day(int year, int month, int day)
{
    AlmDay a;
    alm_days(year, month, day, 1, &a);
    return a;
}

bool alm_is_date(int year, int month, int day)
{
    int y, m, d;
    alm_civil_date(alm_day_number(year, month, day), &y, &m, &d);
    return y == year && m == month && d == day;
}

/* Names */

template <int N>
static const char* name_in(const char* const (&names)[N], int i)
{
    return i >= 0 && i < N ? names[i] : "";
}

const char* alm_rokuyo_name(int rokuyo)
{
    static const char* const names[] = {"大安", "赤口", "先勝", "友引", "先負", "仏滅"};
    return name_in(names, rokuyo);
}

const char* alm_solar_term_name(int term)
{
    static const char* const names[] = {"春分", "清明", "穀雨", "立夏", "小満", "芒種",
                                        "夏至", "小暑", "大暑", "立秋", "処暑", "白露",
                                        "秋分", "寒露", "霜降", "立冬", "小雪", "大雪",
                                        "冬至", "小寒", "大寒", "立春", "雨水", "啓蟄"};
    return name_in(names, term);
}

const char* alm_moon_name(int phase)
{
    static const char* const names[] = {"新月", "上弦", "満月", "下弦"};
    return name_in(names, phase);
}

const char* alm_zassetsu_name(unsigned bit)
{
    static const char* const names[] = {"節分", "彼岸入り", "彼岸明け", "八十八夜", "入梅",
                                        "半夏生", "土用入り", "土用の丑", "二百十日", "二百二十日"};
    for (int i = 0; i < ALM_ZASSETSU_KINDS; i++)
        if (bit == 1u << i)
            return names[i];
    return "";
}

std::string alm_zassetsu_names(unsigned bits)
{
    std::string names;
    for (int i = 0; i < ALM_ZASSETSU_KINDS; i++)
        if (bits & (1u << i))
            names += (names.empty() ? "" : "・") + std::string(alm_zassetsu_name(1u << i));
    return names;
}

std::string alm_old_date_text(const AlmDay& day, bool in_words)
{
    const std::string month = (day.old_leap ? "閏" : "") + std::to_string(day.old_month);
    const std::string date = std::to_string(day.old_day);
    return in_words ? month + "月" + date + "日" : month + "/" + date;
}
