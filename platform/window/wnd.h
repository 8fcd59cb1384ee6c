// Windows inside the platform layer (not for code above platform/).
//
// The window room's files share what is declared here:
//   window.cpp       the windows themselves and the Windows-style window calls
//   video.cpp        choosing and starting the video driver
//   framebuffer.cpp  the framebuffer, its fit, window DCs and painting
//   queue.cpp        window-system events as messages in one queue
//   maximise.cpp     the first window's size and maximising under a window manager
// and, with headers of their own or none, fit.cpp (the fit's arithmetic),
// keyboard.cpp, hooks.cpp (input as if the user gave it, snapshots),
// msgbox.cpp, dialog.cpp, icon.cpp, beep.cpp and day_watch.cpp.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "platform/window/fit.h"
#include "platform/window/window.h"

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
    SDL_Surface* screen = nullptr;            // the window's surface, when it is the framebuffer
    SDL_Surface* framebuffer_view = nullptr;  // else the framebuffer's pixels, for copying
    cairo_surface_t* design_view = nullptr;   // the framebuffer's pixels under the design
    SDL_Surface* shown_on = nullptr;          // the window surface last copied to
    bool show_all = true;                     // the next showing takes the whole framebuffer
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

/* The windows (window.cpp) */

// Every window this program made, destroyed ones included: a handle stays
// safe to pass after its window is destroyed, and calls on it then fail.
const std::vector<HWND>& wnd_all(void);
// The window if it is one of ours and not destroyed, else null.
HWND plat_window_live(HWND window);
// The first of our windows not destroyed, or null.
HWND plat_window_first(void);
// Our live window behind an SDL window id, or null.
HWND wnd_by_sdl_id(unsigned id);
// The SDL window behind one of this program's windows; null for any other.
SDL_Window* plat_window_sdl(HWND window);
// Calls the window's procedure; 0 for a destroyed window.
LRESULT wnd_send(HWND w, UINT message, WPARAM wparam, LPARAM lparam);
// The window needs painting, its background erased first.
void wnd_invalidate(HWND w);
// Frees the framebuffer and the SDL window of a destroyed window once no DC
// draws into them.
void wnd_bury(HWND w);
// Sets the icon's image as the window's icon (icon.cpp).
void plat_icon_apply(HICON icon, SDL_Window* window);

/* The video driver (video.cpp) */

// Starts SDL's video on the display that plat_set_display chose; false,
// with plat_window_error saying why, when there is none.
bool wnd_video_ready(void);
// Starts SDL subsystems (SDL_INIT_VIDEO, SDL_INIT_AUDIO), every one through
// here: SDL then installs no signal handlers of its own, which would turn
// SIGINT and SIGTERM into a quit event that nothing ends the program for.
bool wnd_sdl_start(unsigned subsystems);
// Sets the line plat_window_error gives ("" clears it).
void wnd_set_error(const std::string& why);
// True when there is no display to show anything on (the offscreen driver,
// or no display at all).
bool plat_display_offscreen(void);

/* The framebuffer (framebuffer.cpp) */

// Makes the framebuffer cover the client area with the design fitted into
// it; a framebuffer that already fits keeps its drawing. Not while a DC
// draws into it: then at its release.
void wnd_fit_framebuffer(HWND w);
void wnd_drop_framebuffer(HWND w);
// The design's fit in the window now; 1:1 at 0, 0 for a window not ours.
WndFit wnd_fit(HWND hwnd);
// A client point in device pixels as design units; false in the margins
// around the design (and for a window not ours).
bool wnd_to_design(HWND hwnd, int x, int y, POINT* design);
// The client area in design units: what the program may draw over.
RECT wnd_design_client(HWND w);

/* The message queue (queue.cpp) */

// Turns one window-system event into the messages it means, queued for
// GetMessageA (for loops of our own, such as a message box's).
void plat_translate_event(const SDL_Event& event);
// The SDL event type by which plat_watch_day's timer wakes the loop
// (day_watch.cpp).
unsigned plat_day_event_type(void);
// Stops the day watch of a window being destroyed, waiting for its thread.
void wnd_unwatch_day(HWND w);
// Queues the messages other threads posted, when `event` is their wake-up
// (thread_post.cpp); the window's thread only.
void plat_thread_deliver(const SDL_Event& event);

/* Size and maximising (maximise.cpp) */

// The client size plat_set_window_size asked for; false when none was.
bool wnd_asked_size(int* width, int* height);
// Shows the window maximised, or at the size asked for.
void wnd_maximise(HWND w);
