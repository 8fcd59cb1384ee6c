// Keyboard and mouse input through the whole program: input is replayed
// through the message loop and the window procedure (--replay), then the
// application state and the screen left behind are checked.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "layout/layout.h"
#include "state/state.h"
#include "tests/helpers/program_run.h"

enum : uint32_t {
    DARK_GREY = 0x404040, BEIGE = 0xBBCCD5, NAVY = 0x800000, LIGHT_GREY = 0xC0C0C0,
    GREEN = 0x5C8000, BLUE = 0xFF0000, WHITE = 0xFFFFFF, YELLOW = 0x00FFFF,
};

static ProgramRun replay(const std::string& events)
{
    ProgramRun run = run_program(events);
    EXPECT_EQ(run.status, 0) << events;
    EXPECT_TRUE(run.has_state && !run.screen.empty()) << events;
    return run;
}

// Whether the cursor bar lies under cell n of the field whose first cell is x0.
static bool cursor_under(const Picture& p, int x0, int n)
{
    return p.count(x0 + 28 * n + 1, 122, x0 + 28 * n + 27, 123, LIGHT_GREY) == 2 * 27;
}

static bool cell_shows(const Picture& p, int x0, int n, uint32_t colour)
{
    return p.has_near(x0 + 28 * n, 86, x0 + 28 * n + 27, 118, colour, 16);
}

TEST(entry, year_then_month_shows_the_chosen_month)
{
    ProgramRun year = replay("type 2003; key Enter");
    EXPECT_EQ(year.state.iYear, 2003);
    EXPECT_EQ(year.state.iNstep, 1);
    EXPECT_TRUE(cell_shows(year.screen, 635, 3, WHITE));
    EXPECT_FALSE(year.screen.has_near(630, 86, 760, 118, YELLOW, 40));
    EXPECT_TRUE(cursor_under(year.screen, 825, 0));

    ProgramRun month = replay("type 2003; key Enter; type 5; key Enter");
    EXPECT_EQ(month.state.iMont, 5);
    EXPECT_EQ(month.state.iSetfg, 1);
    EXPECT_EQ(month.state.iNstep, 0);
    EXPECT_EQ(month.screen.at(20, 15), WHITE);  // no day framed: the area in iBcol
    // 1 May 2003 is a Thursday: column 4 of the first row, column 3 empty.
    EXPECT_GT(month.screen.count_not(336, 126, 400, 180, WHITE), 10);
    EXPECT_EQ(month.screen.count_not(266, 126, 330, 180, WHITE), 0);
}

TEST(entry, fifth_year_character_beeps_and_is_not_kept)
{
    ProgramRun run = replay("type 20031");
    EXPECT_EQ(run.state.beeps, 1);
    EXPECT_EQ(run.state.iNkcnt, 4);
    EXPECT_EQ(std::string(run.state.cKeybuf, 4), "2003");
    EXPECT_FALSE(cursor_under(run.screen, 635, 4));  // nothing drawn right of the field
}

TEST(entry, backspace_at_count_zero)
{
    ProgramRun run = replay("key BackSpace; key Left");
    EXPECT_EQ(run.state.iNkcnt, 0);
    EXPECT_EQ(run.state.beeps, 0);
    EXPECT_TRUE(cursor_under(run.screen, 635, 0));
}

TEST(entry, esc_while_the_month_is_typed_goes_back_to_the_year_without_redrawing)
{
    ProgramRun run = replay("type 2003; key Enter; type 1; key Esc; type 9");
    EXPECT_EQ(run.state.iNstep, 0);
    EXPECT_EQ(run.state.iNkcnt, 1);
    EXPECT_EQ(run.state.cKeybuf[0], '9');
    EXPECT_TRUE(cell_shows(run.screen, 635, 2, WHITE));   // the year stays visible
    EXPECT_TRUE(cursor_under(run.screen, 825, 1));        // and the month's cursor
    EXPECT_TRUE(cell_shows(run.screen, 635, 0, YELLOW));  // 9 went to the year field
}

