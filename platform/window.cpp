// Windows and messages on SDL2.
//
// Calls: RegisterClassA, CreateWindowExA, ShowWindow, UpdateWindow,
// DestroyWindow, DefWindowProcA, EnableWindow, IsWindowEnabled,
// GetClientRect, GetMessageA, PeekMessageA, TranslateMessage,
// DispatchMessageA, PostMessageA, PostQuitMessage, BeginPaint, EndPaint,
// InvalidateRect, GetDC, ReleaseDC; plat_set_display, plat_window_error,
// plat_set_idle_hook.
//
// Each window owns an SDL window and a framebuffer: an RGB24 cairo image
// surface of its client area. The program draws in the units of its fixed
// 1024 x 768 design; the design is shown centred in the client area, as
// large as fits with its shape kept, and the margins around it are one calm
// colour. Window DCs draw the design at that scale straight onto the
// framebuffer's pixels, so shapes and text are as sharp as the screen
// allows; releasing one copies the framebuffer to the screen. Mouse
// positions come back in design units. Window-system events become
// messages in one queue, in the order they happened; a window that needs
// painting gets WM_PAINT when nothing else is queued, as on Windows.
#include "platform/window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cairo.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "platform/codeconv.h"
#include "platform/dc.h"
#include "platform/foreign.h"
#include "platform/keyboard.h"
#include "platform/wnd.h"

