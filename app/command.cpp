// The command line: options, the replay events and the program's run.
#include "app/command.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/agenda.h"
#include "app/almanac_list.h"
#include "app/app.h"
#include "app/export_ics.h"
#include "events/events.h"
#include "state/state.h"
#include "calendar/holidays.h"
#include "print/print.h"

static const char USAGE_HEAD[] =
    "Usage: rkm7500 [OPTION]...\n"
    "A full-screen desktop calendar with Japanese texts: a month, a small month\n"
    "or a whole year, with Japan's national holidays and your own days off and\n"
    "working days; prints the layout shown on one landscape page.\n"
    "\n"
    "Options:\n";

static const char USAGE_TAIL[] =
    "An option's value may also follow it as the next argument.\n"
    "\n"
    "Keys: type a year and Enter, then a month and Enter, to show that month;\n"
    "BackSpace or Left deletes a digit, Esc goes back to the year (with nothing\n"
    "typed, from the large, small or year layout to today's month). F1 to F4\n"
    "choose the layout (large, medium, small, year), F8 shows the help screen,\n"
    "F9 or Ctrl+P prints the layout shown on the default printer, F10 opens the\n"
    "print dialog (printer or PDF file, paper, months, layout, copies), F11 or\n"
    "Home shows today's month, F12 or Ctrl+Q quits. PageDown and PageUp (Down\n"
    "and Up) show the next and the previous month (year in the year layout); so\n"
    "does the mouse wheel over the calendar.\n"
    "Mouse: the keypad types, the four layout buttons choose the layout, the\n"
    "palette sets the background colour, each labelled key of the bottom bar\n"
    "acts as its key (Menu shows today's month, 終了 quits).\n"
    "\n"
    "Files: HDAY1.DAT (days off) and HDAY2.DAT (working days) are read from the\n"
    "first of these folders that holds HDAY1.DAT: the current folder,\n"
    "$XDG_CONFIG_HOME/rkm7500 (~/.config/rkm7500), then rkm7500 in each folder of\n"
    "$XDG_CONFIG_DIRS (/etc/xdg/rkm7500).\n"
    "syukujitsu.csv, the Cabinet Office's list of national holidays, is read from\n"
    "the first of the same folders that holds it: for every year it covers, its\n"
    "days are that year's national holidays. --version names the list in force.\n"
    "The layout and the background colour chosen last are kept in\n"
    "$XDG_CONFIG_HOME/rkm7500/settings.\n"
    "Your calendars are listed in $XDG_CONFIG_HOME/rkm7500/calendars\n"
    "(~/.config/rkm7500/calendars), one a line: a path to an .ics file or an\n"
    "http(s) URL (a published calendar or a CalDAV calendar); '#' starts a\n"
    "comment, and a line 'refresh SECONDS' sets how often URLs are fetched\n"
    "(900). User names and passwords come from the URL or ~/.netrc. Copies of\n"
    "fetched calendars are kept in $XDG_CACHE_HOME/rkm7500 (~/.cache/rkm7500).\n"
    "\n"
    "Exit status: 0 when the calendar ends, 1 when it cannot open its window,\n"
    "write the snapshot or, with --print-to, write a page, or cannot write the\n"
    "file of --export-ics or the almanac, or when --agenda cannot read a source;\n"
    "2 for bad arguments.\n"
    "\n"
    "Report bugs to: <" RKM_BUG_URL ">\n";

static const char VERSION[] =
    "rkm7500 " RKM_VERSION "\n"
    "Copyright (C) 2026 The rkm7500 authors.\n"
    "License MIT: <https://opensource.org/licenses/MIT>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n"
    "\n";

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

