// Files the program writes: whole or not at all, devices written directly,
// nothing left behind by a failure or a signal; and the settings file kept
// through it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

#include "platform/system/out_file.h"
#include "platform/windows.h"
#include "state/settings.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/tempdir.h"

// Runs `body` in a child process; true when it exits 0. A test process must
// not lower its own file size limit or die of its own signal.
static bool in_child(const std::function<bool()>& body)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(body() ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

static mode_t kind(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

TEST(out_file, targets_of_every_kind)
{
    TempDir dir;
    std::string reason;

    // A device (the null device's numbers, made here) stays a device.
    const std::string device = dir.file("null");
    if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_TRUE(plat_write_file(device.c_str(), std::string("picture"), &reason)) << reason;
        EXPECT_EQ(kind(device), (mode_t)S_IFCHR);
    }

    // A regular file is replaced whole and keeps its permissions; a link
    // to it stays a link.
    dir.write("page", "old");
    chmod(dir.file("page").c_str(), 0640);
    ASSERT_EQ(symlink("page", dir.file("link").c_str()), 0);
    EXPECT_TRUE(plat_write_file(dir.file("link").c_str(), std::string("new"), &reason));
    EXPECT_EQ(dir.read("page"), "new");
    EXPECT_EQ(kind(dir.file("link")), (mode_t)S_IFLNK);
    struct stat st;
    stat(dir.file("page").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A folder and a socket are refused with the reason, and left alone.
    mkdir(dir.file("folder").c_str(), 0755);
    EXPECT_FALSE(plat_write_file(dir.file("folder").c_str(), std::string("x"), &reason));
    EXPECT_EQ(reason, "is a folder, not a file");
    int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", dir.file("socket").c_str());
    ASSERT_EQ(bind(sock, (sockaddr*)&address, sizeof address), 0);
    EXPECT_FALSE(plat_write_file(dir.file("socket").c_str(), std::string("x"), &reason));
    EXPECT_EQ(reason, "is a socket, not a file");
    close(sock);
    EXPECT_FALSE(plat_write_file(dir.file("no/such/folder").c_str(), std::string("x"), &reason));

    // Nothing but the files made here is left.
    std::vector<std::string> names = files_in(dir.path());
    std::sort(names.begin(), names.end());
    std::vector<std::string> made = {"folder", "link", "page", "socket"};
    if (kind(device) == S_IFCHR)
        made.insert(made.begin() + 2, "null");
    EXPECT_EQ(names, made);
}

// A full disk (a file size limit stands in for it, which fails the write
// rather than ending the program) or an abort leaves the old file as it
// was. SIGTERM or SIGHUP during a write ends the program, even once SDL has
// started its sound (it would catch them), and leaves no temporary; nor does
// SIGKILL. An ignored hangup stays ignored and the write goes on.
TEST(out_file, failures_and_signals_leave_the_old_file_and_nothing_else)
{
    TempDir dir;
    const std::string page = dir.file("page.pdf");
    dir.write("page.pdf", "the old page");
    EXPECT_TRUE(in_child([&] {
        struct rlimit rl = {100, 100};
        setrlimit(RLIMIT_FSIZE, &rl);
        std::string reason;
        return !plat_write_file(page.c_str(), std::string(1000, 'x'), &reason) &&
               reason == "File too large";
    }));
    PlatOutFile* out = plat_out_open(page.c_str(), nullptr);
    plat_out_write(out, "half", 4);
    plat_out_abort(out);
    EXPECT_EQ(dir.read("page.pdf"), "the old page");

    for (int sig : {SIGTERM, SIGHUP, SIGKILL}) {
        pid_t pid = fork();
        if (pid == 0) {
            MessageBeep(0);
            PlatOutFile* half = plat_out_open(page.c_str(), nullptr);
            plat_out_write(half, "half", 4);
            raise(sig);
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
    }
    EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"page.pdf"});
    EXPECT_EQ(dir.read("page.pdf"), "the old page");
    EXPECT_TRUE(in_child([&] {
        signal(SIGHUP, SIG_IGN);
        PlatOutFile* out = plat_out_open(page.c_str(), nullptr);
        plat_out_write(out, "new ", 4);
        raise(SIGHUP);
        plat_out_write(out, "page", 4);
        return plat_out_commit(out, nullptr);
    }));
    EXPECT_EQ(dir.read("page.pdf"), "new page");
}

TEST(settings, round_trip_keeps_what_it_does_not_know)
{
    TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    settings_load();
    EXPECT_EQ(settings_get("layout"), "");
    settings_set("layout", "0");  // makes the folders
    dir.write("config/rkm7500/settings", "# mine\nlayout=3\nfuture.key=a=b\nno equals here\r\ncolour=junk\n");
    settings_load();
    EXPECT_EQ(settings_int("layout", 1, 0, 3), 3);
    EXPECT_EQ(settings_int("colour", 7, 0, 0xFFFFFF), 7);  // not a number: the first start's
    EXPECT_EQ(settings_get("future.key"), "a=b");
    settings_set("layout", "2\nsecond line");
    settings_set("colour", "255");
    EXPECT_EQ(dir.read("config/rkm7500/settings"),
              "# mine\nlayout=2\nfuture.key=a=b\nno equals here\ncolour=255\n");

    // A file that is not text is ignored and never written over.
    const std::string binary("layout=1\n\0\xff", 11);
    dir.write("config/rkm7500/settings", binary);
    settings_load();
    EXPECT_EQ(settings_get("layout"), "");
    settings_set("layout", "0");
    EXPECT_EQ(dir.read("config/rkm7500/settings"), binary);
    unsetenv("XDG_CONFIG_HOME");
}
