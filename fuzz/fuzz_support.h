// What the fuzz targets share: a private working folder, a file written
// there, and a check that stops the run with a message.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Enters a fresh temporary folder, once per process, so that bare file
// names (HDAY1.DAT) and written files stay out of the tree; the user's
// folders (home, configuration, cache) are that folder too, and the print
// service one that is not there, so that nothing a random sequence chooses,
// prints or keeps reaches the machine's own files or printers.
void fuzz_enter_temp_folder();

// Writes `bytes` to `name` in the working folder, replacing it.
void fuzz_write_file(const char* name, const std::string& bytes);

#define FUZZ_CHECK(condition)                                                             \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)
