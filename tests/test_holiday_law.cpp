// Days off by the national holidays law in force in each year.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "app/state.h"
#include "calendar/calendar.h"
#include "calendar/holiday_law.h"

namespace {

/* Calls visit(year, month, day) for every day of the years, in date order. */
template <class Visit>
void each_day(int first_year, int last_year, Visit visit)
{
    for (int y = first_year; y <= last_year; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= RKM_DAY_MAX(y, m); ++d)
                visit(y, m, d);
}

std::string date_text(int y, int m, int d)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return text;
}

const char* kind_name(int kind)
{
    switch (kind) {
    case LAW_HOLIDAY: return "holiday";
    case LAW_SUBSTITUTE: return "substitute";
    case LAW_CITIZENS: return "citizens";
    default: return "workday";
    }
}

std::map<std::string, std::string> read_official_list()
{
    std::map<std::string, std::string> days;
    std::ifstream in(std::string(RKM_TEST_DATA) + "/jp_holidays_1955_2030.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string date, kind;
        fields >> date >> kind;
        days[date] = kind;
    }
    return days;
}

struct LawCase {
    int y, m, d;
    int kind;
    const char* why;
};

void expect_cases(const LawCase* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const LawCase& c = cases[i];
        EXPECT_STREQ(kind_name(law_day_kind(c.y, c.m, c.d)), kind_name(c.kind))
            << date_text(c.y, c.m, c.d) << ": " << c.why;
    }
}

}  // namespace

TEST(official_list, every_day_1955_to_2030_has_its_listed_kind)
{
    const auto listed = read_official_list();
    ASSERT_GT(listed.size(), 1000u) << "holiday list not found under " RKM_TEST_DATA;
    int wrong = 0;
    each_day(1955, 2030, [&](int y, int m, int d) {
        const auto it = listed.find(date_text(y, m, d));
        const std::string want = it == listed.end() ? "workday" : it->second;
        const std::string got = kind_name(law_day_kind(y, m, d));
        if (got != want && ++wrong <= 20)
            ADD_FAILURE() << date_text(y, m, d) << ": law gives " << got << ", list has " << want;
    });
    EXPECT_EQ(wrong, 0);
}

