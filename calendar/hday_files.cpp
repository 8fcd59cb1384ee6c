// The holiday files HDAY1.DAT (extra days off) and HDAY2.DAT (extra working
// days), read once at start-up into iHday1 and iHday2.
#include <cstdlib>
#include <cstring>

#include "state/state.h"
#include "calendar/calendar.h"
#include "support/ghl3000.h"

enum { HDAY_RECORDS = 100, RECORD_TEXT = 4 };
enum { ACTION_MUST_EXIST = 0x01, MODE_READ_SHARED = 0x20C0 };

// Collects the records of a file, one per line: the first four characters
// of each line, converted as atoi does. Lines end in LF, CR LF or a lone
// CR, so files written on Linux read the same as those written on DOS, and
// a file of four-character CR LF lines gives the 6-byte grid of records. A
// last line without a line end is a record too.
struct HdayReader {
    int* table;
    int count = 0;        // records stored
    char text[RECORD_TEXT + 1] = {};
    int length = 0;       // characters of the current line so far
    bool in_line = false; // some character of the current line was seen
    bool after_cr = false;

    void end_line()
    {
        if (count < HDAY_RECORDS) {
            text[length] = '\0';
            table[count++] = std::atoi(text);
        }
        length = 0;
        in_line = false;
    }

    void take(char c)
    {
        bool lf_of_crlf = after_cr && c == '\n';
        after_cr = c == '\r';
        if (lf_of_crlf)
            return;
        if (c == '\r' || c == '\n') {
            end_line();
            return;
        }
        in_line = true;
        if (length < RECORD_TEXT)
            text[length++] = c;
    }

    bool full() const { return count >= HDAY_RECORDS; }
};

// Fills `table` from the open file. Positions after the last record take
// its value, as the grid of a short file gives; a file without a single
// record leaves the table all 0.
static void read_table(HANDLE file, int* table)
{
    HdayReader reader{table};
    char block[512];
    unsigned long n = 0;
    while (!reader.full() && DosRead(file, block, (int)sizeof block, &n) == 0)
        for (unsigned long i = 0; i < n && !reader.full(); i++)
            reader.take(block[i]);
    if (reader.in_line)
        reader.end_line();
    for (int i = reader.count; i > 0 && i < HDAY_RECORDS; i++)
        table[i] = table[reader.count - 1];
}

// Reads one file into its table. False when the file cannot be opened.
static bool read_file(const char* name, int* table)
{
    if (DosOpen(name, &hNfhd1, nullptr, 0, 0, ACTION_MUST_EXIST, MODE_READ_SHARED, 0) != 0)
        return false;
    read_table(hNfhd1, table);
    DosClose(hNfhd1);
    hNfhd1 = INVALID_HANDLE_VALUE;
    return true;
}

// Reads HDAY1.DAT, then HDAY2.DAT, from the folder hday_folder picks. Both
// tables are emptied first. When HDAY1.DAT cannot be opened HDAY2.DAT is not
// read either, so both stay empty; nothing is reported in any case.
void RKM_YHDAY_RED(void)
{
    std::memset(iHday1, 0, sizeof iHday1);
    std::memset(iHday2, 0, sizeof iHday2);
    std::string folder = hday_folder();
    if (read_file((folder + "HDAY1.DAT").c_str(), iHday1))
        read_file((folder + "HDAY2.DAT").c_str(), iHday2);
}
