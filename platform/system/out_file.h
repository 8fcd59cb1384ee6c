// Writing a file whole or not at all: every file the program writes (the
// snapshot, printed pages, the settings, cached calendars, exports) goes
// through here.
//
//   plat_out_open  plat_out_write  plat_out_commit  plat_out_abort
//   plat_write_file
//
// A target that is missing or a regular file (or a symbolic link to one) is
// written to a temporary file beside it, flushed to the disk and renamed
// into place at commit, so it appears whole or not at all and a failure
// leaves the file that was there, with its permissions. A character device
// or a FIFO (/dev/null, /dev/stdout, a pipe) is written to directly, as a
// shell's redirection would. Anything else (a folder, a socket, a block
// device) is refused with the reason.
//
// The temporary file never outlives the program. Where the file system
// allows, it has no name until commit, so nothing of it is left by whatever
// ends the program before then (a crash, SIGKILL); otherwise, and for the
// moment between naming and renaming it, it is removed on failure, on
// abort, and when SIGTERM, SIGHUP, SIGINT or SIGQUIT ends the program. A
// signal the program ignores stays ignored, and a file size limit fails the
// write (as a full disk does) instead of ending the program. Safe to use
// from several threads, one file each.
#pragma once

#include <cstddef>
#include <string>

struct PlatOutFile;

// Starts writing `path`; null with the reason (a sentence fragment such as
// "No such file or directory" or "is a folder") when it cannot be written.
PlatOutFile* plat_out_open(const char* path, std::string* reason);
// Appends bytes; a failure is kept and reported by plat_out_commit.
bool plat_out_write(PlatOutFile* out, const void* data, size_t size);
// Puts the file in place (or finishes the direct write) and frees `out`;
// false with the reason (and errno) when any step failed, the old file then
// untouched.
bool plat_out_commit(PlatOutFile* out, std::string* reason);
// Drops everything written and frees `out`; the old file stays as it was.
void plat_out_abort(PlatOutFile* out);

// The whole file at once.
bool plat_write_file(const char* path, const void* data, size_t size, std::string* reason);
inline bool plat_write_file(const char* path, const std::string& bytes, std::string* reason)
{
    return plat_write_file(path, bytes.data(), bytes.size(), reason);
}
