// Processes, and the top-level windows of every program on the X display.
//
// Calls: GetStartupInfoA, CreateProcessA, WaitForInputIdle, EnumWindows,
// GetWindowThreadProcessId. PostMessageA (window.h) hands WM_CLOSE for a
// window of another program to this part, which sends it as the window
// manager's delete-window request.
//
// Without an X display (DISPLAY unset or the server unreachable) there are
// no windows of other programs: EnumWindows visits nothing and succeeds,
// GetWindowThreadProcessId gives 0 for any such window, and
// WaitForInputIdle returns as soon as the program has started.
#pragma once

#include "platform/window/window.h"

/* Starting programs */
enum : DWORD { STARTF_USESHOWWINDOW = 0x00000001 };

// How a program was asked to start. Only dwFlags and wShowWindow carry
// anything here: a program started by CreateProcessA with
// STARTF_USESHOWWINDOW gets that show command back from GetStartupInfoA.
// It travels in the environment variable RKM_STARTUP_SHOW, which
// CreateProcessA sets or removes for every program it starts, so that a
// show command is not passed on to the programs that one starts in turn.
// This program's first ShowWindow honours it: SW_HIDE keeps the window
// hidden.
struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
typedef STARTUPINFOA* LPSTARTUPINFOA;

struct PROCESS_INFORMATION {
    HANDLE hProcess;  // close both handles with CloseHandle
    HANDLE hThread;
    DWORD dwProcessId;  // the real process id
    DWORD dwThreadId;   // the id of its main thread, which is the process id
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

enum : DWORD { INFINITE = 0xFFFFFFFFu, WAIT_TIMEOUT = 258, WAIT_FAILED = 0xFFFFFFFFu };

void GetStartupInfoA(STARTUPINFOA* info);

// Starts a program. Without `application`, the first word of `command_line`
// names it; a name without '/' is looked for on PATH. The command line is
// split into words as a shell would: blanks separate words, '...' is taken
// as it is, "..." keeps blanks and takes \" \\ \$ \` as escapes, and a
// backslash elsewhere takes the next character as it is; nothing is
// expanded. `environment` is null (the caller's) or a block of NAME=VALUE
// strings ended by an empty one; `directory` null is the caller's. With
// `inherit` FALSE the new program gets only standard input, output and
// error. The new program is not a child that must be waited for: it is
// adopted by the system as it starts, so no exited program lingers.
// Returns FALSE, starting nothing, for a program that cannot be found or
// run, an unbalanced quote, an empty command line or a missing directory.
BOOL CreateProcessA(LPCSTR application, LPSTR command_line, void* process_attributes,
                    void* thread_attributes, BOOL inherit, DWORD flags, void* environment,
                    LPCSTR directory, STARTUPINFOA* startup, PROCESS_INFORMATION* info);

// Returns 0 once the started program is ready for input: at once where
// there is no X display or the program has ended; otherwise when a
// top-level window of the program is mapped (or merely exists, for a
// program started with SW_HIDE). A program that opens no window is taken to
// be ready after the wait, which is `milliseconds` but never more than
// 5000 (INFINITE included): WAIT_TIMEOUT then. WAIT_FAILED for a handle that
// is not a process.
DWORD WaitForInputIdle(HANDLE process, DWORD milliseconds);

// EnumWindows visits the top-level windows of every program on the X
// display, hidden ones included, as HWNDs of their own kind (X window ids);
// for such a window GetWindowThreadProcessId gives the process id the
// window announces (_NET_WM_PID), or 0 when it announces none. For a window
// of this program made by CreateWindowExA it gives this process's id.
//
// PostMessageA of WM_CLOSE, both parameters 0, to a window of another
// program sends it the window manager's delete-window request (which this
// program's own windows turn into WM_CLOSE); it fails for a window that is
// gone or takes no such request, and for any other message.
BOOL EnumWindows(WNDENUMPROC visit, LPARAM param);
DWORD GetWindowThreadProcessId(HWND window, DWORD* process_id);
