// Until the print command is written: F9 does nothing and no printer is known.
#include <cstring>

#include "print/print.h"

int RKM_CALEN_PRN(HDC)
{
    return 0;
}

int GetPrnName(char* dst)
{
    std::strcpy(dst, "\x83\x76\x83\x8A\x83\x93\x83\x5E\x81\x5B\x90\xDA\x91\xB1\x96\xB3\x82\xB5");
    return 0;
}

void prn_set_output_file(const char*) {}
