// Files, the clock and the log file of the support library, over the
// platform's file calls. Results: 0 success, 1 failure.
#include <cstdint>
#include <cstring>
#include <string>

#include "support/ghl3000.h"

namespace {

struct OpenAction {
    int code;
    DWORD disposition;
};
const OpenAction open_actions[] = {
    {0x00, OPEN_EXISTING}, {0x01, OPEN_EXISTING}, {0x02, TRUNCATE_EXISTING},
    {0x10, CREATE_NEW},    {0x11, OPEN_ALWAYS},   {0x12, CREATE_ALWAYS},
};

struct OpenMode {
    int code;
    DWORD access;
    DWORD share;
};
const OpenMode open_modes[] = {
    {0x2080, GENERIC_READ, FILE_SHARE_READ},
    {0x2081, GENERIC_WRITE, FILE_SHARE_READ},
    {0x2082, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ},
    {0x20C0, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE},
    {0x20C1, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE},
    {0x20C2, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE},
};

DWORD file_attribute(int code)
{
    switch (code) {
    case 0x01: return FILE_ATTRIBUTE_READONLY;
    case 0x02: return FILE_ATTRIBUTE_HIDDEN;
    case 0x04: return FILE_ATTRIBUTE_SYSTEM;
    case 0x20: return FILE_ATTRIBUTE_ARCHIVE;
    default: return FILE_ATTRIBUTE_NORMAL;
    }
}

enum { ACTION_MUST_EXIST = 0x01 };
enum { MODE_READ_SHARED = 0x20C0, MODE_READ_WRITE_SHARED = 0x20C2 };

// Date text YYYY/MM/DD and time text HH:MM:SS, zero-filled, unterminated.
void format_date_time(const SYSTEMTIME& t, char* date, char* time)
{
    int fields[6] = {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    BinToAscii("SI", 4, 0, "0100", &fields[0], date);
    date[4] = '/';
    BinToAscii("SI", 2, 0, "0100", &fields[1], date + 5);
    date[7] = '/';
    BinToAscii("SI", 2, 0, "0100", &fields[2], date + 8);
    BinToAscii("SI", 2, 0, "0100", &fields[3], time);
    time[2] = ':';
    BinToAscii("SI", 2, 0, "0100", &fields[4], time + 3);
    time[5] = ':';
    BinToAscii("SI", 2, 0, "0100", &fields[5], time + 6);
}

}  // namespace

// Opens `name` by the attribute, action and mode codes. An action or mode
// code outside the tables fails with 1 and opens nothing. The action out,
// size and reserved arguments play no part.
int DosOpen(const char* name, HANDLE* handle, long*, long, int attribute, int action_code,
            int mode, long)
{
    if (handle)
        *handle = INVALID_HANDLE_VALUE;
    const OpenAction* action = nullptr;
    for (const OpenAction& a : open_actions)
        if (a.code == action_code)
            action = &a;
    const OpenMode* access = nullptr;
    for (const OpenMode& m : open_modes)
        if (m.code == mode)
            access = &m;
    if (!handle || !action || !access)
        return 1;
    *handle = CreateFileA(name, access->access, access->share, nullptr, action->disposition,
                          file_attribute(attribute), nullptr);
    return *handle == INVALID_HANDLE_VALUE ? 1 : 0;
}

// Moves the position by `distance` from origin 0 (start), 1 (current) or
// 2 (end). A distance outside 32 bits, another origin or a position that
// would be negative or past 4 GiB fails with 1 and -1 as the position.
int DosChgFilePtr(HANDLE handle, long distance, unsigned long origin, long* position)
{
    DWORD at = INVALID_SET_FILE_POINTER;
    if (distance >= -2147483647L - 1 && distance <= 2147483647L && origin <= 2)
        at = SetFilePointer(handle, (LONG)distance, nullptr, (DWORD)origin);
    bool failed = at == INVALID_SET_FILE_POINTER;
    if (position)
        *position = failed ? -1L : (long)at;
    return failed ? 1 : 0;
}

int DosSetFilePtr(HANDLE handle, long distance, unsigned long origin, long* position)
{
    return DosChgFilePtr(handle, distance, origin, position);
}

// 0 when at least one byte was read; 1 at the end of the file, on an error
// and for a count below 1.
int DosRead(HANDLE handle, char* buffer, int count, unsigned long* done)
{
    DWORD n = 0;
    if (count > 0)
        ReadFile(handle, buffer, (DWORD)count, &n, nullptr);
    if (done)
        *done = n;
    return n == 0 ? 1 : 0;
}

int DosWrite(HANDLE handle, const char* buffer, int count, unsigned long* done)
{
    DWORD n = 0;
    if (count > 0)
        WriteFile(handle, buffer, (DWORD)count, &n, nullptr);
    if (done)
        *done = n;
    return n == 0 ? 1 : 0;
}

int DosClose(HANDLE handle)
{
    return CloseHandle(handle) ? 0 : 1;
}

// Reads the next line ending in CR into `buffer` (room for count + 2
// bytes): the line with CR LF and a NUL, and the file position just after
// it. A CR not followed by LF gets an LF in the buffer and the next line
// starts after the CR. Returns the line's length with its CR LF, 0 at the
// end of the file. When the bytes read hold no CR they are all taken, a
// NUL follows them, and their number is returned.
int DosFgets(char* buffer, int count, HANDLE handle)
{
    unsigned long n = 0;
    if (!buffer || DosRead(handle, buffer, count, &n) != 0)
        return 0;
    const char* cr = static_cast<const char*>(std::memchr(buffer, '\r', n));
    if (!cr) {
        buffer[n] = '\0';
        return (int)n;
    }
    long i = cr - buffer;
    long next = i + 1;  // where the next line starts
    if (next < (long)n && buffer[next] == '\n')
        next++;
    else
        buffer[i + 1] = '\n';
    buffer[i + 2] = '\0';
    DosChgFilePtr(handle, next - (long)n, 1, nullptr);
    return (int)(i + 2);
}

// Today's local date as YYYY/MM/DD and time as HH:MM:SS, unterminated.
void DosDateTime(char* date, char* time)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (date && time)
        format_date_time(now, date, time);
}

