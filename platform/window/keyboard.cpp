// Keys: virtual-key codes, key data, key state and the text of each key.
//
// Calls: GetKeyState, GetKeyboardState, ToAscii.
#include "platform/window/keyboard.h"

#include <SDL.h>

#include <cstring>
#include <string>

#include "platform/draw/codeconv.h"

namespace {

// What one physical key did last: its code, whether it is down, and the
// Shift-JIS text it produced (length -1: text with no one-byte form).
struct KeyRecord {
    UINT vk = 0;
    bool down = false;
    char text[2] = {0, 0};
    int length = 0;
    unsigned order = 0;  // when it was last pressed
};

KeyRecord keys[SDL_NUM_SCANCODES];
BYTE key_state[256];   // as the window system last reported each key
BYTE seen_state[256];  // as of the input message last taken from the queue
unsigned press_counter;
int text_key = -1;        // scan code of the key that takes the next text input
bool text_fresh = false;  // that key has taken no text since its press

struct ScanVk {
    SDL_Scancode scancode;
    UINT vk;
};

// Keys outside the letter, digit, function-key and keypad-digit runs.
const ScanVk named_keys[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK}, {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_RETURN, VK_RETURN}, {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR}, {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_END, VK_END}, {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_LEFT, VK_LEFT}, {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_RIGHT, VK_RIGHT}, {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_INSERT, VK_INSERT}, {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_PAUSE, VK_PAUSE}, {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK}, {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT}, {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL}, {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LALT, VK_MENU}, {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY}, {SDL_SCANCODE_KP_PLUS, VK_ADD},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT}, {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1}, {SDL_SCANCODE_EQUALS, VK_OEM_PLUS},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA}, {SDL_SCANCODE_MINUS, VK_OEM_MINUS},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD}, {SDL_SCANCODE_SLASH, VK_OEM_2},
    {SDL_SCANCODE_GRAVE, VK_OEM_3}, {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5}, {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7}, {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102},
    {SDL_SCANCODE_INTERNATIONAL1, VK_OEM_102}, {SDL_SCANCODE_INTERNATIONAL3, VK_OEM_5},
};

UINT vk_from_scancode(SDL_Scancode sc)
{
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
        return '1' + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0)
        return '0';
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12)
        return VK_F1 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24)
        return VK_F12 + 1 + (sc - SDL_SCANCODE_F13);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
    if (sc == SDL_SCANCODE_KP_0)
        return VK_NUMPAD0;
    for (const ScanVk& k : named_keys)
        if (k.scancode == sc)
            return k.vk;
    return VK_NONAME;
}

SDL_Scancode scancode_from_vk(UINT vk)
{
    for (int sc = 1; sc < 256; ++sc)
        if (vk_from_scancode((SDL_Scancode)sc) == vk)
            return (SDL_Scancode)sc;
    return SDL_SCANCODE_UNKNOWN;
}

// Letters follow the user's layout, as their codes do on Windows; every
// other key is known by its place on the keyboard.
UINT vk_of(const SDL_Keysym& key)
{
    if (key.sym >= 'a' && key.sym <= 'z')
        return (UINT)(key.sym - 'a' + 'A');
    bool letter_place = key.scancode >= SDL_SCANCODE_A && key.scancode <= SDL_SCANCODE_Z;
    if (letter_place && key.sym > ' ' && key.sym < 0x7F)
        return plat_vk_for_char((unsigned char)key.sym);
    return vk_from_scancode(key.scancode);
}

bool is_extended(SDL_Scancode sc)
{
    switch (sc) {
    case SDL_SCANCODE_INSERT: case SDL_SCANCODE_DELETE: case SDL_SCANCODE_HOME:
    case SDL_SCANCODE_END: case SDL_SCANCODE_PAGEUP: case SDL_SCANCODE_PAGEDOWN:
    case SDL_SCANCODE_LEFT: case SDL_SCANCODE_RIGHT: case SDL_SCANCODE_UP:
    case SDL_SCANCODE_DOWN: case SDL_SCANCODE_RCTRL: case SDL_SCANCODE_RALT:
    case SDL_SCANCODE_KP_ENTER: case SDL_SCANCODE_KP_DIVIDE:
        return true;
    default:
        return false;
    }
}

// The left/right code that goes with a generic modifier code.
UINT sided_vk(SDL_Scancode sc)
{
    switch (sc) {
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT: return VK_RMENU;
    default: return 0;
    }
}

