// Serial lines on pseudo-terminals: the test holds the master end, the port
// opens the slave end through RKM_COMn.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/comm_termios.h"
#include "support/ghl3000.h"

/* Modem-line requests: a pseudo-terminal has no modem lines, so the
   requests the port makes of the device are recorded on their way. */
static std::vector<std::pair<unsigned long, int>> modem_requests;

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    using real_ioctl = int (*)(int, unsigned long, void*);
    static real_ioctl real = reinterpret_cast<real_ioctl>(dlsym(RTLD_NEXT, "ioctl"));
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
    std::string device;

    // A fresh pseudo-terminal named by RKM_COM<n>.
    explicit Line(int n)
    {
        int slave = -1;
        char name[128];
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            ADD_FAILURE() << "openpty failed";
        close(slave);
        device = name;
        setenv(("RKM_COM" + std::to_string(n)).c_str(), name, 1);
        fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~Line()
    {
        if (master >= 0)
            close(master);
    }
    termios attributes() const
    {
        termios t{};
        EXPECT_EQ(tcgetattr(master, &t), 0);
        return t;
    }
    void send(const std::string& bytes) const
    {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Everything that arrives within a short while, up to `limit` bytes.
    std::string receive(size_t limit = 4096) const
    {
        std::string got;
        pollfd p{master, POLLIN, 0};
        while (got.size() < limit && poll(&p, 1, 200) > 0) {
            char buf[4096];
            ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, size_t(n));
        }
        return got;
    }
};

// Waits until the port's input queue holds `n` bytes (they cross the
// pseudo-terminal asynchronously).
bool queued(HANDLE port, unsigned long n)
{
    for (int i = 0; i < 500; ++i) {
        unsigned long count = 0;
        if (CommSize(port, &count) >= int(n))
            return count == n;
        usleep(2000);
    }
    return false;
}

HANDLE open_port(int port, int read_constant = 50)
{
    return CommOpen(port, 9600, 0, 8, 2, 2, 2, read_constant, 50);
}

// One open port on COM1, read time-out constant 30 ms.
class PortTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(port = open_port(0, 30), nullptr); }
    void TearDown() override
    {
        if (port) {
            EXPECT_NE(CommClose(port), 0);
        }
    }
    Line line{1};
    HANDLE port = nullptr;
};

}  // namespace

TEST(comm_open, settings_reach_the_device_and_bad_ports_give_null)
{
    Line line(3);
    HANDLE port = CommOpen(2, 19200, 0, 8, 2, 2, 2, 120, 30);  // port 2 is COM3
    ASSERT_NE(port, nullptr);
    termios t = line.attributes();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
    EXPECT_EQ(cfgetispeed(&t), speed_t(B19200));
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8 | CSTOPB));
    EXPECT_FALSE(t.c_iflag & INPCK);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));  // a binary channel
    EXPECT_FALSE(t.c_oflag & OPOST);
    COMMTIMEOUTS to{};
    ASSERT_TRUE(GetCommTimeouts(port, &to));
    EXPECT_EQ(std::vector<DWORD>({to.ReadIntervalTimeout, to.ReadTotalTimeoutMultiplier,
                                  to.ReadTotalTimeoutConstant, to.WriteTotalTimeoutMultiplier,
                                  to.WriteTotalTimeoutConstant}),
              std::vector<DWORD>({0, 10, 120, 10, 30}));
    EXPECT_EQ(CommOpen(2, 19200, 0, 8, 2, 2, 2, 120, 30), nullptr) << "unshared until closed";
    EXPECT_NE(RSclose(port), 0);
    port = open_port(2);
    EXPECT_NE(port, nullptr);
    CommClose(port);

    setenv("RKM_COM5", "/nonexistent/tty", 1);
    setenv("RKM_COM6", "/dev/null", 1);  // not a terminal
    for (int n : {4, 5, 9, -1})
        EXPECT_EQ(open_port(n), nullptr) << n;
}