BOOL (*plat_foreign_post)(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = nullptr;

namespace {

const COLORREF MARGIN_COLOUR = RGB(0x20, 0x26, 0x30);  // a dark slate beside the design's frame

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

std::deque<MSG> queue;
bool quit_posted = false;
int quit_code = 0;
int display_choice = PLAT_DISPLAY_REAL;
std::string window_error;
bool first_show = true;
void (*idle_hook)(void*) = nullptr;
void* idle_data = nullptr;
int fit_choice = PLAT_FIT_WINDOW;
int asked_width = 0, asked_height = 0;  // plat_set_window_size; 0: maximised

HWND by_sdl_id(Uint32 id)
{
    for (HWND w : windows())
        if (w->alive && w->sdl_id == id)
            return w;
    return nullptr;
}

bool has_env(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v;
}

bool user_display()
{
    return has_env("DISPLAY") || has_env("WAYLAND_DISPLAY");
}

// The display the user asked for, as the environment names it.
std::string display_name()
{
    if (has_env("DISPLAY"))
        return std::getenv("DISPLAY");
    return has_env("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
}

bool driver_is_memory(const char* driver)
{
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// The offscreen driver: asked for, or taken for want of a display.
bool offscreen_chosen()
{
    return display_choice == PLAT_DISPLAY_OFFSCREEN ||
           (display_choice == PLAT_DISPLAY_ANY && !user_display());
}

// Whether the Wayland compositor of WAYLAND_DISPLAY offers an input seat.
// SDL 2.26 crashes while it starts on one that offers none (a headless
// compositor with no keyboard or mouse), so such a display is not used.
bool wayland_has_seat()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return true;  // not reachable: SDL says so itself, without crashing
    bool seat = false;
    static const wl_registry_listener listener = {
        [](void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
            if (std::strcmp(interface, "wl_seat") == 0)
                *static_cast<bool*>(data) = true;
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &seat);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return seat;
}

XErrorHandler x_error_before = nullptr;  // the handler in force before ours

// An X error about a window that is gone (a message box closed a moment
// before a late request for it reached the server) is harmless; Xlib's
// default handler would end the program for it. Other errors are handled
// as before.
int x_error(Display* d, XErrorEvent* e)
{
    if (e->error_code == BadWindow)
        return 0;
    return x_error_before ? x_error_before(d, e) : 0;
}

// Starts SDL's video on the display that plat_set_display chose.
bool video_ready()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    bool offscreen = offscreen_chosen();
    bool visible = display_choice == PLAT_DISPLAY_VISIBLE;
    if (!offscreen && !user_display() && (visible || !has_env("SDL_VIDEODRIVER"))) {
        window_error = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
        return false;
    }
    if (!offscreen && !has_env("DISPLAY") && !has_env("SDL_VIDEODRIVER") && !wayland_has_seat()) {
        window_error = "the Wayland display offers no keyboard or mouse (no input seat)";
        return false;
    }
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // Ctrl+C ends the program as usual
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The window's class (X11 WM_CLASS, Wayland app id) names the desktop entry.
    setenv("SDL_VIDEO_X11_WMCLASS", RKM_APP_ID, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", RKM_APP_ID, 0);
    if (offscreen)
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    else if (visible && has_env("DISPLAY") != has_env("WAYLAND_DISPLAY"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, has_env("DISPLAY") ? "x11" : "wayland");  // no other tried
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        window_error = "cannot open display " + display_name();
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (visible && driver_is_memory(driver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);  // a window there would be seen by no one
        window_error = "cannot open display " + display_name();
        return false;
    }
    // Where the driver has a window surface of its own (shared memory on
    // X11, plain memory offscreen), use it rather than emulating one with
    // OpenGL, which costs a renderer and makes SDL recreate the window.
    bool x11 = driver && std::strcmp(driver, "x11") == 0;
    if (driver_is_memory(driver) || x11)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (x11 && !x_error_before)
        x_error_before = XSetErrorHandler(x_error);
    return true;
}

void drop_framebuffer(HWND w)
{
    if (w->framebuffer_view)
        SDL_FreeSurface(w->framebuffer_view);
    if (w->design_view)
        cairo_surface_destroy(w->design_view);
    if (w->framebuffer)
        cairo_surface_destroy(w->framebuffer);
    w->framebuffer_view = nullptr;
    w->design_view = nullptr;
    w->framebuffer = nullptr;
}

// The design's place in a client area of width x height device pixels.
WndFit fit_for(int width, int height)
{
    double scale = 1.0;
    if (fit_choice == PLAT_FIT_WINDOW && width > 0 && height > 0)
        scale = std::min((double)width / WND_DESIGN_WIDTH, (double)height / WND_DESIGN_HEIGHT);
    int design_w = (int)std::lround(scale * WND_DESIGN_WIDTH);
    int design_h = (int)std::lround(scale * WND_DESIGN_HEIGHT);
    return {scale, std::max(0, (width - design_w) / 2), std::max(0, (height - design_h) / 2)};
}

int design_extent(double scale, int units)
{
    return std::max(1, (int)std::lround(scale * units));
}

void fill_margins(cairo_surface_t* fb, const WndFit& fit, int design_w, int design_h)
{
    cairo_t* cr = cairo_create(fb);
    cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(fb),
                    cairo_image_surface_get_height(fb));
    cairo_rectangle(cr, fit.offset_x, fit.offset_y, design_w, design_h);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_source_rgb(cr, GetRValue(MARGIN_COLOUR) / 255.0, GetGValue(MARGIN_COLOUR) / 255.0,
                         GetBValue(MARGIN_COLOUR) / 255.0);
    cairo_fill(cr);
    cairo_destroy(cr);
}

// Makes the framebuffer cover the client area with the design fitted into
// it; the design's part starts black. Not while a DC draws into it: then at
// its release. A framebuffer that already fits is kept with its drawing.
void fit_framebuffer(HWND w)
{
    if (!w->dcs.empty())
        return;
    WndFit fit = fit_for(w->width, w->height);
    int design_w = design_extent(fit.scale, WND_DESIGN_WIDTH);
    int design_h = design_extent(fit.scale, WND_DESIGN_HEIGHT);
    int width = std::max(w->width, fit.offset_x + design_w);
    int height = std::max(w->height, fit.offset_y + design_h);
    cairo_surface_t* old = w->framebuffer;
    if (old && cairo_image_surface_get_width(old) == width &&
        cairo_image_surface_get_height(old) == height && w->scale == fit.scale &&
        w->offset_x == fit.offset_x && w->offset_y == fit.offset_y)
        return;
    drop_framebuffer(w);
    cairo_surface_t* fb = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    fill_margins(fb, fit, design_w, design_h);
    cairo_surface_flush(fb);
    unsigned char* data = cairo_image_surface_get_data(fb);
    int stride = cairo_image_surface_get_stride(fb);
    w->framebuffer = fb;
    w->design_view = cairo_image_surface_create_for_data(
        data + (size_t)fit.offset_y * stride + (size_t)fit.offset_x * 4, CAIRO_FORMAT_RGB24,
        design_w, design_h, stride);
    w->framebuffer_view = SDL_CreateRGBSurfaceWithFormatFrom(data, width, height, 32, stride,
                                                             SDL_PIXELFORMAT_RGB888);
    w->scale = fit.scale;
    w->offset_x = fit.offset_x;
    w->offset_y = fit.offset_y;
    w->show_all = true;
}

// The client area in design units: what the program may draw over.
RECT design_client(HWND w)
{
    return RECT{0, 0, (LONG)std::lround(w->width / w->scale),
                (LONG)std::lround(w->height / w->scale)};
}

// The design unit whose device pixels [offset + round(scale * u), offset +
// round(scale * (u + 1))) hold device pixel d; -1 outside the design.
int unit_at(double scale, int offset, int units, int d)
{
    int from = d - offset;
    if (from < 0 || from >= design_extent(scale, units))
        return -1;
    int u = (int)std::floor(from / scale);
    while (u > 0 && std::lround(scale * u) > from)
        u--;
    while (u + 1 < units && std::lround(scale * (u + 1)) <= from)
        u++;
    return u;
}

// Copies the framebuffer's pixels x0..x1-1 by y0..y1-1 to the window on
// screen; the whole framebuffer when it or the window's surface is new.
void present(HWND w, int x0, int y0, int x1, int y1)
{
    if (!w->sdl || !w->visible || !w->framebuffer_view)
        return;
    SDL_Surface* screen = SDL_GetWindowSurface(w->sdl);
    if (!screen)
        return;
    if (w->show_all || screen != w->shown_on) {
        x0 = y0 = 0;
        x1 = y1 = INT32_MAX;
    }
    x1 = std::min({x1, screen->w, w->framebuffer_view->w});
    y1 = std::min({y1, screen->h, w->framebuffer_view->h});
    if (x1 <= x0 || y1 <= y0)
        return;
    cairo_surface_flush(w->framebuffer);
    SDL_Rect area = {x0, y0, x1 - x0, y1 - y0};
    SDL_BlitSurface(w->framebuffer_view, &area, screen, &area);
    SDL_UpdateWindowSurfaceRects(w->sdl, &area, 1);
    w->shown_on = screen;
    w->show_all = false;
}

void post(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wparam;
    msg.lParam = lparam;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        msg.time = SDL_GetTicks();
        int x = 0, y = 0, left = 0, top = 0;
        SDL_GetMouseState(&x, &y);  // the last known place, without asking the server
        if (SDL_Window* focus = SDL_GetMouseFocus())
            SDL_GetWindowPosition(focus, &left, &top);
        msg.pt = {left + x, top + y};
    }
    queue.push_back(msg);
}

void invalidate(HWND w)
{
    w->paint_pending = true;
    w->erase_pending = true;
}

void window_event(HWND w, const SDL_WindowEvent& e)
{
    switch (e.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
        invalidate(w);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        w->width = e.data1;
        w->height = e.data2;
        fit_framebuffer(w);
        invalidate(w);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        if (w->enabled)  // a disabled window's close box does nothing, as a click would
            post(w, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

// Turns one window-system event into the messages it means.
void translate(const SDL_Event& e)
{
    PlatKeyMessage key;
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
        if (plat_key_event(e, &key)) {
            HWND w = by_sdl_id(e.key.windowID);
            if (!w)
                w = plat_window_first();  // keys with no focus window reported
            if (w)
                post(w, key.message, key.vk, key.data);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HWND w = by_sdl_id(e.button.windowID);
        POINT at;
        // A press in the margins around the design reaches nothing.
        if (e.button.button == SDL_BUTTON_LEFT && w &&
            wnd_to_design(w, e.button.x, e.button.y, &at))
            post(w, e.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                 e.type == SDL_MOUSEBUTTONDOWN ? MK_LBUTTON : (WPARAM)0, MAKELPARAM(at.x, at.y));
        break;
    }
    case SDL_MOUSEWHEEL: {
        HWND w = by_sdl_id(e.wheel.windowID);
        POINT at;
        int turn = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        // A turn over the margins around the design reaches nothing, as a press.
        if (turn != 0 && w && wnd_to_design(w, e.wheel.mouseX, e.wheel.mouseY, &at))
            post(w, WM_MOUSEWHEEL, (WPARAM)MAKELPARAM(0, turn * WHEEL_DELTA),
                 MAKELPARAM(at.x, at.y));
        break;
    }
    case SDL_WINDOWEVENT:
        if (HWND w = by_sdl_id(e.window.windowID))
            window_event(w, e.window);
        break;
    default:
        if (e.type == plat_day_event_type())
            if (HWND w = by_sdl_id(e.user.windowID))
                post(w, WM_TIMECHANGE, 0, 0);
        plat_thread_deliver(e);
        break;
    }
}

void pump()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        translate(e);
}

bool is_input(UINT message)
{
    return (message >= WM_KEYDOWN && message <= 0x0109) ||
           (message >= 0x0200 && message <= 0x020E);
}

bool matches(const MSG& m, HWND window, UINT first, UINT last)
{
    if (window && m.hwnd != window)
        return false;
    return (first == 0 && last == 0) || (m.message >= first && m.message <= last);
}

// Takes (or, with remove false, looks at) the next message for the filter:
// queued messages first, then the quit message, then a pending paint.
// Input for a disabled window is dropped on the way, and messages of
// destroyed windows too.
bool next_message(MSG* out, HWND window, UINT first, UINT last, bool remove)
{
    for (auto it = queue.begin(); it != queue.end();) {
        HWND w = it->hwnd;
        bool gone = w && !plat_window_live(w);
        if (gone || (w && is_input(it->message) && !w->enabled)) {
            it = queue.erase(it);
            continue;
        }
        if (matches(*it, window, first, last)) {
            *out = *it;
            if (remove)
                queue.erase(it);
            return true;
        }
        ++it;
    }
    if (quit_posted) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = (WPARAM)quit_code;
        if (remove)
            quit_posted = false;
        return true;
    }
    if (first == 0 && last == 0 ? true : (WM_PAINT >= first && WM_PAINT <= last)) {
        for (HWND w : windows()) {
            if (!w->alive || !w->visible || !w->paint_pending || (window && w != window))
                continue;
            *out = MSG{};
            out->hwnd = w;
            out->message = WM_PAINT;
            if (remove)
                w->paint_pending = false;  // a procedure that never paints is not asked again
            return true;
        }
    }
    return false;
}

LRESULT send(HWND w, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!w || !w->alive || !w->proc)
        return 0;
    return w->proc(w, message, wparam, lparam);
}

HDC open_dc(HWND w)
{
    fit_framebuffer(w);
    HDC dc = plat_dc_create(HDC__::Window, w->design_view,
                            cairo_image_surface_get_width(w->design_view),
                            cairo_image_surface_get_height(w->design_view), 96, 96);
    if (!dc)
        return nullptr;
    dc->window = w;
    dc->scale = w->scale;
    w->dcs.push_back(dc);
    return dc;
}

bool close_dc(HWND w, HDC dc)
{
    auto it = std::find(w->dcs.begin(), w->dcs.end(), dc);
    if (it == w->dcs.end())
        return false;
    w->dcs.erase(it);
    auto drawn = dc->drawn;
    plat_dc_destroy(dc);
    if (!w->alive) {
        if (w->dcs.empty())
            drop_framebuffer(w);
        return true;
    }
    fit_framebuffer(w);
    present(w, w->offset_x + drawn.x0, w->offset_y + drawn.y0, w->offset_x + drawn.x1,
            w->offset_y + drawn.y1);
    return true;
}

// True when something on the display manages windows and will maximise
// one: always on Wayland, on X11 when a window manager announces itself;
// never on the offscreen driver.
bool managed_display(SDL_Window* sdl)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdl, &info))
        return false;
    if (info.subsystem != SDL_SYSWM_X11)
        return info.subsystem == SDL_SYSWM_WAYLAND;
    Display* display = info.info.x11.display;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* value = nullptr;
    bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                    XA_WINDOW, &type, &format, &count, &after, &value) == Success &&
                 type == XA_WINDOW && count == 1;
    if (value)
        XFree(value);
    return found;
}

