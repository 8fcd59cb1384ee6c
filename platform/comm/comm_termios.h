// Serial line settings as termios (inside the platform layer and its tests).
//
// The device-control block of comm.h on one side, the terminal attributes
// of the device on the other: the fields of DCB that a serial line has in
// termios, and nothing else.
#pragma once

#include <termios.h>

#include "platform/comm/comm.h"

// Sets in `tio` the rate, byte size, parity, parity checking, stop bits and
// flow control of `dcb`, keeping every other attribute. False, with `tio`
// unchanged, for a rate that is not a standard one, a byte size outside 5
// to 8, a parity code above SPACEPARITY or a stop-bit code above
// TWOSTOPBITS.
bool plat_dcb_to_termios(const DCB& dcb, termios* tio);

// Sets in `dcb` the fields that `tio` says something about; the others are
// left as they are.
void plat_termios_to_dcb(const termios& tio, DCB* dcb);
