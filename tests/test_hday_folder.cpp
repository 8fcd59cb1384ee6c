// Where the holiday files are read from: the current folder, then the
// user's configuration folder, then each system configuration folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>

#include "calendar/calendar.h"
#include "state/state.h"
#include "tests/helpers/tempdir.h"

// Folders under the test's own folder (written @) that hold HDAY1.DAT, the
// two variables, and the folder expected to supply the files.
TEST(hday_folder, first_folder_holding_hday1_in_search_order)
{
    struct { const char *with_file, *home, *dirs, *expected; } cases[] = {
        {". h/.config/rkm7500 x/rkm7500", "@/x", "", ""},
        {"h/.config/rkm7500 x/rkm7500 a/rkm7500", "@/x", "@/a", "@/x/rkm7500/"},
        {"h/.config/rkm7500 a/rkm7500", "", "@/a", "@/h/.config/rkm7500/"},
        {"h/.config/rkm7500", "relative", "", "@/h/.config/rkm7500/"},
        {"a/rkm7500 b/rkm7500", "@/x", "@/a:@/b", "@/a/rkm7500/"},
        {"b/rkm7500", "@/x", "relative::@/a:@/b", "@/b/rkm7500/"},
        {"./HDAY1.DAT/", "@/x", "@/b", ""},  // a folder named HDAY1.DAT is no file
        {"", "@/x", "@/a", ""},
    };
    for (const auto& c : cases) {
        TempDir dir(true);
        auto at = [&](const char* s) { return std::regex_replace(s, std::regex("@"), dir.path()); };
        std::istringstream folders(c.with_file);
        for (std::string f; folders >> f;)
            std::filesystem::create_directories(dir.file(f)), dir.write(f + "/HDAY1.DAT", "0505\n");
        setenv("HOME", dir.file("h").c_str(), 1);
        setenv("XDG_CONFIG_HOME", at(c.home).c_str(), 1);
        setenv("XDG_CONFIG_DIRS", at(c.dirs).c_str(), 1);
        EXPECT_EQ(hday_folder(), at(c.expected)) << c.with_file << " | " << c.home << " | " << c.dirs;
    }
}

// HDAY2.DAT comes from the folder of HDAY1.DAT, never from another.
TEST(hday_folder, both_files_come_from_the_same_folder)
{
    TempDir dir(true);
    dir.write("HDAY2.DAT", "0101\n");
    std::filesystem::create_directories(dir.file("x/rkm7500"));
    dir.write("x/rkm7500/HDAY1.DAT", "0505\n");
    dir.write("x/rkm7500/HDAY2.DAT", "1103\n");
    setenv("XDG_CONFIG_HOME", dir.file("x").c_str(), 1);
    RKM_YHDAY_RED();
    EXPECT_EQ(iHday1[0], 505);
    EXPECT_EQ(iHday2[0], 1103);
}
