// The official holiday list (syukujitsu.csv): the published list written out as the Cabinet Office
// writes it gives the compiled law's days, names and colours; a user's copy changes the calendar on
// screen and paper in the years it covers only; bad files and bad lines never cost a good day.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <sstream>

#include "calendar/calendar.h"
#include "calendar/holiday_law.h"
#include "calendar/holidays.h"
#include "platform/codeconv.h"
#include "state/state.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/program_run.h"
#include "tests/helpers/sjis.h"
#include "tests/helpers/tempdir.h"

using Days = std::map<int, std::string>;  // yyyymmdd: name as the Cabinet Office writes it, UTF-8

// The published fixture in the Cabinet Office's terms: substitute days and days between two holidays
// are 休日, the one-off days of 2019 休日（祝日扱い）, and 2019-10-14 bears the label the Office gave it.
static Days published()
{
    Days days;
    std::ifstream in(std::string(RKM_TEST_DATA) + "/jp_holidays_1955_2030.txt");
    for (std::string line; std::getline(in, line);)
        if (line[0] != '#') {
            std::istringstream fields(line);
            std::string date, kind, name;
            fields >> date >> kind >> name;
            const int key = std::stoi(date.substr(0, 4) + date.substr(5, 2) + date.substr(8));
            days[key] = kind != "holiday" ? "休日" : key == 20190501 || key == 20191022 ? "休日（祝日扱い）"
                        : key == 20191014 ? "体育の日（スポーツの日）" : name;
        }
    return days;
}

// Shift-JIS, CR LF, the header line, then "2026/11/3,文化の日".
static std::string official_file(const Days& days)
{
    std::string text = "国民の祝日・休日月日,国民の祝日・休日名称\r\n";
    for (const auto& [key, name] : days)
        text += std::to_string(key / 10000) + "/" + std::to_string(key / 100 % 100) + "/" + std::to_string(key % 100) + "," + name + "\r\n";
    return to_sjis(text);
}

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
    dir.write("syukujitsu.csv", official_file(published()));
    EXPECT_EQ(load_official(), "");
    EXPECT_NE(hol_source_text().find(dir.file("syukujitsu.csv") + " for 1955-2030"), std::string::npos);
    const std::vector<std::string> listed = every_day();
    ASSERT_EQ(listed.size(), law.size());
    std::vector<std::string> differ;
    for (size_t i = 0; i < law.size(); ++i)
        if (listed[i] != law[i])
            differ.push_back(law[i] + " | " + listed[i]);
    // The one day the list names otherwise: the law of 2019 still called it 体育の日.
    const std::string colour = std::to_string(CAL_HOLIDAY);
    EXPECT_EQ(differ, std::vector<std::string>({"20191014 1 " + colour + " " + to_sjis("体育の日") + " | 20191014 1 " + colour + " " +
                                                to_sjis("体育の日（スポーツの日）")}));
    hol_set_list({}, "");
}

