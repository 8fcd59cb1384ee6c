// The 1024 x 768 design fitted to windows of any size: centred, drawn at
// the window's own pixels, clicks taken back to design units.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>

#include "platform/window/fit.h"
#include "tests/helpers/program_run.h"
#include "tests/helpers/xvfb.h"

namespace {

const uint32_t MARGIN = 0x302620, CYAN = 0xFFFF00;

struct Fit {  // where design unit u lies in a w x h window, by the fit's own arithmetic
    WndFit f;
    double s;
    int ox, oy;
    Fit(int w, int h) : f(fit_for(w, h, false)), s(f.scale), ox(f.offset_x), oy(f.offset_y) {}
    int x(double u) const { return ox + (int)std::lround(s * u); }
    int y(double u) const { return oy + (int)std::lround(s * u); }
};

std::vector<std::string> size(int w, int h)
{
    return {"--size=" + std::to_string(w) + "x" + std::to_string(h)};
}

bool solid(const Picture& p, int x, int y)
{
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++)
            if (p.at(x + dx, y + dy) != p.at(x, y))
                return false;
    return true;
}

}  // namespace

// The fit at many window sizes, shrunk and enlarged: the design fills the
// window one way and is centred the other; every device pixel of the design
// belongs to the unit whose pixels begin at or before it and end after it;
// from scale 1 up every unit's first pixel leads back to the unit; pixels
// beside the design belong to none.
TEST(fit, units_and_pixels_map_both_ways_at_many_sizes)
{
    for (int w = 400; w <= 4200; w += 97)
        for (int h : {w * 3 / 4, w * 9 / 16, w * 10 / 16, w, w * 2 / 5 + 7}) {
            WndFit f = fit_for(w, h, false);
            int dw = fit_extent(f.scale, 1024), dh = fit_extent(f.scale, 768);
            ASSERT_TRUE(dw <= w && dh <= h && (dw >= w - 1 || dh >= h - 1)) << w << "x" << h;
            ASSERT_LE(std::abs(w - dw - 2 * f.offset_x), 1) << w << "x" << h;
            ASSERT_LE(std::abs(h - dh - 2 * f.offset_y), 1) << w << "x" << h;
            for (auto [units, offset, extent] : {std::tuple{1024, f.offset_x, dw}, {768, f.offset_y, dh}}) {
                ASSERT_EQ(fit_unit_at(f.scale, offset, units, offset - 1), -1);
                ASSERT_EQ(fit_unit_at(f.scale, offset, units, offset + extent), -1);
                for (int d = offset; d < offset + extent; d++) {
                    int u = fit_unit_at(f.scale, offset, units, d);
                    ASSERT_TRUE(u >= 0 && fit_pixel(f.scale, offset, u) <= d) << w << "x" << h << " " << d;
                    ASSERT_TRUE(u == units - 1 || fit_pixel(f.scale, offset, u + 1) > d) << d;
                }
                for (int u = 0; u < units && f.scale >= 1; u++)
                    ASSERT_EQ(fit_unit_at(f.scale, offset, units, fit_pixel(f.scale, offset, u)), u);
            }
        }
    WndFit one = fit_for(2000, 1000, true);
    EXPECT_TRUE(one.scale == 1 && one.offset_x == 488 && one.offset_y == 116);
}

// Every pixel of the 1:1 screen inside a patch of one colour (no edge, no
// text) covers its whole block of the fitted screen; the margins are filled.
// At twice the size text is drawn large, not blown up: glyph stems are runs
// of full ink, and the glyphs' edges do not fall on a 2 x 2 grid.
TEST(fit, each_design_pixel_covers_its_block_margins_are_filled_and_text_is_sharp)
{
    Picture one = run_program("").screen;
    ASSERT_EQ(one.width, 1024);
    for (auto [w, h] : {std::pair{1024, 768}, {2048, 1536}, {1920, 1080}, {800, 600}}) {
        Picture p = run_program("", size(w, h)).screen;
        ASSERT_EQ(p.width * 10000 + p.height, w * 10000 + h);
        Fit f(w, h);
        int checked = 0, wrong = 0;
        for (int y = 1; y < 767; y++)
            for (int x = 1; x < 1023; x++)
                if (solid(one, x, y) && ++checked)
                    for (int dy = f.y(y); dy < std::max(f.y(y + 1), f.y(y) + 1); dy++)
                        for (int dx = f.x(x); dx < std::max(f.x(x + 1), f.x(x) + 1); dx++)
                            wrong += p.at(dx, dy) != one.at(x, y);
        EXPECT_LE(wrong, w == 1024 ? 0 : checked / 500) << w << "x" << h;
        int margin = w * h - (f.x(1024) - f.ox) * (f.y(768) - f.oy);
        EXPECT_EQ(p.count(0, 0, w - 1, h - 1, MARGIN), margin) << w << "x" << h;
        if (w != 2048)
            continue;
        int longest = 0, ragged = 0;
        for (int y = 1228; y < 1304; y += 2)
            for (int x = 100, run = 0; x < 1000; x += 2) {
                for (int dx : {0, 1}) {
                    run = p.at(x + dx, y) == CYAN ? run + 1 : 0;
                    longest = std::max(longest, run);
                }
                ragged += p.at(x, y) != p.at(x + 1, y) || p.at(x, y) != p.at(x, y + 1);
            }
        EXPECT_GE(longest, 2);
        EXPECT_GT(ragged, 20);
    }
}

