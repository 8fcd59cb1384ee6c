#include "tests/helpers/cups.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

// Copies the spooled document as it is; it appears under its final name
// only when complete.
const char BACKEND[] = R"(#!/bin/sh
if [ $# -eq 0 ]; then echo 'direct pdffile "Unknown" "PDF files"'; exit 0; fi
out="${DEVICE_URI#pdffile:}/job-$1"
if [ $# -ge 6 ]; then cp "$6" "$out.part" || exit 1; else cat > "$out.part" || exit 1; fi
printf '%s\n' "$3" > "$out.title" && printf '%s\n%s\n' "$4" "$5" > "$out.copies" && mv "$out.part" "$out.pdf"
)";

// A colour PDF printer whose only filter passes the PDF through unchanged,
// with A4, A3 and Letter paper that it prints to a quarter inch of the
// sides and half an inch of the top and bottom.
std::string ppd(int dpi, const std::string& paper)
{
    std::string r = std::to_string(dpi) + "dpi";
    std::string text = "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*LanguageVersion: English\n"
        "*LanguageEncoding: ISOLatin1\n*Manufacturer: \"Test\"\n*ModelName: \"PDF\"\n"
        "*NickName: \"PDF\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n"
        "*cupsFilter2: \"application/pdf application/pdf 0 -\"\n*OpenUI *Resolution: PickOne\n"
        "*DefaultResolution: " + r + "\n*Resolution " + r + ": \"\"\n*CloseUI: *Resolution\n"
        "*OpenUI *PageSize: PickOne\n*DefaultPageSize: " + paper + "\n";
    const struct { const char* name; int width, length; } sizes[] = {
        {"A4", 595, 842}, {"A3", 842, 1191}, {"Letter", 612, 792}};
    for (const auto& size : sizes) {
        const std::string dims = std::to_string(size.width) + " " + std::to_string(size.length);
        text += std::string("*PageSize ") + size.name + ": \"<</PageSize[" + dims +
                "]>>setpagedevice\"\n*ImageableArea " + size.name + ": \"" + std::to_string(PPD_EDGE_X) +
                " " + std::to_string(PPD_EDGE_Y) + " " + std::to_string(size.width - PPD_EDGE_X) + " " +
                std::to_string(size.length - PPD_EDGE_Y) + "\"\n*PaperDimension " + size.name +
                ": \"" + dims + "\"\n";
    }
    return text + "*CloseUI: *PageSize\n";
}

bool write_file(const std::string& path, const std::string& text, mode_t mode = 0644)
{
    std::ofstream(path, std::ios::binary) << text;
    return chmod(path.c_str(), mode) == 0;
}

}  // namespace

std::string run_command(const std::string& command, int* status)
{
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    char buf[512];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    int st = p ? pclose(p) : -1;
    if (status)
        *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

std::vector<std::string> files_in(const std::string& folder)
{
    std::error_code error;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename());
    return error ? std::vector<std::string>{"?"} : names;
}

