// Printing many pages: a range of months from the command line into a PDF
// file, and the print dialog (F10), read back with poppler's tools.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/helpers/cups.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/tempdir.h"

namespace {

// The program in `dir`, standard error into dir/err.
int run_in(const TempDir& dir, const std::string& args)
{
    int status = -1;
    run_command("(cd '" + dir.path() + "' && XDG_CONFIG_HOME=config timeout 60 " RKM_PROGRAM " " +
                    args + " 2>err)",
                &status);
    return status;
}

// The text of each page of a PDF, in order.
std::vector<std::string> page_texts(const std::string& pdf)
{
    std::vector<std::string> pages;
    std::istringstream all(pdf_text(pdf));
    for (std::string page; std::getline(all, page, '\f');)
        pages.push_back(page);
    return pages;
}

const char* const MONTHS[] = {"１月", "２月", "３月", "４月", "５月", "６月",
                              "７月", "８月", "９月", "10月", "11月", "12月"};

}  // namespace

// Every paper name, in any case, gives landscape pages of that paper's size
// (ISO A, JIS B, the American sizes in inches): one a month in order, or
// one a year in the year layout, each page told on standard error.
TEST(PrintedMonths, every_paper_and_layout_gives_its_pages_in_order_in_one_file)
{
    const struct { const char* name; double width_mm, length_mm; } papers[] = {
        {"a4", 210, 297}, {"A3", 297, 420}, {"b4", 257, 364}, {"B5", 182, 257},
        {"letter", 8.5 * 25.4, 11 * 25.4}, {"LEGAL", 8.5 * 25.4, 14 * 25.4},
        {"Tabloid", 11 * 25.4, 17 * 25.4}};
    const char* const layouts[] = {"large", "medium", "small", "year"};
    TempDir dir;
    int n = 0;
    for (const auto& paper : papers) {
        const std::string layout = layouts[n++ % 4];
        SCOPED_TRACE(std::string(paper.name) + " " + layout);
        ASSERT_EQ(run_in(dir, "--print-to p.pdf --months 2026-11..2028-02 --layout " + layout +
                                  " --paper " + paper.name),
                  0) << dir.read("err");
        const std::string pdf = dir.file("p.pdf");
        std::vector<int> months;  // the first month of each page, from January of year 0
        for (int m = 2026 * 12 + 10; m <= 2028 * 12 + 1; m++)
            if (layout != "year" || m == 2026 * 12 + 10 || m % 12 == 0)
                months.push_back(m);
        std::vector<std::string> texts = page_texts(pdf);
        ASSERT_EQ(pdf_field(pdf, "Pages"), std::to_string(months.size()));
        ASSERT_GE(texts.size(), months.size());
        for (size_t i = 0; i < months.size(); i++) {
            const int m = layout == "year" ? months[i] / 12 * 12 + 11 : months[i];
            const std::string title = std::to_string(m / 12) + "年" + MONTHS[m % 12];
            EXPECT_NE(texts[i].find(title), std::string::npos) << "page " << i + 1 << ": " << title;
        }
        double width = 0, height = 0;
        std::sscanf(pdf_field(pdf, "Page size").c_str(), "%lf x %lf", &width, &height);
        EXPECT_NEAR(width, paper.length_mm / 25.4 * 72, 0.5);
        EXPECT_NEAR(height, paper.width_mm / 25.4 * 72, 0.5);
        std::string err = dir.read("err");
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), (long)months.size()) << err;
        EXPECT_NE(err.find("page " + std::to_string(months.size()) + " of " +
                           std::to_string(months.size())),
                  std::string::npos) << err;
    }
}
