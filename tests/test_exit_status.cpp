// How a run of the program ends: its exit status, the line that says why,
// and the snapshot it leaves.
#include <gtest/gtest.h>

#include <string>

#include "tests/helpers/cups.h"
#include "tests/helpers/picture.h"
#include "tests/helpers/tempdir.h"

static std::string run_in(const TempDir& dir, const std::string& before, const std::string& args,
                          int* status)
{
    return run_command("cd '" + dir.path() + "' && { " + before + " timeout 20 " + RKM_PROGRAM +
                           " " + args + "; }",
                       status);
}

TEST(exit_status, failures_end_with_1_and_the_reason_bad_numbers_with_2)
{
    const std::string no_display = "rkm7500: cannot open display :199\n";  // the whole output
    const struct {
        const char *before, *args;
        int status;
        std::string says;
    } cases[] = {
        {"export DISPLAY=:199; unset SDL_VIDEODRIVER WAYLAND_DISPLAY;", "", 1, no_display},
        {"export DISPLAY=:199 SDL_VIDEODRIVER=dummy;", "", 1, no_display},
        {"", "--snapshot s.png --replay 'click 4294968196 200'", 2, "0 to 32767"},
        {"", "--snapshot s.png --replay 'click 5 32768'", 2, "0 to 32767"},
        {"", "--snapshot s.png --print-to no/p.pdf --replay 'key F9'", 1, "No such file"},
        {"", "--snapshot s.png --print-to . --replay 'key F9; key F12'", 1, "Is a directory"},
        {"", "--snapshot s.png --print-to p.pdf --replay 'key F9; key F12'", 0, ""},
        {"mkdir d;", "--snapshot d", 1, "cannot write the snapshot to d: Is a directory"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        int status = -1;
        std::string out = run_in(dir, c.before, c.args, &status);
        EXPECT_EQ(status, c.status) << c.args << "\n" << out;
        if (c.says == no_display) {
            EXPECT_EQ(out, no_display);
        }
        EXPECT_NE(out.find(c.says), std::string::npos) << c.args << "\n" << out;
    }
}

TEST(snapshot, a_failed_write_keeps_the_old_file_and_ending_the_program_still_writes_it)
{
    TempDir dir;
    dir.write("s.png", "old");
    int status = -1;
    std::string out = run_in(dir, "trap '' XFSZ; ulimit -f 8;", "--snapshot s.png", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("s.png: File too large"), std::string::npos) << out;
    EXPECT_EQ(dir.read("s.png"), "old");
    EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"s.png"});

    out = run_in(dir, "", "--snapshot t.png --replay 'click 900 200; key F12'", &status);
    EXPECT_EQ(status, 0) << out;
    Picture last = read_png(dir.file("t.png"));
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last.at(870, 185), 0xFF0000u);  // the year layout's button, chosen by the click
}
