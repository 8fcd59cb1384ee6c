// The program as a whole process: the start screen, today's frame, the
// command line, and one run in a real X window with real input.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "calendar/calendar.h"
#include "tests/helpers/program_run.h"
#include "tests/helpers/tempdir.h"
#include "tests/helpers/xvfb.h"

static const uint32_t BLUE = 0xFF0000, CYAN = 0xFFFF00, BEIGE = 0xBBCCD5;

struct Outcome {
    int status;
    std::string out, err;  // standard output and error
};

// Runs the program with `args` under `prefix` (environment changes, a wrapper).
static Outcome run(const std::string& args, const std::string& prefix = "")
{
    TempDir dir;
    int status = std::system(("cd " + dir.path() + " && " + prefix + " timeout 60 " +
                              RKM_PROGRAM + " " + args + " >out 2>err").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("out"), dir.read("err")};
}

// The top-left corner of the medium view's cell for `day` of a month.
static void medium_cell(int year, int month, int day, int* x, int* y)
{
    int i = RKM_FIRST_DAY(year, month) + day - 1;
    *x = 60 + 70 * (i % 7);
    *y = 130 + 60 * (i / 7);
}

static bool framed(const Picture& p, int x, int y)
{
    return p.at(x - 1, y + 39) == BLUE && p.at(x, y + 39) == BLUE &&
           p.at(x + 57, y + 39) == BLUE && p.at(x + 28, y + 41) == BLUE;
}

/* The start screen */

TEST(start_screen, shows_today_framed_and_the_printer_line)
{
    Picture p = run_program("").screen;
    ASSERT_EQ(p.width, 1024);
    ASSERT_EQ(p.height, 768);
    std::time_t now = std::time(nullptr);
    std::tm t = *std::localtime(&now);
    int x, y;
    medium_cell(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, &x, &y);
    EXPECT_TRUE(framed(p, x, y)) << x << "," << y;
    EXPECT_EQ(p.at(20, 15), BEIGE);
    EXPECT_TRUE(p.has_near(50, 614, 500, 652, CYAN, 16));  // the printer line
}

TEST(command_line, bad_arguments_give_usage_on_stderr_and_2)
{
    for (const char* args : {"--bogus", "--snapshot", "--replay", "--snapshot a.png --snapshot b.png",
                             "--replay 'jump 3'", "--replay 'click 10'", "--replay 'key F13'",
                             "--replay 'click -1 5'", "--replay 'type'", "extra"}) {
        Outcome o = run(args);
        EXPECT_EQ(o.status, 2) << args;
        EXPECT_NE(o.err.find("usage"), std::string::npos) << args;
        EXPECT_TRUE(o.out.empty()) << args;
    }
}

TEST(command_line, version_is_name_and_0_and_a_beep_without_a_sound_card_writes_nothing)
{
    Outcome o = run("--version");
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("rkm7500"), std::string::npos);
    // A refused character beeps; the sound libraries' complaints stay away from the user.
    o = run("--snapshot /dev/null --replay 'type 12345'", "env -u SDL_AUDIODRIVER AUDIODEV=/dev/null");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out + o.err, "");
}

TEST(command_line, no_display_is_one_clear_line_and_1_but_a_snapshot_needs_none)
{
    const char* no_display = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER";
    EXPECT_EQ(run("--snapshot s.png --replay 'type 2003'", no_display).status, 0);
    Outcome o = run("", no_display);
    EXPECT_EQ(o.status, 1);
    ASSERT_FALSE(o.err.empty());
    EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;  // exactly one line
    EXPECT_NE(o.err.find("rkm7500"), std::string::npos);
}

/* In a real window, with real X input */

// Whether some pixel of the row y from x1 to x2 is not `rgb`.
static bool row_has_other(const Xvfb& x, unsigned long window, int x1, int x2, int y, long rgb)
{
    for (int px = x1; px <= x2; px++)
        if (xvfb_pixel(x, window, px, y) != rgb)
            return true;
    return false;
}

