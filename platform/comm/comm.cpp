// Serial ports on termios: COM1 to COM9, their line settings, time-outs,
// modem lines and queues.
#include "platform/comm/comm.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/comm/comm_termios.h"
#include "platform/system/handle.h"

namespace {

// What the port remembers besides the device's own settings.
struct CommPort {
    COMMTIMEOUTS timeouts{};           // all 0 when opened: reads and writes wait until done
    DCB dcb{};                         // the last block set, for the fields termios lacks
    serial_icounter_struct counts{};   // line errors already reported
};

const struct {
    DWORD rate;
    speed_t speed;
} rates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool rate_speed(DWORD rate, speed_t* speed)
{
    for (const auto& r : rates)
        if (r.rate == rate) {
            *speed = r.speed;
            return true;
        }
    return false;
}

DWORD speed_rate(speed_t speed)
{
    for (const auto& r : rates)
        if (r.speed == speed)
            return r.rate;
    return 0;
}

// The attributes that SetCommState sets, so that what the device took can
// be compared with what was asked.
bool same_line(const termios& a, const termios& b)
{
    const tcflag_t cmask = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    const tcflag_t imask = INPCK | IXON | IXOFF;
    tcflag_t ca = a.c_cflag & cmask, cb = b.c_cflag & cmask;
    if (!(ca & PARENB))  // without parity the parity kind means nothing
        ca &= ~(PARODD | CMSPAR);
    if (!(cb & PARENB))
        cb &= ~(PARODD | CMSPAR);
    return ca == cb && (a.c_iflag & imask) == (b.c_iflag & imask) &&
           cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b) &&
           a.c_cc[VSTART] == b.c_cc[VSTART] && a.c_cc[VSTOP] == b.c_cc[VSTOP];
}

int64_t now_ms()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Milliseconds left until `deadline` (-1: none) as a poll time-out.
int left_ms(int64_t deadline)
{
    if (deadline < 0)
        return -1;
    int64_t left = deadline - now_ms();
    if (left <= 0)
        return 0;
    return left > INT32_MAX ? INT32_MAX : int(left);
}

// Waits until `fd` can be read (POLLIN) or written (POLLOUT), at most `ms`
// (-1: no limit). 1 ready, 0 time-out, -1 hang-up or error.
int wait_fd(int fd, short event, int ms)
{
    pollfd p{fd, event, 0};
    for (;;) {
        int n = poll(&p, 1, ms);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            return 0;
        // A hung-up line stays "readable" for ever: only bytes still
        // queued count then.
        int queued = 0;
        bool hung_up = p.revents & (POLLHUP | POLLERR | POLLNVAL);
        if ((p.revents & event) && !(hung_up && (event != POLLIN || ioctl(fd, TIOCINQ, &queued) != 0 || queued == 0)))
            return 1;
        errno = EIO;
        return -1;
    }
}

int64_t total_deadline(DWORD multiplier, DWORD constant, DWORD count)
{
    if (multiplier == 0 && constant == 0)
        return -1;
    return now_ms() + int64_t(multiplier) * count + constant;
}

