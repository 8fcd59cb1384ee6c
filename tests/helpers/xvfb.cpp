// A private Xvfb for tests, with xdotool and a little Xlib.
#include "tests/helpers/xvfb.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// Waits up to timeout_ms for the child to end; true when it did.
bool reap(pid_t pid, int timeout_ms, int* status)
{
    for (int waited = 0; waited <= timeout_ms; waited += 10) {
        if (waitpid(pid, status, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A window that vanished or is not mapped makes XGetImage fail; that is an
// answer here, not a reason for Xlib to end the test.
int ignore_x_error(Display*, XErrorEvent*)
{
    return 0;
}

Display* open_display(const Xvfb& x)
{
    XSetErrorHandler(ignore_x_error);
    return XOpenDisplay(x.display().c_str());
}

}  // namespace

bool Xvfb::start(int width, int height)
{
    stop();
    int fds[2];
    if (pipe(fds) != 0) {
        error_ = "pipe failed";
        return false;
    }
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    pid_t pid = fork();
    if (pid < 0) {
        error_ = "fork failed";
        return false;
    }
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives the test
        close(fds[0]);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    pid_ = pid;
    std::string number;
    pollfd p = {fds[0], POLLIN, 0};
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        if (poll(&p, 1, 100) <= 0)
            continue;
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        error_ = "Xvfb did not start";
        stop();
        return false;
    }
    display_ = ":" + number;
    return true;
}

void Xvfb::stop()
{
    if (pid_ > 0) {
        int status = 0;
        kill(pid_, SIGTERM);
        if (!reap(pid_, 3000, &status)) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }
    pid_ = -1;
    display_.clear();
}

pid_t xvfb_spawn(const Xvfb& x, const std::vector<std::string>& argv,
                 const std::vector<std::string>& environment, int* out)
{
    int fds[2] = {-1, -1};
    if (out && pipe(fds) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);  // with whatever it starts, ended together on a time-out
        if (out) {
            dup2(fds[1], 1);
            dup2(fds[1], 2);
            close(fds[0]);
        }
        unsetenv("WAYLAND_DISPLAY");
        setenv("DISPLAY", x.display().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        for (const std::string& e : environment) {
            size_t eq = e.find('=');
            setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
        }
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    if (out) {
        close(fds[1]);
        *out = fds[0];
    }
    return pid;
}

int wait_child(pid_t pid, int timeout_ms)
{
    int status = 0;
    if (!reap(pid, timeout_ms, &status)) {
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string xvfb_xdotool(const Xvfb& x, const std::vector<std::string>& args, int* status)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "";
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], 1);
        setenv("DISPLAY", x.display().c_str(), 1);
        std::vector<char*> argv;
        std::string name = "xdotool";
        argv.push_back(name.data());
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp("xdotool", argv.data());
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buffer[256];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, n);
    close(fds[0]);
    int st = -1;
    if (pid > 0)
        waitpid(pid, &st, 0);
    if (status)
        *status = st;
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

// The window's title: _NET_WM_NAME, else WM_NAME, whatever their encoding.
static std::string window_title(Display* d, Window w)
{
    Atom names[] = {XInternAtom(d, "_NET_WM_NAME", False), XA_WM_NAME};
    for (Atom name : names) {
        Atom type;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, w, name, 0, 1024, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) == Success && data && format == 8) {
            std::string title((char*)data, count);
            XFree(data);
            return title;
        }
        if (data)
            XFree(data);
    }
    return "";
}

// Depth-first through the window tree for a mapped window with the title.
static Window find_titled(Display* d, Window under, const std::string& title)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, under, &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(d, children[i], &attributes) &&
            attributes.map_state == IsViewable && window_title(d, children[i]) == title)
            found = children[i];
        else
            found = find_titled(d, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

unsigned long xvfb_find_window(const Xvfb& x, const std::string& title, int timeout_ms)
{
    Display* d = open_display(x);
    if (!d)
        return 0;
    Window found = 0;
    for (int waited = 0; waited <= timeout_ms && !found; waited += 50) {
        found = find_titled(d, DefaultRootWindow(d), title);
        if (!found)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(d);
    return found;
}

bool xvfb_close_window(const Xvfb& x, unsigned long window)
{
    Display* d = open_display(x);
    if (!d)
        return false;
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(d, window, False, NoEventMask, &e);
    XSync(d, False);  // a BadWindow arrives here and is ignored
    XCloseDisplay(d);
    return sent != 0;
}

std::vector<long> xvfb_property(const Xvfb& x, unsigned long window, const char* name)
{
    std::vector<long> values;
    Display* d = open_display(x);
    if (!d)
        return values;
    Atom type;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, window, XInternAtom(d, name, False), 0, 1 << 16, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && format == 32)
        values.assign((long*)data, (long*)data + count);  // Xlib hands 32-bit items as long
    if (data)
        XFree(data);
    XCloseDisplay(d);
    return values;
}

long xvfb_pixel(const Xvfb& x, unsigned long window, int px, int py)
{
    Display* d = open_display(x);
    if (!d)
        return -1;
    long colour = -1;
    XImage* image = XGetImage(d, window, px, py, 1, 1, AllPlanes, ZPixmap);
    if (image) {
        colour = (long)(XGetPixel(image, 0, 0) & 0xFFFFFF);
        XDestroyImage(image);
    }
    XSync(d, False);
    XCloseDisplay(d);
    return colour;
}
