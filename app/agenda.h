// The user's events on the command line: rkm7500 --agenda FROM[..TO].
#pragma once

#include <vector>

// Reads "YYYY-MM-DD" or "YYYY-MM-DD..YYYY-MM-DD" (TO not before FROM) as
// day numbers; false when it is not one.
bool agenda_range(const char* text, long long* first, long long* last);
// Reads every source once (the calendars file and `ics`), waiting for the
// URLs, and prints the events of the days from `first` to `last`. 0, or 1
// when a source could not be read (each said on standard error; the others
// are still listed).
int agenda_run(long long first, long long last, const std::vector<const char*>& ics);
