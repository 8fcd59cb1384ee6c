// A private X server for tests that need a real window and real X input:
// Xvfb on a display number it finds free itself (-displayfd), so parallel
// tests never collide; it ends with stop(), the destructor or the test.
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

// xdotool's output and errors on the display, without the last line end;
// *status: its exit status (-1 when it failed to end).
std::string xvfb_xdotool(const Xvfb& x, const std::vector<std::string>& args,
                         int* status = nullptr);

// The first viewable window whose title begins with `title` within timeout_ms; 0 if none.
unsigned long xvfb_find_window(const Xvfb& x, const std::string& title, int timeout_ms);

// Asks a window to close as a window manager's close box does.
bool xvfb_close_window(const Xvfb& x, unsigned long window);

// The 32-bit values of a window property (window 0: the root's); empty when it has none.
std::vector<long> xvfb_property(const Xvfb& x, unsigned long window, const char* name);

// One pixel of the window as 0xRRGGBB; -1 when it cannot be read.
long xvfb_pixel(const Xvfb& x, unsigned long window, int px, int py);

// Starts argv (looked up on PATH) on the server's display (SDL on X11) in
// a process group of its own, with `environment` ("NAME=value") added; with
// `out`, its output and errors come back through *out.
pid_t xvfb_spawn(const Xvfb& x, const std::vector<std::string>& argv,
                 const std::vector<std::string>& environment = {}, int* out = nullptr);

// The child's exit status within timeout_ms; -1 when a signal ended it or
// it did not end in time (then it and its group are killed).
int wait_child(pid_t pid, int timeout_ms);
