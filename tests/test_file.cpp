// The platform's file calls, handles and time conversions.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/file.h"
#include "platform/handle.h"
#include "tests/helpers/tempdir.h"

static uint64_t ticks(const FILETIME& t)
{
    return ((uint64_t)t.dwHighDateTime << 32) | t.dwLowDateTime;
}
static FILETIME filetime(uint64_t v)
{
    return {(DWORD)v, (DWORD)(v >> 32)};
}
static uint64_t unix_to_ticks(int64_t seconds)
{
    return (uint64_t)(seconds + 11644473600LL) * 10000000ULL;
}

/* Handles of every kind go through their own operations */

struct FakeDevice {
    int reads = 0, writes = 0, closes = 0;
};
static FakeDevice fake;

TEST(handles, read_write_and_close_act_through_the_kinds_operations)
{
    fake = {};
    PlatHandle* h = new PlatHandle;
    h->read = [](PlatHandle*, void* b, DWORD n, DWORD* done) -> BOOL {
        fake.reads++;
        static_cast<char*>(b)[0] = 'k';
        *done = n ? 1 : 0;
        return TRUE;
    };
    h->write = [](PlatHandle*, const void*, DWORD n, DWORD* done) -> BOOL {
        fake.writes++;
        *done = n;
        return TRUE;
    };
    h->close = [](PlatHandle*) -> BOOL {
        fake.closes++;
        return TRUE;
    };
    char c = 0;
    DWORD done = 0;
    EXPECT_TRUE(ReadFile(h, &c, 5, &done, nullptr));
    EXPECT_EQ(c, 'k');
    EXPECT_EQ(done, 1u);
    EXPECT_TRUE(WriteFile(h, "abc", 3, &done, nullptr));
    EXPECT_EQ(done, 3u);
    EXPECT_TRUE(CloseHandle(h));  // also frees the PlatHandle (checked by ASan)
    EXPECT_EQ(fake.reads, 1);
    EXPECT_EQ(fake.writes, 1);
    EXPECT_EQ(fake.closes, 1);
}

TEST(handles, no_handle_is_refused_everywhere)
{
    DWORD done = 7;
    char c;
    for (HANDLE h : {INVALID_HANDLE_VALUE, (HANDLE) nullptr}) {
        EXPECT_EQ(plat_handle(h), nullptr);
        EXPECT_FALSE(ReadFile(h, &c, 1, &done, nullptr));
        EXPECT_EQ(done, 0u);
        EXPECT_FALSE(WriteFile(h, "x", 1, &done, nullptr));
        EXPECT_FALSE(CloseHandle(h));
        EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        FILETIME t;
        EXPECT_FALSE(GetFileTime(h, nullptr, nullptr, &t));
    }
}

/* CreateFileA */

