// The support library's files, clock and log file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/ghl3000.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/tempdir.h"

static HANDLE open_file(const std::string& path, int action, int mode, int attribute = 0)
{
    HANDLE h = nullptr;
    EXPECT_EQ(DosOpen(path.c_str(), &h, nullptr, 0, attribute, action, mode, 0), 0) << path;
    return h;
}

TEST(dos_open, action_codes_open_create_or_cut_and_others_open_nothing)
{
    struct { int action; bool exists; int result; const char* after; } cases[] = {
        {0x00, true, 0, "keep"}, {0x00, false, 1, "<missing>"}, {0x01, true, 0, "keep"},
        {0x01, false, 1, "<missing>"}, {0x02, true, 0, ""}, {0x02, false, 1, "<missing>"},
        {0x10, true, 1, "keep"}, {0x10, false, 0, ""}, {0x11, true, 0, "keep"},
        {0x11, false, 0, ""}, {0x12, true, 0, ""}, {0x12, false, 0, ""},
        {0x03, false, 1, "<missing>"}, {0x13, true, 1, "keep"}, {-1, false, 1, "<missing>"}};
    for (auto& c : cases) {
        TempDir dir;
        if (c.exists)
            dir.write("f", "keep");
        HANDLE h = nullptr;
        EXPECT_EQ(DosOpen(dir.file("f").c_str(), &h, nullptr, 0, 0, c.action, 0x20C2, 0),
                  c.result) << c.action << (c.exists ? " existing" : " missing");
        EXPECT_EQ(h == INVALID_HANDLE_VALUE, c.result == 1);
        EXPECT_EQ(DosClose(h), c.result);
        EXPECT_EQ(dir.read("f"), c.after) << c.action;
    }
    TempDir dir;
    HANDLE h = nullptr;
    for (int mode : {0x2083, 0x20C3, 0x0080, -1})
        EXPECT_EQ(DosOpen(dir.file("f").c_str(), &h, nullptr, 0, 0, 0x11, mode, 0), 1) << mode;
    EXPECT_EQ(dir.read("f"), "<missing>");
}

TEST(dos_file_ptr, moves_reads_and_refusals)
{
    TempDir dir;
    dir.write("f", "0123456789abcdef");
    HANDLE h = open_file(dir.file("f"), 0x01, 0x20C0);
    long at = 0;
    char buf[8] = "#######";
    unsigned long done = 0;
    EXPECT_EQ(DosChgFilePtr(h, 12, 0, &at), 0);
    EXPECT_EQ(at, 12);
    EXPECT_EQ(DosRead(h, buf, 6, &done), 0);  // 4 remain
    EXPECT_EQ(done, 4u);
    EXPECT_EQ(std::string(buf, 7), "cdef###");
    EXPECT_EQ(DosRead(h, buf, 6, &done), 1);  // end of file
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(DosSetFilePtr(h, -3, 1, &at), 0);
    EXPECT_EQ(at, 13);
    EXPECT_EQ(DosChgFilePtr(h, -1, 2, &at), 0);
    EXPECT_EQ(at, 15);
    for (long distance : {-16L, 1L << 40}) {
        EXPECT_EQ(DosChgFilePtr(h, distance, 1, &at), 1);
        EXPECT_EQ(at, -1);
    }
    EXPECT_EQ(DosChgFilePtr(h, 0, 3, &at), 1);  // no such origin
    EXPECT_EQ(DosRead(h, buf, 1, &done), 0);
    EXPECT_EQ(buf[0], 'f');  // the refused moves left the position alone
    EXPECT_EQ(DosRead(h, buf, -4, &done), 1);
    EXPECT_EQ(DosClose(h), 0);
    EXPECT_EQ(DosChgFilePtr(INVALID_HANDLE_VALUE, 0, 0, &at), 1);
}

// Every line DosFgets gives for the file, with `count`, as "length[bytes
// up to and with the NUL]" until it returns 0.
static std::string lines(const std::string& bytes, int count)
{
    TempDir dir;
    dir.write("f", bytes);
    HANDLE h = open_file(dir.file("f"), 0x01, 0x20C0);
    std::string out;
    char buf[100];
    for (int n; std::memset(buf, '#', sizeof buf), (n = DosFgets(buf, count, h)) > 0;)
        out += std::to_string(n) + "[" + std::string(buf, (size_t)n + 1) + "]";
    DosClose(h);
    for (char& c : out)
        c = c == '\r' ? 'R' : c == '\n' ? 'N' : c == '\0' ? '|' : c;
    return out;
}

