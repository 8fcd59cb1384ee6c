// Holiday names against the published list, the era year at every change of
// era, and both as the month views draw them on screen and on paper.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <vector>

#include "calendar/calendar.h"
#include "calendar/holiday_law.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/picture.h"
#include "tests/helpers/sjis.h"
#include "tests/helpers/tempdir.h"

TEST(holiday_names, every_name_1955_to_2030_is_the_listed_one)
{
    std::map<std::string, std::string> listed;  // date: name
    std::ifstream in(std::string(RKM_TEST_DATA) + "/jp_holidays_1955_2030.txt");
    for (std::string line; std::getline(in, line);)
        if (line[0] != '#')
            listed[line.substr(0, 10)] = to_sjis(line.substr(line.find(' ', 11) + 1));
    ASSERT_GT(listed.size(), 1000u);
    int wrong = 0;
    for (int y = 1955; y <= 2030; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= RKM_DAY_MAX(y, m); ++d) {
                char date[40];
                std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
                const char* name = law_day_name(y, m, d);
                if (listed[date] != (name ? name : "") && ++wrong <= 20)
                    ADD_FAILURE() << date;
            }
    EXPECT_EQ(wrong, 0);
}

TEST(era_year, every_change_of_era_and_the_first_month_shown)
{
    static const struct { int year, month; const char* text; } cases[] = {
        {1872, 12, ""}, {1873, 1, "明治6年"}, {1912, 6, "明治45年"}, {1912, 7, "明治45年・大正元年"},
        {1912, 8, "大正元年"}, {1926, 11, "大正15年"}, {1926, 12, "大正15年・昭和元年"},
        {1927, 1, "昭和2年"}, {1988, 12, "昭和63年"}, {1989, 1, "昭和64年・平成元年"},
        {1989, 2, "平成元年"}, {2019, 4, "平成31年"}, {2019, 5, "令和元年"}, {2026, 1, "令和8年"}};
    for (const auto& c : cases)
        EXPECT_EQ(cal_era_text(c.year, c.month), to_sjis(c.text)) << c.year << "-" << c.month;
}

// The text of a printed page, without blanks (pdftotext spaces text its own way).
static std::string page_text(const std::string& pdf)
{
    std::string text = pdf_text(pdf);
    for (const std::string blank : {" ", "　", "\n"})
        for (size_t at; (at = text.find(blank)) != std::string::npos;)
            text.erase(at, blank.size());
    return text;
}

// Each month on screen and printed with F9, in the large (button x 660) or
// medium (740) month, with 4 November a day off of HDAY1.DAT.
TEST(drawn_names, names_and_era_year_on_screen_and_paper)
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
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        TempDir dir;
        dir.write("HDAY1.DAT", "1104\r\n");
        int status = -1;
        run_command("cd '" + dir.path() + "' && SDL_AUDIODRIVER=dummy " RKM_PROGRAM
                    " --snapshot s.png --print-to p.pdf --replay 'click " +
                        std::to_string(c.button_x) + " 200; type " + std::to_string(c.year) +
                        "; key Enter; type " + std::to_string(c.month) + "; key Enter; key F9'",
                    &status);
        const std::string paper = page_text(dir.file("p.pdf"));
        const Picture p = read_png(dir.file("s.png"));
        ASSERT_EQ(status, 0);
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
