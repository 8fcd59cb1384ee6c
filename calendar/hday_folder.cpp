// Where the holiday files are kept: the current folder, as a calendar
// started from a folder of its own expects, then the user's and the
// system's configuration folders of the XDG base directory rules, so that a
// calendar started from the applications menu finds them too.
#include <filesystem>
#include <string>
#include <vector>

#include "calendar/calendar.h"
#include "platform/system/file.h"

// The configuration folders in the order they are searched.
static std::vector<std::string> config_folders(void)
{
    std::vector<std::string> folders = plat_config_dirs();
    const std::string home = plat_config_home();
    if (!home.empty())
        folders.insert(folders.begin(), home);
    return folders;
}

// The first folder of the search where `holds` finds the file `name`.
template <class Holds>
static std::string first_folder(const std::string& name, Holds holds)
{
    std::error_code error;
    if (holds(name, error))
        return "";
    for (const std::string& folder : config_folders()) {
        std::string mine = folder + "/rkm7500/";
        if (holds(mine + name, error))
            return mine;
    }
    return "";
}

std::string hday_folder(void)
{
    return first_folder("HDAY1.DAT", [](const std::string& path, std::error_code& error) {
        return std::filesystem::is_regular_file(path, error);
    });
}

std::string hol_list_folder(void)
{
    return first_folder("syukujitsu.csv", [](const std::string& path, std::error_code& error) {
        return std::filesystem::exists(std::filesystem::symlink_status(path, error));
    });
}
