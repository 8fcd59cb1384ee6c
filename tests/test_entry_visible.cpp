// The entry fields show exactly what Enter converts: a view that empties
// them empties the entry, nothing is drawn outside their cells, and a year
// or month that is refused never reaches the state or the screen.
#include <gtest/gtest.h>

#include "app/app.h"
#include "state/state.h"
#include "platform/windows.h"
#include "tests/helpers/program_run.h"

TEST(entry_visible, a_view_that_empties_the_fields_empties_the_entry)
{
    for (const char* cover : {"paint", "key F11", "click 900 700"}) {
        ProgramRun run = run_program(std::string("type 1; ") + cover + "; type 7; key Enter");
        EXPECT_EQ(run.state.iYear, 7) << cover;
        run = run_program(std::string("type 2003; key Enter; type 1; ") + cover +
                          "; type 20; key Enter; type 5; key Enter");
        EXPECT_EQ(run.state.iYear * 100 + run.state.iMont, 2005) << cover;
    }
}

// Pixels that differ between two screens within x1..x2-1, y1..y2-1.
static int differing(const Picture& a, const Picture& b, int x1, int y1, int x2, int y2)
{
    int n = 0;
    for (int y = y1; y < y2; y++)
        for (int x = x1; x < x2; x++)
            n += a.at(x, y) != b.at(x, y);
    return n;
}

TEST(entry_visible, nothing_is_drawn_outside_the_cells_and_a_cell_is_cleared_first)
{
    ProgramRun start = run_program("");
    for (const char* keys : {"type 20031", "type 2003; key BackSpace", "type 2003; key Enter; type 123",
                             "type 2003; key Enter; type 12; key Left"}) {
        ProgramRun run = run_program(keys);
        EXPECT_EQ(differing(run.screen, start.screen, 760, 84, 820, 124), 0) << keys;
        EXPECT_EQ(differing(run.screen, start.screen, 890, 84, 940, 124), 0) << keys;
    }
    // After Esc the month field's 8 is replaced by the 3 typed over it.
    ProgramRun over = run_program("type 2003; key Enter; type 8; key Esc; key Enter; type 3");
    ProgramRun clean = run_program("type 2003; key Enter; type 3");
    EXPECT_EQ(differing(over.screen, clean.screen, 825, 86, 853, 122), 0);
}

TEST(entry_visible, negative_year_is_refused_at_its_enter_and_a_refused_month_shows_the_year_in_force)
{
    ProgramRun year = run_program("type -5; key Enter; paint");
    EXPECT_EQ(year.state.beeps, 1);
    EXPECT_EQ(year.state.iYear, 0);
    EXPECT_EQ(year.state.iNstep, 0);
    std::string chosen = "type 1999; key Enter; type 4; key Enter; ";
    ProgramRun month = run_program(chosen + "type 2003; key Enter; type 13; key Enter");
    EXPECT_EQ(month.state.iYear, 1999);
    EXPECT_EQ(month.state.iNstep, 1);
    ProgramRun shown = run_program(chosen + "type 1999; key Enter");
    EXPECT_EQ(differing(month.screen, shown.screen, 630, 84, 760, 122), 0);
    ProgramRun next = run_program(chosen + "type 2003; key Enter; type 13; key Enter; type 6; key Enter");
    EXPECT_EQ(next.state.iYear * 100 + next.state.iMont, 199906);
}

TEST(entry_visible, keypad_left_without_numlock_deletes)
{
    plat_set_display(PLAT_DISPLAY_OFFSCREEN);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "EntryTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "EntryTest", "", 0, 0, 0, 1024, 768, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr) << plat_window_error();
    iNkcnt = 2;
    RKM_KEYIN_PROC(window, VK_NUMPAD4, 0);
    EXPECT_EQ(iNkcnt, 1);
}