TEST(dos_fgets, crlf_lines_lone_cr_and_cut_lines)
{
    EXPECT_EQ(lines("AB\r\nZ", 80), "4[ABRN|]1[Z|]");
    EXPECT_EQ(lines("AB\rX\r\n", 80), "4[ABRN|]3[XRN|]");
    EXPECT_EQ(lines("AB\r\nCD\r\n", 3), "4[ABRN|]3[NCD|]2[RN|]");  // a CR read last
    EXPECT_EQ(lines("ABCDEFG\r\n", 4), "4[ABCD|]5[EFGRN|]1[N|]");
    EXPECT_EQ(lines("AB\r\n", 0), "");
}

/* Dates and times */

class zone : public testing::Test {
protected:
    void use(const char* tz)
    {
        setenv("TZ", tz, 1);
        tzset();
    }
    void TearDown() override
    {
        unsetenv("TZ");
        tzset();
    }
};

TEST_F(zone, file_time_is_the_last_write_in_local_time)
{
    TempDir dir;
    dir.write("f", "x");
    struct timespec times[2] = {{0, 0}, {1070064005, 0}};  // 2003-11-29 00:00:05 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, dir.file("f").c_str(), times, 0), 0);
    char date[12] = "###########", time[10] = "#########";
    use("JST-9");
    DosFileTime(dir.file("f").c_str(), date, time);
    EXPECT_EQ(std::string(date, 12), std::string("2003/11/29#\0", 12));
    EXPECT_EQ(std::string(time, 10), std::string("09:00:05#\0", 10));
    use("HST10");
    DosFileTime(dir.file("f").c_str(), date, time);
    EXPECT_EQ(std::string(date, 10) + std::string(time, 8), "2003/11/2814:00:05");
    DosFileTime(dir.file("none").c_str(), date, time);  // left alone
    EXPECT_EQ(std::string(date, 10) + std::string(time, 8), "2003/11/2814:00:05");
}

// Runs this program again under faketime with the clock held at `when`,
// running only the disabled test `test`; returns what it printed.
static std::string run_at(const char* when, const char* test)
{
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    self[n > 0 ? n : 0] = '\0';
    std::string cmd = std::string("ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 "
                                  "faketime -f '") + when + "' '" + self +
                      "' --gtest_also_run_disabled_tests --gtest_filter=" + test;
    return run_command(cmd, nullptr);
}

TEST(DISABLED_at_fixed_time, date_time_and_log)
{
    char date[12] = "###########", time[10] = "#########";
    DosDateTime(date, time);
    TempDir dir;
    DosLogFile(dir.file("log").c_str(), "first", 5);
    DosLogFile(dir.file("log").c_str(), "second record", 6);
    std::printf("DATE[%.11s] TIME[%.9s] LOG[%s]\n", date, time, dir.read("log").c_str());
}

TEST(dos_clock, date_time_and_a_new_logs_first_line_read_the_clock)
{
    std::string out = run_at("2003-11-29 00:00:05", "DISABLED_at_fixed_time.*");
    EXPECT_NE(out.find("DATE[2003/11/29#] TIME[00:00:05#] "
                       "LOG[TestLogFile 2003/11/29 00:00:05\r\nfirst\r\nsecond\r\n]"),
              std::string::npos)
        << out;
}

TEST(dos_log_file, appends_to_an_existing_file_and_survives_bad_places)
{
    TempDir dir;
    dir.write("log", "mine\r\n");
    EXPECT_EQ(DosLogFile(dir.file("log").c_str(), "abc", 3), 0);
    EXPECT_EQ(DosLogFile(dir.file("log").c_str(), "ignored", -1), 0);
    EXPECT_EQ(dir.read("log"), "mine\r\nabc\r\n\r\n");
    EXPECT_EQ(DosLogFile(dir.file("no/such/folder/log").c_str(), "r", 1), 1);
    EXPECT_EQ(DosLogFile(nullptr, "r", 1), 1);
}
