#include "tests/helpers/cups.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

const char* const CUPS_SERVER_BIN = "/usr/lib/cups";

// Copies the spooled document as it is; the title goes beside it. The file
// appears under its final name only when complete.
const char BACKEND[] = R"(#!/bin/sh
if [ $# -eq 0 ]; then echo 'direct pdffile "Unknown" "PDF files"'; exit 0; fi
dir=${DEVICE_URI#pdffile:}
out="$dir/job-$1.pdf"
if [ $# -ge 6 ]; then cp "$6" "$out.part" || exit 1; else cat > "$out.part" || exit 1; fi
printf '%s\n' "$3" > "$dir/job-$1.title"
mv "$out.part" "$out"
)";

// A PDF printer whose only "filter" passes the PDF through unchanged.
std::string ppd(int dpi, const std::string& paper)
{
    std::string r = std::to_string(dpi) + "dpi", text =
        "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*LanguageVersion: English\n"
        "*LanguageEncoding: ISOLatin1\n*Manufacturer: \"Test\"\n*ModelName: \"PDF file printer\"\n"
        "*NickName: \"PDF file printer\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n"
        "*cupsFilter2: \"application/pdf application/pdf 0 -\"\n"
        "*OpenUI *Resolution: PickOne\n*DefaultResolution: " + r + "\n*Resolution " + r +
        ": \"\"\n*CloseUI: *Resolution\n";
    text += "*OpenUI *PageSize: PickOne\n*DefaultPageSize: " + paper + "\n";
    for (const char* size : {"A4 595 842", "Letter 612 792"}) {
        std::string name(size, std::strchr(size, ' ')), dims(std::strchr(size, ' ') + 1);
        text += "*PageSize " + name + ": \"<</PageSize[" + dims + "]>>setpagedevice\"\n"
                "*ImageableArea " + name + ": \"0 0 " + dims + "\"\n*PaperDimension " + name +
                ": \"" + dims + "\"\n";
    }
    text += "*CloseUI: *PageSize\n";
    return text;
}

bool write_file(const std::string& path, const std::string& text, mode_t mode)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
    f.close();
    return f.good() && chmod(path.c_str(), mode) == 0;
}

// Connects to the loopback port, or with `port` 0 finds a free one; the
// port, or 0 when neither worked.
int loopback(int port)
{
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    socklen_t len = sizeof a;
    auto* addr = reinterpret_cast<sockaddr*>(&a);
    bool ok = port ? connect(s, addr, sizeof a) == 0
                   : bind(s, addr, sizeof a) == 0 && getsockname(s, addr, &len) == 0;
    close(s);
    return ok ? ntohs(a.sin_port) : 0;
}

}  // namespace

