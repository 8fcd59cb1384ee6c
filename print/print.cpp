// The print command: the default printer, the printer device context, the
// abort window and abort procedure, and the one-page document around the
// printed layout.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "state/state.h"
#include "print/print.h"
#include "support/ghl3000.h"

namespace {

const int OPEN_ATTEMPTS = 10;
const int MODE_PORTRAIT = 0;
const int MODE_LANDSCAPE = 1;
const int ID_CANCEL_PRINT = 503;  // the abort window's cancel control
const double UNITS_PER_INCH = 92.0;
const double CANVAS_WIDTH = 1024, CANVAS_HEIGHT = 768;  // units

// "プリンター接続無し"
const char NO_PRINTER[] = "\x83\x76\x83\x8A\x83\x93\x83\x5E\x81\x5B\x90\xDA\x91\xB1\x96\xB3\x82\xB5";
// "印刷を中止します", caption "印刷処理が取り消されました"
const char STOP_TEXT[] = "\x88\xF3\x8D\xFC\x82\xF0\x92\x86\x8E\x7E\x82\xB5\x82\xDC\x82\xB7";
const char STOP_CAPTION[] =
    "\x88\xF3\x8D\xFC\x8F\x88\x97\x9D\x82\xAA\x8E\xE6\x82\xE8\x8F\xC1\x82\xB3\x82\xEA\x82\xDC"
    "\x82\xB5\x82\xBD";

// Holds the whole profile entry, so that any printer name CUPS allows
// (up to 127 bytes) reaches cPrninfo uncut.
char cPrnbuf[300];

std::string output_file;  // --print-to: the page goes to this PDF file
POINT page_origin = {0, 0};     // where prn_fit_page put the canvas's (0, 0), in dots
bool any_failed = false;

bool sjis_lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool sjis_trail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// The first comma-separated token of `text`, leading commas skipped; the
// second byte of a Shift-JIS character is never taken for a comma.
std::string first_token(const char* text)
{
    const char* p = text;
    while (*p == ',')
        p++;
    const char* start = p;
    while (*p && *p != ',')
        p += (sjis_lead((unsigned char)p[0]) && sjis_trail((unsigned char)p[1])) ? 2 : 1;
    return std::string(start, p);
}

// The printer's settings as its driver gives them, in a record of the size
// the driver states (the caller frees it); null when the printer cannot be
// opened or its settings read.
DEVMODEA* printer_settings(const char* name)
{
    HANDLE printer = nullptr;
    char* device = const_cast<char*>(name);
    // The no-printer text names no printer, whether or not a print service
    // could be asked.
    if (std::strcmp(name, NO_PRINTER) == 0 || !OpenPrinterA(device, &printer, nullptr))
        return nullptr;
    LONG size = DocumentPropertiesA(nullptr, printer, device, nullptr, nullptr, 0);
    auto* devmode = size > 0 && (size_t)size >= sizeof(DEVMODEA)
                        ? static_cast<DEVMODEA*>(std::calloc(1, (size_t)size))
                        : nullptr;
    if (devmode && DocumentPropertiesA(nullptr, printer, device, devmode, nullptr, DM_OUT_BUFFER) < 0) {
        std::free(devmode);
        devmode = nullptr;
    }
    ClosePrinter(printer);
    return devmode;
}

// Before any month has been entered the screen shows today's month in the
// medium layout; the page shows the same.
void month_in_force(int* year, int* month, int* layout)
{
    *year = iYear;
    *month = iMont;
    *layout = iDspfg;
    if (iSetfg == 0) {
        char date[12] = {0}, time[12] = {0};
        DosDateTime(date, time);
        date[4] = date[7] = date[10] = '\0';
        *year = std::atoi(date);
        *month = std::atoi(date + 5);
        if (*layout == LAYOUT_NONE)
            *layout = LAYOUT_MEDIUM;
    }
}

// Why printing failed, as the print service said it (Shift-JIS).
struct Failure {
    int fault = PLAT_PRINT_OK;
    std::string subject, text;
};

Failure latest_failure()
{
    return {plat_print_fault(), plat_print_subject(), plat_print_error()};
}

Failure no_printer_failure;  // why the profile named no printer at start-up

// The reason in the user's words for the faults a user meets; the print
// service's own text for anything else.
std::string reason_text(const Failure& f)
{
    static const char LQ[] = "\x83\x76\x83\x8A\x83\x93\x83\x5E\x81\x5B\x81\x75";  // プリンター「
    switch (f.fault) {
    case PLAT_PRINT_UNREACHABLE:  // 印刷サービスに接続できません（…）
        return "\x88\xF3\x8D\xFC\x83\x54\x81\x5B\x83\x72\x83\x58\x82\xC9\x90\xDA\x91\xB1"
               "\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81\x69" +
               f.subject + "\x81\x6A";
    case PLAT_PRINT_NO_PRINTER:  // プリンターが設定されていません
        return "\x83\x76\x83\x8A\x83\x93\x83\x5E\x81\x5B\x82\xAA\x90\xDD\x92\xE8\x82\xB3"
               "\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
    case PLAT_PRINT_UNKNOWN:  // 」が見つかりません
        return LQ + f.subject +
               "\x81\x76\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
    case PLAT_PRINT_STOPPED:  // 」が止まっているか、印刷を受け付けていません
        return LQ + f.subject +
               "\x81\x76\x82\xAA\x8E\x7E\x82\xDC\x82\xC1\x82\xC4\x82\xA2\x82\xE9\x82\xA9"
               "\x81\x41\x88\xF3\x8D\xFC\x82\xF0\x8E\xF3\x82\xAF\x95\x74\x82\xAF\x82\xC4"
               "\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
    default:
        return f.text;
    }
}

// Printing stops: the box says so, with the reason under it, and offers to
// try again (再試行) when `retry`; true when the user asks to.
bool failure_box(const std::string& reason, bool retry)
{
    std::string text = STOP_TEXT;
    if (!reason.empty())
        text += "\n" + reason;
    return MessageBoxA(ghwndMain, text.c_str(), STOP_CAPTION, retry ? MB_RETRYCANCEL : MB_OK) ==
           IDRETRY;
}

int attempts_left = 0;     // of the print command in progress, after this one
bool retry_asked = false;  // the user asked for another attempt

}  // namespace

