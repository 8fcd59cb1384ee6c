// Keyboard and mouse input replayed through the whole program (--replay): the state and screen left behind;
// the keypad, palette and button areas clicked in process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <tuple>

#include "app/app.h"
#include "calendar/calendar.h"
#include "layout/layout.h"
#include "state/state.h"
#include "tests/helpers/pdf.h"
#include "tests/helpers/program_run.h"
#include "tests/helpers/tempdir.h"

enum : uint32_t { DARK_GREY = 0x404040, BEIGE = 0xBBCCD5, LIGHT_GREY = 0xC0C0C0, GREEN = 0x5C8000,
                  BLUE = 0xFF0000, WHITE = 0xFFFFFF, YELLOW = 0x00FFFF, PALE_GREEN = 0xA0FFA0, CYAN = 0xFFFF00 };

// The six cells of the year and month fields as shown: 'w' white characters (completed), 'y' yellow
// ones (being typed), '.' none, '?' both; upper case, or '_' if empty, with the cursor bar under it.
static std::string fields(const Picture& p)
{
    std::string shown;
    for (int i = 0; i < 6; i++) {
        int x = i < 4 ? 635 + 28 * i : 825 + 28 * (i - 4);
        bool white = p.has_near(x, 86, x + 27, 118, WHITE, 16);
        bool yellow = p.has_near(x, 86, x + 27, 118, YELLOW, 16);
        char c = white && yellow ? '?' : white ? 'w' : yellow ? 'y' : '.';
        bool cursor = p.count(x + 1, 122, x + 27, 123, LIGHT_GREY) == 2 * 27;
        shown += !cursor ? c : c == '.' ? '_' : (char)std::toupper(c);
    }
    return shown;
}

struct Row {
    std::string replay;
    std::vector<int> state;        // iYear, iMont, iSetfg, iNstep, iNkcnt, beeps; {}: ended at once
    const char* fields = nullptr;  // the entry fields in the medium view (see fields()), or null
    std::string same_as = "";      // a replay that leaves the same screen, or ""
    std::vector<std::tuple<int, int, uint32_t>> pixels = {};
};