// Replayed clicks on a shrunk window take design units: keypad 5, the
// swatch at row 4 column 4 and the 年 layout button act as at 1:1 (real
// clicks on an enlarged window are tested below).
TEST(fit, clicks_on_a_shrunk_window_act_as_at_one_to_one)
{
    ProgramRun run = run_program("click 685 340; click 922 410; type 2003; key Enter;"
                                 "type 5; key Enter; click 900 200", size(800, 600));
    EXPECT_EQ(run.state.cKeybuf[0], '5');
    EXPECT_EQ(run.state.iBcol, 0xA0FFA0);
    EXPECT_EQ(run.state.iDspfg, 3);
    EXPECT_FALSE(run_program("click 980 696", size(800, 600)).has_state) << "終了 ends the program";
    EXPECT_EQ(run_program("key F8", size(800, 600)).screen.at(Fit(800, 600).x(500), Fit(800, 600).y(30)),
              0xFF0000u) << "the help screen's title bar, fitted as the calendar";
}

// A real window on a 1920 x 1080 screen under openbox: maximised, real
// clicks act at the scaled places but not in the margin; with the window
// manager gone (it will not resize a maximised window), a resize repaints
// at the new fit.
TEST(fit, x_window_maximised_by_a_window_manager_and_refits_when_resized)
{
    Xvfb x;
    ASSERT_TRUE(x.start(1920, 1080)) << x.error();
    // Once openbox handles requests, its start-up command's switch to desktop 1 shows.
    pid_t wm = xvfb_spawn(x, {"openbox", "--startup", "xdotool set_desktop 1"});
    for (int i = 0; i < 200 && xvfb_property(x, 0, "_NET_CURRENT_DESKTOP") != std::vector<long>{1}; i++)
        usleep(100000);
    pid_t pid = xvfb_spawn(x, {RKM_PROGRAM});
    unsigned long window = xvfb_find_window(x, "Calendar", 20000);
    ASSERT_NE(window, 0u);
    std::string id = std::to_string(window);
    auto fit = [&](auto ready) {  // the fit of the window once its size is ready (20 s at most)
        int w = 0, h = 0;
        for (int i = 0; i < 200 && !ready(w, h); i++, usleep(100000)) {
            std::istringstream in(xvfb_xdotool(x, {"getwindowgeometry", "--shell", id}));
            for (std::string line; std::getline(in, line);)
                std::sscanf(line.c_str(), "WIDTH=%d", &w), std::sscanf(line.c_str(), "HEIGHT=%d", &h);
        }
        return Fit(w, h);
    };
    auto shows = [&](int px, int py, long colour) {  // whether the pixel gets the colour within 20 s
        for (int i = 0; i < 200 && xvfb_pixel(x, window, px, py) != colour; i++)
            usleep(100000);
        return xvfb_pixel(x, window, px, py) == colour;
    };
    auto click = [&](int px, int py) {
        xvfb_xdotool(x, {"mousemove", "--window", id, std::to_string(px), std::to_string(py), "click", "1"});
    };
    Fit f = fit([](int w, int h) { return Fit(w, h).s > 1.3; });
    EXPECT_GT(f.s, 1.3) << "the whole screen";
    EXPECT_EQ(xvfb_property(x, window, "_NET_WM_STATE").size(), 2u) << "maximised both ways";
    ASSERT_TRUE(shows(f.ox / 2, 540, 0x202630)) << "drawn, margins and all";
    click(f.x(640.5), f.y(300.5));  // keypad 1: the cursor moves on to the year's second cell
    EXPECT_TRUE(shows(f.x(677), f.y(122), 0xC0C0C0));
    click(f.x(900.5), f.y(200.5));  // 年: the year view, borderless
    EXPECT_TRUE(shows(f.x(1), f.y(1), 0xFFFFFF));
    click(2, f.y(200));  // in the margin: nothing
    kill(-wm, SIGTERM);
    wait_child(wm, 10000);
    xvfb_xdotool(x, {"windowsize", "--sync", id, "1000", "900"});
    Fit g = fit([](int w, int h) { return w == 1000 && h == 900; });
    ASSERT_GT(g.oy, 0) << "resized";
    EXPECT_TRUE(shows(500, g.oy / 2, 0x202630)) << "margin";
    EXPECT_EQ(xvfb_pixel(x, window, g.x(1), g.y(1)), 0xFFFFFF) << "after a margin click";
    std::vector<long> hints = xvfb_property(x, window, "WM_NORMAL_HINTS");
    ASSERT_GE(hints.size(), 7u);
    EXPECT_EQ(hints[5] * 10000 + hints[6], 512 * 10000 + 384) << "the design at half size";
    EXPECT_TRUE(xvfb_close_window(x, window));
    EXPECT_EQ(wait_child(pid, 20000), 0);
}
