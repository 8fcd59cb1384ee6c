// The print command and the four printed layouts, against a private CUPS
// scheduler: what reaches the printer, read back with poppler's tools.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <functional>
#include <iterator>
#include <sstream>
#include <vector>
#include <string>

#include "app/state.h"
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
        if (n < 2 || line.empty())  // the heading and its rule
            continue;
        std::istringstream words(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
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
        mkdir(tmp.c_str(), 0700);
        setenv("TMPDIR", tmp.c_str(), 1);
        return tmp;
    }

    PrivateCups cups;
    int jobs = 0;
};

bool folder_empty(const std::string& path)
{
    DIR* d = opendir(path.c_str());
    int n = 0;
    while (dirent* e = d ? readdir(d) : nullptr)
        n += std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0;
    if (d)
        closedir(d);
    return d && n == 0;
}

}  // namespace

/* The default printer's name */

TEST(PrinterName, device_name_is_the_first_field_of_the_profile_entry)
{
    char dst[300];
    prn_device_name("pdfq,CUPS,ipp://localhost/printers/pdfq", dst);
    EXPECT_STREQ(dst, "pdfq");
    prn_device_name("plain", dst);
    EXPECT_STREQ(dst, "plain");
    prn_device_name(",,lead,winspool,LPT1:", dst);
    EXPECT_STREQ(dst, "lead");
    // Shift-JIS names come through whole, ソ's second byte a backslash
    prn_device_name("\x83\x5C\x83\x74\x83\x67,CUPS,x", dst);  // ソフト
    EXPECT_STREQ(dst, "\x83\x5C\x83\x74\x83\x67");
    // a lead byte cut off by a comma does not swallow it
    prn_device_name("ab\x83,CUPS,x", dst);
    EXPECT_STREQ(dst, "ab\x83");
}

