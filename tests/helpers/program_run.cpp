#include "program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/command.h"
#include "app/state.h"
#include "platform/gdi.h"

static std::string make_directory()
{
    char path[] = "/tmp/rkm-screen-XXXXXX";
    if (!mkdtemp(path))
        return "";
    return path;
}

static void write_file(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

static ProgramState current_state()
{
    ProgramState s{};
    s.iSetfg = iSetfg;
    s.iDspfg = iDspfg;
    s.iDspbk = iDspbk;
    s.iYear = iYear;
    s.iMont = iMont;
    s.iBcol = iBcol;
    s.iNstep = iNstep;
    s.iNkcnt = iNkcnt;
    s.iMjset = iMjset;
    std::memcpy(s.cKeybuf, cKeybuf, sizeof s.cKeybuf - 1);
    s.beeps = plat_beep_count();
    return s;
}

// The child: the program's run, then its state through the pipe.
[[noreturn]] static void child(int out, const std::string& dir, const std::string& png,
                               const std::string& replay)
{
    if (chdir(dir.c_str()) != 0)
        _exit(120);
    std::vector<std::string> args = {"rkm7500", "--snapshot", png};
    if (!replay.empty()) {
        args.push_back("--replay");
        args.push_back(replay);
    }
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    int status = cmd_main((int)args.size(), argv.data());
    ProgramState state = current_state();
    if (write(out, &state, sizeof state) != (ssize_t)sizeof state)
        _exit(121);
    std::fflush(nullptr);
    std::exit(status);  // normal exit, so leak checks run in sanitizer builds
}

ProgramRun run_program(const std::string& replay, const std::string& holidays1,
                       const std::string& holidays2)
{
    ProgramRun run;
    std::string dir = make_directory();
    if (dir.empty())
        return run;
    if (!holidays1.empty())
        write_file(dir + "/HDAY1.DAT", holidays1);
    if (!holidays2.empty())
        write_file(dir + "/HDAY2.DAT", holidays2);
    std::string png = dir + "/screen.png";

    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        return run;
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        close(pipe_fds[0]);
        child(pipe_fds[1], dir, png, replay);
    }
    close(pipe_fds[1]);
    ProgramState state{};
    ssize_t got = 0, n;
    while (got < (ssize_t)sizeof state &&
           (n = read(pipe_fds[0], (char*)&state + got, sizeof state - got)) > 0)
        got += n;
    close(pipe_fds[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    run.has_state = got == (ssize_t)sizeof state;
    if (run.has_state)
        run.state = state;
    run.screen = read_png(png);

    unlink(png.c_str());
    unlink((dir + "/HDAY1.DAT").c_str());
    unlink((dir + "/HDAY2.DAT").c_str());
    rmdir(dir.c_str());
    return run;
}
