#include "tests/helpers/pdf.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/helpers/cups.h"

namespace {

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
}

}  // namespace

std::string pdf_info(const std::string& pdf)
{
    return run_command("pdfinfo " + quoted(pdf), nullptr);
}

std::string pdf_text(const std::string& pdf)
{
    return run_command("pdftotext -enc UTF-8 " + quoted(pdf) + " -", nullptr);
}

std::string pdf_fonts(const std::string& pdf)
{
    return run_command("pdffonts " + quoted(pdf), nullptr);
}

std::string pdf_field(const std::string& info, const std::string& key)
{
    size_t at = info.find("\n" + key + ":");
    if (info.compare(0, key.size() + 1, key + ":") == 0)
        at = 0;
    else if (at == std::string::npos)
        return "";
    else
        at++;
    size_t start = info.find_first_not_of(' ', at + key.size() + 1);
    size_t end = info.find('\n', start);
    return start == std::string::npos ? "" : info.substr(start, end - start);
}

PdfPage pdf_page(const std::string& pdf, int dpi)
{
    return pdf_area(pdf, dpi, 0, 0, 0, 0);
}

PdfPage pdf_area(const std::string& pdf, int dpi, int x, int y, int w, int h)
{
    PdfPage page;
    page.left = x;
    page.top = y;
    std::string crop;
    if (w > 0 && h > 0)
        crop = " -x " + std::to_string(x) + " -y " + std::to_string(y) + " -W " +
               std::to_string(w) + " -H " + std::to_string(h);
    char templ[] = "/tmp/rkm-page-XXXXXX";
    int fd = mkstemp(templ);
    if (fd < 0)
        return page;
    close(fd);
    std::string base = templ;
    run_command("pdftoppm -aaVector no -r " + std::to_string(dpi) + crop + " -f 1 -singlefile " +
                    quoted(pdf) + " " + quoted(base),
                nullptr);
    std::ifstream f(base + ".ppm", std::ios::binary);
    std::string magic;
    int maxval = 0;
    f >> magic >> page.width >> page.height >> maxval;
    f.get();
    if (magic == "P6" && maxval == 255 && page.width > 0 && page.height > 0) {
        page.rgb.resize((size_t)page.width * page.height * 3);
        f.read(reinterpret_cast<char*>(page.rgb.data()), page.rgb.size());
    } else {
        page.width = page.height = 0;
    }
    std::remove((base + ".ppm").c_str());
    std::remove(base.c_str());
    return page;
}

uint32_t PdfPage::pixel(int x, int y) const
{
    x -= left;
    y -= top;
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0xFFFFFFFFu;
    const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
    return p[0] | (p[1] << 8) | (p[2] << 16);
}

bool PdfPage::has_colour(int x1, int y1, int x2, int y2, uint32_t colour, int tolerance) const
{
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++) {
            uint32_t c = pixel(x, y);
            if (c == 0xFFFFFFFFu)
                continue;
            bool near = true;
            for (int shift = 0; shift < 24; shift += 8)
                near = near && std::abs((int)((c >> shift) & 255) - (int)((colour >> shift) & 255)) <= tolerance;
            if (near)
                return true;
        }
    return false;
}
