// Runs the whole calendar in a child process of the test, through the same
// command line as the program (--snapshot, --replay), and brings back its
// exit status, the application state at the end and the screen it left.
#pragma once

#include <string>
#include <vector>

#include "tests/helpers/picture.h"

struct ProgramState {
    int iSetfg, iDspfg, iDspbk, iYear, iMont, iBcol, iNstep, iNkcnt, iMjset;
    char cKeybuf[8];
    int beeps;  // GrpBeep calls heard
};

struct ProgramRun {
    int status = -1;        // exit status; -1 when the child did not exit normally
    bool has_state = false; // false when the program ended itself (F12, 終了)
    ProgramState state{};
    Picture screen;         // the --snapshot picture
};

// Runs `rkm7500 OPTIONS --snapshot ... --replay REPLAY` in an empty working folder, with
// `config` as XDG_CONFIG_HOME (by default a fresh empty folder).
ProgramRun run_program(const std::string& replay, const std::vector<std::string>& options = {},
                       const std::string& config = "");
