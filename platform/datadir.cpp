// The folder of the program's run-time data, found from where the program is.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file.h"

namespace {

bool is_folder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder holding the running program, from /proc/self/exe.
std::string program_folder()
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return "";
    std::string exe(path, (size_t)n);
    return exe.substr(0, exe.rfind('/'));
}

}  // namespace

// Installed, the program is PREFIX/bin/rkm7500 and its data
// PREFIX/share/rkm7500. In the build folder the program sits at the top and
// the test programs one folder down, so the build's share/rkm7500 is tried
// both ways.
const char* plat_data_dir(void)
{
    static const std::string dir = [] {
        std::string bin = program_folder();
        for (const char* relative : {"/" RKM_DATA_FROM_BIN, "/../share/rkm7500", "/share/rkm7500"})
            if (!bin.empty() && is_folder(bin + relative))
                return bin + relative;
        return std::string();
    }();
    return dir.c_str();
}