TEST(comm_open, refused_settings_leave_the_port_open_and_unchanged)
{
    // A pseudo-terminal has 8 data bits and no parity, whatever is asked.
    Line line(2);
    HANDLE port = open_port(1);
    ASSERT_NE(port, nullptr);
    DCB dcb{};
    ASSERT_TRUE(GetCommState(port, &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    struct { DWORD rate; BYTE size, parity; } refused[] = {{38400, 7, NOPARITY}, {38400, 8, EVENPARITY}, {12345, 8, NOPARITY}};
    for (auto& r : refused) {
        dcb.BaudRate = r.rate;
        dcb.ByteSize = r.size;
        dcb.Parity = r.parity;
        dcb.fParity = r.parity != NOPARITY;
        EXPECT_FALSE(SetCommState(port, &dcb)) << r.rate;
    }
    termios t = line.attributes();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_FALSE(t.c_cflag & PARENB);
    CommClose(port);
    HANDLE even = CommOpen(1, 4800, 2, 8, 0, 2, 2, 50, 50);
    ASSERT_NE(even, nullptr);
    ASSERT_TRUE(GetCommState(even, &dcb));
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.BaudRate, 9600u);  // the whole block was refused, rate included
    CommClose(even);
}

TEST(comm_settings, parity_codes_map_to_termios_and_back)
{
    struct { BYTE parity; tcflag_t bits; } cases[] = {
        {NOPARITY, 0}, {ODDPARITY, PARENB | PARODD}, {EVENPARITY, PARENB},
        {MARKPARITY, PARENB | CMSPAR | PARODD}, {SPACEPARITY, PARENB | CMSPAR}};
    for (const auto& c : cases) {
        DCB dcb{};
        dcb.BaudRate = 1200;
        dcb.ByteSize = 7;
        dcb.Parity = c.parity;
        dcb.fParity = c.parity != NOPARITY;
        dcb.StopBits = ONE5STOPBITS;
        termios t{};
        t.c_cflag = PARODD | CMSPAR;  // left over from an earlier setting
        ASSERT_TRUE(plat_dcb_to_termios(dcb, &t));
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR | CSIZE | CSTOPB), c.bits | CS7 | CSTOPB) << int(c.parity);
        EXPECT_EQ(bool(t.c_iflag & INPCK), c.parity != NOPARITY);
        EXPECT_EQ(cfgetospeed(&t), speed_t(B1200));
        DCB back{};
        plat_termios_to_dcb(t, &back);
        EXPECT_EQ(std::vector<int>({back.Parity, back.ByteSize, back.StopBits, int(back.BaudRate)}),
                  std::vector<int>({c.parity, 7, TWOSTOPBITS, 1200}));
    }
    DCB bad{};
    bad.BaudRate = 9600;
    termios t{};
    bad.ByteSize = 4;
    EXPECT_FALSE(plat_dcb_to_termios(bad, &t));
    bad.ByteSize = 8;
    bad.Parity = 5;
    EXPECT_FALSE(plat_dcb_to_termios(bad, &t));
}

TEST(comm_open, modem_lines_follow_dtr_and_rts_arguments)
{
    Line line(4);
    modem_requests.clear();
    HANDLE port = CommOpen(3, 9600, 0, 8, 0, 2, 2, 50, 50);
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(modem_requests.empty()) << "argument 2 must leave both lines alone";
    CommClose(port);

    modem_requests.clear();
    port = CommOpen(3, 9600, 0, 8, 0, 1, 0, 50, 50);
    ASSERT_NE(port, nullptr);
    ASSERT_EQ(modem_requests.size(), 2u);
    EXPECT_EQ(modem_requests[0], std::make_pair((unsigned long)TIOCMBIS, int(TIOCM_DTR)));
    EXPECT_EQ(modem_requests[1], std::make_pair((unsigned long)TIOCMBIC, int(TIOCM_RTS)));
    EXPECT_FALSE(EscapeCommFunction(port, SETDTR));  // no modem lines on this device
    EXPECT_FALSE(EscapeCommFunction(port, 77));
    CommClose(port);
}

TEST_F(PortTest, written_bytes_arrive_and_sent_bytes_are_read)
{
    unsigned long done = 99;
    EXPECT_EQ(CommWrite(port, "AB\0CD", 0, &done), 0);  // count 0: up to the NUL
    EXPECT_EQ(done, 2u);
    EXPECT_EQ(CommWrite(port, "x\ny\0z", 5, &done), 0);  // bytes as they are, NUL too
    EXPECT_EQ(done, 5u);
    EXPECT_EQ(line.receive(), std::string("ABx\ny\0z", 7));

    unsigned char raw[] = {0x00, 0xFF, 0x0D, 0x11};
    EXPECT_NE(RSwrite(port, raw, 4, &done), 0);
    EXPECT_EQ(line.receive(), std::string("\x00\xFF\x0D\x11", 4));

    const std::string in("\r\n\x03\x00\x13\x11q", 7);  // no line editing, no flow control
    line.send(in);
    ASSERT_TRUE(queued(port, 7));
    char buf[8] = {};
    EXPECT_EQ(CommRead(port, buf, 7, &done), 7);
    EXPECT_EQ(done, 7u);
    EXPECT_EQ(std::string(buf, 7), in);
}

