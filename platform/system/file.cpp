// Files and the clock on POSIX: open(2), lseek(2), read(2), write(2),
// fstat(2), renameat2(2), clock_gettime(2) and the C library's local time.
#include "platform/system/file.h"

#include <errno.h>
#include <stdio.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstring>

#include "platform/system/handle.h"

/* Handles */

HANDLE (*plat_comm_open)(const char* name, DWORD access) = nullptr;

PlatHandle* plat_handle(HANDLE handle)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return static_cast<PlatHandle*>(handle);
}

static BOOL file_read(PlatHandle* h, void* buffer, DWORD count, DWORD* done)
{
    ssize_t n;
    do
        n = read(h->fd, buffer, count);
    while (n < 0 && errno == EINTR);
    *done = n > 0 ? (DWORD)n : 0;
    return n >= 0;
}

static BOOL file_write(PlatHandle* h, const void* buffer, DWORD count, DWORD* done)
{
    const char* p = static_cast<const char*>(buffer);
    DWORD written = 0;
    while (written < count) {
        ssize_t n = write(h->fd, p + written, count - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += (DWORD)n;
    }
    *done = written;
    return written == count;
}

static BOOL file_close(PlatHandle* h)
{
    int r = close(h->fd);
    h->fd = -1;
    return r == 0 || errno == EINTR;  // after EINTR the descriptor is gone too
}

/* CreateFileA */

// "COM1".."COM9", also written "\\.\COM1", in any case: the serial ports.
static bool comm_name(const char* name, char port[5])
{
    if (std::strncmp(name, "\\\\.\\", 4) == 0)
        name += 4;
    if (std::strlen(name) != 4 || std::toupper((unsigned char)name[0]) != 'C' ||
        std::toupper((unsigned char)name[1]) != 'O' ||
        std::toupper((unsigned char)name[2]) != 'M' || name[3] < '1' || name[3] > '9')
        return false;
    std::memcpy(port, "COM", 3);
    port[3] = name[3];
    port[4] = '\0';
    return true;
}

// open(2) flags for the access and disposition, or -1 when Windows would
// refuse the combination.
static int open_flags(DWORD access, DWORD disposition)
{
    bool rd = access & GENERIC_READ, wr = access & (GENERIC_WRITE | FILE_APPEND_DATA);
    int flags = O_CLOEXEC | O_NOCTTY;
    if ((access & FILE_APPEND_DATA) && !(access & GENERIC_WRITE))
        flags |= O_APPEND;  // every write goes to the end, whoever else writes
    switch (disposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING:
        if (!wr)
            return -1;
        flags |= O_TRUNC;
        break;
    default: return -1;
    }
    if (rd && wr)
        return flags | O_RDWR;
    if (wr)
        return flags | O_WRONLY;
    if (rd || (flags & O_CREAT))
        return flags | O_RDONLY;
    return flags | O_PATH;  // no access: times and status only
}

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                   DWORD disposition, DWORD attributes, HANDLE)
{
    if (!name || !*name || (share & ~(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)))
        return INVALID_HANDLE_VALUE;
    char port[5];
    if (comm_name(name, port)) {
        if (plat_comm_open)
            return plat_comm_open(port, access);
        errno = ENOENT;
        return INVALID_HANDLE_VALUE;
    }

    int flags = open_flags(access, disposition);
    if (flags < 0)
        return INVALID_HANDLE_VALUE;
    mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    // Only regular files are files: a folder, a FIFO or a device named like
    // a file is refused. The open itself never waits (a FIFO without a
    // writer would block it); waiting is switched back on for the file.
    int fd;
    do
        fd = open(name, flags | O_NONBLOCK, mode);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    struct stat st;
    bool file = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!file || (!(flags & O_PATH) && fcntl(fd, F_SETFL, flags) != 0)) {
        close(fd);
        return INVALID_HANDLE_VALUE;
    }

    PlatHandle* h = new PlatHandle;
    h->fd = fd;
    h->read = file_read;
    h->write = file_write;
    h->close = file_close;
    return h;
}

