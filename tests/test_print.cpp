// The print command and the four printed layouts, against a private CUPS
// scheduler: what reaches the printer, read back with poppler's tools.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <ctime>
#include <functional>
#include <iterator>
#include <sstream>
#include <vector>
#include <string>

#include "state/state.h"
#include "print/print.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/pdf.h"

namespace {

const char NO_PRINTER[] = "\x83\x76\x83\x8A\x83\x93\x83\x5E\x81\x5B\x90\xDA\x91\xB1\x96\xB3\x82\xB5";
const char STOP_CAPTION_UTF8[] = "印刷処理が取り消されました";
const int TINT = 0xC0E0FF;  // a light orange background, 0x00BBGGRR
const int BLUE = 0xFF0000, RED = 0x0000FF, SATURDAY = 0x406000, HOLIDAY = 0x6020FF;

// The failure message boxes in what went to standard error, where message
// boxes go without a display.
int stop_boxes(const std::string& err)
{
    int n = 0;
    for (size_t at = err.find(STOP_CAPTION_UTF8); at != std::string::npos;
         at = err.find(STOP_CAPTION_UTF8, at + 1))
        n++;
    return n;
}

// pdffonts lists at least one font, each with "yes" under emb and sub.
::testing::AssertionResult fonts_embedded_as_subsets(const std::string& report)
{
    std::istringstream lines(report);
    std::string line;
    int fonts = 0;
    for (int n = 0; std::getline(lines, line); n++) {
        std::istringstream words(line);  // name type encoding emb sub uni object ID
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        if (n < 2 || w.empty())  // the heading and its rule
            continue;
        if (w.size() < 6 || w[w.size() - 5] != "yes" || w[w.size() - 4] != "yes")
            return ::testing::AssertionFailure() << "not an embedded subset: " << line;
        fonts++;
    }
    if (fonts == 0)
        return ::testing::AssertionFailure() << "no fonts: " << report;
    return ::testing::AssertionSuccess();
}

// Canvas units to printer pixels, truncated as the layouts do.
int dots(int units, int dpi)
{
    return (int)(units * (dpi / 92.0));
}

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(cups.start()) << cups.error();
        iSetfg = 1;
        iBcol = 0xFFFFFF;
        iNstep = 1;
        gbAbort = 0;
        hPhdc = nullptr;
        prn_set_output_file(nullptr);
    }
    void TearDown() override
    {
        prn_set_output_file(nullptr);
        unsetenv("TMPDIR");  // private_tmp's folder goes with the scheduler's
    }

    // Prints `layout` for year/month through the print command and returns
    // the delivered PDF ("" when none came).
    std::string print(int dpi, int layout, int year, int month)
    {
        if (!cups.add_queue("pdfq" + std::to_string(dpi), dpi))
            return "";
        GetPrnName(cPrninfo);
        iDspfg = layout;
        iYear = year;
        iMont = month;
        EXPECT_EQ(RKM_CALEN_PRN(nullptr), 0);
        return cups.wait_for_job_file(++jobs);
    }
    int jobs_done() const { return jobs; }

    // The print command's failure boxes while `run` runs.
    int boxes_while(const std::function<void()>& run, std::string* text = nullptr)
    {
        testing::internal::CaptureStderr();
        run();
        std::string err = testing::internal::GetCapturedStderr();
        if (text)
            *text = err;
        return stop_boxes(err);
    }

    // An empty folder as TMPDIR, for the failures to leave nothing in.
    std::string private_tmp()
    {
        std::string tmp = cups.folder() + "/tmpdir";
        EXPECT_EQ(mkdir(tmp.c_str(), 0700), 0);
        setenv("TMPDIR", tmp.c_str(), 1);
        return tmp;
    }

    PrivateCups cups;
    int jobs = 0;
};

}  // namespace

/* The default printer's name */

TEST(PrinterName, device_name_is_the_first_field_and_an_empty_one_is_no_printer)
{
    const char* const cases[][2] = {
        {"pdfq,CUPS,ipp://localhost/printers/pdfq", "pdfq"}, {"plain", "plain"},
        {",,lead,winspool,LPT1:", "lead"},
        {"\x83\x5C\x83\x74\x83\x67,CUPS,x", "\x83\x5C\x83\x74\x83\x67"},  // ソフト: a 0x5C trail byte
        {"ab\x83,CUPS,x", "ab\x83"},  // a lead byte cut off by a comma does not swallow it
        {"", NO_PRINTER}, {",,,", NO_PRINTER}};
    char dst[300];
    for (auto& c : cases) {
        prn_device_name(c[0], dst);
        EXPECT_STREQ(dst, c[1]) << c[0];
    }
}

/* The page of each layout */

