// The print dialog (F10, 印刷設定): where to print (a printer, or a PDF
// file), on which paper, which months, in which layout, how many copies.
//
// It is a view drawn over the calendar inside the main window, not a window
// of its own: it is drawn in the design's units through the calendar's own
// text path, so it is scaled and centred with the window like everything
// else, and while it is open every key and click of the main window comes
// here, which makes it modal without a second window that the window
// manager could place elsewhere, and lets replayed input drive it exactly
// as a user would. Closing it draws the calendar again.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "layout/layout.h"
#include "platform/draw/codeconv.h"
#include "print/print.h"
#include "state/settings.h"
#include "state/state.h"
#include "support/ghl3000.h"

namespace {

enum Field { DESTINATION, FILE_NAME, PAPER, RANGE, FROM, TO, LAYOUT, COPIES, PRINT, CLOSE, FIELDS };
enum State { CLOSED, CHOOSING, PRINTING };
enum { MONTH_LAST = 9999 * 12 + 11, MOST_COPIES = 99 };

const int COLOR_ORANGE = 0x0080FF, COLOR_GREY_TEXT = 0x808080;

struct Dialog {
    State state = CLOSED;
    int focus = DESTINATION;
    std::vector<std::string> destinations;  // Shift-JIS; the last one is the PDF file
    int destination = 0;
    std::string file;  // UTF-8, as the file system takes it
    bool file_typed = false;
    std::vector<PrnPaper> papers;
    int paper = 0;
    bool paper_chosen = false;  // by the user, rather than the printer's default
    bool range = true;  // from a month to a month; false: the month shown
    int shown = 0, from = 0, to = 0;  // months from January of year 0
    int layout = LAYOUT_MEDIUM;
    int copies = 1;
    bool copies_typed = false;
    int done = 0, pages = 0;
    bool cancel = false;
    std::string note;  // UTF-8: what the last job came to, under the fields
} dlg;

/* Texts: written here in UTF-8, drawn as the Shift-JIS the text path takes */

std::string month_label(int month)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d年%2d月", month / 12, month % 12 + 1);
    return text;
}

const char* const LAYOUT_LABELS[] = {"大", "中", "小", "年"};
const char* const RANGE_LABELS[] = {"表示中の月", "月から月まで"};

/* Choices */

bool to_file(void)
{
    return dlg.destination == (int)dlg.destinations.size() - 1;
}

bool usable(int field)
{
    switch (field) {
    case FILE_NAME: return to_file();
    case FROM:
    case TO: return dlg.range;
    case COPIES: return !to_file();
    default: return true;
    }
}

int first_month(void)
{
    return dlg.range ? dlg.from : dlg.shown;
}

// ~/Documents/カレンダー-2026-04.pdf, or the folder of the file printed to last.
void propose_file(void)
{
    if (dlg.file_typed)
        return;
    std::string folder = settings_get("print.file");
    folder = folder.rfind('/') != std::string::npos ? folder.substr(0, folder.rfind('/'))
                                                    : plat_documents_folder();
    char name[48];
    std::snprintf(name, sizeof name, "カレンダー-%04d-%02d.pdf", first_month() / 12,
                  first_month() % 12 + 1);
    dlg.file = folder.empty() ? name : folder + "/" + name;
}

// The papers of the destination, its default chosen, or `keep` (Shift-JIS)
// when it offers a paper of that name.
void load_papers(const std::string& keep)
{
    int preferred = -1;
    const std::string printer = to_file() ? PLAT_PDF_FILE_PRINTER : dlg.destinations[dlg.destination];
    dlg.papers = prn_papers(printer.c_str(), &preferred);
    dlg.paper = std::max(0, preferred);
    for (size_t i = 0; i < dlg.papers.size(); i++)
        if (dlg.papers[i].name == keep)
            dlg.paper = (int)i;
}

std::string paper_name(void)
{
    return dlg.papers.empty() ? "" : dlg.papers[dlg.paper].name;
}

int wrap(int value, int count)
{
    return count > 0 ? (value % count + count) % count : 0;
}

