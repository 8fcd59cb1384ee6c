// Serial lines on pseudo-terminals: the test holds the master end, the port the slave named by RKM_COMn.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdarg>
#include <thread>

#include "platform/comm/comm_termios.h"
#include "support/comm/ghl3000_comm.h"

// A pseudo-terminal has no modem lines: the port's requests for them are recorded on their way.
static std::vector<std::pair<unsigned long, int>> modem_requests;

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    static auto real = reinterpret_cast<int (*)(int, unsigned long, void*)>(dlsym(RTLD_NEXT, "ioctl"));
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    if (request == TIOCMBIS || request == TIOCMBIC || request == TIOCMSET)
        modem_requests.emplace_back(request, *static_cast<int*>(arg));
    return real(fd, request, arg);
}

namespace {

struct Line {
    int master = -1;
    explicit Line(int n)  // a fresh pseudo-terminal named by RKM_COM<n>
    {
        int slave = -1;
        char name[128];
        EXPECT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        close(slave);
        setenv(("RKM_COM" + std::to_string(n)).c_str(), name, 1);
        fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~Line() { close(master); }
    void send(const std::string& b) const { ASSERT_EQ(write(master, b.data(), b.size()), ssize_t(b.size())); }
    std::string receive() const  // everything that arrives within a short while
    {
        std::string got;
        char buf[4096];
        pollfd p{master, POLLIN, 0};
        for (ssize_t n; poll(&p, 1, 200) > 0 && (n = read(master, buf, sizeof buf)) > 0;)
            got.append(buf, size_t(n));
        return got;
    }
};

// Waits until the port's input queue holds `n` bytes (they cross the pseudo-terminal asynchronously).
bool queued(HANDLE port, unsigned long n)
{
    unsigned long count = 0;
    for (int i = 0; i < 500 && CommSize(port, &count) < int(n); ++i)
        usleep(2000);
    return count == n;
}

HANDLE open_port(int port, int dtr = 2, int rts = 2)
{
    return CommOpen(port, 9600, 0, 8, 2, dtr, rts, 30, 50);
}

}  // namespace

TEST(comm_open, settings_and_modem_lines_reach_the_device_and_a_port_is_unshared)
{
    Line line(3);
    modem_requests.clear();
    HANDLE port = CommOpen(2, 19200, 0, 8, 2, 2, 2, 120, 30);  // port 2 is COM3
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(modem_requests.empty()) << "argument 2 must leave both lines alone";
    termios t{};
    ASSERT_EQ(tcgetattr(line.master, &t), 0);
    EXPECT_EQ(std::vector<speed_t>({cfgetospeed(&t), cfgetispeed(&t)}), std::vector<speed_t>(2, B19200));
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8 | CSTOPB));
    EXPECT_FALSE(t.c_iflag & INPCK);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG) || t.c_oflag & OPOST);  // a binary channel
    COMMTIMEOUTS to{};
    ASSERT_TRUE(GetCommTimeouts(port, &to));
    EXPECT_EQ(std::vector<DWORD>({to.ReadIntervalTimeout, to.ReadTotalTimeoutMultiplier, to.ReadTotalTimeoutConstant,
                                  to.WriteTotalTimeoutMultiplier, to.WriteTotalTimeoutConstant}),
              std::vector<DWORD>({0, 10, 120, 10, 30}));
    EXPECT_EQ(open_port(2), nullptr) << "unshared until closed";
    setenv("RKM_COM5", "/dev/null", 1);  // not a terminal
    EXPECT_TRUE(open_port(4) == nullptr && open_port(5) == nullptr);
    EXPECT_NE(RSclose(port), 0);

    ASSERT_NE(port = open_port(2, 1, 0), nullptr);
    EXPECT_EQ(modem_requests, (std::vector<std::pair<unsigned long, int>>{{TIOCMBIS, TIOCM_DTR}, {TIOCMBIC, TIOCM_RTS}}));
    CommClose(port);
}

