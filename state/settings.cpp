// The user's remembered choices in $XDG_CONFIG_HOME/rkm7500/settings.
#include "state/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/system/file.h"
#include "platform/system/out_file.h"

namespace {

constexpr size_t MOST_BYTES = 64 * 1024;

// The file as lines, in order: each a key and its value, or (key empty) a
// line kept verbatim.
struct Line {
    std::string key, value, verbatim;
};

struct Settings {
    std::vector<Line> lines;
    bool writable = true;  // false for a file that is not ours to write over
    bool warned = false;   // a failed write has been reported once
} held;

bool key_character(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

bool valid_key(const std::string& key)
{
    if (key.empty())
        return false;
    for (char c : key)
        if (!key_character(c))
            return false;
    return true;
}

Line parse_line(const std::string& text)
{
    const size_t equals = text.find('=');
    if (equals != std::string::npos && valid_key(text.substr(0, equals)))
        return {text.substr(0, equals), text.substr(equals + 1), ""};
    return {"", "", text};
}

// The whole file, or false when it cannot be read or is not text.
bool read_text(const std::string& path, std::string* text, bool* missing)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    *missing = fd < 0 && errno == ENOENT;
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (size_t)st.st_size <= MOST_BYTES;
    char buffer[4096];
    for (ssize_t n; ok && (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0 && text->size() + (size_t)n <= MOST_BYTES;
        if (ok)
            text->append(buffer, (size_t)n);
    }
    close(fd);
    return ok && text->find('\0') == std::string::npos;
}

Line* find(const char* key)
{
    for (Line& line : held.lines)
        if (line.key == key)
            return &line;
    return nullptr;
}

void write_held()
{
    const std::string path = settings_path();
    if (path.empty() || !held.writable)
        return;
    std::string text;
    for (const Line& line : held.lines)
        text += (line.key.empty() ? line.verbatim : line.key + "=" + line.value) + "\n";
    std::string reason;
    const std::string folder = path.substr(0, path.rfind('/'));
    if (!plat_make_folders(folder))
        reason = std::strerror(errno);
    else if (plat_write_file(path.c_str(), text, &reason))
        return;
    if (!held.warned)
        std::fprintf(stderr, "rkm7500: cannot keep your choices in %s: %s\n", path.c_str(),
                     reason.c_str());
    held.warned = true;
}

}  // namespace

std::string settings_path(void)
{
    const std::string home = plat_config_home();
    return home.empty() ? "" : home + "/rkm7500/settings";
}

void settings_load(void)
{
    held = Settings();
    const std::string path = settings_path();
    std::string text;
    bool missing = false;
    if (path.empty())
        return;
    if (!read_text(path, &text, &missing)) {
        held.writable = missing;
        if (!missing)
            std::fprintf(stderr,
                         "rkm7500: %s is not a readable text file: it is left as it is, and "
                         "choices made now are not kept\n",
                         path.c_str());
        return;
    }
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        held.lines.push_back(parse_line(line));
        from = end + 1;
    }
}

std::string settings_get(const char* key)
{
    const Line* line = find(key);
    return line ? line->value : "";
}

int settings_int(const char* key, int fallback, int low, int high)
{
    const std::string text = settings_get(key);
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        return fallback;
    return (int)value;
}

void settings_set(const char* key, const std::string& value)
{
    assert(valid_key(key) && "settings keys are lowercase words");
    const std::string one_line = value.substr(0, value.find_first_of("\r\n"));
    Line* line = find(key);
    if (line && line->value == one_line)
        return;
    if (line)
        line->value = one_line;
    else
        held.lines.push_back({key, one_line, ""});
    write_held();
}
