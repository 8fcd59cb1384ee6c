// Days off by the national holidays law in force in each year, and the
// holiday test and month walk that show them.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "state/state.h"
#include "calendar/calendar.h"
#include "calendar/holiday_law.h"

namespace {

std::string date_text(int y, int m, int d)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return text;
}

const char* kind_name(int kind)
{
    static const char* const names[] = {"workday", "holiday", "substitute", "citizens"};
    return names[kind];
}

enum { W = LAW_WORKDAY, H = LAW_HOLIDAY, S = LAW_SUBSTITUTE, C = LAW_CITIZENS };

struct LawCase {
    int y, m, d, kind;
    const char* why;
};

template <size_t N>
void expect_cases(const LawCase (&cases)[N])
{
    for (const LawCase& c : cases)
        EXPECT_STREQ(kind_name(law_day_kind(c.y, c.m, c.d)), kind_name(c.kind))
            << date_text(c.y, c.m, c.d) << ": " << c.why;
}

/* Colour of every day of a year as the year layouts walk it: iFuri cleared
   once (or, with each_month, before every month), twelve months in turn. */
std::map<int, int> walk_year(int year, bool each_month = false)
{
    std::map<int, int> colours;  // day code -> colour
    iFuri = 0;
    for (int m = 1; m <= 12; ++m) {
        if (each_month)
            iFuri = 0;
        cal_walk_month(year, m, [&](const CalDay& day) { colours[m * 100 + day.position] = day.colour; });
    }
    return colours;
}

int law_colour(int year, int month, int day)
{
    const int kind = law_day_kind(year, month, day);
    if (kind == LAW_HOLIDAY || kind == LAW_CITIZENS)
        return CAL_HOLIDAY;
    const int weekday = (RKM_FIRST_DAY(year, month) + day - 1) % 7;
    if (kind == LAW_SUBSTITUTE || weekday == 0)
        return CAL_SUNDAY;
    return weekday == 6 ? CAL_SATURDAY : CAL_BLACK;
}

}  // namespace

TEST(official_list, every_day_1955_to_2030_has_its_listed_kind)
{
    std::map<std::string, std::string> listed;
    std::ifstream in(std::string(RKM_TEST_DATA) + "/jp_holidays_1955_2030.txt");
    for (std::string date, kind, name; in >> date;)
        if (date[0] == '#')
            std::getline(in, kind);
        else if (in >> kind && std::getline(in, name))
            listed[date] = kind;
    ASSERT_GT(listed.size(), 1000u) << "holiday list not read from " RKM_TEST_DATA;
    int wrong = 0;
    for (int y = 1955; y <= 2030; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= RKM_DAY_MAX(y, m); ++d) {
                const auto it = listed.find(date_text(y, m, d));
                const std::string want = it == listed.end() ? "workday" : it->second;
                const std::string got = kind_name(law_day_kind(y, m, d));
                if (got != want && ++wrong <= 20)
                    ADD_FAILURE() << date_text(y, m, d) << ": law gives " << got << ", list has " << want;
            }
    EXPECT_EQ(wrong, 0);
}

TEST(law_changes, each_change_takes_effect_in_its_year)
{
    static const LawCase cases[] = {
        {1948, 5, 5, W, "the law takes effect on 20 July 1948"},
        {1948, 9, 23, H, "first autumn equinox holiday"},
        {1965, 9, 15, W, "Respect for the Aged Day from 1966"},
        {1966, 9, 15, H, "Respect for the Aged Day"},
        {1965, 10, 10, W, "Sports Day from 1966"},
        {1966, 10, 10, H, "Sports Day"},
        {1966, 2, 11, W, "National Foundation Day from 1967"},
        {1967, 2, 11, H, "National Foundation Day"},
        {1985, 5, 4, W, "days between holidays are off from 1986"},
        {1988, 5, 4, C, "a Wednesday between two holidays"},
        {1988, 12, 23, W, "Emperor's Birthday moves to 23 December in 1989"},
        {1989, 12, 23, H, "Emperor's Birthday"},
        {1995, 7, 20, W, "Marine Day from 1996"},
        {1996, 7, 20, H, "Marine Day"},
        {1999, 1, 15, H, "last fixed Coming of Age Day"},
        {2000, 1, 10, H, "second Monday of January"},
        {2000, 10, 10, W, "Sports Day on the second Monday from 2000"},
        {2002, 7, 20, H, "last fixed Marine Day"},
        {2003, 7, 21, H, "third Monday of July"},
        {2004, 9, 15, W, "Respect for the Aged Day on the third Monday from 2003"},
        {2006, 5, 4, C, "4 May between two holidays"},
        {2007, 5, 4, H, "Greenery Day on 4 May"},
        {2015, 8, 11, W, "Mountain Day from 2016"},
        {2016, 8, 11, H, "Mountain Day"},
        {2019, 12, 23, W, "no Emperor's Birthday in 2019"},
        {2020, 2, 23, H, "Emperor's Birthday in February"},
        {2026, 12, 23, W, "no Emperor's Birthday in December"},
        {1959, 4, 10, H, "the Crown Prince's wedding"},
        {1960, 4, 10, W, "one-off days happen once"},
        {1989, 2, 24, H, "the Showa Emperor's funeral"},
        {1990, 11, 12, H, "enthronement ceremony"},
        {1993, 6, 9, H, "the Crown Prince's wedding"},
        {1994, 6, 9, W, "one-off days happen once"},
    };
    expect_cases(cases);
}

