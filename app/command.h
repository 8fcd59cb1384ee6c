// The program's command line: a snapshot without any display, replayed
// input (replay.h), printing into a file, the tools that need no window.
// With no arguments the calendar simply opens.
//
// Options follow GNU's conventions: -h/--help, -V/--version, a value as
// --option=VALUE or as the next argument, and a bad argument named on one
// line of standard error with exit status 2. New options are rows of the
// option table in command.cpp.
#pragma once

#include <string>

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
