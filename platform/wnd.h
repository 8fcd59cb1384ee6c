// Windows inside the platform layer (not for code above platform/).
#pragma once

#include "platform/window.h"

struct SDL_Window;

// The SDL window behind one of this program's windows; null for any other.
SDL_Window* plat_window_sdl(HWND window);
// True when there is no display to show anything on (the offscreen driver,
// or no display at all).
bool plat_display_offscreen(void);
// Sets the icon's image as the window's icon (icon.cpp).
void plat_icon_apply(HICON icon, SDL_Window* window);
