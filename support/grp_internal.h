// Helpers shared by the drawing, button and text routines of the support
// library.
#pragma once

#include <cstdint>

// The character grid of the field routines and the cursor bar.
enum { GRP_CELL_W = 11, GRP_CELL_H = 26 };

// `v` held within the int range.
int grp_clamp(int64_t v);
