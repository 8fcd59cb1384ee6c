// Processes on POSIX: starting programs, waiting for them to be ready; and
// the top-level windows of every program on the X display through Xlib.
#include "platform/comm/process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/system/handle.h"
#include "platform/window/foreign.h"
#include "platform/window/wnd.h"

extern char** environ;

namespace {

const char show_variable[] = "RKM_STARTUP_SHOW";
const DWORD idle_wait_limit = 5000;  // ms; see WaitForInputIdle
const uintptr_t x_id_limit = 0x1FFFFFFF;  // X resource ids have 29 bits

/* Command lines */

// Splits a command line into words as a shell does, without expanding
// anything. False for an unbalanced quote.
bool split_words(const char* line, std::vector<std::string>* words)
{
    std::string word;
    bool in_word = false;
    for (const char* p = line; *p; ++p) {
        char c = *p;
        if (c == ' ' || c == '\t' || c == '\n') {
            if (in_word)
                words->push_back(word);
            word.clear();
            in_word = false;
            continue;
        }
        in_word = true;
        if (c == '\\') {
            if (p[1])
                word += *++p;
        } else if (c == '\'') {
            const char* end = std::strchr(p + 1, '\'');
            if (!end)
                return false;
            word.append(p + 1, end);
            p = end;
        } else if (c == '"') {
            for (++p; *p != '"'; ++p) {
                if (!*p)
                    return false;
                if (*p == '\\' && p[1] && std::strchr("\"\\$`", p[1]))
                    ++p;
                word += *p;
            }
        } else {
            word += c;
        }
    }
    if (in_word)
        words->push_back(word);
    return true;
}

// The file a program name stands for: itself when it holds a '/', else the
// first executable file of that name on PATH. Empty when there is none.
std::string find_program(const std::string& name)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return access(name.c_str(), X_OK) == 0 ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    for (;;) {
        size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
        std::string file = (dir.empty() ? std::string(".") : dir) + "/" + name;
        struct stat st;
        if (access(file.c_str(), X_OK) == 0 && stat(file.c_str(), &st) == 0 &&
            S_ISREG(st.st_mode))
            return file;
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
}

// The new program's environment: the given block or the caller's, with the
// show command set as the start-up description says, or removed.
std::vector<std::string> program_environment(const char* block, const STARTUPINFOA* startup)
{
    std::vector<std::string> env;
    if (block) {
        for (const char* p = block; *p; p += std::strlen(p) + 1)
            env.emplace_back(p);
    } else {
        for (char** e = environ; *e; ++e)
            env.emplace_back(*e);
    }
    std::string prefix = std::string(show_variable) + "=";
    for (size_t i = env.size(); i-- > 0;)
        if (env[i].compare(0, prefix.size(), prefix) == 0)
            env.erase(env.begin() + long(i));
    if (startup && (startup->dwFlags & STARTF_USESHOWWINDOW))
        env.push_back(prefix + std::to_string(startup->wShowWindow));
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> p;
    for (std::string& s : strings)
        p.push_back(&s[0]);
    p.push_back(nullptr);
    return p;
}

/* Starting */

// What the start-up of a program reports back through its pipe.
struct Report {
    int kind;  // report_pid or report_error
    int value;
};
enum { report_pid = 1, report_error = 2 };

// Runs in the new process, after fork: only calls that are safe there.
[[noreturn]] void become_program(int pipe_out, const char* file, char* const* argv,
                                 char* const* envp, const char* directory, bool inherit)
{
    // Signals this program ignores or blocks would stay so across exec.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction by_default {};
    by_default.sa_handler = SIG_DFL;
    for (int s = 1; s < NSIG; ++s)
        sigaction(s, &by_default, nullptr);
    Report r{report_error, 0};
    if (directory && chdir(directory) != 0) {
        r.value = errno;
    } else {
        if (!inherit)  // only standard input, output and error go along
            syscall(SYS_close_range, 3u, ~0u, 4u /* CLOSE_RANGE_CLOEXEC */);
        execve(file, argv, envp);
        r.value = errno;
    }
    ssize_t ignored = write(pipe_out, &r, sizeof r);
    (void)ignored;
    _exit(127);
}

// Starts the program in a grandchild: the child in between ends at once,
// so the program is adopted by the system and never lingers as a zombie.
// The pid of the program, or -1 with errno set.
pid_t start_program(const char* file, char* const* argv, char* const* envp,
                    const char* directory, bool inherit)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    pid_t middle = fork();
    if (middle == 0) {
        pid_t program = fork();
        if (program == 0)
            become_program(fds[1], file, argv, envp, directory, inherit);
        Report r{program > 0 ? report_pid : report_error, program > 0 ? int(program) : errno};
        ssize_t ignored = write(fds[1], &r, sizeof r);
        (void)ignored;
        _exit(0);
    }
    close(fds[1]);
    if (middle < 0) {
        int e = errno;
        close(fds[0]);
        errno = e;
        return -1;
    }
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    // Both reports end when the program has started (the pipe closes on
    // exec) or failed to.
    pid_t program = -1;
    int error = 0;
    Report r;
    ssize_t n;
    while ((n = read(fds[0], &r, sizeof r)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n != ssize_t(sizeof r))
            break;
        if (r.kind == report_pid)
            program = r.value;
        else
            error = r.value ? r.value : ECHILD;
    }
    close(fds[0]);
    if (error || program <= 0) {
        errno = error ? error : ECHILD;
        return -1;
    }
    return program;
}

