// Keyboard input and the year and month entry fields.
//
// The year field takes four characters in cells from x 635, the month field
// two from x 825; each cell is 28 wide. Whatever character a key yields is
// taken; the conversion at Enter decides the value. Nothing is ever drawn
// outside a field's cells, and a cell is cleared before a character is
// drawn into it, so the field shows exactly the characters counted.
#include "app/app.h"

#include <cstdio>
#include <cstdlib>

#include "state/state.h"
#include "layout/layout.h"
#include "print/print.h"
#include "support/ghl3000.h"

enum { FIELD_YEAR = 0, FIELD_MONTH = 1 };
enum { BEEP_COUNT = 20 };

// The year typed at the last completion of the year field, and the year of
// the last accepted month entry. A refused month gives iYear back its
// accepted value, so iYear and iMont always name a month that can be shown,
// and the year field shows that year again for the next month.
static int ent_typed_year;
static int ent_accepted_year;
static char ent_year_text[8];  // the year field's text as completed

// The field taking characters: its first cell's x, with iMjset set to the
// most characters it takes.
static int field_x()
{
    iMjset = iNstep == FIELD_MONTH ? 2 : 4;
    if (iNkcnt < 0)
        iNkcnt = 0;
    if (iNkcnt > iMjset)
        iNkcnt = iMjset;
    return iNstep == FIELD_MONTH ? 825 : 635;
}

static void field_text(HDC hdc, const char* text, int x, int colour)
{
    lay_text(hdc, text, x, 86, 4.0, 2.2, colour, FACE_ROUND_MEDIUM);
}

static void cell_clear(HDC hdc, int x0, int n)
{
    GrpLine(hdc, x0 + 28 * n, 87, x0 + 28 * n + 28, 123, COLOR_NAVY, MODE_FILL);
}

static void cell_cursor(HDC hdc, int x0, int n, int colour)
{
    GrpLine(hdc, x0 + 28 * n, 122, x0 + 28 * n + 28, 123, colour, MODE_FILL);
}

// A character into the next cell; a full field refuses it with a beep and
// draws nothing.
void ent_type(HDC hdc, char character)
{
    int x0 = field_x();
    if (iNkcnt >= iMjset) {
        GrpBeep(BEEP_COUNT);
        return;
    }
    char text[2] = {character, '\0'};
    cKeybuf[iNkcnt] = character;
    cell_clear(hdc, x0, iNkcnt);
    field_text(hdc, text, x0 + 28 * iNkcnt, COLOR_YELLOW);
    iNkcnt++;
    if (iNkcnt < iMjset)
        cell_cursor(hdc, x0, iNkcnt, COLOR_LIGHT_GREY);
}

void ent_delete(HDC hdc)
{
    int x0 = field_x();
    if (iNkcnt < iMjset)
        cell_clear(hdc, x0, iNkcnt);  // the cursor's cell
    if (iNkcnt > 0)
        iNkcnt--;
    cell_clear(hdc, x0, iNkcnt);
    cell_cursor(hdc, x0, iNkcnt, COLOR_LIGHT_GREY);
}

void ent_complete(HDC hdc)
{
    field_x();
    cKeybuf[iNkcnt] = '\0';
    if (iNstep == FIELD_YEAR)
        RKM_YEAR_INP(hdc);
    else
        RKM_MONTH_INP(hdc);
}

// The typed characters as a string: at most four fit a field.
static void typed_text(char* text, int size)
{
    int n = iNkcnt < 0 ? 0 : iNkcnt < size - 1 ? iNkcnt : size - 1;
    for (int i = 0; i < n; i++)
        text[i] = cKeybuf[i];
    text[n] = '\0';
}

// The completed fields, in white.
static void year_field(HDC hdc, const char* text)
{
    GrpLine(hdc, 630, 84, 760, 123, COLOR_NAVY, MODE_FILL);
    field_text(hdc, text, 635, COLOR_WHITE);
}

