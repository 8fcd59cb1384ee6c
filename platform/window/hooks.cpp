// Hooks for the program's command line and for tests: input as if the user
// gave it, the framebuffer as PNG, and what the screen shows.
//
// Calls: plat_inject_key, plat_inject_text, plat_inject_click,
// plat_inject_wheel, plat_inject_paint, plat_inject_close, plat_save_window_png,
// plat_screen_pixel.
#include <SDL.h>
#include <cairo.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/draw/dc.h"
#include "platform/system/out_file.h"
#include "platform/window/keyboard.h"
#include "platform/window/wnd.h"

namespace {

HWND target(HWND window)
{
    return window ? plat_window_live(window) : plat_window_first();
}

void push_window_event(HWND window, Uint8 what)
{
    HWND w = target(window);
    if (!w)
        return;
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_WINDOWEVENT;
    e.window.timestamp = SDL_GetTicks();
    e.window.windowID = w->sdl_id;
    e.window.event = what;
    SDL_PushEvent(&e);
}

cairo_status_t png_write(void* closure, const unsigned char* data, unsigned int length)
{
    return plat_out_write(static_cast<PlatOutFile*>(closure), data, length)
               ? CAIRO_STATUS_SUCCESS
               : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

void plat_inject_key(HWND window, UINT vk, const char* text, int mods)
{
    HWND w = target(window);
    if (w)
        plat_key_push(w->sdl_id, vk, text, mods);
}

void plat_inject_text(HWND window, const char* utf8)
{
    HWND w = target(window);
    if (!w || !utf8)
        return;
    for (const char* p = utf8; *p;) {
        int length = 1;  // one UTF-8 character
        while (length < 4 && ((unsigned char)p[length] & 0xC0) == 0x80)
            ++length;
        std::string one(p, length);
        UINT vk = plat_vk_for_char((unsigned char)*p);
        bool visible = (unsigned char)*p >= ' ' && *p != 0x7F;
        plat_key_push(w->sdl_id, vk, visible ? one.c_str() : nullptr);
        p += length;
    }
}

void plat_inject_click(HWND window, int x, int y)
{
    HWND w = target(window);
    if (!w)
        return;
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.timestamp = SDL_GetTicks();
    e.button.windowID = w->sdl_id;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.state = SDL_RELEASED;
    SDL_PushEvent(&e);
}

void plat_inject_wheel(HWND window, int x, int y, int notches)
{
    HWND w = target(window);
    if (!w)
        return;
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.timestamp = SDL_GetTicks();
    e.wheel.windowID = w->sdl_id;
    e.wheel.y = notches;
    e.wheel.preciseY = (float)notches;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    SDL_PushEvent(&e);
}

void plat_inject_paint(HWND window)
{
    push_window_event(window, SDL_WINDOWEVENT_EXPOSED);
}

void plat_inject_close(HWND window)
{
    push_window_event(window, SDL_WINDOWEVENT_CLOSE);
}

BOOL plat_save_window_png(HWND window, const char* path, std::string* reason)
{
    HWND w = plat_window_live(window);
    if (!w || !path) {
        *reason = "there is no window to save";
        return FALSE;
    }
    if (!w->framebuffer) {
        *reason = "the window is too large to draw";
        return FALSE;
    }
    PlatOutFile* out = plat_out_open(path, reason);
    if (!out)
        return FALSE;
    plat_dc_flush(w->design_view);  // what a DC still open has drawn
    cairo_surface_flush(w->framebuffer);
    int width = std::min(std::max(w->width, 1), cairo_image_surface_get_width(w->framebuffer));
    int height = std::min(std::max(w->height, 1), cairo_image_surface_get_height(w->framebuffer));
    cairo_surface_t* design = cairo_image_surface_create_for_data(
        cairo_image_surface_get_data(w->framebuffer), CAIRO_FORMAT_RGB24, width, height,
        cairo_image_surface_get_stride(w->framebuffer));
    cairo_status_t status = cairo_surface_write_to_png_stream(design, png_write, out);
    cairo_surface_destroy(design);
    if (status == CAIRO_STATUS_NO_MEMORY) {
        plat_out_abort(out);
        *reason = std::strerror(ENOMEM);
        return FALSE;
    }
    return plat_out_commit(out, reason);
}

COLORREF plat_screen_pixel(HWND window, int x, int y)
{
    HWND w = plat_window_live(window);
    if (!w || !w->sdl || !w->visible)
        return CLR_INVALID;
    SDL_Surface* screen = w->screen ? w->screen : SDL_GetWindowSurface(w->sdl);
    if (!screen || x < 0 || y < 0 || x >= screen->w || y >= screen->h)
        return CLR_INVALID;
    Uint32 pixel = 0;
    const Uint8* row = static_cast<const Uint8*>(screen->pixels) + y * screen->pitch;
    std::memcpy(&pixel, row + x * screen->format->BytesPerPixel,
                std::min<int>(4, screen->format->BytesPerPixel));
    Uint8 r, g, b;
    SDL_GetRGB(pixel, screen->format, &r, &g, &b);
    return RGB(r, g, b);
}