TEST(substitute_rule, monday_from_april_1973_then_the_next_free_day_from_2007)
{
    static const LawCase cases[] = {
        {1973, 2, 12, W, "11 February 1973 is a Sunday before the rule"},
        {1973, 4, 30, S, "29 April 1973, the first Sunday under the rule"},
        {1986, 5, 4, W, "a Sunday between two holidays stays a Sunday up to 2006"},
        {1998, 5, 4, S, "owed for 3 May"},
        {1998, 5, 6, W, "up to 2006 only the Monday is owed"},
        {2003, 5, 5, H, "4 May 2003 is no holiday, so Children's Day owes nothing"},
        {2008, 5, 6, S, "owed for 4 May: a Tuesday"},
        {2015, 5, 6, S, "owed for 3 May: a Wednesday"},
        {2026, 5, 6, S, "owed for 3 May: a Wednesday"},
        {2019, 5, 6, S, "owed for 5 May after ten days off"},
    };
    expect_cases(cases);
}

TEST(citizens_holidays, days_between_two_holidays_and_the_years_2019_to_2021)
{
    static const LawCase cases[] = {
        {2009, 9, 22, C, "between Respect for the Aged Day and the equinox"},
        {2015, 9, 22, C, "the same"},
        {2026, 9, 22, C, "the same"},
        {2019, 4, 30, C, "between Showa Day and accession day"},
        {2019, 5, 1, H, "accession day"},
        {2019, 5, 2, C, "between accession day and Constitution Day"},
        {2019, 10, 22, H, "enthronement ceremony"},
        {2020, 7, 20, W, "Marine Day moved off the third Monday"},
        {2020, 7, 23, H, "Marine Day"},
        {2020, 7, 24, H, "Sports Day"},
        {2020, 8, 10, H, "Mountain Day"},
        {2020, 8, 11, W, "Mountain Day moved"},
        {2021, 7, 22, H, "Marine Day"},
        {2021, 7, 23, H, "Sports Day"},
        {2021, 8, 9, S, "owed for Mountain Day, 8 August, a Sunday"},
        {2021, 10, 11, W, "Sports Day moved off the second Monday"},
        {2022, 10, 10, H, "Sports Day back on the second Monday"},
    };
    expect_cases(cases);
}

TEST(equinox, formulas_meet_at_their_range_ends_and_keep_step_after_2150)
{
    // A formula taken past its range, a wrong rounding of its leap-day term
    // or no correction for the century years moves the day out of these.
    for (int y = 1900; y <= 2600; ++y) {
        EXPECT_TRUE(law_spring_equinox(y) >= 19 && law_spring_equinox(y) <= 22) << y;
        EXPECT_TRUE(law_autumn_equinox(y) >= 21 && law_autumn_equinox(y) <= 24) << y;
    }
    EXPECT_EQ(law_spring_equinox(1960), 20);  // (1960 - 1983) / 4 truncates toward zero
    EXPECT_EQ(law_autumn_equinox(1979), 24);
    EXPECT_EQ(law_spring_equinox(2099), 20);
    EXPECT_EQ(law_spring_equinox(2100), 20);  // one day later than the 1980-2099 formula gives
    for (int y : {INT_MIN, 0, 10000, INT_MAX}) {
        EXPECT_TRUE(law_spring_equinox(y) >= 1 && law_spring_equinox(y) <= 31) << y;
        EXPECT_TRUE(law_autumn_equinox(y) >= 1 && law_autumn_equinox(y) <= 30) << y;
    }
    for (int year : {1955, 2100, 2150}) {  // the table the holiday test fills agrees
        RKM_HDAY_CHK(year, 1, 1, 6, 0);
        EXPECT_EQ(iHdtbl[2], 300 + law_spring_equinox(year)) << year;
        EXPECT_EQ(iHdtbl[7], 900 + law_autumn_equinox(year)) << year;
    }
}

TEST(bad_dates, are_working_days)
{
    EXPECT_EQ(law_day_kind(2023, 2, 29), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(2024, 13, 1), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(2024, 1, 0), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(10000, 1, 1), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(INT_MIN, 1, 1), LAW_WORKDAY);
    EXPECT_EQ(law_national_holiday(INT_MAX, 1, 1), 0);
    EXPECT_EQ(law_day_kind(9999, 1, 1), LAW_HOLIDAY);
    int carry = 1;
    EXPECT_EQ(law_substitute_step(2023, 2, 30, &carry), 0);
    EXPECT_EQ(carry, 1);
}

TEST(month_walk, colours_every_day_of_1948_to_2150_by_the_law)
{
    // The walk keeps a carry from day to day; the law looks back from each
    // day. Both must agree, whether the carry runs through the year or is
    // cleared for each month as the single-month layouts do.
    for (int year = 1948; year <= 2150; ++year)
        for (bool each_month : {false, true})
            for (const auto& [code, colour] : walk_year(year, each_month))
                ASSERT_EQ(colour, law_colour(year, code / 100, code % 100))
                    << year << "-" << code / 100 << "-" << code % 100 << (each_month ? " alone" : "");
}

TEST(month_walk, carry_from_the_month_before_passes_over_holidays_from_2007)
{
    std::map<int, int> days;
    iFuri = 1;
    cal_walk_month(2030, 1, [&](const CalDay& day) { days[day.position] = day.colour; });
    EXPECT_EQ(days[1], CAL_HOLIDAY);  // New Year's Day, a Tuesday
    EXPECT_EQ(days[2], CAL_SUNDAY);
    EXPECT_EQ(days[3], CAL_BLACK);
    EXPECT_EQ(iFuri, 0);
}
