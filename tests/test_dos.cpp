// The support library's files, clock and log file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/ghl3000.h"
#include "tests/helpers/tempdir.h"

static HANDLE open_file(const std::string& path, int action, int mode)
{
    HANDLE h = nullptr;
    EXPECT_EQ(DosOpen(path.c_str(), &h, nullptr, 0, 0, action, mode, 0), 0) << path;
    return h;
}

/* DosOpen */

TEST(dos_open, missing_file_must_exist_fails_with_the_invalid_handle)
{
    TempDir dir;
    HANDLE h = nullptr;
    long action = 77;
    EXPECT_EQ(DosOpen(dir.file("x").c_str(), &h, &action, 0, 0, 0x01, 0x20C0, 0), 1);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(action, 77);  // never written
    EXPECT_EQ(DosOpen(dir.file("x").c_str(), &h, nullptr, 0, 0, 0x00, 0x20C0, 0), 1);
    EXPECT_EQ(DosOpen(dir.file("x").c_str(), &h, nullptr, 0, 0, 0x02, 0x20C2, 0), 1);
    EXPECT_EQ(dir.read("x"), "<missing>");
}

TEST(dos_open, actions_create_keep_or_cut_as_their_table_says)
{
    TempDir dir;
    std::string f = dir.file("f");
    HANDLE h = open_file(f, 0x11, 0x20C2);  // created
    EXPECT_EQ(DosClose(h), 0);
    EXPECT_EQ(dir.read("f"), "");
    HANDLE again = nullptr;
    EXPECT_EQ(DosOpen(f.c_str(), &again, nullptr, 0, 0, 0x10, 0x20C2, 0), 1);  // exists
    EXPECT_EQ(again, INVALID_HANDLE_VALUE);

    dir.write("f", "keep");
    DosClose(open_file(f, 0x11, 0x20C2));
    EXPECT_EQ(dir.read("f"), "keep");
    DosClose(open_file(f, 0x01, 0x2080));
    EXPECT_EQ(dir.read("f"), "keep");
    DosClose(open_file(f, 0x02, 0x2082));
    EXPECT_EQ(dir.read("f"), "");
    dir.write("f", "keep");
    DosClose(open_file(f, 0x12, 0x2081));
    EXPECT_EQ(dir.read("f"), "");
    DosClose(open_file(dir.file("g"), 0x12, 0x2081));
    DosClose(open_file(dir.file("h"), 0x10, 0x2081));
    EXPECT_EQ(dir.read("g"), "");
    EXPECT_EQ(dir.read("h"), "");
}

TEST(dos_open, codes_outside_the_tables_fail_and_open_nothing)
{
    TempDir dir;
    std::string f = dir.file("new");
    HANDLE h = nullptr;
    for (int action : {0x03, 0x13, 0x20, -1})
        EXPECT_EQ(DosOpen(f.c_str(), &h, nullptr, 0, 0, action, 0x20C2, 0), 1) << action;
    for (int mode : {0x2083, 0x20C3, 0x0080, 0, -1})
        EXPECT_EQ(DosOpen(f.c_str(), &h, nullptr, 0, 0, 0x11, mode, 0), 1) << mode;
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(dir.read("new"), "<missing>");
    EXPECT_EQ(DosOpen(f.c_str(), nullptr, nullptr, 0, 0, 0x11, 0x20C2, 0), 1);
    EXPECT_EQ(dir.read("new"), "<missing>");
}

