// The command line: the option table, --help and the manual's options made
// from it, and the program's run.
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
#include "app/replay.h"
#include "events/events.h"
#include "state/state.h"
#include "calendar/holidays.h"
#include "print/print.h"

static const char USAGE_HEAD[] =
    "Usage: rkm7500 [OPTION]...\n"
    "A full-screen desktop calendar with Japanese texts: a month, a small month\n"
    "or a whole year, with Japan's national holidays, your own days off and\n"
    "working days, the traditional notes and the events of your calendars;\n"
    "prints the layout shown on one landscape page, or a range of months.\n"
    "\n"
    "Options:\n";

static const char USAGE_TAIL[] =
    "An option's value may also follow it as the next argument.\n"
    "\n"
    "Keys: type a year and Enter, then a month and Enter, to show that month;\n"
    "BackSpace or Left deletes a digit, Esc goes back to the year (with nothing\n"
    "typed, from the large, small or year layout to today's month). F1 to F4\n"
    "choose the layout (large, medium, small, year), F5 shows or hides the\n"
    "traditional notes (暦注), F8 shows the help screen, F9 or Ctrl+P prints\n"
    "the layout shown on the default printer, F10 opens the print dialog\n"
    "(printer or PDF file, paper, months, layout, copies), F11 or Home shows\n"
    "today's month, F12 or Ctrl+Q quits. PageDown and PageUp (Down and Up) show\n"
    "the next and the previous month (year in the year layout); so does the\n"
    "mouse wheel over the calendar.\n"
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
    "The layout, the background colour, the notes switch and the print dialog's\n"
    "choices are kept in $XDG_CONFIG_HOME/rkm7500/settings.\n"
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
    return cmd_parse_coordinate(&p, width) && *p++ == 'x' && cmd_parse_coordinate(&p, height) &&
           *p == '\0' && *width >= 16 && *width <= 8192 && *height >= 16 && *height <= 8192;
}

// --almanac FROM[..TO]: the lines on standard output, then the end.
static int almanac(const char* text)
{
    DayRange range;
    std::string error;
    if (!cmd_parse_days(text, &range, &error))
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
    cmd_replay_start(&replay);

    app_events_start(options.ics, replay.snapshot != nullptr);
    static char program_module;  // the program's instance: one per process
    ghwndMain = nullptr;
    int status = WinMain(reinterpret_cast<HINSTANCE>(&program_module), nullptr,
                         const_cast<char*>(""), SW_SHOWNORMAL);
    ev_stop();
    const int replay_status = cmd_replay_finish(&replay);
    if (status == 1 && !ghwndMain) {
        std::fprintf(stderr, "rkm7500: %s\n", plat_window_error());
        return 1;
    }
    return status ? status : replay_status;
}
