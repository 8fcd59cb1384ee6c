// The user's calendars in the window: the sources are read from the start,
// and each piece of news from the reading threads wakes the window, which
// draws what it shows again.
#include <atomic>
#include <string>

#include "app/app.h"
#include "events/events.h"
#include "platform/window/thread_post.h"
#include "state/state.h"

static std::atomic<HWND> news_window{nullptr};

// On a reading thread: only hands the news to the window's thread.
static void events_changed(void*)
{
    if (HWND window = news_window.load())
        plat_post_from_thread(window, WM_APP_EVENTS, 0, 0);
}

void app_events_start(const std::vector<const char*>& ics, bool wait)
{
    const EvSourceList list = ev_read_list(ev_list_path(), {ics.begin(), ics.end()});
    if (list.sources.empty() && list.problems.empty())
        return;
    plat_thread_post_init();
    ev_start(list, events_changed, nullptr);
    if (wait)
        ev_wait_first_round();
}

void app_events_window(HWND window)
{
    news_window = window;
}

// The view shown is drawn again with the news, and the year or month half
// typed is typed back; the help screen stays until it is closed.
void app_events_arrived(HWND window)
{
    if (app_shown().help || app_shown().layout == LAYOUT_NONE)
        return;
    HDC hdc = GetDC(window);
    const EntryDraft draft = ent_draft();
    app_redraw_shown(hdc);
    ent_resume(hdc, draft);
    ReleaseDC(window, hdc);
}
