// Reading HDAY1.DAT and HDAY2.DAT into the holiday tables, and the day-off test on them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "state/state.h"
#include "calendar/calendar.h"
#include "tests/helpers/tempdir.h"

static const char* MISSING = nullptr;

// Reads the two files in a fresh folder over full tables (HDAY2.DAT a folder when HDAY1.DAT is empty
// and HDAY2.DAT MISSING); nothing may stay open.
static void read_files(const char* hday1, const char* hday2)
{
    auto open_files = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
    TempDir dir(true);
    if (hday1)
        dir.write("HDAY1.DAT", hday1);
    if (hday2)
        dir.write("HDAY2.DAT", hday2);
    else if (hday1 && !*hday1)
        std::filesystem::create_directory(dir.file("HDAY2.DAT"));
    std::fill(iHday1, iHday1 + 100, 9999);
    std::fill(iHday2, iHday2 + 100, 9999);
    const auto before = open_files();
    RKM_YHDAY_RED();
    EXPECT_EQ(open_files(), before) << "nothing stays open";
    EXPECT_EQ(hNfhd1, INVALID_HANDLE_VALUE);
}

TEST(hday_files, tables_from_present_missing_short_odd_and_grid_files_and_the_day_off_test)
{
    struct { const char *hday1, *hday2; std::vector<int> table1, table2; } cases[] = {
        {MISSING, MISSING, {0}, {0}},
        {MISSING, "0101\r\n", {0}, {0}},  // without HDAY1.DAT, HDAY2.DAT is not read
        {"0814\r\n", MISSING, {814}, {0}},
        {"0814\r\n", "0101", {814}, {101}},  // a last line without its line end
        {" 505\r\n    \r\n0230\r\n-101\r\n12ab\r\n", "", {505, 0, 230, -101, 12}, {0}},
        {"0101\n0505\n1103\n1231\n", "0101\r0505\r1231", {101, 505, 1103, 1231}, {101, 505, 1231}},
        {"0814 obon\n505\n\n1231", "\r\n", {814, 0, 505, 0, 1231}, {0}},
        {"", MISSING, {0}, {0}},  // an empty file; HDAY2.DAT a folder
    };
    for (auto& c : cases) {  // each table: the records, then the last one again up to entry 99
        read_files(c.hday1, c.hday2);
        std::vector<int> table1 = c.table1, table2 = c.table2;
        table1.resize(100, table1.back()), table2.resize(100, table2.back());
        EXPECT_EQ(std::vector<int>(iHday1, iHday1 + 100), table1) << "case " << &c - cases;
        EXPECT_EQ(std::vector<int>(iHday2, iHday2 + 100), table2) << "case " << &c - cases;
    }
    // The day-off test: iHday1 turns black days into days off, iHday2 the others into working days.
    std::fill(iHday1, iHday1 + 100, 0), std::fill(iHday2, iHday2 + 100, 0);
    iHday1[0] = 814, iHday2[99] = 101;
    for (int code = 0; code <= 1231; code++) {
        EXPECT_EQ(RKM_YHDAY_CHK(CAL_BLACK, code), code == 814 ? 1 : 0) << code;
        EXPECT_EQ(RKM_YHDAY_CHK(CAL_SATURDAY, code), code == 101 ? 0 : 1) << code;
    }
}
