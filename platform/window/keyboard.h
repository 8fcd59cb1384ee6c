// Keys inside the platform layer (not for code above platform/).
//
// Turns the window system's key events into Windows virtual-key codes and
// key data, keeps the key state that GetKeyboardState reports, and
// remembers the text each key produced while it was down, so that ToAscii
// can give the character of the user's own keyboard layout when the key
// is released.
#pragma once

#include "platform/window/window.h"

union SDL_Event;

struct PlatKeyMessage {
    UINT message;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP
    WPARAM vk;
    LPARAM data;   // repeat count 1, scan code in bits 16-23, extended, context, transition
};

// Takes one key or text event. Key events fill *out and return true; text
// events are remembered for the key that is down and return false.
bool plat_key_event(const SDL_Event& event, PlatKeyMessage* out);

// The window-system events that press and release the key `vk` producing
// `text` (UTF-8, may be null), for window `window_id`, with the modifier
// keys of `mods` (PLAT_MOD_*) held around it; pushed in order.
void plat_key_push(unsigned window_id, UINT vk, const char* text, int mods = 0);

// GetKeyState and GetKeyboardState report the keys as they were when the
// input message last taken from the queue happened, as on Windows: a key
// released with Ctrl held is seen with Ctrl down, however many events have
// been read since. The queue keeps the state of each input message
// (plat_key_state_now, 256 bytes) and hands it back when the message is
// taken (plat_key_state_seen).
void plat_key_state_now(BYTE* out);
void plat_key_state_seen(const BYTE* state);

// The virtual-key code of the key that types the ASCII character c on a
// US keyboard, or VK_NONAME.
UINT plat_vk_for_char(unsigned char c);
