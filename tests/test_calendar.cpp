// Date rules, the month walk and the shared texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/state.h"
#include "calendar/calendar.h"
#include "tests/helpers/sjis.h"

/* An independent calendar: Julian day numbers, Julian calendar up to
   2 September 1752 and Gregorian from 14 September 1752. */
static long jdn_gregorian(long y, long m, long d)
{
    long a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}
static long jdn_julian(long y, long m, long d)
{
    long a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - 32083;
}
static long jdn(long y, long m, long d)
{
    bool gregorian = y > 1752 || (y == 1752 && (m > 9 || (m == 9 && d >= 14)));
    return gregorian ? jdn_gregorian(y, m, d) : jdn_julian(y, m, d);
}
static int weekday(long y, long m, long d)  // 0 Sunday
{
    return (int)((jdn(y, m, d) + 1) % 7);
}
static int monday_count(int y, int m, int d)  // for a Monday
{
    (void)y;
    (void)m;
    return (d + 6) / 7;
}

static std::vector<CalDay> walk(int year, int month)
{
    std::vector<CalDay> days;
    cal_walk_month(year, month, [&](const CalDay& d) { days.push_back(d); });
    return days;
}

/* RKM_DAY_MAX and RKM_FIRST_DAY */

TEST(day_max, february_leap_rule_with_1800_and_1900_as_only_exceptions)
{
    EXPECT_EQ(RKM_DAY_MAX(2003, 2), 28);
    EXPECT_EQ(RKM_DAY_MAX(1800, 2), 28);
    EXPECT_EQ(RKM_DAY_MAX(1900, 2), 28);
    EXPECT_EQ(RKM_DAY_MAX(2004, 2), 29);
    EXPECT_EQ(RKM_DAY_MAX(2000, 2), 29);
    EXPECT_EQ(RKM_DAY_MAX(1700, 2), 29);
    EXPECT_EQ(RKM_DAY_MAX(2100, 2), 29);
    EXPECT_EQ(RKM_DAY_MAX(0, 2), 29);
}

TEST(day_max, september_1752_has_19_days)
{
    EXPECT_EQ(RKM_DAY_MAX(1752, 9), 19);
    EXPECT_EQ(RKM_DAY_MAX(1753, 9), 30);
}

TEST(day_max, months_outside_1_to_12_have_no_days)
{
    for (int m : {0, -1, 13, 99, -2147483647 - 1, 2147483647})
        EXPECT_EQ(RKM_DAY_MAX(2003, m), 0) << m;
}

TEST(first_day, reference_weekdays)
{
    EXPECT_EQ(RKM_FIRST_DAY(1, 1), 6);
    EXPECT_EQ(RKM_FIRST_DAY(1752, 9), 2);
    EXPECT_EQ(RKM_FIRST_DAY(1752, 10), 0);
    EXPECT_EQ(RKM_FIRST_DAY(1753, 1), 1);
    EXPECT_EQ(RKM_FIRST_DAY(2000, 1), 6);
    EXPECT_EQ(RKM_FIRST_DAY(2003, 1), 3);
    EXPECT_EQ(RKM_FIRST_DAY(2003, 11), 6);
    EXPECT_EQ(RKM_FIRST_DAY(2100, 3), 2);
}

TEST(first_day, year_0_truncates_toward_zero)
{
    EXPECT_EQ(RKM_FIRST_DAY(0, 1), 5);
    EXPECT_EQ(RKM_FIRST_DAY(0, 3), (5 + 31 + 29) % 7);
}

TEST(first_day, march_2100_is_one_day_after_the_gregorian_weekday)
{
    EXPECT_EQ(RKM_FIRST_DAY(2100, 3), (weekday(2100, 3, 1) + 1) % 7);
}