TEST(law_changes, each_change_takes_effect_in_its_year)
{
    static const LawCase cases[] = {
        {1948, 5, 5, LAW_WORKDAY, "the law takes effect on 20 July 1948"},
        {1948, 9, 23, LAW_HOLIDAY, "first autumn equinox holiday"},
        {1949, 1, 15, LAW_HOLIDAY, "Coming of Age Day"},
        {1965, 9, 15, LAW_WORKDAY, "Respect for the Aged Day from 1966"},
        {1966, 9, 15, LAW_HOLIDAY, "Respect for the Aged Day"},
        {1965, 10, 10, LAW_WORKDAY, "Sports Day from 1966"},
        {1966, 10, 10, LAW_HOLIDAY, "Sports Day"},
        {1966, 2, 11, LAW_WORKDAY, "National Foundation Day from 1967"},
        {1967, 2, 11, LAW_HOLIDAY, "National Foundation Day"},
        {1985, 5, 4, LAW_WORKDAY, "days between holidays are off from 1986"},
        {1988, 5, 4, LAW_CITIZENS, "a Wednesday between two holidays"},
        {1988, 12, 23, LAW_WORKDAY, "the Emperor's Birthday moves to 23 December in 1989"},
        {1989, 4, 29, LAW_HOLIDAY, "Greenery Day"},
        {1989, 12, 23, LAW_HOLIDAY, "Emperor's Birthday"},
        {1995, 7, 20, LAW_WORKDAY, "Marine Day from 1996"},
        {1996, 7, 20, LAW_HOLIDAY, "Marine Day"},
        {1999, 1, 15, LAW_HOLIDAY, "last fixed Coming of Age Day"},
        {2000, 1, 10, LAW_HOLIDAY, "second Monday of January"},
        {2000, 1, 17, LAW_WORKDAY, "third Monday of January"},
        {2000, 10, 9, LAW_HOLIDAY, "second Monday of October"},
        {2000, 10, 10, LAW_WORKDAY, "Sports Day moved to a Monday"},
        {2002, 7, 20, LAW_HOLIDAY, "last fixed Marine Day"},
        {2003, 7, 21, LAW_HOLIDAY, "third Monday of July"},
        {2003, 7, 14, LAW_WORKDAY, "second Monday of July"},
        {2004, 9, 15, LAW_WORKDAY, "Respect for the Aged Day moved to a Monday"},
        {2004, 9, 20, LAW_HOLIDAY, "third Monday of September"},
        {2006, 5, 4, LAW_CITIZENS, "4 May between two holidays"},
        {2007, 5, 4, LAW_HOLIDAY, "Greenery Day on 4 May"},
        {2007, 4, 29, LAW_HOLIDAY, "Showa Day on a Sunday"},
        {2007, 4, 30, LAW_SUBSTITUTE, "owed for Showa Day"},
        {2015, 8, 11, LAW_WORKDAY, "Mountain Day from 2016"},
        {2016, 8, 11, LAW_HOLIDAY, "Mountain Day"},
        {2018, 12, 23, LAW_HOLIDAY, "last Emperor's Birthday in December, a Sunday"},
        {2018, 12, 24, LAW_SUBSTITUTE, "owed for the Emperor's Birthday"},
        {2019, 12, 23, LAW_WORKDAY, "no Emperor's Birthday in 2019"},
        {2019, 2, 23, LAW_WORKDAY, "no Emperor's Birthday in 2019"},
        {2020, 2, 23, LAW_HOLIDAY, "Emperor's Birthday in February, a Sunday"},
        {2020, 2, 24, LAW_SUBSTITUTE, "owed for the Emperor's Birthday"},
        {2022, 7, 18, LAW_HOLIDAY, "Marine Day back on the third Monday"},
        {2022, 8, 11, LAW_HOLIDAY, "Mountain Day back on 11 August"},
        {2022, 10, 10, LAW_HOLIDAY, "Sports Day back on the second Monday"},
    };
    expect_cases(cases, sizeof cases / sizeof cases[0]);
}

TEST(law_changes, one_off_days_happen_once)
{
    static const LawCase cases[] = {
        {1959, 4, 10, LAW_HOLIDAY, "the Crown Prince's wedding"},
        {1960, 4, 10, LAW_WORKDAY, "a year later"},
        {1989, 2, 24, LAW_HOLIDAY, "the Showa Emperor's funeral"},
        {1990, 2, 24, LAW_WORKDAY, "a year later"},
        {1990, 11, 12, LAW_HOLIDAY, "enthronement ceremony"},
        {1991, 11, 12, LAW_WORKDAY, "a year later"},
        {1993, 6, 9, LAW_HOLIDAY, "the Crown Prince's wedding"},
        {1994, 6, 9, LAW_WORKDAY, "a year later"},
        {2020, 5, 1, LAW_WORKDAY, "accession day only in 2019"},
        {2020, 10, 22, LAW_WORKDAY, "enthronement day only in 2019"},
    };
    expect_cases(cases, sizeof cases / sizeof cases[0]);
}

TEST(substitute_rule, sunday_holidays_owe_a_monday_from_april_1973)
{
    static const LawCase cases[] = {
        {1973, 2, 12, LAW_WORKDAY, "11 February 1973 is a Sunday before the rule"},
        {1973, 4, 30, LAW_SUBSTITUTE, "29 April 1973, the first Sunday under the rule"},
        {1986, 5, 4, LAW_WORKDAY, "a Sunday between two holidays stays a Sunday up to 2006"},
        {1987, 5, 4, LAW_SUBSTITUTE, "owed for 3 May; not a day between holidays"},
        {1998, 5, 4, LAW_SUBSTITUTE, "owed for 3 May"},
        {1998, 5, 6, LAW_WORKDAY, "up to 2006 only the Monday is owed"},
        {2003, 5, 4, LAW_WORKDAY, "a Sunday between two holidays"},
        {2003, 5, 5, LAW_HOLIDAY, "Children's Day, not a substitute"},
        {2008, 5, 6, LAW_SUBSTITUTE, "owed for 4 May: a Tuesday"},
        {2009, 5, 6, LAW_SUBSTITUTE, "owed for 3 May: a Wednesday"},
        {2015, 5, 6, LAW_SUBSTITUTE, "owed for 3 May: a Wednesday"},
        {2026, 5, 6, LAW_SUBSTITUTE, "owed for 3 May: a Wednesday"},
        {2019, 5, 6, LAW_SUBSTITUTE, "owed for 5 May after six days off"},
        {2021, 8, 9, LAW_SUBSTITUTE, "owed for the moved Mountain Day"},
    };
    expect_cases(cases, sizeof cases / sizeof cases[0]);
}