// The size of the window when it is not maximised: the design's shape as
// large as fits in nine tenths of the work area, leaving room for the
// window's frame and the desktop's panels, never below the minimum.
SDL_Rect normal_place(const SDL_Rect& area)
{
    double scale = std::min(area.w * 0.9 / WND_DESIGN_WIDTH, area.h * 0.9 / WND_DESIGN_HEIGHT);
    scale = std::max(scale, 0.5);
    int width = (int)std::lround(scale * WND_DESIGN_WIDTH);
    int height = (int)std::lround(scale * WND_DESIGN_HEIGHT);
    return {area.x + std::max(0, (area.w - width) / 2), area.y + std::max(0, (area.h - height) / 2),
            width, height};
}

// The window opens maximised. Its normal size fits the work area, so that
// un-maximised it lies wholly on the screen. Where nothing maximises
// windows, it takes the work area itself. A size asked for with
// plat_set_window_size is taken as it is.
void maximise(HWND w)
{
    SDL_Rect area;
    int display = SDL_GetWindowDisplayIndex(w->sdl);
    bool have_area = SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &area) == 0;
    bool managed = managed_display(w->sdl);
    if (asked_width > 0) {
        SDL_SetWindowSize(w->sdl, asked_width, asked_height);
    } else if (have_area) {
        SDL_Rect place = managed ? normal_place(area) : area;
        SDL_SetWindowPosition(w->sdl, place.x, place.y);
        SDL_SetWindowSize(w->sdl, place.w, place.h);
    }
    SDL_ShowWindow(w->sdl);
    if (asked_width == 0 && managed)
        SDL_MaximizeWindow(w->sdl);
    SDL_GetWindowSize(w->sdl, &w->width, &w->height);
}

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
    window_error.clear();
    const WindowClass* cls = nullptr;
    for (const WindowClass& c : classes())
        if (class_name && c.name == class_name)
            cls = &c;
    if (!cls) {
        window_error = "no such window class";
        return nullptr;
    }
    if (!video_ready())
        return nullptr;
    if (width == CW_USEDEFAULT || width <= 0 || height == CW_USEDEFAULT || height <= 0) {
        width = asked_width > 0 ? asked_width : WND_DESIGN_WIDTH;
        height = asked_width > 0 ? asked_height : WND_DESIGN_HEIGHT;
    }
    int px = x == CW_USEDEFAULT ? (int)SDL_WINDOWPOS_UNDEFINED : x;
    int py = x == CW_USEDEFAULT || y == CW_USEDEFAULT ? (int)SDL_WINDOWPOS_UNDEFINED : y;
    std::string utf8_title = title ? plat_sjis_to_utf8(title, std::strlen(title)) : "";
    SDL_Window* sdl = SDL_CreateWindow(utf8_title.c_str(), px, py, width, height,
                                       SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!sdl) {
        window_error = std::string("cannot create the window: ") + SDL_GetError();
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
    fit_framebuffer(w);
    if (w->icon)
        plat_icon_apply(w->icon, sdl);
    windows().push_back(w);

    CREATESTRUCTA create{param, instance, menu, parent, height, width, y, x,
                         (LONG)style, title, class_name, ex_style};
    if (send(w, WM_CREATE, 0, (LPARAM)&create) == -1) {
        DestroyWindow(w);
        window_error = "the window refused its creation";
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
        maximise(w);
    } else {
        SDL_ShowWindow(w->sdl);
        if (show == SW_SHOWNORMAL)
            SDL_RestoreWindow(w->sdl);
    }
    fit_framebuffer(w);
    w->visible = true;
    w->show_all = true;
    invalidate(w);
    return was_visible;
}

