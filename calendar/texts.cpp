// Texts every view and printed layout shares, composed in cWorkbuf.
#include "calendar/calendar.h"

#include <cstring>

#include "state/state.h"
#include "support/ghl3000.h"

// The title template: 2001年１月 (the year and the month are written over it).
static const char title_template[] = "2001\x94\x4E\x82\x50\x8C\x8E";
static const char unknown_month[] = "\x81\x48\x8C\x8E";  // ？月
enum { TITLE_YEAR = 0, TITLE_MONTH = 6, TITLE_LENGTH = 10 };

// "2003年11月": the year right-aligned in four places, then the four bytes
// of the month name. A negative year keeps its minus sign ("  -5"); a year
// that does not fit in four places (below -999, above 9999) shows "****";
// a month outside 1..12 shows "？月". Returns cWorkbuf.
const char* cal_month_title(int year, int month)
{
    std::memcpy(cWorkbuf, title_template, TITLE_LENGTH);
    cWorkbuf[TITLE_LENGTH] = '\0';
    if (year < -999 || year > 9999)
        std::memcpy(cWorkbuf + TITLE_YEAR, "****", 4);
    else
        BinToAscii("SI", 4, 0, year < 0 ? "1000" : "0000", &year, cWorkbuf + TITLE_YEAR);
    const char* name = (month >= 1 && month <= 12) ? Mname[month - 1] : unknown_month;
    std::memcpy(cWorkbuf + TITLE_MONTH, name, 4);
    return cWorkbuf;
}

// The day number in two places, right-aligned, NUL-terminated: " 5", "14".
// A number outside 0..99 (never shown by the walk) gives "**". Returns
// cWorkbuf.
const char* cal_day_text(int number)
{
    if (number < 0 || number > 99)
        std::memcpy(cWorkbuf, "**", 3);
    else
        BinToAscii("SI", 2, 0, "0001", &number, cWorkbuf);
    return cWorkbuf;
}
