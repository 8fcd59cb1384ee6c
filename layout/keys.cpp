// The function-key bar along the bottom of the screen and the mouse keypad
// of the side panel.
#include "layout/layout.h"

#include <algorithm>
#include <cstring>

#include "state/state.h"
#include "support/ghl3000.h"

int lay_fkey_x(int key)
{
    // Three groups of four keys, 29 pixels apart.
    int gap = key < 4 ? 4 : key < 8 ? 33 : 62;
    return 80 * key + gap;
}

// Captions for the keys the design leaves blank, one for each action that
// has been given a key since, in Shift-JIS.
static const char* const ADDED_CAPTIONS[12] = {
    "\x91\xE5",  // F1 大
    "\x92\x86",  // F2 中
    "\x8F\xAC",  // F3 小
    "\x94\x4E",  // F4 年
    "\x97\xEF\x92\x8D",  // F5 暦注
    nullptr,
    nullptr,
    "\x83\x77\x83\x8B\x83\x76",  // F8 ヘルプ
    nullptr,
    "\x88\xF3\x8D\xFC\x90\xDD\x92\xE8",  // F10 印刷設定
};

static bool blank(const char* caption)
{
    return std::strspn(caption, " ") == std::strlen(caption);
}

const char* lay_fkey_caption(int key)
{
    if (key < 0 || key > 11)
        return nullptr;
    if (!blank(Fnkc[1][key]))
        return Fnkc[1][key];
    return ADDED_CAPTIONS[key];
}

// An added caption where the design leaves the key blank, narrowed to stay
// on the key: a caption of n bytes is n half-width cells of 7 units.
static void added_caption(HDC hdc, int key)
{
    const char* caption = ADDED_CAPTIONS[key];
    if (!caption || !blank(Fnkc[1][key]))
        return;
    const double wf = std::min(2.4, 64.0 / (7.0 * (double)std::strlen(caption)));
    lay_text(hdc, caption, lay_fkey_x(key) + 7, 694, wf, 1.4, COLOR_BLACK, FACE_ROUND_MEDIUM);
}

void RKM_FNK_DSP(HDC hdc, int row)
{
    if (row < 0 || row > 1)
        row = 1;
    for (int i = 0; i < 12; i++) {
        int x = lay_fkey_x(i);
        GrpButton(hdc, x, 675, x + 78, 717, COLOR_LIGHT_GREY, BUTTON_RAISED);
        lay_text(hdc, Fnkc[0][i], x + 7, 677, 2.2, 1.2, COLOR_NAVY, FACE_ROUND_MEDIUM);
        lay_text(hdc, Fnkc[row][i], x + 7, 694, 2.4, 1.4, COLOR_BLACK, FACE_ROUND_MEDIUM);
        if (row == 1)
            added_caption(hdc, i);
    }
}

static void key_row(HDC hdc, const char* keys, int x, int y)
{
    GrpSymbol(hdc, keys, x, y, 2.2, 2.0, COLOR_NAVY, 500, 1, 0, 1, 48, FACE_ARIAL);
}

// Later steps draw over earlier ones: the rules cross the fill, the texts
// stand on top of everything.
void RKM_KEY_BOAD(HDC hdc, int x, int y)
{
    GrpLine(hdc, x, y, x + 168, y + 190, COLOR_BEIGE, MODE_FILL);
    GrpLine(hdc, x, y, x + 168, y + 1, COLOR_WHITE, MODE_OUTLINE);
    GrpLine(hdc, x, y, x + 1, y + 230, COLOR_WHITE, MODE_OUTLINE);
    GrpLine(hdc, x + 168, y, x + 169, y + 40, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, x + 2, y + 2, x + 167, y + 32, COLOR_BLUE, MODE_FILL);
    for (int i = 0; i <= 4; i++)
        GrpLine(hdc, x, y + 31 + 40 * i, x + 168, y + 32 + 40 * i, COLOR_WHITE, MODE_OUTLINE);
    for (int j = 0; j <= 3; j++) {
        GrpLine(hdc, x + 42 + 42 * j, y + 29, x + 43 + 42 * j, y + 190, COLOR_BLACK,
                MODE_OUTLINE);
        if (j <= 2)
            GrpLine(hdc, x + 44 + 42 * j, y + 29, x + 45 + 42 * j, y + 190, COLOR_WHITE,
                    MODE_OUTLINE);
    }
    for (int k = 0; k <= 5; k++)
        GrpLine(hdc, x, y + 29 + 40 * k, x + 168, y + 30 + 40 * k, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, x + 168, y + 190, x + 169, y + 230, COLOR_BLACK, MODE_OUTLINE);

    lay_text(hdc, "Mouse KeyBoad", x + 4, y + 4, 1.8, 1.6, COLOR_CYAN, FACE_ROUND_THIN);
    key_row(hdc, "1  2  3  +", x + 6, y + 36);
    key_row(hdc, "4  5  6  -", x + 6, y + 76);
    key_row(hdc, "7  8  9  *", x + 6, y + 116);
    key_row(hdc, "0  :  .  /", x + 6, y + 156);
    GrpSymbol(hdc, "Enter  BS", x + 6, y + 196, 2.4, 2.0, COLOR_MAROON, 500, 1, 0, 1, 48,
              FACE_ARIAL);

    // The divider between Enter and BS.
    GrpLine(hdc, x + 106, y + 190, x + 107, y + 230, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, x + 108, y + 191, x + 109, y + 228, COLOR_WHITE, MODE_OUTLINE);
}

// "Esc・F11 メニュー　PageUp/PageDown 前/次　F9 印刷　F8 ヘルプ"
static const char HINT[] = "Esc\x81\x45" "F11 \x83\x81\x83\x6A\x83\x85\x81\x5B\x81\x40"
                           "PageUp/PageDown \x91\x4F/\x8E\x9F\x81\x40" "F9 \x88\xF3\x8D\xFC\x81\x40"
                           "F8 \x83\x77\x83\x8B\x83\x76";

int lay_quiet_ink(int background)
{
    const int light = (background & 0xFF) + (background >> 8 & 0xFF) + (background >> 16 & 0xFF);
    return light > 3 * 0x80 ? 0x707070 : 0xA8A8A8;
}

void lay_hint(HDC hdc, int background)
{
    lay_text(hdc, HINT, 20, 746, 1.2, 1.1, lay_quiet_ink(background), FACE_ROUND_MEDIUM);
}
