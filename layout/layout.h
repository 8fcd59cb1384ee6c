// Screen layout: the fixed 1024 x 768 design, its frames and panels, the
// layout selector, the background-colour palette, the function-key bar and
// the on-screen keypad.
//
// Coordinates are client-area pixels, origin top left; rectangles are two
// inclusive corners. Colours are 0x00BBGGRR. Nothing is scaled to the window.
#pragma once

#include <string>

#include "platform/windef.h"

/* Colours of the screen design */
enum {
    COLOR_DARK_GREY = 0x404040,   // screen border, grid grooves
    COLOR_BEIGE = 0xBBCCD5,       // panels, entry-box caption
    COLOR_STEEL_BLUE = 0xA05C40,  // year and month entry box
    COLOR_NAVY = 0x800000,        // entry fields, key names, keypad keys
    COLOR_LIGHT_GREY = 0xC0C0C0,  // entry cursor, groove middles, function keys
    COLOR_GREEN = 0x5C8000,       // layout selector buttons
    COLOR_BLUE = 0xFF0000,        // selected layout, title bars, month titles
    COLOR_CYAN = 0xFFFF00,        // panel titles, printer line
    COLOR_YELLOW = 0x00FFFF,      // characters being typed
    COLOR_MAROON = 0x000080,      // Enter and BS of the keypad
    COLOR_WHITE = 0xFFFFFF,
    COLOR_BLACK = 0x000000,
};

/* GrpLine modes and the button style of the design */
enum { MODE_LINE = 0, MODE_OUTLINE = 1, MODE_FILL = 2 };
enum { BUTTON_RAISED = 1 };

/* Text faces (Shift-JIS names) */
extern const char FACE_ROUND_MEDIUM[];  // "ＤＦ中丸ゴシック体"
extern const char FACE_ROUND_THIN[];    // "ＤＦ細丸ゴシック体"
extern const char FACE_GOTHIC[];        // "ＭＳ ゴシック"
extern const char FACE_ARIAL[];         // "Arial"

// Draws text in the calendar's plain style: weight 500, upright, not
// underlined, pitch 1, family 48.
void lay_text(HDC hdc, const char* text, int x, int y, double wf, double hf, int colour,
              const char* face);
// A text written in UTF-8 as the Shift-JIS the text path takes; a character
// with no Shift-JIS form shows as '?'.
std::string lay_sjis(const std::string& utf8);
// A Shift-JIS text cut to at most `cells` half-width cells (bytes), whole
// characters only, with "…" where it was cut: its end kept when
// `keep_end` (a file or folder name), else its start.
std::string lay_fitted(const std::string& text, size_t cells, bool keep_end);

/* Background-colour palette: swatch (row r, column c) covers
   (808 + 26c, 292 + 27r)-(828 + 26c, 312 + 27r) */
enum { PALETTE_ROWS = 5, PALETTE_COLUMNS = 5 };
extern const int lay_palette[PALETTE_ROWS][PALETTE_COLUMNS];
int lay_swatch_x(int column);
int lay_swatch_y(int row);

/* Layout selector: button i (0 large, 1 medium, 2 small, 3 year) starts at
   x = 620 + 80i, y 177 to 230 */
enum { LAYOUT_LARGE = 0, LAYOUT_MEDIUM = 1, LAYOUT_SMALL = 2, LAYOUT_YEAR = 3,
       LAYOUT_NONE = 9 };
// Their names where people write them: "large", "medium", "small", "year"
// (--layout, the settings file's layout=).
extern const char* const LAYOUT_NAMES[4];
int lay_selector_x(int button);

/* Function-key bar: key i (0 F1 .. 11 F12) spans x .. x + 78, y 675 to 717 */
int lay_fkey_x(int key);
// The caption under key i: the design's (印刷, Menu, 終了) or one added where
// the design leaves the key blank; null for a key with no action.
const char* lay_fkey_caption(int key);

/* Frames */
void RKM_WAKU_CRT(HDC hdc);   // full working screen with the side panel
// The working screen's dark ground, its main panel and the function-key bar:
// what a view drawn on that panel leaves of it.
void lay_working_frame(HDC hdc);
// The line of keys in the free strip at the bottom of a view that covers the
// working screen (y 746 to 762), in a quiet colour for `background`; nothing
// of the calendar lies there.
void lay_hint(HDC hdc, int background);
// Grey, a little darker than `background` when it is pale and lighter when
// it is dark: the ink of the quiet lines at the foot of the screen.
int lay_quiet_ink(int background);
void RKM_WAKU1_CRT(HDC hdc);  // plain frame of the large and year views
void RKM_WAKU2_CRT(HDC hdc);  // layout selector, iDspfg highlighted
void RKM_WAKU3_CRT(HDC hdc);  // "Back Color" palette and the sample of iBcol

/* Function-key bar and keypad */
void RKM_FNK_DSP(HDC hdc, int row);         // captions of Fnkc row `row` (0 or 1)
void RKM_KEY_BOAD(HDC hdc, int x, int y);   // keypad with its top-left corner at (x, y)
