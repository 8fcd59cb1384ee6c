// The print calls of the platform layer against a private CUPS scheduler:
// the default printer, device modes and cancelled jobs. Printing itself and
// its failures are tested with the program.
#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/windows.h"
#include "tests/helpers/cups.h"

namespace {

int abort_calls, cancel_from;  // the abort procedure says stop from call cancel_from on (0: never)
BOOL abort_proc(HDC, int)
{
    return ++abort_calls < cancel_from || cancel_from == 0;
}

class PrintPlatform : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(cups.start()) << cups.error();
        ASSERT_TRUE(cups.add_queue("pdfq", 600)) << "lpadmin failed";
    }

    // The printer's device mode.
    DEVMODEA device_mode(const std::string& name)
    {
        DEVMODEA dm = {};
        HANDLE printer = nullptr;
        char* n = const_cast<char*>(name.c_str());
        EXPECT_TRUE(OpenPrinterA(n, &printer, nullptr)) << name;
        EXPECT_EQ(DocumentPropertiesA(nullptr, printer, n, nullptr, nullptr, 0), (LONG)sizeof dm);
        EXPECT_EQ(DocumentPropertiesA(nullptr, printer, n, &dm, nullptr, DM_OUT_BUFFER), IDOK);
        EXPECT_TRUE(ClosePrinter(printer));
        return dm;
    }

    // A landscape printer DC from the printer's own settings, with the abort
    // procedure set to cancel from call `cancel` on.
    HDC landscape_dc(const std::string& name, int cancel = 0)
    {
        DEVMODEA dm = device_mode(name);
        dm.dmOrientation = DMORIENT_LANDSCAPE;
        HDC dc = CreateDCA("WINSPOOL", name.c_str(), nullptr, &dm);
        abort_calls = 0, cancel_from = cancel;
        SetAbortProc(dc, abort_proc);
        return dc;
    }

    // One page with a filled rectangle, as a document named RKM7500; with
    // `end` false the document is left open in the page.
    int print_page(HDC dc, const char* output = nullptr, bool end = true)
    {
        DOCINFOA doc = {sizeof(DOCINFOA), "RKM7500", output, nullptr, 0};
        if (StartDocA(dc, &doc) <= 0)
            return SP_ERROR;
        StartPage(dc);
        RECT r = {100, 100, 1000, 600};
        FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
        if (!end)
            return 1;
        EndPage(dc);
        return EndDoc(dc);
    }

    PrivateCups cups;
};

}  // namespace

TEST_F(PrintPlatform, device_entry_names_the_default_destination_or_the_callers_default)
{
    char buf[300], small[5];
    DWORD n = GetProfileStringA("windows", "device", "none", buf, sizeof buf);
    EXPECT_EQ(n, std::strlen(buf));
    EXPECT_EQ(std::string(buf), "pdfq,CUPS,pdffile:" + cups.folder() + "/out");
    EXPECT_EQ(GetProfileStringA("windows", "device", "none", small, sizeof small), 4u);
    EXPECT_STREQ(small, "pdfq");  // cut to the buffer, always terminated
    ASSERT_EQ(cups.run_tool("lpadmin -x pdfq"), 0);  // no default destination, then no scheduler
    ASSERT_TRUE(cups.add_queue("other", 600, false));
    for (bool running : {true, false}) {
        if (!running)
            cups.stop();
        GetProfileStringA("windows", "device", "none", buf, sizeof buf);
        EXPECT_STREQ(buf, "none");
    }
}

TEST_F(PrintPlatform, device_mode_carries_resolution_paper_portrait_and_at_most_31_name_bytes)
{
    ASSERT_TRUE(cups.add_queue("letter300", 300, false, "Letter"));
    DEVMODEA dm = device_mode("letter300");
    EXPECT_STREQ(reinterpret_cast<char*>(dm.dmDeviceName), "letter300");
    EXPECT_TRUE(dm.dmFields & DM_ORIENTATION);
    EXPECT_EQ(std::tuple(dm.dmSize, dm.dmOrientation, dm.dmPrintQuality, dm.dmYResolution, dm.dmPaperSize,
                         dm.dmPaperWidth, dm.dmPaperLength),
              std::tuple(sizeof(DEVMODEA), DMORIENT_PORTRAIT, 300, 300, DMPAPER_LETTER, 2159, 2794));

    const std::string long_name = "Accounting_Floor3_Colour_Laser_Printer_Duplex_A4";
    ASSERT_TRUE(cups.add_queue(long_name, 600, false));
    dm = device_mode(long_name);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dm.dmDeviceName)), long_name.substr(0, 31));
    HANDLE printer = reinterpret_cast<HANDLE>(1);
    EXPECT_FALSE(OpenPrinterA(const_cast<char*>("nosuchprinter"), &printer, nullptr));
    EXPECT_EQ(printer, nullptr);
    EXPECT_EQ(CreateDCA("WINSPOOL", "nosuchprinter", nullptr, nullptr), nullptr);
}

