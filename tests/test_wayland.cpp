// The window on a Wayland output at scale 2, as a HiDPI laptop sets it: the
// calendar is drawn at the output's own pixels, so the screen shows exactly
// what the same program draws for a window of that many pixels (the
// 2048 x 1536 snapshot), not a 1024 x 768 picture blown up. sway's headless
// output stands in for the laptop; sway refuses to run as root, so it and
// the calendar run as nobody.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/helpers/program_run.h"
#include "tests/helpers/tempdir.h"

TEST(wayland, scale_2_output_shows_the_calendar_at_its_own_pixels)
{
    if (getuid() != 0 || std::system("command -v sway grim runuser >/dev/null") != 0)
        GTEST_SKIP() << "needs root (to run sway as nobody), sway, grim";
    const std::string replay = "type 2003; key Enter; type 11; key Enter; key F1";
    TempDir dir;
    dir.write("sway.conf", "output HEADLESS-1 resolution 2048x1536 scale 2\ndefault_border none\n");
    // The calendar's first paint can come after sway maps the window: the shot is taken once the
    // large month's white shows in a cell (design point 850, 580; beige in the medium month), or
    // after 20 s.
    dir.write("run.sh", R"(cd "$1" && export XDG_RUNTIME_DIR="$1/run" HOME="$1" XDG_CONFIG_HOME="$1/config"
export XDG_CACHE_HOME="$1/cache" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
sway -c sway.conf >sway.log 2>&1 & sway=$!
for i in $(seq 100); do WAYLAND_DISPLAY=$(cd run && ls wayland-? 2>/dev/null) && break; sleep 0.1; done
export WAYLAND_DISPLAY
SDL_VIDEODRIVER=wayland "$2" --replay "$3" >calendar.log 2>&1 & calendar=$!
for i in $(seq 200); do
  sleep 0.1
  grim -g '850,580 1x1' -t ppm - 2>/dev/null | tail -c 3 | od -An -tx1 | grep -q 'ff ff ff' && break
done
grim shot.png; kill $calendar $sway; wait; test -s shot.png
)");
    ASSERT_EQ(std::system(("mkdir -m 700 " + dir.file("run") + " && chown -R nobody " + dir.path() +
                           " && chmod 755 " + dir.path()).c_str()), 0);
    ASSERT_EQ(std::system(("runuser -u nobody -- bash " + dir.file("run.sh") + " " + dir.path() + " " +
                           RKM_PROGRAM + " '" + replay + "'").c_str()), 0)
        << dir.read("sway.log") << dir.read("calendar.log");
    const Picture shot = read_png(dir.file("shot.png"));
    const Picture drawn = run_program(replay, {"--size", "2048x1536"}).screen;
    ASSERT_EQ(shot.width * 10000 + shot.height, 2048 * 10000 + 1536);
    EXPECT_TRUE(shot.pixels == drawn.pixels);
}
