#include "tests/helpers/pdf.h"

#include <unistd.h>

#include <cstdio>
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

Picture pdf_page(const std::string& pdf, int dpi)
{
    char base[] = "/tmp/rkm-page-XXXXXX";
    close(mkstemp(base));
    run_command("pdftoppm -aa no -aaVector no -r " + std::to_string(dpi) + " -f 1 -singlefile '" +
                    pdf + "' " + base, nullptr);
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

std::vector<PdfWord> pdf_words(const std::string& pdf)
{
    std::string html = run_command("pdftotext -bbox -enc UTF-8 '" + pdf + "' -", nullptr);
    std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re");
    std::vector<PdfWord> words;
    for (std::sregex_iterator i(html.begin(), html.end(), word), end; i != end; ++i)
        words.push_back({(*i)[5], std::stod((*i)[1]), std::stod((*i)[2]), std::stod((*i)[3]),
                         std::stod((*i)[4])});
    return words;
}
