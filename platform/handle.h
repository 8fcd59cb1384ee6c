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

// Serial ports, in comm.cpp: CreateFileA passes it the names COM1 to COM9.
HANDLE plat_comm_create(const char* name, DWORD access);