TEST(citizens_holidays, days_between_two_holidays)
{
    static const LawCase cases[] = {
        {2009, 9, 22, LAW_CITIZENS, "between Respect for the Aged Day and the equinox"},
        {2015, 9, 22, LAW_CITIZENS, "between Respect for the Aged Day and the equinox"},
        {2026, 9, 22, LAW_CITIZENS, "between Respect for the Aged Day and the equinox"},
        {2020, 9, 22, LAW_HOLIDAY, "the equinox right after the Monday"},
        {2019, 4, 30, LAW_CITIZENS, "between Showa Day and accession day"},
        {2019, 5, 2, LAW_CITIZENS, "between accession day and Constitution Day"},
        {2019, 5, 1, LAW_HOLIDAY, "accession day"},
        {2019, 10, 22, LAW_HOLIDAY, "enthronement ceremony"},
    };
    expect_cases(cases, sizeof cases / sizeof cases[0]);
}

TEST(olympic_years, holidays_moved_in_2020_and_2021)
{
    static const LawCase cases[] = {
        {2020, 7, 20, LAW_WORKDAY, "third Monday, Marine Day moved"},
        {2020, 7, 23, LAW_HOLIDAY, "Marine Day"},
        {2020, 7, 24, LAW_HOLIDAY, "Sports Day"},
        {2020, 8, 10, LAW_HOLIDAY, "Mountain Day"},
        {2020, 8, 11, LAW_WORKDAY, "Mountain Day moved"},
        {2020, 10, 12, LAW_WORKDAY, "second Monday, Sports Day moved"},
        {2021, 7, 19, LAW_WORKDAY, "third Monday, Marine Day moved"},
        {2021, 7, 22, LAW_HOLIDAY, "Marine Day"},
        {2021, 7, 23, LAW_HOLIDAY, "Sports Day"},
        {2021, 8, 8, LAW_HOLIDAY, "Mountain Day, a Sunday"},
        {2021, 8, 11, LAW_WORKDAY, "Mountain Day moved"},
        {2021, 10, 11, LAW_WORKDAY, "second Monday, Sports Day moved"},
    };
    expect_cases(cases, sizeof cases / sizeof cases[0]);
}

TEST(year_2026, the_days_the_2003_rules_get_wrong)
{
    static const LawCase cases[] = {
        {2026, 12, 23, LAW_WORKDAY, "no Emperor's Birthday in December"},
        {2026, 2, 23, LAW_HOLIDAY, "Emperor's Birthday"},
        {2026, 5, 6, LAW_SUBSTITUTE, "owed for 3 May"},
        {2026, 8, 11, LAW_HOLIDAY, "Mountain Day"},
        {2026, 9, 22, LAW_CITIZENS, "between two holidays"},
    };
    expect_cases(cases, sizeof cases / sizeof cases[0]);
}

TEST(equinox, formulas_meet_at_their_range_ends)
{
    // A formula taken past its range, or a wrong rounding of its leap-day
    // term, moves the day by one somewhere in these years.
    for (int y = 1900; y <= 2150; ++y) {
        EXPECT_GE(law_spring_equinox(y), 19) << y;
        EXPECT_LE(law_spring_equinox(y), 22) << y;
        EXPECT_GE(law_autumn_equinox(y), 22) << y;
        EXPECT_LE(law_autumn_equinox(y), 24) << y;
    }
    EXPECT_EQ(law_spring_equinox(1960), 20);  // (1960 - 1983) / 4 truncates toward zero
    EXPECT_EQ(law_spring_equinox(1979), 21);
    EXPECT_EQ(law_autumn_equinox(1979), 24);
    EXPECT_EQ(law_spring_equinox(2099), 20);
    EXPECT_EQ(law_spring_equinox(2100), 20);  // one day later than the 1980-2099 formula gives
    EXPECT_EQ(law_autumn_equinox(2100), 23);
}

