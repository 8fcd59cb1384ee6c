// Reading HDAY1.DAT and HDAY2.DAT into the holiday tables.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "state/state.h"
#include "calendar/calendar.h"
#include "tests/helpers/tempdir.h"

static const char* MISSING = nullptr;

static int open_descriptors()
{
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    while (readdir(d))
        n++;
    closedir(d);
    return n;
}

// The table after reading: `head`, then its last value up to entry 99.
static std::vector<int> filled(std::vector<int> head)
{
    head.resize(100, head.back());
    return head;
}

// Reads the two files (MISSING: no such file) in a fresh folder.
static void read_files(const char* hday1, const char* hday2)
{
    TempDir dir(true);
    if (hday1)
        dir.write("HDAY1.DAT", hday1);
    if (hday2)
        dir.write("HDAY2.DAT", hday2);
    else if (hday1 && !*hday1)
        std::filesystem::create_directory(dir.file("HDAY2.DAT"));
    std::fill(iHday1, iHday1 + 100, 9999);  // as left by an earlier read
    std::fill(iHday2, iHday2 + 100, 9999);
    RKM_YHDAY_RED();
}

TEST(hday_files, tables_from_present_missing_short_and_odd_files)
{
    struct { const char *hday1, *hday2; std::vector<int> table1, table2; } cases[] = {
        {MISSING, MISSING, {0}, {0}},
        {MISSING, "0101\r\n", {0}, {0}},  // without HDAY1.DAT, HDAY2.DAT is not read
        {"0814\r\n", MISSING, {814}, {0}},
        {"0814\r\n", "0101", {814}, {101}},  // a last line without its line end
        {" 505\r\n    \r\n0230\r\n-101\r\n12ab\r\n", "", {505, 0, 230, -101, 12}, {0}},
        {"0101\n0505\n1103\n1231\n", "0101\r0505\r1231", {101, 505, 1103, 1231}, {101, 505, 1231}},
        {"0814 obon\n505\n\n1231", "\r\n", {814, 0, 505, 0, 1231}, {0}},
        {"", nullptr, {0}, {0}},  // an empty file; HDAY2.DAT a folder (below)
    };
    for (auto& c : cases) {
        int before = open_descriptors();
        read_files(c.hday1, c.hday2);
        EXPECT_EQ(open_descriptors(), before) << "nothing stays open";
        EXPECT_EQ(std::vector<int>(iHday1, iHday1 + 100), filled(c.table1)) << "case " << &c - cases;
        EXPECT_EQ(std::vector<int>(iHday2, iHday2 + 100), filled(c.table2)) << "case " << &c - cases;
    }
    EXPECT_EQ(hNfhd1, INVALID_HANDLE_VALUE);
}

// The fixed grid of 6-byte records as DOS wrote them: record i is bytes
// 6i..6i+3; a read past the end leaves the record buffer as it was.
static std::vector<int> grid(const std::string& bytes)
{
    std::vector<int> out;
    char record[7] = {};
    for (size_t at = 0; out.size() < 100; at += 6) {
        if (at < bytes.size())
            std::memcpy(record, bytes.data() + at, std::min<size_t>(6, bytes.size() - at));
        record[4] = '\0';
        out.push_back(std::atoi(record));
    }
    return out;
}

TEST(hday_files, four_character_crlf_lines_read_as_the_record_grid)
{
    const char* texts[] = {"0101", "0505", " 814", "    ", "1231", "-0 1", "+123", "0000"};
    for (int lines = 1; lines <= 131; lines += 13) {
        std::string bytes;
        for (int i = 0; i < lines; i++)
            bytes += std::string(texts[(i * 7) % 8]) + "\r\n";
        for (std::string file : {bytes, bytes.substr(0, bytes.size() - 2)}) {
            read_files(file.c_str(), MISSING);
            ASSERT_EQ(std::vector<int>(iHday1, iHday1 + 100), grid(file)) << lines << " lines";
        }
    }
}
