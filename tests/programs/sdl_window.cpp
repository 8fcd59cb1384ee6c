// A small program with windows, for the process tests: opens as many
// windows as its argument says (1 when none), hidden when it was started
// with SW_HIDE, and exits with 0 once every window has been asked to close.
// It gives up with 3 after a minute, so a failed test leaves nothing behind.
#include <SDL.h>

#include <cstdlib>
#include <set>

#include "platform/process.h"

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
    // Each window is counted once, however often it is asked; the windows
    // stay until the end, so no request arrives for a window already gone.
    std::set<Uint32> asked;
    Uint32 end = SDL_GetTicks() + 60000;
    while (int(asked.size()) < count && !SDL_TICKS_PASSED(SDL_GetTicks(), end)) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE)
                asked.insert(e.window.windowID);
        SDL_Delay(10);
    }
    // Ends without SDL_Quit: SDL's wake-up of a waiting event loop can
    // address a window that SDL_Quit has already destroyed, and the X error
    // would end the program with 1.
    return int(asked.size()) == count ? 0 : 3;
}
