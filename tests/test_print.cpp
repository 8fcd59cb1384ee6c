// The print command and the four printed layouts, against a private CUPS
// scheduler: what reaches the printer, read back with poppler's tools.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "print/print.h"
#include "state/state.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/program_run.h"
#include "tests/helpers/tempdir.h"

namespace {

const uint32_t WHITE = 0xFFFFFF, PALE_BLUE = 0xFFD0D0;  // 0x00BBGGRR

// The print command's failure message boxes (on standard error, without a
// display) while `run` runs; what it said goes to `text`.
int boxes_while(void (*run)(), std::string* text = nullptr)
{
    testing::internal::CaptureStderr();
    run();
    std::string err = testing::internal::GetCapturedStderr();
    int n = 0;
    for (size_t at = 0; (at = err.find("印刷処理が取り消されました", at)) != std::string::npos; at++)
        n++;
    if (text)
        *text = err;
    return n;
}

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(cups.start()) << cups.error();
        iSetfg = 1, iBcol = WHITE, iNstep = 1, gbAbort = 0, hPhdc = nullptr;
    }
    void TearDown() override { unsetenv("TMPDIR"); }
    PrivateCups cups;
};

}  // namespace

TEST(PrinterName, device_name_is_the_first_field_and_an_empty_one_is_no_printer)
{
    const char* const no_printer = "\x83\x76\x83\x8A\x83\x93\x83\x5E\x81\x5B\x90\xDA\x91\xB1\x96\xB3\x82\xB5";
    const char* const cases[][2] = {
        {"pdfq,CUPS,ipp://localhost/printers/pdfq", "pdfq"}, {"plain", "plain"},
        {",,lead,winspool,LPT1:", "lead"},
        {"\x83\x5C\x83\x74\x83\x67,CUPS,x", "\x83\x5C\x83\x74\x83\x67"},  // ソフト: a 0x5C trail byte
        {"ab\x83,CUPS,x", "ab\x83"},  // a lead byte cut off by a comma does not swallow it
        {"", no_printer}, {",,,", no_printer}};
    char dst[300];
    for (auto& c : cases) {
        prn_device_name(c[0], dst);
        EXPECT_STREQ(dst, c[1]) << c[0];
    }
}

