// The command line's printing of a range of months into a PDF file
// (--print-to FILE --months FROM..TO [--layout L] [--paper P]): no window,
// one page a month, the progress on standard error.
#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/app.h"
#include "app/command.h"
#include "platform/draw/codeconv.h"
#include "layout/layout.h"
#include "print/print.h"
#include "state/state.h"

namespace {

const int BAR_WIDTH = 30;

struct Progress {
    std::vector<int> pages;  // the month of each page
    bool bar = false;        // standard error is a terminal
    int shown = 0;           // pages reported so far
};

// One line a page, or one bar redrawn in place on a terminal.
bool report_page(int done, int pages, void* data)
{
    Progress* p = static_cast<Progress*>(data);
    if (done <= p->shown)
        return true;
    p->shown = done;
    const int month = p->pages[done - 1];
    if (p->bar) {
        const int filled = BAR_WIDTH * done / pages;
        std::fprintf(stderr, "\rrkm7500: [%s%s] %d/%d%s", std::string(filled, '#').c_str(),
                     std::string(BAR_WIDTH - filled, ' ').c_str(), done, pages,
                     done == pages ? "\n" : "");
    } else {
        std::fprintf(stderr, "rkm7500: page %d of %d (%04d-%02d)\n", done, pages, month / 12,
                     month % 12 + 1);
    }
    std::fflush(stderr);
    return true;
}

int layout_by_name(const char* name)
{
    for (int i = 0; i < 4; i++)
        if (strcasecmp(name, LAYOUT_NAMES[i]) == 0)
            return i;
    return -1;
}

}  // namespace

bool cmd_print_request(const char* months, const char* layout, const char* paper, PrnJob* job,
                       std::string* error)
{
    if (!prn_parse_months(months, &job->months, error)) {
        *error = "--months: " + *error;
        return false;
    }
    job->layout = layout ? layout_by_name(layout) : LAYOUT_MEDIUM;
    if (job->layout < 0) {
        *error = std::string("--layout: unknown layout '") + layout +
                 "' (large, medium, small, year)";
        return false;
    }
    const PrnPaper* chosen = paper ? prn_paper(paper) : nullptr;
    if (chosen)
        job->paper = *chosen;
    if (paper && !chosen) {
        *error = std::string("--paper: unknown paper '") + paper + "' (";
        for (const PrnPaper& p : PRN_PAPERS)
            *error += p.name + (&p == &PRN_PAPERS[6] ? ")" : ", ");
        return false;
    }
    return true;
}

int cmd_print_months(const PrnJob& job)
{
    RKM_INIT_SET();
    Progress progress;
    progress.pages = prn_pages(job.months, job.layout);
    progress.bar = isatty(STDERR_FILENO);
    std::string reason;
    if (prn_print_job(job, report_page, &progress, &reason) == PRN_PRINTED)
        return 0;
    std::fprintf(stderr, "rkm7500: cannot write %s: %s\n", job.output.c_str(),
                 plat_sjis_to_utf8(reason.c_str(), reason.size()).c_str());
    return 1;
}