BOOL comm_read(PlatHandle* h, void* buffer, DWORD count, DWORD* done)
{
    const COMMTIMEOUTS& t = static_cast<CommPort*>(h->device)->timeouts;
    char* out = static_cast<char*>(buffer);
    DWORD got = 0;
    if (done)
        *done = 0;
    // Interval MAXDWORD: return with what is waiting, after waiting for a
    // first byte only when both other values say so.
    bool at_once = t.ReadIntervalTimeout == MAXDWORD;
    bool first_byte = at_once && t.ReadTotalTimeoutMultiplier == MAXDWORD &&
                      t.ReadTotalTimeoutConstant > 0 && t.ReadTotalTimeoutConstant < MAXDWORD;
    int64_t deadline = first_byte ? now_ms() + t.ReadTotalTimeoutConstant
                       : at_once  ? now_ms()
                                  : total_deadline(t.ReadTotalTimeoutMultiplier,
                                                   t.ReadTotalTimeoutConstant, count);
    while (got < count) {
        ssize_t n = read(h->fd, out + got, count - got);
        if (n > 0) {
            got += DWORD(n);
            if (at_once)
                break;
            if (t.ReadIntervalTimeout > 0) {  // the next byte must come within the interval
                int64_t gap = now_ms() + t.ReadIntervalTimeout;
                deadline = deadline < 0 || gap < deadline ? gap : deadline;
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN) {
            if (done)
                *done = got;
            return got > 0;  // a hung-up line ends the read; with nothing read it fails
        }
        int ready = wait_fd(h->fd, POLLIN, left_ms(deadline));
        if (ready == 0)
            break;
        if (ready < 0) {
            if (done)
                *done = got;
            return got > 0;
        }
    }
    if (done)
        *done = got;
    return TRUE;
}

BOOL comm_write(PlatHandle* h, const void* buffer, DWORD count, DWORD* done)
{
    const COMMTIMEOUTS& t = static_cast<CommPort*>(h->device)->timeouts;
    const char* in = static_cast<const char*>(buffer);
    int64_t deadline = total_deadline(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant,
                                      count);
    DWORD sent = 0;
    bool ok = true;
    while (sent < count) {
        ssize_t n = write(h->fd, in + sent, count - sent);
        if (n > 0) {
            sent += DWORD(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            ok = false;
            break;
        }
        int ready = wait_fd(h->fd, POLLOUT, left_ms(deadline));
        if (ready <= 0) {  // timed out or hung up with bytes unsent
            if (ready == 0)
                errno = ETIMEDOUT;
            ok = false;
            break;
        }
    }
    if (done)
        *done = sent;
    return ok;
}

BOOL comm_close(PlatHandle* h)
{
    delete static_cast<CommPort*>(h->device);
    h->device = nullptr;
    int rc = close(h->fd);  // the lock goes with the descriptor
    h->fd = -1;
    return rc == 0;
}

// The port behind a handle; null, with errno set, for any other handle.
CommPort* port_of(HANDLE handle, int* fd)
{
    PlatHandle* h = plat_handle(handle);
    if (!h || h->close != comm_close || h->fd < 0) {
        errno = EBADF;
        return nullptr;
    }
    *fd = h->fd;
    return static_cast<CommPort*>(h->device);
}

// COMn in the Windows spellings CreateFileA hands on: "COM3", "com3",
// "\\.\COM3". 0 for any other name.
int port_number(const char* name)
{
    if (!name)
        return 0;
    if (std::strncmp(name, "\\\\.\\", 4) == 0)
        name += 4;
    if (strncasecmp(name, "COM", 3) != 0 || name[3] < '1' || name[3] > '9' || name[4] != '\0')
        return 0;
    return name[3] - '0';
}

// The port's lines as the binary channel a serial port is: no line editing,
// echo, signals, character translation or flow control until SetCommState
// asks for it; size, parity, rate kept.
void make_binary(termios* tio)
{
    tio->c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC |
                      IMAXBEL | IXON | IXOFF | IXANY);
    tio->c_oflag &= ~OPOST;
    tio->c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio->c_cflag |= CREAD | CLOCAL;
    tio->c_cc[VMIN] = 1;  // with O_NONBLOCK: EAGAIN when empty, 0 only at hang-up
    tio->c_cc[VTIME] = 0;
}

}  // namespace

