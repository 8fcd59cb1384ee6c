// Windows: the Windows-style window calls over one SDL window each.
//
// Calls: RegisterClassA, CreateWindowExA, ShowWindow, UpdateWindow,
// DestroyWindow, DefWindowProcA, EnableWindow, IsWindowEnabled,
// GetClientRect.
//
// The framebuffer each window draws into is framebuffer.cpp's; the queue
// its messages wait in, queue.cpp's; its size when shown, maximise.cpp's.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/draw/codeconv.h"
#include "platform/draw/gdi.h"
#include "platform/window/wnd.h"

namespace {

struct WindowClass {
    std::string name;
    WNDCLASSA wc;
};

// Windows and classes live for the whole process: a handle stays safe to
// pass after its window is destroyed, and calls on it then fail.
std::vector<WindowClass>& classes()
{
    static auto* list = new std::vector<WindowClass>;
    return *list;
}
std::vector<HWND>& windows()
{
    static auto* list = new std::vector<HWND>;
    return *list;
}

bool first_show = true;

// A program started with show state 0 (RKM_STARTUP_SHOW, from the process
// that started it) keeps its first window hidden.
bool startup_hidden()
{
    const char* show = std::getenv("RKM_STARTUP_SHOW");
    return show && *show && std::strtol(show, nullptr, 10) == SW_HIDE;
}

}  // namespace

/* Windows */

ATOM RegisterClassA(const WNDCLASSA* window_class)
{
    if (!window_class || !window_class->lpszClassName || !window_class->lpfnWndProc)
        return 0;
    std::string name = window_class->lpszClassName;
    std::vector<WindowClass>& list = classes();
    for (const WindowClass& c : list)
        if (c.name == name)
            return 0;  // already registered
    list.push_back({name, *window_class});
    list.back().wc.lpszClassName = nullptr;  // the caller's string need not outlive us
    list.back().wc.lpszMenuName = nullptr;
    return (ATOM)(0xC000 + list.size() - 1);
}

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param)
{
    wnd_set_error("");
    const WindowClass* cls = nullptr;
    for (const WindowClass& c : classes())
        if (class_name && c.name == class_name)
            cls = &c;
    if (!cls) {
        wnd_set_error("no such window class");
        return nullptr;
    }
    if (!wnd_video_ready())
        return nullptr;
    if (width == CW_USEDEFAULT || width <= 0 || height == CW_USEDEFAULT || height <= 0) {
        if (!wnd_asked_size(&width, &height)) {
            width = WND_DESIGN_WIDTH;
            height = WND_DESIGN_HEIGHT;
        }
    }
    int px = x == CW_USEDEFAULT ? (int)SDL_WINDOWPOS_UNDEFINED : x;
    int py = x == CW_USEDEFAULT || y == CW_USEDEFAULT ? (int)SDL_WINDOWPOS_UNDEFINED : y;
    std::string utf8_title = title ? plat_sjis_to_utf8(title, std::strlen(title)) : "";
    SDL_Window* sdl = SDL_CreateWindow(utf8_title.c_str(), px, py, width, height,
                                       SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!sdl) {
        wnd_set_error(std::string("cannot create the window: ") + SDL_GetError());
        return nullptr;
    }
    // The design at half size is the smallest that stays legible.
    SDL_SetWindowMinimumSize(sdl, std::min(width, WND_DESIGN_WIDTH / 2),
                             std::min(height, WND_DESIGN_HEIGHT / 2));
    SDL_GetWindowSurface(sdl);  // any recreation of the window happens while it is hidden
    HWND w = new HWND__;
    w->proc = cls->wc.lpfnWndProc;
    w->background = cls->wc.hbrBackground;
    w->icon = cls->wc.hIcon;
    w->sdl = sdl;
    w->sdl_id = SDL_GetWindowID(sdl);
    SDL_GetWindowSize(sdl, &w->width, &w->height);
    wnd_fit_framebuffer(w);
    if (w->icon)
        plat_icon_apply(w->icon, sdl);
    windows().push_back(w);

    CREATESTRUCTA create{param, instance, menu, parent, height, width, y, x,
                         (LONG)style, title, class_name, ex_style};
    if (wnd_send(w, WM_CREATE, 0, (LPARAM)&create) == -1) {
        DestroyWindow(w);
        wnd_set_error("the window refused its creation");
        return nullptr;
    }
    if (w->alive && (style & WS_VISIBLE))
        ShowWindow(w, SW_SHOW);
    return w->alive ? w : nullptr;
}

