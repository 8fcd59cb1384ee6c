// Where the holiday files are read from: the current folder, then the
// user's configuration folder, then each system configuration folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "calendar/calendar.h"
#include "state/state.h"
#include "tests/helpers/tempdir.h"

// The folders (under the test's folder, written @) holding both files, the
// two variables (null: unset), the folder expected to supply them and the
// first day of HDAY2.DAT then read: the current folder's own HDAY2.DAT
// counts only with its HDAY1.DAT. Unset, the variables mean ~/.config and
// /etc/xdg.
TEST(hday_folder, both_files_from_the_first_folder_holding_hday1)
{
    struct { const char *with_files, *home, *dirs, *expected; int hday2; } cases[] = {
        {". h/.config/rkm7500 x/rkm7500", "@/x", "", "", 1103},
        {"h/.config/rkm7500 x/rkm7500 a/rkm7500", "@/x", "@/a", "@/x/rkm7500/", 1103},
        {"h/.config/rkm7500 a/rkm7500", "", "@/a", "@/h/.config/rkm7500/", 1103},
        {"h/.config/rkm7500", "relative", "", "@/h/.config/rkm7500/", 1103},
        {"a/rkm7500 b/rkm7500", "@/x", "@/a:@/b", "@/a/rkm7500/", 1103},
        {"b/rkm7500", "@/x", "relative::@/a:@/b", "@/b/rkm7500/", 1103},
        {"", "@/x", "@/a", "", 0},
        {"h/.config/rkm7500", nullptr, nullptr, "@/h/.config/rkm7500/", 1103},
    };
    for (const auto& c : cases) {
        TempDir dir(true);
        auto at = [&](const char* s) { return std::regex_replace(s, std::regex("@"), dir.path()); };
        dir.write("HDAY2.DAT", "0101\n");
        std::istringstream folders(c.with_files);
        for (std::string f; folders >> f;) {
            std::filesystem::create_directories(dir.file(f));
            dir.write(f + "/HDAY1.DAT", "0505\n"), dir.write(f + "/HDAY2.DAT", "1103\n");
        }
        setenv("HOME", dir.file("h").c_str(), 1);
        for (auto [name, value] : {std::pair{"XDG_CONFIG_HOME", c.home}, {"XDG_CONFIG_DIRS", c.dirs}})
            value ? setenv(name, at(value).c_str(), 1) : unsetenv(name);
        EXPECT_EQ(hday_folder(), at(c.expected)) << c.with_files << " | " << c.home << " | " << c.dirs;
        RKM_YHDAY_RED();
        EXPECT_EQ(iHday2[0], c.hday2) << c.with_files;
    }
    EXPECT_EQ(hday_config_folders().back(), "/etc/xdg/rkm7500/");
    unsetenv("HOME");
    EXPECT_EQ(hday_config_folders(), std::vector<std::string>{"/etc/xdg/rkm7500/"});
}
