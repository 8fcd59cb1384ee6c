// Reading HDAY1.DAT and HDAY2.DAT into the holiday tables.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "app/state.h"
#include "calendar/calendar.h"
#include "tests/helpers/tempdir.h"

static std::vector<int> table(const int* t)
{
    return std::vector<int>(t, t + 100);
}

static std::vector<int> filled(std::vector<int> head)
{
    int last = head.empty() ? 0 : head.back();
    head.resize(100, last);
    return head;
}

static int open_descriptors()
{
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    while (d && readdir(d))
        n++;
    if (d)
        closedir(d);
    return n;
}

// The 6-byte grid of records, read the way DOS files were laid out: record
// i is bytes 6i..6i+3, a short read leaves the record buffer as it was.
static std::vector<int> grid(const std::string& bytes)
{
    std::vector<int> out;
    char record[7] = {};
    for (size_t i = 0; i < 100; i++) {
        size_t at = 6 * i;
        if (at < bytes.size())
            std::memcpy(record, bytes.data() + at, std::min<size_t>(6, bytes.size() - at));
        record[4] = '\0';
        out.push_back(std::atoi(record));
    }
    return out;
}

class hday_files : public testing::Test {
protected:
    TempDir dir{true};
    void SetUp() override
    {
        for (int i = 0; i < 100; i++)
            iHday1[i] = iHday2[i] = 9999;  // left over from an earlier read
    }
};

TEST_F(hday_files, missing_files_leave_both_tables_empty)
{
    RKM_YHDAY_RED();
    EXPECT_EQ(table(iHday1), filled({0}));
    EXPECT_EQ(table(iHday2), filled({0}));
}

TEST_F(hday_files, missing_first_file_skips_the_second)
{
    dir.write("HDAY2.DAT", "0101\r\n");
    RKM_YHDAY_RED();
    EXPECT_EQ(table(iHday1), filled({0}));
    EXPECT_EQ(table(iHday2), filled({0}));
}

TEST_F(hday_files, missing_second_file_leaves_its_table_empty)
{
    dir.write("HDAY1.DAT", "0814\r\n");
    RKM_YHDAY_RED();
    EXPECT_EQ(table(iHday1), filled({814}));
    EXPECT_EQ(table(iHday2), filled({0}));
}

TEST_F(hday_files, one_line_fills_every_entry)
{
    dir.write("HDAY1.DAT", "0814\r\n");
    dir.write("HDAY2.DAT", "0101");  // no line end at all
    RKM_YHDAY_RED();
    EXPECT_EQ(table(iHday1), filled({814}));
    EXPECT_EQ(table(iHday2), filled({101}));
    EXPECT_EQ(RKM_YHDAY_CHK(CAL_BLACK, 814), 1);     // boxed although a weekday
    EXPECT_EQ(RKM_YHDAY_CHK(CAL_HOLIDAY, 101), 0);   // no box on New Year's Day
}

TEST_F(hday_files, blank_and_signed_records_convert_as_atoi)
{
    dir.write("HDAY1.DAT", " 505\r\n    \r\n0230\r\n-101\r\n12ab\r\n2003\r\n");
    RKM_YHDAY_RED();
    EXPECT_EQ(table(iHday1), filled({505, 0, 230, -101, 12, 2003}));
}

TEST_F(hday_files, crlf_files_of_four_character_lines_read_as_the_record_grid)
{
    const char* texts[] = {"0101", "0505", " 814", "    ", "1231", "-0 1", "+123", "0000"};
    std::string bytes;
    for (int lines = 1; lines <= 105; lines += 13) {
        bytes.clear();
        for (int i = 0; i < lines; i++)
            bytes += std::string(texts[(i * 7) % 8]) + "\r\n";
        dir.write("HDAY1.DAT", bytes);
        RKM_YHDAY_RED();
        ASSERT_EQ(table(iHday1), grid(bytes)) << lines << " lines";
        bytes.resize(bytes.size() - 2);  // last record without its line end
        dir.write("HDAY1.DAT", bytes);
        RKM_YHDAY_RED();
        ASSERT_EQ(table(iHday1), grid(bytes)) << lines << " lines, last unterminated";
    }
}

TEST_F(hday_files, lf_only_lines_do_not_drift)
{
    dir.write("HDAY1.DAT", "0101\n0505\n1103\n1231\n");
    dir.write("HDAY2.DAT", "0101\r0505\r1231");  // lone CR line ends
    RKM_YHDAY_RED();
    EXPECT_EQ(table(iHday1), filled({101, 505, 1103, 1231}));
    EXPECT_EQ(table(iHday2), filled({101, 505, 1231}));
}

TEST_F(hday_files, only_the_first_four_characters_of_a_line_count)
{
    dir.write("HDAY1.DAT", "0814 obon\n505\n\n1231");
    RKM_YHDAY_RED();
    EXPECT_EQ(table(iHday1), filled({814, 505, 0, 1231}));
}

TEST_F(hday_files, records_after_the_hundredth_are_never_read)
{
    std::string bytes;
    for (int i = 1; i <= 150; i++)
        bytes += std::to_string(1000 + i) + "\r\n";
    dir.write("HDAY1.DAT", bytes);
    RKM_YHDAY_RED();
    EXPECT_EQ(iHday1[0], 1001);
    EXPECT_EQ(iHday1[99], 1100);
    for (int v : table(iHday1))
        EXPECT_LE(v, 1100);
}

TEST_F(hday_files, empty_file_or_folder_gives_an_empty_table)
{
    dir.write("HDAY1.DAT", "");
    std::filesystem::create_directory(dir.file("HDAY2.DAT"));
    RKM_YHDAY_RED();
    EXPECT_EQ(table(iHday1), filled({0}));
    EXPECT_EQ(table(iHday2), filled({0}));
}

TEST_F(hday_files, files_are_closed_after_reading)
{
    dir.write("HDAY1.DAT", "0814\r\n");
    dir.write("HDAY2.DAT", "0101\r\n");
    int before = open_descriptors();
    RKM_YHDAY_RED();
    EXPECT_EQ(open_descriptors(), before);
    EXPECT_EQ(hNfhd1, INVALID_HANDLE_VALUE);
}
