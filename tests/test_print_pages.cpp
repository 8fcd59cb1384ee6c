// Printing many pages: a range of months from the command line into a PDF
// file, and the print dialog (F10), read back with poppler's tools.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "print/print.h"
#include "state/settings.h"
#include "state/state.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/program_run.h"
#include "tests/helpers/tempdir.h"

namespace {

// The folders of the program's settings and caches: its own, in the
// folder it runs in.
#define OWN_FOLDERS "XDG_CONFIG_HOME=\"$PWD/config\" XDG_CACHE_HOME=\"$PWD/cache\" "

// The program in `dir`, standard error into dir/err.
int run_in(const TempDir& dir, const std::string& args)
{
    int status = -1;
    run_command("(cd '" + dir.path() + "' && " OWN_FOLDERS "timeout 60 " RKM_PROGRAM " " +
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

std::string title(int year, int month)
{
    return std::to_string(year) + "年" + MONTHS[month - 1];
}

// The page sizes a queue's paper gives, landscape, in points.
const char* const A3_PAGE = "1190.55 x 841.89 pts (A3)";
const char* const LETTER_PAGE = "792 x 612 pts (letter)";

// The medium month, the layout the calendar starts with, on paper.
const PaperAreas MEDIUM = {14, 10, 586, 520, 14, 10, 586, 520, false, 0xFFFFFF};

class Destinations : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(cups.start()) << cups.error(); }

    // The calendar with `replay`, its choices kept in config/ and its home
    // in home/ of the scheduler's folder; the snapshot in screen.png.
    int run(const std::string& replay)
    {
        int status = -1;
        run_command("(cd '" + cups.folder() + "' && mkdir -p home && HOME=$PWD/home " OWN_FOLDERS
                    "SDL_VIDEODRIVER=offscreen timeout 60 " RKM_PROGRAM " --snapshot screen.png --replay '" +
                        replay + "' 2>err)",
                    &status);
        return status;
    }
    std::string folder(const std::string& name) const { return cups.folder() + "/" + name; }

    PrivateCups cups;
};

}  // namespace

// The dialog's first choices print the twelve months from the month shown
// as one job of twelve pages on the default printer's default paper, A3 as
// the queue's default set with lpadmin, or Letter as the user's own with
// lpoptions; each page is the screen's drawing of its month at the
// printer's scale. F9 takes the same paper.
TEST_F(Destinations, a_year_is_one_job_on_the_default_paper_each_page_its_months_screen)
{
    ASSERT_TRUE(cups.add_queue("pdfq", 200));
    ASSERT_EQ(cups.run_tool("lpadmin -p pdfq -o media-default=iso_a3_297x420mm"), 0);
    ASSERT_EQ(run("type 2026; key Enter; type 1; key Enter; key F10; key Enter"), 0);
    const std::string pdf = cups.wait_for_job_file(1);
    ASSERT_NE(pdf, "");
    EXPECT_EQ(cups.jobs_known(), 1);
    EXPECT_EQ(pdf_field(pdf, "Pages"), "12");
    EXPECT_EQ(pdf_field(pdf, "Page size"), A3_PAGE);
    const PageFit fit = page_fit(pdf_page_size(pdf), 200, PPD_EDGE_Y, PPD_EDGE_X);
    for (int month = 1; month <= 12; month++) {
        ProgramRun screen = run_program("type 2026; key Enter; type " + std::to_string(month) + "; key Enter");
        std::string report;
        EXPECT_EQ(page_unlike_screen(pdf, month, screen.screen, fit, MEDIUM, &report), 0)
            << "month " << month << "\n" << report;
    }

    // The user's own default paper, in a home of the test's.
    ASSERT_EQ(cups.run_tool("HOME='" + folder("home") + "' lpoptions -p pdfq -o media=Letter"), 0);
    ASSERT_EQ(run("key F9; key F10; key Enter"), 0);
    for (int job : {2, 3}) {
        const std::string page = cups.wait_for_job_file(job);
        ASSERT_NE(page, "");
        EXPECT_EQ(pdf_field(page, "Page size"), LETTER_PAGE) << job;
        EXPECT_EQ(pdf_field(page, "Pages"), job == 2 ? "1" : "12");
    }
}

