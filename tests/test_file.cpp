// The platform's file calls, handles and time conversions.
#include <gtest/gtest.h>

#include <time.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/handle.h"
#include "tests/helpers/tempdir.h"

static uint64_t ticks(const FILETIME& t)
{
    return ((uint64_t)t.dwHighDateTime << 32) | t.dwLowDateTime;
}
static FILETIME from_unix(int64_t seconds, uint64_t extra = 0)
{
    uint64_t v = (uint64_t)(seconds + 11644473600LL) * 10000000ULL + extra;
    return {(DWORD)v, (DWORD)(v >> 32)};
}

static int calls;  // operations of the test's own kind of handle

TEST(handles, every_kind_reads_writes_and_closes_through_its_operations)
{
    calls = 0;
    PlatHandle* h = new PlatHandle;
    h->read = [](PlatHandle*, void*, DWORD, DWORD* done) -> BOOL { return calls += 1, *done = 1; };
    h->write = [](PlatHandle*, const void*, DWORD, DWORD* done) -> BOOL { return calls += 10, *done = 2; };
    h->close = [](PlatHandle*) -> BOOL { return calls += 100, TRUE; };
    char c;
    DWORD done = 0;
    EXPECT_TRUE(ReadFile(h, &c, 1, &done, nullptr));
    EXPECT_EQ(done, 1u);
    EXPECT_TRUE(WriteFile(h, "ab", 2, &done, nullptr));
    EXPECT_EQ(done, 2u);
    EXPECT_TRUE(CloseHandle(h));  // frees the handle too: a leak would fail under ASan
    EXPECT_EQ(calls, 111);
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

class zone : public testing::Test {
protected:
    void use(const char* tz) { setenv("TZ", tz, 1), tzset(); }
    void TearDown() override { unsetenv("TZ"), tzset(); }
};

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
