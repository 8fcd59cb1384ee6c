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
