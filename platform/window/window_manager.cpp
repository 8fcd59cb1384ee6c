// What the window manager is told about a window beyond what SDL says: its
// title in both the old and the new property, and a message box as a
// dialog of the calendar. On Wayland SDL's own calls say all of it.
//
// Calls: SetWindowTextA.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <string>

#include "platform/draw/codeconv.h"
#include "platform/window/wnd.h"

namespace {

struct X11Window {
    Display* display = nullptr;
    Window window = 0;
};

X11Window x11_of(SDL_Window* sdl)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!sdl || !SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    return {info.info.x11.display, info.info.x11.window};
}

}  // namespace

// SDL writes the title's UTF-8 bytes into WM_NAME typed as Latin-1 STRING,
// which window managers that read only WM_NAME show garbled. WM_NAME gets
// the title as the ICCCM wants it: STRING where Latin-1 holds it, else
// COMPOUND_TEXT; _NET_WM_NAME keeps SDL's UTF-8.
void wnd_set_title(SDL_Window* sdl, const std::string& utf8)
{
    if (!sdl)
        return;
    SDL_SetWindowTitle(sdl, utf8.c_str());
    X11Window x = x11_of(sdl);
    if (!x.display)
        return;
    char* list[] = {const_cast<char*>(utf8.c_str())};
    XTextProperty name;
    if (Xutf8TextListToTextProperty(x.display, list, 1, XStdICCTextStyle, &name) < Success)
        return;
    XSetWMName(x.display, x.window, &name);
    XFree(name.value);
    XFlush(x.display);
}

// A box of the calendar's: a dialog (no minimise or maximise buttons),
// kept above its owner. Before the box is mapped.
void wnd_make_dialog(SDL_Window* box, SDL_Window* owner)
{
    if (owner)
        SDL_SetWindowModalFor(box, owner);  // transient for the owner, modal where it can be
    X11Window x = x11_of(box), o = x11_of(owner);
    if (!x.display)
        return;
    Atom type = XInternAtom(x.display, "_NET_WM_WINDOW_TYPE", False);
    Atom dialog = XInternAtom(x.display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(x.display, x.window, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialog), 1);
    if (o.display)
        XSetTransientForHint(x.display, x.window, o.window);
    XFlush(x.display);
}

BOOL SetWindowTextA(HWND window, LPCSTR text)
{
    HWND w = plat_window_live(window);
    if (!w || !text)
        return FALSE;
    const std::string utf8 = plat_sjis_to_utf8(text, std::strlen(text));
    if (utf8 != SDL_GetWindowTitle(w->sdl))  // a paint that shows the same month sets nothing
        wnd_set_title(w->sdl, utf8);
    return TRUE;
}
