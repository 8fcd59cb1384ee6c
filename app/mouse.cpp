// Mouse input: the keypad, the "Back Color" palette, the layout buttons and
// the labelled keys of the function-key bar. A layout or a colour chosen
// shows at once on the month shown.
//
// Every test is strict, so a click on an outline or on the border between
// two keys does nothing. The areas act whatever view is on screen.
#include "app/app.h"

#include "state/state.h"
#include "layout/layout.h"
#include "support/ghl3000.h"

static bool inside(int x, int y, int left, int top, int right, int bottom)
{
    return left < x && x < right && top < y && y < bottom;
}

/* Character keys of the keypad: four rows of four, 42 x 40 apart */
static const char keypad_keys[4][5] = {"123+", "456-", "789*", "0:./"};

// The character of the key at (x, y), or 0 where no character key is.
static char keypad_character(int x, int y)
{
    for (int row = 0; row < 4; row++)
        for (int column = 0; column < 4; column++) {
            int left = 622 + 42 * column;
            int top = 288 + 40 * row;
            if (inside(x, y, left, top, left + 40, top + 36))
                return keypad_keys[row][column];
        }
    return 0;
}

void RKM_KB_MOUSE(HDC hdc, int x, int y)
{
    if (inside(x, y, 622, 448, 726, 484)) {
        ent_complete(hdc);
        return;
    }
    if (inside(x, y, 728, 448, 788, 484)) {
        ent_delete(hdc);
        return;
    }
    char character = keypad_character(x, y);
    if (character != 0)
        ent_type(hdc, character);
}

void RKM_COL_MOUSE(HDC hdc, int x, int y)
{
    bool hit = false;
    for (int r = 0; r < PALETTE_ROWS; r++)
        for (int c = 0; c < PALETTE_COLUMNS; c++)
            if (inside(x, y, lay_swatch_x(c), lay_swatch_y(r), lay_swatch_x(c) + 20,
                       lay_swatch_y(r) + 20)) {
                iBcol = lay_palette[r][c];
                hit = true;
            }
    if (!hit)
        return;
    GrpLine(hdc, 809, 436, 931, 474, iBcol, MODE_FILL);
    remember_colour(iBcol);
    app_show_choice(hdc);
}

// The layout button at (x, y), or -1.
static int layout_button(int x, int y)
{
    for (int n = LAYOUT_LARGE; n <= LAYOUT_YEAR; n++) {
        int left = lay_selector_x(n);
        if (inside(x, y, left, 178, left + 78, 229))
            return n;
    }
    return -1;
}

// The function key whose button holds x (0 F1 .. 11 F12), or -1.
static int function_key(int x)
{
    for (int key = 0; key < 12; key++)
        if (lay_fkey_x(key) < x && x < lay_fkey_x(key) + 78)
            return key;
    return -1;
}

void RKM_SYS_MOUSE(HWND window, int x, int y)
{
    HDC hdc = GetDC(window);
    if (app_shown().help) {  // a click anywhere closes the help screen, and only that
        app_close_help(hdc);
    } else if (inside(x, y, 620, 256, 788, 486)) {
        RKM_KB_MOUSE(hdc, x, y);
    } else if (inside(x, y, 808, 292, 932, 420)) {
        RKM_COL_MOUSE(hdc, x, y);
    } else if (675 < y && y < 717) {
        const int key = function_key(x);
        if (key == 11) {
            app_quit_now(window, hdc);
        } else if (key == 10) {
            // Today's month once; the chosen month comes back with the next paint.
            RKM_MAIN_PROC(hdc);
            iNstep = 0;
        } else if (key >= 0 && lay_fkey_caption(key)) {
            // Every other labelled key does what its key does.
            ReleaseDC(window, hdc);
            RKM_KEYIN_PROC(window, VK_F1 + (unsigned)key, 0);
            return;
        }
    } else {
        int n = layout_button(x, y);
        if (n >= 0)
            app_choose_layout(hdc, n);
    }
    ReleaseDC(window, hdc);
}

// The highlight moves and the month shown is drawn again in the layout.
void app_choose_layout(HDC hdc, int layout)
{
    iDspfg = layout;
    iDspbk = layout;
    RKM_WAKU2_CRT(hdc);
    remember_layout(layout);
    app_show_choice(hdc);
}
