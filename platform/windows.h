// The Windows-style interface of the platform layer: everything the program
// and its support library call, and nothing of the libraries underneath.
#pragma once

#include "platform/windef.h"
#include "platform/file.h"
#include "platform/gdi.h"
#include "platform/window.h"
#include "platform/print.h"
#include "platform/comm.h"
#include "platform/process.h"
