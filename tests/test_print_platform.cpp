// The print calls of the platform layer against a private CUPS scheduler:
// the default printer, device modes, printer device contexts, jobs, files
// and failures.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/windows.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/pdf.h"

namespace {

const std::string LONG_NAME = "Accounting_Floor3_Colour_Laser_Printer_Duplex_A4";  // 49 bytes

class PrintPlatform : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(cups.start()) << cups.error();
        ASSERT_TRUE(cups.add_queue("pdfq", 600)) << "lpadmin failed";
    }

    // A landscape printer DC from the printer's own settings.
    HDC landscape_dc(const std::string& name)
    {
        HANDLE printer = nullptr;
        char* n = const_cast<char*>(name.c_str());
        if (!OpenPrinterA(n, &printer, nullptr))
            return nullptr;
        DEVMODEA dm;
        EXPECT_EQ(DocumentPropertiesA(nullptr, printer, n, &dm, nullptr, DM_OUT_BUFFER), IDOK);
        ClosePrinter(printer);
        dm.dmOrientation = DMORIENT_LANDSCAPE;
        return CreateDCA("WINSPOOL", name.c_str(), nullptr, &dm);
    }

    // One page with a filled rectangle, as a document named RKM7500.
    int print_page(HDC dc, const char* output = nullptr)
    {
        DOCINFOA doc = {sizeof(DOCINFOA), "RKM7500", output, nullptr, 0};
        if (StartDocA(dc, &doc) <= 0)
            return SP_ERROR;
        StartPage(dc);
        RECT r = {100, 100, 1000, 600};
        HBRUSH brush = CreateSolidBrush(0x0000FF);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPage(dc);
        return EndDoc(dc);
    }

    PrivateCups cups;
};


int abort_calls;
BOOL count_and_go_on(HDC, int)
{
    abort_calls++;
    return TRUE;
}
BOOL cancel(HDC, int)
{
    return FALSE;
}
BOOL cancel_after_the_page(HDC, int)  // the page ends, then the user cancels while it is sent
{
    return ++abort_calls == 1;
}

}  // namespace

/* The profile entry of the default printer */

TEST_F(PrintPlatform, device_entry_is_the_default_destination_name_cups_and_uri)
{
    char buf[300];
    DWORD n = GetProfileStringA("windows", "device", "none", buf, sizeof buf);
    EXPECT_EQ(std::string(buf), "pdfq,CUPS,pdffile:" + cups.folder() + "/out");
    EXPECT_EQ(n, std::strlen(buf));

    // cut to the buffer, always terminated
    char small[5];
    EXPECT_EQ(GetProfileStringA("windows", "device", "none", small, sizeof small), 4u);
    EXPECT_STREQ(small, "pdfq");
    // any other entry is missing
    GetProfileStringA("windows", "load", "dflt", buf, sizeof buf);
    EXPECT_STREQ(buf, "dflt");
}

TEST_F(PrintPlatform, no_default_destination_or_no_scheduler_gives_the_default_text)
{
    char buf[80];
    ASSERT_EQ(cups.run_tool("lpadmin -x pdfq"), 0);
    ASSERT_TRUE(cups.add_queue("other", 600, false));
    GetProfileStringA("windows", "device", "none", buf, sizeof buf);
    EXPECT_STREQ(buf, "none");

    cups.stop();
    GetProfileStringA("windows", "device", "none", buf, sizeof buf);
    EXPECT_STREQ(buf, "none");
}

/* Printers and device modes */

TEST_F(PrintPlatform, device_mode_carries_the_printers_resolution_paper_and_portrait)
{
    ASSERT_TRUE(cups.add_queue("letter300", 300, false, "Letter"));
    HANDLE printer = nullptr;
    char name[] = "letter300";
    ASSERT_TRUE(OpenPrinterA(name, &printer, nullptr));
    LONG size = DocumentPropertiesA(nullptr, printer, name, nullptr, nullptr, 0);
    ASSERT_GE(size, (LONG)sizeof(DEVMODEA));
    DEVMODEA dm;
    ASSERT_EQ(DocumentPropertiesA(nullptr, printer, name, &dm, nullptr, DM_OUT_BUFFER), IDOK);
    EXPECT_STREQ(reinterpret_cast<char*>(dm.dmDeviceName), "letter300");
    EXPECT_EQ(dm.dmSize, sizeof(DEVMODEA));
    EXPECT_TRUE(dm.dmFields & DM_ORIENTATION);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(dm.dmPrintQuality, 300);
    EXPECT_EQ(dm.dmYResolution, 300);
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_LETTER);
    EXPECT_EQ(dm.dmPaperWidth, 2159);
    EXPECT_EQ(dm.dmPaperLength, 2794);
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_FALSE(ClosePrinter(printer));
    EXPECT_LT(DocumentPropertiesA(nullptr, printer, name, nullptr, nullptr, 0), 0);
}

