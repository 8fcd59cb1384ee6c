// The official holiday list (syukujitsu.csv): the published list written out as the Cabinet Office
// writes it gives the compiled law's days, names and colours; a user's copy changes the calendar on
// screen and paper in the years it covers only; bad lines never cost a good day (bad files:
// test_exit_status).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "calendar/calendar.h"
#include "calendar/holiday_law.h"
#include "calendar/holidays.h"
#include "state/state.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/official_list.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/program_run.h"
#include "tests/helpers/sjis.h"
#include "tests/helpers/tempdir.h"

// Loads the list from the folders searched (the test's own folder first); what it reported.
static std::string load_official()
{
    testing::internal::CaptureStderr();
    hol_load_official();
    return testing::internal::GetCapturedStderr();
}

// Kind, name and walk colour of every day of 1948-2040, from the list in force.
static std::vector<std::string> every_day()
{
    std::vector<std::string> days;
    for (int y = 1948; y <= 2040; ++y) {
        iFuri = 0;
        for (int m = 1; m <= 12; ++m)
            cal_walk_month(y, m, [&](const CalDay& d) {
                const char* name = hol_day_name(y, m, d.position);
                days.push_back(std::to_string(y * 10000 + m * 100 + d.position) + " " + std::to_string(hol_day_kind(y, m, d.position)) +
                               " " + std::to_string(d.colour) + " " + (name ? name : "-"));
            });
    }
    return days;
}

TEST(holiday_list, the_published_list_as_the_official_file_gives_the_compiled_law_every_day)
{
    TempDir dir(true);
    EXPECT_EQ(load_official(), "");
    const std::vector<std::string> law = every_day();
    dir.write("syukujitsu.csv", official_file(published_days()));
    EXPECT_EQ(load_official(), "");
    EXPECT_NE(hol_source_text().find(dir.file("syukujitsu.csv") + " for 1955-2030"), std::string::npos);
    std::vector<std::string> listed = every_day(), differ;
    std::set_difference(listed.begin(), listed.end(), law.begin(), law.end(), std::back_inserter(differ));
    // The one day the list names otherwise: the law of 2019 still called it 体育の日.
    EXPECT_EQ(differ, std::vector<std::string>({"20191014 1 " + std::to_string(CAL_HOLIDAY) + " " + to_sjis("体育の日（スポーツの日）")}));
    hol_set_list({}, "");
}

// Generic 休日 rows take the law's name, or the name its rules give them among the list's holidays;
// every bad line is reported once by its number and the others are used.
TEST(holiday_list, generic_days_resolved_by_the_rules_and_bad_lines_skipped)
{
    TempDir dir(true);
    dir.write("syukujitsu.csv", "\xEF\xBB\xBF" "国民の祝日・休日月日,国民の祝日・休日名称\n"  // lines 1 to 8: good
              "2031/3/3,春の日\r\n" "2031/3/4,休日\n" "\"2031/3/5\",\"秋の\"\"日\"\"\"\r" "2031/6/1,夏の日\n"
              "2031/6/2,休日\n" "2031/9/3,休日\n" "2031/1/1,休日（祝日扱い）\n"
              "2031/2/30,x\n" "2031/1/15\n" "2031/1/16,  \n" "1947/1/1,x\n" "10000/1/1,x\n"  // 9 to 16: bad
              "2031/3/3,重複\n" "2031/x/1,y\n" "2031/4/1,😀\n"
              "2031/4/2,\x82\xA0\n" "2031/4/3,\x82\n" "2031/4/4,名\x01\n" "\n" "2031-04-05,日\n");  // あ in Shift-JIS
    const std::string report = load_official();
    std::vector<int> reported;
    for (size_t at = 0; (at = report.find("syukujitsu.csv:", at)) != std::string::npos; at += 15)
        reported.push_back(std::stoi(report.substr(at + 15)));
    EXPECT_EQ(reported, std::vector<int>({9, 10, 11, 12, 13, 14, 15, 16, 18, 19})) << report;
    struct { int m, d, kind; const char* name; } days[] = {
        {3, 3, LAW_HOLIDAY, "春の日"}, {3, 4, LAW_CITIZENS, "休日"}, {3, 5, LAW_HOLIDAY, "秋の\"日\""},
        {6, 1, LAW_HOLIDAY, "夏の日"}, {6, 2, LAW_SUBSTITUTE, "振替休日"}, {9, 3, LAW_HOLIDAY, "休日"},
        {1, 1, LAW_HOLIDAY, "元日"}, {4, 2, LAW_HOLIDAY, "あ"}, {4, 5, LAW_HOLIDAY, "日"},
        {7, 21, LAW_WORKDAY, nullptr}, {1, 15, LAW_WORKDAY, nullptr}};
    for (const auto& t : days) {
        const char* name = hol_day_name(2031, t.m, t.d);
        EXPECT_EQ(hol_day_kind(2031, t.m, t.d), t.kind) << t.m << "/" << t.d;
        EXPECT_EQ(name ? name : "-", t.name ? to_sjis(t.name) : "-") << t.m << "/" << t.d;
    }
    EXPECT_EQ(hol_day_kind(2032, 7, 19), LAW_HOLIDAY);  // outside the list: the law's 海の日
    hol_set_list({}, "");
}

// A user's copy with 海の日 2026 removed, スポーツの日 2026 moved from the 12th to the 14th and 2031 holding one
// new holiday shows the change in the large month on screen, on paper and in --almanac; 2032, outside it,
// keeps the law.
TEST(holiday_list, a_changed_list_shows_on_screen_and_paper_in_its_years_only)
{
    OfficialDays days = published_days();
    days.erase(20260720);
    days.erase(20261012);
    days[20261014] = "スポーツの日";
    days[20310304] = "新しい祝日";  // the only day off of 2031 now
    TempDir config;
    std::filesystem::create_directory(config.file("rkm7500"));
    config.write("rkm7500/syukujitsu.csv", official_file(days));
    setenv("XDG_CONFIG_DIRS", config.path().c_str(), 1);
    struct { int year, month; std::vector<std::pair<int, bool>> days; const char* on_paper; bool shown; } cases[] = {
        {2026, 7, {{20, false}}, "海の日", false}, {2026, 10, {{12, false}, {14, true}}, "スポーツの日", true},
        {2031, 3, {{4, true}, {21, false}}, "新しい祝日", true}, {2032, 7, {{19, true}}, "海の日", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        const std::string pdf = config.file(std::to_string(c.year) + ".pdf");
        ProgramRun run = run_program("click 660 200; type " + std::to_string(c.year) + "; key Enter; type " +
                                         std::to_string(c.month) + "; key Enter; key F9", {"--print-to", pdf});
        ASSERT_EQ(run.status, 0);
        for (const auto& [day, holiday] : c.days) {  // the holiday colour anywhere in the day's cell; --almanac's last field
            const int at = RKM_FIRST_DAY(c.year, c.month) + day - 1, x = 21 + 140 * (at % 7), y = 103 + 98 * (at / 7);
            EXPECT_EQ(run.screen.has_near(x + 3, y + 3, x + 137, y + 95, CAL_HOLIDAY, 40), holiday) << day;
            char date[16];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", c.year, c.month, day);
            const std::string line = run_command(RKM_PROGRAM " --almanac " + std::string(date), nullptr);
            EXPECT_EQ(line.substr(line.rfind('\t') + 1) != "-\n", holiday) << line;
        }
        EXPECT_EQ(pdf_text_unspaced(pdf).find(c.on_paper) != std::string::npos, c.shown);
    }
    unsetenv("XDG_CONFIG_DIRS");
}
