// The user's remembered choices (the layout, the background colour, the
// notes switch, the print dialog's choices), kept for the next start in one
// file, $XDG_CONFIG_HOME/rkm7500/settings (~/.config/rkm7500/settings), as
// key=value lines.
//
// A missing file, or one that cannot be read, means the first start. A line
// that is not key=value, and every key the program does not know, is kept
// as it is when the file is written again, so nothing a user or a newer
// version wrote is lost. A file that is not text (or is over 64 KiB) is
// ignored and never written over. Every change is written at once, whole
// or not at all.
#pragma once

#include <string>

// Reads the file afresh; what was held before is forgotten.
void settings_load(void);
// The value kept for `key`, or "" when there is none.
std::string settings_get(const char* key);
// The value of `key` as a whole number from low to high, else `fallback`.
int settings_int(const char* key, int fallback, int low, int high);
// Keeps `value` for `key` and writes the file if it changed. Keys are
// lowercase letters, digits, '.', '-' and '_'; values one line of text.
void settings_set(const char* key, const std::string& value);
// The file's path; "" when there is no configuration folder.
std::string settings_path(void);