// The file's last-write time, local, as DosDateTime writes it. When the
// file cannot be opened, its time read, or its year written in four
// digits, date and time are left as they were.
void DosFileTime(const char* name, char* date, char* time)
{
    HANDLE h;
    if (!date || !time || DosOpen(name, &h, nullptr, 0, 0, ACTION_MUST_EXIST, MODE_READ_SHARED, 0))
        return;
    FILETIME written, local;
    BOOL ok = GetFileTime(h, nullptr, nullptr, &written);
    DosClose(h);
    SYSTEMTIME t;
    if (ok && FileTimeToLocalFileTime(&written, &local) && FileTimeToSystemTime(&local, &t) &&
        t.wYear <= 9999)  // a later year does not fit the four digits of the date
        format_date_time(t, date, time);
}

int DosFileOpen(const char* name, HANDLE* handle)
{
    return DosOpen(name, handle, nullptr, 0, 0, ACTION_MUST_EXIST, MODE_READ_WRITE_SHARED, 0);
}

// Writes `text` at the end of the log in one call, so that records of
// several writers never mix. A write cut short (disk full, file size limit)
// is taken back to where it began: the log never holds a torn line. The
// writers take turns (a lock on the whole log), so that taking a record back
// never cuts one another writer added meanwhile; where the file system has
// no locks, each writes as it comes.
static bool log_append(HANDLE h, const std::string& text)
{
    OVERLAPPED whole = {};
    BOOL locked = LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
    DWORD done = 0;
    bool written = WriteFile(h, text.data(), (DWORD)text.size(), &done, nullptr) &&
                   done == text.size();
    if (!written && done > 0) {
        int64_t back = -(int64_t)done;  // 64 bits: a log may be larger than 4 GiB
        LONG high = (LONG)(back >> 32);
        SetFilePointer(h, (LONG)(back & 0xFFFFFFFF), &high, FILE_CURRENT);
        SetEndOfFile(h);  // where the move failed, the file ends where it did
    }
    if (locked)
        UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &whole);
    return written;
}

static HANDLE log_open(const char* name, DWORD disposition)
{
    return CreateFileA(name, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

enum { LOG_WRITTEN = 0, LOG_FAILED = 1, LOG_EXISTS = 2 };

// Makes the log with `text`, its dated first line and first record, in one
// step: the text goes into a file of its own beside the log, which then
// takes the log's name unless another writer made the log meanwhile. So no
// writer ever sees a log without its first line.
static int log_create(const char* name, const std::string& text)
{
    std::string temp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int i = 0; i < 10 && h == INVALID_HANDLE_VALUE; i++) {
        temp = std::string(name) + ".new" + std::to_string(i);
        h = log_open(temp.c_str(), CREATE_NEW);
    }
    if (h == INVALID_HANDLE_VALUE)
        return LOG_FAILED;
    bool written = log_append(h, text);
    CloseHandle(h);
    int made = !written ? LOG_FAILED : MoveFileA(temp.c_str(), name) ? LOG_WRITTEN : LOG_EXISTS;
    if (made != LOG_WRITTEN)
        DeleteFileA(temp.c_str());
    return made;
}

// Appends the record's `length` bytes and CR LF to the log file, creating
// it with a dated first line when it does not exist. A length below 0
// counts as 0. Returns 0 when the record was written, 1 when it was not.
int DosLogFile(const char* name, const char* record, int length)
{
    if (!name)
        return LOG_FAILED;
    std::string text;
    if (record && length > 0)
        text.assign(record, (size_t)length);
    text += "\r\n";
    HANDLE h = log_open(name, OPEN_EXISTING);
    if (h == INVALID_HANDLE_VALUE) {
        char line[] = "TestLogFile 2000/12/07 10:10:10\r\n";
        DosDateTime(line + 12, line + 23);
        int made = log_create(name, line + text);
        if (made != LOG_EXISTS)
            return made;
        h = log_open(name, OPEN_EXISTING);
        if (h == INVALID_HANDLE_VALUE)
            return LOG_FAILED;
    }
    bool written = log_append(h, text);
    CloseHandle(h);
    return written ? LOG_WRITTEN : LOG_FAILED;
}
