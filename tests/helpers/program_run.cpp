#include "tests/helpers/program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/command.h"
#include "state/state.h"
#include "platform/windows.h"
#include "tests/helpers/tempdir.h"

ProgramRun run_program(const std::string& replay, const std::vector<std::string>& options,
                       const std::string& config)
{
    ProgramRun run;
    TempDir dir;  // the program's working folder: no holiday files
    std::string png = dir.file("screen.png");
    int fds[2];
    if (pipe(fds) != 0)
        return run;
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {  // the program, then its state through the pipe
        std::vector<std::string> args = {"rkm7500", "--snapshot", png, "--replay", replay};
        args.resize(replay.empty() ? 3 : 5);
        args.insert(args.begin() + 1, options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(&a[0]);
        if (chdir(dir.path().c_str()) != 0)
            _exit(120);
        // No remembered choice or cached calendar of another run reaches this one.
        setenv("XDG_CONFIG_HOME", config.empty() ? dir.file("config").c_str() : config.c_str(), 1);
        setenv("XDG_CACHE_HOME", dir.file("cache").c_str(), 1);
        int status = cmd_main((int)argv.size(), argv.data());
        ProgramState state{iSetfg, iDspfg, iDspbk, iYear, iMont, iBcol, iNstep, iNkcnt, iMjset, {}, plat_beep_count()};
        std::memcpy(state.cKeybuf, cKeybuf, sizeof state.cKeybuf - 1);
        if (write(fds[1], &state, sizeof state) != (ssize_t)sizeof state)
            _exit(121);
        std::exit(status);  // a normal exit, so the sanitizers' leak check runs
    }
    close(fds[1]);
    ssize_t got = 0, n;
    while (got < (ssize_t)sizeof run.state && (n = read(fds[0], (char*)&run.state + got, sizeof run.state - got)) > 0)
        got += n;
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.has_state = got == (ssize_t)sizeof run.state;
    run.screen = read_png(png);
    return run;
}
