// Printing: the print command, the default printer, the printed layouts.
#pragma once

#include <string>
#include <vector>

#include "layout/layout.h"
#include "platform/windows.h"

/* Print command and printer set-up */
int RKM_CALEN_PRN(HDC hdc);  // prints iYear/iMont in layout iDspfg
int RKM_PRN_SET1(int mode);
int RKM_PRN_SET2(void);
HDC OpenPrinterDC(char* name, int mode);
int GetPrnName(char* dst);
INT_PTR AbortDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
BOOL AbortProc(HDC hdc, int code);

/* Printed layouts */
void RKM_CALEN1_PRN(HDC hdc, int year, int month);
void RKM_CALEN2_PRN(HDC hdc, int year, int month);
void RKM_CALEN3_PRN(HDC hdc, int year, int month);
void RKM_CALEN4_PRN(HDC hdc, int year, int month);

/* Our own additions */
struct PrnPaper {
    std::string name;       // "A4", "B5" (JIS), "Letter", or as the printer calls it
    int width = 0, length = 0;  // tenths of a millimetre, portrait; 0: none chosen
};
// The print command writes its page to this PDF file instead of the printer
// (null: the printer again).
void prn_set_output_file(const char* path);
// True once a print command of this run has printed nothing: no printer
// could be opened, or the page was not handed on.
bool prn_any_failed(void);
// Printing stops: the message box that says so, with the reason
// (Shift-JIS) under it.
void prn_report_failure(const std::string& reason);
// Why the latest printing call failed, in the user's words (Shift-JIS):
// the print service unreachable, an unknown printer, one stopped or
// refusing jobs, no printer at all; else the print service's own text.
std::string prn_failure_reason(void);
// The device name of a "device" profile entry (name, driver, port), or the
// no-printer text when the entry names none; as GetPrnName stores it.
void prn_device_name(const char* entry, char* dst);
// OpenPrinterDC with the paper (none chosen: the printer's own) and the
// number of copies of the job set in the device mode.
HDC prn_open_dc(const char* name, int mode, const PrnPaper& paper, int copies);
// The printed layout `layout` (any other value: the large month) on `dc`.
void prn_draw_layout(HDC dc, int layout, int year, int month);
// Sets dXdpi and dYdpi so that the 1024 x 768 canvas fills the printable
// area of the printer device context as far as its shape allows, and
// centres it there: prn_page_origin is then the dot of the canvas's (0, 0).
// Every print job, F9's included, draws through it.
void prn_fit_page(HDC dc);
POINT prn_page_origin(void);

/* Pages: a range of months in one document, on paper of a chosen size */
extern const PrnPaper PRN_PAPERS[7];
// The paper of that name, case-insensitive; null for an unknown name.
const PrnPaper* prn_paper(const char* name);
// Every printer the print service offers (Shift-JIS names), and which one
// is the default (-1: none).
std::vector<std::string> prn_printers(int* default_index);
// The papers `printer` offers, with its default paper's index (-1: none
// known); the table's papers for a printer that lists none, and for files.
std::vector<PrnPaper> prn_papers(const char* printer, int* default_index);

// Months are counted from January of year 0: year * 12 + month - 1.
struct PrnMonths {
    int first = 0, last = 0;
};
enum { PRN_MOST_MONTHS = 1200 };
// "YYYY-MM..YYYY-MM", or one month "YYYY-MM". False, with one line saying
// what is wrong, for a bad month, a range that ends before it starts, or
// more than PRN_MOST_MONTHS months.
bool prn_parse_months(const char* text, PrnMonths* out, std::string* error);
// The pages a range prints in a layout: one a month, or one a year in the
// year layout. Each page is a month number as in PrnMonths.
std::vector<int> prn_pages(const PrnMonths& months, int layout);

struct PrnJob {
    std::string printer;  // Shift-JIS; "" for the default printer
    std::string output;   // a PDF file written instead of printing, or ""
    int layout = LAYOUT_MEDIUM;
    PrnMonths months;
    PrnPaper paper;       // none chosen: the printer's default paper
    int copies = 1;
};
// Told how far the job has come, at least once a page and often while the
// document is sent; returning false cancels it: nothing reaches the printer,
// no file is written.
typedef bool (*PrnProgress)(int pages_done, int pages, void* data);
enum PrnResult { PRN_PRINTED, PRN_CANCELLED, PRN_FAILED };
// Prints the job as one document, one landscape page for each page of
// prn_pages. PRN_FAILED comes with the reason, in Shift-JIS. The entry in
// progress on screen is left as it was.
PrnResult prn_print_job(const PrnJob& job, PrnProgress progress, void* data, std::string* reason);
