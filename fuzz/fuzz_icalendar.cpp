// Reading and expanding any iCalendar text: every occurrence found for a
// range of days touches that range, all-day ones span whole days, and
// nothing reads or runs beyond what it was given.
#include "fuzz/fuzz_support.h"

#include <cstdlib>

#include "events/internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool zone = setenv("TZ", "America/New_York", 1) == 0;
    (void)zone;
    FuzzedDataProvider in(data, size);
    const long long first = ev_day_number(2020, 1, 1) + in.ConsumeIntegralInRange(0, 4000);
    const long long last = first + in.ConsumeIntegralInRange(0, 400);
    EvReason reason;
    auto calendar = ev_read_calendar(in.ConsumeRemainingBytesAsString(), &reason);
    if (!calendar) {
        FUZZ_CHECK(!reason.en.empty() && !reason.ja.empty());
        return 0;
    }
    std::vector<EvOccurrence> found;
    ev_expand(*calendar, first, last, &found);
    for (const EvOccurrence& o : found) {
        FUZZ_CHECK(ev_first_day(o) <= last && ev_last_day(o) >= first);
        FUZZ_CHECK(!o.all_day || (o.start % EV_DAY_MINUTES == 0 && o.end > o.start));
        FUZZ_CHECK(o.title && ev_clean_line(*o.title) == *o.title);
    }
    return 0;
}