TEST_F(PrintPlatform, unknown_and_impossible_printer_names_do_not_open)
{
    HANDLE printer = reinterpret_cast<HANDLE>(1);
    char unknown[] = "nosuchprinter";
    EXPECT_FALSE(OpenPrinterA(unknown, &printer, nullptr));
    EXPECT_EQ(printer, nullptr);
    char none[] = "\x83\x76\x83\x8A\x83\x93\x83\x5E\x81\x5B\x90\xDA\x91\xB1\x96\xB3\x82\xB5";
    EXPECT_FALSE(OpenPrinterA(none, &printer, nullptr));
    char empty[] = "";
    EXPECT_FALSE(OpenPrinterA(empty, &printer, nullptr));
    EXPECT_EQ(CreateDCA("WINSPOOL", "nosuchprinter", nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateDCA("DISPLAY", "pdfq", nullptr, nullptr), nullptr);
}

TEST_F(PrintPlatform, long_names_keep_31_bytes_in_the_record_and_the_full_name_opens)
{
    ASSERT_TRUE(cups.add_queue(LONG_NAME, 600, false));
    HANDLE printer = nullptr;
    char* name = const_cast<char*>(LONG_NAME.c_str());
    ASSERT_TRUE(OpenPrinterA(name, &printer, nullptr));
    DEVMODEA dm;
    DocumentPropertiesA(nullptr, printer, name, &dm, nullptr, DM_OUT_BUFFER);
    ClosePrinter(printer);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dm.dmDeviceName)), LONG_NAME.substr(0, 31));
    EXPECT_EQ(CreateDCA("WINSPOOL", reinterpret_cast<char*>(dm.dmDeviceName), nullptr, &dm), nullptr);
    HDC dc = CreateDCA("WINSPOOL", name, nullptr, &dm);
    ASSERT_NE(dc, nullptr);
    EXPECT_GT(print_page(dc), 0) << plat_print_error();
    DeleteDC(dc);
    EXPECT_NE(cups.wait_for_job_file(1), "");
}

/* Printer device contexts and jobs */

TEST_F(PrintPlatform, landscape_page_is_one_job_titled_with_the_document_name)
{
    HDC dc = landscape_dc("pdfq");
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 600);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 7015);  // 297 mm at 600 dpi
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 4960);  // 210 mm
    abort_calls = 0;
    SetAbortProc(dc, count_and_go_on);
    EXPECT_GT(print_page(dc), 0) << plat_print_error();
    EXPECT_GT(abort_calls, 0);
    EXPECT_TRUE(DeleteDC(dc));

    std::string pdf = cups.wait_for_job_file(1);
    ASSERT_NE(pdf, "");
    EXPECT_EQ(cups.job_title(1), "RKM7500");
    std::string info = pdf_info(pdf);
    EXPECT_EQ(pdf_field(info, "Pages"), "1") << info;
    EXPECT_EQ(pdf_field(info, "Page size"), "841.89 x 595.276 pts (A4)") << info;
    EXPECT_EQ(cups.jobs_known(), 1);
}

TEST_F(PrintPlatform, output_file_needs_no_print_service)
{
    cups.stop(true);
    std::string file = cups.folder() + "/page.pdf";
    HDC dc = landscape_dc(PLAT_PDF_FILE_PRINTER);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_GT(print_page(dc, file.c_str()), 0);
    DeleteDC(dc);
    std::string info = pdf_info(file);
    EXPECT_EQ(pdf_field(info, "Pages"), "1") << info;
    EXPECT_EQ(pdf_field(info, "Title"), "RKM7500") << info;
    run_command("rm -rf '" + cups.folder() + "'", nullptr);

    // the file printer has nowhere else to send a page
    dc = landscape_dc(PLAT_PDF_FILE_PRINTER);
    DOCINFOA doc = {sizeof(DOCINFOA), "RKM7500", nullptr, nullptr, 0};
    EXPECT_EQ(StartDocA(dc, &doc), SP_ERROR);
    EXPECT_STRNE(plat_print_error(), "");
    DeleteDC(dc);
}

/* Failures: reported, and nothing left behind */

TEST_F(PrintPlatform, rejecting_printer_fails_with_the_services_reason)
{
    ASSERT_TRUE(cups.reject("pdfq"));
    HDC dc = landscape_dc("pdfq");
    ASSERT_NE(dc, nullptr);
    EXPECT_LE(print_page(dc), 0);
    EXPECT_NE(std::string(plat_print_error()).find("not accepting"), std::string::npos)
        << plat_print_error();
    DeleteDC(dc);
    EXPECT_EQ(cups.jobs_known(), 0);
    EXPECT_TRUE(cups.output_files().empty());
}