// Every layout printed through the print command, at 300 and 600 dpi:
// the pixels at the design's coordinates scaled to the printer's dots, the
// texts, and one landscape A4 page with its fonts embedded as subsets.
TEST_F(PrintCommand, each_layout_scaled_to_the_printer_page)
{
    struct Job { int layout, dpi, year, month; const char* texts; } jobs[] = {
        {3, 300, 2003, 0, "2003年１月 2003年９月 2003年12月 日 土"},
        {0, 600, 2003, 11, "2003年11月 日 月 火 水 木 金 土"},
        {9, 300, 0, 0, ""},  // before any entry: today's month, medium layout
        {2, 300, 2003, 3, "2003年３月"},
        {0, 300, 2003, 0, "2003年１月"},  // months outside 1..12: the nearest
        {1, 300, 2003, 0, "2003年１月"},
        {2, 300, 2003, 13, "2003年12月"},
    };
    // Pixel (x, y) of job j in canvas units has the colour; with a box
    // (x2 >= 0), some pixel of it has it, give or take 8 per channel.
    struct Probe { int job, x, y, x2, y2; uint32_t colour; } probes[] = {
        {0, 5, 5, -1, 0, TINT}, {0, 1015, 700, -1, 0, TINT},  // iBcol over the canvas
        {0, 80, 60, 200, 78, BLUE},                           // January's title
        {0, 30, 124, 54, 144, RED},                           // Sunday 5 January
        {0, 120, 100, 144, 120, HOLIDAY},                     // 1 January
        {0, 210, 100, 234, 120, SATURDAY},                    // 4 January
        {0, 119, 110, -1, 0, 0x000000}, {0, 149, 110, -1, 0, TINT},  // days off are boxed
        {1, 2, 2, -1, 0, TINT}, {1, 1020, 758, -1, 0, TINT},
        {1, 20, 400, -1, 0, 0x404040}, {1, 21, 400, -1, 0, 0xC0C0C0}, {1, 22, 400, -1, 0, 0x404040},
        {1, 380, 10, 700, 45, BLUE},                          // the title
        {1, 5, 208, 60, 240, RED},                            // Sunday 2 November: column 0, row 1
        {1, 145, 208, 200, 240, HOLIDAY},                     // Culture Day
        {1, 170, 502, 230, 534, RED},                         // 24th: substitute for the 23rd
        {2, 20, 500, -1, 0, TINT}, {2, 700, 300, -1, 0, 0xFFFFFF}, {2, 20, 600, -1, 0, 0xFFFFFF},
        {2, 53, 300, -1, 0, 0xC0C0C0},                        // centre of vertical rule 0
        {3, 12, 198, -1, 0, TINT}, {3, 257, 100, -1, 0, 0xFFFFFF}, {3, 12, 203, -1, 0, 0xFFFFFF},
        {3, 180, 122, 204, 142, HOLIDAY},                     // 21 March 2003, the equinox
    };
    iBcol = TINT;
    std::vector<std::string> pdfs;
    for (const Job& j : jobs) {
        iSetfg = j.year != 0;
        pdfs.push_back(print(j.dpi, j.layout, j.year, j.month));
        ASSERT_NE(pdfs.back(), "") << &j - jobs;
        EXPECT_EQ(cups.job_title(jobs_done()), "RKM7500");
        EXPECT_EQ(iNstep, 0);
        std::string text = pdf_text(pdfs.back()), words = j.texts;
        for (size_t at = 0, end; at < words.size(); at = end + 1) {
            end = std::min(words.find(' ', at), words.size());
            EXPECT_NE(text.find(words.substr(at, end - at)), std::string::npos)
                << words.substr(at, end - at) << " in job " << &j - jobs << "\n" << text;
        }
    }
    std::time_t now = std::time(nullptr);
    std::tm t = *std::localtime(&now);
    static const char* const months[] = {"１月", "２月", "３月", "４月", "５月", "６月",
                                         "７月", "８月", "９月", "10月", "11月", "12月"};
    std::string title = std::to_string(t.tm_year + 1900) + "年" + months[t.tm_mon];
    EXPECT_NE(pdf_text(pdfs[2]).find(title), std::string::npos) << title;
    for (const Probe& p : probes) {
        int dpi = jobs[p.job].dpi;
        int x1 = dots(p.x, dpi), y1 = dots(p.y, dpi);
        int x2 = p.x2 < 0 ? x1 : dots(p.x2, dpi), y2 = p.x2 < 0 ? y1 : dots(p.y2, dpi);
        PdfPage area = pdf_area(pdfs[p.job], dpi, x1, y1, x2 - x1 + 1, y2 - y1 + 1);
        if (p.x2 < 0)
            EXPECT_EQ(area.pixel(x1, y1), p.colour) << "job " << p.job << " at " << p.x << "," << p.y;
        else
            EXPECT_TRUE(area.has_colour(x1, y1, x2, y2, p.colour, 8)) << "job " << p.job << " at " << p.x << "," << p.y;
    }
    std::string info = pdf_info(pdfs[0]);
    EXPECT_EQ(pdf_field(info, "Pages"), "1");
    EXPECT_EQ(pdf_field(info, "Page size"), "841.89 x 595.276 pts (A4)");
    EXPECT_TRUE(fonts_embedded_as_subsets(pdf_fonts(pdfs[0])));
    struct stat st;
    ASSERT_EQ(stat(pdfs[0].c_str(), &st), 0);
    EXPECT_LT(st.st_size, 100 * 1024);  // shapes stay rectangles, fonts are subsets
}

