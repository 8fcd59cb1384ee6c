// Stepping through months with PageUp, PageDown, Home and the mouse wheel,
// through the whole program. A step is a completed month entry, so each
// screen must be the screen of typing the month it reaches.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "tests/helpers/program_run.h"

namespace {

const int TODAY = -1;  // year: today's month, moved by `month` months

struct Step {
    const char* layout;  // a click on a layout button, or ""
    const char* replay;
    int year, month;
    int beeps;
};

std::string typed(int year, int month)
{
    return "type " + std::to_string(year) + "; key Enter; type " + std::to_string(month) +
           "; key Enter";
}

void today_moved(int months, int* year, int* month)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    int index = (local.tm_year + 1900) * 12 + local.tm_mon + months;
    *year = index / 12;
    *month = index % 12 + 1;
}

class Stepping : public ::testing::TestWithParam<Step> {};

TEST_P(Stepping, reaches_the_month_as_if_typed)
{
    const Step& s = GetParam();
    int year = s.year, month = s.month;
    if (year == TODAY)
        today_moved(s.month, &year, &month);
    ProgramRun run = run_program(std::string(s.layout) + s.replay);
    ProgramRun want = run_program(std::string(s.layout) + typed(year, month));
    ASSERT_TRUE(run.has_state);
    ASSERT_FALSE(run.screen.empty());
    EXPECT_EQ(run.state.iYear, year);
    EXPECT_EQ(run.state.iMont, month);
    EXPECT_EQ(run.state.iSetfg, 1);
    EXPECT_EQ(run.state.iNstep, 0);  // any entry in progress is over
    EXPECT_EQ(run.state.iNkcnt, 0);
    EXPECT_EQ(run.state.beeps, s.beeps);
    EXPECT_TRUE(run.screen.pixels == want.screen.pixels);
}

const char* const LARGE = "click 660 200; ";
const char* const YEAR = "click 900 200; ";

INSTANTIATE_TEST_SUITE_P(
    Keys, Stepping,
    ::testing::Values(
        Step{"", "type 2003; key Enter; type 12; key Enter; key PageDown", 2004, 1, 0},
        Step{LARGE, "type 2004; key Enter; type 1; key Enter; key PageUp; key PageUp", 2003, 11, 0},
        Step{YEAR, "type 2003; key Enter; type 5; key Enter; key PageDown; key PageDown", 2005, 5, 0},
        Step{YEAR, "type 1; key Enter; type 5; key Enter; key PageUp; key PageUp", 0, 5, 1},
        Step{"", "key PageDown", TODAY, 1, 0},
        Step{"", "key PageUp", TODAY, -1, 0},
        Step{"", "type 2003; key Enter; type 11; key Enter; key Home; key PageDown", TODAY, 1, 0},
        Step{"", "type 9999; key Enter; type 11; key Enter; key PageDown; key PageDown", 9999, 12, 1},
        Step{"", "type 0; key Enter; type 1; key Enter; key PageUp", 0, 1, 1},
        // A half-typed month or year is dropped: the step goes from the month shown.
        Step{"", "type 2003; key Enter; type 11; key Enter; type 2010; key Enter; type 1; key PageDown",
             2003, 12, 0},
        Step{"", "type 2003; key Enter; type 11; key Enter; type 19; key PageUp; type 1999; key Enter; type 3; key Enter",
             1999, 3, 0},
        // The wheel over the calendar: down is next; over the keypad nothing.
        Step{"", "type 2003; key Enter; type 11; key Enter; wheel down 300 300; wheel down 700 350", 2003, 12, 0},
        Step{LARGE, "type 2003; key Enter; type 1; key Enter; wheel up 900 700", 2002, 12, 0}));

}  // namespace
