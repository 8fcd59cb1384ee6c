// GHL3000's serial lines and processes: a library of its own, which the
// calendar does not link (tests do), over the platform layer's serial ports
// and programs.
#pragma once

#include "platform/comm/comm.h"
#include "platform/comm/process.h"
#include "support/ghl3000.h"

/* Serial lines: ports 0 to 8 are COM1 to COM9 */
HANDLE CommOpen(int port, int baud, unsigned char parity, unsigned char size,
                unsigned char stop, int dtr, int rts, int read_constant, int write_constant);
void CommBufInit(HANDLE handle);
int CommClose(HANDLE handle);
int CommRead(HANDLE handle, char* buffer, int count, unsigned long* done);
int CommWrite(HANDLE handle, const char* buffer, int count, unsigned long* done);
int CommSize(HANDLE handle, unsigned long* count);
int CommReceive(HANDLE handle, char* buffer, int count, unsigned long* done);
int RSclose(HANDLE handle);
int RSwrite(HANDLE handle, unsigned char* buffer, int count, unsigned long* done);
int RSread(HANDLE handle, unsigned char* buffer, int count, unsigned long* done);
int RSsize(HANDLE handle, unsigned long* count);

/* Processes */
int ProgExec(const char* command_line, unsigned long* id, int show);
int ProgDown(unsigned long* id);
BOOL ProgAppEnum(HWND window, LPARAM id);
