// Printing: the print command, the default printer, the printed layouts.
#pragma once

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
// The print command writes its page to this PDF file instead of the printer
// (null: the printer again).
void prn_set_output_file(const char* path);
// True once a print command of this run has printed nothing: no printer
// could be opened, or the page was not handed on.
bool prn_any_failed(void);
// The device name of a "device" profile entry (name, driver, port), or the
// no-printer text when the entry names none; as GetPrnName stores it.
void prn_device_name(const char* entry, char* dst);
