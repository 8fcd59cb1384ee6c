#include "tests/helpers/canvas.h"

#include <algorithm>

Canvas::Canvas(int w, int h, COLORREF background) : width(w), height(h)
{
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateCompatibleBitmap(dc, w, h);
    old_bitmap = SelectObject(dc, bitmap);
    RECT all{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

Canvas::~Canvas()
{
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

int Canvas::count(COLORREF colour, int x0, int y0, int x1, int y1) const
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            n += at(x, y) == colour;
    return n;
}

std::vector<COLORREF> Canvas::pixels() const
{
    std::vector<COLORREF> all;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            all.push_back(at(x, y));
    return all;
}

RECT Canvas::ink(COLORREF background) const
{
    RECT box{width, height, -1, -1};
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            if (at(x, y) != background) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
    return box;
}
