// The application state: every global the program's routines share, and
// the constant text tables. All of it lives for the whole process and is
// read and written from the window's one thread. RKM_INIT_SET sets the
// start values; everything not listed there starts at zero.
//
// Texts are Shift-JIS byte strings.
#pragma once

#include "platform/windef.h"
#include "platform/print/print.h"

/* Display and entry state */
extern int iSetfg;   // 0 today state, 1 chosen-month state
extern int iDspfg;   // layout in force: 0 large, 1 medium, 2 small, 3 year; 9 none yet
extern int iDspbk;   // layout last chosen with the layout buttons
extern int iYear;    // year last entered
extern int iMont;    // month last entered
extern int iBcol;    // background colour of the calendar area, 0x00BBGGRR
extern int iNstep;   // field taking characters: 0 year, 1 month
extern int iNkcnt;   // characters typed into the current field
extern int iMjset;   // most characters the current field takes
extern char cKeybuf[80];
extern unsigned char cKeyst[256];
extern int iFuri;    // substitute-holiday carry of the month walk
extern int iNotes;   // 1: the traditional notes in the large and medium months (F5)

/* Buffers */
extern char cPrninfo[300];  // default printer's name, or the no-printer text
extern char cWorkbuf[300];  // scratch for titles and day numbers
extern char cDatebuf[12];
extern char cTimebuf[12];

/* Holiday tables, filled from HDAY1.DAT and HDAY2.DAT */
extern int iHday1[100];
extern int iHday2[100];
extern HANDLE hNfhd1;

/* Print job state */
extern HDC hPhdc;
extern double dXdpi;
extern double dYdpi;
extern int gbAbort;
extern HWND ghwndAbort;
extern HWND ghwndMain;
extern HINSTANCE ghInst;
extern DOCINFOA NTdi;  // document of the job: name "RKM7500", output file or none

/* Constant tables */
extern const char Fnkc[2][12][5];  // function-key captions: key names, actions
extern const char* const Mname[12];  // month names, four bytes each
extern const char* const Youbi[7];   // weekday names, Sunday first
extern const char* const Dspname[4]; // layout button labels