TEST(dos_open, read_only_attribute_makes_a_read_only_file)
{
    TempDir dir;
    HANDLE h = nullptr;
    ASSERT_EQ(DosOpen(dir.file("ro").c_str(), &h, nullptr, 0, 0x01, 0x11, 0x20C2, 0), 0);
    unsigned long done = 0;
    EXPECT_EQ(DosWrite(h, "ok", 2, &done), 0);  // the creator may still write
    DosClose(h);
    struct stat st;
    ASSERT_EQ(stat(dir.file("ro").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    ASSERT_EQ(DosOpen(dir.file("rw").c_str(), &h, nullptr, 0, 0x40, 0x11, 0x20C2, 0), 0);
    DosClose(h);
    ASSERT_EQ(stat(dir.file("rw").c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0200, 0u);
}

TEST(dos_open, access_of_the_mode_is_enforced)
{
    TempDir dir;
    dir.write("f", "data");
    unsigned long done = 9;
    char buf[8];
    HANDLE r = open_file(dir.file("f"), 0x01, 0x20C0);
    EXPECT_EQ(DosWrite(r, "x", 1, &done), 1);
    EXPECT_EQ(done, 0u);
    DosClose(r);
    HANDLE w = open_file(dir.file("f"), 0x01, 0x20C1);
    EXPECT_EQ(DosRead(w, buf, 4, &done), 1);
    DosClose(w);
    EXPECT_EQ(dir.read("f"), "data");
}

/* Positions, reading, writing, closing */

TEST(dos_file_ptr, moves_from_start_current_and_end)
{
    TempDir dir;
    dir.write("f", "0123456789abcdefghij");
    HANDLE h = open_file(dir.file("f"), 0x01, 0x20C0);
    long at = 0;
    EXPECT_EQ(DosChgFilePtr(h, 12, 0, &at), 0);
    EXPECT_EQ(at, 12);
    char c;
    unsigned long done = 0;
    EXPECT_EQ(DosRead(h, &c, 1, &done), 0);
    EXPECT_EQ(c, 'c');
    EXPECT_EQ(DosSetFilePtr(h, -3, 1, &at), 0);
    EXPECT_EQ(at, 10);
    EXPECT_EQ(DosChgFilePtr(h, -1, 2, &at), 0);
    EXPECT_EQ(at, 19);
    EXPECT_EQ(DosChgFilePtr(h, 100, 0, &at), 0);  // past the end is allowed
    EXPECT_EQ(at, 100);
    DosClose(h);
}

TEST(dos_file_ptr, impossible_moves_fail_with_all_ones)
{
    TempDir dir;
    dir.write("f", "0123");
    HANDLE h = open_file(dir.file("f"), 0x01, 0x20C0);
    long at = 0;
    EXPECT_EQ(DosChgFilePtr(h, -5, 0, &at), 1);
    EXPECT_EQ(at, -1);
    EXPECT_EQ(DosChgFilePtr(h, 1, 3, &at), 1);  // no such origin
    EXPECT_EQ(at, -1);
    EXPECT_EQ(DosChgFilePtr(h, 1L << 40, 0, &at), 1);  // beyond the 32-bit distance
    EXPECT_EQ(DosChgFilePtr(INVALID_HANDLE_VALUE, 0, 0, &at), 1);
    EXPECT_EQ(DosChgFilePtr(h, 2, 0, nullptr), 0);
    char c;
    unsigned long done;
    DosRead(h, &c, 1, &done);
    EXPECT_EQ(c, '2');  // the failed moves left the position alone
    DosClose(h);
}

TEST(dos_read, end_of_file_is_failure_with_nothing_read)
{
    TempDir dir;
    dir.write("f", "0814\r\n0101");
    HANDLE h = open_file(dir.file("f"), 0x01, 0x20C0);
    char buf[8] = "#######";
    unsigned long done = 99;
    DosChgFilePtr(h, 6, 0, nullptr);
    EXPECT_EQ(DosRead(h, buf, 6, &done), 0);
    EXPECT_EQ(done, 4u);
    EXPECT_EQ(std::string(buf, 7), "0101###");
    EXPECT_EQ(DosRead(h, buf, 6, &done), 1);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(DosRead(h, buf, 0, &done), 1);
    EXPECT_EQ(DosRead(h, buf, -4, &done), 1);
    EXPECT_EQ(DosClose(h), 0);
}

TEST(dos_write, writes_and_reports_the_count)
{
    TempDir dir;
    HANDLE h = open_file(dir.file("f"), 0x12, 0x2081);
    unsigned long done = 0;
    EXPECT_EQ(DosWrite(h, "hello", 5, &done), 0);
    EXPECT_EQ(done, 5u);
    EXPECT_EQ(DosWrite(h, "x", 0, &done), 1);
    EXPECT_EQ(done, 0u);
    DosClose(h);
    EXPECT_EQ(dir.read("f"), "hello");
}

TEST(dos_close, invalid_handle_fails)
{
    EXPECT_EQ(DosClose(INVALID_HANDLE_VALUE), 1);
    EXPECT_EQ(DosClose(nullptr), 1);
}

/* DosFgets */

class dos_fgets : public testing::Test {
protected:
    TempDir dir;
    HANDLE h = nullptr;
    char buf[100];
    HANDLE with(const std::string& bytes)
    {
        dir.write("f", bytes);
        std::memset(buf, '#', sizeof buf);
        h = open_file(dir.file("f"), 0x01, 0x20C0);
        return h;
    }
    void TearDown() override { DosClose(h); }
};

TEST_F(dos_fgets, crlf_line_and_the_next_starts_after_it)
{
    with("AB\r\nZ");
    EXPECT_EQ(DosFgets(buf, 80, h), 4);
    EXPECT_EQ(std::string(buf, 6), std::string("AB\r\n\0#", 6));
    EXPECT_EQ(DosFgets(buf, 80, h), 1);  // no CR: the bytes and a NUL
    EXPECT_EQ(std::string(buf, 2), std::string("Z\0", 2));
    EXPECT_EQ(DosFgets(buf, 80, h), 0);
}

TEST_F(dos_fgets, cr_without_lf_gets_one_and_the_next_line_starts_after_the_cr)
{
    with("AB\rX\r\n");
    EXPECT_EQ(DosFgets(buf, 80, h), 4);
    EXPECT_EQ(std::string(buf, 5), std::string("AB\r\n\0", 5));
    EXPECT_EQ(DosFgets(buf, 80, h), 3);
    EXPECT_EQ(std::string(buf, 4), std::string("X\r\n\0", 4));
}

TEST_F(dos_fgets, cr_as_last_byte_read_leaves_its_lf_for_the_next_line)
{
    with("AB\r\nCD\r\n");
    EXPECT_EQ(DosFgets(buf, 3, h), 4);
    EXPECT_EQ(std::string(buf, 5), std::string("AB\r\n\0", 5));
    EXPECT_EQ(DosFgets(buf, 80, h), 5);
    EXPECT_EQ(std::string(buf, 6), std::string("\nCD\r\n\0", 6));
}

TEST_F(dos_fgets, line_longer_than_the_count_comes_in_pieces)
{
    with("ABCDEFG\r\n");
    EXPECT_EQ(DosFgets(buf, 4, h), 4);
    EXPECT_EQ(std::string(buf, 6), std::string("ABCD\0#", 6));  // within count + 2
    EXPECT_EQ(DosFgets(buf, 4, h), 5);  // the CR came last: an LF is added
    EXPECT_EQ(std::string(buf, 7), std::string("EFG\r\n\0#", 7));
    EXPECT_EQ(DosFgets(buf, 0, h), 0);
    EXPECT_EQ(DosFgets(buf, 4, h), 1);
    EXPECT_EQ(std::string(buf, 2), std::string("\n\0", 2));
}

/* Dates and times */

class local_zone : public testing::Test {
protected:
    std::string saved;
    bool had = false;
    void use_zone(const char* tz)
    {
        setenv("TZ", tz, 1);
        tzset();
    }
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        had = tz != nullptr;
        if (had)
            saved = tz;
    }
    void TearDown() override
    {
        if (had)
            setenv("TZ", saved.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
};

TEST_F(local_zone, file_time_is_the_last_write_in_local_time)
{
    TempDir dir;
    dir.write("f", "x");
    struct timespec times[2] = {{0, 0}, {1070064005, 0}};  // 2003-11-29 00:00:05 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, dir.file("f").c_str(), times, 0), 0);
    char date[12], time[10];
    std::memset(date, '#', sizeof date);
    std::memset(time, '#', sizeof time);
    use_zone("JST-9");
    DosFileTime(dir.file("f").c_str(), date, time);
    EXPECT_EQ(std::string(date, 12), "2003/11/29##");
    EXPECT_EQ(std::string(time, 10), "09:00:05##");
    use_zone("HST10");  // ten hours behind: the day before
    DosFileTime(dir.file("f").c_str(), date, time);
    EXPECT_EQ(std::string(date, 10), "2003/11/28");
    EXPECT_EQ(std::string(time, 8), "14:00:05");
}

TEST(dos_file_time, missing_file_leaves_the_texts_alone)
{
    TempDir dir;
    char date[10], time[8];
    std::memset(date, '#', sizeof date);
    std::memset(time, '#', sizeof time);
    DosFileTime(dir.file("none").c_str(), date, time);
    EXPECT_EQ(std::string(date, 10), "##########");
    EXPECT_EQ(std::string(time, 8), "########");
}

// Runs this test program again under faketime with the clock held at
// `when`, running only `test`; returns what it printed.
static std::string run_at(const char* when, const char* test)
{
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "";
    self[n] = '\0';
    std::string cmd = std::string("ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 "
                                  "faketime -f '") + when + "' '" + self +
                      "' --gtest_also_run_disabled_tests --gtest_filter=" + test + " 2>&1";
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[256];
    while (p && fgets(buf, sizeof buf, p))
        out += buf;
    if (p)
        pclose(p);
    return out;
}

TEST(DISABLED_clock_child, print_date_time)
{
    char date[12], time[10];
    std::memset(date, '#', sizeof date);
    std::memset(time, '#', sizeof time);
    DosDateTime(date, time);
    std::printf("DATE[%.12s] TIME[%.10s]\n", date, time);
}

TEST(dos_date_time, writes_the_fixed_clock_and_nothing_after_it)
{
    std::string out = run_at("2003-11-29 00:00:05", "DISABLED_clock_child.print_date_time");
    EXPECT_NE(out.find("DATE[2003/11/29##] TIME[00:00:05##]"), std::string::npos) << out;
}

TEST(DISABLED_clock_child, log_twice)
{
    TempDir dir;
    DosLogFile(dir.file("log").c_str(), "first", 5);
    DosLogFile(dir.file("log").c_str(), "second record", 6);
    std::printf("LOG[%s]\n", dir.read("log").c_str());
}

TEST(dos_log_file, creates_with_a_dated_line_then_appends_records)
{
    std::string out = run_at("2003-07-05 09:04:30", "DISABLED_clock_child.log_twice");
    EXPECT_NE(out.find("LOG[TestLogFile 2003/07/05 09:04:30\r\nfirst\r\nsecond\r\n]"),
              std::string::npos)
        << out;
}

TEST(dos_log_file, appends_to_an_existing_file_without_a_new_first_line)
{
    TempDir dir;
    dir.write("log", "mine\r\n");
    EXPECT_EQ(DosLogFile(dir.file("log").c_str(), "abc", 3), 0);
    EXPECT_EQ(DosLogFile(dir.file("log").c_str(), "ignored", -1), 0);
    EXPECT_EQ(dir.read("log"), "mine\r\nabc\r\n\r\n");
}

TEST(dos_log_file, first_line_carries_todays_date)
{
    TempDir dir;
    char today[10], now[8];
    DosDateTime(today, now);
    DosLogFile(dir.file("log").c_str(), "r", 1);
    std::string log = dir.read("log");
    // "TestLogFile " 9999/99/99 99:99:99 CR LF "r" CR LF, 9 standing for any digit
    const std::string shape = "TestLogFile 9999/99/99 99:99:99\r\nr\r\n";
    ASSERT_EQ(log.size(), shape.size()) << log;
    for (size_t i = 0; i < shape.size(); i++)
        EXPECT_TRUE(shape[i] == '9' ? std::isdigit((unsigned char)log[i]) : log[i] == shape[i])
            << "byte " << i << " of " << log;
    EXPECT_EQ(log.substr(12, 10), std::string(today, 10));
}

TEST(dos_log_file, unwritable_place_writes_nothing_and_returns_0)
{
    TempDir dir;
    EXPECT_EQ(DosLogFile(dir.file("no/such/folder/log").c_str(), "r", 1), 0);
    EXPECT_EQ(DosLogFile(nullptr, "r", 1), 0);
}
