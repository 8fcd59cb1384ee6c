// Windows, messages, dialogs and message boxes.
//
// Calls: RegisterClassA, CreateWindowExA, ShowWindow, UpdateWindow,
// DestroyWindow, DefWindowProcA, GetMessageA, PeekMessageA,
// TranslateMessage, DispatchMessageA, PostMessageA, PostQuitMessage,
// BeginPaint, EndPaint, InvalidateRect, GetDC, ReleaseDC, GetClientRect,
// GetKeyState, GetKeyboardState, ToAscii, LoadIconA, LoadCursorA, MessageBoxA, EnableWindow,
// IsWindowEnabled, CreateDialogParamA, IsDialogMessageA, GetSystemMenu,
// EnableMenuItem, MessageBeep.
#pragma once

#include <string>

#include "platform/windef.h"

/* Messages */
enum : UINT {
    WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014, WM_TIMECHANGE = 0x001E,
    WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105,
    WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112,
    WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_MOUSEWHEEL = 0x020A,
};
// WM_MOUSEWHEEL: the high word of wParam is the signed turn, WHEEL_DELTA a
// notch, positive away from the user; lParam holds client coordinates.
enum { WHEEL_DELTA = 120 };
#define GET_WHEEL_DELTA_WPARAM(w) ((short)HIWORD(w))
enum : UINT { PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001 };

/* Virtual keys: letters and digits are their upper-case ASCII codes */
enum {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
    VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25,
    VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    VK_NUMPAD0 = 0x60, VK_NUMPAD4 = 0x64, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
    VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75,
    VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B,
    VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE, VK_OEM_102 = 0xE2,
    VK_NONAME = 0xFF,  // a key with no code of its own
};
enum : WPARAM { MK_LBUTTON = 0x0001 };

/* Window styles, show commands, resources */
#define WS_OVERLAPPEDWINDOW 0x00CF0000u
#define WS_VISIBLE 0x10000000u
#define CW_USEDEFAULT ((int)0x80000000)
enum { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5 };
#define MAKEINTRESOURCEA(i) ((LPCSTR)(uintptr_t)(WORD)(i))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)

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

struct CREATESTRUCTA {  // lParam of WM_CREATE
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
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
// FALSE at WM_QUIT, and (as WM_QUIT) when nothing is queued and no window
// of ours exists, since nothing could ever arrive.
BOOL GetMessageA(MSG* msg, HWND window, UINT first, UINT last);
BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void PostQuitMessage(int exit_code);

/* Painting */
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);  // the whole window
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);  // shows the framebuffer on screen

/* Keyboard */
SHORT GetKeyState(int vk);  // high bit: down; low bit: toggled (Caps Lock, Num Lock)
BOOL GetKeyboardState(BYTE* state);
int ToAscii(UINT vk, UINT scan_code, const BYTE* key_state, WORD* out, UINT flags);

/* Message boxes and dialogs */
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR template_name, HWND owner, DLGPROC proc,
                        LPARAM param);
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
HMENU GetSystemMenu(HWND window, BOOL revert);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);

/* Sound */
#define MB_SIMPLE_BEEP 0xFFFFFFFFu
BOOL MessageBeep(UINT type);

/* Our own additions for the program's command line and for tests (plat_*) */

// Which display the first window opens on. REAL (the default) is the user's
// display; with neither DISPLAY nor WAYLAND_DISPLAY set (and no
// SDL_VIDEODRIVER asked for) CreateWindowExA then fails and
// plat_window_error says why. OFFSCREEN draws into memory only, for
// --snapshot. ANY takes the user's display when there is one, else
// OFFSCREEN. VISIBLE is REAL for a user who must see the window: SDL's
// memory-only drivers (offscreen, dummy) are refused even where SDL would
// fall back to them or SDL_VIDEODRIVER asks for them, and the error names
// the display that could not be opened. Takes effect when the first window
// is created.
enum { PLAT_DISPLAY_REAL = 0, PLAT_DISPLAY_OFFSCREEN = 1, PLAT_DISPLAY_ANY = 2,
       PLAT_DISPLAY_VISIBLE = 3 };
void plat_set_display(int choice);
// One line saying why the last CreateWindowExA failed ("" when it did not).
const char* plat_window_error(void);

// Input as if the user gave it: each call queues window-system events that
// then pass through the same translation, message queue and window
// procedure as real input. A null window means the first of this program's
// windows. Keys are pressed and released, with the modifier keys of `mods`
// held around them (Ctrl+P); text is the UTF-8 text the key produces (null
// or "" for none).
enum { PLAT_MOD_SHIFT = 1, PLAT_MOD_CTRL = 2, PLAT_MOD_ALT = 4 };
void plat_inject_key(HWND window, UINT vk, const char* text, int mods = 0);
void plat_inject_text(HWND window, const char* utf8);  // each character typed in turn
void plat_inject_click(HWND window, int x, int y);      // left button, client coordinates
void plat_inject_wheel(HWND window, int x, int y, int notches);  // > 0 away from the user
void plat_inject_paint(HWND window);                    // uncovered: repaint
void plat_inject_close(HWND window);                    // the close box: WM_CLOSE

// Called by GetMessageA each time it finds nothing to return, before it
// waits; the hook may post messages, inject input or PostQuitMessage. Null
// removes it. As on Windows, a repaint waits until the input before it has
// been taken; to replay input and repaints strictly in order, inject the
// next event from this hook, once the one before is fully handled.
void plat_set_idle_hook(void (*hook)(void* data), void* data);

// From now on the window gets WM_TIMECHANGE at each local midnight and
// whenever the wall clock jumps (the clock was set, the machine woke from
// sleep past midnight). One thread sleeps on a timer of the wall clock
// until then: nothing runs in between. It ends with the window.
void plat_watch_day(HWND window);

// How the first window shows the 1024 x 768 design: FIT (the default)
// centred, as large as fits in the client area; ONE_TO_ONE one device
// pixel per unit, centred where the window is larger. Takes effect when the
// window's framebuffer is next made.
enum { PLAT_FIT_WINDOW = 0, PLAT_FIT_ONE_TO_ONE = 1 };
void plat_set_fit(int choice);
// Opens the first window with this client size instead of maximised
// (width or height 0: maximised again).
void plat_set_window_size(int width, int height);
// The client point, in device pixels, at the middle of design point (x, y)
// as the window shows it now.
POINT plat_client_point(HWND window, int x, int y);

// MessageBeep calls since start, sounded or not.
int plat_beep_count(void);

// Writes the window's client area, as shown, as PNG, through
// plat_out_open: the file appears whole or not at all. FALSE, with the
// reason, when it cannot be written.
BOOL plat_save_window_png(HWND window, const char* path, std::string* reason);
// The colour shown on screen at client (x, y) since the last ReleaseDC or
// EndPaint; CLR_INVALID when nothing has been shown there.
COLORREF plat_screen_pixel(HWND window, int x, int y);