/* Failures */

TEST_F(PrintCommand, no_default_printer_shows_the_message_ten_times_with_or_without_a_service)
{
    iDspfg = 3;
    std::string tmp = private_tmp();
    for (bool service : {true, false}) {
        if (!service)
            cups.stop();
        GetPrnName(cPrninfo);
        ASSERT_STREQ(cPrninfo, NO_PRINTER);
        iNstep = 1;
        EXPECT_EQ(boxes_while([] { EXPECT_EQ(RKM_CALEN_PRN(nullptr), 0); }), 10);
        EXPECT_EQ(iNstep, 0);  // the layout's resets still happen
        EXPECT_EQ(hPhdc, nullptr);
    }
    EXPECT_TRUE(files_in(tmp).empty());
}

TEST_F(PrintCommand, rejecting_printer_or_stopped_scheduler_give_one_message_with_the_reason)
{
    ASSERT_TRUE(cups.add_queue("pdfq", 300));
    GetPrnName(cPrninfo);
    std::string tmp = private_tmp();
    auto one_failure = [&](int layout, const char* reason) {
        iDspfg = layout;
        std::string text;
        EXPECT_EQ(boxes_while([] { RKM_CALEN_PRN(nullptr); }, &text), 1);
        EXPECT_NE(text.find(reason), std::string::npos) << text;
        EXPECT_TRUE(cups.output_files().empty());
        EXPECT_TRUE(files_in(tmp).empty());
    };
    ASSERT_TRUE(cups.reject("pdfq"));
    one_failure(3, "not accepting");
    EXPECT_EQ(cups.jobs_known(), 0);
    cups.stop();
    one_failure(0, "cannot reach the print service");
}

/* The abort window's procedures */

TEST(AbortWindow, opening_greys_close_and_only_the_cancel_control_stops_the_job)
{
    gbAbort = 0;
    HWND dialog = reinterpret_cast<HWND>(0x5150);
    EXPECT_EQ(AbortDlgProc(dialog, WM_INITDIALOG, 0, 0), FALSE);
    EXPECT_EQ(ghwndAbort, dialog);
    EXPECT_EQ(EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_GRAYED), (BOOL)MF_GRAYED);
    EXPECT_EQ(AbortDlgProc(dialog, WM_COMMAND, 502, 0), FALSE);
    EXPECT_EQ(AbortProc(nullptr, 0), TRUE);
    EXPECT_EQ(AbortDlgProc(dialog, WM_COMMAND, 503, 0), TRUE);
    EXPECT_EQ(gbAbort, 1);
    EXPECT_EQ(ghwndAbort, nullptr);
    EXPECT_EQ(AbortProc(nullptr, 0), FALSE);
    gbAbort = 0;
}

/* The whole program: F9 in a --replay */

namespace {

// Chooses the layout with its button, enters November 2003 and presses F9.
std::string f9_replay(int layout)
{
    return "click " + std::to_string(660 + 80 * layout) +
           " 200; type 2003; key Enter; type 11; key Enter; key F9";
}

std::string run_program_in(const std::string& folder, const std::string& args, int* status)
{
    return run_command("cd '" + folder + "' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
                           RKM_PROGRAM + " --snapshot screen.png " + args,
                       status);
}

}  // namespace

