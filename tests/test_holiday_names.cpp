// Holiday names and the era year: every name against the published list,
// the era year at every change of era, and both as the month views draw
// them on screen and on paper.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "calendar/calendar.h"
#include "calendar/holiday_law.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/picture.h"
#include "tests/helpers/sjis.h"
#include "tests/helpers/tempdir.h"

TEST(holiday_names, every_name_1955_to_2030_is_the_listed_one)
{
    std::map<std::string, std::string> listed;  // date: name, UTF-8
    std::ifstream in(std::string(RKM_TEST_DATA) + "/jp_holidays_1955_2030.txt");
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            listed[line.substr(0, 10)] = line.substr(line.find(' ', 11) + 1);
    ASSERT_GT(listed.size(), 1000u) << "holiday list not read from " RKM_TEST_DATA;
    int wrong = 0;
    for (int y = 1955; y <= 2030; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= RKM_DAY_MAX(y, m); ++d) {
                char date[16];
                std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
                const auto it = listed.find(date);
                const std::string want = it == listed.end() ? "" : to_sjis(it->second);
                const char* got = law_day_name(y, m, d);
                if (want != (got ? got : "") && ++wrong <= 20)
                    ADD_FAILURE() << date << ": list has '" << (it == listed.end() ? "" : it->second)
                                  << "'";
            }
    EXPECT_EQ(wrong, 0);
}

TEST(era_year, every_change_of_era_and_the_first_month_shown)
{
    static const struct {
        int year, month;
        const char* text;
    } cases[] = {
        {1872, 12, ""},          {1873, 1, "明治6年"},
        {1912, 6, "明治45年"},   {1912, 7, "明治45年・大正元年"}, {1912, 8, "大正元年"},
        {1926, 11, "大正15年"},  {1926, 12, "大正15年・昭和元年"}, {1927, 1, "昭和2年"},
        {1988, 12, "昭和63年"},  {1989, 1, "昭和64年・平成元年"}, {1989, 2, "平成元年"},
        {2019, 4, "平成31年"},   {2019, 5, "令和元年"},           {2026, 1, "令和8年"},
        {9999, 12, "令和7981年"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cal_era_text(c.year, c.month), to_sjis(c.text)) << c.year << "-" << c.month;
}

namespace {

const uint32_t WHITE = 0xFFFFFF, HOLIDAY = 0x6020FF, SUNDAY_RED = 0x0000FF;

struct Drawn {
    Picture screen;
    std::string paper;  // the printed page's text, without blanks (pdftotext spaces them its own way)
};

std::string without_blanks(std::string text)
{
    for (const std::string blank : {" ", "　", "\n"})
        for (size_t at; (at = text.find(blank)) != std::string::npos;)
            text.erase(at, blank.size());
    return text;
}

// The month in one layout (its button's x), on screen and printed with F9,
// with 4 November a day off of HDAY1.DAT.
Drawn draw_month(int button_x, int year, int month)
{
    TempDir dir;
    dir.write("HDAY1.DAT", "1104\r\n");
    int status = -1;
    run_command("cd '" + dir.path() + "' && SDL_AUDIODRIVER=dummy " RKM_PROGRAM
                " --snapshot screen.png --print-to page.pdf --replay 'click " +
                    std::to_string(button_x) + " 200; type " + std::to_string(year) +
                    "; key Enter; type " + std::to_string(month) + "; key Enter; key F9'",
                &status);
    EXPECT_EQ(status, 0);
    return {read_png(dir.file("screen.png")), without_blanks(pdf_text(dir.file("page.pdf")))};
}

const int LARGE = 660, MEDIUM = 740;

// The strip under the day number of a large month's cell.
bool name_under(const Picture& p, int column, int row, uint32_t colour)
{
    return p.has_near(24 + 140 * column, 158 + 98 * row, 157 + 140 * column, 186 + 98 * row,
                      colour, 40);
}

}  // namespace

TEST(drawn_names, november_2003_large_month_names_its_holidays_under_the_numbers)
{
    Drawn d = draw_month(LARGE, 2003, 11);
    for (const char* text : {"文化の日", "勤労感謝の日", "振替休日", "2003年11月平成15年"})
        EXPECT_NE(d.paper.find(text), std::string::npos) << text << " not in\n" << d.paper;
    EXPECT_EQ(d.paper.find("休日"), d.paper.find("振替休日") + 6);  // none for HDAY1.DAT's 4th
    EXPECT_EQ(d.paper.rfind("休日"), d.paper.find("休日"));
    EXPECT_TRUE(name_under(d.screen, 1, 1, HOLIDAY));     // 3 文化の日
    EXPECT_TRUE(name_under(d.screen, 0, 4, HOLIDAY));     // 23 勤労感謝の日
    EXPECT_TRUE(name_under(d.screen, 1, 4, SUNDAY_RED));  // 24 振替休日
    EXPECT_EQ(d.screen.count_not(24 + 280, 158 + 98, 157 + 280, 186 + 98, WHITE), 0);  // the 4th
    EXPECT_TRUE(d.screen.has_near(668, 20, 800, 50, 0xFF0000, 40));  // the era year, blue
}

TEST(drawn_names, era_year_and_the_medium_months_holiday_line)
{
    static const struct {
        int button_x, year, month;
        const char* paper;  // null: no era year and no holiday line
    } cases[] = {
        {MEDIUM, 2003, 11, "3 文化の日　23 勤労感謝の日　24 振替休日"},
        {MEDIUM, 2019, 5, "令和元年"},
        {MEDIUM, 2019, 5, "4 みどりの…"},  // shortened to the grid's width
        {LARGE, 2019, 5, "天皇の即位の日"},
        {MEDIUM, 1989, 1, "1989年１月 昭和64年・平成元年"},
        {LARGE, 1989, 1, "1989年１月 昭和64年・平成元年"},
        {MEDIUM, 1872, 12, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        Drawn d = draw_month(c.button_x, c.year, c.month);
        if (c.paper)
            EXPECT_NE(d.paper.find(without_blanks(c.paper)), std::string::npos) << d.paper;
        else
            EXPECT_EQ(d.paper.find("明治"), std::string::npos) << d.paper;
        if (c.button_x != MEDIUM)
            continue;
        // Era year right of the title; the line between the grid and the area's foot.
        EXPECT_EQ(d.screen.count_not(404, 30, 585, 70, WHITE) > 0, c.paper != nullptr);
        EXPECT_EQ(d.screen.has_near(52, 487, 542, 517, HOLIDAY, 40), c.paper != nullptr);
        EXPECT_EQ(d.screen.count_not(543, 487, 585, 519, WHITE), 0);
    }
}
