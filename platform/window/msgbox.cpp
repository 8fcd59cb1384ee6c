// Message boxes: a small modal window of our own with the text, the caption
// as its title and one OK button. The text is drawn by the program's own
// text path (the calendar's faces through fontconfig, Shift-JIS text), so
// Japanese reads as it does on the calendar; no toolkit and no X core font
// is involved. Without a display the text goes to standard error.
//
// Calls: MessageBoxA.
#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/draw/codeconv.h"
#include "platform/draw/gdi_internal.h"
#include "platform/window/wnd.h"

namespace {

// Sizes at scale 1, in pixels
const int MARGIN = 20, LINE_HEIGHT = 24, CELL_HEIGHT = 20, HALF_WIDTH = 10;
const int BUTTON_WIDTH = 96, BUTTON_HEIGHT = 30, MIN_WIDTH = 280;
const COLORREF FACE = 0xF0F0F0, INK = 0x000000, BUTTON = 0xE1E1E1, FOCUS = 0xD77800;
// "ＤＦ中丸ゴシック体", the calendar's own face
const char FONT_FACE[] = "\x82\x63\x82\x65\x92\x86\x8a\xdb\x83\x53\x83\x56\x83\x62\x83\x4e\x91\xcc";

struct Box {
    std::vector<std::string> lines;  // Shift-JIS
    double scale = 1;
    int width = 0, height = 0;       // device pixels
    RECT button{};
    HDC dc = nullptr;                // memory DC holding the drawn box
    HBITMAP bitmap = nullptr;
    SDL_Window* window = nullptr;
};

int px(const Box& b, double units)
{
    return (int)std::lround(units * b.scale);
}

std::vector<std::string> split_lines(const char* text)
{
    std::vector<std::string> lines;
    std::string all = text ? text : "";
    for (size_t from = 0;;) {
        size_t end = all.find('\n', from);
        lines.push_back(all.substr(from, end == std::string::npos ? end : end - from));
        if (end == std::string::npos)
            return lines;
        from = end + 1;
    }
}

// A Shift-JIS text is as wide as its bytes in half-width cells.
void measure(Box* b)
{
    size_t widest = 0;
    for (const std::string& line : b->lines)
        widest = std::max(widest, line.size());
    b->width = std::max(px(*b, MIN_WIDTH), px(*b, 2 * MARGIN + HALF_WIDTH * (double)widest));
    int text_bottom = MARGIN + LINE_HEIGHT * (int)b->lines.size();
    b->height = px(*b, text_bottom + MARGIN + BUTTON_HEIGHT + MARGIN);
    int bw = px(*b, BUTTON_WIDTH), bh = px(*b, BUTTON_HEIGHT);
    int top = px(*b, text_bottom + MARGIN);
    b->button = {(b->width - bw) / 2, top, (b->width - bw) / 2 + bw, top + bh};
}

void fill(HDC dc, RECT r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void frame(HDC dc, RECT r, int width, COLORREF colour)
{
    for (int i = 0; i < width; i++) {
        fill(dc, {r.left + i, r.top + i, r.right - i, r.top + i + 1}, colour);
        fill(dc, {r.left + i, r.bottom - i - 1, r.right - i, r.bottom - i}, colour);
        fill(dc, {r.left + i, r.top + i, r.left + i + 1, r.bottom - i}, colour);
        fill(dc, {r.right - i - 1, r.top + i, r.right - i, r.bottom - i}, colour);
    }
}

void text(const Box& b, int x, int y, const std::string& line)
{
    HFONT font = CreateFontA(px(b, CELL_HEIGHT), px(b, HALF_WIDTH), 0, 0, 500, 0, 0, 0,
                             SHIFTJIS_CHARSET, 0, 0, 0, 1 | 48, FONT_FACE);
    HGDIOBJ old = SelectObject(b.dc, font);
    TextOutA(b.dc, x, y, line.data(), (int)line.size());
    SelectObject(b.dc, old);
    DeleteObject(font);
}

// Draws the whole box into its memory DC: the lines, then the OK button
// with the focus frame of the default button.
bool draw(Box* b)
{
    b->dc = CreateCompatibleDC(nullptr);
    b->bitmap = CreateCompatibleBitmap(b->dc, b->width, b->height);
    if (!b->dc || !b->bitmap)
        return false;
    SelectObject(b->dc, b->bitmap);
    fill(b->dc, {0, 0, b->width, b->height}, FACE);
    SetBkMode(b->dc, TRANSPARENT);
    SetTextColor(b->dc, INK);
    for (size_t i = 0; i < b->lines.size(); i++)
        text(*b, px(*b, MARGIN), px(*b, MARGIN + LINE_HEIGHT * (double)i), b->lines[i]);
    fill(b->dc, b->button, BUTTON);
    frame(b->dc, b->button, std::max(1, px(*b, 2)), FOCUS);
    RECT r = b->button;
    text(*b, (r.left + r.right) / 2 - px(*b, HALF_WIDTH), (r.top + r.bottom - px(*b, CELL_HEIGHT)) / 2,
         "OK");
    return true;
}

void show(const Box& b)
{
    cairo_surface_t* image = static_cast<HBITMAP__*>(b.bitmap)->surface;
    plat_dc_flush(image);
    cairo_surface_flush(image);
    SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(
        cairo_image_surface_get_data(image), b.width, b.height, 32,
        cairo_image_surface_get_stride(image), SDL_PIXELFORMAT_RGB888);
    SDL_Surface* screen = SDL_GetWindowSurface(b.window);
    if (view && screen) {
        SDL_BlitSurface(view, nullptr, screen, nullptr);
        SDL_UpdateWindowSurface(b.window);
    }
    SDL_FreeSurface(view);
}

// Centred on the owner's design canvas, or on the screen without an owner.
void place(Box* b, HWND owner, SDL_Window* owner_sdl)
{
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (owner_sdl) {
        WndFit fit = wnd_fit(owner);
        b->scale = fit.scale;
        measure(b);
        SDL_GetWindowPosition(owner_sdl, &x, &y);
        x += fit.offset_x + (int)std::lround(fit.scale * WND_DESIGN_WIDTH / 2) - b->width / 2;
        y += fit.offset_y + (int)std::lround(fit.scale * WND_DESIGN_HEIGHT / 2) - b->height / 2;
    } else {
        measure(b);
    }
    b->window = SDL_CreateWindow("", x, y, b->width, b->height, SDL_WINDOW_HIDDEN);
}

bool inside(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool closing_key(SDL_Keycode k)
{
    return k == SDLK_RETURN || k == SDLK_KP_ENTER || k == SDLK_SPACE || k == SDLK_ESCAPE;
}

// What the user has begun in the box: a key or the button held down.
struct Press {
    SDL_Keycode key = SDLK_UNKNOWN;
    bool button = false;
};

// One event of the box's own window: true when it closes the box. Enter,
// Space and Esc close it when released, so that the release never reaches
// the window behind; so does a click that presses and releases the button,
// and the window's close box.
bool box_event(const Box& b, const SDL_Event& e, Press* press)
{
    switch (e.type) {
    case SDL_KEYDOWN:
        press->key = closing_key(e.key.keysym.sym) ? e.key.keysym.sym : SDLK_UNKNOWN;
        return false;
    case SDL_KEYUP:
        return press->key != SDLK_UNKNOWN && e.key.keysym.sym == press->key;
    case SDL_MOUSEBUTTONDOWN:
        press->button = e.button.button == SDL_BUTTON_LEFT && inside(b.button, e.button.x, e.button.y);
        return false;
    case SDL_MOUSEBUTTONUP:
        return press->button && e.button.button == SDL_BUTTON_LEFT &&
               inside(b.button, e.button.x, e.button.y);
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE)
            return true;
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN)
            show(b);
        return false;
    default:
        return false;
    }
}

Uint32 event_window(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: return e.key.windowID;
    case SDL_TEXTINPUT: return e.text.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return e.button.windowID;
    case SDL_MOUSEMOTION: return e.motion.windowID;
    case SDL_WINDOWEVENT: return e.window.windowID;
    default: return 0;
    }
}

