// The help screen (F8): every key and mouse action, the holiday files and
// the folders they are read from, drawn over the whole screen with the
// calendar's own text routines, so it is scaled with the window as the
// calendar is. Any key or click closes it.
#include "app/app.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "state/settings.h"
#include "calendar/calendar.h"
#include "layout/layout.h"
#include "support/ghl3000.h"

namespace {

// One line: a key (or a section's heading when `what` is null) and what it
// does. The texts are written here in UTF-8 and drawn in Shift-JIS.
struct HelpLine {
    const char* key;
    const char* what;
};

const HelpLine LINES[] = {
    {"キー", nullptr},
    {"年 Enter 月 Enter", "その月を表示（例: 2003 Enter 11 Enter）"},
    {"BackSpace  ←", "一字消す"},
    {"Esc", "月の入力中は年の入力に戻る。大・小・年の表示から、"},
    {"", "何も入力していなければメニューに戻る"},
    {"PageUp  PageDown  ↑  ↓", "前の月・次の月（年の表示では前の年・次の年）"},
    {"F11  Home", "今月を表示（メニュー）"},
    {"F1  F2  F3  F4", "表示を選ぶ: 大・中・小・年"},
    {"F5", "暦注（六曜・旧暦・節気・雑節・月）を出す・消す（次に起動したときも同じ）"},
    {"F8", "このヘルプ"},
    {"F9  Ctrl+P", "表示を印刷"},
    {"F10", "印刷設定: プリンター・用紙・範囲・レイアウト・部数を選んで印刷"},
    {"F12  Ctrl+Q", "終了"},
    {"マウス", nullptr},
    {"Mouse KeyBoad", "数字、Enter、BS を入力"},
    {"大  中  小  年", "表示を選ぶ（次に起動したときも同じ）"},
    {"Back Color", "背景色を選ぶ（次に起動したときも同じ）"},
    {"下のキー", "押したキーと同じ（Menu は今月、終了は終了）"},
    {"ホイール", "カレンダーの上で前の月・次の月"},
    {"休日ファイル", nullptr},
    {"HDAY1.DAT", "休みにする日、一行に月と日の4桁（0813 は8月13日）"},
    {"HDAY2.DAT", "出勤日（同じ書き方）"},
    {"", "起動したとき、HDAY1.DAT がある最初のフォルダーから読む:"},
};

const int LEFT = 40, WHAT_X = 300, TOP = 64, PITCH = 24, RIGHT = 1000;
const double WF = 1.2, HF = 1.4;  // a half-width cell of 8.4 x 21 units

// A folder's name, its start cut off with "…" where it does not fit from x.
std::string fitted(const std::string& name, int x)
{
    return lay_fitted(lay_sjis(name), (size_t)((RIGHT - x) / (7 * WF)), true);
}

void line(HDC hdc, const std::string& utf8, int x, int y, int colour)
{
    lay_text(hdc, lay_sjis(utf8).c_str(), x, y, WF, HF, colour, FACE_ROUND_MEDIUM);
}

// The folders in the order they are searched, the one read marked.
int folders(HDC hdc, int y)
{
    char here[4096];
    const std::string current = getcwd(here, sizeof here) ? std::string(here) + "/" : "./";
    // hday_folder names no folder for the current one, nor when none holds the file.
    std::error_code error;
    const std::string read =
        std::filesystem::is_regular_file("HDAY1.DAT", error) ? current : hday_folder();
    std::vector<std::string> all = {current};
    for (const std::string& folder : hday_config_folders())
        all.push_back(folder);
    for (size_t i = 0; i < all.size() && y < 700; i++, y += PITCH) {
        const bool used = all[i] == read;
        line(hdc, std::to_string(i + 1) + ".", WHAT_X, y, COLOR_BLACK);
        lay_text(hdc, fitted(all[i], WHAT_X + 30).c_str(), WHAT_X + 30, y, WF, HF,
                 used ? COLOR_BLUE : COLOR_BLACK, FACE_ROUND_MEDIUM);
        if (used)
            line(hdc, "読み込み中", LEFT + 40, y, COLOR_BLUE);
    }
    return y;
}

}  // namespace

void help_draw(HDC hdc)
{
    GrpLine(hdc, 0, 0, 1024, 768, COLOR_DARK_GREY, MODE_FILL);
    GrpButton(hdc, 4, 2, 1020, 764, COLOR_BEIGE, BUTTON_RAISED);
    GrpLine(hdc, 14, 10, 1010, 50, COLOR_BLUE, MODE_FILL);
    lay_text(hdc, lay_sjis("ヘルプ").c_str(), 24, 13, 2.6, 2.2, COLOR_WHITE, FACE_ROUND_MEDIUM);
    line(hdc, "キーを押すかクリックすると閉じる", 690, 20, COLOR_CYAN);
    int y = TOP;
    for (const HelpLine& l : LINES) {
        if (!l.what) {
            y += l.key == LINES[0].key ? 0 : PITCH / 3;
            line(hdc, l.key, LEFT - 16, y, COLOR_NAVY);
        } else {
            line(hdc, l.key, LEFT, y, COLOR_NAVY);
            line(hdc, l.what, WHAT_X, y, COLOR_BLACK);
        }
        y += PITCH;
    }
    y = folders(hdc, y) + PITCH / 3;
    const std::string kept = settings_path();
    if (kept.empty())
        return;
    line(hdc, "設定（表示・背景色・暦注・印刷）", LEFT - 16, y, COLOR_NAVY);
    lay_text(hdc, fitted(kept, WHAT_X).c_str(), WHAT_X, y, WF, HF, COLOR_BLACK, FACE_ROUND_MEDIUM);
}