// Keeps the range in order and within the months that can be printed at once.
void move_month(int* month, int step, bool is_from)
{
    *month = std::clamp(*month + step, 0, (int)MONTH_LAST);
    if (is_from) {
        dlg.to = std::clamp(dlg.to, dlg.from, dlg.from + PRN_MOST_MONTHS - 1);
    } else {
        dlg.from = std::clamp(dlg.from, dlg.to - PRN_MOST_MONTHS + 1, dlg.to);
    }
}

void change(int field, int step)
{
    switch (field) {
    case DESTINATION: {
        // A paper chosen in the dialog goes with the printer; otherwise the
        // printer's own default comes with it.
        const std::string keep = dlg.paper_chosen ? paper_name() : "";
        dlg.destination = wrap(dlg.destination + step, (int)dlg.destinations.size());
        load_papers(keep);
        break;
    }
    case PAPER:
        dlg.paper = wrap(dlg.paper + step, (int)dlg.papers.size());
        dlg.paper_chosen = true;
        break;
    case RANGE: dlg.range = !dlg.range; break;
    case FROM: move_month(&dlg.from, step, true); break;
    case TO: move_month(&dlg.to, step, false); break;
    case LAYOUT: dlg.layout = wrap(dlg.layout + step, 4); break;
    case COPIES: dlg.copies = std::clamp(dlg.copies + step, 1, (int)MOST_COPIES); break;
    case PRINT:
    case CLOSE: dlg.focus = step > 0 ? CLOSE : PRINT; break;
    default: break;
    }
    dlg.copies_typed = false;
    propose_file();
}

void move_focus(int step)
{
    do
        dlg.focus = wrap(dlg.focus + step, FIELDS);
    while (!usable(dlg.focus));
}

void type_character(char c)
{
    if (dlg.focus == FILE_NAME && c >= ' ' && c <= '~') {
        dlg.file += c;
        dlg.file_typed = true;
    } else if (dlg.focus == COPIES && c >= '0' && c <= '9') {
        const int typed = dlg.copies_typed ? dlg.copies * 10 + (c - '0') : c - '0';
        dlg.copies = typed >= 1 && typed <= MOST_COPIES ? typed : dlg.copies;
        dlg.copies_typed = true;
    }
}

// BackSpace: the file name's last character (a UTF-8 sequence whole), or
// the last digit of the copies.
void delete_character(void)
{
    if (dlg.focus == FILE_NAME && !dlg.file.empty()) {
        size_t end = dlg.file.size() - 1;
        while (end > 0 && ((unsigned char)dlg.file[end] & 0xC0) == 0x80)
            end--;
        dlg.file.erase(end);
        dlg.file_typed = true;
    } else if (dlg.focus == COPIES) {
        dlg.copies = std::max(1, dlg.copies / 10);
        dlg.copies_typed = true;
    }
}

/* Geometry, in the design's units: a box of 600 x 464 centred on the canvas */

const int LEFT = 212, TOP = 152, RIGHT = 812, BOTTOM = 616;
const int LABEL_X = 232, VALUE_X1 = 372, VALUE_X2 = 792;
const int ROW_Y = 206, ROW_PITCH = 44, ROW_HEIGHT = 32;
const int PROGRESS_Y = 516, BUTTON_Y1 = 560, BUTTON_Y2 = 598;
const int ARROW = 28;  // the step areas at either end of a value box

struct Box {
    int x1, y1, x2, y2;
    bool has(int x, int y) const { return x1 <= x && x <= x2 && y1 <= y && y <= y2; }
};

int row_y(int row)
{
    return ROW_Y + ROW_PITCH * row;
}

