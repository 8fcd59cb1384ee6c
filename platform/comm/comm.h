// Serial ports.
//
// Calls: GetCommState, SetCommState, GetCommTimeouts, SetCommTimeouts,
// EscapeCommFunction, PurgeComm, ClearCommError, WaitCommEvent. A port is
// opened with CreateFileA("COM1" .. "COM9"), read and written with ReadFile
// and WriteFile and closed with CloseHandle.
//
// COMn is the device named by the environment variable RKM_COMn when it is
// set, else /dev/ttyS<n-1>. The port is always binary (no line editing, no
// echo, no character translation); opening it takes an exclusive lock, so a
// second open of the same device fails until the first is closed.
//
// Every call fails (returns FALSE) for a handle that is not an open port.
#pragma once

#include "platform/system/file.h"

/* Line settings */
enum : BYTE { NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4 };
enum : BYTE { ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2 };
enum : DWORD {
    CBR_110 = 110, CBR_300 = 300, CBR_600 = 600, CBR_1200 = 1200, CBR_2400 = 2400,
    CBR_4800 = 4800, CBR_9600 = 9600, CBR_19200 = 19200, CBR_38400 = 38400,
    CBR_57600 = 57600, CBR_115200 = 115200,
};

// The device-control block. GetCommState fills in what the device has;
// SetCommState applies BaudRate, ByteSize (5 to 8), Parity (with mark and
// space), fParity (parity checking of received bytes), StopBits (1.5 stop
// bits are taken as two, as serial hardware does for more than 5 data
// bits), fOutxCtsFlow with fRtsControl == RTS_CONTROL_HANDSHAKE (hardware
// flow control) and fOutX/fInX with XonChar/XoffChar (software flow
// control); the other fields are kept for callers but have no effect.
// BaudRate must be one of the standard rates from 50 to 4000000.
struct DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD fBinary : 1;
    DWORD fParity : 1;
    DWORD fOutxCtsFlow : 1;
    DWORD fOutxDsrFlow : 1;
    DWORD fDtrControl : 2;
    DWORD fDsrSensitivity : 1;
    DWORD fTXContinueOnXoff : 1;
    DWORD fOutX : 1;
    DWORD fInX : 1;
    DWORD fErrorChar : 1;
    DWORD fNull : 1;
    DWORD fRtsControl : 2;
    DWORD fAbortOnError : 1;
    DWORD fDummy2 : 17;
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    BYTE ByteSize;
    BYTE Parity;
    BYTE StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
};
typedef DCB* LPDCB;
enum { DTR_CONTROL_DISABLE = 0, DTR_CONTROL_ENABLE = 1, DTR_CONTROL_HANDSHAKE = 2 };
enum { RTS_CONTROL_DISABLE = 0, RTS_CONTROL_ENABLE = 1, RTS_CONTROL_HANDSHAKE = 2,
       RTS_CONTROL_TOGGLE = 3 };

// Time-outs in milliseconds, honoured by ReadFile and WriteFile on the port.
// A read of n bytes gives up after ReadTotalTimeoutMultiplier * n +
// ReadTotalTimeoutConstant (0 and 0: no limit), or once more than
// ReadIntervalTimeout passes between two bytes after the first (0: not
// used). ReadIntervalTimeout MAXDWORD with both totals 0 returns at once
// with what is waiting; with both multiplier and interval MAXDWORD and a
// constant between 1 and MAXDWORD-1 it returns as soon as any byte is
// there, or after the constant with nothing. Writes give up after
// WriteTotalTimeoutMultiplier * n + WriteTotalTimeoutConstant (0 and 0: no
// limit). A read that gives up succeeds with the bytes that came (0 on a
// quiet line); a write that gives up before every byte has gone fails, with
// the bytes that went in the count written.
struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
};
typedef COMMTIMEOUTS* LPCOMMTIMEOUTS;

/* Status and errors */
struct COMSTAT {
    DWORD fCtsHold : 1;
    DWORD fDsrHold : 1;
    DWORD fRlsdHold : 1;
    DWORD fXoffHold : 1;
    DWORD fXoffSent : 1;
    DWORD fEof : 1;
    DWORD fTxim : 1;
    DWORD fReserved : 25;
    DWORD cbInQue;   // bytes received and not yet read
    DWORD cbOutQue;  // bytes written and not yet sent
};
typedef COMSTAT* LPCOMSTAT;
enum : DWORD { CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004,
               CE_FRAME = 0x0008, CE_BREAK = 0x0010 };

/* Modem lines, purging, events */
enum : DWORD { SETXOFF = 1, SETXON = 2, SETRTS = 3, CLRRTS = 4, SETDTR = 5, CLRDTR = 6,
               SETBREAK = 8, CLRBREAK = 9 };
enum : DWORD { PURGE_TXABORT = 0x0001, PURGE_RXABORT = 0x0002, PURGE_TXCLEAR = 0x0004,
               PURGE_RXCLEAR = 0x0008 };
enum : DWORD { EV_RXCHAR = 0x0001 };

BOOL GetCommState(HANDLE port, DCB* dcb);
// Fails, changing nothing, when the device refuses any one setting (a rate
// or byte size it does not have, parity on a device without it); the device
// keeps its earlier settings then.
BOOL SetCommState(HANDLE port, const DCB* dcb);
BOOL GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts);
BOOL SetCommTimeouts(HANDLE port, const COMMTIMEOUTS* timeouts);
// SETDTR/CLRDTR/SETRTS/CLRRTS change the modem-control lines, SETBREAK and
// CLRBREAK the break state, SETXOFF/SETXON suspend and resume output. Fails
// on a device without modem-control lines (a pseudo-terminal) and for any
// other function.
BOOL EscapeCommFunction(HANDLE port, DWORD function);
// PURGE_TXCLEAR/PURGE_TXABORT drop unsent output, PURGE_RXCLEAR/
// PURGE_RXABORT drop unread input (nothing is pending in the background,
// so the abort flags act as the clear flags).
BOOL PurgeComm(HANDLE port, DWORD flags);
// Reports and clears the line errors counted since the last call (on a
// device that counts them; 0 otherwise) and fills in the queue sizes.
// errors and status may each be null.
BOOL ClearCommError(HANDLE port, DWORD* errors, COMSTAT* status);
// Waits until received bytes are waiting in the input queue, then sets
// *events to EV_RXCHAR. It never waits longer than the read time-out of
// the port for one byte (ReadTotalTimeoutMultiplier +
// ReadTotalTimeoutConstant, or ReadIntervalTimeout if that is all there
// is); when that runs out first it succeeds with *events 0. With no read
// time-outs at all it waits until data comes or the line hangs up (then it
// fails). overlapped must be null: ports are synchronous.
BOOL WaitCommEvent(HANDLE port, DWORD* events, void* overlapped);
