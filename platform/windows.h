// The Windows-style interface of the platform layer: everything the program
// and its support library call, and nothing of the libraries underneath.
// Serial ports and other programs, which the calendar never uses, are a
// library of their own: platform/comm/.
#pragma once

#include "platform/windef.h"
#include "platform/system/file.h"
#include "platform/draw/gdi.h"
#include "platform/window/window.h"
#include "platform/print/print.h"