// The 600 dpi printer's name is longer than the device mode's 31 bytes: the
// page must still reach it.
TEST_F(PrintCommand, program_prints_every_layout_through_f9)
{
    const int title_x[] = {380, 190, 80, 80}, title_y[] = {10, 30, 10, 60};
    const char* const long_name = "Accounting_Floor3_Colour_Laser_Printer_600dpi";
    ASSERT_TRUE(cups.add_queue("pdf300", 300));
    ASSERT_TRUE(cups.add_queue(long_name, 600, false));
    for (int layout = 0; layout < 4; layout++) {
        int dpi = layout < 2 ? 300 : 600;
        if (layout == 2) {
            ASSERT_EQ(cups.run_tool(std::string("lpadmin -d ") + long_name), 0);
        }
        SCOPED_TRACE("layout " + std::to_string(layout) + " at " + std::to_string(dpi));
        int status = -1;
        run_program_in(cups.folder(), "--replay '" + f9_replay(layout) + "'", &status);
        EXPECT_EQ(status, 0);
        std::string pdf = cups.wait_for_job_file(layout + 1);
        ASSERT_NE(pdf, "");
        EXPECT_EQ(cups.job_title(layout + 1), "RKM7500");
        EXPECT_NE(pdf_text(pdf).find(layout == 3 ? "2003年１月" : "2003年11月"), std::string::npos);
        // the title in blue where the layout puts it at this resolution
        int x = dots(title_x[layout], dpi), y = dots(title_y[layout], dpi);
        int w = dots(110, dpi), h = dots(20, dpi);
        PdfPage title = pdf_area(pdf, dpi, x, y, w, h);
        EXPECT_TRUE(title.has_colour(x, y, x + w - 1, y + h - 1, BLUE, 8));
    }
}

TEST_F(PrintCommand, program_prints_to_a_file_without_any_print_service)
{
    cups.stop();
    setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
    int status = -1;
    std::string err = run_program_in(
        cups.folder(), "--replay '" + f9_replay(3) + "' --print-to year.pdf", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err.find(STOP_CAPTION_UTF8), std::string::npos) << err;
    std::string pdf = cups.folder() + "/year.pdf", info = pdf_info(pdf);
    EXPECT_EQ(pdf_field(info, "Pages"), "1") << info;
    EXPECT_EQ(pdf_field(info, "Title"), "RKM7500");
    EXPECT_NE(pdf_text(pdf).find("2003年12月"), std::string::npos);
}

TEST_F(PrintCommand, program_without_a_printer_says_so_ten_times_and_goes_on)
{
    std::string tmp = private_tmp();
    int status = -1;
    std::string err = run_program_in(
        cups.folder(), "--replay 'key F9; type 2004; key Enter; type 2; key Enter'", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(stop_boxes(err), 10) << err;
    struct stat st;
    EXPECT_EQ(stat((cups.folder() + "/screen.png").c_str(), &st), 0);  // it went on to the end
    EXPECT_EQ(cups.jobs_known(), 0);
    EXPECT_TRUE(files_in(tmp).empty());
}

/* The job and the main window: disabled while the abort procedure pumps */

namespace {

int keyups_seen;
BOOL enabled_when_cancelled = TRUE;

LRESULT main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_KEYUP)
        keyups_seen++;
    if (message == WM_COMMAND) {  // the abort window's cancel control, as if clicked
        enabled_when_cancelled = IsWindowEnabled(ghwndMain);
        return AbortDlgProc(window, message, wparam, lparam);
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

class PrintWithWindow : public PrintCommand {
protected:
    void SetUp() override
    {
        PrintCommand::SetUp();
        plat_set_display(PLAT_DISPLAY_OFFSCREEN);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = main_window_proc;
        wc.lpszClassName = "PrintTest";
        RegisterClassA(&wc);
        ghwndMain = CreateWindowExA(0, "PrintTest", "Calendar", WS_OVERLAPPEDWINDOW, 0, 0, 1024,
                                    768, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(ghwndMain, nullptr) << plat_window_error();
        ASSERT_TRUE(cups.add_queue("pdfq", 300));
        GetPrnName(cPrninfo);
        iDspfg = 3;
        iYear = 2003;
        keyups_seen = 0;
    }
    void TearDown() override
    {
        DestroyWindow(ghwndMain);
        ghwndMain = nullptr;
        PrintCommand::TearDown();
    }
};

}  // namespace

TEST_F(PrintWithWindow, keys_during_the_job_and_a_cancelled_job_leave_the_window_free)
{
    plat_inject_key(ghwndMain, VK_F9, nullptr);  // pressed while the page is sent
    RKM_CALEN_PRN(nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(keyups_seen, 0);
    EXPECT_TRUE(IsWindowEnabled(ghwndMain));
    EXPECT_NE(cups.wait_for_job_file(1), "");

    PostMessageA(ghwndMain, WM_COMMAND, 503, 0);  // cancelled while the page is sent
    EXPECT_EQ(boxes_while([] { RKM_CALEN_PRN(nullptr); }), 0);  // nothing to report
    EXPECT_EQ(gbAbort, 1);
    EXPECT_FALSE(enabled_when_cancelled);  // the job had the main window disabled
    EXPECT_TRUE(IsWindowEnabled(ghwndMain));
    EXPECT_EQ(cups.jobs_known(), 1);

    // the next F9 opens a new printer device context and prints
    RKM_CALEN_PRN(nullptr);
    EXPECT_EQ(gbAbort, 0);
    EXPECT_NE(cups.wait_for_job_file(2), "");  // the cancelled page never became a job
}
