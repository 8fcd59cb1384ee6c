// A private Xvfb for tests, with xdotool and a little Xlib.
#include "tests/helpers/xvfb.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
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

// Runs argv as a child in a process group of its own that ends with the
// test, with `environment` added; its output and errors go to the file
// `out` unless that is -1.
pid_t start_child(const std::vector<std::string>& argv, const std::vector<std::string>& environment, int out)
{
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (out >= 0)
        dup2(out, 1), dup2(out, 2);
    unsetenv("WAYLAND_DISPLAY");
    for (const std::string& e : environment)
        setenv(e.substr(0, e.find('=')).c_str(), e.substr(e.find('=') + 1).c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// A window that vanished or is not mapped makes Xlib calls fail; that is an
// answer here, not a reason for Xlib to end the test.
Display* open_display(const Xvfb& x)
{
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    return XOpenDisplay(x.display().c_str());
}

// The items of a window property of the item's size (8 or 32 bits).
template <class Item>
std::vector<Item> property(Display* d, Window w, Atom name)
{
    std::vector<Item> items;
    Atom type;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, name, 0, 1 << 16, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data && format == (sizeof(Item) == 1 ? 8 : 32))
        items.assign((Item*)data, (Item*)data + count);  // 32-bit items come as long
    if (data)
        XFree(data);
    return items;
}

// Depth-first through the window tree for a viewable window with the title
// (_NET_WM_NAME, else WM_NAME).
Window find_titled(Display* d, Window under, const std::string& title)
{
    Window root, parent, *children = nullptr, found = 0;
    unsigned int count = 0;
    if (!XQueryTree(d, under, &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        std::vector<char> name = property<char>(d, children[i], XInternAtom(d, "_NET_WM_NAME", False));
        if (name.empty())
            name = property<char>(d, children[i], XA_WM_NAME);
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
            std::string(name.begin(), name.end()) == title)
            found = children[i];
        else
            found = find_titled(d, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

}  // namespace

bool Xvfb::start(int width, int height)
{
    stop();
    int fds[2], null = open("/dev/null", O_WRONLY);
    if (pipe(fds) != 0 || null < 0) {
        error_ = "no pipe";
        return false;
    }
    std::string fd = std::to_string(fds[1]), screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    pid_ = start_child({"Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
                       {}, null);
    close(fds[1]), close(null);
    std::string number;
    pollfd p = {fds[0], POLLIN, 0};
    char c;
    for (int waited = 0; waited < 15000; waited += 100) {  // the number, then a line end
        if (poll(&p, 1, 100) <= 0)
            continue;
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
    if (pid_ > 0 && kill(pid_, SIGTERM) == 0)
        wait_child(pid_, 3000);
    pid_ = -1;
    display_.clear();
}

pid_t xvfb_spawn(const Xvfb& x, const std::vector<std::string>& argv,
                 const std::vector<std::string>& environment, int* out)
{
    int fds[2] = {-1, -1};
    if (out && pipe(fds) != 0)
        return -1;
    // The user's own choices are neither read nor written unless the test names a folder.
    std::vector<std::string> env = {"DISPLAY=" + x.display(), "SDL_VIDEODRIVER=x11",
                                    "XDG_CONFIG_HOME=/dev/null/config", "XDG_CACHE_HOME=/dev/null/cache"};
    env.insert(env.end(), environment.begin(), environment.end());
    pid_t pid = start_child(argv, env, fds[1]);
    if (out)
        close(fds[1]), *out = fds[0];
    return pid;
}

int wait_child(pid_t pid, int timeout_ms)
{
    int status = 0;
    for (int waited = 0; waited <= timeout_ms; waited += 10) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

std::string xvfb_xdotool(const Xvfb& x, const std::vector<std::string>& args, int* status)
{
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    int fd = -1;
    pid_t pid = xvfb_spawn(x, argv, {}, &fd);
    std::string out;
    char buffer[256];
    for (ssize_t n; fd >= 0 && (n = read(fd, buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    if (fd >= 0)
        close(fd);
    int st = pid > 0 ? wait_child(pid, 60000) : -1;
    if (status)
        *status = st;
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

unsigned long xvfb_find_window(const Xvfb& x, const std::string& title, int timeout_ms)
{
    Display* d = open_display(x);
    Window found = 0;
    for (int waited = 0; d && waited <= timeout_ms && !found; waited += 50)
        if (!(found = find_titled(d, DefaultRootWindow(d), title)))
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (d)
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
    Display* d = open_display(x);
    if (!d)
        return {};
    std::vector<long> values =
        property<long>(d, window ? window : DefaultRootWindow(d), XInternAtom(d, name, False));
    XCloseDisplay(d);
    return values;
}

long xvfb_pixel(const Xvfb& x, unsigned long window, int px, int py)
{
    Display* d = open_display(x);
    if (!d)
        return -1;
    long colour = -1;
    if (XImage* image = XGetImage(d, window, px, py, 1, 1, AllPlanes, ZPixmap)) {
        colour = (long)(XGetPixel(image, 0, 0) & 0xFFFFFF);
        XDestroyImage(image);
    }
    XSync(d, False);
    XCloseDisplay(d);
    return colour;
}