TEST(entry, impossible_month_is_refused_and_the_entry_opens_again)
{
    for (const char* entry : {"type 2003; key Enter; type 13", "type 2003; key Enter; type 0",
                              "type 1999; key Enter; type 4; key Enter; type 2003; key Enter; type ab"}) {
        ProgramRun run = replay(std::string(entry) + "; key Enter");
        bool earlier = std::string(entry).find("1999") != std::string::npos;
        EXPECT_EQ(run.state.beeps, 1) << entry;
        EXPECT_EQ(run.state.iYear, earlier ? 1999 : 0) << entry;
        EXPECT_EQ(run.state.iMont, earlier ? 4 : 0) << entry;
        EXPECT_EQ(run.state.iSetfg, earlier ? 1 : 0) << entry;
        EXPECT_EQ(run.state.iNstep, earlier ? 1 : 0) << entry;
        EXPECT_EQ(run.state.iNkcnt, 0) << entry;
        EXPECT_TRUE(cursor_under(run.screen, earlier ? 825 : 635, 0)) << entry;
        EXPECT_FALSE(run.screen.has_near(820, 86, 890, 118, YELLOW, 40)) << entry;
    }
    // With no month in force the entry starts over with the year; year 0 is a year.
    ProgramRun again = replay("type 2003; key Enter; type 13; key Enter; type 12; key Enter");
    EXPECT_EQ(again.state.iYear * 100 + again.state.iMont, 1200);
    ProgramRun fixed = replay("type -5; key Enter; type 5; key Enter; key Esc; key Enter;"
                              "type 1; key Enter");
    EXPECT_EQ(fixed.state.iYear * 100 + fixed.state.iMont, 1);
    EXPECT_EQ(fixed.state.iSetfg, 1);
}

TEST(entry, anything_typed_or_clicked_stays_in_bounds)
{
    // Long runs of keys and clicks all over the screen; the sanitizer build
    // turns any read outside a table or buffer into a failure.
    std::string events = "type -99; key Enter; type 99; key Enter; type  +-*/:.;";
    for (int i = 0; i < 12; i++)
        events += "type 9999999; key Enter; key BackSpace; key BackSpace; key Left;";
    for (int y = 0; y < 768; y += 37)
        for (int x = 0; x < 1024; x += 53)
            if (!(y > 675 && y < 717 && x > 862))  // not Menu or 終了
                events += "click " + std::to_string(x) + " " + std::to_string(y) + ";";
    ProgramRun run = replay(events + "key F11; paint");
    EXPECT_TRUE(run.state.iNkcnt >= 0 && run.state.iNkcnt <= 4);
    EXPECT_TRUE(run.state.iMont >= 0 && run.state.iMont <= 12);
}