// Typing, refusing, deleting, Esc, covering views, keypad, palette, buttons, Menu and stepping (a step
// ends a month entry and leaves the screen of typing the month it reaches).
TEST(input, each_replay_leaves_its_state_fields_and_screen)
{
    const std::string Y03 = "type 2003; key Enter; ", M05 = Y03 + "type 5; key Enter; ";
    const std::string C = "type 1999; key Enter; type 4; key Enter; ";  // April 1999 chosen
    const std::string refused = C + "type 2003; key Enter; type ", in_force = C + "type 1999; key Enter";
    std::vector<Row> rows = {
        {Y03, {2003, 0, 0, 1, 0, 0}, "wwww_."},
        {M05, {2003, 5, 1, 0, 0, 0}, "_.....", "", {{20, 15, WHITE}}},  // no day framed: the area in iBcol
        {"type 20031; key Enter", {2003, 0, 0, 1, 0, 1}, "wwww_.", Y03},  // a fifth character beeps, not kept
        {"type 2003; key BackSpace", {0, 0, 0, 0, 3, 0}, "yyy_.."},
        {"key BackSpace; key Left", {0, 0, 0, 0, 0, 0}, "_....."},
        {Y03 + "type 123", {2003, 0, 0, 1, 2, 1}, "wwwwyy"},
        {Y03 + "type 12; key Left", {2003, 0, 0, 1, 1, 0}, "wwwwy_"},
        // Esc while the month is typed goes back to the year without redrawing.
        {Y03 + "type 1; key Esc; type 9", {2003, 0, 0, 0, 1, 0}, "yWwwy_"},
        {Y03 + "type 1; key Esc; type 9; key Enter", {9, 0, 0, 1, 0, 0}},
        {Y03 + "type 8; key Esc; type 2003; key Enter; type 3", {2003, 0, 0, 1, 1, 0}, "wwwwy_", Y03 + "type 3"},
        // A refused month or year beeps; the entry opens again on the year in force.
        {Y03 + "type 13; key Enter", {0, 0, 0, 0, 0, 1}, "_....."},
        {Y03 + "type 0; key Enter", {0, 0, 0, 0, 0, 1}, "_....."},
        {refused + "ab; key Enter", {1999, 4, 1, 1, 0, 1}, "wwww_.", in_force},
        {refused + "13; key Enter; type 6; key Enter", {1999, 6, 1, 0, 0, 1}},
        {Y03 + "type 13; key Enter; type 12; key Enter", {12, 0, 0, 1, 0, 1}},
        {"type -5; key Enter; paint", {0, 0, 0, 0, 0, 1}, "_....."},
        {"type -5; key Enter; type 5; key Enter; key Esc; key Enter; type 1; key Enter", {0, 1, 1, 0, 0, 1}},
        // 2, 0, 0, 3, Enter, 1, 1, BS, 2, Enter by mouse, then the pale green swatch.
        {"click 685 300; click 640 420; click 640 420; click 730 300; click 670 470; click 640 300;"
         "click 640 300; click 750 470; click 685 300; click 670 470; click 922 410",
         {2003, 12, 1, 0, 0, 0}, "_.....", "", {{870, 455, PALE_GREEN}, {808, 435, 0}}},
        // A layout, a colour, F1 to F4 and their bar keys show at once what choosing first shows; the
        // entry in progress is kept; Esc with nothing typed leaves a covering view as F11 does.
        {M05 + "click 900 200", {2003, 5, 1, 0, 0, 0}, nullptr, "click 900 200; " + M05, {{1, 1, WHITE}}},
        {M05 + "click 840 410", {2003, 5, 1, 0, 0, 0}, "_.....", "click 840 410; " + M05},
        {M05 + "key F1; click 900 200; click 870 356", {2003, 5, 1, 0, 0, 0}, nullptr, "click 870 356; click 900 200; " + M05},
        {M05 + "click 200 700", {2003, 5, 1, 0, 0, 0}, nullptr, M05 + "key F3"},
        {Y03 + "type 1; click 660 200; click 860 390; type 1; key Enter", {2003, 11, 1, 0, 0, 0}, nullptr,
         "click 660 200; click 860 390; " + Y03 + "type 11; key Enter"},
        {M05 + "key F4; key F3", {2003, 5, 1, 0, 0, 0}, nullptr, M05 + "key F3"},  // nothing left of the year
        {M05 + "key F1; key Esc", {2003, 5, 1, 0, 0, 0}, "_.....", M05 + "key F1; key F11"},
        {M05 + "key F1; type 1; key Esc", {2003, 5, 1, 0, 1, 0}},
        {M05 + "key Esc", {2003, 5, 1, 0, 0, 0}, "_.....", M05},
        // The help screen: any key or click closes it and does nothing else.
        {M05 + "key F3; key F8", {2003, 5, 1, 0, 0, 0}, nullptr, "", {{20, 30, BLUE}, {1000, 40, BLUE}}},
        {M05 + "key F3; key F8; key F12", {2003, 5, 1, 0, 0, 0}, nullptr, M05 + "key F3"},
        {M05 + "key F8; click 640 300", {2003, 5, 1, 0, 0, 0}, "_.....", M05},
        {"click 620 700; key Down", {0, 0, 0, 0, 0, 0}, nullptr, "paint"},  // ヘルプ on the bar
        // Menu shows today's month, framed, once; the next paint the chosen one.
        {M05 + "click 900 700", {2003, 5, 1, 0, 0, 0}, "_.....", "", {{20, 15, BEIGE}}},
        {M05 + "click 900 700; paint", {2003, 5, 1, 0, 0, 0}, "_.....", M05},
        {"click 980 700", {}}, {"type 12; key F12", {}}, {"key Ctrl+Q", {}},  // 終了, F12, Ctrl+Q end with 0
    };
    for (std::string cover : {"paint", "key F11", "click 900 700"}) {  // a view that empties the fields
        rows.push_back({"type 1; " + cover, {0, 0, 0, 0, 0, 0}, "_....."});
        rows.push_back({"type 1; " + cover + "; type 7; key Enter", {7, 0, 0, 1, 0, 0}, "w..._."});
        rows.push_back({Y03 + "type 1; " + cover + "; type 20; key Enter; type 5; key Enter", {20, 5, 1, 0, 0, 0}});
    }
    std::time_t now = std::time(nullptr);
    const std::tm t = *std::localtime(&now);
    const int today = (t.tm_year + 1900) * 12 + t.tm_mon;
    auto step = [&](std::string layout, std::string keys, int year, int month, int beeps) {
        if (year < 0)  // today's month moved by `month` months
            year = (today + month) / 12, month = (today + month) % 12 + 1;
        const std::string typed = "type " + std::to_string(year) + "; key Enter; type " + std::to_string(month);
        rows.push_back({layout + keys, {year, month, 1, 0, 0, beeps}, nullptr, layout + typed + "; key Enter"});
    };
    const std::string L = "click 660 200; ", Y = "click 900 200; ", NOV = Y03 + "type 11; key Enter; ";
    step("", "type 2003; key Enter; type 12; key Enter; key PageDown", 2004, 1, 0);
    step(L, "type 2004; key Enter; type 1; key Enter; key PageUp; key PageUp", 2003, 11, 0);
    step(Y, M05 + "key PageDown; key PageDown", 2005, 5, 0);
    step(Y, "type 1; key Enter; type 5; key Enter; key PageUp; key PageUp", 0, 5, 1);
    step("", "type 0; key Enter; type 1; key Enter; key PageUp", 0, 1, 1);
    step("", "type 9999; key Enter; type 11; key Enter; key PageDown; key PageDown", 9999, 12, 1);
    step("", "key PageDown", -1, 1, 0);
    step("", "key Down; key Down; key Up", -1, 1, 0);
    step(L, "", -1, 0, 0);  // a choice on the start screen shows today's month in it
    step("", NOV + "key Home; key PageUp", -1, -1, 0);
    step("", NOV + "type 2010; key Enter; type 1; key PageDown", 2003, 12, 0);
    step("", NOV + "type 19; key PageUp; type 1999; key Enter; type 3; key Enter", 1999, 3, 0);
    step("", NOV + "wheel down 300 300; wheel down 700 350", 2003, 12, 0);  // none over the keypad
    step(L, "type 2003; key Enter; type 1; key Enter; wheel up 900 700", 2002, 12, 0);
    step("", NOV + "wheel down 300 300 3; wheel up 300 300 14", 2002, 12, 0);  // notches of one turn
    step(Y, "type 9998; key Enter; type 1; key Enter; wheel down 300 300 3", 9999, 1, 2);  // years

    // The start screen every replay starts from: today framed in the medium view, the printer line.
    const Picture start = run_program("").screen;
    ASSERT_EQ(std::vector<int>({start.width, start.height}), std::vector<int>({1024, 768}));
    int cell = RKM_FIRST_DAY(t.tm_year + 1900, t.tm_mon + 1) + t.tm_mday - 1, left = 60 + 70 * (cell % 7);
    for (auto [dx, dy] : {std::pair{-1, 169}, {0, 169}, {57, 169}, {28, 171}})
        EXPECT_EQ(start.at(left + dx, 60 * (cell / 7) + dy), BLUE) << "today's cell " << cell;
    EXPECT_EQ(start.at(20, 15), BEIGE);
    EXPECT_TRUE(start.has_near(50, 614, 500, 652, CYAN, 16));
    // The palette by its rule: in each row the parts that vary fall from the palest by 0x10 a
    // column (the greys from white: FF, F0, E0 ...).
    const std::pair<uint32_t, uint32_t> palette[] = {
        {0xFFFFFF, 0x100}, {0xFF0000, 0xE0}, {0x00FFFF, 0xF0}, {0xFFFF00, 0xF0}, {0xFF00FF, 0xE0}};
    for (int i = 0; i < 25; i++) {
        auto [varies, palest] = palette[i / 5];
        uint32_t colour = (WHITE & ~varies) | (std::min<uint32_t>(0xFF, palest - 0x10 * (i % 5)) * 0x010101 & varies);
        EXPECT_EQ(start.at(818 + 26 * (i % 5), 302 + 27 * (i / 5)), colour) << "swatch " << i;
    }
    for (int x : {4, 84, 164, 244, 353, 433, 513, 593, 702, 782, 862, 942})  // each function key's raised left edge
        EXPECT_TRUE(start.at(x, 700) == WHITE && start.at(x - 1, 700) != WHITE) << "key at " << x;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.replay);
        ProgramRun run = run_program(r.replay);
        const ProgramState& s = run.state;
        EXPECT_EQ(run.status, 0);
        if (r.state.empty() || !run.has_state || run.screen.empty()) {
            EXPECT_TRUE(r.state.empty() && !run.has_state) << "ended at once: " << !run.has_state;
            continue;
        }
        EXPECT_EQ(std::vector<int>({s.iYear, s.iMont, s.iSetfg, s.iNstep, s.iNkcnt, s.beeps}), r.state);
        if (r.fields) {
            EXPECT_EQ(fields(run.screen), r.fields);
            int outside = 0;  // pixels right of each field changed since the start screen
            for (int y = 84; y < 124; y++)
                for (int x = 760; x < 940; x++)
                    outside += (x < 820 || x >= 890) && run.screen.at(x, y) != start.at(x, y);
            EXPECT_EQ(outside, 0) << "drawn outside the fields";
        }
        EXPECT_TRUE(r.same_as.empty() || run.screen.pixels == run_program(r.same_as).screen.pixels)
            << "not as " << r.same_as;
        for (auto [x, y, colour] : r.pixels)
            EXPECT_EQ(run.screen.at(x, y), colour) << x << "," << y;
    }
}