TEST_F(PortTest, reads_take_what_waits_or_return_after_the_timeout)
{
    char buf[16];
    unsigned long done = 99, size = 9, rs_size = 0;
    EXPECT_EQ(CommRead(port, buf, 0, &done), 0);  // count 0, nothing waiting: no wait at all
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(CommRead(port, buf, 4, &done), 0);
    line.send("hello");
    ASSERT_TRUE(queued(port, 5));
    EXPECT_EQ(RSsize(port, &rs_size), 5);
    std::fill(buf, buf + sizeof buf, 'x');
    EXPECT_EQ(CommRead(port, buf, 0, &done), 5);
    EXPECT_EQ(std::string(buf, 6), "hellox");
    line.send("ab");  // fewer than asked: the two that came
    ASSERT_TRUE(queued(port, 2));
    EXPECT_EQ(CommRead(port, buf, 4, &done), 2);
    EXPECT_EQ(std::string(buf, 2), "ab");
    unsigned char raw[4];
    EXPECT_NE(RSread(port, raw, 4, &done), 0);  // a quiet line is no failure
    EXPECT_EQ(done, 0u);
    line.send("abc");
    ASSERT_TRUE(queued(port, 3));
    CommBufInit(port);
    EXPECT_EQ(CommSize(port, &size), 0);
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(PurgeComm(port, 0x10));
    DCB dcb{};  // calls on no port fail without harm
    COMSTAT st{};
    DWORD errors = 0;
    EXPECT_FALSE(GetCommState(nullptr, &dcb));
    EXPECT_FALSE(ClearCommError(INVALID_HANDLE_VALUE, &errors, &st));
    unsigned long n = 7;
    EXPECT_EQ(CommSize(nullptr, &n), 0);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(CommRead(nullptr, nullptr, 0, &n), 0);
    EXPECT_EQ(CommWrite(nullptr, "x", 0, &n), 1);
    EXPECT_EQ(CommClose(nullptr), 0);
}

TEST_F(PortTest, write_that_cannot_finish_fails_after_its_timeout)
{
    COMMTIMEOUTS to{0, 10, 50, 0, 50};
    ASSERT_TRUE(SetCommTimeouts(port, &to));
    std::string big(1 << 20, 'z');
    unsigned long done = 0;
    EXPECT_EQ(CommWrite(port, big.data(), int(big.size()), &done), 1);
    EXPECT_LT(done, big.size());
}

TEST_F(PortTest, hung_up_line_ends_a_read_without_time_limit)
{
    COMMTIMEOUTS none{};
    ASSERT_TRUE(SetCommTimeouts(port, &none));
    close(line.master);
    line.master = -1;
    unsigned char buf[4];
    unsigned long done = 99;
    EXPECT_EQ(RSread(port, buf, 4, &done), 0);
    EXPECT_EQ(done, 0u);
    DWORD events = 0;
    EXPECT_FALSE(WaitCommEvent(port, &events, nullptr));
    EXPECT_NE(CommClose(port), 0);
    port = nullptr;
}

TEST_F(PortTest, receive_waits_for_data_then_gives_up)
{
    char buf[16] = {};
    unsigned long done = 99;
    EXPECT_EQ(CommReceive(port, buf, 4, &done), 1);
    EXPECT_EQ(done, 0u);

    // Bytes that come while it waits: WaitCommEvent gives up per wait after
    // 10 + 2000 ms, so a late sender is still caught.
    COMMTIMEOUTS to{0, 10, 2000, 10, 50};
    ASSERT_TRUE(SetCommTimeouts(port, &to));
    std::thread sender([&] {
        usleep(100 * 1000);
        line.send("late");
    });
    EXPECT_EQ(CommReceive(port, buf, 4, &done), 0);
    sender.join();
    EXPECT_EQ(done, 4u);
    EXPECT_EQ(std::string(buf, 4), "late");
}
