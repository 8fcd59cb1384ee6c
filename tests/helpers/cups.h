// A private CUPS scheduler for tests.
//
// start() makes a fresh folder with its own cupsd.conf and cups-files.conf
// (spool, cache, state, log and temporary folders of its own), starts cupsd
// in the foreground on a free loopback port and points this process (and
// every program it starts) at it through CUPS_SERVER. Queues deliver each
// job, unchanged, as out/job-N.pdf with its title beside it in
// out/job-N.title. stop() ends the scheduler and waits for it; the
// destructor also removes the folder. Needs root.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class PrivateCups {
public:
    PrivateCups() = default;
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;
    ~PrivateCups();

    // False, with the reason in error(), when the scheduler did not come up.
    bool start();
    void stop();
    bool running() const { return pid_ > 0; }

    // A queue of the given resolution and paper ("A4" or "Letter") that
    // accepts jobs; made the default destination when `is_default`.
    bool add_queue(const std::string& name, int dpi, bool is_default = true,
                   const std::string& paper = "A4");
    bool reject(const std::string& name);  // the queue refuses new jobs

    // The PDF of delivered job `n` (1 for the first job of the scheduler),
    // waiting up to `seconds`; "" when it did not arrive.
    std::string wait_for_job_file(int n, double seconds = 20) const;
    std::string job_title(int n) const;
    // Files in the output folder, finished or not.
    std::vector<std::string> output_files() const;
    // Jobs the scheduler knows, completed, cancelled and pending alike.
    int jobs_known() const;

    const std::string& folder() const { return dir_; }
    const std::string& error() const { return error_; }
    // Runs a CUPS command-line tool against this scheduler; its exit status.
    int run_tool(const std::string& command) const;

private:
    bool write_configuration();
    bool wait_until_listening(double seconds);

    pid_t pid_ = -1;
    int port_ = 0;
    std::string dir_;
    std::string server_;
    std::string error_;
};

// Runs a shell command and returns its standard output and standard error
// together; `status` gets the exit status.
std::string run_command(const std::string& command, int* status);
// The names in a folder other than "." and ".."; {"?"} when it cannot be read.
std::vector<std::string> files_in(const std::string& folder);
