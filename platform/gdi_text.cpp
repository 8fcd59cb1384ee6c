// Fonts and text: CreateFontA and TextOutA.
#include <cstring>

#include "platform/dc.h"
#include "platform/gdi_internal.h"

namespace {

LOGFONTA last_request{};
bool have_last_request = false;

}  // namespace

HFONT gdi_default_font(void)
{
    static HFONT__* font = [] {
        auto* f = new HFONT__;
        f->stock = true;
        f->request.lfHeight = 16;
        f->request.lfWeight = FW_NORMAL;
        f->request.lfCharSet = SHIFTJIS_CHARSET;
        return f;
    }();
    return font;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strike_out, DWORD charset,
                  DWORD out_precision, DWORD clip_precision, DWORD quality,
                  DWORD pitch_and_family, LPCSTR face)
{
    auto* font = new HFONT__;
    LOGFONTA& r = font->request;
    r.lfHeight = height;
    r.lfWidth = width;
    r.lfEscapement = escapement;
    r.lfOrientation = orientation;
    r.lfWeight = weight;
    r.lfItalic = (BYTE)italic;
    r.lfUnderline = (BYTE)underline;
    r.lfStrikeOut = (BYTE)strike_out;
    r.lfCharSet = (BYTE)charset;
    r.lfOutPrecision = (BYTE)out_precision;
    r.lfClipPrecision = (BYTE)clip_precision;
    r.lfQuality = (BYTE)quality;
    r.lfPitchAndFamily = (BYTE)pitch_and_family;
    if (face)
        std::strncpy(r.lfFaceName, face, LF_FACESIZE - 1);
    gdi_register(font);
    last_request = r;
    have_last_request = true;
    return font;
}

BOOL plat_last_font(LOGFONTA* font)
{
    if (!font || !have_last_request)
        return FALSE;
    *font = last_request;
    return TRUE;
}