// Reads one coordinate at *p: decimal digits only, 0 to 32767 however many
// digits are given, so that no value wraps round to a point on the screen.
static bool parse_coordinate(const char** p, int* value)
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
    if (!parse_coordinate(&p, &event->x) || (*p != ' ' && *p != '\t'))
        return false;
    p += std::strspn(p, " \t");
    if (!parse_coordinate(&p, &event->y))
        return false;
    if (notches && (*p == ' ' || *p == '\t')) {
        p += std::strspn(p, " \t");
        if (!parse_coordinate(&p, notches) || *notches < 1 || *notches > 100)
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

/* Replay: one event each time the message loop runs dry, then the snapshot */

struct Replay {
    std::vector<ReplayEvent> events;
    size_t next = 0;
    const char* snapshot = nullptr;
    const char* print_to = nullptr;
    bool finished = false;
    bool saved = false;
    int status = 0;
};

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

// The run's exit status: 1 when the snapshot could not be written, when no
// font could draw the texts or, with --print-to, when a print command of
// the run printed nothing.
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

static int usage_error(const std::string& message)
{
    std::fprintf(stderr, "rkm7500: %s; 'rkm7500 --help' shows the usage\n", message.c_str());
    return 2;
}

/* Options: GNU forms, --name=VALUE or --name VALUE, and -x for the short ones */

struct Options {
    bool help = false, version = false, manual = false, notes = false;
    const char* snapshot = nullptr;
    const char* replay = nullptr;
    const char* print_to = nullptr;
    const char* size = nullptr;
    const char* scale = nullptr;
    const char* months = nullptr;
    const char* layout = nullptr;
    const char* paper = nullptr;
    const char* export_ics = nullptr;
    const char* years = nullptr;
    const char* almanac = nullptr;
    const char* agenda = nullptr;
    std::vector<const char*> ics;
};

// One option: a flag is set, a value is kept (once), or a value is added
// to a list (the option may be repeated). Exactly one of the three. The
// rows are also the option list of --help, in this order.
struct OptionRow {
    const char* name;  // the long name, without "--"
    char letter;       // the short name, or 0
    bool Options::*flag;
    const char* Options::*value;
    std::vector<const char*> Options::*list;
    const char* value_name;  // "FILE.png" in --snapshot=FILE.png
    const char* help;        // lines of the description, joined by '\n'; null: not shown
};

static const OptionRow OPTIONS[] = {
    {"help", 'h', &Options::help, nullptr, nullptr, nullptr, "show this help and exit"},
    {"version", 'V', &Options::version, nullptr, nullptr, nullptr,
     "show the version and the licence and exit"},
    {"snapshot", 0, nullptr, &Options::snapshot, nullptr, "FILE.png",
     "run without a display, deliver the replayed events,\n"
     "write the window (1024 x 768) to FILE.png and exit"},
    {"replay", 0, nullptr, &Options::replay, nullptr, "EVENTS",
     "deliver these events after the first paint, in order,\n"
     "separated by ';': type TEXT, key NAME (Enter, Esc,\n"
     "BackSpace, Tab, Space, Left, Right, Up, Down,\n"
     "PageUp, PageDown, Home, End, F1 to F12, and chords\n"
     "such as Ctrl+P or Shift+Tab), click X Y, wheel\n"
     "up|down X Y [NOTCHES] (X Y in the calendar's\n"
     "1024 x 768 units at any size), paint"},
    {"print-to", 0, nullptr, &Options::print_to, nullptr, "FILE.pdf",
     "the print key (F9) writes its page to FILE.pdf;\n"
     "with --months, the months are printed there at once"},
    {"months", 0, nullptr, &Options::months, nullptr, "FROM..TO",
     "with --print-to: print these months (YYYY-MM, as\n"
     "2026-04..2027-03, at most 1200), a page each, a\n"
     "year a page in the year layout, without a window"},
    {"layout", 0, nullptr, &Options::layout, nullptr, "L",
     "with --months: large, medium (the default), small\n"
     "or year"},
    {"paper", 0, nullptr, &Options::paper, nullptr, "P",
     "with --months: A4, A3, B4, B5 (JIS B sizes), Letter,\n"
     "Legal or Tabloid, landscape; without it the paper\n"
     "of the locale"},
    {"size", 0, nullptr, &Options::size, nullptr, "WxH",
     "open the window W x H pixels large, not maximised;\n"
     "a snapshot then has that size"},
    {"scale", 0, nullptr, &Options::scale, nullptr, "1",
     "show the calendar 1:1, one pixel per design pixel,\n"
     "instead of fitted to the window (--scale=fit)"},
    {"export-ics", 0, nullptr, &Options::export_ics, nullptr, "FILE.ics",
     "write the national holidays as iCalendar events for\n"
     "other calendars to FILE.ics and exit; no display is\n"
     "needed"},
    {"years", 0, nullptr, &Options::years, nullptr, "FROM..TO",
     "the years --export-ics writes, 1948 to 2099, or one\n"
     "year (this year and the five after it without it)"},
    {"notes", 0, &Options::notes, nullptr, nullptr, nullptr,
     "with --export-ics, also the 六曜 of each day, the\n"
     "solar terms and the 雑節 as events"},
    {"almanac", 0, nullptr, &Options::almanac, nullptr, "FROM[..TO]",
     "print the traditional notes of each day from FROM\n"
     "to TO (YYYY-MM-DD; notes for 1873 to 2100), one\n"
     "day a line in UTF-8, and exit. Tab-separated:\n"
     "date, weekday, old date (M/D, 閏 for a leap month),\n"
     "六曜, solar term, 雑節, moon phase, holiday; '-'\n"
     "for none"},
    {"agenda", 0, nullptr, &Options::agenda, nullptr, "FROM[..TO]",
     "print the events of your calendars from day FROM\n"
     "to day TO (YYYY-MM-DD) and exit: one line per\n"
     "event and day, date, time (終日 or HH:MM-HH:MM),\n"
     "title and source separated by tabs, in UTF-8;\n"
     "needs no display"},
    {"ics", 0, nullptr, nullptr, &Options::ics, "SOURCE",
     "also read SOURCE, an .ics file or an http(s) URL,\n"
     "for this run; may be given more than once"},
    // The build makes the manual's options section with this.
    {"manual-options", 0, &Options::manual, nullptr, nullptr, nullptr, nullptr},
};

// An option's name as both lists show it: "-h, --help", "--snapshot=FILE.png".
static std::string option_title(const OptionRow& o, const char* bold, const char* italic,
                                const char* roman, const char* dash)
{
    std::string title = o.letter ? std::string(bold) + dash + o.letter + roman + ", " : "";
    title += std::string(bold) + dash + dash;
    for (const char* c = o.name; *c; c++)
        title += *c == '-' ? std::string(dash) : std::string(1, *c);
    if (o.value_name)
        title += std::string("=") + italic + o.value_name;
    return title + roman;
}

// Text for roff: backslashes and dashes escaped, no line taken for a request.
static std::string roff_text(const std::string& text)
{
    std::string out = text[0] == '.' || text[0] == '\'' ? "\\&" : "";
    for (char c : text)
        out += c == '\\' ? "\\e" : c == '-' ? "\\-" : std::string(1, c);
    return out;
}

// --manual-options: every shown option as a tagged paragraph of the manual.
static std::string manual_options(void)
{
    std::string roff;
    for (const auto& o : OPTIONS) {
        if (!o.help)
            continue;
        std::string help = o.help;  // a sentence in the manual
        std::replace(help.begin(), help.end(), '\n', ' ');
        help[0] = (char)std::toupper((unsigned char)help[0]);
        roff += ".TP\n" + option_title(o, "\\fB", "\\fI", "\\fR", "\\-") + "\n" +
                roff_text(help) + ".\n";
    }
    return roff;
}

// --help: the option table between its head and tail.
static std::string usage_text(void)
{
    std::string text = USAGE_HEAD;
    for (const auto& o : OPTIONS) {
        if (!o.help)
            continue;
        const std::string left = (o.letter ? "  " : "      ") + option_title(o, "", "", "", "-");
        const char* help = o.help;
        for (bool first = true; *help; first = false) {
            const char* end = std::strchr(help, '\n');
            const size_t n = end ? (size_t)(end - help) : std::strlen(help);
            const std::string pad = first ? left : "";
            text += pad.size() < 27 ? pad + std::string(27 - pad.size(), ' ')
                                    : pad + "\n" + std::string(27, ' ');
            text.append(help, n);
            text += '\n';
            help += n + (end ? 1 : 0);
        }
    }
    return text + USAGE_TAIL;
}

static const OptionRow* find_option(const std::string& word)
{
    for (const auto& o : OPTIONS)
        if (word == std::string("--") + o.name || (o.letter && word == std::string("-") + o.letter))
            return &o;
    return nullptr;
}

// Fills `options` from the arguments. On a bad one returns false with the
// reason, naming the argument, in `error`.
static bool parse_options(int argc, char** argv, Options* options, std::string* error)
{
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        std::string word = arg.substr(0, equals);
        const OptionRow* row = word.size() > 1 && word[0] == '-' ? find_option(word) : nullptr;
        if (!row) {
            *error = (arg[0] == '-' ? "unrecognized option '" : "unexpected argument '") + word + "'";
            return false;
        }
        if (row->flag) {
            if (equals != std::string::npos) {
                *error = "option '" + word + "' takes no value";
                return false;
            }
            options->*row->flag = true;
            continue;
        }
        const char* value = equals != std::string::npos ? argv[i] + equals + 1
                            : i + 1 < argc              ? argv[++i]
                                                        : "";
        if (!*value) {
            *error = "option '" + word + "' needs a value";
            return false;
        }
        if (row->list) {
            (options->*row->list).push_back(value);
            continue;
        }
        if (options->*row->value) {
            *error = "option '" + word + "' given twice";
            return false;
        }
        options->*row->value = value;
    }
    return true;
}

