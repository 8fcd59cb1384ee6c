// The framebuffer and its fit, window DCs and painting.
//
// Calls: BeginPaint, EndPaint, GetDC, ReleaseDC, InvalidateRect;
// plat_set_fit, plat_client_point.
//
// Each window has a framebuffer: an RGB24 cairo image surface of its client
// area. Where the window system's own surface for the window has that
// format and size (X11's shared memory, the offscreen driver's memory), the
// framebuffer is that surface, so that drawing goes straight into the
// pixels shown and showing them copies nothing; otherwise it is memory of
// its own, copied to the window's surface. The program draws in the units
// of its fixed 1024 x 768 design; the design is shown centred in the client
// area, as large as fits with its shape kept, and the margins around it are
// one calm colour. Window DCs draw the design at that scale straight onto
// the framebuffer's pixels, so shapes and text are as sharp as the screen
// allows; releasing one shows what it drew.
#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/draw/dc.h"
#include "platform/window/wnd.h"

namespace {

const COLORREF MARGIN_COLOUR = RGB(0x20, 0x26, 0x30);  // a dark slate beside the design's frame

int fit_choice = PLAT_FIT_WINDOW;

// The margins in their colour and the design's part black, each pixel once.
void fill_frame(cairo_surface_t* fb, const WndFit& fit, int design_w, int design_h)
{
    cairo_t* cr = cairo_create(fb);
    cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(fb),
                    cairo_image_surface_get_height(fb));
    cairo_rectangle(cr, fit.offset_x, fit.offset_y, design_w, design_h);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_source_rgb(cr, GetRValue(MARGIN_COLOUR) / 255.0, GetGValue(MARGIN_COLOUR) / 255.0,
                         GetBValue(MARGIN_COLOUR) / 255.0);
    cairo_fill(cr);
    cairo_rectangle(cr, fit.offset_x, fit.offset_y, design_w, design_h);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill(cr);
    cairo_destroy(cr);
}

// Whether the window's surface can be the framebuffer itself.
bool can_draw_on(const SDL_Surface* screen, int width, int height)
{
    return screen && screen->pixels && screen->format->format == SDL_PIXELFORMAT_RGB888 &&
           screen->w == width && screen->h == height && screen->pitch % 4 == 0;
}

// Shows the framebuffer's pixels x0..x1-1 by y0..y1-1 on screen, copying
// them to the window's surface first where the framebuffer is not that
// surface; the whole framebuffer when it or the window's surface is new.
void present(HWND w, int x0, int y0, int x1, int y1)
{
    if (!w->sdl || !w->visible || !w->framebuffer)
        return;
    // Drawn on the window's surface already; a copy goes to a surface asked
    // for anew, as the window system may have replaced it.
    SDL_Surface* screen = w->screen ? w->screen : SDL_GetWindowSurface(w->sdl);
    if (!screen || (!w->screen && !w->framebuffer_view))
        return;
    if (w->show_all || screen != w->shown_on) {
        x0 = y0 = 0;
        x1 = y1 = INT32_MAX;
    }
    x1 = std::min({x1, screen->w, cairo_image_surface_get_width(w->framebuffer)});
    y1 = std::min({y1, screen->h, cairo_image_surface_get_height(w->framebuffer)});
    if (x1 <= x0 || y1 <= y0)
        return;
    cairo_surface_flush(w->framebuffer);
    SDL_Rect area = {x0, y0, x1 - x0, y1 - y0};
    if (!w->screen)
        SDL_BlitSurface(w->framebuffer_view, &area, screen, &area);
    SDL_UpdateWindowSurfaceRects(w->sdl, &area, 1);
    w->shown_on = screen;
    w->show_all = false;
}

HDC open_dc(HWND w)
{
    wnd_fit_framebuffer(w);
    if (!w->design_view)
        return nullptr;
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
        wnd_bury(w);
        return true;
    }
    wnd_fit_framebuffer(w);
    present(w, w->offset_x + drawn.x0, w->offset_y + drawn.y0, w->offset_x + drawn.x1,
            w->offset_y + drawn.y1);
    return true;
}

// The window of ours, live or destroyed, that `window` is; null for others.
HWND ours(HWND window)
{
    for (HWND w : wnd_all())
        if (w == window)
            return w;
    return nullptr;
}

}  // namespace

void wnd_drop_framebuffer(HWND w)
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
    w->screen = nullptr;
}

