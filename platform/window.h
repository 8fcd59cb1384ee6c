// Windows, messages, dialogs and message boxes.
//
// Calls: RegisterClassA, CreateWindowExA, ShowWindow, UpdateWindow,
// DestroyWindow, DefWindowProcA, GetMessageA, PeekMessageA,
// TranslateMessage, DispatchMessageA, PostMessageA, PostQuitMessage,
// BeginPaint, EndPaint, GetDC, ReleaseDC, GetClientRect, GetKeyboardState,
// ToAscii, LoadIconA, LoadCursorA, MessageBoxA, EnableWindow,
// IsWindowEnabled, CreateDialogParamA, IsDialogMessageA, GetSystemMenu,
// EnableMenuItem, EnumWindows, GetWindowThreadProcessId.
#pragma once

#include "platform/windef.h"

/* Messages */
enum : UINT {
    WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014,
    WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105,
    WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112,
    WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
};
enum : UINT { PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001 };

/* Virtual keys */
enum {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
    VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_LEFT = 0x25, VK_UP = 0x26,
    VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_F1 = 0x70, VK_F9 = 0x78, VK_F10 = 0x79,
    VK_F11 = 0x7A, VK_F12 = 0x7B,
};

/* Window styles, show commands, resources */
#define WS_OVERLAPPEDWINDOW 0x00CF0000u
#define CW_USEDEFAULT ((int)0x80000000)
enum { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5 };
#define MAKEINTRESOURCEA(i) ((LPCSTR)(uintptr_t)(WORD)(i))
#define IDC_ARROW MAKEINTRESOURCEA(32512)

/* Message boxes and menus */
enum : UINT { MB_OK = 0x0000, MB_ICONERROR = 0x0010 };
enum { IDOK = 1 };
enum : UINT { SC_CLOSE = 0xF060, MF_BYCOMMAND = 0x0000, MF_ENABLED = 0x0000, MF_GRAYED = 0x0001 };

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef BOOL (*WNDENUMPROC)(HWND, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};
typedef WORD ATOM;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
};

/* Windows */
ATOM RegisterClassA(const WNDCLASSA* window_class);
HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, LPVOID param);
BOOL ShowWindow(HWND window, int show);
BOOL UpdateWindow(HWND window);
BOOL DestroyWindow(HWND window);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL GetClientRect(HWND window, RECT* rect);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);

/* Messages */
BOOL GetMessageA(MSG* msg, HWND window, UINT first, UINT last);
BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void PostQuitMessage(int exit_code);

/* Painting */
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);  // shows the framebuffer on screen

/* Keyboard */
BOOL GetKeyboardState(BYTE* state);
int ToAscii(UINT vk, UINT scan_code, const BYTE* key_state, WORD* out, UINT flags);

/* Message boxes and dialogs */
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR template_name, HWND owner, DLGPROC proc,
                        LPARAM param);
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
HMENU GetSystemMenu(HWND window, BOOL revert);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);

/* Top-level windows of every program on the display */
BOOL EnumWindows(WNDENUMPROC visit, LPARAM param);
DWORD GetWindowThreadProcessId(HWND window, DWORD* process_id);
