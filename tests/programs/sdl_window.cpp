// SDL windows for the process tests: as many as the argument says (1 when
// none), hidden when started with SW_HIDE; exits with 0 once each has been
// asked to close, or with 3 after a minute so that nothing is left behind.
#include <SDL.h>

#include <cstdlib>
#include <set>

#include "platform/comm/process.h"

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 1;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (count < 1 || count > 8 || SDL_Init(SDL_INIT_VIDEO) != 0)
        return 2;
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    bool hidden = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_HIDE;
    for (int i = 0; i < count; ++i)
        if (!SDL_CreateWindow("sdl_window", 10 + 40 * i, 10, 120, 80,
                              hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN))
            return 2;
    // Each window is counted once, however often it is asked, and stays.
    std::set<Uint32> asked;
    Uint32 end = SDL_GetTicks() + 60000;
    while (int(asked.size()) < count && !SDL_TICKS_PASSED(SDL_GetTicks(), end)) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE)
                asked.insert(e.window.windowID);
        SDL_Delay(10);
    }
    // No SDL_Quit: its wake-up of the event loop can address a window it has
    // already destroyed, and that X error would end the program with 1.
    return int(asked.size()) == count ? 0 : 3;
}
