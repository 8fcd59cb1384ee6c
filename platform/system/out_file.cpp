// Writing a file whole or not at all, on POSIX: a temporary file beside the
// target (unnamed until it is complete, open(2) with O_TMPFILE, where the
// file system allows), fsync(2) and rename(2); devices and FIFOs written
// directly.
#include "platform/system/out_file.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>

struct PlatOutFile {
    int fd = -1;
    std::string target;  // the final name
    std::string temp;    // the temporary file's name; empty when writing directly, or
                         // while an unnamed file is written
    bool unnamed = false;  // fd is a file with no name yet (O_TMPFILE), named at commit
    bool held = false;     // among the writes the signal handlers are in place for
    int slot = -1;         // the name's place among the temporary files a signal removes
    int error = 0;         // the first errno met
};

/* Temporary files a signal removes. The handler only reads the slots and
   calls unlink(2), both safe in a signal handler. */

namespace {

constexpr int SLOTS = 32;
std::atomic<char*> temp_slots[SLOTS];

const int ENDING_SIGNALS[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};
constexpr int SIGNAL_COUNT = sizeof ENDING_SIGNALS / sizeof ENDING_SIGNALS[0];
struct sigaction previous[SIGNAL_COUNT];
bool replaced[SIGNAL_COUNT];
struct sigaction previous_xfsz;
std::mutex handlers_lock;
int writes_held = 0;  // under handlers_lock

void remove_temps()
{
    for (auto& slot : temp_slots)
        if (char* path = slot.load())
            unlink(path);
}

// Removes the temporary files, then lets the signal do what it did before:
// end the program, or reach the program's own handler, which ends it in
// its own way (a write then in progress fails at commit, its file gone).
void on_ending_signal(int sig)
{
    const int saved = errno;
    remove_temps();
    for (int i = 0; i < SIGNAL_COUNT; i++) {
        if (ENDING_SIGNALS[i] != sig)
            continue;
        const struct sigaction& before = previous[i];
        if (before.sa_handler == SIG_DFL) {
            signal(sig, SIG_DFL);
            raise(sig);
        } else if (before.sa_flags & SA_SIGINFO) {
            // A handler of three arguments is given none of the details.
            if (before.sa_sigaction)
                before.sa_sigaction(sig, nullptr, nullptr);
        } else {
            before.sa_handler(sig);
        }
    }
    errno = saved;
}

// The handlers are in place while any file is being written. A signal the
// program ignores (a hangup under nohup) stays ignored. A file size limit
// makes the write fail, reported like a full disk, rather than end the
// program with the file unfinished.
void handlers_hold()
{
    std::lock_guard<std::mutex> hold(handlers_lock);
    if (writes_held++ > 0)
        return;
    struct sigaction ours = {};
    ours.sa_handler = on_ending_signal;
    sigemptyset(&ours.sa_mask);
    for (int i = 0; i < SIGNAL_COUNT; i++) {
        sigaction(ENDING_SIGNALS[i], nullptr, &previous[i]);
        replaced[i] = previous[i].sa_handler != SIG_IGN;
        if (replaced[i])
            sigaction(ENDING_SIGNALS[i], &ours, nullptr);
    }
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous_xfsz);
    if (previous_xfsz.sa_handler != SIG_DFL)
        sigaction(SIGXFSZ, &previous_xfsz, nullptr);  // the program's own choice
}

void handlers_release()
{
    std::lock_guard<std::mutex> hold(handlers_lock);
    if (--writes_held > 0)
        return;
    for (int i = 0; i < SIGNAL_COUNT; i++)
        if (replaced[i])
            sigaction(ENDING_SIGNALS[i], &previous[i], nullptr);
    sigaction(SIGXFSZ, &previous_xfsz, nullptr);
}

int slot_take(const std::string& path)
{
    char* copy = strdup(path.c_str());
    for (int i = 0; copy && i < SLOTS; i++) {
        char* empty = nullptr;
        if (temp_slots[i].compare_exchange_strong(empty, copy))
            return i;
    }
    free(copy);
    return -1;
}

void slot_free(int slot)
{
    if (slot < 0)
        return;
    free(temp_slots[slot].exchange(nullptr));
}

// The folder a target lies in, with its slash ("" for the current one).
std::string folder_of(const std::string& target)
{
    const size_t slash = target.rfind('/');
    return slash == std::string::npos ? "" : target.substr(0, slash + 1);
}

// A name beside the target that nothing else uses, taken by `make` (which
// returns false with errno when it cannot, EEXIST where the name is in use).
// The name is among the files a signal removes before it exists, so no
// moment is left in which a signal could leave it behind.
bool name_beside(const std::string& target, std::string* temp, int* slot,
                 const std::function<bool(const char*)>& make)
{
    const std::string name = target.substr(folder_of(target).size());
    for (int i = 0; i < 100; i++) {
        *temp = folder_of(target) + "." + name + "." + std::to_string(getpid()) + "." +
                std::to_string(i) + ".tmp";
        *slot = slot_take(*temp);
        if (make(temp->c_str()))
            return true;
        const int error = errno;
        slot_free(*slot);
        *slot = -1;
        errno = error;
        if (error != EEXIST)
            return false;
    }
    errno = EEXIST;
    return false;
}

