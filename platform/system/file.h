// Files and the clock of the platform layer, on POSIX.
//
//   CreateFileA  SetFilePointer  ReadFile  WriteFile  CloseHandle
//   SetEndOfFile  DeleteFileA  MoveFileA  LockFileEx  UnlockFileEx
//   GetLocalTime  GetFileTime  FileTimeToLocalFileTime  FileTimeToSystemTime
//   GetVersion
//
// A file handle is an open file descriptor of a regular file (folders,
// FIFOs and devices are refused, and opening never waits); CreateFileA
// hands the names COM1 to COM9 to the serial ports instead. ReadFile, WriteFile and
// CloseHandle work on every kind of handle. A handle must not be used after
// CloseHandle.
//
// Sharing modes: Linux has no mandatory sharing, only advisory locks that
// other programs are free to ignore, so FILE_SHARE_* is checked for valid
// bits and otherwise not enforced: a file opened here can be opened, read
// and written by this and other processes whatever the sharing mode.
//
// File attributes: FILE_ATTRIBUTE_READONLY on a file that CreateFileA
// creates makes it read-only for later openers (mode 0444 before the
// umask), as on Windows the handle that created it may still write. The
// other attributes have no meaning here and are accepted and ignored.
//
// Times: GetFileTime gives the last-write time (st_mtime), the last access
// (st_atime) and, as creation time, the last status change (st_ctime),
// since Linux keeps no creation time in its file status.
#pragma once

#include <string>
#include <vector>

#include "platform/windef.h"

// Overlapped I/O is not supported: ReadFile and WriteFile take null. The
// lock calls read the range's start from Offset and OffsetHigh.
struct OVERLAPPED {
    uintptr_t Internal;
    uintptr_t InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};
typedef OVERLAPPED* LPOVERLAPPED;
struct SECURITY_ATTRIBUTES;  // ignored
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
typedef LONG* PLONG;
typedef SYSTEMTIME* LPSYSTEMTIME;
typedef FILETIME* LPFILETIME;

/* Access rights */
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_APPEND_DATA 0x00000004u  // alone: every write goes to the end of the file

/* Sharing */
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

/* Creation dispositions */
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

/* Locks */
#define LOCKFILE_FAIL_IMMEDIATELY 0x00000001u
#define LOCKFILE_EXCLUSIVE_LOCK 0x00000002u
#ifndef MAXDWORD
#define MAXDWORD 0xFFFFFFFFu
#endif

/* Attributes */
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u

/* File pointer origins */
#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu

/* Files */
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD attributes, HANDLE template_file);
// New position (low 32 bits when `high` is given, which then takes the high
// half of the distance in and of the position out), or
// INVALID_SET_FILE_POINTER when the position would be negative, the handle
// cannot seek, or (without `high`) the position does not fit in 32 bits.
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG high, DWORD origin);
// Synchronous; `done` may be null. A read at the end of a file succeeds
// with 0 bytes; a read of a regular file returns as many bytes as it holds
// up to `count`, a write writes them all or fails.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD count, LPDWORD done,
               LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE handle);
BOOL SetEndOfFile(HANDLE file);  // the file ends at the current position
BOOL DeleteFileA(LPCSTR name);
BOOL MoveFileA(LPCSTR existing, LPCSTR new_name);  // fails where new_name exists

/* Locks on byte ranges */
// Locks `bytes` bytes (high and low halves) from the offset in `at`, which
// may lie past the file's end; all ones for both halves is everything from
// the offset on. Exclusive (LOCKFILE_EXCLUSIVE_LOCK, on a handle that may
// write) or shared (on one that may read); it waits for a conflicting lock
// unless LOCKFILE_FAIL_IMMEDIATELY. The locks are advisory, between the
// handles that ask for them, in this or any other program: reading and
// writing are never refused for them. CloseHandle releases the handle's
// locks.
BOOL LockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD bytes_low, DWORD bytes_high,
                LPOVERLAPPED at);
BOOL UnlockFileEx(HANDLE file, DWORD reserved, DWORD bytes_low, DWORD bytes_high, LPOVERLAPPED at);

/* Clock and file times */
void GetLocalTime(LPSYSTEMTIME time);  // local time zone (TZ, /etc/localtime)
BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME access, LPFILETIME write);
// Adds the local time zone's offset in force at that instant (daylight
// saving included).
BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local);
// Fails for times past 0x7FFFFFFFFFFFFFFF, as on Windows.
BOOL FileTimeToSystemTime(const FILETIME* time, LPSYSTEMTIME system);

/* The system */
DWORD GetVersion(void);  // Windows XP, 5.1 build 2600: the NT family (top bit clear)

/* The program's own files */
// The folder of the run-time data: share/rkm7500 beside the program's bin/
// once installed, or share/rkm7500 in the build folder, which the build
// fills; found from the program's own path, so a copy works from any prefix.
// "" when neither exists.
const char* plat_data_dir(void);
// The user's configuration and cache folders: $XDG_CONFIG_HOME and
// $XDG_CACHE_HOME, else ~/.config and ~/.cache; "" when neither the
// variable nor HOME names an absolute folder.
std::string plat_config_home(void);
std::string plat_cache_home(void);
// The user's documents folder, as xdg-user-dirs sets it (XDG_DOCUMENTS_DIR
// in $XDG_CONFIG_HOME/user-dirs.dirs) when that folder exists, else the
// home folder; "" when there is neither.
std::string plat_documents_folder(void);
// The system's configuration folders: $XDG_CONFIG_DIRS, else /etc/xdg.
std::vector<std::string> plat_config_dirs(void);
// Makes the folder and every missing folder above it (mode 0700, as the
// base directory rules ask); true once it is a folder.
bool plat_make_folders(const std::string& folder);
