// Messages from other threads.
//
// Calls: plat_thread_post_init, plat_post_from_thread.
//
// PostMessageA belongs to the window's thread: its queue has no lock. A
// thread of the program's own (one fetching calendars, say) hands its
// message here instead; the message loop takes it up and queues it as
// PostMessageA would, waking up if it was waiting.
#pragma once

#include "platform/windef.h"

// Messages a program defines for itself: WM_APP to 0xBFFF.
enum : UINT { WM_APP = 0x8000 };

// Makes plat_post_from_thread ready: once, from the window's thread,
// before another thread posts.
void plat_thread_post_init(void);
// Queues `message` for `window` from any thread; FALSE before
// plat_thread_post_init. A message for a window destroyed meanwhile is
// dropped, as PostMessageA drops it.
BOOL plat_post_from_thread(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
