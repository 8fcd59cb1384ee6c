// Message boxes: a small modal window of our own with the text, the caption
// as its title and its buttons (OK, or 再試行 and 中止). The text is drawn by
// the program's own text path (the calendar's faces through fontconfig,
// Shift-JIS text), so Japanese reads as it does on the calendar; no toolkit
// and no X core font is involved. The window manager is told it is a dialog
// of its owner. Without a display the text goes to standard error.
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
const int BUTTON_WIDTH = 96, BUTTON_HEIGHT = 30, BUTTON_GAP = 12, MIN_WIDTH = 280;
const COLORREF FACE = 0xF0F0F0, INK = 0x000000, BUTTON = 0xE1E1E1, FOCUS = 0xD77800;
// "ＤＦ中丸ゴシック体", the calendar's own face
const char FONT_FACE[] = "\x82\x63\x82\x65\x92\x86\x8a\xdb\x83\x53\x83\x56\x83\x62\x83\x4e\x91\xcc";

struct Button {
    const char* label;  // Shift-JIS
    int id;
    RECT place{};
};

// The buttons of a box type, the default first.
std::vector<Button> buttons_for(UINT type)
{
    if ((type & 0xF) == MB_RETRYCANCEL)
        return {{"\x8D\xC4\x8E\x8E\x8D\x73", IDRETRY},  // 再試行
                {"\x92\x86\x8E\x7E", IDCANCEL}};          // 中止
    return {{"OK", IDOK}};
}

// What Esc and the close box answer: the cancel button, else the only one.
int cancel_answer(const std::vector<Button>& buttons)
{
    for (const Button& b : buttons)
        if (b.id == IDCANCEL)
            return IDCANCEL;
    return buttons.front().id;
}