BOOL ShowWindow(HWND window, int show)
{
    HWND w = plat_window_live(window);
    if (!w)
        return FALSE;
    BOOL was_visible = w->visible;
    if (first_show) {
        first_show = false;
        if (startup_hidden())
            show = SW_HIDE;
    }
    if (show == SW_HIDE) {
        SDL_HideWindow(w->sdl);
        w->visible = false;
        return was_visible;
    }
    if (show == SW_SHOWMAXIMIZED) {
        wnd_maximise(w);
    } else {
        SDL_ShowWindow(w->sdl);
        if (show == SW_SHOWNORMAL)
            SDL_RestoreWindow(w->sdl);
    }
    wnd_fit_framebuffer(w);
    w->visible = true;
    w->show_all = true;
    wnd_invalidate(w);
    return was_visible;
}

BOOL UpdateWindow(HWND window)
{
    HWND w = plat_window_live(window);
    if (!w)
        return FALSE;
    if (w->visible && w->paint_pending) {
        w->paint_pending = false;
        wnd_send(w, WM_PAINT, 0, 0);
    }
    return TRUE;
}

BOOL DestroyWindow(HWND window)
{
    HWND w = plat_window_live(window);
    if (!w)
        return FALSE;
    wnd_send(w, WM_DESTROY, 0, 0);
    wnd_unwatch_day(w);
    w->alive = false;
    w->visible = false;
    if (w->sdl)
        SDL_HideWindow(w->sdl);
    wnd_bury(w);
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND w = plat_window_live(window);
    if (!w)
        return 0;
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(w);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        if (!w->background || !wparam)
            return 0;
        RECT client = wnd_design_client(w);
        FillRect((HDC)wparam, &client, w->background);
        return 1;
    }
    case WM_SYSKEYDOWN:
        if (wparam == VK_F4 && (lparam & (1 << 29)))
            return wnd_send(w, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == SC_CLOSE)
            wnd_send(w, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    HWND w = plat_window_live(window);
    if (!w)
        return FALSE;
    BOOL was_disabled = !w->enabled;
    w->enabled = enable != FALSE;
    return was_disabled;
}

BOOL IsWindowEnabled(HWND window)
{
    HWND w = plat_window_live(window);
    return w && w->enabled;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    HWND w = plat_window_live(window);
    if (!rect)
        return FALSE;
    *rect = RECT{0, 0, 0, 0};
    if (!w)
        return FALSE;
    *rect = wnd_design_client(w);
    return TRUE;
}

/* Inside the window room */

const std::vector<HWND>& wnd_all(void)
{
    return windows();
}

HWND wnd_by_sdl_id(unsigned id)
{
    for (HWND w : windows())
        if (w->alive && w->sdl_id == id)
            return w;
    return nullptr;
}

LRESULT wnd_send(HWND w, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!w || !w->alive || !w->proc)
        return 0;
    return w->proc(w, message, wparam, lparam);
}

// A DC held across the window's end (the key handler holds one when F12
// closes the window) still draws into the framebuffer, which may be the SDL
// window's own surface: both go once the last DC is released.
void wnd_bury(HWND w)
{
    if (w->alive || !w->dcs.empty())
        return;
    wnd_drop_framebuffer(w);
    if (w->sdl)
        SDL_DestroyWindow(w->sdl);
    w->sdl = nullptr;
}

void wnd_invalidate(HWND w)
{
    w->paint_pending = true;
    w->erase_pending = true;
}

HWND plat_window_live(HWND window)
{
    for (HWND w : windows())
        if (w == window && w->alive)
            return w;
    return nullptr;
}

HWND plat_window_first(void)
{
    for (HWND w : windows())
        if (w->alive)
            return w;
    return nullptr;
}

SDL_Window* plat_window_sdl(HWND window)
{
    HWND w = plat_window_live(window);
    return w ? w->sdl : nullptr;
}
