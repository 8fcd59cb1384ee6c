// Printing: the default printer, printer device modes, printer device
// contexts, documents and pages, on the CUPS print service.
//
// Calls: GetProfileStringA, EnumPrintersA, OpenPrinterA, ClosePrinter,
// DocumentPropertiesA, DeviceCapabilitiesA, CreateDCA, StartDocA, StartPage,
// EndPage, EndDoc, AbortDoc, SetAbortProc. GetDeviceCaps and DeleteDC of
// gdi.h take printer device contexts too.
//
// A printer is a CUPS destination. The profile's "windows"/"device" entry
// names the CUPS default destination as NAME,CUPS,URI. A printer device
// context draws one dot per unit on a PDF page of the printer's paper, its
// (0, 0) the top-left corner of the area the printer can print on (HORZRES
// by VERTRES dots; the paper is PHYSICALWIDTH by PHYSICALHEIGHT, the area
// PHYSICALOFFSETX and PHYSICALOFFSETY in from its corner); EndDoc hands the
// finished PDF, every page, to the scheduler as one job titled with the
// document name, or writes it to the document's output file. Nothing is
// spooled on disk by this layer. Printer names are Shift-JIS here and UTF-8
// in CUPS.
//
// A printer's paper is its default medium as CUPS reports it: the "media"
// option of the destination (lpoptions, or the queue's default set with
// lpadmin) before the printer's own default (the PPD's or IPP's).
#pragma once

#include "platform/windef.h"

/* Device mode: the printer's settings (orientation, paper, resolution) */
#define CCHDEVICENAME 32
#define CCHFORMNAME 32
struct DEVMODEA {
    BYTE dmDeviceName[CCHDEVICENAME];  // the first 31 bytes of the name and a NUL
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;         // bytes of this record
    WORD dmDriverExtra;  // bytes of the driver's data after it
    DWORD dmFields;      // DM_ flags of the fields that hold a value
    short dmOrientation;
    short dmPaperSize;    // DMPAPER_ code
    short dmPaperLength;  // tenths of a millimetre
    short dmPaperWidth;   // tenths of a millimetre
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;  // dots per inch across
    short dmColor;
    short dmDuplex;
    short dmYResolution;  // dots per inch down
    short dmTTOption;
    short dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
};
enum : DWORD {
    DM_ORIENTATION = 0x00000001, DM_PAPERSIZE = 0x00000002, DM_PAPERLENGTH = 0x00000004,
    DM_PAPERWIDTH = 0x00000008, DM_COPIES = 0x00000100, DM_PRINTQUALITY = 0x00000400,
    DM_COLOR = 0x00000800, DM_YRESOLUTION = 0x00002000,
};
enum { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum { DMPAPER_LETTER = 1, DMPAPER_LEGAL = 5, DMPAPER_A3 = 8, DMPAPER_A4 = 9,
       DMPAPER_A5 = 11, DMPAPER_B5 = 13, DMPAPER_USER = 256 };
enum { DMCOLOR_MONOCHROME = 1, DMCOLOR_COLOR = 2 };
// DocumentPropertiesA modes; 0 asks for the size of the record
enum : DWORD { DM_UPDATE = 1, DM_COPY = 2, DM_PROMPT = 4, DM_MODIFY = 8,
               DM_OUT_BUFFER = DM_COPY, DM_IN_PROMPT = DM_PROMPT, DM_IN_BUFFER = DM_MODIFY };

/* Documents */
struct DOCINFOA {
    int cbSize;
    LPCSTR lpszDocName;   // the job's title
    LPCSTR lpszOutput;    // a PDF file to write instead of printing, or null
    LPCSTR lpszDatatype;  // ignored
    DWORD fwType;         // ignored
};
typedef BOOL (*ABORTPROC)(HDC dc, int code);
enum { SP_ERROR = -1, SP_APPABORT = -2, SP_USERABORT = -3, SP_OUTOFDISK = -4 };

/* The user profile: section "windows", key "device" is the default printer;
   every other entry is missing and gives the default text. Returns the bytes
   copied, without the NUL. */
DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_text, LPSTR out, DWORD size);

/* Printers */
enum : DWORD { PRINTER_ENUM_LOCAL = 0x2, PRINTER_ENUM_CONNECTIONS = 0x4 };
enum : DWORD { PRINTER_ATTRIBUTE_DEFAULT = 0x4 };
struct PRINTER_INFO_4A {
    LPSTR pPrinterName;  // Shift-JIS
    LPSTR pServerName;   // null: the print service in use
    DWORD Attributes;    // PRINTER_ATTRIBUTE_DEFAULT for the default printer
};
// Level 4 only: every destination of the print service (not the instances
// of lpoptions), the default one marked. The records fill the start of
// `buffer`, their names follow them. FALSE with `needed` set when the
// buffer is too small; FALSE with none returned when the service cannot be
// asked (plat_print_error says why).
BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                   LPDWORD needed, LPDWORD returned);
BOOL OpenPrinterA(LPSTR name, HANDLE* printer, void* defaults);  // defaults: ignored
BOOL ClosePrinter(HANDLE printer);
// mode 0: the record's size in bytes; DM_OUT_BUFFER: fills `out` with the
// printer's settings (DM_IN_BUFFER merges the fields `in` marks) and returns
// IDOK. Never shows a dialog. Negative on failure.
LONG DocumentPropertiesA(HWND window, HANDLE printer, LPSTR device, DEVMODEA* out,
                         DEVMODEA* in, DWORD mode);
enum : WORD { DC_PAPERS = 2, DC_PAPERSIZE = 3, DC_PAPERNAMES = 16 };
// The papers the printer lists: DC_PAPERS their DMPAPER codes (a WORD
// each), DC_PAPERSIZE their portrait sizes in tenths of a millimetre (a
// POINT each), DC_PAPERNAMES their names (64 bytes each, Shift-JIS); with
// no output, only how many. -1 for a printer that cannot be asked.
int DeviceCapabilitiesA(LPCSTR device, LPCSTR port, WORD capability, LPSTR output,
                        const DEVMODEA* devmode);
// driver "WINSPOOL", device the printer's full name; the record's marked
// fields override the printer's settings (a paper the printer does not
// list is taken as printable to its edges); copies above one go with the
// job.
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* init);

/* Documents and pages on a printer device context: one document per DC */
int StartDocA(HDC dc, const DOCINFOA* doc);  // > 0, or SP_ERROR
int StartPage(HDC dc);
int EndPage(HDC dc);
int EndDoc(HDC dc);    // submits the job or writes the file; > 0 when done
int AbortDoc(HDC dc);  // discards the document; nothing reaches the printer
int SetAbortProc(HDC dc, ABORTPROC proc);  // called while the page is sent

/* Our own additions */
// A printer that needs no print service: 600 dots per inch, the paper of the
// locale; its documents must name an output file.
#define PLAT_PDF_FILE_PRINTER "PDF file"
// Why the latest failed printing call failed, in plain words, in Shift-JIS
// (the print service's own message kept where it gave one); "" after a
// success. GetProfileStringA of the default printer sets it too: why there
// is none.
const char* plat_print_error(void);
