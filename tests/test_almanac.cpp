// The traditional notes against a second ephemeris (PyEphem) over the whole
// range 1873-2100: every phase and solar longitude within seconds of it and
// on its day, every day's solar term, 雑節 and phase where it puts them, the
// old months as the principal terms it gives number them; then the dates
// almanac makers publish, and the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <vector>

#include "almanac/almanac.h"
#include "almanac/astro.h"
#include "almanac/events.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/tempdir.h"

struct OracleEvent {
    bool moon;
    int degrees;
    double ut;  // the oracle's instant, in UT by our Delta T
    int day;
    bool near_midnight;  // within a minute: two ephemerides may not settle its day
};

static const int LONGITUDES[] = {0,   15,  30,  45,  60,  75,  90,  105, 120, 135,
                                 150, 165, 180, 195, 210, 225, 240, 255, 270, 285,
                                 300, 315, 330, 345, 27,  80,  100, 117, 207, 297};

static const std::vector<OracleEvent>& oracle()
{
    static std::vector<OracleEvent> events;
    if (!events.empty())
        return events;
    std::string command = "/usr/bin/python3 " RKM_SOURCE_DIR "/tests/oracle/ephem_events.py 1873 2100";
    for (int degrees : LONGITUDES)
        command += " " + std::to_string(degrees);
    int status = -1;
    std::istringstream in(run_command(command, &status));
    EXPECT_EQ(status, 0) << "the oracle needs python3-ephem (scripts/install-deps.sh)";
    std::string kind;
    OracleEvent e{};
    double tt;
    while (in >> kind >> e.degrees >> tt) {
        e.moon = kind == "moon";
        e.ut = tt - alm_delta_t(tt) / 86400;
        e.day = alm_jst_day(e.ut);
        e.near_midnight = alm_seconds_from_midnight(e.ut) < 60;
        events.push_back(e);
    }
    return events;
}

static int year_of(int day)
{
    int y, m, d;
    alm_civil_date(day, &y, &m, &d);
    return y;
}

// Ours as the notes use it (fast, settled near midnight) and fully settled.
static double ours(const OracleEvent& e, bool settled)
{
    if (!e.moon) {
        const double t = alm_sun_time(e.degrees, year_of(e.day));
        return settled ? alm_sun_settle(e.degrees, t) : t;
    }
    int q = alm_quarter_near(e.day) - 2;
    while ((q & 3) != e.degrees / 90)
        q++;
    return settled ? alm_moon_settle(e.degrees, alm_quarter_time(q)) : alm_quarter_time(q);
}

TEST(ephemerides, every_phase_and_solar_longitude_1873_to_2100_within_seconds_and_on_the_same_day)
{
    ASSERT_EQ(oracle().size(), 11280u + 228u * 30u);
    for (const OracleEvent& e : oracle()) {
        const double full = ours(e, true), used = ours(e, false);
        ASSERT_LT(std::fabs(full - e.ut) * 86400, e.moon ? 40 : 30) << e.degrees << " on " << e.day;
        ASSERT_EQ(alm_jst_day(used), alm_jst_day(full)) << e.degrees << " on " << e.day;
        ASSERT_TRUE(e.near_midnight || alm_jst_day(used) == e.day) << e.degrees << " on " << e.day;
    }
}

// The day's notes the oracle's events give, with the days an event near
// midnight leaves open.
struct Expected {
    int term = ALM_NONE, moon = ALM_NONE;
    unsigned zassetsu = 0, open = 0;  // open: zassetsu bits not checked
    bool term_open = false, moon_open = false;
};

static void expect_zassetsu(std::map<int, Expected>& days, int day, unsigned bit, bool open)
{
    days[day].zassetsu |= bit;
    if (open)
        for (int d = day - 1; d <= day + 1; d++)
            days[d].open |= bit;
}

