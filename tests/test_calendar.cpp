// Date rules, the month walk and the shared texts.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "state/state.h"
#include "calendar/calendar.h"
#include "tests/helpers/sjis.h"

/* An independent calendar: Julian day numbers, the Julian calendar up to
   2 September 1752 and the Gregorian from 14 September 1752. */
static long jdn(long y, long m, long d)
{
    bool gregorian = y > 1752 || (y == 1752 && (m > 9 || (m == 9 && d >= 14)));
    long a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
    long base = d + (153 * mm + 2) / 5 + 365 * yy + yy / 4;
    return gregorian ? base - yy / 100 + yy / 400 - 32045 : base - 32083;
}
static int weekday(long y, long m, long d)  // 0 Sunday
{
    return (int)((jdn(y, m, d) + 1) % 7);
}

TEST(calendar_model, agrees_with_julian_and_gregorian_day_numbers_to_february_2100)
{
    for (int y = 1; y <= 2100; y++)
        for (int m = 1; m <= (y == 2100 ? 2 : 12); m++) {
            ASSERT_EQ(RKM_FIRST_DAY(y, m), weekday(y, m, 1)) << y << "/" << m;
            if (y == 2100 && m == 2)
                break;  // 2100 counts as a leap year here
            long next = m == 12 ? jdn(y + 1, 1, 1) : jdn(y, m + 1, 1);
            ASSERT_EQ(RKM_DAY_MAX(y, m), next - jdn(y, m, 1)) << y << "/" << m;
        }
}

TEST(calendar_model, reference_values_and_edges)
{
    int day_max[][3] = {{2003, 2, 28}, {1800, 2, 28}, {1900, 2, 28}, {2004, 2, 29},
                        {2000, 2, 29}, {1700, 2, 29}, {2100, 2, 29}, {0, 2, 29},
                        {1752, 9, 19}, {2003, 0, 0},  {2003, 13, 0}, {2003, INT_MIN, 0}};
    for (auto& t : day_max)
        EXPECT_EQ(RKM_DAY_MAX(t[0], t[1]), t[2]) << t[0] << "/" << t[1];
    int first[][3] = {{1, 1, 6},    {1752, 9, 2}, {1752, 10, 0}, {1753, 1, 1}, {2000, 1, 6},
                      {2003, 1, 3}, {2003, 11, 6}, {2100, 3, 2},  {0, 1, 5}};
    for (auto& t : first)
        EXPECT_EQ(RKM_FIRST_DAY(t[0], t[1]), t[2]) << t[0] << "/" << t[1];
    // out of the model: always a weekday number, never a long loop
    for (int y : {INT_MIN, -21, -20, -1, INT_MAX})
        for (int m : {INT_MIN, 0, 1, 7, 13, INT_MAX})
            EXPECT_TRUE(RKM_FIRST_DAY(y, m) >= 0 && RKM_FIRST_DAY(y, m) <= 6) << y << "/" << m;
    EXPECT_EQ(RKM_FIRST_DAY(2003, INT_MAX), RKM_FIRST_DAY(2004, 1));
}

static int holiday(int y, int m, int d)
{
    int code = (weekday(y, m, d) + 1) % 7;  // 2 is Monday
    return RKM_HDAY_CHK(y, m, d, code, (d + 6) / 7);
}

TEST(hday_chk, holidays_of_2003_and_the_equinoxes)
{
    std::string found;
    for (int m = 1; m <= 12; m++)
        for (int d = 1; d <= RKM_DAY_MAX(2003, m); d++)
            if (holiday(2003, m, d))
                found += std::to_string(m * 100 + d) + " ";
    // 4 May 2003 is a Sunday: up to 2006 the law made no day off of it.
    EXPECT_EQ(found, "101 113 211 321 429 503 505 721 915 923 1013 1103 1123 1223 ");
    int equinox[][3] = {{1980, 320, 923}, {2000, 320, 923}, {2003, 321, 923},
                        {2004, 320, 923}, {2099, 320, 923}};
    for (auto& t : equinox) {
        holiday(t[0], 1, 2);
        EXPECT_EQ(iHdtbl[2], t[1]) << t[0];
        EXPECT_EQ(iHdtbl[7], t[2]) << t[0];
    }
    EXPECT_EQ(holiday(2004, 3, 21), 0);
    EXPECT_EQ(RKM_HDAY_CHK(2003, 0, 101, 0, 0), 0);
    EXPECT_EQ(RKM_HDAY_CHK(INT_MAX, INT_MAX, INT_MAX, 2, 2), 0);  // no overflow (UBSan)
    RKM_HDAY_CHK(INT_MIN, 1, 2, 3, 0);
}