// The box of a field: the rows from the destination to the copies (the
// range's two months share one row), then the two buttons.
Box value_box(int field)
{
    const int y = row_y(field <= FROM ? field : field - 1);
    switch (field) {
    case FROM: return {VALUE_X1, y, 566, y + ROW_HEIGHT};
    case TO: return {598, y, VALUE_X2, y + ROW_HEIGHT};
    case COPIES: return {VALUE_X1, y, 532, y + ROW_HEIGHT};
    case PRINT: return {560, BUTTON_Y1, 670, BUTTON_Y2};
    case CLOSE: return {682, BUTTON_Y1, VALUE_X2, BUTTON_Y2};
    default: return {VALUE_X1, y, VALUE_X2, y + ROW_HEIGHT};
    }
}

// Segment i of n of a field whose choices all show side by side.
Box segment(int field, int i, int n)
{
    const Box all = value_box(field);
    const int gap = 12, width = (all.x2 - all.x1 - gap * (n - 1)) / n;
    return {all.x1 + (width + gap) * i, all.y1, all.x1 + (width + gap) * i + width, all.y2};
}

/* Drawing */

void fill(HDC hdc, const Box& b, int colour)
{
    GrpLine(hdc, b.x1, b.y1, b.x2, b.y2, colour, MODE_FILL);
}

void outline(HDC hdc, const Box& b, int width, int colour)
{
    for (int i = 0; i < width; i++)
        GrpLine(hdc, b.x1 - i, b.y1 - i, b.x2 + i, b.y2 + i, colour, MODE_OUTLINE);
}

void label(HDC hdc, const std::string& utf8, int x, int y, int colour)
{
    lay_text(hdc, lay_sjis(utf8).c_str(), x, y, 1.8, 1.6, colour, FACE_ROUND_MEDIUM);
}

// A value: Shift-JIS, 11.2 units a byte, cut to `cells` bytes.
void value_text(HDC hdc, const std::string& text, int x, int y, int cells, bool keep_end,
                int colour)
{
    lay_text(hdc, lay_fitted(text, (size_t)std::max(cells, 0), keep_end).c_str(), x, y, 1.6, 1.5,
             colour, FACE_ROUND_MEDIUM);
}

int cells_of(const Box& b, int arrows)
{
    return (b.x2 - b.x1 - 12 - 2 * arrows) * 10 / 112;
}

void spinner(HDC hdc, int field, const std::string& sjis_value, bool keep_end = false)
{
    const Box b = value_box(field);
    const bool on = usable(field), arrows = field != FILE_NAME;
    fill(hdc, b, on ? COLOR_WHITE : COLOR_LIGHT_GREY);
    GrpLine(hdc, b.x1, b.y1, b.x2, b.y2, COLOR_DARK_GREY, MODE_OUTLINE);
    const int ink = on ? COLOR_BLACK : COLOR_GREY_TEXT;
    if (arrows) {
        const int arrow_ink = on ? COLOR_NAVY : COLOR_GREY_TEXT;
        lay_text(hdc, "\x81\xA9", b.x1 + 4, b.y1 + 5, 1.6, 1.5, arrow_ink, FACE_ROUND_MEDIUM);  // ←
        lay_text(hdc, "\x81\xA8", b.x2 - 24, b.y1 + 5, 1.6, 1.5, arrow_ink, FACE_ROUND_MEDIUM);  // →
    }
    value_text(hdc, sjis_value, b.x1 + 6 + (arrows ? ARROW : 0), b.y1 + 5,
               cells_of(b, arrows ? ARROW : 0), keep_end, ink);
}

void segments(HDC hdc, int field, const char* const* labels, int n, int chosen)
{
    for (int i = 0; i < n; i++) {
        const Box b = segment(field, i, n);
        fill(hdc, b, i == chosen ? COLOR_BLUE : COLOR_WHITE);
        GrpLine(hdc, b.x1, b.y1, b.x2, b.y2, COLOR_DARK_GREY, MODE_OUTLINE);
        const std::string text = lay_sjis(labels[i]);
        const int x = (b.x1 + b.x2) / 2 - (int)(5.6 * (double)text.size());
        lay_text(hdc, text.c_str(), x, b.y1 + 5, 1.6, 1.5, i == chosen ? COLOR_WHITE : COLOR_BLACK,
                 FACE_ROUND_MEDIUM);
    }
}

