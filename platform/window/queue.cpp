// The message queue: window-system events become messages in one queue, in
// the order they happened; a window that needs painting gets WM_PAINT when
// nothing else is queued, as on Windows.
//
// Calls: GetMessageA, PeekMessageA, TranslateMessage, DispatchMessageA,
// PostMessageA, PostQuitMessage; plat_set_idle_hook.
#include <SDL.h>

#include <array>
#include <deque>

#include "platform/window/foreign.h"
#include "platform/window/keyboard.h"
#include "platform/window/wnd.h"

BOOL (*plat_foreign_post)(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = nullptr;

namespace {

// A message, and for input the keys held when it happened.
struct Queued {
    MSG msg;
    bool input = false;
    std::array<BYTE, 256> keys{};
};
std::deque<Queued> queue;
bool quit_posted = false;
int quit_code = 0;
void (*idle_hook)(void*) = nullptr;
void* idle_data = nullptr;

void post(HWND window, UINT message, WPARAM wparam, LPARAM lparam, bool input = false)
{
    Queued entry;
    MSG& msg = entry.msg;
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
    entry.input = input;
    if (input)
        plat_key_state_now(entry.keys.data());
    queue.push_back(entry);
}

void window_event(HWND w, const SDL_WindowEvent& e)
{
    switch (e.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
        wnd_invalidate(w);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        w->width = e.data1;
        w->height = e.data2;
        wnd_fit_framebuffer(w);
        wnd_invalidate(w);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        if (w->enabled)  // a disabled window's close box does nothing, as a click would
            post(w, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void translate(const SDL_Event& e)
{
    PlatKeyMessage key;
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
        if (plat_key_event(e, &key)) {
            HWND w = wnd_by_sdl_id(e.key.windowID);
            if (!w)
                w = plat_window_first();  // keys with no focus window reported
            if (w)
                post(w, key.message, key.vk, key.data, true);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HWND w = wnd_by_sdl_id(e.button.windowID);
        POINT at;
        // A press in the margins around the design reaches nothing.
        if (e.button.button == SDL_BUTTON_LEFT && w &&
            wnd_to_design(w, e.button.x, e.button.y, &at))
            post(w, e.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                 e.type == SDL_MOUSEBUTTONDOWN ? MK_LBUTTON : (WPARAM)0, MAKELPARAM(at.x, at.y), true);
        break;
    }
    case SDL_MOUSEWHEEL: {
        HWND w = wnd_by_sdl_id(e.wheel.windowID);
        POINT at;
        int turn = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        // A turn over the margins around the design reaches nothing, as a press.
        if (turn != 0 && w && wnd_to_design(w, e.wheel.mouseX, e.wheel.mouseY, &at))
            post(w, WM_MOUSEWHEEL, (WPARAM)MAKELPARAM(0, turn * WHEEL_DELTA),
                 MAKELPARAM(at.x, at.y), true);
        break;
    }
    case SDL_WINDOWEVENT:
        if (HWND w = wnd_by_sdl_id(e.window.windowID))
            window_event(w, e.window);
        break;
    default:
        if (e.type == plat_day_event_type())
            if (HWND w = wnd_by_sdl_id(e.user.windowID))
                post(w, WM_TIMECHANGE, 0, 0);
        plat_thread_deliver(e);
        break;
    }
}

// Translates every waiting window-system event; how many there were.
int pump()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return 0;
    int taken = 0;
    SDL_Event e;
    for (; SDL_PollEvent(&e); taken++)
        translate(e);
    return taken;
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
        HWND w = it->msg.hwnd;
        bool gone = w && !plat_window_live(w);
        if (gone || (w && is_input(it->msg.message) && !w->enabled)) {
            it = queue.erase(it);
            continue;
        }
        if (matches(it->msg, window, first, last)) {
            *out = it->msg;
            if (remove && it->input)
                plat_key_state_seen(it->keys.data());
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
        for (HWND w : wnd_all()) {
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

}  // namespace

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
            int taken = pump();
            if (next_message(msg, window, first, last, true))
                return msg->message != WM_QUIT;
            // Events the hook gave may come to nothing, as a click beside
            // the design does: the hook is asked again, rather than the
            // loop waiting for events that may never come.
            if (taken > 0)
                continue;
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
        queue.push_front({MSG{msg->hwnd, WM_CHAR, chars[i], msg->lParam, msg->time, msg->pt}});
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg || !plat_window_live(msg->hwnd))
        return 0;
    return wnd_send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
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
    for (HWND w : wnd_all())
        if (w == window)
            return FALSE;  // one of ours, destroyed
    return plat_foreign_post ? plat_foreign_post(window, message, wparam, lparam) : FALSE;
}

void PostQuitMessage(int exit_code)
{
    quit_posted = true;
    quit_code = exit_code;
}

void plat_translate_event(const SDL_Event& event)
{
    translate(event);
}

void plat_set_idle_hook(void (*hook)(void* data), void* data)
{
    idle_hook = hook;
    idle_data = data;
}
