// Replayed input: reading the events of --replay and delivering them
// through the message loop, then writing the snapshot.
#include "app/replay.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "print/print.h"
#include "state/state.h"

UINT cmd_key_code(const std::string& name)
{
    static const struct {
        const char* name;
        UINT key;
    } keys[] = {{"Enter", VK_RETURN}, {"Return", VK_RETURN}, {"Esc", VK_ESCAPE},
                {"Escape", VK_ESCAPE}, {"BackSpace", VK_BACK}, {"Tab", VK_TAB},
                {"Space", VK_SPACE}, {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP},
                {"Down", VK_DOWN}, {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT},
                {"Home", VK_HOME}, {"End", VK_END}};
    if (name.empty())
        return 0;
    for (const auto& k : keys)
        if (strcasecmp(name.c_str(), k.name) == 0)
            return k.key;
    if ((name[0] == 'F' || name[0] == 'f') && name.size() >= 2 && name.size() <= 3) {
        char* end = nullptr;
        long n = std::strtol(name.c_str() + 1, &end, 10);
        if (*end == '\0' && std::isdigit((unsigned char)name[1]) && n >= 1 && n <= 12)
            return VK_F1 + (UINT)(n - 1);
    }
    return 0;
}

UINT cmd_chord(const std::string& name, int* mods)
{
    static const struct {
        const char* name;
        int mod;
    } modifiers[] = {{"Ctrl+", PLAT_MOD_CTRL}, {"Shift+", PLAT_MOD_SHIFT}, {"Alt+", PLAT_MOD_ALT}};
    *mods = 0;
    size_t at = 0;
    for (bool more = true; more;) {
        more = false;
        for (const auto& m : modifiers)
            if (strncasecmp(name.c_str() + at, m.name, std::strlen(m.name)) == 0 && !(*mods & m.mod)) {
                *mods |= m.mod;
                at += std::strlen(m.name);
                more = true;
            }
    }
    const std::string key = name.substr(at);
    if (*mods && key.size() == 1 && std::isalnum((unsigned char)key[0]))
        return (UINT)std::toupper((unsigned char)key[0]);
    return cmd_key_code(key);
}

