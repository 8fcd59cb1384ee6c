// The command line's GNU forms, and its errors: one line on standard error
// naming the bad argument and pointing to --help, exit status 2.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/helpers/tempdir.h"

TEST(command_line, gnu_forms_and_one_line_errors)
{
    struct { const char *args, *out, *err; int status; } cases[] = {
        {"-h", "Report bugs to: <http", "", 0},
        {"--help", "HDAY1.DAT", "", 0},
        {"-V", "License MIT", "", 0},
        {"--version", "Copyright (C)", "", 0},
        {"--snapshot=s.png --replay='type 20' && test -s s.png", "", "", 0},
        {"--bogus", "", "unrecognized option '--bogus'", 2},
        {"-x", "", "unrecognized option '-x'", 2},
        {"--help=yes", "", "'--help' takes no value", 2},
        {"--snapshot=", "", "'--snapshot' needs a value", 2},
        {"--print-to", "", "'--print-to' needs a value", 2},
        {"extra", "", "unexpected argument 'extra'", 2},
        {"--snapshot=a.png --snapshot b.png", "", "'--snapshot' given twice", 2},
    };
    for (const auto& c : cases) {
        TempDir dir;
        int status = std::system(("cd " + dir.path() + " && " + RKM_PROGRAM + " " + c.args +
                                  " >out 2>err").c_str());
        std::string out = dir.read("out"), err = dir.read("err");
        EXPECT_EQ(WEXITSTATUS(status), c.status) << c.args;
        EXPECT_NE(out.find(c.out), std::string::npos) << c.args << "\n" << out;
        EXPECT_NE(err.find(c.err), std::string::npos) << c.args << "\n" << err;
        bool one_line = err.find('\n') == err.size() - 1 && err.find("'rkm7500 --help'") != err.npos;
        EXPECT_TRUE(c.status ? out.empty() && one_line : err.empty()) << c.args << "\n" << err;
    }
}
