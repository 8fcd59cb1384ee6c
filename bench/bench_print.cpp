// The print command against a private CUPS scheduler: F9 on the year page
// until the scheduler has accepted the job, and the size of that job's PDF.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "state/state.h"
#include "print/print.h"
#include "tests/helpers/cups.h"

namespace {

PrivateCups& scheduler()
{
    static PrivateCups cups;
    if (!cups.running() && (!cups.start() || !cups.add_queue("pdfq", 600)))
        std::fprintf(stderr, "no private scheduler: %s\n", cups.error().c_str());
    return cups;
}

void print_layout(benchmark::State& state, int layout)
{
    PrivateCups& cups = scheduler();
    if (!cups.running()) {
        state.SkipWithError("no private CUPS scheduler");
        return;
    }
    GetPrnName(cPrninfo);
    iSetfg = 1;
    iDspfg = layout;
    iYear = 2003;
    iMont = 11;
    iBcol = 0xC0E0FF;
    int before = cups.jobs_known();
    for (auto _ : state)
        RKM_CALEN_PRN(nullptr);
    int last = before + (int)state.iterations();
    struct stat st;
    std::string pdf = cups.wait_for_job_file(last);
    state.counters["pdf_bytes"] = pdf.empty() || stat(pdf.c_str(), &st) != 0 ? -1 : st.st_size;
}

void BM_F9_to_job_accepted_year_page(benchmark::State& state)
{
    print_layout(state, 3);
}
BENCHMARK(BM_F9_to_job_accepted_year_page)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_F9_to_job_accepted_large_month(benchmark::State& state)
{
    print_layout(state, 0);
}
BENCHMARK(BM_F9_to_job_accepted_large_month)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A year of large months into a PDF file, as a user runs it: the whole
// process, from start to the file written.
void BM_twelve_large_months_to_pdf_whole_process(benchmark::State& state)
{
    char folder[] = "/tmp/rkm-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string pdf = std::string(folder) + "/year.pdf";
    const std::string command = "XDG_CONFIG_HOME=" + std::string(folder) + " " RKM_PROGRAM
                                " --print-to " + pdf + " --months 2026-01..2026-12 --layout large"
                                " 2>/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("the program failed");
    struct stat st;
    state.counters["pdf_bytes_a_page"] = stat(pdf.c_str(), &st) == 0 ? st.st_size / 12.0 : -1;
    std::remove(pdf.c_str());
    rmdir(folder);
}
BENCHMARK(BM_twelve_large_months_to_pdf_whole_process)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
