// How a run of the program ends: its exit status, what it says on which
// stream, and the snapshot it leaves. Errors in the command line or the
// replay end with 2 and one line on standard error pointing to --help.
#include <gtest/gtest.h>

#include <string>

#include "tests/helpers/cups.h"
#include "tests/helpers/picture.h"
#include "tests/helpers/tempdir.h"

// The program's standard output; its standard error goes to the file err.
static std::string run_in(const TempDir& dir, const std::string& before, const std::string& args,
                          int* status)
{
    return run_command("(cd '" + dir.path() + "' && { " + before + " XDG_CONFIG_HOME=\"$PWD/config\" timeout 20 " + RKM_PROGRAM +
                           " " + args + "; } 2>err)", status);
}

TEST(exit_status, each_way_of_ending_says_what_on_which_stream)
{
    const std::string no_display = "rkm7500: cannot open display :199\n";  // all it says
    const char* const no_cups = "export CUPS_SERVER=/nonexistent/cups.sock;";  // no printer either
    const char* const law = "the compiled law of each year (no syukujitsu.csv";
    const char* const faked = "export LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 "
                              "FAKETIME='@2026-05-01 12:00:00' ASAN_OPTIONS=verify_asan_link_order=0;";
    const struct {
        const char *before, *args;
        int status;
        std::string out, err;
    } cases[] = {
        {"", "-h", 0, "Report bugs to: <http", ""},
        {"", "--help", 0, "HDAY1.DAT", ""},
        {"", "-V", 0, "License MIT", ""},
        {"", "--version", 0, "Copyright (C)", ""},
        {"", "--snapshot=s.png --replay='type 20' && test -s s.png", 0, "", ""},
        {"", "--bogus", 2, "", "unrecognized option '--bogus'"},
        {"", "-x", 2, "", "unrecognized option '-x'"},
        {"", "--help=yes", 2, "", "'--help' takes no value"},
        {"", "--snapshot=", 2, "", "'--snapshot' needs a value"},
        {"", "--print-to", 2, "", "'--print-to' needs a value"},
        {"", "extra", 2, "", "unexpected argument 'extra'"},
        {"", "--snapshot=a.png --snapshot b.png", 2, "", "'--snapshot' given twice"},
        {"", "--snapshot s.png --replay 'click 4294968196 200'", 2, "", "0 to 32767"},
        {"", "--snapshot s.png --replay 'click 5 32768'", 2, "", "0 to 32767"},
        {"", "--snapshot s.png --size 4294967312x16", 2, "", "each 16 to 8192"},
        {"", "--snapshot s.png --size 16x4294967312", 2, "", "each 16 to 8192"},
        {"export DISPLAY=:199; unset SDL_VIDEODRIVER WAYLAND_DISPLAY;", "", 1, "", no_display},
        {"export DISPLAY=:199 SDL_VIDEODRIVER=dummy;", "", 1, "", no_display},
        {"", "--snapshot s.png --print-to no/p.pdf --replay 'key F9'", 1, "", "no/p.pdf: No such file"},
        {"", "--snapshot s.png --print-to . --replay 'key F9; key F12'", 1, "", "is a folder"},
        {no_cups, "--snapshot s.png --print-to p.pdf --replay 'key F9; key F12'", 0, "", ""},
        {no_cups, "--snapshot s.png --replay 'key F9'", 0, "", "印刷処理が取り消されました"},
        {"mkdir d;", "--snapshot d", 1, "", "cannot write the snapshot to d: is a folder"},
        {"", "--print-to p.pdf --months 2026-04 --paper A5", 2, "", "unknown paper 'A5'"},
        {"", "--print-to p.pdf --months 2026-13", 2, "", "'2026-13' is not a month"},
        {"", "--print-to p.pdf --months 2027-01..2026-12", 2, "", "ends before it starts"},
        {"", "--print-to p.pdf --months 2000-01..2100-01", 2, "", "1201 months long"},
        {"", "--months 2026-01", 2, "", "--months needs --print-to"},
        {"", "--print-to p.pdf --months 2026-01 --layout huge", 2, "", "unknown layout 'huge'"},
        {"", "--print-to no/p.pdf --months 2026-01", 1, "", "no/p.pdf: No such file"},
        // The holiday list in force; one that cannot be used is named with its reason.
        {"printf '2026/1/1,a\\r\\n' > syukujitsu.csv;", "--version", 0, "syukujitsu.csv for 2026-2026, the compiled", ""},
        {": > syukujitsu.csv;", "--version", 0, law, "syukujitsu.csv: is empty; the holidays follow the compiled law"},
        {"printf '2026/1/1,a\\0' > syukujitsu.csv;", "--version", 0, law, "is not text"},
        {"printf '\\377\\376\\062\\0' > syukujitsu.csv;", "--version", 0, law, "is UTF-16 text"},
        {"head -c 1048577 /dev/zero | tr '\\0' '\\n' > syukujitsu.csv;", "--version", 0, law, "is larger than 1 MB"},
        {"mkfifo syukujitsu.csv;", "--version", 0, law, "is a FIFO"},
        {"mknod syukujitsu.csv c 1 3;", "--version", 0, law, "is a device"},
        {"mkdir syukujitsu.csv;", "--version", 0, law, "is a folder"},
        {"yes 2026/2/30,x | head -n 1000 > syukujitsu.csv;", "--version", 0, law, "csv: 990 more bad lines skipped"},
        // --export-ics: today 1 May 2026 by the faked clock, so 2026 to 2031.
        {faked, "--export-ics d.ics && grep -o 'DATE:....' d.ics | sed -n '1p;$p' | tr -d '\\n'", 0, "DATE:2026DATE:2031", ""},
        {"", "--export-ics no/x.ics", 1, "", "rkm7500: cannot write no/x.ics: No such file or directory\n"},
        {"", "--export-ics x.ics --years 1947..2000", 2, "", "--years needs FROM..TO"},
        {"", "--export-ics x.ics --years 2030..2020", 2, "", "--years needs FROM..TO"},
        {"", "--export-ics x.ics --years 2026..2100", 2, "", "--years needs FROM..TO"},
        {"", "--export-ics x.ics --years '2026.. 2027'", 2, "", "--years needs FROM..TO"},
        {"", "--export-ics x.ics --years 2026..+2027", 2, "", "--years needs FROM..TO"},
        {"", "--years 2026", 2, "", "--years goes with --export-ics"},
        {"", "--notes", 2, "", "--notes goes with --export-ics"},
        {"", "--almanac 2026-02-30", 2, "", "--almanac: '2026-02-30' is not a date"},
        {"", "--almanac=2027-01-01..2026-01-01", 2, "", "'2027-01-01..2026-01-01' ends before"},
        {"mknod full c 1 7;", "--almanac 2024-01-01 >full", 1, "", "almanac: No space left"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        int status = -1;
        std::string out = run_in(dir, c.before, c.args, &status), err = dir.read("err");
        EXPECT_EQ(status, c.status) << c.args << "\n" << err;
        EXPECT_TRUE(c.out.empty() ? out.empty() : out.find(c.out) != out.npos) << c.args << "\n" << out;
        EXPECT_TRUE(c.err.empty() || c.err == no_display ? err == c.err : err.find(c.err) != err.npos)
            << c.args << "\n" << err;
        if (c.status == 2) {
            EXPECT_TRUE(err.find('\n') == err.size() - 1 && err.find("'rkm7500 --help'") != err.npos) << err;
        }
    }
}

TEST(snapshot, a_failed_write_keeps_the_old_file_and_ending_the_program_still_writes_it_after_clicks_beside)
{
    TempDir dir;
    dir.write("s.png", "old");
    dir.write("p.pdf", "the old page");
    int status = -1;
    run_in(dir, "ulimit -f 4; export CUPS_SERVER=/nonexistent/cups.sock;",
           "--snapshot s.png --print-to p.pdf --replay 'key F9'", &status);
    EXPECT_EQ(status, 1);
    for (const char* said : {"s.png: File too large", "p.pdf: File too large"})
        EXPECT_NE(dir.read("err").find(said), std::string::npos) << dir.read("err");
    EXPECT_EQ(dir.read("s.png") + dir.read("p.pdf"), "oldthe old page");
    EXPECT_EQ(files_in(dir.path()).size(), 3u);  // s.png, p.pdf and err: no half-written file

    // Clicks and wheel turns beside the design reach nothing, and the replay goes on.
    std::string out = run_in(dir, "", "--snapshot t.png --replay 'click 1024 200; wheel up 1100 "
                                      "200; click 200 32767; click 900 200; key F12'", &status);
    EXPECT_EQ(status, 0) << out;
    Picture last = read_png(dir.file("t.png"));
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last.at(1, 1), 0xFFFFFFu);  // the year view, borderless, shown by the click
}