// Each layout printed with F9 is one landscape page titled RKM7500 on the
// printer's paper that shows, dot for dot at the printer's resolution, what
// the screen shows, as large as the printable area takes it and centred
// there. The 600 dpi printer's name is longer than the device mode's 31
// bytes; its paper is A3 by lpadmin, the other's A4 by its driver.
TEST_F(PrintCommand, each_layout_prints_the_screen_drawing_at_the_printers_scale)
{
    struct { int dpi; PaperAreas areas; const char* title; } cases[] = {
        {300, {0, 0, 1024, 768, 6, 5, 1018, 763, false, PALE_BLUE}, "2003年11月"},
        {300, {14, 10, 586, 520, 14, 10, 586, 520, false, PALE_BLUE}, "2003年11月"},
        {600, {10, 10, 256, 200, 10, 10, 256, 200, true, PALE_BLUE}, "2003年11月"},
        {600, {0, 0, 1024, 768, 0, 0, 1023, 767, false, PALE_BLUE}, "2003年12月"},
    };
    const char* const long_name = "Accounting_Floor3_Colour_Laser_Printer_600dpi";
    ASSERT_TRUE(cups.add_queue("pdf300", 300));
    ASSERT_TRUE(cups.add_queue(long_name, 600, false));
    ASSERT_EQ(cups.run_tool(std::string("lpadmin -p ") + long_name + " -o media-default=iso_a3_297x420mm"), 0);
    for (int layout = 0; layout < 4; layout++) {
        const auto& c = cases[layout];
        SCOPED_TRACE("layout " + std::to_string(layout));
        if (layout == 2) {
            ASSERT_EQ(cups.run_tool(std::string("lpadmin -d ") + long_name), 0);
        }
        int status = -1;  // pale blue background, the layout's button, November 2003, F9
        run_command("cd '" + cups.folder() + "' && SDL_VIDEODRIVER=offscreen XDG_CONFIG_HOME=\"$PWD/config\" " RKM_PROGRAM
                    " --snapshot screen.png --replay 'click 870 356; click " +
                        std::to_string(660 + 80 * layout) +
                        " 200; type 2003; key Enter; type 11; key Enter; key F9'", &status);
        EXPECT_EQ(status, 0);
        std::string pdf = cups.wait_for_job_file(layout + 1);
        ASSERT_NE(pdf, "");
        std::string title;  // the job's name in the queue
        std::getline(std::ifstream(cups.folder() + "/out/job-" + std::to_string(layout + 1) + ".title"), title);
        EXPECT_EQ(title, "RKM7500");
        EXPECT_EQ(pdf_field(pdf, "Title"), "RKM7500");
        EXPECT_EQ(pdf_field(pdf, "Pages"), "1");
        EXPECT_EQ(pdf_field(pdf, "Page size"), layout < 2 ? "841.89 x 595.276 pts (A4)" : "1190.55 x 841.89 pts (A3)");
        EXPECT_NE(pdf_text(pdf).find(c.title), std::string::npos);
        std::string fonts = run_command("pdffonts '" + pdf + "'", nullptr);  // embedded subsets
        std::regex subset(R"(yes +yes +(yes|no) +\d+ +\d+\n)");
        long n = std::count(fonts.begin(), fonts.end(), '\n') - 2;
        EXPECT_TRUE(n > 0 && std::distance(std::sregex_iterator(fonts.begin(), fonts.end(), subset),
                                           std::sregex_iterator()) == n) << fonts;
        struct stat st;
        EXPECT_TRUE(stat(pdf.c_str(), &st) == 0 && st.st_size < 100 * 1024);  // rectangles stay rectangles
        // Landscape, the paper's long edges (half an inch) come to the sides.
        const PageFit fit = page_fit(pdf_page_size(pdf), c.dpi, PPD_EDGE_Y, PPD_EDGE_X);
        std::string report;
        EXPECT_EQ(page_unlike_screen(pdf, 1, read_png(cups.folder() + "/screen.png"), fit, c.areas, &report), 0)
            << report;
    }
}

// A month outside 1 to 12 prints the nearest one; before any entry, today's
// month prints in the medium layout. The layouts' resets happen.
TEST(PrintedMonth, nearest_month_and_before_any_entry_todays_month_in_the_medium_layout)
{
    TempDir dir;
    std::time_t now = std::time(nullptr);
    std::tm t = *std::localtime(&now);
    static const char* const months[] = {"１月", "２月", "３月", "４月", "５月", "６月",
                                         "７月", "８月", "９月", "10月", "11月", "12月"};
    const struct { int entered, layout, month; std::string title; } cases[] = {
        {1, 0, 0, "2003年１月"}, {1, 1, 0, "2003年１月"}, {1, 2, 13, "2003年12月"},
        {0, 9, 0, std::to_string(t.tm_year + 1900) + "年" + months[t.tm_mon]}};
    prn_device_name("", cPrninfo);  // no printer: the page goes to the file
    iBcol = PALE_BLUE;
    std::string pdf;
    for (const auto& c : cases) {
        pdf = dir.file(std::to_string(c.layout) + ".pdf");
        prn_set_output_file(pdf.c_str());
        iSetfg = c.entered, iDspfg = c.layout, iYear = 2003, iMont = c.month, iNstep = 1;
        RKM_CALEN_PRN(nullptr);
        EXPECT_EQ(iNstep, 0);
        EXPECT_NE(pdf_text(pdf).find(c.title), std::string::npos) << c.title;
    }
    prn_set_output_file(nullptr);
    Picture page = pdf_page(pdf, 600);  // the medium layout's area, its rule 0 at 53
    const PageFit fit = page_fit(pdf_page_size(pdf), 600);
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page.at(fit.x(20), fit.y(500)), PALE_BLUE);
    EXPECT_EQ(page.at(fit.x(700), fit.y(300)), WHITE);
    EXPECT_EQ(page.at(fit.x(53), fit.y(300)), 0xC0C0C0u);
}

