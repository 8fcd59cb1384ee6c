// The command line: options, the replay events and the program's run.
#include "app/command.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "state/state.h"
#include "print/print.h"

static const char USAGE[] =
    "usage: rkm7500 [--snapshot FILE.png] [--replay EVENTS] [--print-to FILE.pdf]\n"
    "               [--size WxH] [--scale 1]\n"
    "       rkm7500 --help | --version\n"
    "\n"
    "  --snapshot FILE.png  run without a display, deliver the replayed events,\n"
    "                       write the window (1024 x 768 unless --size) to FILE.png\n"
    "                       and exit\n"
    "  --replay EVENTS      deliver these events after the first paint, in order,\n"
    "                       separated by ';': type TEXT, key NAME (Enter, Esc,\n"
    "                       BackSpace, Left, F1 to F12), click X Y (in the\n"
    "                       calendar's 1024 x 768 units at any size), paint\n"
    "  --print-to FILE.pdf  the print key (F9) writes its page to FILE.pdf\n"
    "  --size WxH           open the window W x H pixels large instead of maximised\n"
    "  --scale 1            show the calendar 1:1 (one pixel per unit) instead of\n"
    "                       fitted to the window (--scale fit, the default)\n";

UINT cmd_key_code(const std::string& name)
{
    static const struct {
        const char* name;
        UINT key;
    } keys[] = {{"Enter", VK_RETURN}, {"Return", VK_RETURN}, {"Esc", VK_ESCAPE},
                {"Escape", VK_ESCAPE}, {"BackSpace", VK_BACK}, {"Left", VK_LEFT}};
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

static std::string trimmed(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

static bool parse_click(const std::string& args, ReplayEvent* event)
{
    int x = -1, y = -1, used = 0;
    if (std::sscanf(args.c_str(), "%d %d %n", &x, &y, &used) != 2 || used != (int)args.size())
        return false;
    if (x < 0 || y < 0 || x > 32767 || y > 32767)
        return false;
    event->x = x;
    event->y = y;
    return true;
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
        event->key = cmd_key_code(trimmed(args));
        if (event->key == 0) {
            *error = "key: unknown key '" + trimmed(args) +
                     "' (Enter, Esc, BackSpace, Left, F1 to F12)";
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
    if (trimmed(item) == "paint") {
        event->kind = ReplayEvent::Paint;
        return true;
    }
    *error = "unknown event '" + trimmed(item) + "' (type, key, click, paint)";
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

/* Replay: one event each time the message loop runs dry, then the snapshot */

struct Replay {
    std::vector<ReplayEvent> events;
    size_t next = 0;
    const char* snapshot = nullptr;
    bool finished = false;
    int status = 0;
};

static void deliver(const ReplayEvent& event)
{
    switch (event.kind) {
    case ReplayEvent::Type: plat_inject_text(ghwndMain, event.text.c_str()); break;
    case ReplayEvent::Key: plat_inject_key(ghwndMain, event.key, nullptr); break;
    case ReplayEvent::Click: {
        POINT at = plat_client_point(ghwndMain, event.x, event.y);
        plat_inject_click(ghwndMain, at.x, at.y);
        break;
    }
    case ReplayEvent::Paint: plat_inject_paint(ghwndMain); break;
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
    if (!plat_save_window_png(ghwndMain, replay->snapshot)) {
        std::fprintf(stderr, "rkm7500: cannot write the snapshot to %s\n", replay->snapshot);
        replay->status = 1;
    }
    PostMessageA(ghwndMain, WM_CLOSE, 0, 0);
}

static int usage_error(const std::string& message)
{
    std::fprintf(stderr, "rkm7500: %s\n%s", message.c_str(), USAGE);
    return 2;
}

// The value of option argv[*i], which must follow it.
static const char* option_value(int argc, char** argv, int* i)
{
    if (*i + 1 >= argc || argv[*i + 1][0] == '\0')
        return nullptr;
    return argv[++*i];
}

// Takes the value of option `name` given as "NAME VALUE" or "NAME=VALUE";
// false when argv[*i] is another option. A missing value leaves null.
static bool option_named(const char* name, int argc, char** argv, int* i, const char** value)
{
    size_t n = std::strlen(name);
    if (std::strncmp(argv[*i], name, n) != 0 || (argv[*i][n] != '\0' && argv[*i][n] != '='))
        return false;
    *value = argv[*i][n] == '=' ? (argv[*i][n + 1] ? argv[*i] + n + 1 : nullptr)
                                : option_value(argc, argv, i);
    return true;
}

// "WxH", each side 16 to 8192 pixels.
static bool parse_size(const char* text, int* width, int* height)
{
    int used = 0;
    if (!std::isdigit((unsigned char)text[0]) ||
        std::sscanf(text, "%dx%d%n", width, height, &used) != 2 || text[used] != '\0' ||
        !std::isdigit((unsigned char)text[std::strchr(text, 'x') - text + 1]))
        return false;
    return *width >= 16 && *width <= 8192 && *height >= 16 && *height <= 8192;
}

int cmd_main(int argc, char** argv)
{
    Replay replay;
    const char* print_to = nullptr;
    const char* events = nullptr;
    int width = 0, height = 0;
    int fit = PLAT_FIT_WINDOW;
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        const char* value = nullptr;
        if (option_named("--size", argc, argv, &i, &value)) {
            if (!value || !parse_size(value, &width, &height))
                return usage_error("--size needs WIDTHxHEIGHT in pixels, each 16 to 8192, "
                                   "as 1920x1080");
            continue;
        }
        if (option_named("--scale", argc, argv, &i, &value)) {
            if (!value || (std::strcmp(value, "1") != 0 && std::strcmp(value, "fit") != 0))
                return usage_error("--scale needs 1 (one pixel per unit) or fit");
            fit = std::strcmp(value, "1") == 0 ? PLAT_FIT_ONE_TO_ONE : PLAT_FIT_WINDOW;
            continue;
        }
        if (option == "--help") {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (option == "--version") {
            std::puts("rkm7500 1.0.0");
            return 0;
        }
        const char** target = option == "--snapshot"   ? &replay.snapshot
                              : option == "--replay"   ? &events
                              : option == "--print-to" ? &print_to
                                                       : nullptr;
        if (!target)
            return usage_error("unknown argument '" + option + "'");
        if (*target)
            return usage_error(option + " given twice");
        *target = option_value(argc, argv, &i);
        if (!*target)
            return usage_error(option + " needs a value");
    }
    std::string error;
    if (events && !cmd_parse_events(events, &replay.events, &error))
        return usage_error("--replay: " + error);

    if (print_to)
        prn_set_output_file(print_to);
    if (replay.snapshot)
        plat_set_display(PLAT_DISPLAY_OFFSCREEN);
    plat_set_window_size(width, height);
    plat_set_fit(fit);
    plat_set_idle_hook(replay_idle, &replay);

    static char program_module;  // the program's instance: one per process
    ghwndMain = nullptr;
    int status = WinMain(reinterpret_cast<HINSTANCE>(&program_module), nullptr,
                         const_cast<char*>(""), SW_SHOWNORMAL);
    if (status == 1 && !ghwndMain) {
        std::fprintf(stderr, "rkm7500: cannot open the calendar window: %s\n",
                     plat_window_error());
        return 1;
    }
    plat_set_idle_hook(nullptr, nullptr);
    return replay.status ? replay.status : status;
}