struct Box {
    std::vector<std::string> lines;  // Shift-JIS
    std::vector<Button> buttons;
    size_t focus = 0;                // the button Enter and Space press
    double scale = 1;
    int width = 0, height = 0;       // device pixels
    HDC dc = nullptr;                // memory DC holding the drawn box
    HBITMAP bitmap = nullptr;
    SDL_Window* window = nullptr;
    WndTexture hidpi;
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

// A Shift-JIS text is as wide as its bytes in half-width cells. The
// buttons stand side by side, centred under the text.
void measure(Box* b)
{
    size_t widest = 0;
    for (const std::string& line : b->lines)
        widest = std::max(widest, line.size());
    const int count = (int)b->buttons.size();
    const int row = count * BUTTON_WIDTH + (count - 1) * BUTTON_GAP;
    b->width = std::max({px(*b, MIN_WIDTH), px(*b, 2 * MARGIN + HALF_WIDTH * (double)widest),
                         px(*b, 2 * MARGIN + row)});
    int text_bottom = MARGIN + LINE_HEIGHT * (int)b->lines.size();
    b->height = px(*b, text_bottom + MARGIN + BUTTON_HEIGHT + MARGIN);
    int left = (b->width - px(*b, row)) / 2, top = px(*b, text_bottom + MARGIN);
    for (int i = 0; i < count; i++) {
        int x = left + px(*b, i * (BUTTON_WIDTH + BUTTON_GAP));
        b->buttons[i].place = {x, top, x + px(*b, BUTTON_WIDTH), top + px(*b, BUTTON_HEIGHT)};
    }
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

// The buttons, the focus framed as the default button is.
void draw_buttons(const Box& b)
{
    for (size_t i = 0; i < b.buttons.size(); i++) {
        const RECT r = b.buttons[i].place;
        const std::string label = b.buttons[i].label;
        fill(b.dc, r, BUTTON);
        frame(b.dc, r, std::max(1, px(b, 2)), i == b.focus ? FOCUS : BUTTON);
        int x = (r.left + r.right) / 2 - px(b, HALF_WIDTH * (double)label.size() / 2);
        text(b, x, (r.top + r.bottom - px(b, CELL_HEIGHT)) / 2, label);
    }
}

// Draws the whole box into its memory DC: the lines, then the buttons.
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
    draw_buttons(*b);
    return true;
}

void show(Box& b)
{
    cairo_surface_t* image = static_cast<HBITMAP__*>(b.bitmap)->surface;
    plat_dc_flush(image);
    cairo_surface_flush(image);
    SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(
        cairo_image_surface_get_data(image), b.width, b.height, 32,
        cairo_image_surface_get_stride(image), SDL_PIXELFORMAT_RGB888);
    SDL_Surface* screen = b.hidpi.renderer ? nullptr : SDL_GetWindowSurface(b.window);
    if (view && b.hidpi.renderer) {
        wnd_texture_show(&b.hidpi, view, {0, 0, b.width, b.height}, true);
    } else if (view && screen) {
        SDL_BlitSurface(view, nullptr, screen, nullptr);
        SDL_UpdateWindowSurface(b.window);
    }
    SDL_FreeSurface(view);
}

// Centred on the owner's design canvas, at its scale, or on the screen
// without an owner. The box is drawn in the owner's pixels; its window is
// placed and sized in the window system's points.
void place(Box* b, HWND owner, SDL_Window* owner_sdl)
{
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (owner_sdl) {
        WndFit fit = wnd_fit(owner);
        b->scale = fit.scale;
        measure(b);
        SDL_GetWindowPosition(owner_sdl, &x, &y);
        x += wnd_points(owner_sdl, fit.offset_x + fit_extent(fit.scale, WND_DESIGN_WIDTH) / 2 - b->width / 2);
        y += wnd_points(owner_sdl, fit.offset_y + fit_extent(fit.scale, WND_DESIGN_HEIGHT) / 2 - b->height / 2);
    } else {
        measure(b);
    }
    b->window = SDL_CreateWindow("", x, y, wnd_points(owner_sdl, b->width),
                                 wnd_points(owner_sdl, b->height),
                                 SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
}

bool inside(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The button under a point of the box, or -1.
int button_at(const Box& b, int x, int y)
{
    for (size_t i = 0; i < b.buttons.size(); i++)
        if (inside(b.buttons[i].place, x, y))
            return (int)i;
    return -1;
}

// What the user has begun in the box: a key or a button held down.
struct Press {
    SDL_Keycode key = SDLK_UNKNOWN;
    int button = -1;
};

bool answering_key(SDL_Keycode k)
{
    return k == SDLK_RETURN || k == SDLK_KP_ENTER || k == SDLK_SPACE || k == SDLK_ESCAPE;
}

// Tab and the arrows move the focus to the next or the previous button.
void move_focus(Box* b, SDL_Keycode k, Uint16 mod)
{
    const size_t n = b->buttons.size();
    const bool back = k == SDLK_LEFT || k == SDLK_UP || (k == SDLK_TAB && (mod & KMOD_SHIFT));
    b->focus = (b->focus + (back ? n - 1 : 1)) % n;
    draw_buttons(*b);
    show(*b);
}

// One event of the box's own window: the answer once it closes the box,
// else 0. Enter and Space press the button with the focus, Esc the cancel
// button, each when released, so that the release never reaches the window
// behind; so does a click that presses and releases one button. The close
// box answers as Esc does.
int box_event(Box* b, const SDL_Event& e, Press* press)
{
    switch (e.type) {
    case SDL_KEYDOWN: {
        const SDL_Keycode k = e.key.keysym.sym;
        if (k == SDLK_TAB || k == SDLK_LEFT || k == SDLK_RIGHT || k == SDLK_UP || k == SDLK_DOWN)
            move_focus(b, k, e.key.keysym.mod);
        press->key = answering_key(k) ? k : SDLK_UNKNOWN;
        return 0;
    }
    case SDL_KEYUP:
        if (press->key == SDLK_UNKNOWN || e.key.keysym.sym != press->key)
            return 0;
        return press->key == SDLK_ESCAPE ? cancel_answer(b->buttons) : b->buttons[b->focus].id;
    case SDL_MOUSEBUTTONDOWN:
        press->button = e.button.button == SDL_BUTTON_LEFT
                            ? button_at(*b, wnd_pixels(b->window, e.button.x),
                                        wnd_pixels(b->window, e.button.y))
                            : -1;
        return 0;
    case SDL_MOUSEBUTTONUP:
        if (press->button < 0 || e.button.button != SDL_BUTTON_LEFT ||
            button_at(*b, wnd_pixels(b->window, e.button.x), wnd_pixels(b->window, e.button.y)) !=
                press->button)
            return 0;
        return b->buttons[press->button].id;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE)
            return cancel_answer(b->buttons);
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN)
            show(*b);
        return 0;
    default:
        return 0;
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

// The box's own loop, until it is answered: its events, and every key
// while it is up, are handled here; every other window's events go to the
// message queue as usual, and their repaints are done at once, so the
// calendar behind the box stays drawn.
int run(Box* b)
{
    Uint32 id = SDL_GetWindowID(b->window);
    Press press;
    SDL_Event e;
    while (SDL_WaitEvent(&e)) {
        bool key = e.type == SDL_KEYDOWN || e.type == SDL_KEYUP;  // the box is modal
        if (event_window(e) == id || key) {
            if (int answer = box_event(b, e, &press))
                return answer;
            continue;
        }
        plat_translate_event(e);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return cancel_answer(b->buttons);
}

bool video_for_box()
{
    if (plat_display_offscreen())
        return false;
    return SDL_WasInit(SDL_INIT_VIDEO) || wnd_sdl_start(SDL_INIT_VIDEO);
}

// The box on screen and the user's answer; 0 when it cannot be shown there.
int show_modal(HWND owner, const char* text, const std::string& title, UINT type)
{
    if (!video_for_box())
        return 0;
    Box b;
    b.lines = split_lines(text);
    b.buttons = buttons_for(type);
    SDL_Window* owner_sdl = plat_window_sdl(owner);
    place(&b, owner, owner_sdl);
    int answer = 0;
    if (b.window && draw(&b)) {
        wnd_texture_prepare(b.window, &b.hidpi);
        wnd_set_title(b.window, title);
        wnd_make_dialog(b.window, owner_sdl);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_KEYDOWN, SDL_KEYUP);  // keys pressed before the box is shown
        SDL_ShowWindow(b.window);
        if (owner_sdl)  // on Wayland the box has its toplevel only once shown
            SDL_SetWindowModalFor(b.window, owner_sdl);
        SDL_RaiseWindow(b.window);
        show(b);
        BOOL was_disabled = EnableWindow(owner, FALSE);
        answer = run(&b);
        EnableWindow(owner, !was_disabled);
    }
    wnd_texture_drop(&b.hidpi, true);
    if (b.window)
        SDL_DestroyWindow(b.window);
    DeleteDC(b.dc);
    DeleteObject(b.bitmap);
    return answer;
}

}  // namespace

// A message box on the display; otherwise the text goes to standard error,
// so that a message is never lost.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    std::string title = caption ? plat_sjis_to_utf8(caption, std::strlen(caption)) : "Error";
    if (int answer = show_modal(owner, text, title, type))
        return answer;
    std::string message = text ? plat_sjis_to_utf8(text, std::strlen(text)) : "";
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    std::fflush(stderr);
    return cancel_answer(buttons_for(type));
}
