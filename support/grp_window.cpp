// Window size and clearing: GetSizeX, GetSizeY, GrpCls.
#include "support/ghl3000.h"

int GetSizeX(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client.right;
}

int GetSizeY(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client.bottom;
}

// The clip region goes first, so the whole client area turns black even
// where an earlier caller had limited drawing.
void GrpCls(HWND window)
{
    HDC dc = GetDC(window);
    if (!dc)
        return;
    SelectClipRgn(dc, nullptr);
    PatBlt(dc, 0, 0, GetSizeX(window), GetSizeY(window), BLACKNESS);
    ReleaseDC(window, dc);
}
