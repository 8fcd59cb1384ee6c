// Choosing the video driver: the user's display (X11 or Wayland), or memory
// only for snapshots, as plat_set_display asks.
//
// Calls: plat_set_display, plat_window_error.
#include <SDL.h>
#include <X11/Xlib.h>
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/window/wnd.h"

namespace {

int display_choice = PLAT_DISPLAY_REAL;
std::string window_error;

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

}  // namespace

bool wnd_sdl_start(unsigned subsystems)
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(subsystems) == 0;
}

bool wnd_video_ready(void)
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
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The window's class (X11 WM_CLASS, Wayland app id) names the desktop entry.
    setenv("SDL_VIDEO_X11_WMCLASS", RKM_APP_ID, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", RKM_APP_ID, 0);
    if (offscreen)
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    else if (visible && has_env("DISPLAY") != has_env("WAYLAND_DISPLAY"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, has_env("DISPLAY") ? "x11" : "wayland");  // no other tried
    if (!wnd_sdl_start(SDL_INIT_VIDEO)) {
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

void wnd_set_error(const std::string& why)
{
    window_error = why;
}

bool plat_display_offscreen(void)
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return driver_is_memory(SDL_GetCurrentVideoDriver());
    return offscreen_chosen() || driver_is_memory(std::getenv("SDL_VIDEODRIVER")) ||
           !user_display();
}

void plat_set_display(int choice)
{
    display_choice = choice;
}

const char* plat_window_error(void)
{
    return window_error.c_str();
}
