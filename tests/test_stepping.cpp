// PageUp, PageDown, Home and the mouse wheel, through the whole program. A
// step is a completed month entry: its screen is the screen of typing the
// month it reaches.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "tests/helpers/program_run.h"

struct Step {
    const char* layout;  // a click on a layout button, or ""
    const char* replay;
    int year, month;  // year -1: today's month moved by `month` months
    int beeps;
};

class Stepping : public ::testing::TestWithParam<Step> {};

TEST_P(Stepping, reaches_the_month_as_if_typed)
{
    Step s = GetParam();
    if (s.year < 0) {
        std::time_t now = std::time(nullptr);
        const std::tm* t = std::localtime(&now);
        const int index = (t->tm_year + 1900) * 12 + t->tm_mon + s.month;
        s.year = index / 12, s.month = index % 12 + 1;
    }
    ProgramRun run = run_program(s.layout + std::string(s.replay));
    ProgramRun want = run_program(s.layout + ("type " + std::to_string(s.year) + "; key Enter; type " +
                                              std::to_string(s.month) + "; key Enter"));
    const ProgramState& g = run.state;  // the entry is over: year field, nothing typed
    EXPECT_EQ(std::vector<int>({g.iYear, g.iMont, g.iSetfg, g.iNstep, g.iNkcnt, g.beeps}),
              std::vector<int>({s.year, s.month, 1, 0, 0, s.beeps}));
    EXPECT_TRUE(!run.screen.empty() && run.screen.pixels == want.screen.pixels);
}

const char *const L = "click 660 200; ", *const Y = "click 900 200; ";
#define NOV_2003 "type 2003; key Enter; type 11; key Enter; "
INSTANTIATE_TEST_SUITE_P(
    Keys, Stepping,
    ::testing::Values(
        Step{"", "type 2003; key Enter; type 12; key Enter; key PageDown", 2004, 1, 0},
        Step{L, "type 2004; key Enter; type 1; key Enter; key PageUp; key PageUp", 2003, 11, 0},
        Step{Y, "type 2003; key Enter; type 5; key Enter; key PageDown; key PageDown", 2005, 5, 0},
        Step{Y, "type 1; key Enter; type 5; key Enter; key PageUp; key PageUp", 0, 5, 1},
        Step{"", "type 0; key Enter; type 1; key Enter; key PageUp", 0, 1, 1},
        Step{"", "type 9999; key Enter; type 11; key Enter; key PageDown; key PageDown", 9999, 12, 1},
        Step{"", "key PageDown", -1, 1, 0},
        Step{"", NOV_2003 "key Home; key PageUp", -1, -1, 0},
        Step{"", NOV_2003 "type 2010; key Enter; type 1; key PageDown", 2003, 12, 0},
        Step{"", NOV_2003 "type 19; key PageUp; type 1999; key Enter; type 3; key Enter", 1999, 3, 0},
        // down is next; over the keypad the wheel does nothing
        Step{"", NOV_2003 "wheel down 300 300; wheel down 700 350", 2003, 12, 0},
        Step{L, "type 2003; key Enter; type 1; key Enter; wheel up 900 700", 2002, 12, 0}));