/* Process handles */

struct Process {
    pid_t pid;
    bool hidden;  // started with SW_HIDE
};

BOOL process_close(PlatHandle* h)
{
    delete static_cast<Process*>(h->device);
    h->device = nullptr;
    int rc = h->fd >= 0 ? close(h->fd) : 0;
    h->fd = -1;
    return rc == 0;
}

BOOL thread_close(PlatHandle*)
{
    return TRUE;
}

// A process handle's own process; null for any other handle.
Process* process_of(HANDLE handle, int* pidfd)
{
    PlatHandle* h = plat_handle(handle);
    if (!h || h->close != process_close || !h->device)
        return nullptr;
    *pidfd = h->fd;
    return static_cast<Process*>(h->device);
}

bool has_ended(int pidfd)
{
    pollfd p{pidfd, POLLIN, 0};
    return pidfd < 0 || poll(&p, 1, 0) != 0;
}

/* The X display */

int ignore_x_error(Display*, XErrorEvent*)
{
    return 0;  // a window that went away between two requests
}

Display* enumerating = nullptr;  // the connection of the EnumWindows in progress

// The connection for one call: that of the enumeration in progress, else
// one of its own. Windows come and go, and a server that ends must not
// take a kept connection with it. X errors about windows that vanished
// meanwhile are ignored while it is open.
class XConnection {
public:
    XConnection()
    {
        display = enumerating;
        if (!display && (own = XOpenDisplay(nullptr)) != nullptr) {
            display = own;
            previous = XSetErrorHandler(ignore_x_error);
        }
    }
    ~XConnection()
    {
        if (own) {
            XSync(own, False);
            XCloseDisplay(own);
            XSetErrorHandler(previous);
        }
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* display = nullptr;  // null: no X display

private:
    Display* own = nullptr;
    int (*previous)(Display*, XErrorEvent*) = nullptr;
};

Window window_of(HWND hwnd)
{
    return Window(reinterpret_cast<uintptr_t>(hwnd));
}

bool has_property(Display* d, Window w, Atom property)
{
    int count = 0;
    Atom* list = XListProperties(d, w, &count);
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || list[i] == property;
    if (list)
        XFree(list);
    return found;
}

DWORD window_pid(Display* d, Window w)
{
    Atom pid_atom = XInternAtom(d, "_NET_WM_PID", True);
    if (pid_atom == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    DWORD pid = 0;
    if (XGetWindowProperty(d, w, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                           &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && items == 1)
        pid = DWORD(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

std::vector<Window> children(Display* d, Window w)
{
    Window root_return, parent;
    Window* list = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root_return, &parent, &list, &count)) {
        out.assign(list, list + count);
        if (list)
            XFree(list);
    }
    return out;
}

// The top-level windows of the programs: the root's children, or where a
// window manager has put a program's window into a frame of its own, the
// window inside the frame that carries the program's WM_STATE.
std::vector<Window> top_level_windows(Display* d)
{
    Atom wm_state = XInternAtom(d, "WM_STATE", False);
    std::vector<Window> out;
    for (Window w : children(d, DefaultRootWindow(d))) {
        if (has_property(d, w, wm_state)) {
            out.push_back(w);
            continue;
        }
        bool framed = false;
        for (Window inner : children(d, w))
            if (has_property(d, inner, wm_state)) {
                out.push_back(inner);
                framed = true;
            }
        if (!framed)
            out.push_back(w);
    }
    return out;
}

// True when a top-level window of `pid` is mapped, or with `any` exists.
bool program_window(Display* d, pid_t pid, bool any)
{
    for (Window w : top_level_windows(d)) {
        if (window_pid(d, w) != DWORD(pid))
            continue;
        XWindowAttributes a;
        if (any || (XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable))
            return true;
    }
    return false;
}

bool takes_delete_request(Display* d, Window w, Atom delete_window)
{
    Atom* protocols = nullptr;
    int count = 0;
    bool found = false;
    if (XGetWMProtocols(d, w, &protocols, &count)) {
        for (int i = 0; i < count; ++i)
            found = found || protocols[i] == delete_window;
        XFree(protocols);
    }
    return found;
}

// WM_CLOSE to another program's window: the window manager's delete-window
// request, the one message that every toolkit turns into "close".
BOOL post_foreign(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    uintptr_t id = reinterpret_cast<uintptr_t>(hwnd);
    if (message != WM_CLOSE || wparam != 0 || lparam != 0 || id == 0 || id > x_id_limit)
        return FALSE;
    XConnection x;
    Display* d = x.display;
    if (!d)
        return FALSE;
    Window w = window_of(hwnd);
    Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
    Atom delete_window = XInternAtom(d, "WM_DELETE_WINDOW", False);
    if (!takes_delete_request(d, w, delete_window))
        return FALSE;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = protocols;
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(delete_window);
    e.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(d, w, False, NoEventMask, &e);
    XSync(d, False);
    return sent != 0;
}

}  // namespace

/* Starting programs */

void GetStartupInfoA(STARTUPINFOA* info)
{
    if (!info)
        return;
    *info = STARTUPINFOA{};
    info->cb = sizeof *info;
    const char* show = std::getenv(show_variable);
    char* end = nullptr;
    long value = show ? std::strtol(show, &end, 10) : -1;
    if (show && *show && *end == '\0' && value >= 0 && value <= 0xFFFF) {
        info->dwFlags = STARTF_USESHOWWINDOW;
        info->wShowWindow = WORD(value);
    }
}

BOOL CreateProcessA(LPCSTR application, LPSTR command_line, void*, void*, BOOL inherit, DWORD,
                    void* environment, LPCSTR directory, STARTUPINFOA* startup,
                    PROCESS_INFORMATION* info)
{
    std::vector<std::string> words;
    if ((!command_line && !application) ||
        !split_words(command_line ? command_line : "", &words)) {
        errno = EINVAL;
        return FALSE;
    }
    if (application && words.empty())
        words.emplace_back(application);
    if (words.empty()) {
        errno = EINVAL;
        return FALSE;
    }
    std::string file = find_program(application ? std::string(application) : words[0]);
    if (file.empty()) {
        errno = ENOENT;
        return FALSE;
    }
    std::vector<std::string> env =
        program_environment(static_cast<const char*>(environment), startup);
    std::vector<char*> argv = pointers(words), envp = pointers(env);
    pid_t pid = start_program(file.c_str(), argv.data(), envp.data(), directory, inherit != 0);
    if (pid < 0)
        return FALSE;

    auto* process = new PlatHandle;
    process->fd = int(syscall(SYS_pidfd_open, pid, 0));  // -1: it has already ended
    process->close = process_close;
    process->device = new Process{pid, startup && (startup->dwFlags & STARTF_USESHOWWINDOW) &&
                                           startup->wShowWindow == SW_HIDE};
    auto* thread = new PlatHandle;
    thread->close = thread_close;
    if (info) {
        info->hProcess = process;
        info->hThread = thread;
        info->dwProcessId = DWORD(pid);
        info->dwThreadId = DWORD(pid);
    } else {
        process_close(process);
        delete process;
        delete thread;
    }
    return TRUE;
}

DWORD WaitForInputIdle(HANDLE handle, DWORD milliseconds)
{
    int pidfd = -1;
    Process* process = process_of(handle, &pidfd);
    if (!process)
        return WAIT_FAILED;
    XConnection x;
    if (!x.display)
        return 0;
    DWORD limit = milliseconds < idle_wait_limit ? milliseconds : idle_wait_limit;
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        if (has_ended(pidfd) || program_window(x.display, process->pid, process->hidden))
            return 0;
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        long long passed = (now.tv_sec - start.tv_sec) * 1000LL +
                           (now.tv_nsec - start.tv_nsec) / 1000000;
        if (passed >= limit)
            return WAIT_TIMEOUT;
        usleep(20 * 1000);
    }
}

/* Windows of every program */

BOOL EnumWindows(WNDENUMPROC visit, LPARAM param)
{
    if (!visit)
        return FALSE;
    XConnection x;
    if (!x.display)
        return TRUE;
    plat_foreign_post = post_foreign;
    Display* outer = enumerating;
    enumerating = x.display;
    for (Window w : top_level_windows(x.display))
        if (!visit(reinterpret_cast<HWND>(uintptr_t(w)), param))
            break;
    enumerating = outer;
    return TRUE;
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* process_id)
{
    uintptr_t id = reinterpret_cast<uintptr_t>(window);
    DWORD pid = 0;
    if (plat_window_sdl(window)) {
        pid = DWORD(getpid());  // one of this program's own windows
    } else if (id != 0 && id <= x_id_limit) {
        XConnection x;
        if (x.display)
            pid = window_pid(x.display, Window(id));
    }
    if (process_id)
        *process_id = pid;
    return pid;  // the main thread's id is the process id
}
