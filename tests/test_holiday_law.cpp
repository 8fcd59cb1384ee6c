// Days off, substitute days and holiday names by the law against the published list; the walk that
// colours them; the names and era year drawn on screen and paper.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "state/state.h"
#include "calendar/calendar.h"
#include "calendar/holiday_law.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/program_run.h"
#include "tests/helpers/sjis.h"
#include "tests/helpers/tempdir.h"

// The walk (carry kept through the year, or cleared per month) colours every day as the law does; for
// 1955-2030 kind, name, day-off test and iHdtbl's equinox entries are those of the published list.
TEST(holiday_law, every_day_1948_to_2150_by_the_law_and_1955_to_2030_as_listed)
{
    std::map<std::string, std::string> listed;  // date: "kind name", Shift-JIS
    std::ifstream in(std::string(RKM_TEST_DATA) + "/jp_holidays_1955_2030.txt");
    for (std::string date, rest; in >> date && std::getline(in, rest);)
        if (date[0] != '#')
            listed[date] = to_sjis(rest.substr(1));
    ASSERT_GT(listed.size(), 1000u) << "holiday list not read from " RKM_TEST_DATA;
    static const char* const kinds[] = {"workday", "holiday", "substitute", "citizens"};
    const std::string spring = to_sjis("holiday 春分の日"), autumn = to_sjis("holiday 秋分の日");
    int wrong = 0;
    for (int y = 1948; y <= 2150; ++y) {
        for (bool each_month : {false, true}) {
            iFuri = 0;
            for (int m = 1; m <= 12; ++m) {
                iFuri = each_month ? 0 : iFuri;
                cal_walk_month(y, m, [&](const CalDay& d) {
                    const int kind = law_day_kind(y, m, d.position);
                    const int want = kind == LAW_HOLIDAY || kind == LAW_CITIZENS ? CAL_HOLIDAY
                                     : kind == LAW_SUBSTITUTE || d.column == 0 ? CAL_SUNDAY
                                     : d.column == 6 ? CAL_SATURDAY : CAL_BLACK;
                    if (d.colour != want && ++wrong <= 20)
                        ADD_FAILURE() << y << "-" << m << "-" << d.position << (each_month ? " alone" : "");
                });
            }
        }
        for (int m = 1; m <= 12 && y >= 1955 && y <= 2030; ++m)
            for (int d = 1; d <= RKM_DAY_MAX(y, m); ++d) {
                char date[40];
                std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
                const int kind = law_day_kind(y, m, d);
                const char* name = law_day_name(y, m, d);
                const std::string got = std::string(kinds[kind]) + (name ? std::string(" ") + name : "");
                const std::string want = listed.count(date) ? listed[date] : "workday";
                const int off = RKM_HDAY_CHK(y, m, d, 0, 0);  // sets the equinox entries of iHdtbl
                if ((got != want || off != (kind == LAW_HOLIDAY || kind == LAW_CITIZENS) ||
                     (want == spring && iHdtbl[2] != 300 + d) || (want == autumn && iHdtbl[7] != 900 + d)) &&
                    ++wrong <= 20)
                    ADD_FAILURE() << date << ": law gives " << kinds[kind] << ", day off " << off;
            }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(holiday_law, days_outside_the_list_and_dates_outside_the_calendar)
{
    // The law takes effect on 20 July 1948; 6 May 2031 is owed for 4 May, a Tuesday.
    struct { int y, m, d, kind; } days[] = {{1948, 5, 5, LAW_WORKDAY}, {1948, 9, 23, LAW_HOLIDAY},
        {1954, 1, 15, LAW_HOLIDAY}, {2031, 5, 6, LAW_SUBSTITUTE}, {2023, 2, 29, LAW_WORKDAY},
        {2024, 13, 1, LAW_WORKDAY}, {9999, 1, 1, LAW_HOLIDAY}};
    for (auto& t : days)
        EXPECT_EQ(law_day_kind(t.y, t.m, t.d), t.kind) << t.y << "-" << t.m << "-" << t.d;
    // A formula taken past its range, a wrong rounding or no correction for
    // the century years moves the equinox out of these.
    for (int y = 1900; y <= 2600; ++y) {
        EXPECT_TRUE(law_spring_equinox(y) >= 19 && law_spring_equinox(y) <= 22) << y;
        EXPECT_TRUE(law_autumn_equinox(y) >= 21 && law_autumn_equinox(y) <= 24) << y;
    }
    EXPECT_EQ(law_spring_equinox(2100), 20);  // one day later than the 1980-2099 formula gives
    for (int y : {INT_MIN, 0, 10000, INT_MAX}) {
        EXPECT_TRUE(law_spring_equinox(y) >= 1 && law_spring_equinox(y) <= 31) << y;
        EXPECT_EQ(law_day_kind(y, 1, 1), LAW_WORKDAY);
        EXPECT_EQ(law_national_holiday(y, 1, 1), 0);
    }
    int carry = 1;
    EXPECT_EQ(law_substitute_step(2023, 2, 30, &carry), 0);
    EXPECT_EQ(carry, 1);
    EXPECT_EQ(RKM_HDAY_CHK(2003, 0, 101, 0, 0), 0);
    EXPECT_EQ(RKM_HDAY_CHK(INT_MAX, INT_MAX, INT_MAX, 2, 2), 0);  // no overflow (UBSan)
    RKM_HDAY_CHK(INT_MIN, 1, 2, 3, 0);
    // A carry from the month before passes over New Year's Day (from 2007).
    std::vector<int> colours;
    iFuri = 1;
    cal_walk_month(2030, 1, [&](const CalDay& day) { colours.push_back(day.colour); });
    EXPECT_EQ(std::vector<int>(colours.begin(), colours.begin() + 3),
              std::vector<int>({CAL_HOLIDAY, CAL_SUNDAY, CAL_BLACK}));
    EXPECT_EQ(iFuri, 0);
}

// Each month on screen and printed with F9, in the large (button x 660) or
// medium (740) month, with 4 November a day off of HDAY1.DAT.
TEST(holiday_law, names_and_era_year_drawn_on_screen_and_paper)
{
    static const struct { int button_x, year, month; std::vector<std::string> paper; } cases[] = {
        {660, 2003, 11, {"文化の日", "勤労感謝の日", "振替休日", "2003年11月平成15年"}},
        {740, 2003, 11, {"3文化の日23勤労感謝の日24振替休日"}},
        {660, 2019, 5, {"天皇の即位の日", "令和元年"}},
        {740, 2019, 5, {"令和元年", "4みどりの…"}},
        {660, 1989, 1, {"1989年１月昭和64年・平成元年"}},
        {740, 1989, 1, {"1989年１月昭和64年・平成元年"}},
        {740, 1872, 12, {"1872年12月日"}}};
    const uint32_t WHITE = 0xFFFFFF, HOLIDAY = 0x6020FF, RED = 0x0000FF;
    TempDir config;
    std::filesystem::create_directory(config.file("rkm7500"));
    config.write("rkm7500/HDAY1.DAT", "1104\r\n");
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        std::filesystem::remove(config.file("p.pdf"));
        ProgramRun run = run_program("click " + std::to_string(c.button_x) + " 200; type " + std::to_string(c.year) +
                                         "; key Enter; type " + std::to_string(c.month) + "; key Enter; key F9",
                                     {"--print-to", config.file("p.pdf")});
        ASSERT_EQ(run.status, 0);
        const std::string paper = pdf_text_unspaced(config.file("p.pdf"));
        const Picture& p = run.screen;
        for (const std::string& text : c.paper)
            EXPECT_NE(paper.find(text), std::string::npos) << text << " not in " << paper;
        const bool era = c.year > 1872;
        if (c.button_x == 660 && c.year == 2003) {  // under 3, 23, 24; none under HDAY1's 4th
            EXPECT_TRUE(p.has_near(164, 256, 297, 284, HOLIDAY, 40) &&
                        p.has_near(24, 550, 157, 578, HOLIDAY, 40) &&
                        p.has_near(164, 550, 297, 578, RED, 40) &&
                        p.count_not(304, 256, 437, 284, WHITE) == 0);
        } else if (c.button_x == 740) {  // era year right of the title; the line under the grid
            EXPECT_EQ(std::vector<bool>({p.count_not(404, 30, 585, 70, WHITE) > 0,
                                         p.has_near(52, 487, 542, 517, HOLIDAY, 40),
                                         p.count_not(543, 487, 585, 519, WHITE) > 0}),
                      std::vector<bool>({era, era, false}));
        }
    }
}
