// The official holiday list's reader on any bytes: every row kept is a day
// of 1948-9999 with a name, one a day and in date order, the years covered
// are its first and last, and the list put in force answers for every day
// of those years with a kind and a name that agree.
#include "fuzz/fuzz_support.h"

#include <cstring>

#include "calendar/calendar.h"
#include "calendar/holiday_law.h"
#include "calendar/holidays.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> bad;
    const HolList list = hol_parse_list(reinterpret_cast<const char*>(data), size, &bad);
    int previous = 0;
    for (const HolListRow& r : list.rows) {
        const int key = r.year * 10000 + r.month * 100 + r.day;
        FUZZ_CHECK(key > previous && r.year >= 1948 && r.year <= 9999);
        FUZZ_CHECK(r.month >= 1 && r.month <= 12 && r.day >= 1 && r.day <= RKM_DAY_MAX(r.year, r.month));
        FUZZ_CHECK(!r.name.empty() && r.name.size() <= 100 && std::strlen(r.name.c_str()) == r.name.size());
        previous = key;
    }
    FUZZ_CHECK(list.rows.empty() ? list.first_year == 0 : list.first_year == list.rows.front().year &&
                                                             list.last_year == list.rows.back().year);
    hol_set_list(list, "fuzz");
    for (const HolListRow& r : list.rows) {
        const int kind = hol_day_kind(r.year, r.month, r.day);
        FUZZ_CHECK(kind != LAW_WORKDAY && hol_day_name(r.year, r.month, r.day) != nullptr);
        int carry = 0;
        FUZZ_CHECK(hol_substitute_step(r.year, r.month, r.day, &carry) == (kind == LAW_SUBSTITUTE));
    }
    hol_set_list({}, "");
    return 0;
}
