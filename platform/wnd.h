// Windows inside the platform layer (not for code above platform/).
#pragma once

#include <cairo.h>

#include <vector>

#include "platform/window.h"

struct SDL_Window;
struct SDL_Surface;
union SDL_Event;

struct HWND__ {
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    SDL_Window* sdl = nullptr;
    unsigned sdl_id = 0;
    cairo_surface_t* framebuffer = nullptr;   // RGB24, the client area (or the design 1:1)
    SDL_Surface* framebuffer_view = nullptr;  // the framebuffer's pixels, for blitting
    cairo_surface_t* design_view = nullptr;   // the framebuffer's pixels under the design
    SDL_Surface* shown_on = nullptr;          // the window surface last copied to
    bool show_all = true;                     // the next copy takes the whole framebuffer
    int width = 0;  // client area, device pixels
    int height = 0;
    double scale = 1.0;  // the design's fit in the framebuffer, as wnd_fit gives it
    int offset_x = 0;
    int offset_y = 0;
    bool alive = true;  // false once destroyed; the handle itself stays valid
    bool enabled = true;
    bool visible = false;
    bool paint_pending = false;
    bool erase_pending = false;
    std::vector<HDC> dcs;  // window DCs not yet released
};

// The program's design, in design units.
constexpr int WND_DESIGN_WIDTH = 1024, WND_DESIGN_HEIGHT = 768;

// How a window shows the program's 1024 x 768 design: design unit u lies
// at device pixel offset + round(scale * u), the design centred in the
// client area as large as fits (or 1:1 when plat_set_fit asked for it).
struct WndFit {
    double scale;
    int offset_x, offset_y;
};
WndFit wnd_fit(HWND hwnd);
// A client point in device pixels as design units; false in the margins
// around the design (and for a window not ours).
bool wnd_to_design(HWND hwnd, int x, int y, POINT* design);

// The window if it is one of ours and not destroyed, else null.
HWND plat_window_live(HWND window);
// The first of our windows not destroyed, or null.
HWND plat_window_first(void);

// The SDL window behind one of this program's windows; null for any other.
SDL_Window* plat_window_sdl(HWND window);
// True when there is no display to show anything on (the offscreen driver,
// or no display at all).
bool plat_display_offscreen(void);
// Turns one window-system event into the messages it means, queued for
// GetMessageA (for loops of our own, such as a message box's).
void plat_translate_event(const SDL_Event& event);
// The SDL event type by which plat_watch_day's timer wakes the loop.
unsigned plat_day_event_type(void);
// Queues the messages other threads posted, when `event` is their wake-up
// (thread_post.cpp); the window's thread only.
void plat_thread_deliver(const SDL_Event& event);
// Sets the icon's image as the window's icon (icon.cpp).
void plat_icon_apply(HICON icon, SDL_Window* window);
