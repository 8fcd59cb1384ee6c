// Files that are not what they seem: holiday files that are FIFOs, devices
// or grids without line ends, logs shared by two writers or on a full disk,
// and file times past the year 9999.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "state/state.h"
#include "calendar/calendar.h"
#include "support/ghl3000.h"
#include "tests/helpers/tempdir.h"

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

// The table that the fixed grid of 6-byte records gives.
static std::vector<int> grid(const std::string& bytes)
{
    std::vector<int> out;
    for (size_t at = 0; out.size() < 100; at += 6)
        out.push_back(at < bytes.size() ? std::atoi(bytes.substr(at, 4).c_str()) : out.back());
    return out;
}

TEST(hostile_files, holiday_files_read_as_the_grid_and_only_from_regular_files)
{
    TempDir dir(true);
    std::mt19937 random(7);
    for (int records : {1, 40, 120}) {
        std::string file;
        for (int i = 0; i < 6 * records; i++)
            file += i % 6 < 4 ? "0123456789 +-"[random() % 13] : "X \t#0"[random() % 5];
        for (std::string bom : {"", "\xEF\xBB\xBF"}) {
            dir.write("HDAY1.DAT", bom + file);
            RKM_YHDAY_RED();
            EXPECT_EQ(std::vector<int>(iHday1, iHday1 + 100), grid(file)) << bom << file;
        }
    }
    for (bool fifo : {true, false}) {  // neither may hang the start
        unlink("HDAY1.DAT");
        ASSERT_EQ(fifo ? mkfifo("HDAY1.DAT", 0600) : symlink("/dev/zero", "HDAY1.DAT"), 0);
        EXPECT_TRUE(in_child([] { RKM_YHDAY_RED(); return iHday1[0] == 0; })) << fifo;
    }
}

// Whether every line of the log is its dated first line or `record`.
static bool whole_lines(const std::string& log, const std::string& record)
{
    size_t at = log.find("\r\n") + 2, end;
    for (; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2)
        if (log.substr(at, end - at) != record)
            return false;
    return log.rfind("TestLogFile ", 0) == 0 && at == log.size();
}

TEST(hostile_files, two_writers_lose_no_record_and_a_full_disk_leaves_no_torn_line)
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
}

TEST(hostile_files, file_times_past_the_year_9999_leave_the_buffers_untouched)
{
    std::string path = "/dev/shm/rkm_time_" + std::to_string(getpid());
    std::fclose(std::fopen(path.c_str(), "w"));
    for (time_t when : {(time_t)253402300800, (time_t)1000000000000}) {  // years 10000, 33658
        struct timespec times[2] = {{when, 0}, {when, 0}};
        struct stat st;
        if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0 || stat(path.c_str(), &st) != 0 ||
            st.st_mtime != when)
            continue;  // a file system that cannot hold this time
        char date[11] = "untouched!", time[9] = "as it is";
        DosFileTime(path.c_str(), date, time);
        EXPECT_EQ(std::string(date) + time, "untouched!as it is");
    }
    unlink(path.c_str());
}