static void month_field(HDC hdc, int month)
{
    char text[8];
    BinToAscii("SI", 2, 0, "0001", &month, text);
    GrpLine(hdc, 820, 84, 890, 123, COLOR_NAVY, MODE_FILL);
    field_text(hdc, text, 825, COLOR_WHITE);
}

// The year field emptied, with the cursor under its first cell.
static void year_field_clear(HDC hdc)
{
    GrpLine(hdc, 630, 84, 760, 123, COLOR_NAVY, MODE_FILL);
    cell_cursor(hdc, 635, 0, COLOR_LIGHT_GREY);
}

// The year field completed with `text`; the month field takes characters.
static void year_field_done(HDC hdc, const char* text)
{
    std::snprintf(ent_year_text, sizeof ent_year_text, "%s", text);
    year_field(hdc, text);
    cell_cursor(hdc, 825, 0, COLOR_LIGHT_GREY);
    iNstep = FIELD_MONTH;
    iNkcnt = 0;
}

// A year before year 0 has no calendar: it is refused with a beep before it
// reaches iYear, and the year field opens again, empty.
int RKM_YEAR_INP(HDC hdc)
{
    char text[8];
    typed_text(text, sizeof text);
    int year = std::atoi(text);
    if (year < 0) {
        GrpBeep(BEEP_COUNT);
        year_field_clear(hdc);
        iNkcnt = 0;
        return 0;
    }
    iYear = year;
    ent_typed_year = iYear;
    year_field_done(hdc, text);
    return 0;
}

// A month outside 1 to 12 has no calendar: the entry is refused with a beep
// and the year in force comes back. Once a month has been accepted, the
// year field shows that year and the month field opens again for it;
// before that there is no year in force and the entry starts over with an
// empty year field.
static void refuse_month(HDC hdc)
{
    GrpBeep(BEEP_COUNT);
    iYear = ent_accepted_year;
    ent_typed_year = iYear;
    GrpLine(hdc, 820, 84, 890, 123, COLOR_NAVY, MODE_FILL);
    if (iSetfg) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", iYear);
        year_field_done(hdc, text);
        return;
    }
    year_field_clear(hdc);
    iNstep = FIELD_YEAR;
    iNkcnt = 0;
}

int RKM_MONTH_INP(HDC hdc)
{
    char text[8];
    typed_text(text, sizeof text);
    int month = std::atoi(text);
    if (month < 1 || month > 12) {
        refuse_month(hdc);
        return 0;
    }
    iYear = ent_typed_year;
    iMont = month;
    ent_accepted_year = iYear;
    month_field(hdc, iMont);
    app_draw_chosen(hdc);
    iNstep = FIELD_YEAR;
    iNkcnt = 0;
    iSetfg = 1;
    return 0;
}

// A month given whole (a step through months): both fields show it, any
// entry in progress ends with the cursor under the year's first cell, and
// the month is shown in the layout in force as after a month entry.
void ent_show_month(HDC hdc, int year, int month)
{
    char text[8];
    std::snprintf(text, sizeof text, "%d", year);
    year_field(hdc, text);
    month_field(hdc, month);
    cell_cursor(hdc, 635, 0, COLOR_LIGHT_GREY);
    iYear = ent_typed_year = ent_accepted_year = year;
    iMont = month;
    iNstep = FIELD_YEAR;
    iNkcnt = 0;
    iSetfg = 1;
    app_draw_chosen(hdc);
}

EntryDraft ent_draft(void)
{
    field_x();
    EntryDraft draft{iNstep, iNkcnt, {}, ent_typed_year};
    for (int i = 0; i < draft.count; i++)
        draft.typed[i] = cKeybuf[i];
    return draft;
}