std::string run_command(const std::string& command, int* status)
{
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    char buf[512];
    size_t n;
    while (p && (n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    int st = p ? pclose(p) : -1;
    if (status)
        *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

bool PrivateCups::write_configuration()
{
    std::string conf = dir_ + "/conf";
    std::string cupsd =
        "Listen 127.0.0.1:" + std::to_string(port_) + "\n"
        "DefaultAuthType None\nLogLevel warn\nBrowsing No\nWebInterface No\n"
        "PreserveJobFiles No\nPreserveJobHistory Yes\nMaxJobs 0\n"
        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
        "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n</Policy>\n";
    std::string files =
        "ServerRoot " + conf + "\nRequestRoot " + dir_ + "/spool\nCacheDir " + dir_ +
        "/cache\nStateDir " + dir_ + "/state\nTempDir " + dir_ + "/tmp\nServerBin " + dir_ +
        "/bin\nErrorLog " + dir_ + "/log/error_log\nAccessLog " + dir_ +
        "/log/access_log\nPageLog " + dir_ + "/log/page_log\nFileDevice No\n";
    for (const char* sub : {"/conf", "/spool", "/cache", "/state", "/tmp", "/log", "/bin",
                            "/bin/backend", "/out"})
        if (mkdir((dir_ + sub).c_str(), 0755) != 0)
            return false;
    // The scheduler's own programs, but our backend.
    for (const char* sub : {"cgi-bin", "daemon", "driver", "filter", "monitor", "notifier"})
        if (symlink((std::string(CUPS_SERVER_BIN) + "/" + sub).c_str(),
                    (dir_ + "/bin/" + sub).c_str()) != 0)
            return false;
    return write_file(conf + "/cupsd.conf", cupsd, 0644) &&
           write_file(conf + "/cups-files.conf", files, 0644) &&
           write_file(dir_ + "/bin/backend/pdffile", BACKEND, 0700);
}

bool PrivateCups::wait_until_listening(double seconds)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "cupsd ended at start-up; see " + dir_ + "/log/error_log";
            return false;
        }
        if (loopback(port_))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error_ = "cupsd did not listen on port " + std::to_string(port_);
    return false;
}

bool PrivateCups::start()
{
    if (geteuid() != 0) {
        error_ = "a private CUPS scheduler needs root";
        return false;
    }
    char templ[] = "/tmp/rkm-cups-XXXXXX";
    if (!mkdtemp(templ)) {
        error_ = "no temporary folder";
        return false;
    }
    dir_ = templ;
    chmod(dir_.c_str(), 0755);  // the scheduler's helpers run as user lp
    for (int attempt = 0; attempt < 5; attempt++) {
        port_ = loopback(0);
        if (attempt > 0)
            run_command("rm -rf '" + dir_ + "'/*", nullptr);
        if (!write_configuration()) {
            error_ = "cannot write the scheduler's configuration in " + dir_;
            return false;
        }
        pid_ = fork();
        if (pid_ == 0) {
            int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            std::string c = dir_ + "/conf/cupsd.conf", s = dir_ + "/conf/cups-files.conf";
            execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", c.c_str(), "-s", s.c_str(), (char*)nullptr);
            _exit(127);
        }
        if (pid_ > 0 && wait_until_listening(15)) {
            server_ = "127.0.0.1:" + std::to_string(port_);
            setenv("CUPS_SERVER", server_.c_str(), 1);
            unsetenv("PRINTER");
            unsetenv("LPDEST");
            cupsSetServer(server_.c_str());
            return true;
        }
        stop();
    }
    return false;
}

void PrivateCups::stop()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        for (int i = 0; i < 250 && waitpid(pid_, nullptr, WNOHANG) == 0; i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (kill(pid_, 0) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
}

PrivateCups::~PrivateCups()
{
    stop();
    if (!dir_.empty())
        run_command("rm -rf '" + dir_ + "'", nullptr);
}

int PrivateCups::run_tool(const std::string& command) const
{
    int status = -1;
    run_command("CUPS_SERVER=" + server_ + " " + command, &status);
    return status;
}

bool PrivateCups::add_queue(const std::string& name, int dpi, bool is_default,
                            const std::string& paper)
{
    std::string ppd_file = dir_ + "/" + name + ".ppd";
    if (!write_file(ppd_file, ppd(dpi, paper), 0644))
        return false;
    if (run_tool("lpadmin -p '" + name + "' -E -v 'pdffile:" + dir_ + "/out' -P '" + ppd_file +
                 "'") != 0)
        return false;
    return !is_default || run_tool("lpadmin -d '" + name + "'") == 0;
}

bool PrivateCups::reject(const std::string& name)
{
    return run_tool("cupsreject -r 'closed for the test' '" + name + "'") == 0;
}

std::string PrivateCups::wait_for_job_file(int n, double seconds) const
{
    std::string path = dir_ + "/out/job-" + std::to_string(n) + ".pdf";
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return std::filesystem::exists(path) ? path : "";
}

std::string PrivateCups::job_title(int n) const
{
    std::ifstream f(dir_ + "/out/job-" + std::to_string(n) + ".title");
    std::string title;
    std::getline(f, title);
    return title;
}

std::vector<std::string> PrivateCups::output_files() const
{
    return files_in(dir_ + "/out");
}

std::vector<std::string> files_in(const std::string& folder)
{
    std::error_code error;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename());
    return error ? std::vector<std::string>{"?"} : names;
}

int PrivateCups::jobs_known() const
{
    cups_job_t* jobs = nullptr;
    int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(n, jobs);
    return n;
}