// Every key of the keypad and every swatch, clicked just inside each corner
// of its area and on its edge: inside acts, the edge does nothing. A swatch
// chooses the colour the screen shows where it is clicked.
TEST(hit_areas, every_key_and_swatch_acts_inside_its_area_only)
{
    Canvas screen(1024, 768, 0);
    RKM_WAKU_CRT(screen.dc);
    Picture drawn = picture_of(screen);
    struct Area { int left, top, right, bottom; char key; } areas[18];  // exclusive edges
    for (int i = 0; i < 16; i++)
        areas[i] = {622 + 42 * (i % 4), 288 + 40 * (i / 4), 662 + 42 * (i % 4), 324 + 40 * (i / 4),
                    "123+456-789*0:./"[i]};
    areas[16] = {622, 448, 726, 484, '\r'};  // Enter
    areas[17] = {728, 448, 788, 484, '\b'};  // BS
    auto typed = [&](int x, int y) {  // what a click types into a year field holding "20"
        iNstep = 0, iMjset = 4, iNkcnt = 2, cKeybuf[2] = 0;
        std::memcpy(cKeybuf, "20", 2);
        RKM_KB_MOUSE(screen.dc, x, y);
        return iNstep == 1 ? '\r' : iNkcnt == 1 ? '\b' : iNkcnt == 3 ? cKeybuf[2] : 0;
    };
    for (const Area& a : areas) {
        SCOPED_TRACE(std::string("key ") + a.key);
        for (int x : {a.left + 1, a.right - 1})
            for (int y : {a.top + 1, a.bottom - 1})
                EXPECT_EQ(typed(x, y), a.key) << x << "," << y;
        EXPECT_EQ(typed(a.left, a.top + 5), 0);
        EXPECT_EQ(typed(a.left + 5, a.bottom), 0);
    }
    for (int r = 0; r < 5; r++)
        for (int c = 0; c < 5; c++) {
            int left = 808 + 26 * c, top = 292 + 27 * r;
            for (int x : {left + 1, left + 19})
                for (int y : {top + 1, top + 19}) {
                    iBcol = 1;
                    RKM_COL_MOUSE(screen.dc, x, y);
                    EXPECT_EQ(iBcol, (int)drawn.at(x, y)) << "swatch " << r << "," << c;
                }
            iBcol = 1;
            RKM_COL_MOUSE(screen.dc, left, top + 5);
            RKM_COL_MOUSE(screen.dc, left + 5, top + 20);
            EXPECT_EQ(iBcol, 1) << "edge of swatch " << r << "," << c;
        }
    EXPECT_EQ(drawn.at(922, 410), 0xA0FFA0u);  // the last swatch, pale green
}

TEST(mouse, keypad_entry_by_mouse_and_the_chosen_colour_on_screen)
{
    // 2, 0, 0, 3, Enter, 1, 1, BS, 2, Enter: December 2003, all by mouse.
    ProgramRun all = replay("click 685 300; click 640 420; click 640 420; click 730 300;"
                            "click 670 470; click 640 300; click 640 300; click 750 470;"
                            "click 685 300; click 670 470; click 922 410");
    EXPECT_EQ(all.state.iYear * 100 + all.state.iMont, 200312);
    EXPECT_EQ(all.state.iBcol, 0xA0FFA0);
    EXPECT_EQ(all.screen.at(870, 455), 0xA0FFA0u);
    EXPECT_EQ(all.screen.at(808, 435), 0x000000u);  // the outline stays
}

TEST(mouse, layout_button_moves_the_highlight_without_redrawing)
{
    ProgramRun run = replay("type 2003; key Enter; type 5; key Enter; click 900 200");
    EXPECT_EQ(run.state.iDspfg, 3);
    EXPECT_EQ(run.state.iDspbk, 3);
    EXPECT_EQ(run.screen.at(863, 225), BLUE);
    EXPECT_EQ(run.screen.at(703, 225), GREEN);
    EXPECT_EQ(run.screen.at(1, 1), DARK_GREY);  // still the medium view

    ProgramRun painted = replay("type 2003; key Enter; type 5; key Enter; click 900 200; paint");
    EXPECT_EQ(painted.screen.at(1, 1), WHITE);  // the year view covers everything
}

TEST(mouse, menu_shows_today_once_and_leaves_the_chosen_month)
{
    ProgramRun menu = replay("type 2003; key Enter; type 5; key Enter; click 900 700");
    EXPECT_EQ(menu.state.iSetfg, 1);
    EXPECT_EQ(menu.screen.at(20, 15), BEIGE);  // today's month, today framed
    EXPECT_GT(menu.screen.count(14, 120, 586, 520, BLUE), 100);

    ProgramRun later = replay("type 2003; key Enter; type 5; key Enter; click 900 700; paint");
    EXPECT_EQ(later.screen.at(20, 15), WHITE);  // May 2003 again
    EXPECT_EQ(later.screen.count(14, 120, 586, 520, BLUE), 0);
}

TEST(mouse, quit_button_and_f12_end_the_program_with_0)
{
    for (const char* events : {"click 980 700", "type 12; key F12"}) {
        ProgramRun run = run_program(events);
        EXPECT_EQ(run.status, 0) << events;
        EXPECT_FALSE(run.has_state) << events;  // ended at once, not through the loop
    }
}
