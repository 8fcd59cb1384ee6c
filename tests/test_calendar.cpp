// Date rules, the month walk and the shared texts, against an independent
// day-number calendar; the constant text tables against iconv's CP932.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "state/state.h"
#include "calendar/calendar.h"
#include "tests/helpers/sjis.h"

/* Julian day numbers: the Julian calendar up to 2 September 1752, the
   Gregorian from 14 September 1752. */
static long jdn(long y, long m, long d)
{
    bool gregorian = y > 1752 || (y == 1752 && (m > 9 || (m == 9 && d >= 14)));
    long a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
    long base = d + (153 * mm + 2) / 5 + 365 * yy + yy / 4;
    return gregorian ? base - yy / 100 + yy / 400 - 32045 : base - 32083;
}

TEST(calendar_model, every_month_of_years_1_to_2100_agrees_with_day_numbers)
{
    for (int y = 1; y <= 2100; y++)
        for (int m = 1; m <= 12; m++) {
            long first = jdn(y, m, 1);
            ASSERT_EQ(RKM_FIRST_DAY(y, m), (first + 1) % 7) << y << "/" << m;
            if (y == 2100 && m >= 2)
                break;  // 2100 counts as a leap year here
            long next = m == 12 ? jdn(y + 1, 1, 1) : jdn(y, m + 1, 1);
            ASSERT_EQ(RKM_DAY_MAX(y, m), next - first) << y << "/" << m;
            // The walk places and numbers each day where the day numbers put it.
            int shown = 0;
            cal_walk_month(y, m, [&](const CalDay& d) {
                long j = first + d.number - 1 - (y == 1752 && m == 9 && d.number > 2 ? 11 : 0);
                ASSERT_EQ(d.position, ++shown);
                ASSERT_EQ(d.row * 7 + d.column, RKM_FIRST_DAY(y, m) + d.position - 1);
                ASSERT_EQ(d.column, (j + 1) % 7) << y << "/" << m << "/" << d.number;
            });
        }
    EXPECT_EQ(RKM_DAY_MAX(2100, 2), 29);
    EXPECT_EQ(RKM_DAY_MAX(0, 2), 29);
    EXPECT_EQ(RKM_FIRST_DAY(0, 1), 5);
    // Outside the model: no day, a weekday number, never a long loop.
    for (int y : {INT_MIN, -21, -1, 2003, INT_MAX})
        for (int m : {INT_MIN, 0, 13, INT_MAX}) {
            EXPECT_EQ(RKM_DAY_MAX(y, m), 0);
            EXPECT_TRUE(RKM_FIRST_DAY(y, m) >= 0 && RKM_FIRST_DAY(y, m) <= 6) << y << "/" << m;
            iFuri = 1;
            cal_walk_month(y, m, [](const CalDay&) { ADD_FAILURE(); });
            EXPECT_EQ(iFuri, 1);
        }
    EXPECT_EQ(RKM_FIRST_DAY(2003, INT_MAX), RKM_FIRST_DAY(2004, 1));
}

TEST(hday_chk, equinox_entries_follow_the_year_and_bad_dates_are_no_holiday)
{
    struct { int year, spring, autumn; } equinox[] = {{1980, 320, 923}, {2003, 321, 923}, {2004, 320, 923}};
    for (auto& t : equinox) {
        EXPECT_EQ(RKM_HDAY_CHK(t.year, t.spring / 100, t.spring % 100, 0, 0), 1) << t.year;
        EXPECT_EQ(iHdtbl[2], t.spring);
        EXPECT_EQ(iHdtbl[7], t.autumn);
    }
    EXPECT_EQ(RKM_HDAY_CHK(2004, 3, 21, 0, 0), 0);
    EXPECT_EQ(RKM_HDAY_CHK(2003, 0, 101, 0, 0), 0);
    EXPECT_EQ(RKM_HDAY_CHK(INT_MAX, INT_MAX, INT_MAX, 2, 2), 0);  // no overflow (UBSan)
    RKM_HDAY_CHK(INT_MIN, 1, 2, 3, 0);
}

TEST(yhday_chk, each_table_acts_on_its_own_kind_of_day)
{
    iHday1[0] = 814;
    iHday2[99] = 101;
    for (int code = 0; code <= 1231; code++) {
        EXPECT_EQ(RKM_YHDAY_CHK(CAL_BLACK, code), code == 814 ? 1 : 0) << code;
        EXPECT_EQ(RKM_YHDAY_CHK(CAL_SATURDAY, code), code == 101 ? 0 : 1) << code;
    }
    iHday1[0] = iHday2[99] = 0;
}

TEST(texts, month_title_and_day_number)
{
    struct { int year, month; const char* title; } titles[] = {
        {2003, 1, "2003年１月"}, {2003, 12, "2003年12月"}, {800, 1, " 800年１月"},
        {2003, 0, "2003年？月"}, {2003, 13, "2003年？月"}, {-999, 1, "-999年１月"},
        {10000, 1, "****年１月"}, {65536 + 2003, 1, "****年１月"}};
    for (auto& t : titles)
        EXPECT_EQ(std::string(cal_month_title(t.year, t.month)), to_sjis(t.title)) << t.title;
    EXPECT_EQ(cal_month_title(1, 1), cWorkbuf);
    int numbers[] = {5, 14, 0, 100, -3};
    const char* texts[] = {" 5", "14", " 0", "**", "**"};
    for (int i = 0; i < 5; i++)
        EXPECT_STREQ(cal_day_text(numbers[i]), texts[i]);
}

static void expect_table(const char* const* table, std::initializer_list<const char*> utf8,
                         size_t bytes)
{
    int i = 0;
    for (const char* text : utf8) {
        EXPECT_EQ(std::string(table[i]), to_sjis(text)) << text;
        EXPECT_EQ(std::strlen(table[i++]), bytes) << text;
    }
}

TEST(tables, month_weekday_and_layout_names)
{
    expect_table(Mname, {"１月", "２月", "３月", "４月", "５月", "６月", "７月", "８月", "９月",
                         "10月", "11月", "12月"}, 4);
    expect_table(Youbi, {"日", "月", "火", "水", "木", "金", "土"}, 2);
    expect_table(Dspname, {"大", "中", "小", "年"}, 2);
}

TEST(tables, function_key_captions_are_four_bytes_and_a_nul)
{
    const char* names[12] = {"Ｆ１", "Ｆ２", "Ｆ３", "Ｆ４", "Ｆ５", "Ｆ６", "Ｆ７", "Ｆ８",
                             "Ｆ９", "Ｆ10", "Ｆ11", "Ｆ12"};
    for (int key = 0; key < 12; key++) {
        const char* action = key == 8 ? "印刷" : key == 10 ? "Menu" : key == 11 ? "終了" : "    ";
        EXPECT_EQ(std::string(Fnkc[0][key], 5), to_sjis(names[key]) + '\0') << key;
        EXPECT_EQ(std::string(Fnkc[1][key], 5), to_sjis(action) + '\0') << key;
    }
}
