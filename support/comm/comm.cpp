// Serial lines: the Comm routines with the library's result codes and the
// thin RS routines with the platform's own, over one open port handle.
#include <chrono>
#include <cstring>

#include "support/comm/ghl3000_comm.h"

namespace {

const DWORD all_purge = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

void put(unsigned long* out, DWORD value)
{
    if (out)
        *out = value;
}

// Sets a modem line from a DTR or RTS argument: 0 clear, 1 raise, any
// other value leaves the line alone.
void set_line(HANDLE port, int value, DWORD raise, DWORD clear)
{
    if (value == 0)
        EscapeCommFunction(port, clear);
    else if (value == 1)
        EscapeCommFunction(port, raise);
}

DWORD waiting(HANDLE port)
{
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(port, &errors, &status) ? status.cbInQue : 0;
}

}  // namespace

// Ports 0 to 8 are COM1 to COM9; any other number opens nothing. Negative
// time-out constants count as 0. The line settings, time-outs and modem
// lines are set as far as the device takes them; what it refuses is not
// reported and the port stays open with its earlier settings.
HANDLE CommOpen(int port, int baud, unsigned char parity, unsigned char size,
                unsigned char stop, int dtr, int rts, int read_constant, int write_constant)
{
    if (port < 0 || port > 8)
        return nullptr;
    char name[] = "COM0";
    name[3] = char('1' + port);
    HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE || h == nullptr)
        return nullptr;

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (GetCommState(h, &dcb)) {
        dcb.BaudRate = DWORD(baud);
        dcb.ByteSize = size;
        dcb.Parity = parity;
        dcb.fParity = parity != NOPARITY;
        dcb.StopBits = stop;
        SetCommState(h, &dcb);
    }
    COMMTIMEOUTS timeouts{};
    if (GetCommTimeouts(h, &timeouts)) {
        timeouts.ReadIntervalTimeout = 0;
        timeouts.ReadTotalTimeoutMultiplier = 10;
        timeouts.ReadTotalTimeoutConstant = read_constant > 0 ? DWORD(read_constant) : 0;
        timeouts.WriteTotalTimeoutMultiplier = 10;
        timeouts.WriteTotalTimeoutConstant = write_constant > 0 ? DWORD(write_constant) : 0;
        SetCommTimeouts(h, &timeouts);
    }
    set_line(h, dtr, SETDTR, CLRDTR);
    set_line(h, rts, SETRTS, CLRRTS);
    return h;
}

void CommBufInit(HANDLE handle)
{
    PurgeComm(handle, all_purge);
}

int CommClose(HANDLE handle)
{
    return CloseHandle(handle);
}

// Count 0 reads exactly the bytes waiting now (none: returns 0 at once);
// the buffer must hold them. A negative count reads nothing.
int CommRead(HANDLE handle, char* buffer, int count, unsigned long* done)
{
    put(done, 0);
    DWORD want = count > 0 ? DWORD(count) : count == 0 ? waiting(handle) : 0;
    DWORD got = 0;
    if (want > 0 && !ReadFile(handle, buffer, want, &got, nullptr))
        got = 0;
    put(done, got);
    return int(got);
}

// Count 0 writes the string up to, not including, its NUL. 0 when every
// byte went, 1 otherwise (a negative count writes nothing and fails).
int CommWrite(HANDLE handle, const char* buffer, int count, unsigned long* done)
{
    put(done, 0);
    if (count < 0 || !buffer)
        return 1;
    DWORD want = count == 0 ? DWORD(std::strlen(buffer)) : DWORD(count);
    DWORD sent = 0;
    BOOL ok = WriteFile(handle, buffer, want, &sent, nullptr);
    put(done, sent);
    return ok ? 0 : 1;
}

int CommSize(HANDLE handle, unsigned long* count)
{
    DWORD n = waiting(handle);
    put(count, n);
    return int(n);
}

// Waits for received data, a wait at a time, until the read time-out of
// `count` bytes has passed (with no read time-outs, until data comes or the
// line hangs up); then reads up to `count` bytes, which may take up to the
// read time-out again for the bytes still on their way. 0 when bytes came
// (their number in `done`), 1 when none did.
int CommReceive(HANDLE handle, char* buffer, int count, unsigned long* done)
{
    put(done, 0);
    COMMTIMEOUTS t{};
    if (count <= 0 || !GetCommTimeouts(handle, &t))
        return 1;
    using clock = std::chrono::steady_clock;
    bool limited = t.ReadTotalTimeoutMultiplier || t.ReadTotalTimeoutConstant;
    auto limit = clock::now() + std::chrono::milliseconds(
                                    uint64_t(t.ReadTotalTimeoutMultiplier) * DWORD(count) +
                                    t.ReadTotalTimeoutConstant);
    int flag = 1;
    do {
        DWORD events = 0;
        if (!WaitCommEvent(handle, &events, nullptr))
            break;
        if (events & EV_RXCHAR) {
            DWORD got = 0;
            if (ReadFile(handle, buffer, DWORD(count), &got, nullptr) && got > 0) {
                flag = 0;
                put(done, got);
            }
            break;
        }
    } while (!limited || clock::now() < limit);
    return flag;
}

int RSclose(HANDLE handle)
{
    return CommClose(handle);
}

int RSwrite(HANDLE handle, unsigned char* buffer, int count, unsigned long* done)
{
    DWORD sent = 0;
    BOOL ok = count >= 0 && WriteFile(handle, buffer, DWORD(count), &sent, nullptr);
    put(done, sent);
    return ok;
}

int RSread(HANDLE handle, unsigned char* buffer, int count, unsigned long* done)
{
    put(done, 0);
    DWORD got = 0;
    BOOL ok = count >= 0 && ReadFile(handle, buffer, DWORD(count), &got, nullptr);
    put(done, got);
    return ok;
}

int RSsize(HANDLE handle, unsigned long* count)
{
    return CommSize(handle, count);
}
