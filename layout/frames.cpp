// The screen frames: the working screen of the medium view, the plain frame
// of the large and year views, the layout selector and the palette.
#include "layout/layout.h"

#include "state/state.h"
#include "support/ghl3000.h"

const char FACE_ROUND_MEDIUM[] = "\x82\x63\x82\x65\x92\x86\x8a\xdb\x83\x53\x83\x56\x83\x62\x83\x4e\x91\xcc";
const char FACE_ROUND_THIN[] = "\x82\x63\x82\x65\x8d\xd7\x8a\xdb\x83\x53\x83\x56\x83\x62\x83\x4e\x91\xcc";
const char FACE_GOTHIC[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";
const char FACE_ARIAL[] = "Arial";

static const char ENTRY_CAPTION[] = "\x94\x4e    \x8c\x8e";  // "年    月"

const int lay_palette[PALETTE_ROWS][PALETTE_COLUMNS] = {
    {0xFFFFFF, 0xF0F0F0, 0xE0E0E0, 0xD0D0D0, 0xC0C0C0},  // white to light grey
    {0xE0FFFF, 0xD0FFFF, 0xC0FFFF, 0xB0FFFF, 0xA0FFFF},  // pale yellows
    {0xFFF0F0, 0xFFE0E0, 0xFFD0D0, 0xFFC0C0, 0xFFB0B0},  // pale blues
    {0xF0F0FF, 0xE0E0FF, 0xD0D0FF, 0xC0C0FF, 0xB0B0FF},  // pale pinks
    {0xE0FFE0, 0xD0FFD0, 0xC0FFC0, 0xB0FFB0, 0xA0FFA0},  // pale greens
};

void lay_text(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
              const char* face)
{
    GrpSymbol(hdc, text, x, y, wf, hf, colour, 500, 0, 0, 1, 48, face);
}

int lay_swatch_x(int column)
{
    return 808 + 26 * column;
}

int lay_swatch_y(int row)
{
    return 292 + 27 * row;
}

const char* const LAYOUT_NAMES[4] = {"large", "medium", "small", "year"};

int lay_selector_x(int button)
{
    return 620 + 80 * button;
}

void lay_working_frame(HDC hdc)
{
    GrpLine(hdc, 0, 0, 1024, 768, COLOR_DARK_GREY, MODE_FILL);
    GrpButton(hdc, 4, 2, 1020, 671, COLOR_BEIGE, BUTTON_RAISED);
    RKM_FNK_DSP(hdc, 1);
}

// The function-key bar stands apart from every other part, so it is drawn
// with the frame, first.
void RKM_WAKU_CRT(HDC hdc)
{
    lay_working_frame(hdc);
    GrpButton(hdc, 620, 77, 940, 130, COLOR_STEEL_BLUE, BUTTON_RAISED);
    GrpLine(hdc, 630, 84, 760, 123, COLOR_NAVY, MODE_FILL);
    GrpLine(hdc, 820, 84, 890, 123, COLOR_NAVY, MODE_FILL);
    lay_text(hdc, ENTRY_CAPTION, 770, 84, 3.0, 2.6, COLOR_BEIGE, FACE_ROUND_MEDIUM);
    RKM_WAKU2_CRT(hdc);
    RKM_WAKU3_CRT(hdc);
    RKM_KEY_BOAD(hdc, 620, 256);
    // Entry starts with the year: the cursor under its first cell.
    GrpLine(hdc, 635, 122, 663, 123, COLOR_LIGHT_GREY, MODE_FILL);
}

void RKM_WAKU1_CRT(HDC hdc)
{
    GrpLine(hdc, 0, 0, 1024, 768, COLOR_DARK_GREY, MODE_FILL);
    GrpLine(hdc, 5, 4, 1019, 764, iBcol, MODE_FILL);
    GrpLine(hdc, 5, 4, 1019, 764, COLOR_BEIGE, MODE_OUTLINE);
}

void RKM_WAKU2_CRT(HDC hdc)
{
    // While no layout is in force (9: at start, while F11 draws today's
    // month) the one chosen last is marked, the medium one at first.
    int selected = (iDspfg >= LAYOUT_LARGE && iDspfg <= LAYOUT_YEAR) ? iDspfg
                   : (iDspbk >= LAYOUT_LARGE && iDspbk <= LAYOUT_YEAR) ? iDspbk
                                                                     : LAYOUT_MEDIUM;
    for (int i = 0; i < 4; i++) {
        int x = lay_selector_x(i);
        // Each fill reaches the next button's first column; the next one overdraws it.
        GrpLine(hdc, x, 177, x + 80, 230, COLOR_GREEN, MODE_FILL);
        GrpLine(hdc, x, 177, x + 79, 230, COLOR_WHITE, MODE_OUTLINE);
        GrpLine(hdc, x + 78, 177, x + 79, 230, COLOR_BLACK, MODE_OUTLINE);
        GrpLine(hdc, x, 229, x + 79, 230, COLOR_BLACK, MODE_OUTLINE);
        if (i == selected)
            GrpLine(hdc, x + 1, 178, x + 77, 228, COLOR_BLUE, MODE_FILL);
        lay_text(hdc, Dspname[i], x + 18, 183, 3.0, 2.6, COLOR_WHITE, FACE_ROUND_MEDIUM);
    }
}

void RKM_WAKU3_CRT(HDC hdc)
{
    GrpLine(hdc, 800, 256, 939, 446, COLOR_BEIGE, MODE_FILL);
    GrpLine(hdc, 800, 256, 939, 257, COLOR_WHITE, MODE_OUTLINE);
    GrpLine(hdc, 800, 256, 801, 486, COLOR_WHITE, MODE_OUTLINE);
    GrpLine(hdc, 939, 256, 940, 486, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, 800, 485, 940, 486, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, 802, 258, 938, 288, COLOR_BLUE, MODE_FILL);
    GrpLine(hdc, 802, 285, 938, 286, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, 802, 287, 938, 288, COLOR_WHITE, MODE_OUTLINE);
    lay_text(hdc, "Back Color", 804, 260, 1.9, 1.6, COLOR_CYAN, FACE_ROUND_THIN);
    for (int r = 0; r < PALETTE_ROWS; r++)
        for (int c = 0; c < PALETTE_COLUMNS; c++)
            GrpLine(hdc, lay_swatch_x(c), lay_swatch_y(r), lay_swatch_x(c) + 20,
                    lay_swatch_y(r) + 20, lay_palette[r][c], MODE_FILL);
    for (int r = 0; r < PALETTE_ROWS; r++)
        for (int c = 0; c < PALETTE_COLUMNS; c++)
            GrpLine(hdc, lay_swatch_x(c), lay_swatch_y(r), lay_swatch_x(c) + 20,
                    lay_swatch_y(r) + 20, COLOR_BLACK, MODE_OUTLINE);
    GrpLine(hdc, 808, 435, 932, 475, iBcol, MODE_FILL);
    GrpLine(hdc, 808, 435, 932, 475, COLOR_BLACK, MODE_OUTLINE);
}
