// A private X server for tests that need a real window and real X input.
//
// start() runs Xvfb on a display number that the server itself finds free
// (-displayfd), so parallel tests never collide; stop() (or the destructor)
// ends it, and it also ends with the test process. xdotool and the other
// calls here talk to that display only.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class Xvfb {
public:
    Xvfb() = default;
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    ~Xvfb() { stop(); }

    bool start(int width = 1280, int height = 1024);  // false, with error(), if it cannot
    void stop();
    const std::string& display() const { return display_; }  // ":N"
    const std::string& error() const { return error_; }

private:
    pid_t pid_ = -1;
    std::string display_;
    std::string error_;
};

// Runs xdotool on the server's display and returns what it printed, without
// the last line end; its exit status goes to *status.
std::string xvfb_xdotool(const Xvfb& x, const std::vector<std::string>& args,
                         int* status = nullptr);

// The X id of the first visible window with exactly this title, waiting up
// to timeout_ms for it to appear; 0 if none did.
unsigned long xvfb_find_window(const Xvfb& x, const std::string& title, int timeout_ms);

// Asks a window to close the way a window manager's close box does
// (a WM_DELETE_WINDOW message).
bool xvfb_close_window(const Xvfb& x, unsigned long window);

// The 32-bit values of a window property (such as _NET_WM_ICON); empty
// when the window does not have it.
std::vector<long> xvfb_property(const Xvfb& x, unsigned long window, const char* name);

// The colour 0xRRGGBB of one pixel of the window as the X server shows it;
// -1 when it cannot be read.
long xvfb_pixel(const Xvfb& x, unsigned long window, int px, int py);

// Starts the program argv[0] as a child on the server's display (SDL on
// X11), in a process group of its own, with `environment` ("NAME=value")
// added. With `out`, its standard output and error come back through *out.
pid_t xvfb_spawn(const Xvfb& x, const std::vector<std::string>& argv,
                 const std::vector<std::string>& environment = {}, int* out = nullptr);

// The exit status of the child `pid` once it ends, waiting up to
// timeout_ms; -1 when a signal ended it or it did not end in time (then it
// is killed, with its process group when it leads one).
int wait_child(pid_t pid, int timeout_ms);
