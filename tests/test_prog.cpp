// Starting programs and asking their windows to close, with real programs
// and, for windows, a private X server.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/ghl3000.h"
#include "tests/helpers/tempdir.h"
#include "tests/helpers/xvfb.h"

namespace {

// Started programs are adopted as they start; this test process adopts
// them itself, so that it can wait for them and see their exit status.
struct Adopt {
    Adopt() { prctl(PR_SET_CHILD_SUBREAPER, 1); }
} adopt;

// The exit status of `pid` once it has ended, within about ten seconds;
// -1 while it still runs, -2 when it was killed by a signal.
int wait_exit(pid_t pid, int tenths = 100)
{
    for (int i = 0; i < tenths * 10; ++i) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        if (r < 0)
            return -3;  // not ours to wait for
        usleep(10 * 1000);
    }
    return -1;
}

void end(pid_t pid)
{
    if (pid > 0 && wait_exit(pid, 0) == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// The process ids of the top-level windows on the display.
std::vector<DWORD> window_owners()
{
    std::vector<DWORD> owners;
    EnumWindows(
        [](HWND w, LPARAM list) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            reinterpret_cast<std::vector<DWORD>*>(list)->push_back(pid);
            return TRUE;
        },
        LPARAM(&owners));
    return owners;
}

int windows_of(DWORD pid)
{
    int n = 0;
    for (DWORD owner : window_owners())
        n += owner == pid;
    return n;
}

bool visible_window(unsigned long pid)
{
    std::string cmd = "xdotool search --onlyvisible --pid " + std::to_string(pid) + " >/dev/null";
    return std::system(cmd.c_str()) == 0;
}

}  // namespace

TEST(prog_exec, program_that_cannot_start_returns_0_and_leaves_the_id)
{
    unsetenv("DISPLAY");
    TempDir dir;
    std::string plain = dir.write("not_executable", "data\n");
    const char* lines[] = {
        "rkm-no-such-program --help", "/nonexistent/program", "", "   ",
        "sh -c 'unbalanced", "\"sh", "/tmp", plain.c_str(),
    };
    for (const char* line : lines) {
        unsigned long id = 4242;
        EXPECT_EQ(ProgExec(line, &id, 1), 0) << line;
        EXPECT_EQ(id, 4242u) << line;
    }
    unsigned long id = 4242;
    EXPECT_EQ(ProgExec(nullptr, &id, 1), 0);
    EXPECT_EQ(id, 4242u);
}

TEST(prog_exec, id_is_the_real_process_id_and_words_split_as_a_shell_would)
{
    unsetenv("DISPLAY");  // no windows to wait for
    TempDir dir;
    std::string out = dir.file("words");
    std::string line = "sh -c 'echo $$ > " + out +
                       "; printf \"%s|\" \"$@\" >> " + out + "' sh \"a b\" 'c  d' e\\ f \"g\\\"h\" i";
    unsigned long id = 0;
    ASSERT_EQ(ProgExec(line.c_str(), &id, 1), 1);
    ASSERT_EQ(wait_exit(pid_t(id)), 0);
    EXPECT_EQ(dir.read("words"), std::to_string(id) + "\na b|c  d|e f|g\"h|i|");
}

TEST(prog_exec, program_starts_with_signals_at_their_defaults)
{
    unsetenv("DISPLAY");
    signal(SIGUSR1, SIG_IGN);  // ignored here, not in the program started
    unsigned long id = 0;
    ASSERT_EQ(ProgExec("sh -c 'kill -USR1 $$; exit 5'", &id, 1), 1);
    EXPECT_EQ(wait_exit(pid_t(id)), -2) << "the signal ends it";
    signal(SIGUSR1, SIG_DFL);
}