TEST(PrinterName, empty_or_comma_only_entry_is_no_printer)
{
    char dst[300];
    prn_device_name("", dst);
    EXPECT_STREQ(dst, NO_PRINTER);
    prn_device_name(",,,", dst);
    EXPECT_STREQ(dst, NO_PRINTER);
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
    for (const char* title : {"2003年１月", "2003年９月", "2003年12月"})
        EXPECT_NE(text.find(title), std::string::npos) << title << "\n" << text;
    EXPECT_NE(text.find("日"), std::string::npos);
    EXPECT_NE(text.find("土"), std::string::npos);
    EXPECT_TRUE(fonts_embedded_as_subsets(pdf_fonts(pdf)));

    PdfPage page = pdf_page(pdf, 300);
    ASSERT_GT(page.width, page.height);
    auto at = [](int u) { return dots(u, 300); };
    EXPECT_EQ(page.pixel(at(5), at(5)), (uint32_t)TINT);        // iBcol over the canvas
    EXPECT_EQ(page.pixel(at(1015), at(700)), (uint32_t)TINT);
    EXPECT_EQ(page.pixel(at(10), at(300)), 0x404040u);          // grid line
    EXPECT_EQ(page.pixel(at(510), at(45)), 0x404040u);
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
    EXPECT_NE(text.find("2003年11月"), std::string::npos) << text;
    for (const char* day : {"日", "月", "火", "水", "木", "金", "土"})
        EXPECT_NE(text.find(day), std::string::npos) << day;

    auto at = [](int u) { return dots(u, 600); };
    // the parts of the page checked, rendered at the printer's 600 dpi
    auto area = [&](int x1, int y1, int x2, int y2) {
        return pdf_area(pdf, 600, at(x1), at(y1), at(x2) - at(x1) + 1, at(y2) - at(y1) + 1);
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
    // title blue at (380, 10); Sunday 2 November (day 2, column 0, row 1) red
    EXPECT_TRUE(area(380, 10, 700, 45).has_colour(at(380), at(10), at(700), at(45), BLUE, 8));
    EXPECT_TRUE(area(5, 208, 60, 240).has_colour(at(5), at(208), at(60), at(240), RED, 8));
    // 3 November, Culture Day, a Monday: holiday colour, placed with a = 5
    EXPECT_TRUE(
        area(145, 208, 200, 240).has_colour(at(145), at(208), at(200), at(240), HOLIDAY, 8));
    // 23 November falls on a Sunday: the 24th is a red substitute holiday
    EXPECT_TRUE(area(170, 502, 230, 534).has_colour(at(170), at(502), at(230), at(534), RED, 8));
}

TEST_F(PrintCommand, medium_and_small_months_fill_only_their_own_area)
{
    iBcol = TINT;
    std::string medium = print(300, 1, 2004, 1), small = print(300, 2, 2003, 3);
    ASSERT_NE(medium, "");
    ASSERT_NE(small, "");
    EXPECT_NE(pdf_text(medium).find("2004年１月"), std::string::npos);
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

/* Months outside the table and the today state */

TEST_F(PrintCommand, months_outside_1_to_12_print_the_nearest_month)
{
    EXPECT_NE(pdf_text(print(300, 0, 2003, 0)).find("2003年１月"), std::string::npos);
    EXPECT_NE(pdf_text(print(300, 1, 2003, 0)).find("2003年１月"), std::string::npos);
    EXPECT_NE(pdf_text(print(300, 2, 2003, 13)).find("2003年12月"), std::string::npos);
}

TEST_F(PrintCommand, before_any_entry_the_page_shows_todays_month_in_the_medium_layout)
{
    iSetfg = 0;
    iBcol = TINT;
    std::string pdf = print(300, 9, 0, 0);
    ASSERT_NE(pdf, "");
    std::time_t now = std::time(nullptr);
    std::tm t = *std::localtime(&now);
    static const char* const months[] = {"１月", "２月", "３月", "４月", "５月", "６月",
                                         "７月", "８月", "９月", "10月", "11月", "12月"};
    std::string title = std::to_string(t.tm_year + 1900) + "年" + months[t.tm_mon];
    EXPECT_NE(pdf_text(pdf).find(title), std::string::npos) << title;
    PdfPage page = pdf_page(pdf, 300);  // the medium layout's area, not the whole page
    EXPECT_EQ(page.pixel(dots(20, 300), dots(500, 300)), (uint32_t)TINT);
    EXPECT_EQ(page.pixel(dots(700, 300), dots(300, 300)), 0xFFFFFFu);
}

/* Failures */

TEST_F(PrintCommand, no_default_printer_shows_the_message_ten_times_and_prints_nothing)
{
    GetPrnName(cPrninfo);
    ASSERT_STREQ(cPrninfo, NO_PRINTER);
    iDspfg = 3;
    iNstep = 1;
    std::string tmp = private_tmp();
    EXPECT_EQ(boxes_while([] { EXPECT_EQ(RKM_CALEN_PRN(nullptr), 0); }), 10);
    EXPECT_TRUE(folder_empty(tmp));
    EXPECT_EQ(iNstep, 0);  // the layout's resets still happen
    EXPECT_EQ(hPhdc, nullptr);
    EXPECT_EQ(cups.jobs_known(), 0);
    // and the next F9 behaves the same, with or without a print service
    EXPECT_EQ(boxes_while([] { RKM_CALEN_PRN(nullptr); }), 10);
    cups.stop();
    GetPrnName(cPrninfo);
    ASSERT_STREQ(cPrninfo, NO_PRINTER);
    EXPECT_EQ(boxes_while([] { RKM_CALEN_PRN(nullptr); }), 10);
}

TEST_F(PrintCommand, rejecting_printer_gives_one_message_with_the_reason)
{
    ASSERT_TRUE(cups.add_queue("pdfq", 300));
    ASSERT_TRUE(cups.reject("pdfq"));
    GetPrnName(cPrninfo);
    iDspfg = 3;
    std::string tmp = private_tmp();
    std::string text;
    EXPECT_EQ(boxes_while([] { RKM_CALEN_PRN(nullptr); }, &text), 1);
    EXPECT_NE(text.find("not accepting"), std::string::npos) << text;
    EXPECT_EQ(cups.jobs_known(), 0);
    EXPECT_TRUE(cups.output_files().empty());
    EXPECT_TRUE(folder_empty(tmp));
}

TEST_F(PrintCommand, stopped_scheduler_gives_one_message_with_the_reason)
{
    ASSERT_TRUE(cups.add_queue("pdfq", 300));
    GetPrnName(cPrninfo);
    cups.stop(true);
    iDspfg = 0;
    std::string tmp = private_tmp();
    std::string text;
    EXPECT_EQ(boxes_while([] { RKM_CALEN_PRN(nullptr); }, &text), 1);
    EXPECT_NE(text.find("cannot reach the print service"), std::string::npos) << text;
    EXPECT_TRUE(cups.output_files().empty());
    EXPECT_TRUE(folder_empty(tmp));
    cups.stop();
}

TEST_F(PrintCommand, long_printer_name_still_prints)
{
    const std::string name = "Accounting_Floor3_Colour_Laser_Printer_Duplex_A4_Tray2";
    ASSERT_TRUE(cups.add_queue(name, 300));
    GetPrnName(cPrninfo);
    ASSERT_EQ(std::string(cPrninfo), name);
    iDspfg = 1;
    EXPECT_EQ(boxes_while([] { RKM_CALEN_PRN(nullptr); }), 0);
    EXPECT_NE(cups.wait_for_job_file(1), "");
}

TEST_F(PrintCommand, print_to_file_needs_no_print_service)
{
    cups.stop(true);
    std::string file = cups.folder() + "/page.pdf";
    std::strcpy(cPrninfo, NO_PRINTER);
    prn_set_output_file(file.c_str());
    iDspfg = 3;
    iYear = 2003;
    EXPECT_EQ(boxes_while([] { RKM_CALEN_PRN(nullptr); }), 0);
    std::string info = pdf_info(file);
    EXPECT_EQ(pdf_field(info, "Pages"), "1") << info;
    EXPECT_EQ(pdf_field(info, "Title"), "RKM7500");
    EXPECT_NE(pdf_text(file).find("2003年12月"), std::string::npos);
    cups.stop();
}

/* Cancelling from the abort window */

TEST_F(PrintCommand, cancel_control_discards_the_document_once)
{
    ASSERT_TRUE(cups.add_queue("pdfq", 300));
    GetPrnName(cPrninfo);
    ASSERT_EQ(RKM_PRN_SET1(1), 0);
    RKM_PRN_SET2();
    EXPECT_DOUBLE_EQ(dXdpi, 300 / 92.0);
    ASSERT_GT(StartDocA(hPhdc, &NTdi), 0);
    StartPage(hPhdc);
    RKM_CALEN4_PRN(hPhdc, 2003, 1);
    HWND dialog = reinterpret_cast<HWND>(0x5150);
    EXPECT_EQ(AbortDlgProc(dialog, WM_INITDIALOG, 0, 0), FALSE);
    EXPECT_EQ(ghwndAbort, dialog);
    // the Close item was greyed
    EXPECT_EQ(EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_GRAYED), (BOOL)MF_GRAYED);
    EXPECT_EQ(AbortDlgProc(dialog, WM_COMMAND, 502, 0), FALSE);
    EXPECT_EQ(gbAbort, 0);
    EXPECT_EQ(AbortProc(hPhdc, 0), TRUE);
    EXPECT_EQ(AbortDlgProc(dialog, WM_COMMAND, 503, 0), TRUE);
    EXPECT_EQ(gbAbort, 1);
    EXPECT_EQ(AbortProc(hPhdc, 0), FALSE);
    EXPECT_LE(EndPage(hPhdc), 0);
    EXPECT_LE(EndDoc(hPhdc), 0);
    DeleteDC(hPhdc);
    hPhdc = nullptr;
    EXPECT_EQ(cups.jobs_known(), 0);
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

TEST_F(PrintCommand, program_prints_every_layout_through_f9_at_300_and_600_dpi)
{
    const int title_x[] = {380, 190, 80, 80}, title_y[] = {10, 30, 10, 60};
    int job = 0;
    for (int dpi : {300, 600}) {
        ASSERT_TRUE(cups.add_queue("pdf" + std::to_string(dpi), dpi));
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
    cups.stop(true);
    setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
    int status = -1;
    std::string err = run_program_in(
        cups.folder(), "--replay '" + f9_replay(3) + "' --print-to year.pdf", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err.find(STOP_CAPTION_UTF8), std::string::npos) << err;
    std::string pdf = cups.folder() + "/year.pdf";
    EXPECT_EQ(pdf_field(pdf_info(pdf), "Pages"), "1");
    EXPECT_NE(pdf_text(pdf).find("2003年12月"), std::string::npos);
    cups.stop();
}

TEST_F(PrintCommand, program_without_a_printer_says_so_ten_times_and_goes_on)
{
    int status = -1;
    std::string err = run_program_in(
        cups.folder(), "--replay 'key F9; type 2004; key Enter; type 2; key Enter'", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(stop_boxes(err), 10) << err;
    struct stat st;
    EXPECT_EQ(stat((cups.folder() + "/screen.png").c_str(), &st), 0);  // it went on to the end
    EXPECT_EQ(cups.jobs_known(), 0);
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

TEST_F(PrintWithWindow, cancel_while_the_page_is_sent_prints_nothing_and_frees_the_window)
{
    PostMessageA(ghwndMain, WM_COMMAND, 503, 0);
    EXPECT_EQ(boxes_while([] { RKM_CALEN_PRN(nullptr); }), 0);  // cancelled: nothing to report
    EXPECT_EQ(gbAbort, 1);
    EXPECT_FALSE(enabled_when_cancelled);  // the job had the main window disabled
    EXPECT_TRUE(IsWindowEnabled(ghwndMain));
    EXPECT_EQ(cups.jobs_known(), 0);

    // the next F9 opens a new printer device context and prints
    RKM_CALEN_PRN(nullptr);
    EXPECT_EQ(gbAbort, 0);
    EXPECT_NE(cups.wait_for_job_file(1), "");
}

TEST_F(PrintWithWindow, keys_pressed_during_the_job_do_not_reach_the_main_window)
{
    plat_inject_key(ghwndMain, VK_F9, nullptr);
    RKM_CALEN_PRN(nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(keyups_seen, 0);
    EXPECT_TRUE(IsWindowEnabled(ghwndMain));
    EXPECT_NE(cups.wait_for_job_file(1), "");
    EXPECT_EQ(cups.jobs_known(), 1);
}
