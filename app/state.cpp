// The application state. Start values are set by RKM_INIT_SET.
#include "app/state.h"

int iSetfg;
int iDspfg;
int iDspbk;
int iYear;
int iMont;
int iBcol;
int iNstep;
int iNkcnt;
int iMjset;
char cKeybuf[80];
unsigned char cKeyst[256];
int iFuri;

char cPrninfo[300];
char cWorkbuf[300];
char cDatebuf[12];
char cTimebuf[12];

int iHday1[100];
int iHday2[100];
HANDLE hNfhd1;

HDC hPhdc;
double dXdpi;
double dYdpi;
int gbAbort;
HWND ghwndAbort;
HWND ghwndMain;
HINSTANCE ghInst;