std::string prn_failure_reason(void)
{
    return reason_text(latest_failure());
}

void prn_report_failure(const std::string& reason)
{
    failure_box(reason, false);
}

void prn_draw_layout(HDC dc, int layout, int year, int month)
{
    switch (layout) {
    case LAYOUT_MEDIUM: RKM_CALEN2_PRN(dc, year, month); break;
    case LAYOUT_SMALL: RKM_CALEN3_PRN(dc, year, month); break;
    case LAYOUT_YEAR: RKM_CALEN4_PRN(dc, year, month); break;
    default: RKM_CALEN1_PRN(dc, year, month); break;
    }
}

void prn_set_output_file(const char* path)
{
    output_file = path ? path : "";
}

void prn_device_name(const char* entry, char* dst)
{
    std::string name = first_token(entry);
    if (name.empty())  // an entry of nothing but commas names no printer
        name = NO_PRINTER;
    std::memcpy(dst, name.c_str(), name.size() + 1);
}

bool prn_any_failed(void)
{
    return any_failed;
}

int GetPrnName(char* dst)
{
    GetProfileStringA("windows", "device", NO_PRINTER, cPrnbuf, sizeof cPrnbuf);
    no_printer_failure = latest_failure();
    prn_device_name(cPrnbuf, dst);
    return 0;
}

