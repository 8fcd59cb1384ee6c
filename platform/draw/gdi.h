// Graphics: device contexts, pens, brushes, fonts, shapes and text.
//
// Calls: CreateCompatibleDC, CreateCompatibleBitmap, DeleteDC, CreatePen,
// CreateSolidBrush, GetStockObject, SelectObject, DeleteObject, CreateFontA,
// SetTextColor, SetBkColor, GetBkMode, SetBkMode, GetMapMode,
// GetGraphicsMode, SetGraphicsMode, DPtoLP, GetDeviceCaps, Polyline,
// Rectangle, Ellipse, RoundRect, SetRect, FillRect, ExtFloodFill, PatBlt,
// TextOutA, GetPixel, SetPixel, SelectClipRgn.
//
// Pixel rules are those of the Windows graphics interface: FillRect leaves
// out the right and bottom edge; Rectangle, Ellipse and RoundRect in the
// compatible graphics mode touch columns left..right-1 and rows
// top..bottom-1; Polyline leaves out the last point of its list; a width-0
// pen is one device pixel. Shapes are not antialiased. One logical unit is
// one device pixel (text mapping mode) on every device context.
#pragma once

#include "platform/windef.h"

/* Constants */
enum {
    PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4,
    PS_NULL = 5, PS_INSIDEFRAME = 6,
};
enum {
    WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4, NULL_BRUSH = 5, HOLLOW_BRUSH = NULL_BRUSH,
    WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
};
enum { TRANSPARENT = 1, OPAQUE = 2 };
enum { MM_TEXT = 1 };
enum { GM_COMPATIBLE = 1, GM_ADVANCED = 2 };
enum {
    HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12,
    LOGPIXELSX = 88, LOGPIXELSY = 90, PHYSICALWIDTH = 110,
    PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113,
};
enum { FLOODFILLBORDER = 0, FLOODFILLSURFACE = 1 };
#define BLACKNESS ((DWORD)0x00000042)
#define WHITENESS ((DWORD)0x00FF0062)
enum { FW_NORMAL = 400, FW_MEDIUM = 500, FW_BOLD = 700 };
enum { SHIFTJIS_CHARSET = 128 };
// Pitch and family are or-ed into one byte, so they are plain constants.
constexpr int FIXED_PITCH = 1, VARIABLE_PITCH = 2;
constexpr int FF_DONTCARE = 0x00, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30,
              FF_SCRIPT = 0x40, FF_DECORATIVE = 0x50;
#define PATCOPY ((DWORD)0x00F00021)
enum { SYSTEM_FONT = 13, DEFAULT_GUI_FONT = 17 };
enum { ERROR_REGION = 0, NULLREGION = 1, SIMPLEREGION = 2 };

/* Font description: what CreateFontA received */
#define LF_FACESIZE 32
struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];  // CP932 bytes, NUL-terminated
};

/* Device contexts and bitmaps */
HDC CreateCompatibleDC(HDC dc);  // NULL: a memory DC; select a bitmap to draw
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);  // 24-bit colour
BOOL DeleteDC(HDC dc);
int GetDeviceCaps(HDC dc, int index);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
int SelectClipRgn(HDC dc, HRGN region);  // NULL removes the clip region

/* Objects */
HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HFONT CreateFontA(int height, int width, int escapement, int orientation,
                  int weight, DWORD italic, DWORD underline, DWORD strike_out,
                  DWORD charset, DWORD out_precision, DWORD clip_precision,
                  DWORD quality, DWORD pitch_and_family, LPCSTR face);

/* State */
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);
int GetBkMode(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetMapMode(HDC dc);
int GetGraphicsMode(HDC dc);
int SetGraphicsMode(HDC dc, int mode);
BOOL DPtoLP(HDC dc, POINT* points, int count);

/* Drawing */
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int corner_w, int corner_h);
BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL ExtFloodFill(HDC dc, int x, int y, COLORREF colour, UINT type);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);  // CP932 bytes

/* Our own additions for tests and tools */
int plat_gdi_live_objects(void);      // pens, brushes, fonts, bitmaps not yet deleted
BOOL plat_save_png(HDC dc, const char* path);  // the DC's bitmap or framebuffer
BOOL plat_last_font(LOGFONTA* font);  // the values of the latest CreateFontA
int plat_font_matches(void);          // fontconfig matches run so far
int plat_texts_lost(void);            // TextOutA calls that drew nothing: no font at all