// Generic 休日 rows take the law's name, or the name its rules give them among the list's holidays;
// every bad line is reported once by its number and the others are used.
TEST(holiday_list, generic_days_resolved_by_the_rules_and_bad_lines_skipped)
{
    const std::string lines[] = {
        "\xEF\xBB\xBF" "国民の祝日・休日月日,国民の祝日・休日名称\n",
        "2031/3/3,春の日\r\n", "2031/3/4,休日\n", "\"2031/3/5\",\"秋の\"\"日\"\"\"\r", "2031/6/1,夏の日\n",
        "2031/6/2,休日\n", "2031/9/3,休日\n", "2031/1/1,休日（祝日扱い）\n", "2031/2/30,x\n", "2031/1/15\n",
        "2031/1/16,  \n", "1947/1/1,x\n", "10000/1/1,x\n", "2031/3/3,重複\n", "2031/x/1,y\n", "2031/4/1,😀\n",
        "2031/4/2,\x82\xA0\n", "2031/4/3,\x82\n", "2031/4/4,名\x01\n", "\n", "2031-04-05,日\n"};
    TempDir dir(true);
    std::string file;
    for (const std::string& l : lines)
        file += l;
    dir.write("syukujitsu.csv", file);
    std::string report = load_official();
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

// A file that cannot be used is named with its reason in one line, and the law stands; nothing blocks.
TEST(holiday_list, unusable_files_leave_the_compiled_law)
{
    TempDir dir(true);
    const std::string path = dir.file("syukujitsu.csv");
    std::string many_bad;
    for (int i = 0; i < 1000; ++i)
        many_bad += "2026/2/30,x\n";
    struct { std::function<void()> make; const char* says; } cases[] = {
        {[&] { dir.write("syukujitsu.csv", ""); }, "is empty"},
        {[&] { dir.write("syukujitsu.csv", std::string("2026/1/1,a\n\0", 12)); }, "is not text"},
        {[&] { dir.write("syukujitsu.csv", std::string(HOL_FILE_MOST - 10, '\n') + "2026/1/1,a\n"); }, "larger than 1 MB"},
        {[&] { mkfifo(path.c_str(), 0600); }, "is a FIFO"},
        {[&] { mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 3)); }, "is a device"},
        {[&] { std::filesystem::create_directory(path); }, "is a folder"},
        {[&] { dir.write("syukujitsu.csv", many_bad); }, "990 more bad lines skipped"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(path);
        c.make();
        const std::string report = load_official();
        EXPECT_NE(report.find(c.says), std::string::npos) << report;
        EXPECT_LE(std::count(report.begin(), report.end(), '\n'), 12) << report;
        EXPECT_EQ(hol_day_kind(2026, 7, 20), LAW_HOLIDAY) << c.says;
        EXPECT_NE(hol_source_text().find("compiled law of each year (no"), std::string::npos);
    }
}

// A user's copy with 海の日 2026 removed, スポーツの日 2026 moved from the 12th to the 14th and a new holiday
// in 2031 shows the change in the large month on screen and on paper; 2032, outside it, keeps the law.
TEST(holiday_list, a_changed_list_shows_on_screen_and_paper_in_its_years_only)
{
    Days days = published();
    days.erase(20260720);
    days.erase(20261012);
    days[20261014] = "スポーツの日";
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= RKM_DAY_MAX(2031, m); ++d)
            if (const char* name = law_day_name(2031, m, d))
                days[20310000 + m * 100 + d] = law_day_kind(2031, m, d) == LAW_HOLIDAY ? plat_sjis_to_utf8(name, std::strlen(name)) : "休日";
    days[20310304] = "新しい祝日";
    TempDir config;
    std::filesystem::create_directory(config.file("rkm7500"));
    config.write("rkm7500/syukujitsu.csv", official_file(days));
    setenv("XDG_CONFIG_DIRS", config.path().c_str(), 1);
    struct { int year, month; std::vector<int> holidays, workdays; const char* on_paper; bool shown; } cases[] = {
        {2026, 7, {}, {20}, "海の日", false}, {2026, 10, {14}, {12}, "スポーツの日", true},
        {2031, 3, {4}, {}, "新しい祝日", true}, {2032, 7, {19}, {}, "海の日", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        const std::string pdf = config.file(std::to_string(c.year) + ".pdf");
        ProgramRun run = run_program("click 660 200; type " + std::to_string(c.year) + "; key Enter; type " +
                                         std::to_string(c.month) + "; key Enter; key F9", {"--print-to", pdf});
        ASSERT_EQ(run.status, 0);
        const int first = RKM_FIRST_DAY(c.year, c.month);
        auto cell_has_holiday_colour = [&](int day) {
            const int at = first + day - 1, x = 21 + 140 * (at % 7), y = 103 + 98 * (at / 7);
            return run.screen.has_near(x + 3, y + 3, x + 137, y + 95, CAL_HOLIDAY, 40);
        };
        for (int day : c.holidays)
            EXPECT_TRUE(cell_has_holiday_colour(day)) << day;
        for (int day : c.workdays)
            EXPECT_FALSE(cell_has_holiday_colour(day)) << day;
        std::string paper = pdf_text(pdf);  // without blanks: pdftotext spaces its own way
        for (const std::string blank : {" ", "　", "\n"})
            for (size_t at; (at = paper.find(blank)) != std::string::npos;)
                paper.erase(at, blank.size());
        EXPECT_EQ(paper.find(c.on_paper) != std::string::npos, c.shown) << paper;
    }
    unsetenv("XDG_CONFIG_DIRS");
}