BOOL UpdateWindow(HWND window)
{
    HWND w = plat_window_live(window);
    if (!w)
        return FALSE;
    if (w->visible && w->paint_pending) {
        w->paint_pending = false;
        send(w, WM_PAINT, 0, 0);
    }
    return TRUE;
}

BOOL DestroyWindow(HWND window)
{
    HWND w = plat_window_live(window);
    if (!w)
        return FALSE;
    send(w, WM_DESTROY, 0, 0);
    w->alive = false;
    w->visible = false;
    if (w->sdl)
        SDL_DestroyWindow(w->sdl);
    w->sdl = nullptr;
    if (w->dcs.empty())  // else the last ReleaseDC frees it
        drop_framebuffer(w);
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
        RECT client = design_client(w);
        FillRect((HDC)wparam, &client, w->background);
        return 1;
    }
    case WM_SYSKEYDOWN:
        if (wparam == VK_F4 && (lparam & (1 << 29)))
            return send(w, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == SC_CLOSE)
            send(w, WM_CLOSE, 0, 0);
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
    *rect = design_client(w);
    return TRUE;
}

/* Messages */

BOOL GetMessageA(MSG* msg, HWND window, UINT first, UINT last)
{
    if (!msg)
        return -1;
    for (;;) {
        pump();
        if (next_message(msg, window, first, last, true))
            return msg->message != WM_QUIT;
        if (idle_hook) {
            idle_hook(idle_data);
            pump();
            if (next_message(msg, window, first, last, true))
                return msg->message != WM_QUIT;
        }
        // Nothing can arrive without a window system: end the loop rather
        // than wait for ever.
        if (!SDL_WasInit(SDL_INIT_VIDEO) || !plat_window_first()) {
            *msg = MSG{};
            msg->message = WM_QUIT;
            return FALSE;
        }
        SDL_Event e;
        if (SDL_WaitEvent(&e))
            translate(e);
    }
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove)
{
    if (!msg)
        return FALSE;
    pump();
    return next_message(msg, window, first, last, (remove & PM_REMOVE) != 0);
}

