// The support library's files, clock and log, the platform's file calls and times beneath them,
// and files that are not what they seem: FIFOs, endless devices, grids without line ends, full disks.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstring>
#include <random>

#include "calendar/calendar.h"
#include "platform/system/file.h"
#include "state/state.h"
#include "support/ghl3000.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/tempdir.h"

// Result and content after for each action code, on the file "keep" and on no file.
TEST(dos_open, action_codes_open_create_or_cut_and_others_open_nothing)
{
    struct { int action, on_file; const char* after; int on_none; } cases[] = {
        {0x00, 0, "keep", 1}, {0x01, 0, "keep", 1}, {0x02, 0, "", 1}, {0x10, 1, "keep", 0}, {0x11, 0, "keep", 0},
        {0x12, 0, "", 0},     {0x03, 1, "keep", 1}, {0x13, 1, "keep", 1}, {-1, 1, "keep", 1}};
    for (auto& c : cases)
        for (bool exists : {true, false}) {
            TempDir dir;
            if (exists)
                dir.write("f", "keep");
            HANDLE h = nullptr;
            int result = exists ? c.on_file : c.on_none;
            EXPECT_EQ(DosOpen(dir.file("f").c_str(), &h, nullptr, 0, 0, c.action, 0x20C2, 0), result) << c.action << exists;
            EXPECT_EQ(h == INVALID_HANDLE_VALUE, result == 1);
            EXPECT_EQ(DosClose(h), result);
            EXPECT_EQ(dir.read("f"), exists ? c.after : result ? "<missing>" : "") << c.action << exists;
        }
    TempDir dir;
    HANDLE h = nullptr;
    for (int mode : {0x2083, 0x20C3, 0x0080, -1})
        EXPECT_EQ(DosOpen(dir.file("f").c_str(), &h, nullptr, 0, 0, 0x11, mode, 0), 1) << mode;
    EXPECT_EQ(dir.read("f"), "<missing>");
}

TEST(dos_file_ptr, moves_reads_writes_and_refusals)
{
    TempDir dir;
    HANDLE h = nullptr;
    ASSERT_EQ(DosFileOpen(dir.write("f", "0123456789abcdef").c_str(), &h), 0);
    char buf[8] = "#######";
    unsigned long done = 0;
    auto moves = [&](std::initializer_list<std::pair<long, int>> list) {  // "result@position " of each
        std::string out;
        for (auto [distance, origin] : list) {
            long at = 7;
            int r = (origin == 1 ? DosSetFilePtr : DosChgFilePtr)(h, distance, origin, &at);
            out += std::to_string(r) + "@" + std::to_string(at) + " ";
        }
        return out;
    };
    EXPECT_EQ(moves({{12, 0}}), "0@12 ");
    EXPECT_EQ(DosRead(h, buf, 6, &done), 0);  // 4 remain
    EXPECT_EQ(std::string(buf, 7) + std::to_string(done), "cdef###4");
    EXPECT_EQ(DosRead(h, buf, 6, &done), 1);  // end of file
    EXPECT_EQ(done, 0u);
    // before 0, past 32 bits and no origin are refused and leave the position alone
    EXPECT_EQ(moves({{-3, 1}, {-1, 2}, {-16, 1}, {1L << 40, 1}, {0, 3}}), "0@13 0@15 1@-1 1@-1 1@-1 ");
    EXPECT_EQ(DosRead(h, buf, 1, &done), 0);
    EXPECT_EQ(buf[0], 'f');
    EXPECT_EQ(DosRead(h, buf, -4, &done), 1);
    EXPECT_EQ(DosWrite(h, "!", 1, &done), 0);
    EXPECT_EQ(DosWrite(h, "x", 0, &done), 1);  // nothing to write
    EXPECT_EQ(DosClose(h), 0);
    EXPECT_EQ(dir.read("f"), "0123456789abcdef!");
    h = INVALID_HANDLE_VALUE;
    EXPECT_EQ(moves({{0, 0}}), "1@-1 ");
    EXPECT_EQ(DosFileOpen(dir.file("none").c_str(), &h), 1);
}

