// Icons and cursors.
//
// Calls: LoadIconA, LoadCursorA.
#include <SDL.h>
#include <SDL_syswm.h>
#include <cairo.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/draw/codeconv.h"
#include "platform/system/file.h"
#include "platform/window/wnd.h"

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

// The program's icon at the sizes the build renders from its scalable
// drawing, for the window manager to pick from, as _NET_WM_ICON holds them:
// width, height, then the rows of unpremultiplied ARGB pixels.
static std::vector<unsigned long> themed_icons()
{
    std::vector<unsigned long> data;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        std::string path = std::string(plat_data_dir()) + "/../icons/hicolor/" +
                           std::to_string(size) + "x" + std::to_string(size) + "/apps/" +
                           RKM_APP_ID ".png";
        cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
        if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS &&
            cairo_image_surface_get_format(png) == CAIRO_FORMAT_ARGB32 &&
            cairo_image_surface_get_width(png) == size &&
            cairo_image_surface_get_height(png) == size) {
            data.push_back(size);
            data.push_back(size);
            const unsigned char* bytes = cairo_image_surface_get_data(png);
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    uint32_t p = *reinterpret_cast<const uint32_t*>(
                        bytes + y * cairo_image_surface_get_stride(png) + 4 * x);
                    uint32_t a = p >> 24;
                    auto part = [&](int shift) { return a ? ((p >> shift & 0xFF) * 255 + a / 2) / a : 0; };
                    data.push_back(a << 24 | part(16) << 16 | part(8) << 8 | part(0));
                }
        }
        cairo_surface_destroy(png);
    }
    return data;
}

// On X11 the window gets every size of the icon; elsewhere the 32 x 32 image
// is all SDL passes on, and the desktop entry's icon stands for the program.
static void apply_themed_icons(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    std::vector<unsigned long> data = themed_icons();
    if (data.empty())
        return;
    Display* display = info.info.x11.display;
    XChangeProperty(display, info.info.x11.window, XInternAtom(display, "_NET_WM_ICON", False),
                    XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), (int)data.size());
    XFlush(display);
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
    apply_themed_icons(window);
}
