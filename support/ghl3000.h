// GHL3000: the support library of the calendar.
//
// Drawing, buttons and text on device contexts; number formatting and code
// conversion; files, the clock and a log file. Its serial lines and
// processes, which the calendar does not use, are a library of their own
// (support/comm/ghl3000_comm.h). Colours are Windows RGB values 0x00BBGGRR passed
// as int. Texts are Shift-JIS (code page 932) bytes.
#pragma once

#include "platform/windows.h"

/* Drawing primitives */
int GetSizeX(HWND window);  // width of the client area
int GetSizeY(HWND window);  // height of the client area
void GrpCls(HWND window);   // paints the whole client area black
// mode 0 line (both end points drawn), 1 outline, 2 filled; corners inclusive
void GrpLine(HDC hdc, int x1, int y1, int x2, int y2, int colour, int mode);
void GrpLineEX(HDC hdc, int x1, int y1, int x2, int y2, int colour, int mode, int width,
               int style);
void GrpCircle(HDC hdc, int cx, int cy, int rx, int ry, int colour, int fill);
void GrpBox(HDC hdc, int x1, int y1, int x2, int y2, int colour, int cw, int ch, int fill);
void GrpPaint(HDC hdc, int x, int y, int fill, int border);
void GrpCurDsp(HDC hdc, int row, int column, int colour);
void GrpBeep(int count);

/* Buttons: style 0 to 9, anything else draws nothing */
void GrpButton(HDC hdc, int x1, int y1, int x2, int y2, int colour, int style);

/* Text */
void GrpSymbol(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
               int weight, int italic, int underline, int pitch, int family, const char* face);
void GrpSymbolEx(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
                 int bkcolour, int weight, int italic, int underline, int pitch, int family,
                 const char* face);
void GrpPrint(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
              int family);
// Fields on the 11 x 26 character grid. Lengths and widths are held at
// their limits: 51 bytes (GrpPrnAtt, GrpPrnFnt), 20 (GrpPrintD), 19
// (GrpPrintF), 12 (GrpPrnFntD, GrpPrnFntF); below 1 nothing is drawn. A
// number that does not fit, or that BinToAscii refuses, shows as "*"s.
void GrpPrnAtt(HDC hdc, const char* text, int row, int column, int colour, int bkcolour,
               int length, int family);
void GrpPrnFnt(HDC hdc, const char* text, int row, int column, int colour, int bkcolour,
               int length, const char* face);
void GrpPrintD(HDC hdc, int value, int width, int row, int column, int colour, int bkcolour,
               int family);
void GrpPrintF(HDC hdc, double value, int width, int decimals, int row, int column, int colour,
               int bkcolour, int family);
void GrpPrnFntD(HDC hdc, int value, int width, int row, int column, int colour, int bkcolour,
                const char* face);
void GrpPrnFntF(HDC hdc, double value, int width, int decimals, int row, int column, int colour,
                int bkcolour, const char* face);

/* Numbers and code conversion */
enum { BTA_OK = 0, BTA_TOO_LONG = 21, BTA_REFUSED = 99 };
int BinToAscii(const char* type, int width, int decimals, const char* attributes,
               const void* value, char* out);
void BcdToHex(unsigned int value, char* out);
int AsciiToSjis(const char* source, char* destination, int count, int terminate);

/* Files, clock and log file: 0 success, 1 failure */
int DosOpen(const char* name, HANDLE* handle, long* action, long size, int attribute,
            int action_code, int mode, long reserved);
int DosChgFilePtr(HANDLE handle, long distance, unsigned long origin, long* position);
int DosSetFilePtr(HANDLE handle, long distance, unsigned long origin, long* position);
int DosRead(HANDLE handle, char* buffer, int count, unsigned long* done);
int DosWrite(HANDLE handle, const char* buffer, int count, unsigned long* done);
int DosClose(HANDLE handle);
int DosFgets(char* buffer, int count, HANDLE handle);
void DosDateTime(char* date, char* time);
void DosFileTime(const char* name, char* date, char* time);
int DosFileOpen(const char* name, HANDLE* handle);
int DosLogFile(const char* name, const char* record, int length);
