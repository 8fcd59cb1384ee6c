// Left open overnight, the start screen moves today's frame by itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/helpers/xvfb.h"

// Whether the calendar's window shows blue at (px, py) within `seconds`.
static bool framed_at(const Xvfb& x, int px, int py, int seconds)
{
    for (int i = 0; i < seconds * 10; i++, usleep(100000))
        if (xvfb_pixel(x, xvfb_find_window(x, "カレンダー", 100), px, py) == 0x0000FF)
            return true;
    return false;
}

TEST(midnight, the_start_screen_frames_the_new_day_with_no_input)
{
    Xvfb x;
    ASSERT_TRUE(x.start(1024, 768)) << x.error();
    pid_t pid = xvfb_spawn(  // the clock starts 10 seconds before midnight and runs
        x, {RKM_PROGRAM}, {"LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
            "FAKETIME=@2003-11-30 23:59:50", "FAKETIME_DONT_FAKE_MONOTONIC=1",
            "ASAN_OPTIONS=verify_asan_link_order=0"});
    ASSERT_TRUE(framed_at(x, 59, 469, 8));  // Sunday 30 November
    EXPECT_TRUE(framed_at(x, 129, 169, 20));  // Monday 1 December, nothing pressed
    EXPECT_TRUE(xvfb_close_window(x, xvfb_find_window(x, "カレンダー", 100)));
    EXPECT_EQ(wait_child(pid, 20000), 0);
}