// A file with no name in the target's folder, where the file system and
// /proc allow it: nothing of it is left by anything that ends the program
// before commit, a crash or SIGKILL included. -1 otherwise.
int unnamed_beside(const std::string& target)
{
    static const bool can_link = access("/proc/self/fd", X_OK) == 0;
    if (!can_link)
        return -1;
    const std::string folder = folder_of(target);
    return open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

// Gives the unnamed file its temporary name beside the target.
bool name_unnamed(PlatOutFile* out)
{
    const std::string self = "/proc/self/fd/" + std::to_string(out->fd);
    return name_beside(out->target, &out->temp, &out->slot, [&](const char* temp) {
        return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp, AT_SYMLINK_FOLLOW) == 0;
    });
}

const char* kind_refused(mode_t mode)
{
    if (S_ISDIR(mode))
        return "is a folder, not a file";
    if (S_ISSOCK(mode))
        return "is a socket, not a file";
    if (S_ISBLK(mode))
        return "is a block device, not a file";
    return "is not a file";
}

bool fail(std::string* reason, const std::string& why)
{
    if (reason)
        *reason = why;
    return false;
}

// The file a regular target really is: a symbolic link is followed, so
// that the link stays and the file it names is replaced.
std::string followed(const char* path)
{
    char real[PATH_MAX];
    struct stat st;
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode) && realpath(path, real))
        return real;
    return path;
}

}  // namespace

static void out_free(PlatOutFile* out)
{
    if (out->fd >= 0)
        close(out->fd);
    if (!out->temp.empty())
        unlink(out->temp.c_str());
    slot_free(out->slot);
    if (out->held)
        handlers_release();
    delete out;
}

// Opens the temporary file for a regular target: unnamed where it can be,
// else named beside the target.
static bool open_temp(PlatOutFile* out)
{
    out->fd = unnamed_beside(out->target);
    out->unnamed = out->fd >= 0;
    if (out->unnamed)
        return true;
    return name_beside(out->target, &out->temp, &out->slot, [&](const char* temp) {
        out->fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        return out->fd >= 0;
    });
}

PlatOutFile* plat_out_open(const char* path, std::string* reason)
{
    if (!path || !*path) {
        fail(reason, "no file name");
        return nullptr;
    }
    struct stat st;
    const bool exists = stat(path, &st) == 0;
    if (!exists && errno != ENOENT) {
        fail(reason, std::strerror(errno));
        return nullptr;
    }
    if (exists && !S_ISREG(st.st_mode) && !S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode)) {
        fail(reason, kind_refused(st.st_mode));
        return nullptr;
    }
    auto* out = new PlatOutFile;
    handlers_hold();
    out->held = true;
    if (exists && !S_ISREG(st.st_mode)) {
        out->target = path;
        out->fd = open(path, O_WRONLY | O_CLOEXEC | O_NOCTTY);
    } else {
        out->target = followed(path);
        if (open_temp(out) && exists)
            fchmod(out->fd, st.st_mode & 07777);
    }
    if (out->fd < 0) {
        fail(reason, std::strerror(errno));
        out_free(out);
        return nullptr;
    }
    return out;
}

bool plat_out_write(PlatOutFile* out, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0 && out->error == 0) {
        ssize_t n = write(out->fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            out->error = n < 0 ? errno : EIO;
            break;
        }
        p += n;
        size -= (size_t)n;
    }
    return out->error == 0;
}

bool plat_out_commit(PlatOutFile* out, std::string* reason)
{
    int error = out->error;
    const bool temporary = out->unnamed || !out->temp.empty();
    if (temporary && !error && fsync(out->fd) != 0)
        error = errno;
    if (out->unnamed && !error && !name_unnamed(out))
        error = errno;
    // A signal removed the temporary file while the program goes on to end.
    struct stat st;
    if (!out->temp.empty() && !error && stat(out->temp.c_str(), &st) != 0)
        error = EINTR;
    if (close(out->fd) != 0 && !error && errno != EINTR)
        error = errno;
    out->fd = -1;
    if (!error && !out->temp.empty()) {
        if (rename(out->temp.c_str(), out->target.c_str()) != 0)
            error = errno;
        else
            out->temp.clear();
    }
    out_free(out);
    if (error) {
        fail(reason, std::strerror(error));
        errno = error;
        return false;
    }
    return true;
}

void plat_out_abort(PlatOutFile* out)
{
    if (out)
        out_free(out);
}

bool plat_write_file(const char* path, const void* data, size_t size, std::string* reason)
{
    PlatOutFile* out = plat_out_open(path, reason);
    if (!out)
        return false;
    plat_out_write(out, data, size);
    return plat_out_commit(out, reason);
}