std::vector<std::string> prn_printers(int* default_index)
{
    std::vector<std::string> names;
    *default_index = -1;
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed,
                  &count);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4,
                                      buffer.data(), needed, &needed, &count))
        return names;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
    for (DWORD i = 0; i < count; i++) {
        if (printers[i].Attributes & PRINTER_ATTRIBUTE_DEFAULT)
            *default_index = (int)i;
        names.push_back(printers[i].pPrinterName);
    }
    return names;
}

// The papers by their names and sizes; the default is the paper of the
// printer's device mode (for a file, the locale's).
std::vector<PrnPaper> prn_papers(const char* printer, int* default_index)
{
    *default_index = -1;
    const int n = DeviceCapabilitiesA(printer, nullptr, DC_PAPERNAMES, nullptr, nullptr);
    std::vector<char> names((size_t)std::max(n, 0) * 64);
    std::vector<POINT> sizes((size_t)std::max(n, 0));
    std::vector<PrnPaper> papers(PRN_PAPERS, PRN_PAPERS + 7);
    if (n > 0 && DeviceCapabilitiesA(printer, nullptr, DC_PAPERNAMES, names.data(), nullptr) == n &&
        DeviceCapabilitiesA(printer, nullptr, DC_PAPERSIZE, reinterpret_cast<char*>(sizes.data()),
                            nullptr) == n) {
        papers.clear();
        for (int i = 0; i < n; i++)
            papers.push_back({std::string(&names[(size_t)i * 64], strnlen(&names[(size_t)i * 64], 64)),
                              (int)sizes[(size_t)i].x, (int)sizes[(size_t)i].y});
    }
    DEVMODEA* devmode = printer_settings(printer);
    for (size_t i = 0; devmode && i < papers.size(); i++)
        if (std::abs(papers[i].width - devmode->dmPaperWidth) <= 10 &&
            std::abs(papers[i].length - devmode->dmPaperLength) <= 10)
            *default_index = (int)i;
    std::free(devmode);
    return papers;
}

HDC OpenPrinterDC(char* name, int mode)
{
    return prn_open_dc(name, mode, PrnPaper(), 1);
}

HDC prn_open_dc(const char* name, int mode, const PrnPaper& paper, int copies)
{
    DEVMODEA* devmode = printer_settings(name);
    if (!devmode)
        return nullptr;
    if (mode == MODE_PORTRAIT)
        devmode->dmOrientation = DMORIENT_PORTRAIT;
    else if (mode == MODE_LANDSCAPE)
        devmode->dmOrientation = DMORIENT_LANDSCAPE;
    if (paper.width > 0 && paper.length > 0) {
        devmode->dmPaperWidth = (short)paper.width;
        devmode->dmPaperLength = (short)paper.length;
        devmode->dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
    }
    devmode->dmCopies = (short)copies;
    devmode->dmFields |= DM_COPIES;
    // The record's name field holds only 31 bytes; the full name finds
    // printers with longer names too.
    HDC dc = CreateDCA("WINSPOOL", name, nullptr, devmode);
    std::free(devmode);
    return dc;
}

int RKM_PRN_SET1(int mode)
{
    // With no printer known since the start, each attempt asks again: one
    // may have been set up, or the print service started, since.
    if (std::strcmp(cPrninfo, NO_PRINTER) == 0)
        GetPrnName(cPrninfo);
    hPhdc = OpenPrinterDC(cPrninfo, mode);
    if (!hPhdc && !output_file.empty()) {
        char file_printer[] = PLAT_PDF_FILE_PRINTER;
        hPhdc = OpenPrinterDC(file_printer, mode);
    }
    if (!hPhdc) {
        bool none = std::strcmp(cPrninfo, NO_PRINTER) == 0;
        retry_asked = failure_box(reason_text(none ? no_printer_failure : latest_failure()),
                                  attempts_left > 0);
        return 1;
    }
    gbAbort = 0;
    ghwndAbort = CreateDialogParamA(ghInst, "Abort", ghwndMain, AbortDlgProc, 0);
    EnableWindow(ghwndMain, FALSE);
    SetAbortProc(hPhdc, AbortProc);
    return 0;
}