TEST(calendar_model, agrees_with_julian_and_gregorian_day_numbers_from_year_1_to_february_2100)
{
    int mismatches = 0;
    for (int y = 1; y <= 2100; y++)
        for (int m = 1; m <= 12 && !(y == 2100 && m > 2); m++) {
            if (RKM_FIRST_DAY(y, m) != weekday(y, m, 1))
                mismatches++, ADD_FAILURE() << "first day " << y << "/" << m;
            if (y == 2100 && m == 2)
                continue;  // 2100 counts as a leap year in this calendar
            long next = m == 12 ? jdn(y + 1, 1, 1) : jdn(y, m + 1, 1);
            if (RKM_DAY_MAX(y, m) != next - jdn(y, m, 1))
                mismatches++, ADD_FAILURE() << "days " << y << "/" << m;
            if (mismatches > 10)
                return;
        }
}

TEST(first_day, always_a_weekday_number_for_any_year_and_month)
{
    for (int y : {-2147483647 - 1, -100000, -21, -20, -5, -1, 0, 2147483647})
        for (int m = -1; m <= 14; m++) {
            int f = RKM_FIRST_DAY(y, m);
            EXPECT_TRUE(f >= 0 && f <= 6) << y << "/" << m << " gave " << f;
        }
    EXPECT_EQ(RKM_FIRST_DAY(2003, 0), RKM_FIRST_DAY(2003, 1));
    EXPECT_EQ(RKM_FIRST_DAY(2003, 13), RKM_FIRST_DAY(2004, 1));
    EXPECT_EQ(RKM_FIRST_DAY(2003, 2147483647), RKM_FIRST_DAY(2004, 1));
}

/* RKM_HDAY_CHK */

static int holiday(int y, int m, int d)
{
    int code = (weekday(y, m, d) + 1) % 7;
    return RKM_HDAY_CHK(y, m, d, code, code == 2 ? monday_count(y, m, d) : 0);
}

TEST(hday_chk, national_holidays_of_2003)
{
    int dates[][2] = {{1, 1},  {1, 13}, {2, 11}, {3, 21}, {4, 29},  {5, 3},   {5, 4},
                      {5, 5},  {7, 21}, {9, 15}, {9, 23}, {10, 13}, {11, 3},  {11, 23},
                      {12, 23}};
    for (auto& md : dates)
        EXPECT_EQ(holiday(2003, md[0], md[1]), 1) << md[0] << "/" << md[1];
    int count = 0;
    for (int m = 1; m <= 12; m++)
        for (int d = 1; d <= RKM_DAY_MAX(2003, m); d++)
            count += holiday(2003, m, d);
    EXPECT_EQ(count, 15);
}

TEST(hday_chk, first_and_fourth_mondays_are_no_holidays)
{
    EXPECT_EQ(holiday(2003, 1, 6), 0);
    EXPECT_EQ(holiday(2003, 1, 20), 0);
    EXPECT_EQ(holiday(2003, 7, 14), 0);
    EXPECT_EQ(holiday(2003, 9, 22), 0);
    EXPECT_EQ(RKM_HDAY_CHK(2003, 1, 13, 3, 2), 0);  // only a Monday counts
}

TEST(hday_chk, equinox_entries_follow_the_year_of_the_last_call)
{
    struct { int year, spring, autumn; } table[] = {
        {1980, 320, 923}, {2000, 320, 923}, {2003, 321, 923}, {2004, 320, 923}, {2099, 320, 923}};
    for (auto& t : table) {
        RKM_HDAY_CHK(t.year, 1, 2, 3, 0);
        EXPECT_EQ(iHdtbl[2], t.spring) << t.year;
        EXPECT_EQ(iHdtbl[7], t.autumn) << t.year;
    }
    EXPECT_EQ(holiday(2004, 3, 21), 0);
    EXPECT_EQ(holiday(2004, 3, 20), 1);
    EXPECT_EQ(iHdtbl[0], 101);
    EXPECT_EQ(iHdtbl[10], 1223);
}

TEST(hday_chk, out_of_range_dates_are_no_holidays_and_do_not_overflow)
{
    EXPECT_EQ(RKM_HDAY_CHK(2003, 0, 101, 0, 0), 0);
    EXPECT_EQ(RKM_HDAY_CHK(2003, 13, 1, 0, 0), 0);
    EXPECT_EQ(RKM_HDAY_CHK(2003, 1, 0, 0, 0), 0);
    EXPECT_EQ(RKM_HDAY_CHK(2003, 2147483647, 2147483647, 2, 2), 0);
    RKM_HDAY_CHK(-2147483647 - 1, 1, 2, 3, 0);
    RKM_HDAY_CHK(2147483647, 1, 2, 3, 0);
}