/* Reading, writing, positioning, closing: every kind of handle */

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED)
{
    DWORD n = 0;
    PlatHandle* h = plat_handle(file);
    BOOL ok = h && h->read && (buffer || count == 0) ? h->read(h, buffer, count, &n) : FALSE;
    if (done)
        *done = n;
    return ok;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD count, LPDWORD done, LPOVERLAPPED)
{
    DWORD n = 0;
    PlatHandle* h = plat_handle(file);
    BOOL ok = h && h->write && (buffer || count == 0) ? h->write(h, buffer, count, &n) : FALSE;
    if (done)
        *done = n;
    return ok;
}

// Every handle is a PlatHandle made with new: its own close operation
// releases what it holds, then the handle itself goes.
BOOL CloseHandle(HANDLE handle)
{
    PlatHandle* h = plat_handle(handle);
    if (!h)
        return FALSE;
    BOOL ok = h->close ? h->close(h) : TRUE;
    delete h;
    return ok;
}

/* Locks: open file description locks (F_OFD_SETLK), so that two handles of
   one program exclude each other as handles of two programs do */

static BOOL set_lock(HANDLE file, short type, bool wait, DWORD low, DWORD high, LPOVERLAPPED at)
{
    PlatHandle* h = plat_handle(file);
    if (!h || h->fd < 0 || !at)
        return FALSE;
    struct flock range = {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = (off_t)((uint64_t)at->OffsetHigh << 32 | at->Offset);
    uint64_t bytes = (uint64_t)high << 32 | low;
    range.l_len = bytes > (uint64_t)INT64_MAX - range.l_start ? 0 : (off_t)bytes;  // 0: to the end
    int result;
    do
        result = fcntl(h->fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &range);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

BOOL LockFileEx(HANDLE file, DWORD flags, DWORD, DWORD bytes_low, DWORD bytes_high,
                LPOVERLAPPED at)
{
    return set_lock(file, (flags & LOCKFILE_EXCLUSIVE_LOCK) ? F_WRLCK : F_RDLCK,
                    !(flags & LOCKFILE_FAIL_IMMEDIATELY), bytes_low, bytes_high, at);
}

BOOL UnlockFileEx(HANDLE file, DWORD, DWORD bytes_low, DWORD bytes_high, LPOVERLAPPED at)
{
    return set_lock(file, F_UNLCK, false, bytes_low, bytes_high, at);
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG high, DWORD origin)
{
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    PlatHandle* h = plat_handle(file);
    if (!h || h->fd < 0 || origin > FILE_END)
        return INVALID_SET_FILE_POINTER;
    int64_t move = high ? (int64_t)(((uint64_t)(uint32_t)*high << 32) | (uint32_t)distance)
                        : (int64_t)distance;
    off_t at = lseek(h->fd, (off_t)move, whence[origin]);
    if (at < 0)
        return INVALID_SET_FILE_POINTER;
    if (high)
        *high = (LONG)((uint64_t)at >> 32);
    else if ((uint64_t)at >= INVALID_SET_FILE_POINTER)
        return INVALID_SET_FILE_POINTER;
    return (DWORD)at;
}

BOOL SetEndOfFile(HANDLE file)
{
    PlatHandle* h = plat_handle(file);
    off_t at = h && h->fd >= 0 ? lseek(h->fd, 0, SEEK_CUR) : -1;
    return at >= 0 && ftruncate(h->fd, at) == 0;
}

BOOL DeleteFileA(LPCSTR name)
{
    return name && unlink(name) == 0;
}

// Never replaces a file: where the new name exists the move fails. A file
// system that cannot rename without replacing gets a hard link instead.
BOOL MoveFileA(LPCSTR existing, LPCSTR new_name)
{
    if (!existing || !new_name)
        return FALSE;
    if (renameat2(AT_FDCWD, existing, AT_FDCWD, new_name, RENAME_NOREPLACE) == 0)
        return TRUE;
    if (errno != EINVAL || link(existing, new_name) != 0)
        return FALSE;
    unlink(existing);
    return TRUE;
}

/* Clock and file times */

static const int64_t TICKS_PER_SECOND = 10000000;        // FILETIME counts 100 ns
static const int64_t SECONDS_1601_TO_1970 = 11644473600;

static void set_filetime(FILETIME* out, int64_t ticks)
{
    out->dwLowDateTime = (DWORD)((uint64_t)ticks & 0xFFFFFFFFu);
    out->dwHighDateTime = (DWORD)((uint64_t)ticks >> 32);
}

static int64_t filetime_ticks(const FILETIME* t)
{
    return (int64_t)(((uint64_t)t->dwHighDateTime << 32) | t->dwLowDateTime);
}

// Times before 1601 are clamped to the start of the FILETIME count, times
// past its end (in the year 30828) to its last tick.
static void timespec_to_filetime(const struct timespec& ts, FILETIME* out)
{
    const int64_t last_second = INT64_MAX / TICKS_PER_SECOND - 1;
    int64_t seconds = (int64_t)ts.tv_sec;
    if (seconds > last_second - SECONDS_1601_TO_1970) {
        set_filetime(out, INT64_MAX);
        return;
    }
    seconds += SECONDS_1601_TO_1970;
    set_filetime(out, seconds < 0 ? 0 : seconds * TICKS_PER_SECOND + ts.tv_nsec / 100);
}

void GetLocalTime(LPSYSTEMTIME out)
{
    if (!out)
        return;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    tzset();  // follow a changed TZ
    struct tm tm;
    localtime_r(&now.tv_sec, &tm);
    out->wYear = (WORD)(tm.tm_year + 1900);
    out->wMonth = (WORD)(tm.tm_mon + 1);
    out->wDayOfWeek = (WORD)tm.tm_wday;
    out->wDay = (WORD)tm.tm_mday;
    out->wHour = (WORD)tm.tm_hour;
    out->wMinute = (WORD)tm.tm_min;
    out->wSecond = (WORD)tm.tm_sec;
    out->wMilliseconds = (WORD)(now.tv_nsec / 1000000);
}

BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME access, LPFILETIME write)
{
    PlatHandle* h = plat_handle(file);
    struct stat st;
    if (!h || h->fd < 0 || fstat(h->fd, &st) != 0)
        return FALSE;
    if (creation)
        timespec_to_filetime(st.st_ctim, creation);
    if (access)
        timespec_to_filetime(st.st_atim, access);
    if (write)
        timespec_to_filetime(st.st_mtim, write);
    return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local)
{
    if (!utc || !local)
        return FALSE;
    int64_t ticks = filetime_ticks(utc);
    if (ticks < 0)
        return FALSE;
    time_t seconds = (time_t)(ticks / TICKS_PER_SECOND - SECONDS_1601_TO_1970);
    tzset();
    struct tm tm;
    if (!localtime_r(&seconds, &tm))
        return FALSE;
    int64_t shift = (int64_t)tm.tm_gmtoff * TICKS_PER_SECOND;
    if ((shift > 0 && ticks > INT64_MAX - shift) || ticks + shift < 0)
        return FALSE;
    set_filetime(local, ticks + shift);
    return TRUE;
}

// Year, month and day of a count of days since 1 January 1970 (proleptic
// Gregorian), by the era method: 400-year eras of 146097 days, each year
// counted from 1 March so that the leap day comes last.
static void civil_from_days(int64_t days, int64_t* y, unsigned* m, unsigned* d)
{
    days += 719468;  // shift the epoch to 1 March of year 0
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    unsigned doe = (unsigned)(days - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = (int64_t)yoe + era * 400 + (*m <= 2);
}

BOOL FileTimeToSystemTime(const FILETIME* time, LPSYSTEMTIME out)
{
    if (!time || !out)
        return FALSE;
    int64_t ticks = filetime_ticks(time);
    if (ticks < 0)
        return FALSE;
    int64_t days = ticks / (TICKS_PER_SECOND * 86400);
    int64_t rest = ticks % (TICKS_PER_SECOND * 86400);
    int64_t year;
    unsigned month, day;
    civil_from_days(days - 134774, &year, &month, &day);  // 1601-01-01 is day -134774
    out->wYear = (WORD)year;
    out->wMonth = (WORD)month;
    out->wDay = (WORD)day;
    out->wDayOfWeek = (WORD)((days + 1) % 7);  // 1 January 1601 was a Monday
    out->wHour = (WORD)(rest / (TICKS_PER_SECOND * 3600));
    out->wMinute = (WORD)(rest / (TICKS_PER_SECOND * 60) % 60);
    out->wSecond = (WORD)(rest / TICKS_PER_SECOND % 60);
    out->wMilliseconds = (WORD)(rest / 10000 % 1000);
    return TRUE;
}

/* The system */

DWORD GetVersion(void)
{
    const DWORD major = 5, minor = 1, build = 2600;
    return major | minor << 8 | build << 16;
}