TEST(create_file, serial_port_names_never_become_files)
{
    TempDir dir(true);
    for (const char* name : {"COM1", "com9", "\\\\.\\COM3"}) {
        HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0,
                               nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        EXPECT_EQ(dir.read(name), "<missing>") << name;
    }
    // COM0 and COM10 are ordinary file names
    HANDLE h = CreateFileA("COM10", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_EQ(dir.read("COM10"), "");
}

TEST(create_file, refuses_folders_bad_codes_and_empty_names)
{
    TempDir dir;
    auto open = [](const char* name, DWORD access, DWORD share, DWORD disp) {
        HANDLE h = CreateFileA(name, access, share, nullptr, disp, 0, nullptr);
        bool ok = h != INVALID_HANDLE_VALUE;
        if (ok)
            CloseHandle(h);
        return ok;
    };
    std::string f = dir.file("f");
    EXPECT_FALSE(open(dir.path().c_str(), GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_FALSE(open("", GENERIC_READ, 0, OPEN_ALWAYS));
    EXPECT_FALSE(open(nullptr, GENERIC_READ, 0, OPEN_ALWAYS));
    EXPECT_FALSE(open(f.c_str(), GENERIC_READ, 0, 0));
    EXPECT_FALSE(open(f.c_str(), GENERIC_READ, 0, 6));
    EXPECT_FALSE(open(f.c_str(), GENERIC_READ, 0x10, OPEN_ALWAYS));
    EXPECT_EQ(dir.read("f"), "<missing>");
    dir.write("f", "abc");
    EXPECT_FALSE(open(f.c_str(), GENERIC_READ, 0, TRUNCATE_EXISTING));  // needs write access
    EXPECT_EQ(dir.read("f"), "abc");
    EXPECT_TRUE(open(f.c_str(), 0, 0, OPEN_EXISTING));  // status only
    EXPECT_TRUE(open(f.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
}

TEST(create_file, sharing_is_not_enforced)
{
    TempDir dir;
    std::string f = dir.file("f");
    HANDLE a = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    HANDLE b = CreateFileA(f.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           0, nullptr);
    EXPECT_NE(a, INVALID_HANDLE_VALUE);
    EXPECT_NE(b, INVALID_HANDLE_VALUE);
    CloseHandle(a);
    CloseHandle(b);
}

/* SetFilePointer */

TEST(set_file_pointer, positions_beyond_32_bits_need_the_high_half)
{
    TempDir dir;
    HANDLE h = CreateFileA(dir.file("f").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(h, 0x10, &high, FILE_BEGIN), 0x10u);
    EXPECT_EQ(high, 1);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    high = -1;  // back by 4 GiB
    EXPECT_EQ(SetFilePointer(h, 0, &high, FILE_CURRENT), 0x10u);
    EXPECT_EQ(high, 0);
    EXPECT_EQ(SetFilePointer(h, -0x11, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, 3), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 0x10u);
    CloseHandle(h);
}

/* Times */

TEST(file_time, system_time_of_known_instants)
{
    SYSTEMTIME s;
    FILETIME zero = filetime(0);
    ASSERT_TRUE(FileTimeToSystemTime(&zero, &s));
    EXPECT_EQ(s.wYear, 1601);
    EXPECT_EQ(s.wMonth, 1);
    EXPECT_EQ(s.wDay, 1);
    EXPECT_EQ(s.wDayOfWeek, 1);  // Monday

    FILETIME t = filetime(unix_to_ticks(951782400) + 1234567);  // 2000-02-29 00:00:00.1234567
    ASSERT_TRUE(FileTimeToSystemTime(&t, &s));
    EXPECT_EQ(s.wYear, 2000);
    EXPECT_EQ(s.wMonth, 2);
    EXPECT_EQ(s.wDay, 29);
    EXPECT_EQ(s.wDayOfWeek, 2);  // Tuesday
    EXPECT_EQ(s.wHour, 0);
    EXPECT_EQ(s.wMilliseconds, 123);

    t = filetime(unix_to_ticks(4107542399));  // 2100-02-28 23:59:59, no leap day
    ASSERT_TRUE(FileTimeToSystemTime(&t, &s));
    EXPECT_EQ(s.wMonth, 2);
    EXPECT_EQ(s.wDay, 28);
    EXPECT_EQ(s.wHour, 23);
    EXPECT_EQ(s.wMinute, 59);
    EXPECT_EQ(s.wSecond, 59);
    t = filetime(unix_to_ticks(4107542400));
    ASSERT_TRUE(FileTimeToSystemTime(&t, &s));
    EXPECT_EQ(s.wMonth, 3);
    EXPECT_EQ(s.wDay, 1);

    t = filetime(0x7FFFFFFFFFFFFFFFULL);
    ASSERT_TRUE(FileTimeToSystemTime(&t, &s));
    EXPECT_EQ(s.wYear, 30828);
    t = filetime(0x8000000000000000ULL);
    EXPECT_FALSE(FileTimeToSystemTime(&t, &s));
}

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

TEST_F(zone, local_file_time_adds_the_offset_in_force_at_that_instant)
{
    FILETIME winter = filetime(unix_to_ticks(1073001600));  // 2004-01-02 00:00 UTC
    FILETIME summer = filetime(unix_to_ticks(1088726400));  // 2004-07-02 00:00 UTC
    FILETIME local;
    use("JST-9");
    ASSERT_TRUE(FileTimeToLocalFileTime(&winter, &local));
    EXPECT_EQ(ticks(local) - ticks(winter), 9 * 3600 * 10000000ULL);
    use("CET-1CEST,M3.5.0,M10.5.0/3");
    ASSERT_TRUE(FileTimeToLocalFileTime(&winter, &local));
    EXPECT_EQ(ticks(local) - ticks(winter), 1 * 3600 * 10000000ULL);
    ASSERT_TRUE(FileTimeToLocalFileTime(&summer, &local));
    EXPECT_EQ(ticks(local) - ticks(summer), 2 * 3600 * 10000000ULL);
    use("HST10");
    FILETIME early = filetime(3600ULL * 10000000);  // one hour after the start of 1601
    EXPECT_FALSE(FileTimeToLocalFileTime(&early, &local));
}

TEST_F(zone, local_time_follows_the_time_zone)
{
    for (int attempt = 0; attempt < 3; attempt++) {
        use("UTC0");
        SYSTEMTIME utc, tokyo;
        GetLocalTime(&utc);
        use("JST-9");
        GetLocalTime(&tokyo);
        if (utc.wSecond != tokyo.wSecond)
            continue;  // a second passed between the two readings
        EXPECT_EQ(tokyo.wHour, (utc.wHour + 9) % 24);
        EXPECT_EQ(tokyo.wMinute, utc.wMinute);
        time_t now = time(nullptr);
        struct tm tm;
        gmtime_r(&now, &tm);
        EXPECT_EQ(utc.wYear, tm.tm_year + 1900);
        EXPECT_EQ(utc.wDayOfWeek, tm.tm_wday);
        return;
    }
    FAIL() << "clock kept ticking over a second";
}

TEST(file_time, write_time_is_the_files_modification_time)
{
    TempDir dir;
    dir.write("f", "x");
    struct timespec times[2] = {{0, 0}, {1070064005, 250000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, dir.file("f").c_str(), times, 0), 0);
    HANDLE h = CreateFileA(dir.file("f").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME created, accessed, written;
    ASSERT_TRUE(GetFileTime(h, &created, &accessed, &written));
    EXPECT_EQ(ticks(written), unix_to_ticks(1070064005) + 2500000);
    EXPECT_EQ(ticks(accessed), unix_to_ticks(0));
    EXPECT_GT(ticks(created), unix_to_ticks(1070064005));  // status changed just now
    CloseHandle(h);
}
