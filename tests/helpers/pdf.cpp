#include "tests/helpers/pdf.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/helpers/cups.h"

std::string pdf_text(const std::string& pdf)
{
    return run_command("pdftotext -enc UTF-8 '" + pdf + "' -", nullptr);
}

std::string pdf_text_unspaced(const std::string& pdf)
{
    std::string text = pdf_text(pdf);
    for (const std::string blank : {" ", "　", "\n"})
        for (size_t at; (at = text.find(blank)) != std::string::npos;)
            text.erase(at, blank.size());
    return text;
}

std::string pdf_field(const std::string& pdf, const std::string& key)
{
    std::istringstream info(run_command("pdfinfo '" + pdf + "'", nullptr));
    for (std::string line; std::getline(info, line);)
        if (line.rfind(key + ":", 0) == 0)
            return line.substr(std::min(line.find_first_not_of(' ', key.size() + 1), line.size()));
    return "";
}

Picture pdf_page(const std::string& pdf, int dpi, int page_number)
{
    char base[] = "/tmp/rkm-page-XXXXXX";
    close(mkstemp(base));
    const std::string n = std::to_string(page_number);
    run_command("pdftoppm -aa no -aaVector no -r " + std::to_string(dpi) + " -f " + n + " -l " + n +
                    " -singlefile '" + pdf + "' " + base, nullptr);
    std::ifstream f(std::string(base) + ".ppm", std::ios::binary);
    std::string magic;
    int maxval = 0;
    Picture page;
    f >> magic >> page.width >> page.height >> maxval;
    f.get();
    std::vector<unsigned char> rgb((size_t)page.width * page.height * 3);
    if (magic == "P6" && maxval == 255 && f.read(reinterpret_cast<char*>(rgb.data()), rgb.size()))
        for (size_t i = 0; i < rgb.size(); i += 3)
            page.pixels.push_back(rgb[i] | rgb[i + 1] << 8 | rgb[i + 2] << 16);
    else
        page.width = page.height = 0;
    std::remove((std::string(base) + ".ppm").c_str());
    std::remove(base);
    return page;
}

std::vector<PdfWord> pdf_words(const std::string& pdf, int page)
{
    const std::string n = std::to_string(page);
    std::string html = run_command("pdftotext -bbox -enc UTF-8 -f " + n + " -l " + n + " '" + pdf +
                                   "' -", nullptr);
    std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re");
    std::vector<PdfWord> words;
    for (std::sregex_iterator i(html.begin(), html.end(), word), end; i != end; ++i)
        words.push_back({(*i)[5], std::stod((*i)[1]), std::stod((*i)[2]), std::stod((*i)[3]),
                         std::stod((*i)[4])});
    return words;
}

PdfSize pdf_page_size(const std::string& pdf)
{
    PdfSize size = {0, 0};
    std::sscanf(pdf_field(pdf, "Page size").c_str(), "%lf x %lf", &size.width, &size.height);
    return size;
}

PageFit page_fit(const PdfSize& page, int dpi, double edge_x, double edge_y)
{
    const int edge_x_dots = (int)std::lround(edge_x / 72 * dpi);
    const int edge_y_dots = (int)std::lround(edge_y / 72 * dpi);
    const int width = (int)(page.width / 72 * dpi) - 2 * edge_x_dots;
    const int height = (int)(page.height / 72 * dpi) - 2 * edge_y_dots;
    const double unit = dpi / 92.0;
    const double scale = unit * std::min(width / (1024 * unit), height / (768 * unit));
    return {dpi, edge_x_dots + (width - (int)(1024 * scale)) / 2,
            edge_y_dots + (height - (int)(768 * scale)) / 2, scale};
}

namespace {

struct Area {
    int x1, y1, x2, y2;
    bool has(int x, int y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }
};

const uint32_t WHITE = 0xFFFFFF;

// The commonest ink of the screen in a box, white and the background left out.
uint32_t commonest_ink(const Picture& screen, const Area& b, uint32_t background, int* count)
{
    std::map<uint32_t, int> ink{{WHITE, 0}};
    for (int y = b.y1; y <= b.y2; y++)
        for (int x = b.x1; x <= b.x2; x++)
            ink[screen.at(x, y)] += screen.at(x, y) != WHITE && screen.at(x, y) != background;
    auto most = std::max_element(ink.begin(), ink.end(),
                                 [](auto& a, auto& b) { return a.second < b.second; });
    *count = most->second;
    return most->first;
}

}  // namespace

int page_unlike_screen(const std::string& pdf, int page_number, const Picture& screen,
                       const PageFit& fit, const PaperAreas& areas, std::string* report)
{
    const Picture page = pdf_page(pdf, fit.dpi, page_number);
    if (page.empty() || screen.empty()) {
        *report = "no page or no screen";
        return -1;
    }
    const Area paper{areas.x1, areas.y1, areas.x2, areas.y2};
    const Area alike{areas.ax1, areas.ay1, areas.ax2, areas.ay2};
    int wrong = 0;
    auto unlike = [&](const std::string& what) {
        if (++wrong <= 10)
            *report += what + "\n";
    };
    auto unit_x = [&](double pt) { return (pt / 72 * fit.dpi - fit.ox) / fit.scale; };
    auto unit_y = [&](double pt) { return (pt / 72 * fit.dpi - fit.oy) / fit.scale; };
    std::vector<Area> words;
    for (const PdfWord& w : pdf_words(pdf, page_number)) {
        Area b{std::max(0, (int)unit_x(w.x1)), std::max(0, (int)unit_y(w.y1)),
               std::min(1023, (int)std::ceil(unit_x(w.x2))), std::min(767, (int)std::ceil(unit_y(w.y2)))};
        int count = 0;
        const uint32_t ink = commonest_ink(screen, b, areas.background, &count);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%06x", ink);
        if (count == 0 || !page.has_near(fit.x(b.x1), fit.y(b.y1), std::min(page.width - 1, fit.x(b.x2)),
                                         std::min(page.height - 1, fit.y(b.y2)), ink, 24))
            unlike(w.text + " not in " + hex);
        words.push_back({b.x1 - 2, b.y1 - 2, b.x2 + 2, b.y2 + 2});
    }
    for (int y = 0; y < 768 && fit.y(y) < page.height; y++)
        for (int x = 0; x < 1024 && fit.x(x) < page.width; x++) {
            if (std::any_of(words.begin(), words.end(), [&](const Area& a) { return a.has(x, y); }) ||
                (y >= 744 && y < 764 && x < 600))  // the line of keys is the screen's own
                continue;
            const uint32_t s = alike.has(x, y) ? screen.at(x, y) : 0;
            const uint32_t expected = !paper.has(x, y) ? WHITE
                                      : !alike.has(x, y) || (areas.white_is_background && s == WHITE)
                                          ? areas.background
                                          : s;
            const uint32_t p = page.at(fit.x(x), fit.y(y));
            if (p != expected) {
                char what[64];
                std::snprintf(what, sizeof what, "at %d,%d %06x not %06x", x, y, p, expected);
                unlike(what);
            }
        }
    return wrong;
}
