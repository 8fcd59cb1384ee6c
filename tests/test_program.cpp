// The program as a whole process: command line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

static std::string run(const std::string& args, int* status)
{
    std::string out;
    FILE* p = popen((std::string(RKM_PROGRAM) + " " + args + " 2>&1").c_str(), "r");
    char buf[256];
    while (p && fgets(buf, sizeof buf, p))
        out += buf;
    *status = p ? pclose(p) : -1;
    return out;
}

TEST(command_line, version_prints_name_and_exits_0)
{
    int status = 0;
    std::string out = run("--version", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("rkm7500"), std::string::npos);
}