void set_down(UINT vk, SDL_Scancode sc, bool down, Uint16 mod)
{
    BYTE bit = down ? 0x80 : 0x00;
    key_state[vk & 0xFF] = (BYTE)((key_state[vk & 0xFF] & 0x7F) | bit);
    if (UINT side = sided_vk(sc))
        key_state[side] = (BYTE)((key_state[side] & 0x7F) | bit);
    key_state[VK_CAPITAL] = (BYTE)((key_state[VK_CAPITAL] & 0x80) | ((mod & KMOD_CAPS) ? 1 : 0));
    key_state[VK_NUMLOCK] = (BYTE)((key_state[VK_NUMLOCK] & 0x80) | ((mod & KMOD_NUM) ? 1 : 0));
}

// Alt combinations (not AltGr, which comes with Ctrl), F10 and Alt itself
// are system keys.
bool is_system_key(UINT vk, SDL_Scancode sc, Uint16 mod)
{
    if (mod & KMOD_CTRL)
        return false;
    return (mod & KMOD_LALT) || vk == VK_F10 || sc == SDL_SCANCODE_LALT;
}

void remember_text(const char* utf8)
{
    if (text_key < 0)
        return;  // text that no key of ours produced (an input method's commit)
    KeyRecord& rec = keys[text_key];
    std::string sjis;
    std::string now = text_fresh || rec.length <= 0 ? std::string()
                                                     : std::string(rec.text, rec.length);
    text_fresh = false;
    bool one_byte_each = plat_utf8_to_sjis(utf8, &sjis);
    for (unsigned char c : sjis)
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))
            one_byte_each = false;  // a double-byte character: no ASCII translation
    now += sjis;
    if (!one_byte_each || now.size() > sizeof rec.text) {
        rec.length = -1;
        return;
    }
    std::memcpy(rec.text, now.data(), now.size());
    rec.length = (int)now.size();
}

const KeyRecord* record_for(UINT vk, UINT scan)
{
    unsigned sc = scan > 0xFFFF ? (scan >> 16) & 0xFF : scan & 0xFF;
    if (sc != 0 && keys[sc].vk == vk && keys[sc].order != 0)
        return &keys[sc];
    const KeyRecord* best = nullptr;
    for (const KeyRecord& rec : keys)
        if (rec.vk == vk && rec.order != 0 && (!best || rec.order > best->order))
            best = &rec;
    return best;
}

// Characters of keys that produce no text input: control characters.
int control_char(UINT vk, const BYTE* state)
{
    if (state && (state[VK_CONTROL] & 0x80) && !(state[VK_MENU] & 0x80))
        if (vk >= 'A' && vk <= 'Z')
            return (int)(vk - 'A' + 1);
    switch (vk) {
    case VK_BACK: return 0x08;
    case VK_TAB: return 0x09;
    case VK_RETURN: return 0x0D;
    case VK_ESCAPE: return 0x1B;
    case VK_SPACE: return ' ';
    default: return 0;
    }
}

}  // namespace

bool plat_key_event(const SDL_Event& event, PlatKeyMessage* out)
{
    if (event.type == SDL_TEXTINPUT) {
        remember_text(event.text.text);
        return false;
    }
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP)
        return false;
    const SDL_Keysym& key = event.key.keysym;
    SDL_Scancode sc = key.scancode;
    bool down = event.type == SDL_KEYDOWN;
    UINT vk = vk_of(key);
    set_down(vk, sc, down, key.mod);
    unsigned slot = (unsigned)sc < SDL_NUM_SCANCODES ? (unsigned)sc : 0;
    KeyRecord& rec = keys[slot];
    if (down) {
        if (!event.key.repeat || rec.vk != vk)
            rec.length = 0;
        rec.vk = vk;
        rec.down = true;
        rec.order = ++press_counter;
        text_key = (int)slot;
        text_fresh = true;
    } else {
        rec.down = false;
        if (text_key == (int)slot)
            text_key = -1;
    }
    bool sys = is_system_key(vk, sc, key.mod);
    DWORD data = 1u | ((slot < 256 ? slot : 0u) << 16);
    if (is_extended(sc))
        data |= 1u << 24;
    if (sys && (key.mod & KMOD_LALT))
        data |= 1u << 29;
    if (!down || event.key.repeat)
        data |= 1u << 30;
    if (!down)
        data |= 1u << 31;
    out->message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    out->vk = vk;
    out->data = (LPARAM)data;
    return true;
}