TEST(equinox, stays_near_the_equinox_after_2150)
{
    for (int y = 2151; y <= 2600; ++y) {
        EXPECT_GE(law_spring_equinox(y), 19) << y;
        EXPECT_LE(law_spring_equinox(y), 22) << y;
        EXPECT_GE(law_autumn_equinox(y), 21) << y;
        EXPECT_LE(law_autumn_equinox(y), 24) << y;
    }
    EXPECT_EQ(law_day_kind(2200, 3, law_spring_equinox(2200)), LAW_HOLIDAY);
}

TEST(equinox, any_year_gives_a_day_of_the_month)
{
    for (int y : {INT_MIN, -1, 0, 1, 1899, 10000, INT_MAX}) {
        EXPECT_GE(law_spring_equinox(y), 1) << y;
        EXPECT_LE(law_spring_equinox(y), 31) << y;
        EXPECT_GE(law_autumn_equinox(y), 1) << y;
        EXPECT_LE(law_autumn_equinox(y), 30) << y;
    }
}

TEST(substitute_step, walking_day_by_day_finds_the_same_days_off)
{
    // The month walk keeps a carry from day to day; the law's own test looks
    // back from each day. Both must name the same substitute days, whether
    // the carry runs through a whole year or starts clear each month.
    int year_carry = 0;
    int month_carry = 0;
    int found = 0;
    each_day(1948, 2150, [&](int y, int m, int d) {
        if (d == 1)
            month_carry = 0;
        const int by_law = law_day_kind(y, m, d) == LAW_SUBSTITUTE;
        found += by_law;
        ASSERT_EQ(law_substitute_step(y, m, d, &year_carry), by_law) << date_text(y, m, d);
        ASSERT_EQ(law_substitute_step(y, m, d, &month_carry), by_law) << date_text(y, m, d);
    });
    EXPECT_GT(found, 300);
}

TEST(bad_dates, are_working_days)
{
    EXPECT_EQ(law_day_kind(2023, 2, 29), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(2024, 13, 1), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(2024, 0, 1), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(2024, 1, 0), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(2024, 4, 31), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(10000, 1, 1), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(INT_MIN, 1, 1), LAW_WORKDAY);
    EXPECT_EQ(law_national_holiday(INT_MAX, 1, 1), 0);
    EXPECT_EQ(law_day_kind(9999, 1, 1), LAW_HOLIDAY);
    int carry = 1;
    EXPECT_EQ(law_substitute_step(2023, 2, 30, &carry), 0);
}

/* The calendar's holiday test and month walk follow the law. */

namespace {

/* Colours of every day of a year as the year layouts walk it: iFuri cleared
   once, then twelve months in turn. */
std::map<int, int> walk_year(int year)
{
    std::map<int, int> colours;  // day code -> colour
    iFuri = 0;
    for (int m = 1; m <= 12; ++m)
        cal_walk_month(year, m, [&](const CalDay& day) { colours[m * 100 + day.position] = day.colour; });
    return colours;
}

int expected_colour(int year, int month, int day)
{
    switch (law_day_kind(year, month, day)) {
    case LAW_HOLIDAY:
    case LAW_CITIZENS:
        return CAL_HOLIDAY;
    case LAW_SUBSTITUTE:
        return CAL_SUNDAY;
    }
    const int weekday = (RKM_FIRST_DAY(year, month) + day - 1) % 7;
    return weekday == 0 ? CAL_SUNDAY : weekday == 6 ? CAL_SATURDAY : CAL_BLACK;
}

}  // namespace

