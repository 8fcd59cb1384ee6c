// Where the holiday files are kept: the current folder, as a calendar
// started from a folder of its own expects, then the user's and the
// system's configuration folders of the XDG base directory rules, so that a
// calendar started from the applications menu finds them too.
#include <filesystem>
#include <string>
#include <vector>

#include "calendar/calendar.h"
#include "platform/system/file.h"

std::vector<std::string> hday_config_folders(void)
{
    std::vector<std::string> folders;
    const std::string home = plat_config_home();
    if (!home.empty())
        folders.push_back(home + "/rkm7500/");
    for (const std::string& folder : plat_config_dirs())
        folders.push_back(folder + "/rkm7500/");
    return folders;
}

// The first folder of the search where `holds` finds the file `name`.
template <class Holds>
static std::string first_folder(const std::string& name, Holds holds)
{
    std::error_code error;
    if (holds(name, error))
        return "";
    for (const std::string& folder : hday_config_folders())
        if (holds(folder + name, error))
            return folder;
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