namespace {

// The modifier keys of a chord, pressed in this order and released in the
// reverse one.
const struct {
    int mod;
    SDL_Scancode scancode;
    Uint16 kmod;
} CHORD_KEYS[] = {{PLAT_MOD_CTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL},
                  {PLAT_MOD_SHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT},
                  {PLAT_MOD_ALT, SDL_SCANCODE_LALT, KMOD_LALT}};

SDL_Event key_event(unsigned window_id, Uint32 type, SDL_Scancode scancode, Uint16 kmod)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.key.timestamp = SDL_GetTicks();
    event.key.windowID = window_id;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = kmod;
    return event;
}

}  // namespace

void plat_key_push(unsigned window_id, UINT vk, const char* text, int mods)
{
    Uint16 held = 0;
    for (const auto& m : CHORD_KEYS)
        if (mods & m.mod) {
            held |= m.kmod;
            SDL_Event down = key_event(window_id, SDL_KEYDOWN, m.scancode, held);
            SDL_PushEvent(&down);
        }
    SDL_Event event = key_event(window_id, SDL_KEYDOWN, scancode_from_vk(vk), held);
    if (vk >= 'A' && vk <= 'Z')
        event.key.keysym.sym = (SDL_Keycode)(vk - 'A' + 'a');
    SDL_PushEvent(&event);
    if (text && *text) {
        SDL_Event typed;
        std::memset(&typed, 0, sizeof typed);
        typed.type = SDL_TEXTINPUT;
        typed.text.timestamp = event.key.timestamp;
        typed.text.windowID = window_id;
        SDL_strlcpy(typed.text.text, text, sizeof typed.text.text);
        SDL_PushEvent(&typed);
    }
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    SDL_PushEvent(&event);
    for (int i = (int)(sizeof CHORD_KEYS / sizeof CHORD_KEYS[0]) - 1; i >= 0; i--)
        if (mods & CHORD_KEYS[i].mod) {
            held &= (Uint16)~CHORD_KEYS[i].kmod;
            SDL_Event up = key_event(window_id, SDL_KEYUP, CHORD_KEYS[i].scancode, held);
            SDL_PushEvent(&up);
        }
}

UINT plat_vk_for_char(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 'A';
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return c;
    static const char digits_shifted[] = ")!@#$%^&*(";
    if (c != 0)
        if (const char* p = std::strchr(digits_shifted, c))
            return (UINT)('0' + (p - digits_shifted));
    static const struct { const char* chars; UINT vk; } punct[] = {
        {" ", VK_SPACE}, {"\t", VK_TAB}, {"\r\n", VK_RETURN}, {";:", VK_OEM_1},
        {"=+", VK_OEM_PLUS}, {",<", VK_OEM_COMMA}, {"-_", VK_OEM_MINUS},
        {".>", VK_OEM_PERIOD}, {"/?", VK_OEM_2}, {"`~", VK_OEM_3}, {"[{", VK_OEM_4},
        {"\\|", VK_OEM_5}, {"]}", VK_OEM_6}, {"'\"", VK_OEM_7},
    };
    for (const auto& p : punct)
        if (c != 0 && std::strchr(p.chars, c))
            return p.vk;
    return VK_NONAME;
}

void plat_key_state_now(BYTE* out)
{
    std::memcpy(out, key_state, sizeof key_state);
}

void plat_key_state_seen(const BYTE* state)
{
    std::memcpy(seen_state, state, sizeof seen_state);
}

SHORT GetKeyState(int vk)
{
    const BYTE state = seen_state[vk & 0xFF];
    return (SHORT)(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

BOOL GetKeyboardState(BYTE* state)
{
    if (!state)
        return FALSE;
    std::memcpy(state, seen_state, sizeof seen_state);
    return TRUE;
}

// The character the key produced on the user's keyboard, as it typed it;
// keys that type nothing visible give their control character.
int ToAscii(UINT vk, UINT scan_code, const BYTE* state, WORD* out, UINT /*flags*/)
{
    if (!out)
        return 0;
    *out = 0;
    BYTE* bytes = reinterpret_cast<BYTE*>(out);
    const KeyRecord* rec = record_for(vk, scan_code);
    if (rec && rec->length < 0)
        return 0;
    if (rec && rec->length > 0) {
        std::memcpy(bytes, rec->text, rec->length);
        return rec->length;
    }
    int c = control_char(vk, state);
    if (c == 0)
        return 0;
    bytes[0] = (BYTE)c;
    return 1;
}