// Chosen by keys and clicks: the other printer (its arrow clicked), a paper
// it lists, a range of months, the large layout (clicked) and two copies
// make one job on that printer; the choices come back the next time, with
// the month shown; Esc prints nothing and leaves the screen as it was.
TEST_F(Destinations, the_dialog_prints_what_is_chosen_and_keeps_it_for_next_time)
{
    ASSERT_TRUE(cups.add_queue("office", 150, false, "Letter"));
    ASSERT_TRUE(cups.add_queue("pdfq", 150));
    ASSERT_EQ(run("type 2026; key Enter; type 4; key Enter; key F10; click 385 222; key Tab; key Left; "
                  "key Tab; key Tab; key Right; key Right; key Tab; key Left; key Left; key Left; "
                  "click 420 442; key Tab; type 2; key Enter"), 0);
    std::string pdf = cups.wait_for_job_file(1);
    ASSERT_NE(pdf, "") << cups.folder();
    EXPECT_EQ(cups.job_queue(1), "office");
    EXPECT_EQ(cups.job_copies(1), "2");
    EXPECT_NE(cups.job_options(1).find("PageSize=A3"), std::string::npos) << cups.job_options(1);
    EXPECT_EQ(pdf_field(pdf, "Page size"), A3_PAGE);
    std::vector<std::string> texts = page_texts(pdf);
    ASSERT_EQ(pdf_field(pdf, "Pages"), "7");  // June to December, large
    for (int i = 0; i < 7; i++)
        EXPECT_NE(texts[(size_t)i].find(title(2026, 6 + i)), std::string::npos) << i;
    for (const PdfWord& w : pdf_words(pdf)) {  // the large month's title stands right of the first third
        if (w.text.rfind("2026", 0) == 0) {
            EXPECT_GT(w.x1 / pdf_page_size(pdf).width, 0.33) << w.text;
        }
    }

    ASSERT_EQ(run("type 2027; key Enter; type 2; key Enter; key F10; key Enter"), 0);
    pdf = cups.wait_for_job_file(2);
    ASSERT_NE(pdf, "");
    EXPECT_EQ(cups.job_queue(2), "office");
    EXPECT_EQ(cups.job_copies(2), "2");
    EXPECT_EQ(pdf_field(pdf, "Page size"), A3_PAGE);
    EXPECT_EQ(pdf_field(pdf, "Pages"), "12");
    EXPECT_NE(page_texts(pdf)[0].find(title(2027, 2)), std::string::npos);

    ASSERT_EQ(run("type 2026; key Enter; type 4; key Enter"), 0);
    const Picture plain = read_png(folder("screen.png"));
    ASSERT_EQ(run("type 2026; key Enter; type 4; key Enter; key F10; key Right; key Tab; key Esc"), 0);
    EXPECT_EQ(read_png(folder("screen.png")).pixels, plain.pixels);
    EXPECT_EQ(cups.jobs_known(), 2);
}

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
        std::string fonts = run_command("pdffonts '" + pdf + "'", nullptr);  // subset once, not a page each
        EXPECT_LT(std::count(fonts.begin(), fonts.end(), '\n') - 2, (long)months.size()) << fonts;
    }
    // On a terminal, one bar redrawn in place.
    const std::string bar = run_command("cd '" + dir.path() + "' && script -qec '" OWN_FOLDERS RKM_PROGRAM
                                        " --print-to p.pdf --months 2026-01..2026-03' /dev/null", nullptr);
    EXPECT_EQ(std::count(bar.begin(), bar.end(), '\r'), 4) << bar;
    EXPECT_NE(bar.find("#] 3/3"), std::string::npos) << bar;
}

// While the pages are made, 中止 clicked or Esc cancels the job: nothing
// reaches the printer, no file is left, and the dialog stays open for
// another try. A printer that refuses the job says why; the dialog stays.
// A file goes to the documents folder of xdg-user-dirs.
TEST_F(Destinations, a_cancelled_or_refused_job_leaves_nothing_and_the_dialog_open)
{
    ASSERT_TRUE(cups.add_queue("pdfq", 150));
    TempDir home;
    ASSERT_EQ(mkdir(home.file("Dokumente").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(home.file("config").c_str(), 0700), 0);
    home.write("config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
    settings_load();
    plat_set_display(PLAT_DISPLAY_OFFSCREEN);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc, wc.lpszClassName = "DialogTest";
    RegisterClassA(&wc);
    ghwndMain = CreateWindowExA(0, "DialogTest", "Calendar", WS_OVERLAPPEDWINDOW, 0, 0, 1024, 768,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(ghwndMain, nullptr) << plat_window_error();
    iDspfg = 0;  // April 2026 shown, large
    HDC hdc = GetDC(ghwndMain);
    ent_show_month(hdc, 2026, 4);
    ReleaseDC(ghwndMain, hdc);
    const POINT stop = plat_client_point(ghwndMain, 737, 579);  // 中止
    for (bool to_file : {false, true}) {
        pdlg_open(ghwndMain);
        if (to_file)
            pdlg_key(ghwndMain, VK_RIGHT, 0);  // from the default printer to a PDF file
        if (to_file)
            plat_inject_key(ghwndMain, VK_ESCAPE, nullptr);  // while the pages are made
        else
            plat_inject_click(ghwndMain, stop.x, stop.y);
        pdlg_key(ghwndMain, VK_RETURN, 0);
        EXPECT_TRUE(pdlg_is_open());
    }
    EXPECT_EQ(cups.jobs_known(), 0);
    EXPECT_TRUE(files_in(home.file("Dokumente")).empty());
    pdlg_key(ghwndMain, VK_RETURN, 0);
    EXPECT_FALSE(pdlg_is_open());
    EXPECT_EQ(pdf_field(home.file("Dokumente/カレンダー-2026-04.pdf"), "Pages"), "12");

    ASSERT_EQ(cups.run_tool("cupsreject pdfq"), 0);
    pdlg_open(ghwndMain);
    pdlg_key(ghwndMain, VK_LEFT, 0);  // back to the printer
    testing::internal::CaptureStderr();
    pdlg_key(ghwndMain, VK_RETURN, 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("印刷処理が取り消されました"), std::string::npos) << said;
    EXPECT_NE(said.find("プリンター「pdfq」が止まっているか"), std::string::npos) << said;
    EXPECT_TRUE(pdlg_is_open());
    EXPECT_EQ(cups.jobs_known(), 0);
    pdlg_key(ghwndMain, VK_ESCAPE, 0);
    EXPECT_FALSE(pdlg_is_open());
    DestroyWindow(ghwndMain);
    ghwndMain = nullptr;
    unsetenv("HOME");
    setenv("XDG_CONFIG_HOME", "/dev/null/config", 1);
}