bool PrivateCups::start()
{
    char templ[] = "/tmp/rkm-cups-XXXXXX";
    if (geteuid() != 0 || !mkdtemp(templ)) {
        error_ = "a private CUPS scheduler needs root and a temporary folder";
        return false;
    }
    std::string d = dir_ = templ, socket_path = d + "/cups.sock";
    chmod(d.c_str(), 0755);  // the scheduler's helpers run as user lp
    bool ok = true;
    for (const char* sub : {"conf", "spool", "cache", "state", "tmp", "log", "bin", "out"})
        ok = ok && mkdir((d + "/" + sub).c_str(), 0755) == 0;
    // The scheduler's own programs, but our backend.
    for (const char* sub : {"cgi-bin", "daemon", "driver", "filter", "monitor", "notifier"})
        ok = ok && symlink((std::string("/usr/lib/cups/") + sub).c_str(),
                           (d + "/bin/" + sub).c_str()) == 0;
    ok = ok && mkdir((d + "/bin/backend").c_str(), 0755) == 0 &&
         write_file(d + "/bin/backend/pdffile", BACKEND, 0700) &&
         write_file(d + "/conf/cupsd.conf",
                    "Listen " + socket_path + "\nDefaultAuthType None\nLogLevel warn\n"
                    "Browsing No\nWebInterface No\nPreserveJobFiles No\nPreserveJobHistory Yes\n"
                    "MaxJobs 0\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                    "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n"
                    "  </Limit>\n</Policy>\n") &&
         write_file(d + "/conf/cups-files.conf",
                    "ServerRoot " + d + "/conf\nRequestRoot " + d + "/spool\nCacheDir " + d +
                    "/cache\nStateDir " + d + "/state\nTempDir " + d + "/tmp\nServerBin " + d +
                    "/bin\nErrorLog " + d + "/log/error_log\nAccessLog " + d +
                    "/log/access_log\nPageLog " + d + "/log/page_log\nFileDevice No\n");
    if (!ok) {
        error_ = "cannot write the scheduler's configuration in " + d;
        return false;
    }
    pid_ = fork();
    if (pid_ == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0), dup2(null, 1), dup2(null, 2);
        execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", (d + "/conf/cupsd.conf").c_str(), "-s",
              (d + "/conf/cups-files.conf").c_str(), (char*)nullptr);
        _exit(127);
    }
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_)
            pid_ = -1;  // it ended: see its log
        if (http_t* http = httpConnect2(socket_path.c_str(), 0, nullptr, AF_UNSPEC,
                                        HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr)) {
            httpClose(http);
            setenv("CUPS_SERVER", socket_path.c_str(), 1);
            unsetenv("PRINTER");
            unsetenv("LPDEST");
            cupsSetServer(socket_path.c_str());
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop();
    error_ = "cupsd did not come up; see " + d + "/log/error_log";
    return false;
}

void PrivateCups::stop()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

PrivateCups::~PrivateCups()
{
    stop();
    if (!dir_.empty())
        std::filesystem::remove_all(dir_);
}

int PrivateCups::run_tool(const std::string& command) const
{
    int status = -1;
    run_command("CUPS_SERVER='" + dir_ + "/cups.sock' " + command, &status);
    return status;
}

bool PrivateCups::add_queue(const std::string& name, int dpi, bool is_default,
                            const std::string& paper)
{
    std::string file = dir_ + "/" + name + ".ppd";
    return write_file(file, ppd(dpi, paper)) &&
           run_tool("lpadmin -p '" + name + "' -E -v 'pdffile:" + dir_ + "/out' -P '" + file +
                    "'") == 0 &&
           (!is_default || run_tool("lpadmin -d '" + name + "'") == 0);
}

std::string PrivateCups::wait_for_job_file(int n, double seconds) const
{
    std::string path = dir_ + "/out/job-" + std::to_string(n) + ".pdf";
    for (auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
         !std::filesystem::exists(path) && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return std::filesystem::exists(path) ? path : "";
}

int PrivateCups::jobs_known() const
{
    cups_job_t* jobs = nullptr;
    int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(n, jobs);
    return n;
}

std::string PrivateCups::job_queue(int n) const
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    std::string queue;
    for (int i = 0; i < count; i++)
        if (jobs[i].id == n)
            queue = jobs[i].dest;
    cupsFreeJobs(count, jobs);
    return queue;
}

std::string PrivateCups::job_copies(int n) const
{
    std::string copies;
    std::getline(std::ifstream(dir_ + "/out/job-" + std::to_string(n) + ".copies"), copies);
    return copies;
}

std::string PrivateCups::job_options(int n) const
{
    std::ifstream file(dir_ + "/out/job-" + std::to_string(n) + ".copies");
    std::string copies, options;
    std::getline(file, copies);
    std::getline(file, options);
    return options;
}
