// The application state. Start values are set by RKM_INIT_SET.
#include "state/state.h"

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
int iNotes;

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
DOCINFOA NTdi;

// Constant texts, Shift-JIS bytes. Each piece is written as its byte
// escapes with the text it stands for beside it.
#define SJ_F "\x82\x65"      // Ｆ (full width)
#define SJ_GATSU "\x8C\x8E"  // 月

const char Fnkc[2][12][5] = {
    {
        SJ_F "\x82\x50",  // Ｆ１
        SJ_F "\x82\x51",  // Ｆ２
        SJ_F "\x82\x52",  // Ｆ３
        SJ_F "\x82\x53",  // Ｆ４
        SJ_F "\x82\x54",  // Ｆ５
        SJ_F "\x82\x55",  // Ｆ６
        SJ_F "\x82\x56",  // Ｆ７
        SJ_F "\x82\x57",  // Ｆ８
        SJ_F "\x82\x58",  // Ｆ９
        SJ_F "10",        // Ｆ10
        SJ_F "11",        // Ｆ11
        SJ_F "12",        // Ｆ12
    },
    {
        "    ", "    ", "    ", "    ", "    ", "    ", "    ", "    ",
        "\x88\xF3\x8D\xFC",  // 印刷
        "    ",
        "Menu",
        "\x8F\x49\x97\xB9",  // 終了
    },
};

const char* const Mname[12] = {
    "\x82\x50" SJ_GATSU,  // １月
    "\x82\x51" SJ_GATSU,  // ２月
    "\x82\x52" SJ_GATSU,  // ３月
    "\x82\x53" SJ_GATSU,  // ４月
    "\x82\x54" SJ_GATSU,  // ５月
    "\x82\x55" SJ_GATSU,  // ６月
    "\x82\x56" SJ_GATSU,  // ７月
    "\x82\x57" SJ_GATSU,  // ８月
    "\x82\x58" SJ_GATSU,  // ９月
    "10" SJ_GATSU,        // 10月
    "11" SJ_GATSU,        // 11月
    "12" SJ_GATSU,        // 12月
};

const char* const Youbi[7] = {
    "\x93\xFA",  // 日
    SJ_GATSU,    // 月
    "\x89\xCE",  // 火
    "\x90\x85",  // 水
    "\x96\xD8",  // 木
    "\x8B\xE0",  // 金
    "\x93\x79",  // 土
};

const char* const Dspname[4] = {
    "\x91\xE5",  // 大
    "\x92\x86",  // 中
    "\x8F\xAC",  // 小
    "\x94\x4E",  // 年
};