int RKM_PRN_SET2(void)
{
    NTdi.cbSize = sizeof(DOCINFOA);
    NTdi.lpszDocName = "RKM7500";
    NTdi.lpszOutput = output_file.empty() ? nullptr : output_file.c_str();
    NTdi.lpszDatatype = nullptr;
    NTdi.fwType = 0;
    prn_fit_page(hPhdc);
    return 0;
}

// A unit is 1/92 inch, and the canvas 1024 x 768 units, as far as the
// printable area allows: a page smaller or larger than the canvas takes it
// smaller or larger, its shape kept, centred in the direction it does not
// fill.
void prn_fit_page(HDC dc)
{
    const double x_dots = GetDeviceCaps(dc, LOGPIXELSX) / UNITS_PER_INCH;
    const double y_dots = GetDeviceCaps(dc, LOGPIXELSY) / UNITS_PER_INCH;
    const int width = GetDeviceCaps(dc, HORZRES), height = GetDeviceCaps(dc, VERTRES);
    double fit = 1.0;
    if (width > 0 && height > 0 && x_dots > 0 && y_dots > 0)
        fit = std::min(width / (CANVAS_WIDTH * x_dots), height / (CANVAS_HEIGHT * y_dots));
    dXdpi = x_dots * fit;
    dYdpi = y_dots * fit;
    page_origin.x = std::max(0, (width - (int)(CANVAS_WIDTH * dXdpi)) / 2);
    page_origin.y = std::max(0, (height - (int)(CANVAS_HEIGHT * dYdpi)) / 2);
}

POINT prn_page_origin(void)
{
    return page_origin;
}

// Steps 2 to 7 of a print command: the document of one page with the
// layout in force, on the printer opened, or without one, so that the
// layout's resets still happen. True when the page was drawn but not
// handed on; the user was told and may have asked for another attempt.
static bool print_page(bool opened)
{
    RKM_PRN_SET2();
    int year, month, layout;
    month_in_force(&year, &month, &layout);
    int started = StartDocA(hPhdc, &NTdi);
    Failure failure = latest_failure();
    StartPage(hPhdc);
    prn_draw_layout(hPhdc, layout, year, month);
    EndPage(hPhdc);
    int ended = EndDoc(hPhdc);
    if (started > 0)
        failure = latest_failure();

    bool cancelled = gbAbort != 0;
    if (opened && !cancelled) {
        EnableWindow(ghwndMain, TRUE);
        if (ghwndAbort) {
            DestroyWindow(ghwndAbort);
            ghwndAbort = nullptr;
        }
    }
    DeleteDC(hPhdc);
    hPhdc = nullptr;
    bool lost = opened && !cancelled && (started <= 0 || ended <= 0);
    if (lost)
        retry_asked = failure_box(reason_text(failure), attempts_left > 0);
    return lost;
}

// Each failure is told once; the user may try again, up to ten attempts in
// all, or stop (中止), which ends the command at once.
int RKM_CALEN_PRN(HDC)
{
    for (int attempt = 1;; attempt++) {
        attempts_left = OPEN_ATTEMPTS - attempt;
        retry_asked = false;
        const bool opened = RKM_PRN_SET1(MODE_LANDSCAPE) == 0;
        if (!opened && retry_asked)
            continue;
        const bool lost = print_page(opened);
        if (retry_asked)
            continue;
        any_failed = any_failed || !opened || lost;
        return 0;
    }
}

INT_PTR AbortDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ghwndAbort = dialog;
        EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wparam) != ID_CANCEL_PRINT)
            return FALSE;
        gbAbort = 1;
        AbortDoc(hPhdc);
        EnableWindow(ghwndMain, TRUE);
        DestroyWindow(ghwndAbort);
        ghwndAbort = nullptr;
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL AbortProc(HDC, int)
{
    MSG msg;
    while (!gbAbort && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (ghwndAbort && IsDialogMessageA(ghwndAbort, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return !gbAbort;
}