// Every line DosFgets gives with `count`, as "length[bytes with the NUL]", CR LF NUL shown as R N |.
static std::string lines(const std::string& bytes, int count)
{
    TempDir dir;
    HANDLE h = nullptr;
    DosFileOpen(dir.write("f", bytes).c_str(), &h);
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

// Sets the time zone; nullptr goes back to the system's.
static void zone(const char* tz)
{
    tz ? setenv("TZ", tz, 1) : unsetenv("TZ");
    tzset();
}

// In the offset in force at the instant written (winter or summer); years past 9999 leave the texts alone.
TEST(dos_file_time, last_write_in_local_time_and_years_past_9999_leave_it_alone)
{
    const char* cet = "CET-1CEST,M3.5.0,M10.5.0/3";
    const struct { time_t when; const char* tz; const char* shown; } cases[] = {
        {1070064005, "JST-9", "2003/11/29#\0" "09:00:05#\0"},  // 2003-11-29 00:00:05 UTC
        {1073001600, cet, "2004/01/02#\0" "01:00:00#\0"}, {1088726400, cet, "2004/07/02#\0" "02:00:00#\0"},
        {1070064005, "HST10", "2003/11/28#\0" "14:00:05#\0"},
        {253402300800, "JST-9", "2003/11/28#\0" "14:00:05#\0"},  // the years 10000 and 33658
        {1000000000000, "JST-9", "2003/11/28#\0" "14:00:05#\0"}};
    std::string path = "/dev/shm/rkm_time_" + std::to_string(getpid());  // holds times past 9999
    std::fclose(std::fopen(path.c_str(), "w"));
    char date[12] = "###########", time[10] = "#########";
    for (auto& c : cases) {
        struct timespec times[2] = {{0, 0}, {c.when, 0}};
        struct stat st;
        if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0 || stat(path.c_str(), &st) != 0 || st.st_mtime != c.when) {
            EXPECT_GT(c.when, 253402300799) << "a file system that cannot hold this time";
            continue;
        }
        zone(c.tz);
        DosFileTime(path.c_str(), date, time);
        EXPECT_EQ(std::string(date, 12) + std::string(time, 10), std::string(c.shown, 22)) << c.when;
    }
    DosFileTime("/nonexistent/file", date, time);  // left alone
    EXPECT_EQ(std::string(date, 10) + std::string(time, 8), "2003/11/2814:00:05");
    unlink(path.c_str());
    zone(nullptr);
}

// DosDateTime and a new log's dated first line against strftime of the clock.
TEST(dos_clock, date_time_and_a_new_logs_first_line_read_the_clock)
{
    TempDir dir;
    char date[12] = "###########", time[10] = "#########", want[32];
    std::string log;
    zone("JST-9");  // local time, not UTC
    for (time_t now = 0; now != std::time(nullptr);) {  // again when the second turned meanwhile
        now = std::time(nullptr);
        std::remove(dir.file("log").c_str());
        DosDateTime(date, time);
        DosLogFile(dir.file("log").c_str(), "first record", 5);
        log = dir.read("log");
        std::strftime(want, sizeof want, "%Y/%m/%d %H:%M:%S", std::localtime(&now));
    }
    EXPECT_EQ(std::string(date, 12) + std::string(time, 10), std::string(want, 10) + "#" + '\0' + (want + 11) + "#" + '\0');
    EXPECT_EQ(log, "TestLogFile " + std::string(want) + "\r\nfirst\r\n");
    zone(nullptr);
}

