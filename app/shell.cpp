// Program entry, the main window, its window procedure and the paint cycle.
#include "app/app.h"

#include <cstdio>
#include <cstdlib>

#include "state/state.h"
#include "calendar/calendar.h"
#include "calendar/holidays.h"
#include "calendar/views.h"
#include "layout/layout.h"
#include "print/print.h"
#include "state/settings.h"
#include "support/ghl3000.h"

enum { ICON_CALENDAR = 400 };

// What the screen shows; written only here, by the drawings of the views.
static ShownView shown;

const ShownView& app_shown(void)
{
    return shown;
}

#define SJ_CALENDAR "\x83\x4A\x83\x8C\x83\x93\x83\x5F\x81\x5B"  // カレンダー
#define SJ_DASH "\x81\x5C"  // ―
#define SJ_NEN "\x94\x4E"   // 年
#define SJ_GATSU "\x8C\x8E" // 月

char* app_title(const ShownView& view, char* out, size_t size)
{
    if (view.layout == LAYOUT_YEAR)
        std::snprintf(out, size, SJ_CALENDAR " " SJ_DASH " %d" SJ_NEN, view.year);
    else if (view.layout != LAYOUT_NONE)
        std::snprintf(out, size, SJ_CALENDAR " " SJ_DASH " %d" SJ_NEN "%d" SJ_GATSU, view.year,
                      view.month);
    else
        std::snprintf(out, size, SJ_CALENDAR);
    return out;
}

// The title bar follows the month shown.
static void shown_changed(void)
{
    char title[64];
    SetWindowTextA(ghwndMain, app_title(shown, title, sizeof title));
}

// The design's start values, then the layout and colour chosen last.
void RKM_INIT_SET(void)
{
    iNkcnt = 0;
    iNstep = 0;
    iFuri = 0;
    iDspfg = LAYOUT_NONE;
    iDspbk = LAYOUT_MEDIUM;
    iSetfg = 0;
    iBcol = COLOR_WHITE;
    remember_load();
    shown = ShownView();
    RKM_YHDAY_RED();
    hol_load_official();
}

static void paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(window, &ps);
    RKM_PAINT_PROC(hdc);
    pdlg_draw(hdc);
    EndPaint(window, &ps);
}

// One message, one routine; every other message goes to the default.
LRESULT WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE:
        GetPrnName(cPrninfo);
        plat_watch_day(window);
        app_events_window(window);
        return 0;
    case WM_APP_EVENTS:
        app_events_arrived(window);
        return 0;
    case WM_TIMECHANGE:
        app_new_day(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
    case WM_SYSKEYUP:  // F10 is a system key
        if (wparam != VK_F10)
            return DefWindowProcA(window, message, wparam, lparam);
        [[fallthrough]];
    case WM_KEYUP:
        if (pdlg_is_open())
            pdlg_key(window, (unsigned int)wparam, (long)lparam);
        else
            RKM_KEYIN_PROC(window, (unsigned int)wparam, (long)lparam);
        return 0;
    case WM_LBUTTONDOWN:
        if (pdlg_is_open())
            pdlg_click(window, LOWORD(lparam), HIWORD(lparam));
        else
            RKM_SYS_MOUSE(window, LOWORD(lparam), HIWORD(lparam));
        return 0;
    case WM_MOUSEWHEEL:
        if (!pdlg_is_open())
            step_wheel(window, shown, (short)LOWORD(lparam), (short)HIWORD(lparam),
                       GET_WHEEL_DELTA_WPARAM(wparam));
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

int WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RKM_INIT_SET();

    WNDCLASSA window_class = {};
    window_class.style = 0;
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_CALENDAR));
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    window_class.lpszClassName = "RKM7500";
    if (!RegisterClassA(&window_class))
        return 0;

    HWND window = CreateWindowExA(0, "RKM7500", "Calendar", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  instance, nullptr);
    if (!window)
        return 1;  // no display to open a window on
    ghInst = instance;
    ghwndMain = window;

    // Always maximised, whatever show command the program was started with.
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);

    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