// The layout and colour chosen last are there at the next start. A file that is broken, not text, or
// names what the calendar does not offer gives the first start's screen, and keeps what it held.
TEST(input, layout_and_colour_are_kept_for_the_next_start)
{
    TempDir dir;
    const std::string config = dir.file("config"), M05 = "type 2003; key Enter; type 5; key Enter";
    run_program("click 740 200; click 922 410; click 660 200", {}, config);  // 小, pale green, 大
    EXPECT_EQ(dir.read("config/rkm7500/settings"), "layout=large\ncolour=#A0FFA0\n");
    ProgramRun next = run_program(M05, {}, config);
    EXPECT_EQ(std::vector<int>({next.state.iDspbk, next.state.iBcol}), std::vector<int>({0, 0xA0FFA0}));
    EXPECT_EQ(next.screen.pixels, run_program("click 660 200; click 922 410; " + M05).screen.pixels);
    const Picture first = run_program("").screen;
    for (const std::string& broken : {std::string("layout=1\n\0\xff", 11), std::string("layout=huge\ncolour=#123456\nnotes=on\n")}) {
        dir.write("config/rkm7500/settings", broken);
        EXPECT_EQ(run_program("", {}, config).screen.pixels, first.pixels) << broken;
    }
    run_program("click 900 200", {}, config);
    EXPECT_EQ(dir.read("config/rkm7500/settings"), "layout=year\ncolour=#123456\nnotes=on\n");
}

