// The application shell: program entry, the window procedure, the paint
// dispatch, and keyboard and mouse input with the year and month entry.
#pragma once

#include <vector>

#include "platform/window/thread_post.h"
#include "platform/windows.h"
#include "layout/layout.h"

/* What the screen shows. The shell keeps the one record: every drawing of a
   view writes it, and the stepping, the wheel's target, the redraw of a
   choice and the window title read it. */
struct ShownView {
    int layout = LAYOUT_NONE;  // the view drawn, LAYOUT_LARGE .. LAYOUT_YEAR; none before the first paint
    int year = 0, month = 0;   // its month (the year view: any month of its year)
    int today = 0;             // the start screen: the day it frames, as YYYYMMDD; else 0
    bool help = false;         // the help screen (F8) stands over it
};
const ShownView& app_shown(void);

/* Program entry and the main window */
int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);
LRESULT WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void RKM_INIT_SET(void);

/* Painting */
void RKM_PAINT_PROC(HDC hdc);  // the whole screen for the current display state
void RKM_MAIN_PROC(HDC hdc);   // today's month in the medium view, today framed
void app_draw_chosen(HDC hdc); // iYear/iMont in layout iDspfg, no day framed
void app_new_day(HWND window); // repaints the start screen once today has changed
void app_show_today(HDC hdc);  // F11: today's month, the selector for the layout in force
// A layout or colour chosen: the month shown (today's on the start screen)
// drawn again at once in the layout in force, the entry in progress kept.
void app_show_choice(HDC hdc);
// What the screen shows drawn again, the entry fields empty: today's month
// where F11 showed it over a chosen one, else as a paint draws it.
void app_redraw_shown(HDC hdc);
// The help screen (F8) over the calendar; any key or click closes it.
void app_open_help(HDC hdc);
void app_close_help(HDC hdc);
void help_draw(HDC hdc);

/* The layout, the background colour and the notes switch kept for the next
   start, in the settings file as layout=large|medium|small|year,
   colour=#RRGGBB and notes=1|0 */
void remember_load(void);  // into iDspbk, iBcol and iNotes; anything else keeps the start values
void remember_layout(int layout);
void remember_colour(int colour);
void remember_notes(int on);  // notes=1|0

/* The user's calendars (events/): read from the start, news wakes the window */
enum : UINT { WM_APP_EVENTS = WM_APP + 1 };  // events or failures changed
// Starts reading the calendars file and `ics`; `wait` waits until each
// source was read once (for a snapshot). Nothing happens with no source.
void app_events_start(const std::vector<const char*>& ics, bool wait);
void app_events_window(HWND window);  // the window news is posted to
void app_events_arrived(HWND window); // WM_APP_EVENTS

/* Keyboard and the year and month entry */
int RKM_KEYIN_PROC(HWND window, unsigned int key, long key_data);
int RKM_YEAR_INP(HDC hdc);
int RKM_MONTH_INP(HDC hdc);
// The character the key produced on the user's keyboard, or 0 for none.
char app_key_character(unsigned int key, long key_data);

/* Stepping through months: PageUp, PageDown, Up, Down, the mouse wheel */
// The month a step reaches from the month shown: -1 back, 1 on, by a year
// when `layout` (the layout the step draws in) is the year view. False when
// no month is shown or the step would pass January of year 0 or December 9999.
bool step_target(const ShownView& shown, int layout, int direction, int* year, int* month);
// Whether (x, y) lies on the calendar shown, where the wheel steps.
bool step_on_calendar(const ShownView& shown, int x, int y);
void step_month(HDC hdc, const ShownView& shown, int direction);
void step_wheel(HWND window, const ShownView& shown, int x, int y, int turn);  // WM_MOUSEWHEEL

/* The print dialog (F10): a view over the calendar that takes every key
   and click of the main window while it is open */
void pdlg_open(HWND window);
bool pdlg_is_open(void);
void pdlg_draw(HDC hdc);  // over the calendar just painted, when open
void pdlg_key(HWND window, unsigned int key, long key_data);
void pdlg_click(HWND window, int x, int y);

/* Mouse */
void RKM_SYS_MOUSE(HWND window, int x, int y);
void RKM_KB_MOUSE(HDC hdc, int x, int y);
void RKM_COL_MOUSE(HDC hdc, int x, int y);
void app_choose_layout(HDC hdc, int layout);  // a layout button, or F1 to F4; remembered

/* The entry fields, shared by the keyboard and the on-screen keypad */
void ent_type(HDC hdc, char character);  // one character into the current field
void ent_delete(HDC hdc);                // Backspace: the last character
void ent_complete(HDC hdc);              // Enter: completes the current field
void ent_show_month(HDC hdc, int year, int month);  // a month entry completed at once
// The entry in progress, kept across a redraw that empties the fields.
struct EntryDraft {
    int step, count;
    char typed[4];
    int year;  // the year completed, while the month is typed
};
EntryDraft ent_draft(void);
void ent_resume(HDC hdc, const EntryDraft& draft);

/* Destroys the window and ends the process (F12, 終了): with exit code 0, or
   what the hook set by app_set_quit_hook returns; the hook runs while the
   window still shows its last frame. */
[[noreturn]] void app_quit_now(HWND window, HDC hdc);
void app_set_quit_hook(int (*hook)(HWND window));
