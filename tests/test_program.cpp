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
