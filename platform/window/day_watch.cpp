// The day watch: a wake-up for windows at local midnight and when the wall
// clock jumps.
//
// Calls: plat_watch_day.
//
// A thread per watched window sleeps on a timer of the wall clock set to the
// next local midnight. The kernel wakes it at that wall-clock time, also
// when the machine slept through it, and cancels the wait when the clock is
// set; each wake-up sends one event to the message loop and the timer is set
// again. The thread ends when its window is destroyed, or at the latest
// when the program ends, so it never sends an event to a loop that is gone.
#include <SDL.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <map>
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

// Until `stop` is signalled: sleeps until midnight or a jump of the clock,
// then tells the window.
void watch(int timer, int stop, Uint32 window_id)
{
    for (;;) {
        itimerspec at{};
        at.it_value.tv_sec = next_local_midnight();
        if (timerfd_settime(timer, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &at, nullptr) != 0)
            return;
        pollfd wake[2] = {{timer, POLLIN, 0}, {stop, POLLIN, 0}};
        if (poll(wake, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (wake[1].revents)
            return;
        uint64_t expirations;
        if (read(timer, &expirations, sizeof expirations) < 0 && errno != ECANCELED &&
            errno != EINTR)
            return;
        SDL_Event e{};
        e.type = day_event;
        e.user.windowID = window_id;
        SDL_PushEvent(&e);
    }
}

struct Watch {
    int timer = -1, stop = -1;
    std::thread thread;

    ~Watch()
    {
        uint64_t one = 1;
        if (thread.joinable() && write(stop, &one, sizeof one) == sizeof one)
            thread.join();
        else if (thread.joinable())
            thread.detach();  // cannot be told to stop: left to end with the program
        close(timer);
        close(stop);
    }
};

// The watches by window; the map's end, when the program ends, stops any
// still running.
std::map<HWND, Watch>& watches()
{
    static std::map<HWND, Watch> all;
    return all;
}

}  // namespace

unsigned plat_day_event_type(void)
{
    return day_event;
}

void plat_watch_day(HWND window)
{
    HWND w = plat_window_live(window);
    if (!w || !SDL_WasInit(SDL_INIT_VIDEO) || watches().count(w))
        return;
    if (day_event == (Uint32)-1)
        day_event = SDL_RegisterEvents(1);
    if (day_event == (Uint32)-1)
        return;
    Watch& watch_of = watches()[w];
    watch_of.timer = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC);
    watch_of.stop = eventfd(0, EFD_CLOEXEC);
    if (watch_of.timer < 0 || watch_of.stop < 0) {
        watches().erase(w);
        return;
    }
    watch_of.thread = std::thread(watch, watch_of.timer, watch_of.stop, w->sdl_id);
}

void wnd_unwatch_day(HWND w)
{
    watches().erase(w);
}