TEST(comm_settings, parity_codes_map_to_termios_and_back)
{
    struct { BYTE parity; tcflag_t bits; } cases[] = {
        {NOPARITY, 0}, {ODDPARITY, PARENB | PARODD}, {EVENPARITY, PARENB},
        {MARKPARITY, PARENB | CMSPAR | PARODD}, {SPACEPARITY, PARENB | CMSPAR}};
    for (const auto& c : cases) {
        DCB dcb{}, back{};
        dcb.BaudRate = 1200, dcb.ByteSize = 7, dcb.Parity = c.parity, dcb.fParity = c.parity != NOPARITY;
        dcb.StopBits = ONE5STOPBITS;
        termios t{};
        t.c_cflag = PARODD | CMSPAR;  // left over from an earlier setting
        ASSERT_TRUE(plat_dcb_to_termios(dcb, &t));
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR | CSIZE | CSTOPB), c.bits | CS7 | CSTOPB) << int(c.parity);
        EXPECT_EQ(bool(t.c_iflag & INPCK), c.parity != NOPARITY);
        EXPECT_EQ(cfgetospeed(&t), speed_t(B1200));
        plat_termios_to_dcb(t, &back);
        EXPECT_EQ(std::vector<int>({back.Parity, back.ByteSize, back.StopBits, int(back.BaudRate)}),
                  std::vector<int>({c.parity, 7, TWOSTOPBITS, 1200}));
    }
}

// Bytes cross as they are, with no line editing or flow control; reads take what waits, or time out.
TEST(comm_data, bytes_cross_unchanged_reads_take_what_waits_and_time_outs_end_the_waits)
{
    Line line(1);
    HANDLE port = open_port(0);  // read time-out constant 30 ms
    ASSERT_NE(port, nullptr);
    unsigned long done = 99, size = 9;
    EXPECT_EQ(CommWrite(port, "AB\0CD", 0, &done), 0);  // count 0: up to the NUL
    EXPECT_EQ(done, 2u);
    EXPECT_EQ(CommWrite(port, "x\ny\0z", 5, &done), 0);
    EXPECT_EQ(done, 5u);
    unsigned char raw[] = {0x00, 0xFF, 0x0D, 0x11};
    EXPECT_NE(RSwrite(port, raw, 4, &done), 0);
    EXPECT_EQ(line.receive(), std::string("ABx\ny\0z\x00\xFF\x0D\x11", 11));

    char buf[16];
    EXPECT_EQ(CommRead(port, buf, 0, &done), 0);  // count 0, nothing waiting: no wait at all
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(CommRead(port, buf, 4, &done), 0);
    const std::string in("\r\n\x03\x00\x13\x11q", 7);
    line.send(in);
    ASSERT_TRUE(queued(port, 7));
    EXPECT_EQ(RSsize(port, &size), 7);
    std::fill(buf, buf + sizeof buf, 'x');
    EXPECT_EQ(CommRead(port, buf, 0, &done), 7);
    EXPECT_EQ(std::string(buf, 8), in + "x");
    line.send("ab");  // fewer than asked: the two that came
    ASSERT_TRUE(queued(port, 2));
    EXPECT_EQ(CommRead(port, buf, 4, &done), 2);
    EXPECT_EQ(std::string(buf, 2), "ab");
    EXPECT_NE(RSread(port, raw, 4, &done), 0);  // a quiet line is no failure
    EXPECT_EQ(done, 0u);
    line.send("abc");
    ASSERT_TRUE(queued(port, 3));
    CommBufInit(port);
    EXPECT_EQ(CommSize(port, &size), 0);
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(PurgeComm(port, 0x10));

    // Writes and CommReceive give up after their time-outs (or catch late bytes); a hang-up ends a read.
    COMMTIMEOUTS to{0, 10, 50, 0, 50};
    ASSERT_TRUE(SetCommTimeouts(port, &to));
    std::string big(1 << 20, 'z');
    EXPECT_EQ(CommWrite(port, big.data(), int(big.size()), &done), 1);
    EXPECT_LT(done, big.size());
    line.receive();
    std::fill(buf, buf + sizeof buf, 0);
    EXPECT_EQ(CommReceive(port, buf, 4, &done), 1);
    EXPECT_EQ(done, 0u);

    to = {0, 10, 2000, 10, 50};
    ASSERT_TRUE(SetCommTimeouts(port, &to));
    std::thread sender([&] {
        usleep(100 * 1000);
        line.send("late");
    });
    EXPECT_EQ(CommReceive(port, buf, 4, &done), 0);
    sender.join();
    EXPECT_EQ(std::string(buf, done), "late");

    to = {};
    ASSERT_TRUE(SetCommTimeouts(port, &to));
    close(line.master);
    line.master = -1;
    EXPECT_EQ(RSread(port, (unsigned char*)buf, 4, &done), 0);
    EXPECT_EQ(done, 0u);
    DWORD events = 0;
    EXPECT_FALSE(WaitCommEvent(port, &events, nullptr));
    EXPECT_NE(CommClose(port), 0);
}