// The fields as they were: the completed year, then the characters typed,
// each drawn as when it was typed.
void ent_resume(HDC hdc, const EntryDraft& draft)
{
    if (draft.step == FIELD_MONTH) {
        iYear = ent_typed_year = draft.year;
        year_field_done(hdc, ent_year_text);
    }
    for (int i = 0; i < draft.count; i++)
        ent_type(hdc, draft.typed[i]);
}

// Printing draws nothing on screen, so the entry in progress stays as the
// fields show it.
static void print_keeping_entry(HDC hdc)
{
    int step = iNstep, count = iNkcnt;
    RKM_CALEN_PRN(hdc);
    iNstep = step;
    iNkcnt = count;
}

// F5: the traditional notes on or off, kept for the next start. What is
// shown is drawn again at once with or without them, the start screen as
// the start screen, and the entry in progress is kept.
static void toggle_notes(HDC hdc)
{
    iNotes = !iNotes;
    remember_notes(iNotes);
    if (iSetfg != 0) {
        app_show_choice(hdc);
        return;
    }
    const EntryDraft draft = ent_draft();
    RKM_PAINT_PROC(hdc);
    ent_resume(hdc, draft);
}

char app_key_character(unsigned int key, long key_data)
{
    WORD out[1] = {0};
    GetKeyboardState(cKeyst);
    if (ToAscii(key, (UINT)key_data, cKeyst, out, 0) != 1)
        return 0;
    return (char)(out[0] & 0xFF);
}

// Ctrl+P prints as F9 does, Ctrl+Q quits as F12 does.
static unsigned int chord_key(unsigned int key)
{
    if (GetKeyState(VK_CONTROL) >= 0)
        return key;
    if (key == 'P')
        return VK_F9;
    return key == 'Q' ? (unsigned int)VK_F12 : key;
}

// Esc with nothing typed, over a view that covers the working screen, goes
// back to it as F11 does; while the month is typed, back to the year.
static void escape(HDC hdc)
{
    if (iNstep == FIELD_MONTH) {
        iNstep = FIELD_YEAR;
        iNkcnt = 0;  // nothing is redrawn
    } else if (iNkcnt == 0 && app_shown().layout != LAYOUT_MEDIUM) {
        app_show_today(hdc);
    }
}

int RKM_KEYIN_PROC(HWND window, unsigned int key, long key_data)
{
    HDC hdc = GetDC(window);
    if (app_shown().help) {  // any key closes the help screen, and only that
        app_close_help(hdc);
        ReleaseDC(window, hdc);
        return 0;
    }
    field_x();
    switch (chord_key(key)) {
    case VK_BACK:
    case VK_LEFT:
        ent_delete(hdc);
        break;
    case VK_RETURN:
        ent_complete(hdc);
        break;
    case VK_ESCAPE:
        escape(hdc);
        break;
    case VK_F1:
    case VK_F2:
    case VK_F3:
    case VK_F4:
        app_choose_layout(hdc, (int)(key - VK_F1) + LAYOUT_LARGE);
        break;
    case VK_F5:
        toggle_notes(hdc);
        break;
    case VK_F8:
        app_open_help(hdc);
        break;
    case VK_F9:
        print_keeping_entry(hdc);
        break;
    case VK_F10:
        pdlg_open(window);
        break;
    case VK_F11:
    case VK_HOME:
        app_show_today(hdc);
        break;
    case VK_PRIOR:
    case VK_UP:
    case VK_NEXT:
    case VK_DOWN:
        step_month(hdc, app_shown(), key == VK_NEXT || key == VK_DOWN ? 1 : -1);
        break;
    case VK_F12:
        app_quit_now(window, hdc);
    default: {
        // The keypad's 4 with NumLock off yields no character: it is the
        // keypad's Left key, and deletes as Left does.
        char character = app_key_character(key, key_data);
        if (character != 0)
            ent_type(hdc, character);
        else if (key == VK_NUMPAD4)
            ent_delete(hdc);
        break;
    }
    }
    ReleaseDC(window, hdc);
    return 0;
}
