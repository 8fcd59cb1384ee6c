// The program as a whole process: the start screen, today's frame, the
// command line, and one run in a real X window with real input.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "calendar/calendar.h"
#include "helpers/screen_canvas.h"

static const uint32_t BLUE = 0xFF0000, CYAN = 0xFFFF00, BEIGE = 0xBBCCD5;

struct Outcome {
    int status;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs the program with `args` under `prefix` (environment changes, a
// wrapper), capturing both output streams.
static Outcome run(const std::string& args, const std::string& prefix = "")
{
    char dir[] = "/tmp/rkm-cli-XXXXXX";
    Outcome o{-1, "", ""};
    if (!mkdtemp(dir))
        return o;
    std::string d = dir;
    std::string cmd = "cd " + d + " && " + prefix + " timeout 60 " + RKM_PROGRAM + " " + args +
                      " >" + d + "/out 2>" + d + "/err";
    int status = std::system(cmd.c_str());
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto slurp = [](const std::string& path) {
        std::string text;
        if (FILE* f = std::fopen(path.c_str(), "r")) {
            char buf[512];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
                text.append(buf, n);
            std::fclose(f);
        }
        return text;
    };
    o.out = slurp(d + "/out");
    o.err = slurp(d + "/err");
    std::system(("rm -rf " + d).c_str());
    return o;
}

static std::string temp_png(const char* name)
{
    return std::string("/tmp/rkm-screen-") + std::to_string(getpid()) + "-" + name + ".png";
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
    std::string png = temp_png("start");
    Outcome o = run("--snapshot " + png);
    ASSERT_EQ(o.status, 0) << o.err;
    Picture p = read_png(png);
    std::remove(png.c_str());
    ASSERT_EQ(p.width, 1024);
    ASSERT_EQ(p.height, 768);
    std::time_t now = std::time(nullptr);
    std::tm t = *std::localtime(&now);
    int x, y;
    medium_cell(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, &x, &y);
    EXPECT_TRUE(framed(p, x, y)) << x << "," << y;
    EXPECT_EQ(p.at(20, 15), BEIGE);
    EXPECT_TRUE(p.has_near(50, 614, 500, 652, CYAN, 16));  // the printer line
    EXPECT_EQ(p.at(703, 225), BLUE);  // layout 1 marked
}

TEST(start_screen, frames_the_day_of_the_clock)
{
    std::string png = temp_png("fixed");
    Outcome o = run("--snapshot " + png,
                    "ASAN_OPTIONS=verify_asan_link_order=0 faketime '2003-11-30 12:00:00'");
    ASSERT_EQ(o.status, 0) << o.err;
    Picture p = read_png(png);
    std::remove(png.c_str());
    ASSERT_FALSE(p.empty());
    EXPECT_TRUE(framed(p, 60, 430));   // Sunday 30 November, alone in the sixth row
    EXPECT_FALSE(framed(p, 480, 130)); // not the 1st
}

/* The command line */

TEST(command_line, help_and_version_exit_0)
{
    Outcome help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--snapshot"), std::string::npos);
    Outcome version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("rkm7500"), std::string::npos);
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

TEST(command_line, no_display_is_one_clear_line_and_1)
{
    Outcome o = run("", "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER");
    EXPECT_EQ(o.status, 1);
    ASSERT_FALSE(o.err.empty());
    EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;  // exactly one line
    EXPECT_NE(o.err.find("rkm7500"), std::string::npos);
}

TEST(command_line, snapshot_that_cannot_be_written_is_1)
{
    Outcome o = run("--snapshot /nonexistent-dir/x.png");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("/nonexistent-dir/x.png"), std::string::npos);
}

TEST(command_line, replay_events_with_blanks_and_empty_items)
{
    std::string png = temp_png("replay");
    Outcome o = run("--snapshot " + png + " --replay ' type 2003 ;; key enter;type 11;key Enter;'");
    EXPECT_EQ(o.status, 0) << o.err;
    Picture p = read_png(png);
    std::remove(png.c_str());
    ASSERT_FALSE(p.empty());
    // "2003 " is a year of 2003; November 2003 starts on a Saturday.
    EXPECT_GT(p.count_not(476, 126, 540, 180, 0xFFFFFF), 10);
    EXPECT_EQ(p.count_not(406, 126, 470, 180, 0xFFFFFF), 0);
}
