// The program as a whole process: command line.
#include <gtest/gtest.h>

#include <string>

#include "tests/helpers/cups.h"

TEST(command_line, version_prints_name_and_exits_0)
{
    int status = -1;
    std::string out = run_command(std::string(RKM_PROGRAM) + " --version", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("rkm7500"), std::string::npos);
}

// A refused character beeps; on a machine without a sound card the beep is
// silent, and the sound libraries' complaints do not reach the user.
TEST(command_line, beep_without_a_sound_card_writes_nothing)
{
    int status = -1;
    std::string out = run_command("env -u SDL_AUDIODRIVER AUDIODEV=/dev/null " +
                                      std::string(RKM_PROGRAM) +
                                      " --snapshot /dev/null --replay 'type 12345'",
                                  &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "");
}
