// Keyboard and mouse input through the whole program: each test replays
// input through the message loop and the window procedure (--replay) and
// looks at the application state and at the screen left behind.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "tests/helpers/program_run.h"

enum : uint32_t {
    DARK_GREY = 0x404040, BEIGE = 0xBBCCD5, NAVY = 0x800000, LIGHT_GREY = 0xC0C0C0,
    GREEN = 0x5C8000, BLUE = 0xFF0000, WHITE = 0xFFFFFF, YELLOW = 0x00FFFF,
};

static ProgramRun replay(const std::string& events)
{
    ProgramRun run = run_program(events);
    EXPECT_EQ(run.status, 0) << events;
    EXPECT_TRUE(run.has_state) << events;
    EXPECT_FALSE(run.screen.empty()) << events;
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

/* Year and month entry from the keyboard */

TEST(entry, year_then_month_shows_the_chosen_month)
{
    ProgramRun year = replay("type 2003; key Enter");
    EXPECT_EQ(year.state.iYear, 2003);
    EXPECT_EQ(year.state.iNstep, 1);
    EXPECT_EQ(year.state.iNkcnt, 0);
    EXPECT_EQ(year.state.iSetfg, 0);
    for (int n = 0; n < 4; n++)
        EXPECT_TRUE(cell_shows(year.screen, 635, n, WHITE)) << n;
    EXPECT_FALSE(year.screen.has_near(630, 86, 760, 118, YELLOW, 40));
    EXPECT_TRUE(cursor_under(year.screen, 825, 0));

    ProgramRun month = replay("type 2003; key Enter; type 5; key Enter");
    EXPECT_EQ(month.state.iYear, 2003);
    EXPECT_EQ(month.state.iMont, 5);
    EXPECT_EQ(month.state.iSetfg, 1);
    EXPECT_EQ(month.state.iNstep, 0);
    EXPECT_EQ(month.state.iNkcnt, 0);
    // May 2003 in the medium view with no day framed: the area in iBcol.
    EXPECT_EQ(month.screen.at(20, 15), WHITE);
    EXPECT_EQ(month.screen.count(14, 120, 586, 520, BLUE), 0);
    // 1 May 2003 is a Thursday: column 4 of the first row.
    EXPECT_GT(month.screen.count_not(336, 126, 400, 180, WHITE), 10);
    EXPECT_EQ(month.screen.count_not(266, 126, 330, 180, WHITE), 0);
}

TEST(entry, fifth_year_character_beeps_and_is_not_kept)
{
    ProgramRun run = replay("type 20031");
    EXPECT_EQ(run.state.beeps, 1);
    EXPECT_EQ(run.state.iNkcnt, 4);
    EXPECT_EQ(std::string(run.state.cKeybuf, 4), "2003");
    EXPECT_TRUE(cursor_under(run.screen, 635, 4));
    EXPECT_FALSE(run.screen.has_near(747, 87, 774, 121, YELLOW, 40));  // taken back
    EXPECT_EQ(run.screen.at(765, 100), NAVY);
    EXPECT_TRUE(cell_shows(run.screen, 635, 3, YELLOW));
}

TEST(entry, backspace_at_count_zero_and_after_two_characters)
{
    ProgramRun empty = replay("key BackSpace; key Left");
    EXPECT_EQ(empty.state.iNkcnt, 0);
    EXPECT_EQ(empty.state.beeps, 0);
    EXPECT_TRUE(cursor_under(empty.screen, 635, 0));

    ProgramRun two = replay("type 20; key BackSpace");
    EXPECT_EQ(two.state.iNkcnt, 1);
    EXPECT_TRUE(cell_shows(two.screen, 635, 0, YELLOW));
    EXPECT_FALSE(cell_shows(two.screen, 635, 1, YELLOW));
    EXPECT_TRUE(cursor_under(two.screen, 635, 1));
    EXPECT_FALSE(cursor_under(two.screen, 635, 2));
}

TEST(entry, conversion_takes_what_atoi_takes)
{
    EXPECT_EQ(replay("type 12a4; key Enter").state.iYear, 12);
    ProgramRun blank = replay("type 2003; key Enter; type  7; key Enter");
    EXPECT_EQ(blank.state.iMont, 7);
    EXPECT_EQ(blank.state.iSetfg, 1);
    ProgramRun none = replay("key Enter; type 1; key Enter");  // year 0 is a year
    EXPECT_EQ(none.state.iYear, 0);
    EXPECT_EQ(none.state.iMont, 1);
    EXPECT_EQ(none.state.iSetfg, 1);
}

TEST(entry, esc_goes_back_to_the_year_without_redrawing)
{
    ProgramRun year = replay("type 20; key Esc");
    EXPECT_EQ(year.state.iNkcnt, 2);
    EXPECT_EQ(year.state.iNstep, 0);

    ProgramRun run = replay("type 2003; key Enter; type 1; key Esc; type 9");
    EXPECT_EQ(run.state.iNstep, 0);
    EXPECT_EQ(run.state.iNkcnt, 1);
    EXPECT_EQ(run.state.cKeybuf[0], '9');
    EXPECT_TRUE(cell_shows(run.screen, 635, 2, WHITE));   // the year stays visible
    EXPECT_TRUE(cell_shows(run.screen, 825, 0, YELLOW));  // so does the month digit
    EXPECT_TRUE(cursor_under(run.screen, 825, 1));        // and its cursor
    EXPECT_TRUE(cell_shows(run.screen, 635, 0, YELLOW));  // 9 went to the year field
}

TEST(entry, f11_or_a_paint_while_the_month_is_typed_keeps_the_count)
{
    for (const char* action : {"key F11", "paint"}) {
        ProgramRun run = replay(std::string("type 2003; key Enter; type 1; ") + action +
                                "; type 5");
        EXPECT_EQ(run.state.iNstep, 0) << action;
        EXPECT_EQ(run.state.iNkcnt, 2) << action;
        EXPECT_EQ(run.state.cKeybuf[1], '5') << action;
        EXPECT_EQ(run.state.iSetfg, 0) << action;
        EXPECT_EQ(run.state.iDspfg, 1) << action;
    }
}

/* Months and years that have no calendar */

TEST(entry, impossible_month_is_refused_and_the_field_opens_again)
{
    for (const char* month : {"13", "0", "-1", "ab", "99"}) {
        ProgramRun run = replay(std::string("type 2003; key Enter; type ") + month +
                                "; key Enter");
        EXPECT_EQ(run.state.beeps, 1) << month;
        EXPECT_EQ(run.state.iMont, 0) << month;
        EXPECT_EQ(run.state.iYear, 0) << month;
        EXPECT_EQ(run.state.iSetfg, 0) << month;
        EXPECT_EQ(run.state.iNstep, 1) << month;
        EXPECT_EQ(run.state.iNkcnt, 0) << month;
        EXPECT_TRUE(cursor_under(run.screen, 825, 0)) << month;
        EXPECT_FALSE(run.screen.has_near(820, 86, 890, 118, YELLOW, 40)) << month;
        EXPECT_EQ(run.screen.at(20, 15), BEIGE) << month;  // still today's month
    }
    // The month typed again goes with the year typed before.
    ProgramRun again = replay("type 2003; key Enter; type 13; key Enter; type 12; key Enter");
    EXPECT_EQ(again.state.iYear, 2003);
    EXPECT_EQ(again.state.iMont, 12);
    EXPECT_EQ(again.state.iSetfg, 1);
}

TEST(entry, refused_entry_keeps_the_month_shown_before)
{
    ProgramRun run = replay(
        "type 1999; key Enter; type 4; key Enter; type 2003; key Enter; type 13; key Enter;"
        "paint");
    EXPECT_EQ(run.state.iYear, 1999);
    EXPECT_EQ(run.state.iMont, 4);
    EXPECT_EQ(run.state.iSetfg, 1);
    // April 1999 starts on a Thursday, column 4.
    EXPECT_GT(run.screen.count_not(336, 126, 400, 180, WHITE), 10);
    EXPECT_EQ(run.screen.count_not(266, 126, 330, 180, WHITE), 0);
}

TEST(entry, negative_year_is_refused_until_esc_and_a_new_year)
{
    ProgramRun run = replay("type -5; key Enter; type 5; key Enter");
    EXPECT_EQ(run.state.beeps, 1);
    EXPECT_EQ(run.state.iYear, 0);
    EXPECT_EQ(run.state.iSetfg, 0);
    EXPECT_EQ(run.state.iNstep, 1);

    ProgramRun fixed = replay("type -5; key Enter; type 5; key Enter; key Esc; type 1999;"
                              "key Enter; type 5; key Enter");
    EXPECT_EQ(fixed.state.iYear, 1999);
    EXPECT_EQ(fixed.state.iMont, 5);
    EXPECT_EQ(fixed.state.iSetfg, 1);
}

TEST(entry, anything_typed_or_clicked_stays_in_bounds)
{
    // Long runs of keys, deletions and clicks all over the screen: the
    // sanitizer build turns any read outside a buffer into a failure.
    std::string events = "type -99; key Enter; type 99; key Enter; type  +-*/:.;";
    for (int i = 0; i < 12; i++)
        events += "type 9999999; key Enter; key BackSpace; key BackSpace; key Left;";
    for (int y = 0; y < 768; y += 37)
        for (int x = 0; x < 1024; x += 53)
            if (!(y > 675 && y < 717 && x > 862))  // not Menu or 終了
                events += "click " + std::to_string(x) + " " + std::to_string(y) + ";";
    events += "type 2003; key Enter; type 9; key Enter";
    ProgramRun run = replay(events);
    EXPECT_GE(run.state.iNkcnt, 0);
    EXPECT_LE(run.state.iNkcnt, 4);
    EXPECT_GE(run.state.iMont, 0);
    EXPECT_LE(run.state.iMont, 12);
}

/* The on-screen keypad */

TEST(keypad, click_on_a_key_types_and_on_a_border_types_nothing)
{
    ProgramRun one = replay("click 640 300");
    EXPECT_EQ(one.state.iNkcnt, 1);
    EXPECT_EQ(one.state.cKeybuf[0], '1');
    EXPECT_TRUE(cell_shows(one.screen, 635, 0, YELLOW));

    ProgramRun border = replay("click 662 300; click 640 287; click 700 270; click 663 350");
    EXPECT_EQ(border.state.iNkcnt, 0);
    EXPECT_EQ(border.state.beeps, 0);
}

TEST(keypad, whole_entry_by_mouse)
{
    // 2, 0, 0, 3, Enter, then 1, 1, BS, 2 and Enter: December 2003.
    ProgramRun run = replay(
        "click 685 300; click 640 420; click 640 420; click 730 300; click 670 470;"
        "click 640 300; click 640 300; click 750 470; click 685 300; click 670 470");
    EXPECT_EQ(run.state.iYear, 2003);
    EXPECT_EQ(run.state.iMont, 12);
    EXPECT_EQ(run.state.iSetfg, 1);
}

TEST(keypad, operator_keys_type_their_characters)
{
    ProgramRun run = replay("click 770 300; click 770 340; click 770 380; click 770 420");
    EXPECT_EQ(std::string(run.state.cKeybuf, 4), "+-*/");
    ProgramRun more = replay("click 685 420; click 725 420; click 770 420; click 770 420; "
                             "click 770 420");
    EXPECT_EQ(std::string(more.state.cKeybuf, 4), ":.//");
    EXPECT_EQ(more.state.beeps, 1);
}

/* Palette, layout buttons, Menu */

TEST(mouse, swatch_row_4_column_4_fills_the_sample)
{
    ProgramRun run = replay("click 922 410");
    EXPECT_EQ(run.state.iBcol, 0xA0FFA0);
    EXPECT_EQ(run.screen.at(870, 455), 0xA0FFA0u);
    EXPECT_EQ(run.screen.at(808, 435), 0x000000u);  // the outline stays

    ProgramRun between = replay("click 831 300; click 922 425");
    EXPECT_EQ(between.state.iBcol, 0xFFFFFF);
    EXPECT_EQ(between.screen.at(870, 455), WHITE);

    ProgramRun used = replay("click 818 410; type 2003; key Enter; type 5; key Enter");
    EXPECT_EQ(used.state.iBcol, 0xE0FFE0);
    EXPECT_EQ(used.screen.at(20, 15), 0xE0FFE0u);  // the next month drawn uses it
}

TEST(mouse, layout_button_moves_the_highlight_without_redrawing)
{
    ProgramRun run = replay("type 2003; key Enter; type 5; key Enter; click 900 200");
    EXPECT_EQ(run.state.iDspfg, 3);
    EXPECT_EQ(run.state.iDspbk, 3);
    EXPECT_EQ(run.screen.at(863, 225), BLUE);
    EXPECT_EQ(run.screen.at(703, 225), GREEN);
    EXPECT_EQ(run.screen.at(1, 1), DARK_GREY);  // still the medium view
    EXPECT_EQ(run.screen.at(20, 15), WHITE);

    ProgramRun painted = replay("type 2003; key Enter; type 5; key Enter; click 900 200; paint");
    EXPECT_EQ(painted.screen.at(1, 1), WHITE);  // the year view covers everything
    EXPECT_EQ(painted.screen.at(10, 300), DARK_GREY);
}

TEST(mouse, each_layout_after_a_month_entry)
{
    ProgramRun large = replay("click 650 200; type 2003; key Enter; type 11; key Enter");
    EXPECT_EQ(large.screen.at(2, 2), DARK_GREY);
    EXPECT_EQ(large.screen.at(21, 400), LIGHT_GREY);
    ProgramRun small = replay("click 820 200; type 2003; key Enter; type 11; key Enter");
    EXPECT_EQ(small.screen.at(250, 195), WHITE);
    EXPECT_EQ(small.screen.at(500, 500), BEIGE);
    EXPECT_EQ(small.screen.at(700, 700), DARK_GREY);  // the function-key bar is kept
    EXPECT_EQ(small.state.iDspfg, 2);
}

TEST(mouse, typing_over_a_view_without_the_panel)
{
    ProgramRun run = replay("click 650 200; type 2003; key Enter; type 5; key Enter; type 7");
    EXPECT_EQ(run.state.iNkcnt, 1);
    EXPECT_TRUE(cell_shows(run.screen, 635, 0, YELLOW));
    EXPECT_TRUE(cursor_under(run.screen, 635, 1));
}

TEST(mouse, menu_shows_today_once_and_leaves_the_chosen_month)
{
    ProgramRun menu = replay("type 2003; key Enter; type 5; key Enter; click 900 700");
    EXPECT_EQ(menu.state.iSetfg, 1);
    EXPECT_EQ(menu.screen.at(20, 15), BEIGE);  // today's month, with today framed
    EXPECT_GT(menu.screen.count(14, 120, 586, 520, BLUE), 100);

    ProgramRun later = replay("type 2003; key Enter; type 5; key Enter; click 900 700; paint");
    EXPECT_EQ(later.state.iSetfg, 1);
    EXPECT_EQ(later.screen.at(20, 15), WHITE);  // May 2003 again
    EXPECT_EQ(later.screen.count(14, 120, 586, 520, BLUE), 0);
}

TEST(mouse, f9_button_and_empty_places_do_nothing)
{
    ProgramRun run = replay("click 740 700; click 40 700; click 600 150; click 699 200");
    EXPECT_EQ(run.state.iSetfg, 0);
    EXPECT_EQ(run.state.iDspfg, 1);
    EXPECT_EQ(run.state.iNkcnt, 0);
    EXPECT_EQ(run.state.beeps, 0);
}

TEST(mouse, quit_button_and_f12_end_the_program_with_0)
{
    for (const char* events : {"click 980 700", "key F12", "type 12; key F12"}) {
        ProgramRun run = run_program(events);
        EXPECT_EQ(run.status, 0) << events;
        EXPECT_FALSE(run.has_state) << events;  // ended at once, not through the loop
    }
}