// Without the calendar's fonts the program names the missing ones and draws
// with what fontconfig offers; with no font at all it says so and fails.
TEST(exit_status, missing_fonts_are_named_and_text_is_drawn_with_what_there_is)
{
    TempDir dir;
    dir.write("none.conf", "<fontconfig/>\n");
    dir.write("few.conf", "<fontconfig><dir>/usr/share/fonts/truetype/liberation2</dir></fontconfig>\n");
    int status = -1;
    run_in(dir, "export FONTCONFIG_FILE=$PWD/none.conf;", "--snapshot s.png", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(dir.read("err").find("nor any other: no text can be drawn\n"), std::string::npos);
    run_in(dir, "export FONTCONFIG_FILE=$PWD/few.conf;",
           "--snapshot s.png --replay 'type 2003; key Enter; type 11; key Enter'", &status);
    std::string err = dir.read("err");
    EXPECT_EQ(status, 0) << err;
    EXPECT_NE(err.find("no font for \"ＤＦ中丸ゴシック体\" is installed (MotoyaLMaru, IPAGothic); "
                       "drawing with \"Liberation"), std::string::npos) << err;
    EXPECT_EQ(err.find("\"Arial\""), std::string::npos) << "Liberation Sans is one of its fonts";
    EXPECT_GT(read_png(dir.file("s.png")).count(180, 36, 400, 64, 0xFF0000), 50) << "the title";
}