/* RKM_YHDAY_CHK */

class yhday_chk : public testing::Test {
protected:
    void SetUp() override
    {
        std::memset(iHday1, 0, sizeof iHday1);
        std::memset(iHday2, 0, sizeof iHday2);
    }
    void TearDown() override { SetUp(); }
};

TEST_F(yhday_chk, empty_tables_keep_the_calendar_days_off)
{
    for (int code = 101; code <= 1231; code++) {
        ASSERT_EQ(RKM_YHDAY_CHK(0, code), 0) << code;
        ASSERT_EQ(RKM_YHDAY_CHK(CAL_SATURDAY, code), 1) << code;
    }
}

TEST_F(yhday_chk, first_table_adds_days_off_second_takes_them_away)
{
    iHday1[0] = 814;
    iHday1[99] = 1230;
    iHday2[50] = 101;
    EXPECT_EQ(RKM_YHDAY_CHK(0, 814), 1);
    EXPECT_EQ(RKM_YHDAY_CHK(0, 1230), 1);
    EXPECT_EQ(RKM_YHDAY_CHK(0, 815), 0);
    EXPECT_EQ(RKM_YHDAY_CHK(CAL_HOLIDAY, 101), 0);
    EXPECT_EQ(RKM_YHDAY_CHK(CAL_SUNDAY, 102), 1);
    // each table only acts on its own kind of day
    EXPECT_EQ(RKM_YHDAY_CHK(0, 101), 0);
    EXPECT_EQ(RKM_YHDAY_CHK(CAL_SUNDAY, 814), 1);
}

TEST_F(yhday_chk, an_empty_entry_never_matches)
{
    EXPECT_EQ(RKM_YHDAY_CHK(0, 0), 0);
    EXPECT_EQ(RKM_YHDAY_CHK(1, 0), 1);
}

/* The month walk */

TEST(walk, september_1752_shows_1_2_then_14_to_30)
{
    auto days = walk(1752, 9);
    ASSERT_EQ(days.size(), 19u);
    EXPECT_EQ(days[0].number, 1);
    EXPECT_EQ(days[0].column, 2);
    EXPECT_EQ(days[1].number, 2);
    EXPECT_EQ(days[1].column, 3);
    EXPECT_EQ(days[2].number, 14);
    EXPECT_EQ(days[2].position, 3);
    EXPECT_EQ(days[2].column, 4);
    EXPECT_EQ(days[18].number, 30);
}

TEST(walk, november_2003_uses_six_rows)
{
    auto days = walk(2003, 11);
    ASSERT_EQ(days.size(), 30u);
    EXPECT_EQ(days[0].column, 6);
    EXPECT_EQ(days[0].row, 0);
    EXPECT_EQ(days[1].column, 0);
    EXPECT_EQ(days[1].row, 1);
    EXPECT_EQ(days[29].column, 0);
    EXPECT_EQ(days[29].row, 5);
}

TEST(walk, cells_follow_the_weekdays_in_at_most_six_rows)
{
    for (int y = 1; y <= 2200; y += 7)
        for (int m = 1; m <= 12; m++) {
            auto days = walk(y, m);
            ASSERT_EQ((int)days.size(), RKM_DAY_MAX(y, m));
            int f = RKM_FIRST_DAY(y, m);
            for (const CalDay& d : days) {
                int cell = f + d.position - 1;
                ASSERT_EQ(d.column, cell % 7) << y << "/" << m << "/" << d.position;
                ASSERT_EQ(d.row, cell / 7);
                ASSERT_LE(d.row, 5);
            }
        }
}

