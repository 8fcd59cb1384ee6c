// The program as a whole process: the command line, and one run in a real X
// window with real input.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/helpers/tempdir.h"
#include "tests/helpers/xvfb.h"

struct Outcome { int status; std::string out, err; };  // exit status, standard output and error

// Runs the program with `args` under `prefix` (environment changes, a wrapper).
static Outcome run(const std::string& args, const std::string& prefix = "")
{
    TempDir dir;
    int status = std::system(("cd " + dir.path() + " && " + prefix + " timeout 60 " +
                              RKM_PROGRAM + " " + args + " >out 2>err").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("out"), dir.read("err")};
}

// Bad replays are usage errors, exit status 2; a beep and a snapshot need no sound or display device.
TEST(command_line, bad_replays_are_usage_and_2_and_neither_a_beep_nor_a_snapshot_needs_a_device)
{
    for (const char* args : {"--replay 'jump 3'", "--replay 'click 10'", "--replay 'key F13'",
                             "--replay 'click -1 5'", "--replay 'type'"}) {
        Outcome o = run(args);
        EXPECT_EQ(o.status, 2) << args;
        EXPECT_TRUE(o.err.find("usage") != std::string::npos && o.out.empty()) << args << o.err;
    }
    // A refused character beeps; the sound libraries' complaints stay away from the user.
    // The snapshot goes to a null device of the test's own, which stays a device.
    Outcome o = run("--snapshot null --replay 'type 12345' && test -c null",
                    "{ mknod null c 1 3 || ln -s /dev/null null; } && env -u SDL_AUDIODRIVER AUDIODEV=/dev/null");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out + o.err, "");
    EXPECT_EQ(run("--snapshot s.png --replay 'type 2003'", "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER").status, 0);
}

/* In a real window, with real X input */

// The calendar's window once it shows `rgb` at (px, py), 0 if not within 20 s; looked up
// again each time, as the window system may replace the first one while the program starts.
static unsigned long calendar_window(const Xvfb& x, int px, int py, long rgb)
{
    for (int i = 0; i < 200; i++) {
        unsigned long window = xvfb_find_window(x, "Calendar", 100);
        if (window && xvfb_pixel(x, window, px, py) == rgb)
            return window;
        usleep(50000);
    }
    return 0;
}

static const long X_BLUE = 0x0000FF, X_WHITE = 0xFFFFFF;

// The window icon, today's frame, a typed month, a layout button, closing (midnight: test_midnight).
TEST(x_window, icon_typed_month_layout_button_and_close)
{
    Xvfb x;
    ASSERT_TRUE(x.start(1024, 768)) << x.error();
    pid_t pid = xvfb_spawn(
        x, {RKM_PROGRAM}, {"LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
            "FAKETIME=@2003-11-30 12:00:00", "FAKETIME_DONT_FAKE_MONOTONIC=1", "ASAN_OPTIONS=verify_asan_link_order=0"});
    unsigned long window = calendar_window(x, 59, 469, X_BLUE);  // Sunday 30 November framed
    ASSERT_NE(window, 0u);
    EXPECT_EQ(xvfb_pixel(x, window, 703, 225), X_BLUE);  // the medium layout marked

    std::vector<long> icon = xvfb_property(x, window, "_NET_WM_ICON");
    size_t at = 0, smaller = 0;  // each size in turn, smallest first: find 32 x 32
    for (; at + 2 < icon.size() && icon[at] != 32; smaller++)
        at += 2 + icon[at] * icon[at + 1];
    ASSERT_LE(at + 2 + 32 * 32, icon.size()) << "a 32 x 32 window icon";
    EXPECT_EQ(smaller, 2u) << "after the 16 x 16 and 24 x 24 ones";
    EXPECT_EQ(icon[at + 2 + 5 * 32 + 5] & 0xFFFFFFFF, 0xFFD02828) << "the red header";

    std::string id = std::to_string(window);
    xvfb_xdotool(x, {"windowfocus", "--sync", id});
    xvfb_xdotool(x, {"key", "--delay", "20", "2", "0", "0", "3", "Return", "1", "1", "Return"});
    // November 2003 in the medium view: no day framed, the 1st on Saturday, no Friday.
    EXPECT_NE(calendar_window(x, 20, 15, X_WHITE), 0u);
    auto ink = [&](int x1) {  // whether row 150 has a pixel that is not white from x1 to x1 + 29
        for (int px = x1; px < x1 + 30; px++)
            if (xvfb_pixel(x, window, px, 150) != X_WHITE)
                return true;
        return false;
    };
    EXPECT_TRUE(ink(509) && !ink(439));

    xvfb_xdotool(x, {"mousemove", "--window", id, "900", "200", "click", "1"});
    EXPECT_NE(calendar_window(x, 1, 1, X_WHITE), 0u);  // "年": the year of November 2003, borderless

    EXPECT_TRUE(xvfb_close_window(x, window));
    EXPECT_EQ(wait_child(pid, 20000), 0);
}
