// The four calendar views on screen. Each draws its own frame and the whole
// view, runs the month walk for the days, clears iFuri when it starts and
// sets iNstep to 0 when it finishes (the next entry starts with the year).
//
// A month outside 1 to 12, or a year before year 0, draws the frame and
// grid with no title and no days: there is no such month to show.
#pragma once

#include "platform/windef.h"

void RKM_CALEN1_PROC(HDC hdc, int year, int month);             // large month view
void RKM_CALEN2_PROC(HDC hdc, int year, int month, int today);  // medium; today 0: no frame
void RKM_CALEN3_PROC(HDC hdc, int year, int month);             // small month view
void RKM_CALEN4_PROC(HDC hdc, int year, int month);             // year view; month unused

// A grid line three pixels wide: a dark outline around a light middle line
// from (x1, y1) to (x2, y2). The line is vertical when x1 == x2.
void cal_groove(HDC hdc, int x1, int y1, int x2, int y2);
