// Where the holiday files are kept: the current folder, as a calendar
// started from a folder of its own expects, then the user's and the
// system's configuration folders of the XDG base directory rules, so that a
// calendar started from the applications menu finds them too.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "calendar/calendar.h"

// A folder named by an environment variable counts only when absolute, as
// the base directory rules require; relative ones are ignored.
static bool absolute(const std::string& folder)
{
    return !folder.empty() && folder[0] == '/';
}

static std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The configuration folders in the order they are searched.
static std::vector<std::string> config_folders(void)
{
    std::vector<std::string> folders;
    std::string home = variable("XDG_CONFIG_HOME");
    if (!absolute(home) && absolute(variable("HOME")))
        home = variable("HOME") + "/.config";
    if (absolute(home))
        folders.push_back(home);
    std::string dirs = variable("XDG_CONFIG_DIRS");
    if (dirs.empty())
        dirs = "/etc/xdg";
    for (size_t from = 0; from <= dirs.size();) {
        size_t end = std::min(dirs.find(':', from), dirs.size());
        std::string folder = dirs.substr(from, end - from);
        if (absolute(folder))
            folders.push_back(folder);
        from = end + 1;
    }
    return folders;
}

std::string hday_folder(void)
{
    std::error_code error;
    if (std::filesystem::is_regular_file("HDAY1.DAT", error))
        return "";
    for (const std::string& folder : config_folders()) {
        std::string mine = folder + "/rkm7500/";
        if (std::filesystem::is_regular_file(mine + "HDAY1.DAT", error))
            return mine;
    }
    return "";
}
