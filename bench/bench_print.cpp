// The print command against a private CUPS scheduler: F9 on the year page
// until the scheduler has accepted the job, and the size of that job's PDF.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

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

}  // namespace