// Cancelled by the abort procedure at once (to the queue or to a file) or
// once the page is complete, by AbortDoc in the page, or by deleting the DC
// with the document open: no job and no file is left.
TEST_F(PrintPlatform, cancelled_documents_leave_no_job_and_no_file)
{
    std::string file = cups.folder() + "/cancelled.pdf";
    for (const char* output : {(const char*)nullptr, file.c_str()}) {
        HDC dc = landscape_dc("pdfq", 1);
        EXPECT_LE(print_page(dc, output), 0);
        DeleteDC(dc);
    }
    HDC dc = landscape_dc("pdfq", 2);
    EXPECT_EQ(print_page(dc), SP_USERABORT);
    EXPECT_EQ(abort_calls, 2);
    DeleteDC(dc);
    for (bool abort_doc : {true, false}) {
        dc = landscape_dc("pdfq");
        ASSERT_GT(print_page(dc, nullptr, false), 0);
        EXPECT_EQ(GetPixel(dc, 200, 200), CLR_INVALID) << "a page cannot be read";
        EXPECT_FALSE(ExtFloodFill(dc, 200, 200, 0, FLOODFILLBORDER));
        if (abort_doc) {
            EXPECT_GT(AbortDoc(dc), 0);
            EXPECT_LE(EndPage(dc), 0);
            EXPECT_LE(EndDoc(dc), 0);
        }
        DeleteDC(dc);
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(cups.jobs_known(), 0);
    EXPECT_TRUE(cups.output_files().empty());
}

// The printers the service offers, the default marked; the papers a printer's
// driver lists, as their names and sizes say; a printer DC covers the paper
// less the edges the driver cannot print on, wider edges at the sides in
// landscape.
TEST_F(PrintPlatform, printers_papers_and_printable_area_are_the_drivers)
{
    ASSERT_TRUE(cups.add_queue("office", 300, false, "Letter"));
    DWORD needed = 0, count = 0;
    EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &count));
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
    std::vector<std::tuple<std::string, DWORD>> found;
    for (DWORD i = 0; i < count; i++)
        found.push_back({printers[i].pPrinterName, printers[i].Attributes & PRINTER_ATTRIBUTE_DEFAULT});
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::tuple<std::string, DWORD>>{{"office", 0}, {"pdfq", PRINTER_ATTRIBUTE_DEFAULT}}));

    const int n = DeviceCapabilitiesA("office", nullptr, DC_PAPERNAMES, nullptr, nullptr);
    ASSERT_EQ(n, 3);
    char names[3][64];
    POINT sizes[3];
    ASSERT_EQ(DeviceCapabilitiesA("office", nullptr, DC_PAPERNAMES, names[0], nullptr), 3);
    ASSERT_EQ(DeviceCapabilitiesA("office", nullptr, DC_PAPERSIZE, reinterpret_cast<char*>(sizes), nullptr), 3);
    std::map<std::string, std::pair<int, int>> papers;
    for (int i = 0; i < 3; i++)
        papers[names[i]] = {sizes[i].x, sizes[i].y};
    EXPECT_EQ(papers, (std::map<std::string, std::pair<int, int>>{
                          {"A3", {2970, 4200}}, {"A4", {2100, 2970}}, {"Letter", {2159, 2794}}}));
    EXPECT_EQ(DeviceCapabilitiesA("nosuchprinter", nullptr, DC_PAPERNAMES, nullptr, nullptr), -1);

    HDC dc = landscape_dc("office");
    const int edge_x = PPD_EDGE_Y * 300 / 72, edge_y = PPD_EDGE_X * 300 / 72;  // dots
    EXPECT_EQ(std::tuple(GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT),
                         GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY),
                         GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)),
              std::tuple(3300, 2550, edge_x, edge_y, 3300 - 2 * edge_x, 2550 - 2 * edge_y));
    DeleteDC(dc);
}
