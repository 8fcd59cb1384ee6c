// One window of this platform layer for the process tests: the calendar's
// message loop, ended with 0 once the window is closed.
#include "platform/windows.h"

static LRESULT window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return message == WM_DESTROY ? 0 : DefWindowProcA(window, message, wparam, lparam);
}

int main()
{
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = window_proc;
    window_class.lpszClassName = "PLATWINDOW";
    HWND window = RegisterClassA(&window_class)
                      ? CreateWindowExA(0, "PLATWINDOW", "plat_window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                        CW_USEDEFAULT, 200, 100, nullptr, nullptr, nullptr, nullptr)
                      : nullptr;
    if (!window)
        return 2;
    ShowWindow(window, SW_SHOWNORMAL);
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return int(msg.wParam);
}