// Key presses send the characters they produce as WM_CHAR, next in line.
BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    if (msg->message == WM_SYSKEYDOWN)
        return TRUE;
    BYTE state[256];
    GetKeyboardState(state);
    WORD out = 0;
    int n = ToAscii((UINT)msg->wParam, (UINT)msg->lParam, state, &out, 0);
    const BYTE* chars = reinterpret_cast<const BYTE*>(&out);
    for (int i = n - 1; i >= 0; --i)
        queue.push_front(MSG{msg->hwnd, WM_CHAR, chars[i], msg->lParam, msg->time, msg->pt});
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg || !plat_window_live(msg->hwnd))
        return 0;
    return send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!window) {  // a message for the thread itself
        post(nullptr, message, wparam, lparam);
        return TRUE;
    }
    if (plat_window_live(window)) {
        post(window, message, wparam, lparam);
        return TRUE;
    }
    for (HWND w : windows())
        if (w == window)
            return FALSE;  // one of ours, destroyed
    return plat_foreign_post ? plat_foreign_post(window, message, wparam, lparam) : FALSE;
}

void PostQuitMessage(int exit_code)
{
    quit_posted = true;
    quit_code = exit_code;
}

/* Painting */

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    HWND w = plat_window_live(window);
    if (!w || !paint)
        return nullptr;
    HDC dc = open_dc(w);
    w->paint_pending = false;
    paint->hdc = dc;
    paint->rcPaint = design_client(w);
    paint->fErase = FALSE;
    if (dc && w->erase_pending) {
        w->erase_pending = false;
        paint->fErase = send(w, WM_ERASEBKGND, (WPARAM)dc, 0) == 0;
    }
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    for (HWND w : windows())
        if (w == window && paint)
            return close_dc(w, paint->hdc);
    return FALSE;
}

