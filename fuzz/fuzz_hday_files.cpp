// The holiday-file reader on any file contents: HDAY1.DAT and HDAY2.DAT
// share the input. The file read is closed again.
#include "fuzz/fuzz_support.h"

#include "calendar/calendar.h"
#include "state/state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_enter_temp_folder();
    FuzzedDataProvider in(data, size);
    std::string first = in.ConsumeRandomLengthString(70000);
    fuzz_write_file("HDAY1.DAT", first);
    fuzz_write_file("HDAY2.DAT", in.ConsumeRemainingBytesAsString());
    RKM_YHDAY_RED();
    FUZZ_CHECK(hNfhd1 == INVALID_HANDLE_VALUE);
    return 0;
}