// The design's part of a new framebuffer starts black. A client area too
// large for an image (over 32767 pixels a side) or for the memory left
// gets no framebuffer: the window then shows nothing and its DCs draw
// nothing, rather than draw through a surface without pixels.
//
// Only here, while no DC draws, is the window's surface asked for: the
// window system may have replaced it (the window's size changed), and SDL
// frees the one replaced when it is next asked for.
void wnd_fit_framebuffer(HWND w)
{
    if (!w->dcs.empty())
        return;
    WndFit fit = fit_for(w->width, w->height, fit_choice == PLAT_FIT_ONE_TO_ONE);
    int design_w = fit_extent(fit.scale, WND_DESIGN_WIDTH);
    int design_h = fit_extent(fit.scale, WND_DESIGN_HEIGHT);
    int width = std::max(w->width, fit.offset_x + design_w);
    int height = std::max(w->height, fit.offset_y + design_h);
    SDL_Surface* screen = w->sdl ? SDL_GetWindowSurface(w->sdl) : nullptr;
    bool direct = can_draw_on(screen, width, height);
    cairo_surface_t* old = w->framebuffer;
    if (old && cairo_image_surface_get_width(old) == width &&
        cairo_image_surface_get_height(old) == height && w->scale == fit.scale &&
        w->offset_x == fit.offset_x && w->offset_y == fit.offset_y &&
        w->screen == (direct ? screen : nullptr))
        return;
    wnd_drop_framebuffer(w);
    cairo_surface_t* fb =
        direct ? cairo_image_surface_create_for_data(static_cast<unsigned char*>(screen->pixels),
                                                     CAIRO_FORMAT_RGB24, width, height,
                                                     screen->pitch)
               : cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(fb) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(fb);
        return;
    }
    fill_frame(fb, fit, design_w, design_h);
    cairo_surface_flush(fb);
    unsigned char* data = cairo_image_surface_get_data(fb);
    int stride = cairo_image_surface_get_stride(fb);
    w->framebuffer = fb;
    w->screen = direct ? screen : nullptr;
    w->design_view = cairo_image_surface_create_for_data(
        data + (size_t)fit.offset_y * stride + (size_t)fit.offset_x * 4, CAIRO_FORMAT_RGB24,
        design_w, design_h, stride);
    if (!direct)
        w->framebuffer_view = SDL_CreateRGBSurfaceWithFormatFrom(data, width, height, 32, stride,
                                                                 SDL_PIXELFORMAT_RGB888);
    if (cairo_surface_status(w->design_view) != CAIRO_STATUS_SUCCESS ||
        (!direct && !w->framebuffer_view)) {
        wnd_drop_framebuffer(w);
        return;
    }
    w->scale = fit.scale;
    w->offset_x = fit.offset_x;
    w->offset_y = fit.offset_y;
    w->show_all = true;
}

RECT wnd_design_client(HWND w)
{
    return RECT{0, 0, (LONG)std::lround(w->width / w->scale),
                (LONG)std::lround(w->height / w->scale)};
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
    int ux = fit_unit_at(w->scale, w->offset_x, WND_DESIGN_WIDTH, x);
    int uy = fit_unit_at(w->scale, w->offset_y, WND_DESIGN_HEIGHT, y);
    if (ux < 0 || uy < 0)
        return false;
    *design = POINT{ux, uy};
    return true;
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
    paint->rcPaint = wnd_design_client(w);
    paint->fErase = FALSE;
    if (dc && w->erase_pending) {
        w->erase_pending = false;
        paint->fErase = wnd_send(w, WM_ERASEBKGND, (WPARAM)dc, 0) == 0;
    }
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    HWND w = ours(window);
    return w && paint && close_dc(w, paint->hdc);
}

HDC GetDC(HWND window)
{
    HWND w = plat_window_live(window);
    return w ? open_dc(w) : nullptr;
}

int ReleaseDC(HWND window, HDC dc)
{
    HWND w = ours(window);
    return w && close_dc(w, dc) ? 1 : 0;
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

/* Hooks for the command line and tests */

void plat_set_fit(int choice)
{
    fit_choice = choice;
}

POINT plat_client_point(HWND window, int x, int y)
{
    WndFit fit = wnd_fit(window);
    auto centre = [&](int offset, int u) {
        int from = fit_pixel(fit.scale, offset, u), to = fit_pixel(fit.scale, offset, u + 1);
        return (from + std::max(from, to - 1)) / 2;
    };
    return POINT{centre(fit.offset_x, x), centre(fit.offset_y, y)};
}
