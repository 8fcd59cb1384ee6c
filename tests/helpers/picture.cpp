#include "tests/helpers/picture.h"

#include <cairo.h>
#include <cstdlib>

int Picture::count(int x1, int y1, int x2, int y2, uint32_t colour) const
{
    int n = 0;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++)
            n += at(x, y) == colour;
    return n;
}

bool Picture::has_near(int x1, int y1, int x2, int y2, uint32_t colour, int tolerance) const
{
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++) {
            uint32_t p = at(x, y);
            bool near = true;
            for (int shift = 0; shift < 24; shift += 8)
                near = near && std::abs((int)((p >> shift) & 0xFF) -
                                        (int)((colour >> shift) & 0xFF)) <= tolerance;
            if (near)
                return true;
        }
    return false;
}

Picture read_png(const std::string& path)
{
    Picture picture;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        picture.width = cairo_image_surface_get_width(surface);
        picture.height = cairo_image_surface_get_height(surface);
        int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        picture.pixels.resize((size_t)picture.width * picture.height);
        for (int y = 0; y < picture.height; y++) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(data + (size_t)y * stride);
            for (int x = 0; x < picture.width; x++) {
                uint32_t p = row[x];  // 0x00RRGGBB
                picture.pixels[(size_t)y * picture.width + x] =
                    ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
            }
        }
    }
    cairo_surface_destroy(surface);
    return picture;
}
