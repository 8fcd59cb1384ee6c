// Windows-style base types and constants shared by every platform call.
//
// The calendar and its support library are written against the Windows
// interfaces they were designed for; this header gives those names their
// meaning on Linux. It holds no backend type: nothing here mentions SDL,
// cairo, CUPS or POSIX.
#pragma once

#include <cstddef>
#include <cstdint>

/* Scalar types */
typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef int16_t SHORT;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef DWORD COLORREF;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef DWORD* LPDWORD;
typedef BYTE* PBYTE;
typedef BYTE* LPBYTE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

/* Handles: distinct pointer types, so a pen cannot be passed for a window */
#define RKM_DECLARE_HANDLE(name) \
    struct name##__;             \
    typedef struct name##__* name
RKM_DECLARE_HANDLE(HWND);
RKM_DECLARE_HANDLE(HDC);
RKM_DECLARE_HANDLE(HPEN);
RKM_DECLARE_HANDLE(HBRUSH);
RKM_DECLARE_HANDLE(HFONT);
RKM_DECLARE_HANDLE(HBITMAP);
RKM_DECLARE_HANDLE(HRGN);
RKM_DECLARE_HANDLE(HINSTANCE);
RKM_DECLARE_HANDLE(HICON);
RKM_DECLARE_HANDLE(HMENU);
#undef RKM_DECLARE_HANDLE
typedef HICON HCURSOR;
typedef void* HGDIOBJ;
typedef void* HANDLE;
typedef HANDLE* PHANDLE;

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

/* Colours: 0x00BBGGRR */
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)((c) & 0xFF))
#define GetGValue(c) ((BYTE)(((c) >> 8) & 0xFF))
#define GetBValue(c) ((BYTE)(((c) >> 16) & 0xFF))
#define CLR_INVALID 0xFFFFFFFFu

/* Geometry */
struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xFFFF))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xFFFF))
#define MAKELPARAM(lo, hi) ((LPARAM)(DWORD)(((WORD)(lo)) | (((DWORD)(WORD)(hi)) << 16)))

/* Clock and file times */
struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
struct FILETIME {  // 100-nanosecond intervals since 1601-01-01 UTC
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
