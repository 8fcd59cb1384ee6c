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
// two variables, the folder expected to supply them and the first day of
// HDAY2.DAT then read: the current folder's own HDAY2.DAT counts only with
// its HDAY1.DAT.
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
        setenv("XDG_CONFIG_HOME", at(c.home).c_str(), 1);
        setenv("XDG_CONFIG_DIRS", at(c.dirs).c_str(), 1);
        EXPECT_EQ(hday_folder(), at(c.expected)) << c.with_files << " | " << c.home << " | " << c.dirs;
        RKM_YHDAY_RED();
        EXPECT_EQ(iHday2[0], c.hday2) << c.with_files;
    }
}