TEST_F(PrintPlatform, stopped_scheduler_fails_the_job_with_a_reason)
{
    HDC dc = landscape_dc("pdfq");
    ASSERT_NE(dc, nullptr);
    cups.stop(true);
    EXPECT_LE(print_page(dc), 0);
    EXPECT_NE(std::string(plat_print_error()).find("cannot reach the print service"),
              std::string::npos)
        << plat_print_error();
    DeleteDC(dc);
    EXPECT_TRUE(cups.output_files().empty());
    run_command("rm -rf '" + cups.folder() + "'", nullptr);
}

TEST_F(PrintPlatform, cancelled_documents_leave_no_job_and_no_file)
{
    // the abort procedure says stop while the page is sent
    HDC dc = landscape_dc("pdfq");
    SetAbortProc(dc, cancel);
    EXPECT_LE(print_page(dc), 0);
    DeleteDC(dc);
    // ... or once the page is complete, while it is being sent
    abort_calls = 0;
    dc = landscape_dc("pdfq");
    SetAbortProc(dc, cancel_after_the_page);
    EXPECT_EQ(print_page(dc), SP_USERABORT);
    EXPECT_EQ(abort_calls, 2);
    DeleteDC(dc);
    // AbortDoc in the middle of the page
    dc = landscape_dc("pdfq");
    DOCINFOA doc = {sizeof(DOCINFOA), "RKM7500", nullptr, nullptr, 0};
    ASSERT_GT(StartDocA(dc, &doc), 0);
    StartPage(dc);
    EXPECT_GT(AbortDoc(dc), 0);
    EXPECT_LE(EndPage(dc), 0);
    EXPECT_LE(EndDoc(dc), 0);
    DeleteDC(dc);
    // a DC deleted with its document open
    dc = landscape_dc("pdfq");
    ASSERT_GT(StartDocA(dc, &doc), 0);
    StartPage(dc);
    DeleteDC(dc);
    // a cancelled file leaves no file
    std::string file = cups.folder() + "/cancelled.pdf";
    dc = landscape_dc("pdfq");
    SetAbortProc(dc, cancel);
    EXPECT_LE(print_page(dc, file.c_str()), 0);
    DeleteDC(dc);
    struct stat st;
    EXPECT_NE(stat(file.c_str(), &st), 0);

    EXPECT_EQ(cups.jobs_known(), 0);
    EXPECT_TRUE(cups.output_files().empty());
}

TEST_F(PrintPlatform, file_that_cannot_be_written_is_a_failure)
{
    HDC dc = landscape_dc("pdfq");
    EXPECT_LE(print_page(dc, "/nonexistent/folder/page.pdf"), 0);
    EXPECT_NE(std::string(plat_print_error()).find("/nonexistent/folder/page.pdf"),
              std::string::npos);
    DeleteDC(dc);
    EXPECT_EQ(cups.jobs_known(), 0);
}

TEST(PrintPlatformAlone, documents_need_a_printer_dc)
{
    DOCINFOA doc = {sizeof(DOCINFOA), "RKM7500", nullptr, nullptr, 0};
    EXPECT_EQ(StartDocA(nullptr, &doc), SP_ERROR);
    EXPECT_EQ(EndDoc(nullptr), SP_ERROR);
    EXPECT_EQ(SetAbortProc(nullptr, cancel), SP_ERROR);
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_EQ(StartDocA(memory, &doc), SP_ERROR);
    DeleteDC(memory);
}

/* Dialogs and system menus */

TEST(Dialogs, missing_template_gives_no_dialog_and_no_dialog_messages)
{
    EXPECT_EQ(CreateDialogParamA(nullptr, "Abort", nullptr, nullptr, 0), nullptr);
    MSG msg = {};
    EXPECT_FALSE(IsDialogMessageA(nullptr, &msg));
}

TEST(Dialogs, close_item_of_the_system_menu_can_be_greyed)
{
    HWND window = reinterpret_cast<HWND>(0x1234);  // menus are kept per window handle
    HMENU menu = GetSystemMenu(window, FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetSystemMenu(window, FALSE), menu);
    EXPECT_EQ(EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED), (BOOL)MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED), (BOOL)MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(menu, 0x1, MF_BYCOMMAND), -1);
    EXPECT_EQ(GetSystemMenu(nullptr, FALSE), nullptr);
    EXPECT_EQ(EnableMenuItem(nullptr, SC_CLOSE, MF_GRAYED), -1);
}