TEST(holiday_check, the_2003_examples_the_law_agrees_with)
{
    const struct { int m, d, code, mondays; } holidays[] = {
        {1, 13, 2, 2}, {10, 13, 2, 2}, {7, 21, 2, 3}, {9, 15, 2, 3},
        {3, 21, 6, 3}, {9, 23, 3, 4}, {4, 29, 3, 4}, {5, 3, 0, 0}, {5, 5, 2, 1},
    };
    for (const auto& h : holidays)
        EXPECT_EQ(RKM_HDAY_CHK(2003, h.m, h.d, h.code, h.mondays), 1) << h.m << "/" << h.d;
    EXPECT_EQ(RKM_HDAY_CHK(2003, 1, 6, 2, 1), 0);   // first Monday
    EXPECT_EQ(RKM_HDAY_CHK(2003, 5, 4, 1, 0), 0);   // a Sunday: up to 2006 not a day between holidays
    EXPECT_EQ(RKM_HDAY_CHK(2004, 3, 21, 1, 3), 0);
    EXPECT_EQ(iHdtbl[2], 320);
    EXPECT_EQ(iHdtbl[7], 923);
}

TEST(holiday_check, equinox_entries_follow_the_year_asked)
{
    for (int year : {1955, 1979, 2012, 2100, 2150}) {
        RKM_HDAY_CHK(year, 1, 1, 6, 0);
        EXPECT_EQ(iHdtbl[2], 300 + law_spring_equinox(year)) << year;
        EXPECT_EQ(iHdtbl[7], 900 + law_autumn_equinox(year)) << year;
    }
}

TEST(month_walk, colours_every_day_of_1948_to_2150_by_the_law)
{
    for (int year = 1948; year <= 2150; ++year) {
        const std::map<int, int> colours = walk_year(year);
        for (const auto& [code, colour] : colours)
            ASSERT_EQ(colour, expected_colour(year, code / 100, code % 100))
                << year << "-" << code / 100 << "-" << code % 100;
    }
}

TEST(month_walk, substitute_may_fall_on_a_wednesday)
{
    for (int year : {2015, 2026}) {
        std::map<int, int> may = walk_year(year);
        EXPECT_EQ(may[503], CAL_HOLIDAY) << year;  // a Sunday
        EXPECT_EQ(may[504], CAL_HOLIDAY) << year;
        EXPECT_EQ(may[505], CAL_HOLIDAY) << year;
        EXPECT_EQ(may[506], CAL_SUNDAY) << year;   // Wednesday, the owed day off
        EXPECT_EQ(may[507], CAL_BLACK) << year;
        EXPECT_EQ(iFuri, 0) << year;
    }
}

TEST(month_walk, sunday_between_holidays_in_2003_owes_nothing)
{
    std::map<int, int> days = walk_year(2003);
    EXPECT_EQ(days[503], CAL_HOLIDAY);  // Saturday
    EXPECT_EQ(days[504], CAL_SUNDAY);   // a plain Sunday
    EXPECT_EQ(days[505], CAL_HOLIDAY);  // Children's Day, not a substitute
}

TEST(month_walk, carry_from_the_month_before_lands_on_the_first_free_day)
{
    std::map<int, int> days;
    iFuri = 1;
    cal_walk_month(2030, 1, [&](const CalDay& day) { days[day.position] = day.colour; });
    EXPECT_EQ(days[1], CAL_HOLIDAY);  // New Year's Day, a Tuesday: the carry passes on
    EXPECT_EQ(days[2], CAL_SUNDAY);
    EXPECT_EQ(days[3], CAL_BLACK);
    EXPECT_EQ(iFuri, 0);
}

TEST(year_layout, day_off_boxes_follow_the_law)
{
    std::map<int, int> days = walk_year(2026);
    for (int i = 0; i < 100; ++i)
        iHday1[i] = iHday2[i] = 0;
    EXPECT_EQ(RKM_YHDAY_CHK(days[223], 223), 1);    // Emperor's Birthday, a Monday
    EXPECT_EQ(RKM_YHDAY_CHK(days[506], 506), 1);    // substitute, a Wednesday
    EXPECT_EQ(RKM_YHDAY_CHK(days[922], 922), 1);    // between two holidays
    EXPECT_EQ(RKM_YHDAY_CHK(days[1223], 1223), 0);  // a Wednesday since 2019
}