// F5 shows the traditional notes, on screen and on paper, keeping the entry in progress, and the
// choice is there at the next start; F5 again gives the plain screen back.
TEST(input, f5_switches_the_notes_and_they_are_kept_for_the_next_start)
{
    TempDir dir;
    const std::string config = dir.file("config"), pdf = dir.file("p.pdf");
    const std::string M = "type 33; key Enter; type 12; key Enter; key F1";
    const Picture plain = run_program("type 20; " + M).screen;
    const Picture noted = run_program("type 20; key F5; " + M + "; key F9", {"--print-to", pdf}, config).screen;
    EXPECT_EQ(dir.read("config/rkm7500/settings"), "notes=1\nlayout=large\n");
    EXPECT_TRUE(noted.has_near(93 + 560, 107 + 294, 150 + 560, 140 + 294, 0x800000, 40));  // 22nd: 大安, 閏11月1日
    const std::string text = pdf_text_unspaced(pdf);
    for (const char* note : {"大安", "閏11月1日", "冬至", "11/30"})
        EXPECT_NE(text.find(note), std::string::npos) << note;
    EXPECT_EQ(run_program("type 20; " + M, {}, config).screen.pixels, noted.pixels);
    EXPECT_EQ(run_program("type 20; key F5; " + M, {}, config).screen.pixels, plain.pixels);
    EXPECT_EQ(dir.read("config/rkm7500/settings"), "notes=0\nlayout=large\n");
}