// System times of instants of every size, from 1601 to FILETIME's last, against gmtime.
TEST(file_time, system_time_agrees_with_gmtime)
{
    std::mt19937_64 random(1);
    for (int i = 0; i < 3000; i++) {
        uint64_t v = i == 0 ? 0 : i == 1 ? INT64_MAX : random() % (1ULL << (20 + i % 43));
        FILETIME t = {(DWORD)v, (DWORD)(v >> 32)};
        SYSTEMTIME s;
        ASSERT_TRUE(FileTimeToSystemTime(&t, &s));
        time_t seconds = (time_t)(v / 10000000) - 11644473600LL;
        struct tm g;
        ASSERT_TRUE(gmtime_r(&seconds, &g));
        ASSERT_EQ(std::vector<int>({s.wYear, s.wMonth, s.wDay, s.wDayOfWeek, s.wHour, s.wMinute, s.wSecond,
                                    s.wMilliseconds}),
                  std::vector<int>({g.tm_year + 1900, g.tm_mon + 1, g.tm_mday, g.tm_wday, g.tm_hour, g.tm_min,
                                    g.tm_sec, int(v / 10000 % 1000)}))
            << v;
    }
    FILETIME too_late = {0, 0x80000000}, early = {36000000, 0}, local;
    SYSTEMTIME s;
    EXPECT_FALSE(FileTimeToSystemTime(&too_late, &s));
    zone("HST10");
    EXPECT_FALSE(FileTimeToLocalFileTime(&early, &local)) << "it would fall before 1601";
    zone(nullptr);
}

/* Hostile files */