void button(HDC hdc, int field, const char* utf8, bool on)
{
    const Box b = value_box(field);
    GrpButton(hdc, b.x1, b.y1, b.x2, b.y2, COLOR_LIGHT_GREY, BUTTON_RAISED);
    label(hdc, utf8, (b.x1 + b.x2) / 2 - 28, b.y1 + 7, on ? COLOR_BLACK : COLOR_GREY_TEXT);
}

// The job's pages so far, or how to use the dialog, or how the last job ended.
void progress_line(HDC hdc)
{
    fill(hdc, {LABEL_X, PROGRESS_Y, VALUE_X2, PROGRESS_Y + 30}, COLOR_BEIGE);
    if (dlg.state == PRINTING) {
        label(hdc, "印刷中 " + std::to_string(dlg.done) + " / " + std::to_string(dlg.pages),
              LABEL_X, PROGRESS_Y + 3, COLOR_NAVY);
        const Box bar = {452, PROGRESS_Y + 6, VALUE_X2, PROGRESS_Y + 26};
        fill(hdc, bar, COLOR_WHITE);
        if (dlg.pages > 0 && dlg.done > 0)
            fill(hdc, {bar.x1, bar.y1, bar.x1 + (bar.x2 - bar.x1) * dlg.done / dlg.pages, bar.y2},
                 COLOR_BLUE);
        GrpLine(hdc, bar.x1, bar.y1, bar.x2, bar.y2, COLOR_DARK_GREY, MODE_OUTLINE);
        return;
    }
    const std::string hint = !dlg.note.empty() ? dlg.note
                             : "Tab 次へ　←→ 変更　Enter 印刷　Esc 閉じる";
    lay_text(hdc, lay_sjis(hint).c_str(), LABEL_X, PROGRESS_Y + 5, 1.6, 1.4, COLOR_NAVY,
             FACE_ROUND_MEDIUM);
}

void draw_fields(HDC hdc)
{
    static const char* const labels[] = {"出力先", "ファイル", "用紙", "範囲", "期間",
                                         "レイアウト", "部数"};
    for (int row = 0; row < 7; row++)
        label(hdc, labels[row], LABEL_X, row_y(row) + 4, COLOR_NAVY);
    std::string destination = dlg.destinations[dlg.destination];
    spinner(hdc, DESTINATION, destination);
    spinner(hdc, FILE_NAME, lay_sjis(dlg.file), true);
    spinner(hdc, PAPER, paper_name());
    segments(hdc, RANGE, RANGE_LABELS, 2, dlg.range ? 1 : 0);
    spinner(hdc, FROM, lay_sjis(month_label(dlg.range ? dlg.from : dlg.shown)));
    lay_text(hdc, "\x81\x60", 571, row_y(4) + 5, 1.6, 1.5, COLOR_NAVY, FACE_ROUND_MEDIUM);  // ～
    spinner(hdc, TO, lay_sjis(month_label(dlg.range ? dlg.to : dlg.shown)));
    segments(hdc, LAYOUT, LAYOUT_LABELS, 4, dlg.layout);
    spinner(hdc, COPIES, usable(COPIES) ? std::to_string(dlg.copies) : "1");
}

void draw(HDC hdc)
{
    fill(hdc, {LEFT + 6, TOP + 6, RIGHT + 6, BOTTOM + 6}, COLOR_DARK_GREY);  // shadow
    fill(hdc, {LEFT, TOP, RIGHT, BOTTOM}, COLOR_BEIGE);
    fill(hdc, {LEFT, TOP, RIGHT, TOP + 40}, COLOR_BLUE);
    outline(hdc, {LEFT, TOP, RIGHT, BOTTOM}, 2, COLOR_NAVY);
    label(hdc, "印刷設定", LEFT + 20, TOP + 8, COLOR_WHITE);
    draw_fields(hdc);
    progress_line(hdc);
    button(hdc, PRINT, "印刷", dlg.state == CHOOSING);
    button(hdc, CLOSE, dlg.state == PRINTING ? "中止" : "閉じる", true);
    Box focus = value_box(dlg.state == PRINTING ? (int)CLOSE : dlg.focus);
    outline(hdc, {focus.x1 - 2, focus.y1 - 2, focus.x2 + 2, focus.y2 + 2}, 3, COLOR_ORANGE);
}

