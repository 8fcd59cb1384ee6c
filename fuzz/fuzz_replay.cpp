// The --replay parser on any text: it accepts or gives a reason, and what it
// accepts is within the ranges the events allow.
#include "fuzz/fuzz_support.h"

#include <vector>

#include "app/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<ReplayEvent> events;
    std::string error;
    if (!cmd_parse_events(text.c_str(), &events, &error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    for (const ReplayEvent& e : events) {
        if (e.kind == ReplayEvent::Click)
            FUZZ_CHECK(e.x >= 0 && e.x <= 32767 && e.y >= 0 && e.y <= 32767);
        if (e.kind == ReplayEvent::Key)
            FUZZ_CHECK(e.key != 0);
        if (e.kind == ReplayEvent::Type)
            FUZZ_CHECK(!e.text.empty());
    }
    return 0;
}