// Runs `body` in a child process: true when it returned true within 20 s.
template <typename F>
static bool in_child(F body)
{
    pid_t pid = fork();
    if (pid == 0) {
        alarm(20);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(hostile_files, holiday_files_read_as_the_grid_and_only_from_regular_files)
{
    TempDir dir(true);
    std::mt19937 random(7);
    for (int records : {1, 40, 100, 120})
        for (int ends = 0; ends < 3; ends++) {  // records end in 2 bytes of any kind, CR LF, or CR LF but the last
            std::string file;  // 6-byte records of a number in 4 places and 2 more bytes
            for (int i = 0; i < 6 * records; i++)
                file += i % 6 < 4 ? "0123456789 +-"[random() % 13] : ends ? "\r\n"[i % 6 - 4] : "X \t#0"[random() % 5];
            file.resize(file.size() - (ends == 2 ? 2 : 0));
            std::vector<int> grid;  // the table the grid gives; the last record fills the rest
            for (size_t at = 0; grid.size() < 100; at += 6)
                grid.push_back(at < file.size() ? std::atoi(file.substr(at, 4).c_str()) : grid.back());
            for (std::string bom : {"", "\xEF\xBB\xBF"}) {
                dir.write("HDAY1.DAT", bom + file);
                RKM_YHDAY_RED();
                EXPECT_EQ(std::vector<int>(iHday1, iHday1 + 100), grid) << bom << file;
            }
        }
    for (bool fifo : {true, false}) {  // neither may hang the start
        unlink("HDAY1.DAT");
        ASSERT_EQ(fifo ? mkfifo("HDAY1.DAT", 0600) : symlink("/dev/zero", "HDAY1.DAT"), 0);
        EXPECT_TRUE(in_child([] { RKM_YHDAY_RED(); return iHday1[0] == 0; })) << fifo;
    }
}

// Whether the log is its dated first line and then whole lines of `record`.
static bool whole_lines(const std::string& log, const std::string& record)
{
    size_t at = log.find("\r\n") + 2, end;
    for (; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2)
        if (log.substr(at, end - at) != record)
            return false;
    return log.rfind("TestLogFile ", 0) == 0 && at == log.size();
}

TEST(hostile_files, logs_lose_no_record_and_keep_no_torn_line)
{
    TempDir dir;
    std::string log = dir.file("log"), record = "record of two writers";
    auto writer = [&] {
        for (int i = 0; i < 2000; i++)
            DosLogFile(log.c_str(), record.c_str(), (int)record.size());
        return true;
    };
    pid_t other = fork();
    if (other == 0)
        _exit(writer() ? 0 : 1);
    writer();
    waitpid(other, nullptr, 0);
    EXPECT_TRUE(whole_lines(dir.read("log"), record));
    EXPECT_EQ(dir.read("log").size(), 33 + 4000 * (record.size() + 2));

    // A file size limit stands in for a full disk: 100 bytes, then 20.
    for (long limit : {100L, 20L}) {
        std::string name = "small" + std::to_string(limit), small = dir.file(name);
        EXPECT_TRUE(in_child([&] {
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit rl = {(rlim_t)limit, (rlim_t)limit};
            setrlimit(RLIMIT_FSIZE, &rl);
            int refused = 0;
            for (int i = 0; i < 10; i++)
                refused += DosLogFile(small.c_str(), "0123456789", 10);
            return refused > 0;
        }));
        std::string kept = dir.read(name);
        EXPECT_TRUE(limit == 20 ? kept == "<missing>" : whole_lines(kept, "0123456789")) << kept;
    }

    // Writers that cannot finish a record (a file size limit just past the
    // log's end) take it back while three others append: no whole record is
    // cut, and none of the makers of a new log leaves a file of its own.
    std::string shared = dir.file("shared");
    std::vector<pid_t> writers;
    int start[2];  // the writers start together once it closes
    ASSERT_EQ(pipe(start), 0);
    for (int k = 0; k < 6; k++)
        if ((writers.emplace_back(fork())) == 0) {
            char go;
            close(start[1]);
            (void)!read(start[0], &go, 1);
            signal(SIGXFSZ, SIG_IGN);
            for (int i = 0; i < 4000; i++) {
                struct stat st;
                struct rlimit rl = {RLIM_INFINITY, RLIM_INFINITY};
                if (k >= 3 && stat(shared.c_str(), &st) == 0)
                    rl.rlim_cur = st.st_size + 9;
                setrlimit(RLIMIT_FSIZE, &rl);
                std::string r = (k < 3 ? "whole " : "cut ") + std::to_string(k * 10000 + i);
                if (DosLogFile(shared.c_str(), r.c_str(), (int)r.size()) != 0 && k < 3)
                    _exit(1);
            }
            _exit(0);
        }
    close(start[0]);
    close(start[1]);
    int statuses = 0;
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        statuses += WIFEXITED(status) ? WEXITSTATUS(status) : 100;
    }
    EXPECT_EQ(statuses, 0);
    std::string kept = dir.read("shared");
    std::vector<std::string> lines;
    for (size_t at = kept.find("\r\n") + 2, end; (end = kept.find("\r\n", at)) != kept.npos; at = end + 2)
        lines.push_back(kept.substr(at, end - at));
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> whole;
    for (int i = 0; i < 12000; i++)
        whole.push_back("whole " + std::to_string(i / 4000 * 10000 + i % 4000));
    std::sort(whole.begin(), whole.end());
    auto whole_cut = [](const std::string& l) {  // a record of a cut writer that went in whole
        return l.rfind("cut ", 0) == 0 && l.find_first_not_of("0123456789", 4) == l.npos;
    };
    lines.erase(std::remove_if(lines.begin(), lines.end(), whole_cut), lines.end());
    EXPECT_EQ(lines, whole);
    for (const std::string& name : files_in(dir.path()))
        EXPECT_EQ(name.find(".new"), name.npos) << "left by the log's creation";
    EXPECT_TRUE(kept.size() > 2 && kept.substr(kept.size() - 2) == "\r\n");

    // A log of another program's is appended to as it is; a record of length
    // below 0 is an empty line; no folder or no name writes nothing.
    dir.write("old", "mine\r\n");
    EXPECT_EQ(DosLogFile(dir.file("old").c_str(), "abc", 3), 0);
    EXPECT_EQ(DosLogFile(dir.file("old").c_str(), "x", -1), 0);
    EXPECT_EQ(dir.read("old"), "mine\r\nabc\r\n\r\n");
    EXPECT_EQ(DosLogFile(dir.file("no/such/folder/log").c_str(), "r", 1) + DosLogFile(nullptr, "r", 1), 2);
}
