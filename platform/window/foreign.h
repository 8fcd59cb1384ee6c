// Windows of other programs (inside the platform layer only).
//
// EnumWindows hands out HWNDs for top-level windows of every program on the
// display; those that are not this program's own go to PostMessageA like
// any other window. The code that makes such handles (platform/comm/process.cpp)
// sets this hook; PostMessageA (queue.cpp) calls it for any HWND that is not one
// of this program's windows. Null while no foreign window has been seen.
#pragma once

#include "platform/windef.h"

extern BOOL (*plat_foreign_post)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
