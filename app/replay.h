// Replayed input: events read from the command line and delivered through
// the message loop and the window procedure like real input, then the
// window written to a picture.
//
//   rkm7500 --snapshot FILE.png --replay 'type 2003; key Enter; click 640 300; paint'
#pragma once

#include <string>
#include <vector>

#include "platform/windef.h"

/* Events */
struct ReplayEvent {
    enum Kind { Type, Key, Click, Paint, Wheel } kind;
    std::string text;  // Type: the characters, each pressed and released
    UINT key = 0;      // Key: the virtual-key code
    int mods = 0;      // Key: the modifier keys held (PLAT_MOD_CTRL, ...)
    int x = 0, y = 0;  // Click, Wheel: client coordinates
    int notches = 0;   // Wheel: 1 up (away from the user), -1 down
};

// Reads EVENTS ("type TEXT", "key NAME", "click X Y", "wheel up|down X Y",
// "paint", separated by ';'). On a bad event returns false with the reason in `error`.
bool cmd_parse_events(const char* events, std::vector<ReplayEvent>* out, std::string* error);

// The virtual-key code of a named key (Enter, Esc, BackSpace, Tab, Space,
// Left, Right, Up, Down, PageUp, PageDown, Home, End, F1 to F12), or 0.
UINT cmd_key_code(const std::string& name);
// A key with modifiers, "Ctrl+P", "Shift+Tab": the key's code (a letter or
// a digit only with a modifier) and the modifiers in *mods; 0 if unknown.
UINT cmd_chord(const std::string& name, int* mods);

// Reads one coordinate at *p and moves *p past it: decimal digits only, 0
// to 32767 however many digits are given, so that no value wraps round to
// a point on the screen.
bool cmd_parse_coordinate(const char** p, int* value);

/* The run: one event each time the message loop runs dry, then the snapshot */
struct Replay {
    std::vector<ReplayEvent> events;
    const char* snapshot = nullptr;  // the picture written once the events are delivered
    const char* print_to = nullptr;  // where the print key's page goes, or null
    size_t next = 0;                 // the next event to deliver
    bool finished = false;
    bool saved = false;
    int status = 0;  // 1 once the snapshot could not be written
};

// Hangs the replay on the message loop and on the program's end (F12, 終了
// still write the snapshot); `replay` lives until cmd_replay_finish.
void cmd_replay_start(Replay* replay);
// Takes it off again and returns the run's exit status: 1 when the
// snapshot could not be written, when no font could draw the texts or,
// with --print-to, when a print command of the run printed nothing.
int cmd_replay_finish(Replay* replay);
