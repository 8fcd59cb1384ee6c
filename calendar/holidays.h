// The national holidays in force: the official list of the Cabinet Office
// (syukujitsu.csv) for every year it covers, its first to its last, and the
// compiled law (holiday_law.h) for every other year. The month walk, the
// names in the views, the printed pages, the day-off boxes and the exports
// all ask here.
#pragma once

#include <string>
#include <vector>

/* The official list as a file gives it */
struct HolListRow {
    int year, month, day;
    std::string name;  // Shift-JIS, as the file writes it
    int line;          // line of the file
};
struct HolList {
    std::vector<HolListRow> rows;       // by date, one a day
    int first_year = 0, last_year = 0;  // the years it covers; 0 when it holds no day
};

enum { HOL_FILE_MOST = 1024 * 1024 };  // a longer file is refused

// Reads the list from a file's bytes: a header line, then "YYYY/M/D,name"
// lines (the two fields may be quoted), in Shift-JIS or UTF-8 (a line is
// UTF-8 when it is valid UTF-8), with or without a byte-order mark, lines
// ending in CR LF, LF or CR. A line that is not a day of 1948 to 9999 with
// a name is left out and described in `bad` as "LINE: reason".
HolList hol_parse_list(const char* bytes, size_t size, std::vector<std::string>* bad);
// The bytes of a list file, at most HOL_FILE_MOST, read without ever
// waiting. False with the reason when it is no regular file, cannot be
// read, is empty, larger, UTF-16 or not text (it holds NUL bytes).
bool hol_read_file(const std::string& path, std::string* bytes, std::string* reason);

/* The list in force */
// Looks for syukujitsu.csv where the holiday files are looked for (the
// first folder holding one), reads it and puts it in force. Bad lines, and a
// file that cannot be used, are reported on standard error; without a
// usable file the compiled law holds for every year.
void hol_load_official(void);
// Puts `list` in force, read from `path` (an empty list: the law for every
// year). Names and kinds are resolved once here.
void hol_set_list(const HolList& list, const std::string& path);
// For --version: which list is in force and for which years, UTF-8.
std::string hol_source_text(void);

/* Days off in force: kinds and names as holiday_law.h gives them */
int hol_day_kind(int year, int month, int day);          // LAW_WORKDAY ...
const char* hol_day_name(int year, int month, int day);  // Shift-JIS, or null
// The substitute rule as the month walk applies it (law_substitute_step);
// in a year of the list the day's own kind decides and the carry is cleared.
int hol_substitute_step(int year, int month, int day, int* carry);