// Ctrl+P and the 印刷 key of the bar print what F9 prints.
TEST(PrintedMonth, ctrl_p_and_the_bars_print_key_print_as_f9)
{
    TempDir dir;
    for (const std::string keys : {"key Ctrl+P", "click 740 700"}) {
        const std::string pdf = dir.file(keys.substr(0, 3) + ".pdf");
        ProgramRun run = run_program("type 2003; key Enter; type 5; key Enter; " + keys, {"--print-to", pdf});
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(pdf_text(pdf).find("2003年５月"), std::string::npos) << keys;
    }
}

// No default printer, with or without a print service: ten attempts, each
// reported; a printer rejecting the job or a scheduler gone: one report with
// the reason. No job, page or temporary file is left; the resets happen.
TEST_F(PrintCommand, failures_say_why_and_leave_nothing_behind)
{
    const char* const reasons[] = {"", "not accepting", "cannot reach the print service", ""};
    std::string tmp = cups.folder() + "/tmpdir";  // TMPDIR, for the failures to leave nothing in
    ASSERT_EQ(mkdir(tmp.c_str(), 0700), 0);
    setenv("TMPDIR", tmp.c_str(), 1);
    for (int step = 0; step < 4; step++) {
        if (step == 1) {
            ASSERT_TRUE(cups.add_queue("pdfq", 300) && cups.run_tool("cupsreject pdfq") == 0);
        }
        if (step == 2)
            cups.stop();  // the default printer's name was read before
        else
            GetPrnName(cPrninfo);
        iDspfg = step, iNstep = 1;
        std::string text;
        EXPECT_EQ(boxes_while([] { EXPECT_EQ(RKM_CALEN_PRN(nullptr), 0); }, &text),
                  step == 1 || step == 2 ? 1 : 10) << step;
        EXPECT_NE(text.find(reasons[step]), std::string::npos) << text;
        EXPECT_EQ(iNstep, 0);
        EXPECT_EQ(hPhdc, nullptr);
        EXPECT_TRUE(cups.output_files().empty());
        EXPECT_TRUE(files_in(tmp).empty());
        EXPECT_EQ(cups.jobs_known(), step < 2 ? 0 : -1);
    }
}

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
}

namespace {

int keyups_seen;
BOOL enabled_when_cancelled = TRUE;

LRESULT main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    keyups_seen += message == WM_KEYUP;
    if (message == WM_COMMAND) {  // the abort window's cancel control, as if clicked
        enabled_when_cancelled = IsWindowEnabled(ghwndMain);
        return AbortDlgProc(window, message, wparam, lparam);
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

// The main window is disabled while the abort procedure pumps messages: a key
// pressed during the job does nothing, a cancel leaves no job, either way the
// window is enabled again.
TEST_F(PrintCommand, keys_during_the_job_and_a_cancelled_job_leave_the_window_free)
{
    plat_set_display(PLAT_DISPLAY_OFFSCREEN);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = main_window_proc, wc.lpszClassName = "PrintTest";
    RegisterClassA(&wc);
    ghwndMain = CreateWindowExA(0, "PrintTest", "Calendar", WS_OVERLAPPEDWINDOW, 0, 0, 1024, 768,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(ghwndMain, nullptr) << plat_window_error();
    ASSERT_TRUE(cups.add_queue("pdfq", 300));
    GetPrnName(cPrninfo);
    iDspfg = 3, iYear = 2003;
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
    EXPECT_FALSE(enabled_when_cancelled);
    EXPECT_TRUE(IsWindowEnabled(ghwndMain));
    EXPECT_EQ(cups.jobs_known(), 1);

    RKM_CALEN_PRN(nullptr);  // the next F9 opens a new printer device context and prints
    EXPECT_EQ(gbAbort, 0);
    EXPECT_NE(cups.wait_for_job_file(2), "");  // the cancelled page never became a job
    DestroyWindow(ghwndMain);
    ghwndMain = nullptr;
}
