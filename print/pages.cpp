// Print jobs of many pages: a range of months, one page a month (a year in
// the year layout), in one document on paper of a chosen size, with the
// progress told as the pages are drawn and sent.
#include <strings.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "layout/layout.h"
#include "print/print.h"
#include "state/state.h"

const PrnPaper PRN_PAPERS[7] = {
    {"A4", 2100, 2970},     {"A3", 2970, 4200},      {"B4", 2570, 3640},  // JIS B4 and B5
    {"B5", 1820, 2570},     {"Letter", 2159, 2794},  {"Legal", 2159, 3556},
    {"Tabloid", 2794, 4318},
};

const PrnPaper* prn_paper(const char* name)
{
    for (const PrnPaper& p : PRN_PAPERS)
        if (name && strcasecmp(name, p.name.c_str()) == 0)
            return &p;
    return nullptr;
}

namespace {

const int MODE_LANDSCAPE = 1;

// "YYYY-MM": four digits of the year (0000 to 9999), one or two of the month.
bool parse_month(const std::string& text, int* month, std::string* error)
{
    unsigned y = 0, m = 0;
    int used = 0;
    bool shaped = text.size() >= 6 && text.size() <= 7 && text[4] == '-';
    for (size_t i = 0; shaped && i < text.size(); i++)
        shaped = i == 4 || std::isdigit((unsigned char)text[i]);
    if (!shaped || std::sscanf(text.c_str(), "%4u-%2u%n", &y, &m, &used) != 2 ||
        used != (int)text.size()) {
        *error = "'" + text + "' is not a month: use YYYY-MM, as 2026-04";
        return false;
    }
    if (m < 1 || m > 12) {
        *error = "'" + text + "' is not a month: the month is 01 to 12";
        return false;
    }
    *month = (int)(y * 12 + m - 1);
    return true;
}

// The job being printed, for the abort procedure, which has no argument
// of its own to carry it.
struct Running {
    PrnProgress progress;
    void* data;
    int done, pages;
    bool cancelled;
};
Running* running = nullptr;

BOOL job_abort(HDC, int)
{
    if (running && !running->cancelled && running->progress &&
        !running->progress(running->done, running->pages, running->data))
        running->cancelled = true;
    return running && !running->cancelled;
}

// Draws and ends each page; false once a page could not be drawn or the
// job was cancelled.
bool draw_pages(HDC dc, const PrnJob& job, const std::vector<int>& pages, Running* run)
{
    for (int page : pages) {
        if (StartPage(dc) <= 0)
            return false;
        prn_draw_layout(dc, job.layout, page / 12, page % 12 + 1);
        if (EndPage(dc) <= 0)
            return false;
        run->done++;
        if (!job_abort(dc, 0))
            return false;
    }
    return true;
}

}  // namespace

bool prn_parse_months(const char* text, PrnMonths* out, std::string* error)
{
    const std::string all = text ? text : "";
    const size_t dots = all.find("..");
    PrnMonths months;
    if (!parse_month(all.substr(0, dots), &months.first, error))
        return false;
    months.last = months.first;
    if (dots != std::string::npos && !parse_month(all.substr(dots + 2), &months.last, error))
        return false;
    if (months.last < months.first) {
        *error = "the range " + all + " ends before it starts";
        return false;
    }
    if (months.last - months.first + 1 > PRN_MOST_MONTHS) {
        *error = "the range " + all + " is " + std::to_string(months.last - months.first + 1) +
                 " months long; at most " + std::to_string(PRN_MOST_MONTHS) + " are printed at once";
        return false;
    }
    *out = months;
    return true;
}

std::vector<int> prn_pages(const PrnMonths& months, int layout)
{
    std::vector<int> pages;
    const bool years = layout == LAYOUT_YEAR;
    for (int m = months.first; m <= months.last; m++)
        if (!years || pages.empty() || m / 12 != pages.back() / 12)
            pages.push_back(m);
    return pages;
}

PrnResult prn_print_job(const PrnJob& job, PrnProgress progress, void* data, std::string* reason)
{
    const std::vector<int> pages = prn_pages(job.months, job.layout);
    const std::string printer = !job.output.empty()  ? std::string(PLAT_PDF_FILE_PRINTER)
                                : job.printer.empty() ? std::string(cPrninfo)
                                                      : job.printer;
    HDC dc = prn_open_dc(printer.c_str(), MODE_LANDSCAPE, job.paper, job.copies);
    if (!dc) {
        *reason = prn_failure_reason();
        return PRN_FAILED;
    }
    DOCINFOA doc = {sizeof(DOCINFOA), "RKM7500", job.output.empty() ? nullptr : job.output.c_str(),
                    nullptr, 0};
    Running run = {progress, data, 0, (int)pages.size(), false};
    running = &run;
    SetAbortProc(dc, job_abort);
    prn_fit_page(dc);
    const int step = iNstep, count = iNkcnt;
    bool done = StartDocA(dc, &doc) > 0 && draw_pages(dc, job, pages, &run) && EndDoc(dc) > 0;
    *reason = prn_failure_reason();
    if (!done)
        AbortDoc(dc);
    DeleteDC(dc);
    running = nullptr;
    iNstep = step, iNkcnt = count;
    return run.cancelled ? PRN_CANCELLED : done ? PRN_PRINTED : PRN_FAILED;
}
