// The application shell: program entry, the window procedure, the paint
// dispatch, and keyboard and mouse input with the year and month entry.
#pragma once

#include "platform/windows.h"

/* Program entry and the main window */
int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);
LRESULT WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void RKM_INIT_SET(void);

/* Painting */
void RKM_PAINT_PROC(HDC hdc);  // the whole screen for the current display state
void RKM_MAIN_PROC(HDC hdc);   // today's month in the medium view, today framed
void app_draw_chosen(HDC hdc); // iYear/iMont in layout iDspfg, no day framed
void app_new_day(HWND window); // repaints the start screen once today has changed

/* Keyboard and the year and month entry */
int RKM_KEYIN_PROC(HWND window, unsigned int key, long key_data);
int RKM_YEAR_INP(HDC hdc);
int RKM_MONTH_INP(HDC hdc);
// The character the key produced on the user's keyboard, or 0 for none.
char app_key_character(unsigned int key, long key_data);

/* Stepping through months: PageUp, PageDown, the mouse wheel */
void step_shown(int layout, int year, int month);     // what the calendar area now shows
void step_month(HDC hdc, int direction);              // -1 back, 1 on; a year in the year view
void step_wheel(HWND window, int x, int y, int turn); // WM_MOUSEWHEEL at client (x, y)

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
void app_choose_layout(HDC hdc, int layout);  // a layout button, or F1 to F4

/* The entry fields, shared by the keyboard and the on-screen keypad */
void ent_type(HDC hdc, char character);  // one character into the current field
void ent_delete(HDC hdc);                // Backspace: the last character
void ent_complete(HDC hdc);              // Enter: completes the current field
void ent_show_month(HDC hdc, int year, int month);  // a month entry completed at once

/* Destroys the window and ends the process (F12, 終了): with exit code 0, or
   what the hook set by app_set_quit_hook returns; the hook runs while the
   window still shows its last frame. */
[[noreturn]] void app_quit_now(HWND window, HDC hdc);
void app_set_quit_hook(int (*hook)(HWND window));
