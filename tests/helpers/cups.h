// A private CUPS scheduler for tests (needs root): cupsd with a folder of its
// own, listening on a socket there, CUPS_SERVER pointing this process and its
// children at it. Queues hand each job over unchanged as out/job-N.pdf, its
// title in out/job-N.title and its copies and options in out/job-N.copies. The
// destructor stops cupsd, removes the folder.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A shell command's standard output and error together, and its exit status.
std::string run_command(const std::string& command, int* status);
// The names in a folder; {"?"} when it cannot be read.
std::vector<std::string> files_in(const std::string& folder);

// The edges of every paper of the queues, left and right, bottom and top, in points.
enum { PPD_EDGE_X = 18, PPD_EDGE_Y = 36 };

class PrivateCups {
public:
    PrivateCups() = default;
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;
    ~PrivateCups();

    bool start();  // false, with the reason in error(), when cupsd did not come up
    void stop();
    bool running() const { return pid_ > 0; }
    // A queue of this resolution and paper ("A4", "A3" or "Letter"), the default one if `is_default`.
    bool add_queue(const std::string& name, int dpi, bool is_default = true,
                   const std::string& paper = "A4");
    // The PDF of job `n` (1 for the first), waited for; "" when it did not come.
    std::string wait_for_job_file(int n, double seconds = 20) const;
    std::vector<std::string> output_files() const { return files_in(dir_ + "/out"); }
    int jobs_known() const;  // completed, cancelled and pending alike
    std::string job_queue(int n) const;  // the queue of job `n`, "" for no such job
    std::string job_copies(int n) const;  // the copies the queue made of job `n`
    std::string job_options(int n) const;  // the options job `n` reached the queue with
    const std::string& folder() const { return dir_; }
    const std::string& error() const { return error_; }
    int run_tool(const std::string& command) const;  // a CUPS tool's exit status

private:
    pid_t pid_ = -1;
    std::string dir_;
    std::string error_;
};