void redraw(HWND window)
{
    HDC hdc = GetDC(window);
    draw(hdc);
    ReleaseDC(window, hdc);
}

void close_dialog(HWND window)
{
    dlg.state = CLOSED;
    HDC hdc = GetDC(window);
    RKM_PAINT_PROC(hdc);
    ReleaseDC(window, hdc);
}

/* Printing */

void remember(void)
{
    const std::string& chosen = dlg.destinations[dlg.destination];
    settings_set("print.destination",
                 to_file() ? "file" : plat_sjis_to_utf8(chosen.c_str(), chosen.size()));
    // A paper the user chose is kept; otherwise the printer's default is
    // taken afresh next time.
    settings_set("print.paper", dlg.paper_chosen ? plat_sjis_to_utf8(paper_name().c_str(),
                                                                     paper_name().size())
                                                 : "");
    settings_set("print.range", dlg.range ? "months" : "shown");
    settings_set("print.copies", std::to_string(dlg.copies));
    if (to_file())
        settings_set("print.file", dlg.file);
}

// Pumps the window's messages while the job is built and sent, so that the
// dialog's 中止 and Esc are heard; a request to close the program stops the
// job first and is then handled as usual.
bool job_progress(int done, int pages, void*)
{
    if (done != dlg.done || pages != dlg.pages) {
        dlg.done = done, dlg.pages = pages;
        HDC hdc = GetDC(ghwndMain);
        progress_line(hdc);
        ReleaseDC(ghwndMain, hdc);
    }
    MSG msg;
    while (!dlg.cancel && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT || msg.message == WM_CLOSE) {
            dlg.cancel = true;
            if (msg.message == WM_QUIT)
                PostQuitMessage((int)msg.wParam);
            else
                PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return !dlg.cancel;
}

void print(HWND window)
{
    remember();
    PrnJob job;
    job.printer = to_file() ? "" : dlg.destinations[dlg.destination];
    job.output = to_file() ? dlg.file : "";
    const char* home = std::getenv("HOME");
    if (job.output.rfind("~/", 0) == 0 && home)
        job.output = home + job.output.substr(1);
    job.layout = dlg.layout;
    job.months.first = first_month();
    job.months.last = dlg.range ? dlg.to : dlg.shown;
    if (!dlg.papers.empty())
        job.paper = dlg.papers[dlg.paper];
    job.copies = to_file() ? 1 : dlg.copies;
    dlg.state = PRINTING;
    dlg.cancel = false;
    dlg.done = 0, dlg.pages = (int)prn_pages(job.months, job.layout).size();
    redraw(window);
    std::string reason;
    PrnResult result = prn_print_job(job, job_progress, nullptr, &reason);
    dlg.state = CHOOSING;
    if (result == PRN_PRINTED) {
        close_dialog(window);
        return;
    }
    dlg.note = result == PRN_CANCELLED ? "印刷を中止しました" : "";
    redraw(window);
    if (result == PRN_FAILED)
        prn_report_failure(reason);
}

/* Opening */

// The printer kept from last time where it is still offered, else the
// default printer, else the PDF file; true for the one kept.
bool choose_destination(void)
{
    int preferred = -1;
    dlg.destinations = prn_printers(&preferred);
    dlg.destinations.push_back(lay_sjis("PDFファイル"));
    const std::string kept = settings_get("print.destination");
    dlg.destination = std::max(0, preferred);
    if (preferred < 0)
        dlg.destination = (int)dlg.destinations.size() - 1;
    for (size_t i = 0; i + 1 < dlg.destinations.size(); i++)
        if (plat_sjis_to_utf8(dlg.destinations[i].c_str(), dlg.destinations[i].size()) == kept) {
            dlg.destination = (int)i;
            return true;
        }
    if (kept == "file")
        dlg.destination = (int)dlg.destinations.size() - 1;
    return kept == "file";
}

}  // namespace

