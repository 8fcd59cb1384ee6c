// The calendar engine: date rules, the month walk, the holiday files.
//
// The calendar follows the British change of 1752 (2 September is followed
// by 14 September) and counts 1800 and 1900 as the only century years that
// are not leap years. Weekday numbers run 0 Sunday to 6 Saturday; a day
// code is month * 100 + day.
#pragma once

#include <functional>
#include <string>
#include <vector>

/* Day colours, 0x00BBGGRR */
enum {
    CAL_BLACK = 0x000000,
    CAL_SUNDAY = 0x0000FF,    // also a substitute holiday
    CAL_SATURDAY = 0x406000,
    CAL_HOLIDAY = 0x6020FF,
};

/* Date rules */
int RKM_DAY_MAX(int year, int month);
int RKM_FIRST_DAY(int year, int month);
int RKM_HDAY_CHK(int year, int month, int day, int weekday_code, int monday_count);
int RKM_YHDAY_CHK(int off, int day_code);
extern int iHdtbl[11];

/* Month walk: visits each day of a month with its cell and colour, keeping
   the substitute-holiday carry iFuri as it goes. The caller clears iFuri
   when its layout starts. */
struct CalDay {
    int column;    // 0 Sunday .. 6 Saturday
    int row;       // week row, 0 .. 5
    int position;  // day position in the month, 1 .. days in the month
    int number;    // number shown (September 1752 jumps from 2 to 14)
    int colour;    // CAL_BLACK, CAL_SUNDAY, CAL_SATURDAY or CAL_HOLIDAY
};
void cal_walk_month(int year, int month, const std::function<void(const CalDay&)>& visit);

/* Texts shared by every view and printed layout */
const char* cal_month_title(int year, int month);  // "2003年11月", in cWorkbuf
const char* cal_day_text(int number);              // " 5", "14", in cWorkbuf
enum { CAL_ERA_SIZE = 32 };  // room for the longest era text, "昭和64年・平成元年"
// "平成15年", "" before 1873, into `out` of `size` bytes; returns `out`.
char* cal_era_text(int year, int month, char* out, size_t size);

/* Holiday files HDAY1.DAT and HDAY2.DAT, from the folder hday_folder picks */
void RKM_YHDAY_RED(void);
// The folder to read both files from, ending in '/', or "" for the current
// folder: the first that holds HDAY1.DAT of the current folder,
// $XDG_CONFIG_HOME/rkm7500 (~/.config/rkm7500) and rkm7500 in each folder of
// $XDG_CONFIG_DIRS (/etc/xdg); "" when none does.
std::string hday_folder(void);
// The configuration folders searched after the current one, in order, each
// ending in "/rkm7500/".
std::vector<std::string> hday_config_folders(void);
// The same search for the official holiday list: the first folder holding
// an entry syukujitsu.csv of any kind (the reader says why it refuses one
// that is not a file).
std::string hol_list_folder(void);