TEST(notes, every_day_1873_to_2100_has_the_terms_phases_and_zassetsu_of_the_second_ephemeris)
{
    std::map<int, Expected> days;
    std::map<std::pair<int, int>, const OracleEvent*> sun;  // (degrees, year)
    for (const OracleEvent& e : oracle()) {
        for (int d = e.day - e.near_midnight; d <= e.day + e.near_midnight; d++)
            (e.moon ? days[d].moon_open : days[d].term_open) |= e.near_midnight;
        if (e.moon)
            days[e.day].moon = e.degrees / 90;
        else if (e.degrees % 15 == 0)
            days[e.day].term = e.degrees / 15;
        if (!e.moon)
            sun[{e.degrees, year_of(e.day)}] = &e;
    }
    const struct { int degrees, after; unsigned bit; } rules[] = {
        {315, -1, ALM_SETSUBUN}, {0, -3, ALM_HIGAN_BEGINS}, {180, -3, ALM_HIGAN_BEGINS},
        {0, 3, ALM_HIGAN_ENDS}, {180, 3, ALM_HIGAN_ENDS}, {315, 87, ALM_EIGHTY_EIGHTH},
        {80, 0, ALM_RAINY_SEASON}, {100, 0, ALM_HANGESHO}, {297, 0, ALM_DOYO_BEGINS},
        {27, 0, ALM_DOYO_BEGINS}, {117, 0, ALM_DOYO_BEGINS}, {207, 0, ALM_DOYO_BEGINS},
        {315, 209, ALM_TWO_HUNDRED_TENTH}, {315, 219, ALM_TWO_HUNDRED_TWENTIETH}};
    for (int year = ALM_FIRST_YEAR; year <= ALM_LAST_YEAR; year++) {
        for (const auto& r : rules) {
            const OracleEvent* e = sun.at({r.degrees, year});
            expect_zassetsu(days, e->day + r.after, r.bit, e->near_midnight);
        }
        for (int begins : {297, 27, 117, 207}) {  // the ox days (day % 12 == 0) of each 土用
            const OracleEvent *from = sun.at({begins, year}), *to = sun.at({begins + 18, year});
            for (int d = from->day; d < to->day; d++)
                if (d % 12 == 0)
                    days[d].zassetsu |= ALM_DOYO_OX;
            for (const OracleEvent* edge : {from, to})
                for (int d = edge->day - 1; edge->near_midnight && d <= edge->day; d++)
                    days[d].open |= ALM_DOYO_OX;
        }
    }
    const int first = alm_day_number(ALM_FIRST_YEAR, 1, 1), last = alm_day_number(ALM_LAST_YEAR, 12, 31);
    std::vector<AlmDay> notes((size_t)(last - first + 3));
    alm_days(ALM_FIRST_YEAR - 1, 12, 31, (int)notes.size(), notes.data());
    EXPECT_FALSE(notes.front().known || notes.back().known);
    for (int d = first; d <= last; d++) {
        const AlmDay& a = notes[(size_t)(d - first + 1)];
        const Expected& x = days[d];
        ASSERT_TRUE(a.known);
        ASSERT_TRUE(x.term_open || a.solar_term == x.term) << d;
        ASSERT_TRUE(x.moon_open || a.moon == x.moon) << d;
        ASSERT_EQ(a.zassetsu & ~x.open, x.zassetsu & ~x.open) << d;
    }
}

// The old months: numbered by the principal term each holds, a month
// without one the leap month of the month before, wherever every month
// from one winter solstice to the next holds at most one term; the years
// where some month holds two are the dates below.
TEST(old_calendar, every_month_1873_to_2100_numbered_by_the_principal_term_it_holds)
{
    std::vector<int> new_moons, terms;  // days; terms as day * 12 + number
    for (const OracleEvent& e : oracle())
        if (e.moon && e.degrees == 0)
            new_moons.push_back(e.day);
        else if (!e.moon && e.degrees % 30 == 0)
            terms.push_back(e.day * 12 + (e.degrees / 30 + 1) % 12);  // 330 -> 0: month 1 is 0 here
    std::sort(new_moons.begin(), new_moons.end());
    std::sort(terms.begin(), terms.end());
    struct Month { int day, number; bool leap, doubled; };
    std::vector<Month> months;
    size_t t = 0;
    for (size_t i = 0; i + 1 < new_moons.size(); i++) {
        std::vector<int> held;
        for (; t < terms.size() && terms[t] / 12 < new_moons[i + 1]; t++)
            if (terms[t] / 12 >= new_moons[i])
                held.push_back(terms[t] % 12 + 1);
        const bool leap = held.empty() && !months.empty();
        months.push_back({new_moons[i], leap ? months.back().number : held.empty() ? 0 : held[0], leap,
                          held.size() > 1});
    }
    size_t checked = 0;
    for (size_t i = 0; i < months.size();) {  // one winter solstice year at a time
        size_t end = i + 1;
        while (end < months.size() && !(months[end].number == 11 && !months[end].leap))
            end++;
        bool doubled = false;
        for (size_t j = i; j < end; j++)
            doubled |= months[j].doubled;
        for (; i < end; i++)
            if (!doubled && months[i].number && year_of(months[i].day) >= ALM_FIRST_YEAR &&
                year_of(months[i].day) <= ALM_LAST_YEAR) {
                int y, m, d;
                alm_civil_date(months[i].day, &y, &m, &d);
                const AlmDay a = alm_day(y, m, d);
                ASSERT_EQ(a.old_day, 1) << y << "-" << m << "-" << d;
                ASSERT_EQ(a.old_month, months[i].number) << y << "-" << m << "-" << d;
                ASSERT_EQ(a.old_leap, months[i].leap) << y << "-" << m << "-" << d;
                checked++;
            }
    }
    EXPECT_GT(checked, 2700u);  // all but the four years below
}

