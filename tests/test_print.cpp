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

TEST_F(PrintCommand, year_page_is_one_landscape_page_with_embedded_subset_fonts)
{
    iBcol = TINT;
    std::string pdf = print(300, 3, 2003, 0);
    ASSERT_NE(pdf, "");
    EXPECT_EQ(cups.job_title(1), "RKM7500");
    struct stat st;
    ASSERT_EQ(stat(pdf.c_str(), &st), 0);
    EXPECT_LT(st.st_size, 100 * 1024);  // shapes stay rectangles, fonts are subsets
    std::string info = pdf_info(pdf);
    EXPECT_EQ(pdf_field(info, "Pages"), "1");
    EXPECT_EQ(pdf_field(info, "Page size"), "841.89 x 595.276 pts (A4)");
    std::string text = pdf_text(pdf);
    for (const char* word : {"2003年１月", "2003年９月", "2003年12月", "日", "土"})
        EXPECT_NE(text.find(word), std::string::npos) << word << "\n" << text;
    EXPECT_TRUE(fonts_embedded_as_subsets(pdf_fonts(pdf)));

    PdfPage page = pdf_page(pdf, 300);
    ASSERT_GT(page.width, page.height);
    auto at = [](int u) { return dots(u, 300); };
    EXPECT_EQ(page.pixel(at(5), at(5)), (uint32_t)TINT);        // iBcol over the canvas
    EXPECT_EQ(page.pixel(at(1015), at(700)), (uint32_t)TINT);
    // January: title in blue, 5 January (a Sunday) red, 1 January a holiday
    EXPECT_TRUE(page.has_colour(at(80), at(60), at(200), at(78), BLUE, 8));
    EXPECT_TRUE(page.has_colour(at(30), at(124), at(54), at(144), RED, 8));
    EXPECT_TRUE(page.has_colour(at(120), at(100), at(144), at(120), HOLIDAY, 8));
    EXPECT_TRUE(page.has_colour(at(210), at(100), at(234), at(120), SATURDAY, 8));  // 4 Jan
    // days off are boxed: 1 January (holiday) yes, 2 January (Thursday) no
    EXPECT_EQ(page.pixel(at(119), at(110)), 0x000000u);
    EXPECT_EQ(page.pixel(at(149), at(110)), (uint32_t)TINT);
    EXPECT_EQ(iNstep, 0);
}

TEST_F(PrintCommand, large_month_fills_the_page_with_grooves_at_scaled_positions)
{
    iBcol = TINT;
    std::string pdf = print(600, 0, 2003, 11);
    ASSERT_NE(pdf, "");
    std::string text = pdf_text(pdf);
    for (const char* word : {"2003年11月", "日", "月", "火", "水", "木", "金", "土"})
        EXPECT_NE(text.find(word), std::string::npos) << word << "\n" << text;

    // only the parts of the page checked, rendered at the printer's 600 dpi
    auto at = [](int u) { return dots(u, 600); };
    auto area = [&](int x1, int y1, int x2, int y2) {
        return pdf_area(pdf, 600, at(x1), at(y1), at(x2) - at(x1) + 1, at(y2) - at(y1) + 1);
    };
    auto has = [&](int x1, int y1, int x2, int y2, uint32_t colour) {
        return area(x1, y1, x2, y2).has_colour(at(x1), at(y1), at(x2), at(y2), colour, 8);
    };
    EXPECT_EQ(area(0, 0, 5, 5).pixel(at(2), at(2)), (uint32_t)TINT);
    EXPECT_EQ(area(1015, 755, 1023, 760).pixel(at(1020), at(758)), (uint32_t)TINT);
    // vertical rule 0: dark edges at units 20 and 22, light centre at 21
    PdfPage rule = area(15, 395, 30, 405);
    int y = at(400);
    EXPECT_EQ(rule.pixel(at(20), y), 0x404040u);
    EXPECT_EQ(rule.pixel(at(21), y), 0xC0C0C0u);
    EXPECT_EQ(rule.pixel(at(22), y), 0x404040u);
    EXPECT_EQ(rule.pixel(at(21) - 2, y), (uint32_t)TINT);
    EXPECT_EQ(rule.pixel(at(20) + 2, y), (uint32_t)TINT);
    EXPECT_TRUE(has(380, 10, 700, 45, BLUE));    // the title
    EXPECT_TRUE(has(5, 208, 60, 240, RED));      // Sunday 2 November: column 0, row 1
    EXPECT_TRUE(has(145, 208, 200, 240, HOLIDAY));  // Culture Day, placed with a = 5
    EXPECT_TRUE(has(170, 502, 230, 534, RED));   // 24th: substitute for Sunday the 23rd
}

