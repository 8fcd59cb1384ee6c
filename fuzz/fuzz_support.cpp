#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

void fuzz_enter_temp_folder()
{
    static bool entered = false;
    if (entered)
        return;
    char path[] = "/tmp/rkm_fuzz_XXXXXX";
    FUZZ_CHECK(mkdtemp(path) != nullptr && chdir(path) == 0);
    for (const char* folder : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        setenv(folder, path, 1);
    setenv("CUPS_SERVER", (std::string(path) + "/no-print-service.sock").c_str(), 1);
    unsetenv("PRINTER");
    unsetenv("LPDEST");
    entered = true;
}

void fuzz_write_file(const char* name, const std::string& bytes)
{
    FILE* f = std::fopen(name, "wb");
    FUZZ_CHECK(f != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    std::fclose(f);
}