// "WxH", each side 16 to 8192 pixels, in digits only, read as the replay's
// coordinates are, so that no number wraps round to a size in range.
static bool parse_size(const char* text, int* width, int* height)
{
    const char* p = text;
    return parse_coordinate(&p, width) && *p++ == 'x' && parse_coordinate(&p, height) &&
           *p == '\0' && *width >= 16 && *width <= 8192 && *height >= 16 && *height <= 8192;
}

// --almanac FROM[..TO]: the lines on standard output, then the end.
static int almanac(const char* text)
{
    AlmanacRange range;
    std::string error;
    if (!almanac_parse_range(text, &range, &error))
        return usage_error("--almanac: " + error);
    hol_load_official();
    if (!almanac_write(range, stdout)) {
        std::fprintf(stderr, "rkm7500: cannot write the almanac: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

int cmd_main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!parse_options(argc, argv, &options, &error))
        return usage_error(error);
    if (options.help || options.manual) {
        std::fputs(options.help ? usage_text().c_str() : manual_options().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        hol_load_official();
        std::fputs((VERSION + hol_source_text()).c_str(), stdout);
        return 0;
    }
    if ((options.years || options.notes) && !options.export_ics)
        return usage_error(std::string(options.years ? "--years" : "--notes") + " goes with --export-ics");
    if (options.export_ics)
        return ics_export(options.export_ics, options.years, options.notes);
    if (options.almanac)
        return almanac(options.almanac);
    if (options.agenda) {
        long long first = 0, last = 0;
        if (!agenda_range(options.agenda, &first, &last))
            return usage_error("--agenda needs FROM or FROM..TO, each YYYY-MM-DD, TO not before FROM");
        if (options.snapshot || options.replay || options.print_to)
            return usage_error("--agenda cannot be combined with --snapshot, --replay or --print-to");
        return agenda_run(first, last, options.ics);
    }
    int width = 0, height = 0;
    if (options.size && !parse_size(options.size, &width, &height))
        return usage_error("--size needs WIDTHxHEIGHT in pixels, each 16 to 8192, as 1920x1080");
    bool one_to_one = options.scale && std::strcmp(options.scale, "1") == 0;
    if (options.scale && !one_to_one && std::strcmp(options.scale, "fit") != 0)
        return usage_error("--scale needs 1 (one pixel per design pixel) or fit");
    if ((options.layout || options.paper) && !options.months)
        return usage_error("--layout and --paper go with --months");
    if (options.months) {
        if (!options.print_to)
            return usage_error("--months needs --print-to FILE.pdf");
        if (options.snapshot || options.replay)
            return usage_error("--months prints without a window: leave out --snapshot and --replay");
        PrnJob job;
        job.output = options.print_to;
        if (!cmd_print_request(options.months, options.layout, options.paper, &job, &error))
            return usage_error(error);
        app_events_start(options.ics, true);  // the pages show the user's events too
        const int status = cmd_print_months(job);
        ev_stop();
        return status;
    }
    Replay replay;
    replay.snapshot = options.snapshot;
    if (options.replay && !cmd_parse_events(options.replay, &replay.events, &error))
        return usage_error("--replay: " + error);

    replay.print_to = options.print_to;
    if (replay.print_to)
        prn_set_output_file(replay.print_to);
    plat_set_display(replay.snapshot ? PLAT_DISPLAY_OFFSCREEN : PLAT_DISPLAY_VISIBLE);
    plat_set_window_size(width, height);
    plat_set_fit(one_to_one ? PLAT_FIT_ONE_TO_ONE : PLAT_FIT_WINDOW);
    plat_set_idle_hook(replay_idle, &replay);
    current_replay = &replay;
    app_set_quit_hook(quit_status);

    app_events_start(options.ics, replay.snapshot != nullptr);
    static char program_module;  // the program's instance: one per process
    ghwndMain = nullptr;
    int status = WinMain(reinterpret_cast<HINSTANCE>(&program_module), nullptr,
                         const_cast<char*>(""), SW_SHOWNORMAL);
    if (status == 1 && !ghwndMain) {
        std::fprintf(stderr, "rkm7500: %s\n", plat_window_error());
        return 1;
    }
    ev_stop();
    plat_set_idle_hook(nullptr, nullptr);
    app_set_quit_hook(nullptr);
    current_replay = nullptr;
    return status ? status : run_status(replay);
}