void RKM_PAINT_PROC(HDC hdc)
{
    if (shown.help) {
        help_draw(hdc);
        return;
    }
    if (iSetfg == 0) {
        RKM_MAIN_PROC(hdc);
        GrpPrint(hdc, cPrninfo, 50, 614, 2.5, 2.5, COLOR_CYAN, 48);
        return;
    }
    app_draw_chosen(hdc);
}

void app_draw_chosen(HDC hdc)
{
    switch (iDspfg) {
    case LAYOUT_LARGE: RKM_CALEN1_PROC(hdc, iYear, iMont); break;
    case LAYOUT_MEDIUM: RKM_CALEN2_PROC(hdc, iYear, iMont, 0); break;
    case LAYOUT_SMALL: RKM_CALEN3_PROC(hdc, iYear, iMont); break;
    case LAYOUT_YEAR: RKM_CALEN4_PROC(hdc, iYear, iMont); break;
    default: return;  // no layout in force: nothing is drawn
    }
    shown.layout = iDspfg;
    shown.year = iYear;
    shown.month = iMont;
    shown.today = 0;
    shown_changed();
}

// Today from the clock, through cDatebuf.
static int today_code(void)
{
    DosDateTime(cDatebuf, cTimebuf);
    cDatebuf[10] = '\0';
    cDatebuf[7] = '\0';
    cDatebuf[4] = '\0';
    return std::atoi(&cDatebuf[0]) * 10000 + std::atoi(&cDatebuf[5]) * 100 +
           std::atoi(&cDatebuf[8]);
}

// Today's date is read afresh on every call, so a paint after midnight
// frames the new day. It is only drawn: iYear and iMont stay as entered.
void RKM_MAIN_PROC(HDC hdc)
{
    const int today = today_code();
    RKM_CALEN2_PROC(hdc, today / 10000, today / 100 % 100, today % 100);
    shown.layout = LAYOUT_MEDIUM;
    shown.year = today / 10000;
    shown.month = today / 100 % 100;
    shown.today = today;
    shown_changed();
    iDspfg = iDspbk;
}

// Midnight, or the clock jumped: while the start screen shows today's
// month, it is painted again once the day it frames is no longer today.
void app_new_day(HWND window)
{
    if (iSetfg == 0 && shown.today != 0 && today_code() != shown.today)
        InvalidateRect(window, nullptr, TRUE);
}

void app_show_choice(HDC hdc)
{
    if (shown.layout == LAYOUT_NONE || shown.help)
        return;
    const EntryDraft draft = ent_draft();
    ent_show_month(hdc, shown.year, shown.month);
    ent_resume(hdc, draft);
}

void app_open_help(HDC hdc)
{
    shown.help = true;
    help_draw(hdc);
}

// F11: today's month, with the selector redrawn for the layout in force.
void app_show_today(HDC hdc)
{
    iDspfg = LAYOUT_NONE;
    RKM_MAIN_PROC(hdc);
    iNstep = 0;
    RKM_WAKU2_CRT(hdc);
}

void app_redraw_shown(HDC hdc)
{
    if (iSetfg != 0 && shown.today != 0)
        app_show_today(hdc);  // today's month shown by F11 over a chosen one
    else
        RKM_PAINT_PROC(hdc);
}

// What stood under the help screen comes back; the entry starts afresh, as
// after any drawing of a view.
void app_close_help(HDC hdc)
{
    shown.help = false;
    app_redraw_shown(hdc);
}

static int (*quit_hook)(HWND) = nullptr;

void app_set_quit_hook(int (*hook)(HWND window))
{
    quit_hook = hook;
}

void app_quit_now(HWND window, HDC hdc)
{
    ReleaseDC(window, hdc);
    int status = quit_hook ? quit_hook(window) : 0;
    DestroyWindow(window);
    PostQuitMessage(0);
    std::exit(status);
}