TEST_F(PrintCommand, medium_month_of_the_today_state_and_small_month_fill_only_their_area)
{
    // before any entry: today's month, in the medium layout while iDspfg is 9
    iSetfg = 0;
    iBcol = TINT;
    std::string medium = print(300, 9, 0, 0);
    iSetfg = 1;
    std::string small = print(300, 2, 2003, 3);
    ASSERT_NE(medium, "");
    ASSERT_NE(small, "");
    std::time_t now = std::time(nullptr);
    std::tm t = *std::localtime(&now);
    static const char* const months[] = {"１月", "２月", "３月", "４月", "５月", "６月",
                                         "７月", "８月", "９月", "10月", "11月", "12月"};
    std::string title = std::to_string(t.tm_year + 1900) + "年" + months[t.tm_mon];
    EXPECT_NE(pdf_text(medium).find(title), std::string::npos) << title;
    EXPECT_NE(pdf_text(small).find("2003年３月"), std::string::npos);
    auto at = [](int u) { return dots(u, 300); };
    PdfPage page = pdf_page(medium, 300);
    EXPECT_EQ(page.pixel(at(20), at(500)), (uint32_t)TINT);
    EXPECT_EQ(page.pixel(at(700), at(300)), 0xFFFFFFu);
    EXPECT_EQ(page.pixel(at(20), at(600)), 0xFFFFFFu);
    EXPECT_EQ(page.pixel(at(53), at(300)), 0xC0C0C0u);  // centre of vertical rule 0
    page = pdf_page(small, 300);
    EXPECT_EQ(page.pixel(at(12), at(198)), (uint32_t)TINT);
    EXPECT_EQ(page.pixel(at(300), at(100)), 0xFFFFFFu);
    EXPECT_EQ(page.pixel(at(500), at(500)), 0xFFFFFFu);
    // 21 March 2003, the spring equinox, a Friday: column 5, row 3
    EXPECT_TRUE(page.has_colour(at(180), at(122), at(204), at(142), HOLIDAY, 8));
}

TEST_F(PrintCommand, months_outside_1_to_12_print_the_nearest_month)
{
    EXPECT_NE(pdf_text(print(300, 0, 2003, 0)).find("2003年１月"), std::string::npos);
    EXPECT_NE(pdf_text(print(300, 1, 2003, 0)).find("2003年１月"), std::string::npos);
    EXPECT_NE(pdf_text(print(300, 2, 2003, 13)).find("2003年12月"), std::string::npos);
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
TEST_F(PrintCommand, program_prints_every_layout_through_f9_at_300_and_600_dpi)
{
    const int title_x[] = {380, 190, 80, 80}, title_y[] = {10, 30, 10, 60};
    const char* const long_name = "Accounting_Floor3_Colour_Laser_Printer_600dpi";
    int job = 0;
    for (int dpi : {300, 600}) {
        ASSERT_TRUE(cups.add_queue(dpi == 300 ? "pdf300" : long_name, dpi));
        for (int layout = 0; layout < 4; layout++) {
            SCOPED_TRACE("layout " + std::to_string(layout) + " at " + std::to_string(dpi));
            int status = -1;
            run_program_in(cups.folder(), "--replay '" + f9_replay(layout) + "'", &status);
            EXPECT_EQ(status, 0);
            std::string pdf = cups.wait_for_job_file(++job);
            ASSERT_NE(pdf, "");
            EXPECT_EQ(cups.job_title(job), "RKM7500");
            EXPECT_NE(pdf_text(pdf).find(layout == 3 ? "2003年１月" : "2003年11月"),
                      std::string::npos);
            // the title in blue where the layout puts it at this resolution
            int x = dots(title_x[layout], dpi), y = dots(title_y[layout], dpi);
            int w = dots(110, dpi), h = dots(20, dpi);
            PdfPage title = pdf_area(pdf, dpi, x, y, w, h);
            EXPECT_TRUE(title.has_colour(x, y, x + w - 1, y + h - 1, BLUE, 8));
        }
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