TEST(input, anything_typed_or_clicked_stays_in_bounds)
{
    // Long runs of keys and clicks all over the screen; the sanitizers fail any read outside a table.
    std::string events = "type -99; key Enter; type 99; key Enter; type  +-*/:.;";
    for (int i = 0; i < 12; i++)
        events += "type 9999999; key Enter; key BackSpace; key BackSpace; key Left;";
    for (int y = 0; y < 768; y += 37)
        for (int x = 0; x < 1024; x += 53)
            if (!(y > 675 && y < 717 && x > 862))  // not Menu or 終了
                events += "click " + std::to_string(x) + " " + std::to_string(y) + ";";
    ProgramRun run = run_program(events + "key F11; paint");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.state.iNkcnt >= 0 && run.state.iNkcnt <= 4);
    EXPECT_TRUE(run.state.iMont >= 0 && run.state.iMont <= 12);
}

// Each key, swatch, layout button and Menu clicked inside its corners acts, on its edges does nothing;
// a swatch chooses the colour the screen shows where it is.
TEST(input, every_key_swatch_and_button_acts_inside_its_area_only_and_keypad_left_deletes)
{
    plat_set_display(PLAT_DISPLAY_OFFSCREEN);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "InputTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "InputTest", "", 0, 0, 0, 1024, 768, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr) << plat_window_error();
    Canvas screen(1024, 768, 0);
    RKM_WAKU_CRT(screen.dc);
    const Picture drawn{1024, 768, screen.pixels()};
    struct Area { int left, top, right, bottom; char act; };  // exclusive edges
    std::vector<Area> areas = {{622, 448, 726, 484, '\r'}, {728, 448, 788, 484, '\b'}, {862, 675, 940, 717, 'M'}};
    for (int i = 0; i < 16; i++)
        areas.push_back({622 + 42 * (i % 4), 288 + 40 * (i / 4), 662 + 42 * (i % 4), 324 + 40 * (i / 4),
                         "123+456-789*0:./"[i]});
    for (int i = 0; i < 25; i++)
        areas.push_back({808 + 26 * (i % 5), 292 + 27 * (i / 5), 828 + 26 * (i % 5), 312 + 27 * (i / 5), 'c'});
    for (int i = 0; i < 4; i++)
        areas.push_back({620 + 80 * i, 178, 698 + 80 * i, 229, char('0' + i)});
    auto act = [&](int x, int y) {  // what a click does to a year field holding "20"
        iNstep = 0, iMjset = 4, iNkcnt = 2, cKeybuf[2] = 0, iBcol = 1, iDspfg = 9, iDspbk = 8;
        std::memcpy(cKeybuf, "20", 2);
        RKM_SYS_MOUSE(window, x, y);
        if (iBcol != 1)
            return iBcol == (int)drawn.at(x, y) ? 'c' : '?';
        if (iDspfg != 9)
            return iDspfg == 8 ? 'M' : char('0' + iDspfg);  // Menu: today, then the layout in force
        return iNstep == 1 ? '\r' : iNkcnt == 1 ? '\b' : iNkcnt == 3 ? cKeybuf[2] : '\0';
    };
    for (const Area& a : areas) {
        for (int x : {a.left + 1, a.right - 1})
            for (int y : {a.top + 1, a.bottom - 1})
                EXPECT_EQ(act(x, y), a.act) << x << "," << y;
        EXPECT_EQ(act(a.left, a.top + 5), 0) << a.left << "," << a.top;
        EXPECT_EQ(act(a.left + 5, a.bottom), 0) << a.left << "," << a.top;
    }
    EXPECT_EQ(drawn.at(922, 410), PALE_GREEN);  // the last swatch
    iNkcnt = 2;  // the keypad's Left key without NumLock deletes like BackSpace
    RKM_KEYIN_PROC(window, VK_NUMPAD4, 0);
    EXPECT_EQ(iNkcnt, 1);
}
