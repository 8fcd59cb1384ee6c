// Messages from other threads: a locked list of messages, and one SDL event
// (SDL's queue may be pushed to from any thread) to wake the message loop.
//
// Calls: plat_thread_post_init, plat_post_from_thread.
#include "platform/window/thread_post.h"

#include <SDL.h>

#include <deque>
#include <mutex>

#include "platform/window/window.h"
#include "platform/window/wnd.h"

namespace {

std::mutex lock;
std::deque<MSG> waiting;
Uint32 wake_type = (Uint32)-1;

}  // namespace

void plat_thread_post_init(void)
{
    if (wake_type == (Uint32)-1)
        wake_type = SDL_RegisterEvents(1);
}

BOOL plat_post_from_thread(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (wake_type == (Uint32)-1)
        return FALSE;
    {
        std::lock_guard<std::mutex> hold(lock);
        waiting.push_back(MSG{window, message, wparam, lparam, 0, {0, 0}});
    }
    SDL_Event e{};
    e.type = wake_type;
    SDL_PushEvent(&e);  // may fail before the window system starts: the message then waits
    return TRUE;
}

void plat_thread_deliver(const SDL_Event& event)
{
    if (wake_type == (Uint32)-1 || event.type != wake_type)
        return;
    std::deque<MSG> now;
    {
        std::lock_guard<std::mutex> hold(lock);
        now.swap(waiting);
    }
    for (const MSG& m : now)
        PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
}
