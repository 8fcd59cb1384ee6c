// Starting programs and asking their windows to close, with real programs and a private X server.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "support/comm/ghl3000_comm.h"
#include "tests/helpers/tempdir.h"
#include "tests/helpers/xvfb.h"

namespace {

// This process adopts the programs it starts, so that it can wait for them and see their exit status.
const int adopt = prctl(PR_SET_CHILD_SUBREAPER, 1);

// The top-level windows of `pid` on the display; of every process for 0.
int windows_of(DWORD pid)
{
    std::pair<DWORD, int> count{pid, 0};
    EnumWindows([](HWND w, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<std::pair<DWORD, int>*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        c->second += !c->first || owner == c->first;
        return TRUE;
    }, LPARAM(&count));
    return count.second;
}

bool visible_window(unsigned long pid)
{
    return std::system(("xdotool search --onlyvisible --pid " + std::to_string(pid) + " >/dev/null").c_str()) == 0;
}

}  // namespace

TEST(prog_exec, program_that_cannot_start_returns_0_and_leaves_the_id_and_no_display_has_no_windows)
{
    unsetenv("DISPLAY");  // no display, so no windows either
    EXPECT_EQ(windows_of(0), 0);
    TempDir dir;
    std::string plain = dir.write("not_executable", "data\n");
    for (const char* line : {"rkm-no-such-program --help", "/nonexistent/program", "", "   ", "sh -c 'unbalanced",
                             "\"sh", "/tmp", plain.c_str(), (const char*)nullptr}) {
        unsigned long id = 4242;
        EXPECT_EQ(ProgExec(line, &id, 1), 0) << (line ? line : "no line");
        EXPECT_EQ(id, 4242u) << (line ? line : "no line");
    }
}

// The real process id; words split as by a shell; signals at their defaults; PATH; show 0 passed on.
TEST(prog_exec, program_gets_its_words_default_signals_and_the_show_command)
{
    unsetenv("DISPLAY");  // no windows to wait for
    TempDir dir;
    std::string out = dir.file("words");
    std::string line = "sh -c 'echo $$ > " + out + "; printf \"%s|\" \"$@\" >> " + out + "' sh \"a b\" 'c  d' e\\ f \"g\\\"h\" i";
    unsigned long id = 0;
    ASSERT_EQ(ProgExec(line.c_str(), &id, 1), 1);
    ASSERT_EQ(wait_child(pid_t(id), 10000), 0);
    EXPECT_EQ(dir.read("words"), std::to_string(id) + "\na b|c  d|e f|g\"h|i|");

    signal(SIGUSR1, SIG_IGN);
    ASSERT_EQ(ProgExec("sh -c 'kill -USR1 $$; exit 5'", &id, 1), 1);
    EXPECT_EQ(wait_child(pid_t(id), 10000), -1) << "the signal ends it, not exit 5";
    signal(SIGUSR1, SIG_DFL);

    std::string script = dir.write("rkm-show-probe", "#!/bin/sh\necho \"${RKM_STARTUP_SHOW-none}\" > \"$1\"\n");
    chmod(script.c_str(), 0755);
    setenv("PATH", (dir.path() + ":" + std::getenv("PATH")).c_str(), 1);
    setenv("RKM_STARTUP_SHOW", "7", 1);
    for (int show : {0, 1}) {
        ASSERT_EQ(ProgExec(("rkm-show-probe " + dir.file("show")).c_str(), &id, show), 1);
        ASSERT_EQ(wait_child(pid_t(id), 10000), 0);
        EXPECT_EQ(dir.read("show"), show ? "none\n" : "0\n");
    }
    unsetenv("RKM_STARTUP_SHOW");
}

// ProgDown closes every window of the program and no other; the show command is honoured both by a
// program on SDL and by one on this platform's windows, where the close request becomes WM_CLOSE.
TEST(prog_down, closes_each_window_of_the_program_and_the_show_command_is_honoured)
{
    if (std::system("command -v Xvfb >/dev/null") != 0)
        GTEST_SKIP() << "Xvfb is not installed: no X display to test windows on";
    Xvfb server;
    ASSERT_TRUE(server.start()) << server.error();
    setenv("DISPLAY", server.display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);  // the started programs' windows go to the display
    std::string line = std::string(SDL_WINDOW_PROGRAM) + " 2";
    unsigned long id = 0, other = 0;
    ASSERT_EQ(ProgExec(line.c_str(), &id, 1), 1);
    ASSERT_EQ(ProgExec(line.c_str(), &other, 1), 1);
    EXPECT_TRUE(visible_window(id)) << "ProgExec returns once a window is mapped";
    // Both windows are made before the first is shown; the second may be listed a moment later.
    for (int i = 0; i < 200 && windows_of(DWORD(id)) < 2; ++i)
        usleep(10 * 1000);
    EXPECT_EQ(windows_of(DWORD(id)), 2);
    EXPECT_EQ(ProgDown(&id), 0);
    EXPECT_EQ(wait_child(pid_t(id), 10000), 0) << "both windows got the close request";
    EXPECT_EQ(windows_of(DWORD(other)), 2) << "another program's windows stay open";
    EXPECT_EQ(wait_child(pid_t(other), 0), -1) << "still running";

    for (const char* program : {SDL_WINDOW_PROGRAM, PLAT_WINDOW_PROGRAM}) {
        for (int show : {1, 0}) {
            SCOPED_TRACE(std::string(program) + " show " + std::to_string(show));
            ASSERT_EQ(ProgExec(program, &id, show), 1);
            EXPECT_EQ(windows_of(DWORD(id)), 1) << "ProgExec returns once the window is there";
            EXPECT_EQ(visible_window(id), show != 0);
            EXPECT_EQ(ProgDown(&id), 0);
            EXPECT_EQ(wait_child(pid_t(id), 10000), 0);
        }
    }
}
