// The fit of the design in a window: where units lie in device pixels and
// back.
#include "platform/window/fit.h"

#include <algorithm>
#include <cmath>

WndFit fit_for(int width, int height, bool one_to_one)
{
    double scale = 1.0;
    if (!one_to_one && width > 0 && height > 0)
        scale = std::min((double)width / WND_DESIGN_WIDTH, (double)height / WND_DESIGN_HEIGHT);
    int design_w = (int)std::lround(scale * WND_DESIGN_WIDTH);
    int design_h = (int)std::lround(scale * WND_DESIGN_HEIGHT);
    return {scale, std::max(0, (width - design_w) / 2), std::max(0, (height - design_h) / 2)};
}

int fit_extent(double scale, int units)
{
    return std::max(1, (int)std::lround(scale * units));
}

int fit_pixel(double scale, int offset, int u)
{
    return offset + (int)std::lround(scale * u);
}

int fit_unit_at(double scale, int offset, int units, int d)
{
    int from = d - offset;
    if (from < 0 || from >= fit_extent(scale, units))
        return -1;
    int u = (int)std::floor(from / scale);
    while (u > 0 && std::lround(scale * u) > from)
        u--;
    while (u + 1 < units && std::lround(scale * (u + 1)) <= from)
        u++;
    return u;
}