// The calendar's window once it shows `rgb` at (px, py); 0 if none does
// within 20 seconds. The window is looked up again each time, since the
// window system may replace the first one while the program starts.
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

static const long X_BLUE = 0x0000FF, X_WHITE = 0xFFFFFF, X_GREEN = 0x00805C;

TEST(x_window, type_a_month_choose_a_layout_and_close)
{
    Xvfb x;
    ASSERT_TRUE(x.start(1024, 768)) << x.error();
    pid_t pid = xvfb_spawn(x, {RKM_PROGRAM});
    unsigned long window = calendar_window(x, 703, 225, X_BLUE);  // the start screen is up
    ASSERT_NE(window, 0u);

    std::vector<long> icon = xvfb_property(x, window, "_NET_WM_ICON");
    size_t at = 0, smaller = 0;  // each size in turn, smallest first: find 32 x 32
    for (; at + 2 < icon.size() && icon[at] != 32; smaller++)
        at += 2 + icon[at] * icon[at + 1];
    ASSERT_LE(at + 2 + 32 * 32, icon.size()) << "a 32 x 32 window icon";
    EXPECT_EQ(smaller, 2u) << "after the 16 x 16 and 24 x 24 ones";
    EXPECT_EQ(icon[at + 2 + 5 * 32 + 5] & 0xFFFFFFFF, 0xFFD02828) << "the red header";
    std::string id = std::to_string(window);
    xvfb_xdotool(x, {"windowfocus", "--sync", id});
    xvfb_xdotool(x, {"type", "--delay", "20", "2003"});
    xvfb_xdotool(x, {"key", "--delay", "20", "Return"});
    xvfb_xdotool(x, {"type", "--delay", "20", "11"});
    xvfb_xdotool(x, {"key", "--delay", "20", "Return"});
    // November 2003 in the medium view: no day framed, the 1st on Saturday.
    EXPECT_NE(calendar_window(x, 20, 15, X_WHITE), 0u);
    EXPECT_TRUE(row_has_other(x, window, 509, 538, 150, X_WHITE));  // the 1st
    EXPECT_FALSE(row_has_other(x, window, 439, 468, 150, X_WHITE));  // no Friday

    xvfb_xdotool(x, {"mousemove", "--window", id, "900", "200", "click", "1"});
    EXPECT_NE(calendar_window(x, 863, 225, X_BLUE), 0u);  // "年" marked
    EXPECT_EQ(xvfb_pixel(x, window, 703, 225), X_GREEN);

    EXPECT_TRUE(xvfb_close_window(x, window));
    EXPECT_EQ(wait_child(pid, 20000), 0);
}

TEST(x_window, after_midnight_the_next_paint_frames_the_new_day)
{
    TempDir dir;  // the clock the program sees, read afresh at every call
    std::string clock = dir.write("clock", "2003-11-30 23:59:58\n");

    Xvfb x;
    ASSERT_TRUE(x.start(1024, 768)) << x.error();
    pid_t pid = xvfb_spawn(
        x, {RKM_PROGRAM}, {"LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
            "FAKETIME_TIMESTAMP_FILE=" + clock, "FAKETIME_NO_CACHE=1",
            "FAKETIME_DONT_FAKE_MONOTONIC=1", "ASAN_OPTIONS=verify_asan_link_order=0"});
    unsigned long window = calendar_window(x, 59, 469, X_BLUE);  // Sunday 30 November framed
    ASSERT_NE(window, 0u);

    dir.write("clock", "2003-12-01 00:00:03\n");
    std::string id = std::to_string(window);
    xvfb_xdotool(x, {"windowunmap", "--sync", id});
    xvfb_xdotool(x, {"windowmap", "--sync", id});
    EXPECT_NE(calendar_window(x, 129, 169, X_BLUE), 0u);  // Monday 1 December framed
    EXPECT_NE(xvfb_pixel(x, window, 59, 469), X_BLUE);

    EXPECT_TRUE(xvfb_close_window(x, window));
    EXPECT_EQ(wait_child(pid, 20000), 0);
}
