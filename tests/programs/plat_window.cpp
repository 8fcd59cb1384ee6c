// A program with one window of this platform layer, for the process tests:
// it runs the message loop the way the calendar does and exits with 0 when
// its window is closed.
#include "platform/windows.h"

static LRESULT window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);  // WM_CLOSE destroys it
}

int main()
{
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = window_proc;
    window_class.lpszClassName = "PLATWINDOW";
    if (!RegisterClassA(&window_class))
        return 2;
    HWND window = CreateWindowExA(0, "PLATWINDOW", "plat_window", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    if (!window)
        return 2;
    ShowWindow(window, SW_SHOWNORMAL);
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return int(msg.wParam);
}