HDC GetDC(HWND window)
{
    HWND w = plat_window_live(window);
    return w ? open_dc(w) : nullptr;
}

int ReleaseDC(HWND window, HDC dc)
{
    for (HWND w : windows())
        if (w == window)
            return close_dc(w, dc) ? 1 : 0;
    return 0;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL erase)
{
    HWND w = plat_window_live(window);
    if (!w)
        return FALSE;
    w->paint_pending = true;
    w->erase_pending = w->erase_pending || erase;
    return TRUE;
}

/* Inside the platform layer */

void plat_translate_event(const SDL_Event& event)
{
    translate(event);
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

bool plat_display_offscreen(void)
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return driver_is_memory(SDL_GetCurrentVideoDriver());
    return offscreen_chosen() || driver_is_memory(std::getenv("SDL_VIDEODRIVER")) ||
           !user_display();
}

WndFit wnd_fit(HWND hwnd)
{
    HWND w = plat_window_live(hwnd);
    return w ? WndFit{w->scale, w->offset_x, w->offset_y} : WndFit{1.0, 0, 0};
}

bool wnd_to_design(HWND hwnd, int x, int y, POINT* design)
{
    HWND w = plat_window_live(hwnd);
    if (!w)
        return false;
    int ux = unit_at(w->scale, w->offset_x, WND_DESIGN_WIDTH, x);
    int uy = unit_at(w->scale, w->offset_y, WND_DESIGN_HEIGHT, y);
    if (ux < 0 || uy < 0)
        return false;
    *design = POINT{ux, uy};
    return true;
}

/* Hooks for the command line and tests */

void plat_set_fit(int choice)
{
    fit_choice = choice;
}

void plat_set_window_size(int width, int height)
{
    asked_width = width > 0 && height > 0 ? width : 0;
    asked_height = width > 0 && height > 0 ? height : 0;
}

POINT plat_client_point(HWND window, int x, int y)
{
    WndFit fit = wnd_fit(window);
    auto centre = [&](int offset, int u) {
        long from = std::lround(fit.scale * u), to = std::lround(fit.scale * (u + 1));
        return offset + (int)((from + std::max(from, to - 1)) / 2);
    };
    return POINT{centre(fit.offset_x, x), centre(fit.offset_y, y)};
}

void plat_set_display(int choice)
{
    display_choice = choice;
}

const char* plat_window_error(void)
{
    return window_error.c_str();
}

void plat_set_idle_hook(void (*hook)(void* data), void* data)
{
    idle_hook = hook;
    idle_data = data;
}
