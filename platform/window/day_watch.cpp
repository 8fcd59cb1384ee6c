// The day watch: a wake-up for windows at local midnight and when the wall
// clock jumps.
//
// Calls: plat_watch_day.
//
// A thread sleeps on a timer of the wall clock set to the next local
// midnight. The kernel wakes it at that wall-clock time, also when the
// machine slept through it, and cancels the wait when the clock is set; each
// wake-up sends one event to the message loop and the timer is set again.
#include <SDL.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <thread>

#include "platform/window/wnd.h"

namespace {

Uint32 day_event = (Uint32)-1;

time_t next_local_midnight()
{
    time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    t.tm_mday += 1;
    t.tm_hour = t.tm_min = t.tm_sec = 0;
    t.tm_isdst = -1;
    time_t midnight = std::mktime(&t);
    return midnight > now ? midnight : now + 1;
}

void watch(int timer, Uint32 window_id)
{
    for (;;) {
        itimerspec at{};
        at.it_value.tv_sec = next_local_midnight();
        if (timerfd_settime(timer, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &at, nullptr) != 0)
            break;
        uint64_t expirations;
        if (read(timer, &expirations, sizeof expirations) < 0 && errno != ECANCELED) {
            if (errno == EINTR)
                continue;
            break;
        }
        SDL_Event e{};
        e.type = day_event;
        e.user.windowID = window_id;
        SDL_PushEvent(&e);
    }
    close(timer);
}

}  // namespace

unsigned plat_day_event_type(void)
{
    return day_event;
}

void plat_watch_day(HWND window)
{
    HWND w = plat_window_live(window);
    if (!w || !SDL_WasInit(SDL_INIT_VIDEO))
        return;
    if (day_event == (Uint32)-1)
        day_event = SDL_RegisterEvents(1);
    int timer = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC);
    if (day_event == (Uint32)-1 || timer < 0)
        return;
    std::thread(watch, timer, w->sdl_id).detach();
}
