// The program's folders: its run-time data, found from where the program
// is, the user's configuration and cache folders of the XDG base directory
// rules, and the user's documents folder of xdg-user-dirs.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/system/file.h"

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

/* The XDG base directories. A folder named by a variable counts only when
   absolute, as the rules require; relative ones are ignored. */

static std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : "";
}

static std::string home_folder(const char* name, const char* under_home)
{
    std::string folder = variable(name);
    if (folder.empty() && !variable("HOME").empty())
        folder = variable("HOME") + under_home;
    return folder;
}

std::string plat_config_home(void)
{
    return home_folder("XDG_CONFIG_HOME", "/.config");
}

std::string plat_cache_home(void)
{
    return home_folder("XDG_CACHE_HOME", "/.cache");
}

std::vector<std::string> plat_config_dirs(void)
{
    std::vector<std::string> folders;
    const char* set = std::getenv("XDG_CONFIG_DIRS");
    const std::string dirs = set && *set ? set : "/etc/xdg";
    for (size_t from = 0; from <= dirs.size();) {
        size_t end = std::min(dirs.find(':', from), dirs.size());
        std::string folder = dirs.substr(from, end - from);
        if (!folder.empty() && folder[0] == '/')
            folders.push_back(folder);
        from = end + 1;
    }
    return folders;
}

// user-dirs.dirs holds lines such as XDG_DOCUMENTS_DIR="$HOME/Documents";
// the last one for the documents folder counts.
std::string plat_documents_folder(void)
{
    const std::string home = variable("HOME"), path = plat_config_home() + "/user-dirs.dirs";
    const std::string key = "XDG_DOCUMENTS_DIR=";
    std::string folder;
    struct stat st;
    std::ifstream dirs;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        dirs.open(path);
    for (std::string line; std::getline(dirs, line);) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = home.empty() ? "" : home + value.substr(5);
        while (value.size() > 1 && value.back() == '/')
            value.pop_back();
        folder = value;
    }
    return !folder.empty() && folder[0] == '/' && is_folder(folder) ? folder : home;
}

bool plat_make_folders(const std::string& folder)
{
    for (size_t slash = 1; slash != std::string::npos;) {
        slash = folder.find('/', slash + 1);
        std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return is_folder(folder);
}