TEST(prog_exec, program_is_found_on_path_and_gets_the_show_command)
{
    unsetenv("DISPLAY");
    TempDir dir;
    std::string script = dir.write("rkm-show-probe", "#!/bin/sh\necho \"${RKM_STARTUP_SHOW-none}\" > \"$1\"\n");
    chmod(script.c_str(), 0755);
    std::string out = dir.file("show"), path = dir.path() + ":" + std::getenv("PATH");
    setenv("PATH", path.c_str(), 1);
    setenv("RKM_STARTUP_SHOW", "7", 1);  // this program's own, not to be passed on

    unsigned long id = 0;
    ASSERT_EQ(ProgExec(("rkm-show-probe " + out).c_str(), &id, 0), 1);
    ASSERT_EQ(wait_exit(pid_t(id)), 0);
    EXPECT_EQ(dir.read("show"), "0\n");
    ASSERT_EQ(ProgExec(("rkm-show-probe " + out).c_str(), &id, 1), 1);
    ASSERT_EQ(wait_exit(pid_t(id)), 0);
    EXPECT_EQ(dir.read("show"), "none\n");
    unsetenv("RKM_STARTUP_SHOW");
}

class WindowsOnDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("command -v Xvfb >/dev/null") != 0)
            GTEST_SKIP() << "Xvfb is not installed: no X display to test windows on";
        ASSERT_TRUE(server.start()) << server.error();
        setenv("DISPLAY", server.display().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);  // the started programs' windows go to the display
    }
    void TearDown() override { server.stop(); }
    Xvfb server;
};

TEST_F(WindowsOnDisplay, prog_down_closes_every_window_of_the_program)
{
    std::string line = std::string(SDL_WINDOW_PROGRAM) + " 2";
    unsigned long id = 0, other = 0;
    ASSERT_EQ(ProgExec(line.c_str(), &id, 1), 1);
    ASSERT_EQ(ProgExec(line.c_str(), &other, 1), 1);
    EXPECT_TRUE(visible_window(id)) << "ProgExec returns once a window is mapped";
    // Both windows are created before the first is shown; give the second
    // a moment to be listed too.
    for (int i = 0; i < 200 && windows_of(DWORD(id)) < 2; ++i)
        usleep(10 * 1000);
    EXPECT_EQ(windows_of(DWORD(id)), 2);

    EXPECT_EQ(ProgDown(&id), 0);
    EXPECT_EQ(wait_exit(pid_t(id)), 0) << "both windows got the close request";
    EXPECT_EQ(wait_exit(pid_t(other), 0), -1) << "another program's windows stay open";
    EXPECT_EQ(windows_of(DWORD(other)), 2);
    end(pid_t(id));
    end(pid_t(other));
}

// Both kinds of program: one that honours the show command itself, and
// one on this platform's windows, which honour it and turn the close
// request into WM_CLOSE as the calendar's window does.
TEST_F(WindowsOnDisplay, show_command_is_honoured_and_hidden_windows_still_close)
{
    for (const char* program : {SDL_WINDOW_PROGRAM, PLAT_WINDOW_PROGRAM}) {
        for (int show : {1, 0}) {
            SCOPED_TRACE(std::string(program) + " show " + std::to_string(show));
            unsigned long id = 0;
            ASSERT_EQ(ProgExec(program, &id, show), 1);
            EXPECT_EQ(windows_of(DWORD(id)), 1) << "ProgExec returns once the window is there";
            EXPECT_EQ(visible_window(id), show != 0);
            EXPECT_EQ(ProgDown(&id), 0);
            EXPECT_EQ(wait_exit(pid_t(id)), 0);
            end(pid_t(id));
        }
    }
}

TEST(prog_windows, no_display_means_no_windows)
{
    unsetenv("DISPLAY");
    EXPECT_TRUE(window_owners().empty());
    DWORD pid = 99;
    EXPECT_EQ(GetWindowThreadProcessId(HWND(uintptr_t(0x400001)), &pid), 0u);
    EXPECT_EQ(pid, 0u);
    EXPECT_FALSE(PostMessageA(HWND(uintptr_t(0x400001)), WM_CLOSE, 0, 0));
}
