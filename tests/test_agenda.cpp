// --agenda: the user's events day by day, checked against dates worked out
// without libical (tests/data/events_oracle.py: python-dateutil and the
// system's zone data), and the command line's answers to bad input.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/helpers/cups.h"
#include "tests/helpers/tempdir.h"

// Runs the program in `dir` with its own folders; standard output is
// returned, standard error left in dir/err.
static std::string agenda(const TempDir& dir, const std::string& env, const std::string& args,
                          int* status)
{
    return run_command("(cd '" + dir.path() + "' && XDG_CONFIG_HOME=\"$PWD/config\" XDG_CACHE_HOME=\"$PWD/cache\" " + env +
                           " timeout 60 " + RKM_PROGRAM + " " + args + " 2>err)",
                       status);
}

static std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// Recurrences (COUNT, UNTIL, BYDAY, BYMONTHDAY, INTERVAL, RDATE, EXDATE
// with and without TZID, changed and cancelled instances), zones with and
// without their VTIMEZONE, UTC, floating times, daylight-saving changes of
// the event's zone and of ours, all-day and multi-day events, DURATION and
// no end: several hundred events, line for line.
TEST(agenda, every_line_matches_an_independent_reckoning_in_several_local_zones)
{
    TempDir dir;
    for (const char* zone : {"Asia/Tokyo", "America/New_York", "Europe/London"}) {
        int status = -1;
        const std::string made = run_command(std::string("/usr/bin/python3 ") + RKM_TEST_DATA +
                                                 "/events_oracle.py " + dir.file("oracle.ics") + " " +
                                                 dir.file("expected") + " " + zone +
                                                 " 2026-01-01 2027-12-31 300",
                                             &status);
        ASSERT_EQ(status, 0) << made;
        const auto got = lines(agenda(dir, std::string("TZ=") + zone,
                                      "--agenda 2026-01-01..2027-12-31 --ics oracle.ics", &status));
        const auto want = lines(dir.read("expected"));
        EXPECT_EQ(status, 0) << dir.read("err");
        EXPECT_GT(want.size(), 5000u);
        ASSERT_EQ(got.size(), want.size()) << zone;
        for (size_t i = 0; i < got.size(); i++)
            ASSERT_EQ(got[i], want[i]) << zone << ", line " << i + 1;
    }
}

TEST(agenda, bad_arguments_missing_sources_and_no_calendars)
{
    TempDir dir;
    dir.write("good.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20261224\r\n"
                          "SUMMARY:冬休み\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    dir.write("page.ics", "<html>moved</html>\n");
    const struct {
        const char* args;
        int status;
        const char* out;  // the whole of standard output
        const char* err;  // in standard error
    } cases[] = {
        {"--agenda 2026-02-30", 2, "", "--agenda needs FROM or FROM..TO"},
        {"--agenda 2026-1-5", 2, "", "--agenda needs FROM or FROM..TO"},
        {"--agenda 2026-01-05..2026-01-04", 2, "", "--agenda needs FROM or FROM..TO"},
        {"--agenda 2026-01-05..", 2, "", "--agenda needs FROM or FROM..TO"},
        {"--agenda 2026-01-05 --snapshot s.png", 2, "", "cannot be combined"},
        {"--agenda", 2, "", "'--agenda' needs a value"},
        {"--agenda 2026-12-24", 0, "", "no calendars"},
        {"--agenda 2026-12-23..2026-12-25 --ics good.ics", 0, "2026-12-24\t終日\t冬休み\tgood.ics\n", ""},
        {"--agenda 2026-12-24 --ics good.ics --ics none.ics --ics page.ics --ics ftp://x/c.ics", 1,
         "2026-12-24\t終日\t冬休み\tgood.ics\n",
         "none.ics: no such file\nrkm7500: page.ics: not an iCalendar calendar\n"},
        {"--agenda 2026-12-24 --ics ftp://x/c.ics", 1, "", "--ics ftp://x/c.ics: only http and https"},
    };
    for (const auto& c : cases) {
        int status = -1;
        const std::string out = agenda(dir, "LANG=C", c.args, &status);
        const std::string err = dir.read("err");
        EXPECT_EQ(status, c.status) << c.args << "\n" << err;
        EXPECT_EQ(out, c.out) << c.args;
        EXPECT_NE(err.find(c.err), std::string::npos) << c.args << "\n" << err;
        if (c.status == 2) {
            EXPECT_EQ(lines(err).size(), 1u) << err;
        }
    }
}
