// Serial ports (termios). Not yet written: no port can be opened.
#include "platform/handle.h"

HANDLE plat_comm_create(const char*, DWORD)
{
    return INVALID_HANDLE_VALUE;
}
