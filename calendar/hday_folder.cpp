// Where the holiday files are kept: the current folder, as a calendar
// started from a folder of its own expects, then the user's and the
// system's configuration folders of the XDG base directory rules, so that a
// calendar started from the applications menu finds them too.
#include <filesystem>
#include <string>
#include <vector>

#include "calendar/calendar.h"
#include "platform/file.h"

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

std::string hday_folder(void)
{
    std::error_code error;
    if (std::filesystem::is_regular_file("HDAY1.DAT", error))
        return "";
    for (const std::string& folder : hday_config_folders())
        if (std::filesystem::is_regular_file(folder + "HDAY1.DAT", error))
            return folder;
    return "";
}