bool pdlg_is_open(void)
{
    return dlg.state != CLOSED;
}

// The month and the layout shown; the range the twelve months from that
// month, or that year's in the year view.
void pdlg_open(HWND window)
{
    const ShownView& view = app_shown();
    dlg = Dialog();
    dlg.state = CHOOSING;
    dlg.layout = view.layout >= LAYOUT_LARGE && view.layout <= LAYOUT_YEAR ? view.layout : LAYOUT_MEDIUM;
    dlg.shown = std::clamp(view.year * 12 + view.month - 1, 0, (int)MONTH_LAST);
    dlg.from = dlg.layout == LAYOUT_YEAR ? dlg.shown / 12 * 12 : dlg.shown;
    dlg.to = std::min(dlg.from + 11, (int)MONTH_LAST);
    dlg.range = settings_get("print.range") != "shown";
    dlg.copies = settings_int("print.copies", 1, 1, MOST_COPIES);
    // The paper kept from last time goes with the printer it was kept for.
    const bool same_printer = choose_destination();
    const std::string kept = same_printer ? lay_sjis(settings_get("print.paper")) : "";
    load_papers(kept);
    dlg.paper_chosen = !kept.empty() && paper_name() == kept;
    propose_file();
    redraw(window);
}

void pdlg_draw(HDC hdc)
{
    if (pdlg_is_open())
        draw(hdc);
}

void pdlg_key(HWND window, unsigned int key, long key_data)
{
    if (dlg.state == PRINTING) {
        dlg.cancel = dlg.cancel || key == VK_ESCAPE;
        return;
    }
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (key) {
    case VK_ESCAPE: close_dialog(window); return;
    case VK_RETURN:
        if (dlg.focus == CLOSE)
            close_dialog(window);
        else
            print(window);
        return;
    case VK_SPACE:
        if (dlg.focus == PRINT || dlg.focus == CLOSE) {
            pdlg_key(window, VK_RETURN, key_data);
            return;
        }
        if (dlg.focus == FILE_NAME)
            type_character(' ');
        else
            change(dlg.focus, 1);
        break;
    case VK_TAB: move_focus(shift ? -1 : 1); break;
    case VK_UP:
    case VK_DOWN: move_focus(key == VK_UP ? -1 : 1); break;
    case VK_LEFT:
    case VK_RIGHT: change(dlg.focus, key == VK_LEFT ? -1 : 1); break;
    case VK_PRIOR:
    case VK_NEXT:
        if (dlg.focus == FROM || dlg.focus == TO)
            change(dlg.focus, key == VK_PRIOR ? -12 : 12);
        break;
    case VK_BACK: delete_character(); break;
    default: {
        const char c = app_key_character(key, key_data);
        if (c)
            type_character(c);
        break;
    }
    }
    dlg.note.clear();
    redraw(window);
}

void pdlg_click(HWND window, int x, int y)
{
    if (dlg.state == PRINTING) {
        dlg.cancel = dlg.cancel || value_box(CLOSE).has(x, y);
        return;
    }
    for (int field = 0; field < FIELDS; field++) {
        const Box b = value_box(field);
        if (!usable(field) || !b.has(x, y))
            continue;
        dlg.focus = field;
        if (field == PRINT || field == CLOSE) {
            pdlg_key(window, VK_RETURN, 0);
            return;
        }
        if (field == RANGE || field == LAYOUT) {
            const int n = field == RANGE ? 2 : 4;
            for (int i = 0; i < n; i++)
                if (segment(field, i, n).has(x, y)) {
                    if (field == RANGE)
                        dlg.range = i == 1;
                    else
                        dlg.layout = i;
                    propose_file();
                }
        } else if (field != FILE_NAME && x < b.x1 + ARROW) {
            change(field, -1);
        } else if (field != FILE_NAME && x > b.x2 - ARROW) {
            change(field, 1);
        }
        break;
    }
    dlg.note.clear();
    redraw(window);
}
