// The main of every test program. The user's folders lie where nothing can
// be created (below a device), so no test reads or leaves remembered choices
// or cached calendars unless it gives the program folders of its own; and
// windows open on SDL's offscreen driver, silent, unless the run asks for a
// display. Set here rather than by CTest, so that a test program run by
// hand is as harmless as under ctest.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("XDG_CONFIG_HOME", "/dev/null/config", 1);
    setenv("XDG_CACHE_HOME", "/dev/null/cache", 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
