#include "fuzz/fuzz_support.h"

#include <unistd.h>

void fuzz_enter_temp_folder()
{
    static bool entered = false;
    if (entered)
        return;
    char path[] = "/tmp/rkm_fuzz_XXXXXX";
    FUZZ_CHECK(mkdtemp(path) != nullptr && chdir(path) == 0);
    entered = true;
}

void fuzz_write_file(const char* name, const std::string& bytes)
{
    FILE* f = std::fopen(name, "wb");
    FUZZ_CHECK(f != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    std::fclose(f);
}