TEST(walk, colours_weekends_and_holidays_of_november_2003)
{
    iFuri = 0;
    auto days = walk(2003, 11);
    EXPECT_EQ(days[0].colour, CAL_SATURDAY);   // Sat 1
    EXPECT_EQ(days[1].colour, CAL_SUNDAY);     // Sun 2
    EXPECT_EQ(days[2].colour, CAL_HOLIDAY);    // Mon 3, culture day
    EXPECT_EQ(days[3].colour, CAL_BLACK);      // Tue 4
    EXPECT_EQ(days[16].colour, CAL_BLACK);     // Mon 17 after an ordinary Sunday
    EXPECT_EQ(days[22].colour, CAL_HOLIDAY);   // Sun 23, labour thanksgiving
    EXPECT_EQ(days[23].colour, CAL_SUNDAY);    // Mon 24, its substitute
    EXPECT_EQ(iFuri, 0);
}

TEST(walk, substitute_monday_is_red_even_when_a_holiday_itself)
{
    iFuri = 0;
    auto days = walk(2003, 5);  // Sun 4 May is a holiday, Mon 5 May too
    EXPECT_EQ(days[2].colour, CAL_HOLIDAY);
    EXPECT_EQ(days[3].colour, CAL_HOLIDAY);
    EXPECT_EQ(days[4].colour, CAL_SUNDAY);
    EXPECT_EQ(days[5].colour, CAL_BLACK);
}

TEST(walk, carry_reaches_the_first_monday_of_the_next_month)
{
    iFuri = 1;  // as left by a holiday on the last day of the month before
    auto dec = walk(2003, 12);  // Mon 1 December
    EXPECT_EQ(dec[0].colour, CAL_SUNDAY);
    EXPECT_EQ(iFuri, 0);

    iFuri = 1;
    auto oct = walk(2003, 10);  // Wed 1 October: the carry waits for Mon 6
    EXPECT_EQ(oct[0].colour, CAL_BLACK);
    EXPECT_EQ(oct[5].colour, CAL_SUNDAY);
    EXPECT_EQ(iFuri, 0);
}

TEST(walk, second_monday_holiday_counts_mondays_from_the_first)
{
    iFuri = 0;
    auto days = walk(2003, 1);  // Wed 1 January
    EXPECT_EQ(days[0].colour, CAL_HOLIDAY);
    EXPECT_EQ(days[5].colour, CAL_BLACK);    // Mon 6
    EXPECT_EQ(days[12].colour, CAL_HOLIDAY); // Mon 13
}

TEST(walk, months_outside_1_to_12_visit_nothing)
{
    iFuri = 1;
    for (int m : {0, 13, -5, 2147483647})
        EXPECT_TRUE(walk(2003, m).empty()) << m;
    EXPECT_EQ(iFuri, 1);
}

/* Texts */

TEST(month_title, year_right_aligned_then_the_month_name)
{
    EXPECT_EQ(std::string(cal_month_title(2003, 1)), to_sjis("2003年１月"));
    EXPECT_EQ(std::string(cal_month_title(2003, 12)), to_sjis("2003年12月"));
    EXPECT_EQ(std::string(cal_month_title(800, 1)), to_sjis(" 800年１月"));
    EXPECT_EQ(std::string(cal_month_title(0, 9)), to_sjis("   0年９月"));
    EXPECT_EQ(cal_month_title(1, 1), cWorkbuf);
}

TEST(month_title, out_of_range_values_give_a_safe_ten_byte_title)
{
    EXPECT_EQ(std::string(cal_month_title(2003, 0)), to_sjis("2003年？月"));
    EXPECT_EQ(std::string(cal_month_title(2003, 13)), to_sjis("2003年？月"));
    EXPECT_EQ(std::string(cal_month_title(-5, 1)), to_sjis("  -5年１月"));
    EXPECT_EQ(std::string(cal_month_title(-999, 1)), to_sjis("-999年１月"));
    EXPECT_EQ(std::string(cal_month_title(10000, 1)), to_sjis("****年１月"));
    EXPECT_EQ(std::string(cal_month_title(65536 + 2003, 1)), to_sjis("****年１月"));
}

TEST(day_text, two_places_right_aligned_and_terminated)
{
    std::memset(cWorkbuf, 'x', 8);
    EXPECT_STREQ(cal_day_text(5), " 5");
    EXPECT_STREQ(cal_day_text(14), "14");
    EXPECT_STREQ(cal_day_text(0), " 0");
    EXPECT_STREQ(cal_day_text(100), "**");
    EXPECT_STREQ(cal_day_text(-3), "**");
}