// The box's own loop: its events, and every key while it is up, are handled
// here; every other window's events go to the message queue as usual, and
// their repaints are done at once, so the calendar behind the box stays
// drawn.
void run(const Box& b)
{
    Uint32 id = SDL_GetWindowID(b.window);
    Press press;
    SDL_Event e;
    while (SDL_WaitEvent(&e)) {
        bool key = e.type == SDL_KEYDOWN || e.type == SDL_KEYUP;  // the box is modal
        if (event_window(e) == id || key) {
            if (box_event(b, e, &press))
                return;
            continue;
        }
        plat_translate_event(e);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

bool video_for_box()
{
    if (plat_display_offscreen())
        return false;
    return SDL_WasInit(SDL_INIT_VIDEO) || wnd_sdl_start(SDL_INIT_VIDEO);
}

// The box on screen; false when it cannot be shown there.
bool show_modal(HWND owner, const char* text, const std::string& title)
{
    if (!video_for_box())
        return false;
    Box b;
    b.lines = split_lines(text);
    SDL_Window* owner_sdl = plat_window_sdl(owner);
    place(&b, owner, owner_sdl);
    bool shown = b.window && draw(&b);
    if (shown) {
        SDL_SetWindowTitle(b.window, title.c_str());
        if (owner_sdl)
            SDL_SetWindowModalFor(b.window, owner_sdl);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_KEYDOWN, SDL_KEYUP);  // keys pressed before the box is shown
        SDL_ShowWindow(b.window);
        SDL_RaiseWindow(b.window);
        show(b);
        BOOL was_disabled = EnableWindow(owner, FALSE);
        run(b);
        EnableWindow(owner, !was_disabled);
    }
    if (b.window)
        SDL_DestroyWindow(b.window);
    DeleteDC(b.dc);
    DeleteObject(b.bitmap);
    return shown;
}

}  // namespace

// A message box on the display; otherwise the text goes to standard error,
// so that a message is never lost. Only the OK button is offered.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT)
{
    std::string title = caption ? plat_sjis_to_utf8(caption, std::strlen(caption)) : "Error";
    if (show_modal(owner, text, title))
        return IDOK;
    std::string message = text ? plat_sjis_to_utf8(text, std::strlen(text)) : "";
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    std::fflush(stderr);
    return IDOK;
}
