// The first window's size: maximised under a window manager, the work area
// without one, or the size asked for with plat_set_window_size.
//
// Calls: plat_set_window_size.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>

#include "platform/window/wnd.h"

namespace {

int asked_width = 0, asked_height = 0;  // 0: maximised

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

}  // namespace

// The window opens maximised. Its normal size fits the work area, so that
// un-maximised it lies wholly on the screen. Where nothing maximises
// windows, it takes the work area itself. A size asked for with
// plat_set_window_size is taken as it is.
void wnd_maximise(HWND w)
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

bool wnd_asked_size(int* width, int* height)
{
    *width = asked_width;
    *height = asked_height;
    return asked_width > 0;
}

void plat_set_window_size(int width, int height)
{
    asked_width = width > 0 && height > 0 ? width : 0;
    asked_height = width > 0 && height > 0 ? height : 0;
}
