// The last good copy of each fetched calendar, under
// $XDG_CACHE_HOME/rkm7500/: calendar-HASH.ics holds the text as the server
// sent it, calendar-HASH.meta its URL (without password) and validators.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "events/internal.h"
#include "platform/system/file.h"
#include "platform/system/out_file.h"

// The URL with its password left out: the key of its copy, so that a copy
// names no password, yet two users of one server keep two copies.
static std::string without_password(const std::string& url)
{
    const size_t host = url.find("://");
    if (host == std::string::npos)
        return url;
    const size_t end = url.find_first_of("/?#", host + 3);
    const size_t at = url.rfind('@', end == std::string::npos ? url.size() : end);
    const size_t colon = url.find(':', host + 3);
    if (at == std::string::npos || at < host + 3 || colon > at)
        return url;
    return url.substr(0, colon) + url.substr(at);
}

// The path of the copy's files, without the extension; "" when there is
// no cache folder.
static std::string copy_path(const std::string& url)
{
    const std::string home = plat_cache_home();
    if (home.empty())
        return "";
    uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : without_password(url))
        hash = (hash ^ c) * 1099511628211ull;
    char name[40];
    std::snprintf(name, sizeof name, "/calendar-%016llx", (unsigned long long)hash);
    return home + "/rkm7500" + name;
}

static bool read_all(const std::string& path, std::string* out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    *out = text.str();
    return true;
}

bool ev_cache_load(const std::string& url, EvCached* out)
{
    const std::string path = copy_path(url);
    std::string meta;
    if (path.empty() || !read_all(path + ".meta", &meta) || !read_all(path + ".ics", &out->body))
        return false;
    std::istringstream lines(meta);
    std::string line, key = without_password(url);
    bool same_url = false;
    while (std::getline(lines, line)) {
        if (line == "url " + ev_mask(key))
            same_url = true;
        else if (line.rfind("etag ", 0) == 0)
            out->validators.etag = line.substr(5);
        else if (line.rfind("last-modified ", 0) == 0)
            out->validators.last_modified = line.substr(14);
    }
    return same_url;
}

bool ev_cache_store(const std::string& url, const EvCached& copy, std::string* reason)
{
    const std::string path = copy_path(url);
    if (path.empty() || !plat_make_folders(path.substr(0, path.rfind('/')))) {
        *reason = "no cache folder";
        return false;
    }
    // The text first: validators never stand beside an older text.
    const std::string meta = "url " + ev_mask(without_password(url)) + "\netag " +
                             copy.validators.etag + "\nlast-modified " +
                             copy.validators.last_modified + "\n";
    return plat_write_file((path + ".ics").c_str(), copy.body, reason) &&
           plat_write_file((path + ".meta").c_str(), meta, reason);
}
