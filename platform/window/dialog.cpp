// Modeless dialogs and window system menus.
//
// The program's resources hold no dialog templates, so CreateDialogParamA
// finds none and returns null, as it does for any missing template; callers
// then run without the dialog. A system menu is the list of the window
// commands (restore, move, size, minimise, maximise, close), each enabled
// or greyed.
#include <map>
#include <memory>

#include "platform/window/window.h"

struct HMENU__ {
    std::map<UINT, UINT> states;  // command -> MF_ENABLED or MF_GRAYED
};

namespace {

enum : UINT { SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
              SC_RESTORE = 0xF120 };

std::map<HWND, std::unique_ptr<HMENU__>>& system_menus()
{
    static std::map<HWND, std::unique_ptr<HMENU__>> menus;
    return menus;
}

std::unique_ptr<HMENU__> fresh_system_menu()
{
    auto menu = std::make_unique<HMENU__>();
    for (UINT command : {(UINT)SC_RESTORE, (UINT)SC_MOVE, (UINT)SC_SIZE, (UINT)SC_MINIMIZE,
                         (UINT)SC_MAXIMIZE, (UINT)SC_CLOSE})
        menu->states[command] = MF_ENABLED;
    return menu;
}

bool menu_live(HMENU menu)
{
    for (auto& entry : system_menus())
        if (entry.second.get() == menu)
            return true;
    return false;
}

}  // namespace

HWND CreateDialogParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM)
{
    return nullptr;
}

// Messages for the dialog go to it; everything else is left to the caller.
BOOL IsDialogMessageA(HWND dialog, MSG* msg)
{
    if (!dialog || !msg || msg->hwnd != dialog)
        return FALSE;
    DispatchMessageA(msg);
    return TRUE;
}

// revert TRUE restores the window's menu to all commands enabled.
HMENU GetSystemMenu(HWND window, BOOL revert)
{
    if (!window)
        return nullptr;
    auto& menu = system_menus()[window];
    if (!menu || revert)
        menu = fresh_system_menu();
    return revert ? nullptr : menu.get();
}

// The previous state of the command, or (UINT)-1 when the menu has none.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable)
{
    const UINT by_position = 0x0400;  // not offered: items are named by command
    if (!menu || !menu_live(menu) || (enable & by_position))
        return -1;
    auto it = menu->states.find(item);
    if (it == menu->states.end())
        return -1;
    UINT previous = it->second;
    it->second = enable & MF_GRAYED;
    return (BOOL)previous;
}
