// Processes: start a program and later ask its windows to close.
#include <string>

#include "support/comm/ghl3000_comm.h"

// Starts the command line (show 0: its main window hidden, where the
// program honours that), waits until it is ready for input and stores its
// process id. 1 started; 0 not started, with the id left as it was.
int ProgExec(const char* command_line, unsigned long* id, int show)
{
    if (!command_line)
        return 0;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (show == 0) {
        GetStartupInfoA(&startup);
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    std::string line(command_line);  // CreateProcessA may write into its command line
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return 0;
    // The wait is bounded by the platform, so a program that never shows a
    // window does not keep the caller waiting for ever.
    WaitForInputIdle(info.hProcess, INFINITE);
    if (id)
        *id = info.dwProcessId;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 1;
}

// Asks every top-level window of the process to close; does not wait for
// it to end. Always 0.
int ProgDown(unsigned long* id)
{
    if (id)
        EnumWindows(ProgAppEnum, LPARAM(*id));
    return 0;
}

// Posts the close request to the window when the process `id` owns it. Id
// 0 is no process: windows that name no owner are never closed. Always 1,
// so that every window is visited.
BOOL ProgAppEnum(HWND window, LPARAM id)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != 0 && owner == DWORD(id))
        PostMessageA(window, WM_CLOSE, 0, 0);
    return 1;
}
