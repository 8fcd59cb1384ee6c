// DosFgets and DosRead, with any counts, on a file of any bytes: a line
// never runs past the buffer the caller gave, and reading always ends.
#include "fuzz/fuzz_support.h"

#include <cstring>
#include <vector>

#include "support/ghl3000.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_enter_temp_folder();
    FuzzedDataProvider in(data, size);
    std::vector<uint8_t> counts = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(0, 64));
    fuzz_write_file("dos.dat", in.ConsumeRemainingBytesAsString());
    HANDLE h;
    FUZZ_CHECK(DosOpen("dos.dat", &h, nullptr, 0, 0, 0x01, 0x20C0, 0) == 0);
    for (size_t i = 0; i < counts.size(); i++) {
        int count = counts[i] % 40;
        std::vector<char> buffer((size_t)count + 2);  // the room DosFgets asks for
        unsigned long done = 0;
        if (counts[i] & 0x80) {
            int n = DosFgets(buffer.data(), count, h);
            FUZZ_CHECK(n >= 0 && n <= count + 1);
            FUZZ_CHECK(std::memchr(buffer.data(), '\0', buffer.size()) != nullptr || n == 0);
        } else if (count > 0) {
            buffer.resize((size_t)count);
            int r = DosRead(h, buffer.data(), count, &done);
            FUZZ_CHECK(done <= (unsigned long)count && (r == 0) == (done > 0));
        }
    }
    FUZZ_CHECK(DosClose(h) == 0);
    return 0;
}
