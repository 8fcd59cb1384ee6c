// The list of sources (the calendars file and --ics), and the text rules
// every message and title of the layer passes through.
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <strings.h>

#include "events/events.h"
#include "events/internal.h"
#include "platform/system/file.h"

std::string ev_list_path(void)
{
    const std::string home = plat_config_home();
    return home.empty() ? "" : home + "/rkm7500/calendars";
}

std::string ev_mask(const std::string& text)
{
    std::string out = text;
    for (size_t at = out.find("://"); at != std::string::npos; at = out.find("://", at + 3)) {
        const size_t host = at + 3;
        const size_t end = out.find_first_of("/?# \t\n", host);
        const size_t user_end = out.rfind('@', end == std::string::npos ? out.size() : end);
        if (user_end != std::string::npos && user_end >= host)
            out.replace(host, user_end - host, "***");
    }
    return out;
}

// The length of the UTF-8 character at s (1 to 4), or 0 when the bytes
// there are not one.
static size_t utf8_length(const unsigned char* s, size_t left)
{
    if (s[0] < 0x80)
        return 1;
    const size_t n = s[0] >= 0xF0 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC2 ? 2 : 0;
    if (n == 0 || n > left || s[0] > 0xF4)
        return 0;
    for (size_t i = 1; i < n; i++)
        if ((s[i] & 0xC0) != 0x80)
            return 0;
    const unsigned c1 = s[1];
    if ((s[0] == 0xE0 && c1 < 0xA0) || (s[0] == 0xED && c1 > 0x9F) ||
        (s[0] == 0xF0 && c1 < 0x90) || (s[0] == 0xF4 && c1 > 0x8F))
        return 0;  // overlong forms, surrogates, beyond U+10FFFF
    return n;
}

std::string ev_clean_line(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        const size_t n = utf8_length(s + i, text.size() - i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            i++;
        } else if (n == 1 && (s[i] < 0x20 || s[i] == 0x7F)) {
            out += ' ';
            i++;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    const size_t a = out.find_first_not_of(' ');
    return a == std::string::npos ? "" : out.substr(a, out.find_last_not_of(' ') - a + 1);
}

/* The list */

static bool starts_with_nocase(const std::string& s, const char* prefix)
{
    return strncasecmp(s.c_str(), prefix, std::strlen(prefix)) == 0;
}

// Fills `source` from one entry: a URL (webcal:// is the https of
// published calendars) or a path, relative to `folder`. False with the
// reason when the entry names neither.
static bool make_source(const std::string& entry, const std::string& folder, EvSource* source,
                        EvFailure* why)
{
    source->name = ev_mask(entry);
    if (starts_with_nocase(entry, "http://") || starts_with_nocase(entry, "https://")) {
        source->url = true;
        source->location = entry;
        return true;
    }
    if (starts_with_nocase(entry, "webcal://") || starts_with_nocase(entry, "webcals://")) {
        source->url = true;
        source->location = "https" + entry.substr(entry.find("://"));
        return true;
    }
    const size_t scheme = entry.find("://");
    if (scheme != std::string::npos && scheme > 0 &&
        entry.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ+.-") >= scheme) {
        why->reason = "only http and https URLs can be fetched";
        why->reason_ja = "http・https の URL だけを読めます";
        return false;
    }
    const char* home = std::getenv("HOME");
    if (entry.rfind("~/", 0) == 0 && home && *home)
        source->location = std::string(home) + entry.substr(1);
    else if (entry[0] != '/' && !folder.empty())
        source->location = folder + "/" + entry;
    else
        source->location = entry;
    return true;
}

// One line of the file without its comment and surrounding blanks. A '#'
// starts a comment at the start of the line or after a blank, so that URLs
// and names with '#' in them stay whole.
static std::string line_content(const std::string& line)
{
    size_t end = line.size();
    for (size_t i = 0; i < line.size(); i++)
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
            end = i;
            break;
        }
    const std::string s = line.substr(0, end);
    const size_t a = s.find_first_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// "refresh SECONDS": 1 second to 1 week.
static bool read_refresh(const std::string& value, int* seconds)
{
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || !std::isdigit((unsigned char)value[0]) || *end != '\0' || n < 1 ||
        n > 7 * 24 * 3600)
        return false;
    *seconds = (int)n;
    return true;
}

static void add_source(EvSourceList* list, const EvSource& source)
{
    for (const EvSource& s : list->sources)
        if (s.location == source.location)
            return;
    list->sources.push_back(source);
}

static void read_file(const std::string& path, EvSourceList* list)
{
    std::ifstream in(path);
    if (!in) {
        if (access(path.c_str(), F_OK) == 0)
            list->problems.push_back({path, "cannot be read", "読めません"});
        return;
    }
    const std::string folder = path.substr(0, path.rfind('/'));
    std::string line;
    for (int number = 1; std::getline(in, line); number++) {
        const std::string entry = line_content(line);
        if (entry.empty())
            continue;
        const std::string where = path + ":" + std::to_string(number);
        if (entry.rfind("refresh", 0) == 0 && (entry.size() == 7 || std::isspace((unsigned char)entry[7]))) {
            if (!read_refresh(line_content(entry.substr(7)), &list->refresh_seconds))
                list->problems.push_back({where, "refresh needs a number of seconds, 1 to 604800",
                                          "refresh には 1〜604800 の秒数を書きます"});
            continue;
        }
        EvSource source;
        EvFailure why;
        if (make_source(entry, folder, &source, &why))
            add_source(list, source);
        else
            list->problems.push_back({where, ev_mask(entry) + ": " + why.reason, why.reason_ja});
    }
}

EvSourceList ev_read_list(const std::string& path, const std::vector<std::string>& extra)
{
    EvSourceList list;
    if (!path.empty())
        read_file(path, &list);
    for (const std::string& entry : extra) {
        EvSource source;
        EvFailure why;
        if (make_source(entry, "", &source, &why))
            add_source(&list, source);
        else
            list.problems.push_back({"--ics " + ev_mask(entry), why.reason, why.reason_ja});
    }
    return list;
}
