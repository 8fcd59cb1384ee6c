// Kernel handles inside the platform layer (not for code above platform/).
//
// A HANDLE of a file, a serial port or a process points at a PlatHandle;
// ReadFile, WriteFile and CloseHandle act through its operations, so each
// kind of handle brings its own. INVALID_HANDLE_VALUE and null are no
// handle.
#pragma once

#include "platform/windef.h"

struct PlatHandle {
    int fd = -1;
    BOOL (*read)(PlatHandle* h, void* buffer, DWORD count, DWORD* done) = nullptr;
    BOOL (*write)(PlatHandle* h, const void* buffer, DWORD count, DWORD* done) = nullptr;
    BOOL (*close)(PlatHandle* h) = nullptr;  // frees what `device` holds, not the handle
    void* device = nullptr;                  // state of the kind (a serial port's time-outs)
};

// The PlatHandle behind a handle, or null for an invalid or null handle.
PlatHandle* plat_handle(HANDLE handle);

// Serial ports live in a library of their own (platform/comm/), which the
// calendar does not link: while it is linked, this opens the ports that
// CreateFileA is given as COM1 to COM9; while it is not, this is null and
// such names are no file.
extern HANDLE (*plat_comm_open)(const char* name, DWORD access);
