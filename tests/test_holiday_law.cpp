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

TEST(law_changes, the_years_before_the_official_list)
{
    static const LawCase cases[] = {
        {1948, 5, 5, W, "the law takes effect on 20 July 1948"},
        {1948, 9, 23, H, "first autumn equinox holiday"},
        {1954, 1, 15, H, "Coming of Age Day"},
        {2031, 5, 6, S, "owed for 4 May: a Tuesday"},
    };
    expect_cases(cases);
}

TEST(equinox, formulas_meet_at_their_range_ends_and_bad_dates_are_working_days)
{
    // A formula taken past its range, a wrong rounding of its leap-day term
    // or no correction for the century years moves the day out of these.
    for (int y = 1900; y <= 2600; ++y) {
        EXPECT_TRUE(law_spring_equinox(y) >= 19 && law_spring_equinox(y) <= 22) << y;
        EXPECT_TRUE(law_autumn_equinox(y) >= 21 && law_autumn_equinox(y) <= 24) << y;
    }
    EXPECT_EQ(law_spring_equinox(1960), 20);  // (1960 - 1983) / 4 truncates toward zero
    EXPECT_EQ(law_autumn_equinox(1979), 24);
    EXPECT_EQ(law_spring_equinox(2100), 20);  // one day later than the 1980-2099 formula gives
    for (int y : {INT_MIN, 0, 10000, INT_MAX}) {
        EXPECT_TRUE(law_spring_equinox(y) >= 1 && law_spring_equinox(y) <= 31) << y;
        EXPECT_EQ(law_day_kind(y, 1, 1), LAW_WORKDAY);
        EXPECT_EQ(law_national_holiday(y, 1, 1), 0);
    }
    EXPECT_EQ(law_day_kind(2023, 2, 29), LAW_WORKDAY);
    EXPECT_EQ(law_day_kind(2024, 13, 1), LAW_WORKDAY);
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