TEST(yhday_chk, each_table_acts_on_its_own_kind_of_day)
{
    iHday1[0] = 814;
    iHday2[99] = 101;
    for (int code = 101; code <= 1231; code++) {
        EXPECT_EQ(RKM_YHDAY_CHK(CAL_BLACK, code), code == 814 ? 1 : 0) << code;
        EXPECT_EQ(RKM_YHDAY_CHK(CAL_SATURDAY, code), code == 101 ? 0 : 1) << code;
    }
    EXPECT_EQ(RKM_YHDAY_CHK(CAL_BLACK, 0), 0);  // empty entries match nothing
    iHday1[0] = iHday2[99] = 0;
}

// The walk as text: per day its number and colour letter (. weekday,
// S Sunday red, A Saturday, H holiday) and a "/" at each new row.
static std::string walk(int year, int month)
{
    std::string s;
    int row = 0, column = -1;
    cal_walk_month(year, month, [&](const CalDay& d) {
        EXPECT_EQ(d.row * 7 + d.column, RKM_FIRST_DAY(year, month) + d.position - 1);
        if (column >= 0 && d.row != row)
            s += "/";
        row = d.row;
        column = d.column;
        s += std::to_string(d.number) + (d.colour == CAL_SUNDAY    ? "S"
                                         : d.colour == CAL_SATURDAY ? "A"
                                         : d.colour == CAL_HOLIDAY  ? "H"
                                                                    : ".");
    });
    return s;
}

static bool starts_with(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

TEST(walk, september_1752_and_six_row_november_2003)
{
    EXPECT_EQ(walk(1752, 9), "1.2.14.15.16A/17S18.19.20.21.22.23A/24S25.26.27.28.29.30A");
    iFuri = 0;
    EXPECT_EQ(walk(2003, 11), "1A/2S3H4.5.6.7.8A/9S10.11.12.13.14.15A/16S17.18.19.20.21.22A/"
                              "23H24S25.26.27.28.29A/30S");  // Sunday holiday, red Monday
}

TEST(walk, substitute_mondays_and_the_carry_across_a_month_end)
{
    iFuri = 0;
    EXPECT_PRED2(starts_with, walk(2003, 5), "1.2.3H/4S5H6.7.");  // a plain Sunday owes nothing
    iFuri = 1;
    EXPECT_PRED2(starts_with, walk(1979, 1), "1S2.3.");  // red even as a holiday
    EXPECT_PRED2(starts_with, walk(2003, 1), "1H2.3.4A/5S6.7.8.9.10.11A/12S13H14.15.");
    iFuri = 1;  // as a Sunday holiday on the last day of November would leave it
    EXPECT_PRED2(starts_with, walk(2003, 12), "1S2.3.");
    iFuri = 1;
    EXPECT_PRED2(starts_with, walk(2003, 10), "1.2.3.4A/5S6S7.8.9.");
    EXPECT_EQ(iFuri, 0);
    iFuri = 1;
    for (int m : {0, 13, -5, INT_MAX})
        EXPECT_EQ(walk(2003, m), "") << m;
    EXPECT_EQ(iFuri, 1);
}

TEST(texts, month_title_and_day_number)
{
    struct { int year, month; const char* title; } titles[] = {
        {2003, 1, "2003年１月"}, {2003, 12, "2003年12月"}, {800, 1, " 800年１月"},
        {0, 9, "   0年９月"},     {2003, 0, "2003年？月"},  {2003, 13, "2003年？月"},
        {-5, 1, "  -5年１月"},    {-999, 1, "-999年１月"},  {10000, 1, "****年１月"},
        {65536 + 2003, 1, "****年１月"}};
    for (auto& t : titles)
        EXPECT_EQ(std::string(cal_month_title(t.year, t.month)), to_sjis(t.title)) << t.title;
    EXPECT_EQ(cal_month_title(1, 1), cWorkbuf);
    int numbers[] = {5, 14, 0, 100, -3};
    const char* texts[] = {" 5", "14", " 0", "**", "**"};
    for (int i = 0; i < 5; i++)
        EXPECT_STREQ(cal_day_text(numbers[i]), texts[i]);
}
