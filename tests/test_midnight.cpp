// Left open overnight, the start screen moves today's frame by itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>

#include "tests/helpers/xvfb.h"

static const int NOVEMBER_30[] = {59, 469}, DECEMBER_1[] = {129, 169};  // in the medium view

// Whether the calendar's window frames the day at `at` within `seconds`.
static bool framed(const Xvfb& x, const int* at, int seconds)
{
    for (int i = 0; i < seconds * 10; i++, usleep(100000))
        if (xvfb_pixel(x, xvfb_find_window(x, "Calendar", 100), at[0], at[1]) == 0x0000FF)
            return true;
    return false;
}

// The clock starts shortly before midnight and runs. A machine too slow to
// show the calendar before midnight is given a longer start, so that the
// outcome does not depend on the machine's speed.
TEST(midnight, the_start_screen_frames_the_new_day_with_no_input)
{
    Xvfb x;
    ASSERT_TRUE(x.start(1024, 768)) << x.error();
    for (int lead = 2; lead <= 512; lead *= 4) {
        char start[64];
        const int t = 24 * 3600 - lead;  // seconds into 30 November
        std::snprintf(start, sizeof start, "FAKETIME=@2003-11-30 %02d:%02d:%02d", t / 3600,
                      t / 60 % 60, t % 60);
        pid_t pid = xvfb_spawn(
            x, {RKM_PROGRAM}, {"LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
                start, "FAKETIME_DONT_FAKE_MONOTONIC=1", "ASAN_OPTIONS=verify_asan_link_order=0"});
        // The first day framed: November 30, or already December 1.
        bool before_midnight = false;
        for (int i = 0; i < 600 && !before_midnight && !framed(x, DECEMBER_1, 0); i++)
            before_midnight = framed(x, NOVEMBER_30, 1);
        if (before_midnight) {
            EXPECT_TRUE(framed(x, DECEMBER_1, lead + 60)) << "nothing pressed";
        }
        EXPECT_TRUE(xvfb_close_window(x, xvfb_find_window(x, "Calendar", 100)));
        EXPECT_EQ(wait_child(pid, 20000), 0);
        if (before_midnight)
            return;
    }
    FAIL() << "the calendar never showed before midnight";
}