static std::string trimmed(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

bool cmd_parse_coordinate(const char** p, int* value)
{
    const char* s = *p;
    long v = 0;
    while (std::isdigit((unsigned char)*s)) {
        v = std::min(v * 10 + (*s - '0'), 32768L);
        s++;
    }
    if (s == *p || v > 32767)
        return false;
    *value = (int)v;
    *p = s;
    return true;
}

// "X Y", and with `notches` an optional count after them, 1 to 100.
static bool parse_click(const std::string& args, ReplayEvent* event, int* notches = nullptr)
{
    const char* p = args.c_str();
    if (!cmd_parse_coordinate(&p, &event->x) || (*p != ' ' && *p != '\t'))
        return false;
    p += std::strspn(p, " \t");
    if (!cmd_parse_coordinate(&p, &event->y))
        return false;
    if (notches && (*p == ' ' || *p == '\t')) {
        p += std::strspn(p, " \t");
        if (!cmd_parse_coordinate(&p, notches) || *notches < 1 || *notches > 100)
            return false;
    }
    return *p == '\0';
}

static bool parse_event(const std::string& raw, ReplayEvent* event, std::string* error)
{
    size_t start = raw.find_first_not_of(" \t");
    std::string item = raw.substr(start);
    std::string word = item.substr(0, item.find(' '));
    std::string args = item.size() > word.size() ? item.substr(word.size() + 1) : "";
    if (word == "type") {
        // Everything after the one blank is typed, blanks included.
        event->kind = ReplayEvent::Type;
        event->text = args;
        for (char c : args)
            if (c != '\t' && (c < ' ' || c > '~')) {
                *error = "type: only printable ASCII characters and tab can be typed";
                return false;
            }
        if (args.empty()) {
            *error = "type: nothing to type";
            return false;
        }
        return true;
    }
    if (word == "key") {
        event->kind = ReplayEvent::Key;
        event->key = cmd_chord(trimmed(args), &event->mods);
        if (event->key == 0) {
            *error = "key: unknown key '" + trimmed(args) +
                     "' (Enter, Esc, BackSpace, Tab, Space, Left, Right, Up, Down, PageUp, "
                     "PageDown, Home, End, F1 to F12; Ctrl+, Shift+ or Alt+ before a key, "
                     "a letter or a digit)";
            return false;
        }
        return true;
    }
    if (word == "click") {
        event->kind = ReplayEvent::Click;
        if (!parse_click(trimmed(args), event)) {
            *error = "click: needs two coordinates, X Y, from 0 to 32767";
            return false;
        }
        return true;
    }
    if (word == "wheel") {
        // "wheel up X Y" or "wheel down X Y": one notch at that point, or
        // with a count after them that many in one turn, as a quick turn gives.
        event->kind = ReplayEvent::Wheel;
        std::string way = trimmed(args).substr(0, trimmed(args).find(' '));
        int sign = way == "up" ? 1 : way == "down" ? -1 : 0, notches = 1;
        if (sign == 0 || !parse_click(trimmed(trimmed(args).substr(way.size())), event, &notches)) {
            *error = "wheel: needs up or down, two coordinates, X Y, from 0 to 32767, and "
                     "maybe a count of notches from 1 to 100";
            return false;
        }
        event->notches = sign * notches;
        return true;
    }
    if (trimmed(item) == "paint") {
        event->kind = ReplayEvent::Paint;
        return true;
    }
    *error = "unknown event '" + trimmed(item) + "' (type, key, click, wheel, paint)";
    return false;
}

bool cmd_parse_events(const char* events, std::vector<ReplayEvent>* out, std::string* error)
{
    std::string all = events;
    size_t from = 0;
    while (from <= all.size()) {
        size_t end = all.find(';', from);
        if (end == std::string::npos)
            end = all.size();
        std::string raw = all.substr(from, end - from);
        if (!trimmed(raw).empty()) {
            ReplayEvent event{};
            if (!parse_event(raw, &event, error))
                return false;
            out->push_back(event);
        }
        from = end + 1;
    }
    return true;
}

/* Delivery */

// Writes the snapshot once, if one was asked for.
static void save_snapshot(Replay* replay, HWND window)
{
    if (!replay->snapshot || replay->saved)
        return;
    replay->saved = true;
    std::string reason;
    if (!plat_save_window_png(window, replay->snapshot, &reason)) {
        std::fprintf(stderr, "rkm7500: cannot write the snapshot to %s: %s\n", replay->snapshot,
                     reason.c_str());
        replay->status = 1;
    }
}

static void deliver(const ReplayEvent& event)
{
    switch (event.kind) {
    case ReplayEvent::Type: plat_inject_text(ghwndMain, event.text.c_str()); break;
    case ReplayEvent::Key: plat_inject_key(ghwndMain, event.key, nullptr, event.mods); break;
    case ReplayEvent::Click: {
        POINT at = plat_client_point(ghwndMain, event.x, event.y);
        plat_inject_click(ghwndMain, at.x, at.y);
        break;
    }
    case ReplayEvent::Paint: plat_inject_paint(ghwndMain); break;
    case ReplayEvent::Wheel: {
        POINT at = plat_client_point(ghwndMain, event.x, event.y);
        plat_inject_wheel(ghwndMain, at.x, at.y, event.notches);
        break;
    }
    }
}

// Called by the message loop whenever nothing is queued: the first paint
// has been handled, and so has every event delivered before.
static void replay_idle(void* data)
{
    Replay* replay = static_cast<Replay*>(data);
    if (replay->finished || !ghwndMain)
        return;
    if (replay->next < replay->events.size()) {
        deliver(replay->events[replay->next++]);
        return;
    }
    replay->finished = true;
    if (!replay->snapshot)
        return;
    save_snapshot(replay, ghwndMain);
    PostMessageA(ghwndMain, WM_CLOSE, 0, 0);
}

static int run_status(const Replay& replay)
{
    return replay.status || plat_texts_lost() > 0 || (replay.print_to && prn_any_failed()) ? 1
                                                                                         : 0;
}

static Replay* current_replay = nullptr;

// The replay ended the program itself (F12, 終了): its last frame is still
// written.
static int quit_status(HWND window)
{
    save_snapshot(current_replay, window);
    return run_status(*current_replay);
}

void cmd_replay_start(Replay* replay)
{
    current_replay = replay;
    plat_set_idle_hook(replay_idle, replay);
    app_set_quit_hook(quit_status);
}

int cmd_replay_finish(Replay* replay)
{
    plat_set_idle_hook(nullptr, nullptr);
    app_set_quit_hook(nullptr);
    current_replay = nullptr;
    return run_status(*replay);
}
