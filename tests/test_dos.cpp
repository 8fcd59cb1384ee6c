// The support library's files, clock and log file, and the platform's file
// calls, handles and time conversions beneath them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file.h"
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

/* The platform's file calls beneath */

static uint64_t ticks(const FILETIME& t)
{
    return ((uint64_t)t.dwHighDateTime << 32) | t.dwLowDateTime;
}
static FILETIME from_unix(int64_t seconds, uint64_t extra = 0)
{
    uint64_t v = (uint64_t)(seconds + 11644473600LL) * 10000000ULL + extra;
    return {(DWORD)v, (DWORD)(v >> 32)};
}

TEST(handles, calls_on_no_handle_fail)
{
    char c;
    DWORD done = 9;
    for (HANDLE none : {INVALID_HANDLE_VALUE, (HANDLE) nullptr}) {
        EXPECT_FALSE(ReadFile(none, &c, 1, &done, nullptr));
        EXPECT_EQ(done, 0u);
        EXPECT_FALSE(WriteFile(none, "x", 1, &done, nullptr));
        EXPECT_FALSE(CloseHandle(none));
        EXPECT_EQ(SetFilePointer(none, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    }
}

static bool opens(const char* name, DWORD access, DWORD share, DWORD disposition)
{
    HANDLE h = CreateFileA(name, access, share, nullptr, disposition, 0, nullptr);
    return h != INVALID_HANDLE_VALUE && CloseHandle(h);
}

TEST(create_file, serial_names_folders_and_bad_codes_open_no_file)
{
    TempDir dir(true);
    for (const char* name : {"COM1", "com9", "\\\\.\\COM3"}) {
        opens(name, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS);
        EXPECT_EQ(dir.read(name), "<missing>") << name;
    }
    EXPECT_TRUE(opens("COM10", GENERIC_WRITE, 0, CREATE_NEW));  // an ordinary name
    EXPECT_FALSE(opens(".", GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_FALSE(opens("", GENERIC_READ, 0, OPEN_ALWAYS));
    EXPECT_FALSE(opens("f", GENERIC_READ, 0, 6));
    EXPECT_FALSE(opens("f", GENERIC_READ, 0x10, OPEN_ALWAYS));
    EXPECT_EQ(dir.read("f"), "<missing>");
    dir.write("f", "abc");
    EXPECT_FALSE(opens("f", GENERIC_READ, 0, TRUNCATE_EXISTING));  // needs write access
    EXPECT_TRUE(opens("f", 0, 0, OPEN_EXISTING));                   // status only
    EXPECT_EQ(dir.read("f"), "abc");
}

TEST(file_time, system_time_of_known_instants)
{
    struct { FILETIME t; int y, mo, d, wd, h, mi, s, ms; } known[] = {
        {{0, 0}, 1601, 1, 1, 1, 0, 0, 0, 0},
        {from_unix(951782400, 1234567), 2000, 2, 29, 2, 0, 0, 0, 123},
        {from_unix(4107542399), 2100, 2, 28, 0, 23, 59, 59, 0},  // no 29 February 2100
        {from_unix(4107542400), 2100, 3, 1, 1, 0, 0, 0, 0},
        {{0xFFFFFFFF, 0x7FFFFFFF}, 30828, 9, 14, 4, 2, 48, 5, 477}};
    for (auto& k : known) {
        SYSTEMTIME s;
        ASSERT_TRUE(FileTimeToSystemTime(&k.t, &s));
        EXPECT_EQ(std::vector<int>({s.wYear, s.wMonth, s.wDay, s.wDayOfWeek, s.wHour, s.wMinute,
                                    s.wSecond, s.wMilliseconds}),
                  std::vector<int>({k.y, k.mo, k.d, k.wd, k.h, k.mi, k.s, k.ms}));
    }
    FILETIME too_late = {0, 0x80000000};
    SYSTEMTIME s;
    EXPECT_FALSE(FileTimeToSystemTime(&too_late, &s));
}


TEST_F(zone, local_file_time_adds_the_offset_in_force_at_that_instant)
{
    FILETIME winter = from_unix(1073001600), summer = from_unix(1088726400), local;  // 2004
    const uint64_t hour = 3600ULL * 10000000;
    use("CET-1CEST,M3.5.0,M10.5.0/3");
    ASSERT_TRUE(FileTimeToLocalFileTime(&winter, &local));
    EXPECT_EQ(ticks(local) - ticks(winter), hour);
    ASSERT_TRUE(FileTimeToLocalFileTime(&summer, &local));
    EXPECT_EQ(ticks(local) - ticks(summer), 2 * hour);
    use("HST10");
    FILETIME early = {(DWORD)hour, 0};  // would fall before 1601
    EXPECT_FALSE(FileTimeToLocalFileTime(&early, &local));
}
