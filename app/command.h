// The program's command line: a snapshot without any display, replayed
// input, printing into a file. With no arguments the calendar simply opens.
//
//   rkm7500 --snapshot FILE.png --replay 'type 2003; key Enter; click 640 300; paint'
//
// Options follow GNU's conventions: -h/--help, -V/--version, a value as
// --option=VALUE or as the next argument, and a bad argument named on one
// line of standard error with exit status 2. New options are rows of the
// option table in command.cpp.
#pragma once

#include <string>
#include <vector>

#include "platform/windef.h"

/* Replayed input, delivered through the message loop after the first paint */
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

/* Printing a range of months into a file (print_months.cpp) */
struct PrnJob;
// The job of --months, --layout and --paper (either may be null); false,
// with one line naming the option at fault, for a bad value.
bool cmd_print_request(const char* months, const char* layout, const char* paper, PrnJob* job,
                       std::string* error);
// Prints the job without a window, telling each page on standard error;
// the exit status: 0 printed, 1 not (the reason on standard error).
int cmd_print_months(const PrnJob& job);

// The whole program: parses the arguments, runs the calendar and returns
// the exit status (2 for bad arguments, 1 when no window can be opened).
int cmd_main(int argc, char** argv);
