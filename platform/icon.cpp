// Icons and cursors.
//
// Calls: LoadIconA, LoadCursorA.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/wnd.h"

struct HICON__ {
    const char* const* art;  // 32 rows of 32 palette letters; null: no image of its own
};

namespace {

enum { ICON_SIZE = 32, PROGRAM_ICON = 400 };

// Icon 400 of the program: a calendar page with a red header, binder
// rings, the days in a grid (Sundays red, Saturdays blue) and today framed.
const char* const calendar_art[ICON_SIZE] = {
    "................................",
    "........GG.............GG.......",
    "........GG.............GG.......",
    "..KKKKKKGGKKKKKKKKKKKKKGGKKKKK..",
    "..KRRRRRGGRRRRRRRRRRRRRGGRRRRK..",
    "..KRRRRRGGRRRRRRRRRRRRRGGRRRRK..",
    "..KRRRRRGGRRRRRRRRRRRRRGGRRRRK..",
    "..KRRRRRRRRRRRRRRRRRRRRRRRRRRK..",
    "..KRRRRRRRRRRRRRRRRRRRRRRRRRRK..",
    "..KRRRRRRRRRRRRRRRRRRRRRRRRRRK..",
    "..KRRRRRRRRRRRRRRRRRRRRRRRRRRK..",
    "..KWWWWWWWWWWWWWWWWWWWWWWWWWWK..",
    "..KWWWWWWWWWWWWWWWWWWWWWWWWWWK..",
    "..KWrrWWKKWWKKWWKKWKKWKKWbbWWK..",
    "..KWrrWWKKWWKKWWKKWKKWKKWbbWWK..",
    "..KWWWWWWWWWWWWWWWWWWWWWWWWWWK..",
    "..KWrrWWKKWWKKWWKKWKKWKKWbbWWK..",
    "..KWrrWWKKWWKKWWKKWKKWKKWbbWWK..",
    "..KWWWWWWWWWWWWBBBBWWWWWWWWWWK..",
    "..KWrrWWKKWWKKWBKKBKKWKKWbbWWK..",
    "..KWrrWWKKWWKKWBKKBKKWKKWbbWWK..",
    "..KWWWWWWWWWWWWBBBBWWWWWWWWWWK..",
    "..KWrrWWKKWWKKWWKKWKKWKKWbbWWK..",
    "..KWrrWWKKWWKKWWKKWKKWKKWbbWWK..",
    "..KWWWWWWWWWWWWWWWWWWWWWWWWWWK..",
    "..KWrrWWKKWWKKWWKKWKKWKKWbbWWK..",
    "..KWrrWWKKWWKKWWKKWKKWKKWbbWWK..",
    "..KWWWWWWWWWWWWWWWWWWWWWWWWWWK..",
    "..KWWWWWWWWWWWWWWWWWWWWWWWWWWK..",
    "..KKKKKKKKKKKKKKKKKKKKKKKKKKKK..",
    "................................",
    "................................",
};

// 0xAARRGGBB of each palette letter; '.' is transparent.
Uint32 art_colour(char c)
{
    switch (c) {
    case 'K': return 0xFF303030;
    case 'W': return 0xFFFFFFFF;
    case 'R': return 0xFFD02828;
    case 'G': return 0xFF909090;
    case 'r': return 0xFFE00000;
    case 'b': return 0xFF0040C0;
    case 'B': return 0xFF0000FF;
    default: return 0x00000000;
    }
}

HICON__ program_icon = {calendar_art};
HICON__ system_icon = {nullptr};
HICON__ arrow_cursor = {nullptr};

// A resource named by number, as MAKEINTRESOURCEA makes it or as "#400".
int resource_number(LPCSTR name)
{
    uintptr_t value = (uintptr_t)name;
    if (value <= 0xFFFF)
        return (int)value;
    if (name[0] == '#')
        return std::atoi(name + 1);
    return -1;
}

bool is_system_resource(int id)
{
    return id >= 32512 && id <= 32651;
}

}  // namespace

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    int id = resource_number(name);
    if (!instance)
        return is_system_resource(id) ? &system_icon : nullptr;
    return id == PROGRAM_ICON ? &program_icon : nullptr;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    return !instance && is_system_resource(resource_number(name)) ? &arrow_cursor : nullptr;
}

void plat_icon_apply(HICON icon, SDL_Window* window)
{
    if (!icon || !icon->art || !window)
        return;
    SDL_Surface* image =
        SDL_CreateRGBSurfaceWithFormat(0, ICON_SIZE, ICON_SIZE, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!image)
        return;
    for (int y = 0; y < ICON_SIZE; ++y) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(image->pixels) +
                                                y * image->pitch);
        for (int x = 0; x < ICON_SIZE; ++x)
            row[x] = art_colour(icon->art[y][x]);
    }
    SDL_SetWindowIcon(window, image);
    SDL_FreeSurface(image);
}