bool plat_dcb_to_termios(const DCB& dcb, termios* tio)
{
    speed_t speed;
    if (!rate_speed(dcb.BaudRate, &speed) || dcb.ByteSize < 5 || dcb.ByteSize > 8 ||
        dcb.Parity > SPACEPARITY || dcb.StopBits > TWOSTOPBITS)
        return false;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    termios t = *tio;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= sizes[dcb.ByteSize - 5];
    switch (dcb.Parity) {
    case ODDPARITY: t.c_cflag |= PARENB | PARODD; break;
    case EVENPARITY: t.c_cflag |= PARENB; break;
    case MARKPARITY: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case SPACEPARITY: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (dcb.StopBits != ONESTOPBIT)
        t.c_cflag |= CSTOPB;
    if (dcb.fOutxCtsFlow && dcb.fRtsControl == RTS_CONTROL_HANDSHAKE)
        t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~(INPCK | IXON | IXOFF);
    if (dcb.fParity)
        t.c_iflag |= INPCK;
    if (dcb.fOutX)
        t.c_iflag |= IXON;
    if (dcb.fInX)
        t.c_iflag |= IXOFF;
    if (dcb.fOutX || dcb.fInX) {
        t.c_cc[VSTART] = cc_t(dcb.XonChar);
        t.c_cc[VSTOP] = cc_t(dcb.XoffChar);
    }
    *tio = t;
    return true;
}

void plat_termios_to_dcb(const termios& tio, DCB* dcb)
{
    dcb->DCBlength = sizeof(DCB);
    dcb->fBinary = 1;
    dcb->BaudRate = speed_rate(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
    case CS5: dcb->ByteSize = 5; break;
    case CS6: dcb->ByteSize = 6; break;
    case CS7: dcb->ByteSize = 7; break;
    default: dcb->ByteSize = 8; break;
    }
    tcflag_t c = tio.c_cflag;
    if (!(c & PARENB))
        dcb->Parity = NOPARITY;
    else if (c & CMSPAR)
        dcb->Parity = (c & PARODD) ? MARKPARITY : SPACEPARITY;
    else
        dcb->Parity = (c & PARODD) ? ODDPARITY : EVENPARITY;
    dcb->StopBits = (c & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
    dcb->fParity = (tio.c_iflag & INPCK) ? 1 : 0;
    dcb->fOutxCtsFlow = (c & CRTSCTS) ? 1 : 0;
    if (c & CRTSCTS)
        dcb->fRtsControl = RTS_CONTROL_HANDSHAKE;
    else if (dcb->fRtsControl == RTS_CONTROL_HANDSHAKE)
        dcb->fRtsControl = RTS_CONTROL_ENABLE;
    dcb->fOutX = (tio.c_iflag & IXON) ? 1 : 0;
    dcb->fInX = (tio.c_iflag & IXOFF) ? 1 : 0;
    dcb->XonChar = char(tio.c_cc[VSTART]);
    dcb->XoffChar = char(tio.c_cc[VSTOP]);
}

namespace {

HANDLE comm_create(const char* name, DWORD access)
{
    int number = port_number(name);
    if (number == 0) {
        errno = ENOENT;
        return INVALID_HANDLE_VALUE;
    }
    char variable[] = "RKM_COM0", fallback[16];
    variable[7] = char('0' + number);
    const char* path = std::getenv(variable);
    if (!path || !*path) {
        std::snprintf(fallback, sizeof fallback, "/dev/ttyS%d", number - 1);
        path = fallback;
    }
    const DWORD read_access = 0x80000000u, write_access = 0x40000000u;
    int mode = (access & read_access) && !(access & write_access)   ? O_RDONLY
               : (access & write_access) && !(access & read_access) ? O_WRONLY
                                                                   : O_RDWR;
    int fd = open(path, mode | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    termios tio;
    if (tcgetattr(fd, &tio) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int e = errno == EWOULDBLOCK ? EBUSY : errno;  // not a terminal, or already open
        close(fd);
        errno = e;
        return INVALID_HANDLE_VALUE;
    }
    make_binary(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    auto* port = new CommPort;
    tcgetattr(fd, &tio);
    plat_termios_to_dcb(tio, &port->dcb);
    ioctl(fd, TIOCGICOUNT, &port->counts);  // fails on devices that count nothing
    auto* h = new PlatHandle;
    h->fd = fd;
    h->read = comm_read;
    h->write = comm_write;
    h->close = comm_close;
    h->device = port;
    return h;
}

}  // namespace

// A program that links this library can open the ports through CreateFileA;
// linking it pulls in this definition (see CMakeLists.txt).
extern "C" {
bool plat_comm_linked = (plat_comm_open = comm_create, true);
}

BOOL GetCommState(HANDLE handle, DCB* dcb)
{
    int fd;
    CommPort* port = port_of(handle, &fd);
    termios tio;
    if (!port || !dcb || tcgetattr(fd, &tio) != 0)
        return FALSE;
    *dcb = port->dcb;
    plat_termios_to_dcb(tio, dcb);
    return TRUE;
}

BOOL SetCommState(HANDLE handle, const DCB* dcb)
{
    int fd;
    CommPort* port = port_of(handle, &fd);
    termios before, wanted, taken;
    if (!port || !dcb || tcgetattr(fd, &before) != 0)
        return FALSE;
    wanted = before;
    if (!plat_dcb_to_termios(*dcb, &wanted)) {
        errno = EINVAL;
        return FALSE;
    }
    // tcsetattr succeeds when any one change was made, so what the device
    // really took is read back and compared.
    if (tcsetattr(fd, TCSANOW, &wanted) != 0 || tcgetattr(fd, &taken) != 0 ||
        !same_line(wanted, taken)) {
        tcsetattr(fd, TCSANOW, &before);
        errno = EINVAL;
        return FALSE;
    }
    port->dcb = *dcb;
    return TRUE;
}

BOOL GetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts)
{
    int fd;
    CommPort* port = port_of(handle, &fd);
    if (!port || !timeouts)
        return FALSE;
    *timeouts = port->timeouts;
    return TRUE;
}

BOOL SetCommTimeouts(HANDLE handle, const COMMTIMEOUTS* timeouts)
{
    int fd;
    CommPort* port = port_of(handle, &fd);
    if (!port || !timeouts)
        return FALSE;
    port->timeouts = *timeouts;
    return TRUE;
}

BOOL EscapeCommFunction(HANDLE handle, DWORD function)
{
    int fd;
    if (!port_of(handle, &fd))
        return FALSE;
    int line = 0;
    switch (function) {
    case SETRTS: line = TIOCM_RTS; return ioctl(fd, TIOCMBIS, &line) == 0;
    case CLRRTS: line = TIOCM_RTS; return ioctl(fd, TIOCMBIC, &line) == 0;
    case SETDTR: line = TIOCM_DTR; return ioctl(fd, TIOCMBIS, &line) == 0;
    case CLRDTR: line = TIOCM_DTR; return ioctl(fd, TIOCMBIC, &line) == 0;
    case SETBREAK: return ioctl(fd, TIOCSBRK) == 0;
    case CLRBREAK: return ioctl(fd, TIOCCBRK) == 0;
    case SETXOFF: return tcflow(fd, TCOOFF) == 0;
    case SETXON: return tcflow(fd, TCOON) == 0;
    default: errno = EINVAL; return FALSE;
    }
}

BOOL PurgeComm(HANDLE handle, DWORD flags)
{
    int fd;
    if (!port_of(handle, &fd))
        return FALSE;
    const DWORD output = PURGE_TXABORT | PURGE_TXCLEAR, input = PURGE_RXABORT | PURGE_RXCLEAR;
    if (flags & ~(output | input)) {
        errno = EINVAL;
        return FALSE;
    }
    int queue = (flags & output) && (flags & input) ? TCIOFLUSH
                : (flags & output)                  ? TCOFLUSH
                : (flags & input)                   ? TCIFLUSH
                                                    : -1;
    return queue < 0 || tcflush(fd, queue) == 0;
}

BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status)
{
    int fd;
    CommPort* port = port_of(handle, &fd);
    if (!port)
        return FALSE;
    int in = 0, out = 0;
    if (ioctl(fd, TIOCINQ, &in) != 0 || ioctl(fd, TIOCOUTQ, &out) != 0)
        return FALSE;
    DWORD found = 0;
    serial_icounter_struct now{};
    if (ioctl(fd, TIOCGICOUNT, &now) == 0) {
        const serial_icounter_struct& was = port->counts;
        if (now.overrun != was.overrun)
            found |= CE_OVERRUN;
        if (now.buf_overrun != was.buf_overrun)
            found |= CE_RXOVER;
        if (now.parity != was.parity)
            found |= CE_RXPARITY;
        if (now.frame != was.frame)
            found |= CE_FRAME;
        if (now.brk != was.brk)
            found |= CE_BREAK;
        port->counts = now;
    }
    if (errors)
        *errors = found;
    if (status) {
        *status = COMSTAT{};
        status->cbInQue = DWORD(in);
        status->cbOutQue = DWORD(out);
    }
    return TRUE;
}

BOOL WaitCommEvent(HANDLE handle, DWORD* events, void* overlapped)
{
    int fd;
    CommPort* port = port_of(handle, &fd);
    if (!port || !events || overlapped) {
        errno = EINVAL;
        return FALSE;
    }
    const COMMTIMEOUTS& t = port->timeouts;
    int64_t bound;  // ms, -1 for none
    if (t.ReadTotalTimeoutMultiplier == MAXDWORD)
        bound = t.ReadTotalTimeoutConstant;
    else if (t.ReadTotalTimeoutMultiplier || t.ReadTotalTimeoutConstant)
        bound = int64_t(t.ReadTotalTimeoutMultiplier) + t.ReadTotalTimeoutConstant;
    else if (t.ReadIntervalTimeout == MAXDWORD)
        bound = 0;
    else
        bound = t.ReadIntervalTimeout ? int64_t(t.ReadIntervalTimeout) : -1;
    int ready = wait_fd(fd, POLLIN, left_ms(bound < 0 ? -1 : now_ms() + bound));
    if (ready < 0)
        return FALSE;
    *events = ready ? DWORD(EV_RXCHAR) : 0u;
    return TRUE;
}