TEST(notes, the_dates_almanac_makers_publish)
{
    const struct { int y, m, d; const char* old; int rokuyo, term; unsigned zassetsu; int moon; } days[] = {
        {1873, 1, 1, "12/3", ALM_TOMOBIKI, ALM_NONE, 0, ALM_NONE},  // 明治5年12月3日
        {2017, 2, 26, "2/1", ALM_TOMOBIKI, ALM_NONE, 0, ALM_NEW_MOON},  // new moon at 23:58
        {2017, 2, 27, "2/2", ALM_SENBU, ALM_NONE, 0, ALM_NONE},
        {2021, 2, 2, "12/21", ALM_TOMOBIKI, ALM_NONE, ALM_SETSUBUN, ALM_NONE},
        {2021, 2, 3, "12/22", ALM_SENBU, 21, 0, ALM_NONE},  // 立春 at 23:59
        {2033, 8, 25, "8/1", ALM_TOMOBIKI, ALM_NONE, 0, ALM_NEW_MOON},
        {2033, 9, 23, "9/1", ALM_SENBU, 12, 0, ALM_NEW_MOON},  // 秋分 in the 9th month
        {2033, 11, 22, "11/1", ALM_TAIAN, 16, 0, ALM_NEW_MOON},
        {2033, 12, 21, "11/30", ALM_BUTSUMETSU, 18, 0, ALM_NONE},
        {2033, 12, 22, "閏11/1", ALM_TAIAN, ALM_NONE, 0, ALM_NEW_MOON},
        {2034, 1, 20, "12/1", ALM_SHAKKO, 20, 0, ALM_NEW_MOON},
        {2034, 2, 19, "1/1", ALM_SENSHO, ALM_NONE, 0, ALM_NEW_MOON},
        {1985, 2, 20, "1/1", ALM_SENSHO, ALM_NONE, 0, ALM_NEW_MOON},
        {2053, 2, 19, "1/1", ALM_SENSHO, ALM_NONE, 0, ALM_NEW_MOON},
        {2023, 1, 22, "1/1", ALM_SENSHO, ALM_NONE, 0, ALM_NEW_MOON},
        {2024, 2, 10, "1/1", ALM_SENSHO, ALM_NONE, 0, ALM_NEW_MOON},
        {2025, 1, 29, "1/1", ALM_SENSHO, ALM_NONE, 0, ALM_NEW_MOON},
        {2026, 2, 17, "1/1", ALM_SENSHO, ALM_NONE, 0, ALM_NEW_MOON},
        {2024, 5, 1, "3/23", ALM_SENSHO, ALM_NONE, ALM_EIGHTY_EIGHTH | ALM_DOYO_OX, ALM_LAST_QUARTER},
        {2024, 6, 10, "5/5", ALM_SENBU, ALM_NONE, ALM_RAINY_SEASON, ALM_NONE},
        {2024, 7, 24, "6/19", ALM_SHAKKO, ALM_NONE, ALM_DOYO_OX, ALM_NONE},
    };
    for (const auto& c : days) {
        const AlmDay a = alm_day(c.y, c.m, c.d);
        const std::string old = (a.old_leap ? "閏" : "") + std::to_string(a.old_month) + "/" +
                                std::to_string(a.old_day);
        EXPECT_TRUE(a.known && old == c.old && a.rokuyo == c.rokuyo && a.solar_term == c.term &&
                    a.zassetsu == c.zassetsu && a.moon == c.moon)
            << c.y << "-" << c.m << "-" << c.d << ": " << old << " " << alm_rokuyo_name(a.rokuyo);
    }
    EXPECT_STREQ(alm_rokuyo_name(ALM_BUTSUMETSU), "仏滅");
    EXPECT_STREQ(alm_solar_term_name(21), "立春");
    EXPECT_STREQ(alm_moon_name(ALM_LAST_QUARTER), "下弦");
    EXPECT_STREQ(alm_zassetsu_name(ALM_TWO_HUNDRED_TWENTIETH), "二百二十日");
    EXPECT_STREQ(alm_solar_term_name(ALM_NONE), "");
    EXPECT_STREQ(alm_zassetsu_name(ALM_SETSUBUN | ALM_DOYO_OX), "");
    EXPECT_FALSE(alm_day(2101, 1, 1).known);
}

TEST(almanac_option, lines_in_utf8_whatever_the_locale)
{
    int status = -1;
    const std::string out = run_command(
        "LC_ALL=C LANG=C " RKM_PROGRAM " --almanac 2033-12-21..2033-12-22 && " RKM_PROGRAM
        " --almanac 2024-05-01 && " RKM_PROGRAM " --almanac=1872-12-31..1873-01-01 | head -1",
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "2033-12-21\t水\t11/30\t仏滅\t冬至\t-\t-\t-\n"
                   "2033-12-22\t木\t閏11/1\t大安\t-\t-\t新月\t-\n"
                   "2024-05-01\t水\t3/23\t先勝\t-\t八十八夜・土用の丑\t下弦\t-\n"
                   "1872-12-31\t火\t-\t-\t-\t-\t-\t-\n");
    EXPECT_NE(run_command(RKM_PROGRAM " --almanac 2024-01-08", &status).find("\t成人の日\n"),
              std::string::npos);
}
