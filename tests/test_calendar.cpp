// Date rules, the month walk and the shared texts, against an independent
// day-number calendar; the constant text tables against iconv's CP932.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "state/state.h"
#include "calendar/calendar.h"
#include "tests/helpers/sjis.h"

// Julian day numbers: Julian calendar up to 2 September 1752, Gregorian from the 14th.
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
            int shown = 0;  // the walk places and numbers each day where the day numbers put it
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

TEST(texts, month_title_day_number_and_era_year_at_every_change_of_era)
{
    struct { int year, month; const char *title, *era; } cases[] = {  // null: not checked
        {2003, 1, "2003年１月", "平成15年"}, {2003, 12, "2003年12月", "平成15年"}, {800, 1, " 800年１月", ""},
        {2003, 0, "2003年？月", nullptr}, {2003, 13, "2003年？月", nullptr}, {-999, 1, "-999年１月", ""},
        {10000, 1, "****年１月", nullptr}, {65536 + 2003, 1, "****年１月", nullptr}, {1872, 12, nullptr, ""},
        {1873, 1, nullptr, "明治6年"}, {1912, 6, nullptr, "明治45年"}, {1912, 7, nullptr, "明治45年・大正元年"},
        {1912, 8, nullptr, "大正元年"}, {1926, 11, nullptr, "大正15年"}, {1926, 12, nullptr, "大正15年・昭和元年"},
        {1927, 1, nullptr, "昭和2年"}, {1988, 12, nullptr, "昭和63年"}, {1989, 1, nullptr, "昭和64年・平成元年"},
        {1989, 2, nullptr, "平成元年"}, {2019, 4, nullptr, "平成31年"}, {2019, 5, nullptr, "令和元年"},
        {2026, 1, nullptr, "令和8年"}};
    char era[CAL_ERA_SIZE];
    for (auto& t : cases) {
        EXPECT_TRUE(!t.title || cal_month_title(t.year, t.month) == to_sjis(t.title)) << t.title;
        EXPECT_TRUE(!t.era || cal_era_text(t.year, t.month, era, sizeof era) == to_sjis(t.era)) << t.year << "-" << t.month;
    }
    EXPECT_EQ(cal_month_title(1, 1), cWorkbuf);
    int numbers[] = {5, 14, 0, 100, -3};
    const char* texts[] = {" 5", "14", " 0", "**", "**"};
    for (int i = 0; i < 5; i++)
        EXPECT_STREQ(cal_day_text(numbers[i]), texts[i]);
}

TEST(tables, month_weekday_layout_and_function_key_names)
{
    struct { const char* const* table; std::vector<const char*> utf8; size_t bytes; } tables[] = {
        {Mname, {"１月", "２月", "３月", "４月", "５月", "６月", "７月", "８月", "９月", "10月", "11月", "12月"}, 4},
        {Youbi, {"日", "月", "火", "水", "木", "金", "土"}, 2}, {Dspname, {"大", "中", "小", "年"}, 2}};
    for (auto& t : tables)
        for (size_t i = 0; i < t.utf8.size(); i++) {
            EXPECT_EQ(std::string(t.table[i]), to_sjis(t.utf8[i])) << t.utf8[i];
            EXPECT_EQ(std::strlen(t.table[i]), t.bytes) << t.utf8[i];
        }
    // Function key captions: four bytes and a NUL.
    const char* names[12] = {"Ｆ１", "Ｆ２", "Ｆ３", "Ｆ４", "Ｆ５", "Ｆ６", "Ｆ７", "Ｆ８", "Ｆ９", "Ｆ10", "Ｆ11", "Ｆ12"};
    for (int key = 0; key < 12; key++) {
        const char* action = key == 8 ? "印刷" : key == 10 ? "Menu" : key == 11 ? "終了" : "    ";
        EXPECT_EQ(std::string(Fnkc[0][key], 5), to_sjis(names[key]) + '\0') << key;
        EXPECT_EQ(std::string(Fnkc[1][key], 5), to_sjis(action) + '\0') << key;
    }
}
