// The sources at run time: one thread reads the files when they change,
// one thread for each URL fetches it when it is due (so a server that
// never answers holds up no other source); the window's thread asks for
// the events of some days and for the failures. A thread only ever
// replaces a source's calendar as a whole, under the lock, so a reader
// holds the one it took for as long as it needs it.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "events/events.h"
#include "events/internal.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto FILE_CHECK = std::chrono::seconds(1);
constexpr size_t MOST_FILE_BYTES = 20u << 20;

struct SourceState {
    EvSource source;
    std::shared_ptr<const EvCalendar> calendar;  // the events shown; null until read
    bool failed = false;
    EvReason reason;
    // The source's own thread only:
    struct stat seen {};     // the file as last read
    struct stat changed {};  // the file as last seen changing
    bool read_once = false;
    EvValidators validators;
    Clock::time_point due{};
};

struct Engine {
    std::mutex lock;
    std::condition_variable wake;
    std::vector<SourceState> sources;
    std::vector<EvFailure> problems;
    int refresh_seconds = 0;
    std::atomic<bool> stop{false};
    size_t first_rounds_left = 0;  // threads still reading their sources the first time
    void (*changed)(void*) = nullptr;
    void* data = nullptr;
    std::vector<std::thread> threads;
};

Engine* engine = nullptr;  // lives until ev_stop; its thread never outlives it
std::atomic<unsigned> generation{0};

void tell(Engine* e)
{
    if (e->changed)
        e->changed(e->data);
}

// Sets or clears the failure of source i; a new failure is written to
// standard error once.
bool set_failure(Engine* e, size_t i, const EvReason* reason)
{
    std::lock_guard<std::mutex> hold(e->lock);
    SourceState& s = e->sources[i];
    if (!reason) {
        const bool was = s.failed;
        s.failed = false;
        generation += was;
        return was;
    }
    if (s.failed && s.reason.en == reason->en)
        return false;
    generation++;
    s.failed = true;
    s.reason = *reason;
    std::fprintf(stderr, "rkm7500: %s: %s%s\n", s.source.name.c_str(), ev_mask(reason->en).c_str(),
                 s.calendar ? " (showing the copy read before)" : "");
    return true;
}

void publish(Engine* e, size_t i, std::shared_ptr<const EvCalendar> calendar)
{
    std::lock_guard<std::mutex> hold(e->lock);
    e->sources[i].calendar = std::move(calendar);
    generation++;
}

bool same_file(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

EvReason file_reason(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return {"no such file", "ファイルがありません"};
    if (error == EACCES)
        return {"permission denied", "読む権限がありません"};
    if (error == EISDIR)
        return {"is a folder", "フォルダーです"};
    if (error == EFBIG)
        return {"larger than 20 MB", "20 MB を超えています"};
    return {std::strerror(error), "読めません"};
}

// Reads a local file whole; the error number when it cannot.
int read_file(const std::string& path, std::string* text)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (st.st_size > (off_t)MOST_FILE_BYTES)
        return EFBIG;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return errno ? errno : EACCES;
    std::ostringstream all;
    all << in.rdbuf();
    *text = all.str();
    return text->size() > MOST_FILE_BYTES ? EFBIG : 0;
}

// A file is read when it is new to us, and again when it has changed and
// then stood still for a moment: a file being written is read once whole.
bool check_file(Engine* e, size_t i)
{
    SourceState& s = e->sources[i];
    struct stat now {};
    if (stat(s.source.location.c_str(), &now) != 0) {
        const EvReason r = file_reason(errno);
        s.read_once = false;
        return set_failure(e, i, &r);
    }
    if (s.read_once && same_file(now, s.seen))
        return false;
    const bool settled = same_file(now, s.changed) ||
                         std::time(nullptr) - now.st_mtim.tv_sec >= 2;
    s.changed = now;
    if (s.read_once && !settled)
        return false;
    s.seen = now;
    s.read_once = true;
    std::string text;
    EvReason reason;
    if (int error = read_file(s.source.location, &text)) {
        reason = file_reason(error);
        return set_failure(e, i, &reason);
    }
    auto calendar = ev_read_calendar(text, &reason);
    if (!calendar)
        return set_failure(e, i, &reason);
    publish(e, i, std::move(calendar));
    set_failure(e, i, nullptr);
    return true;
}

// The cached copy of a URL, shown until the server answers.
bool load_copy(Engine* e, size_t i)
{
    EvCached copy;
    EvReason reason;
    if (!ev_cache_load(e->sources[i].source.location, &copy))
        return false;
    auto calendar = ev_read_calendar(copy.body, &reason);
    if (!calendar)
        return false;
    e->sources[i].validators = copy.validators;
    publish(e, i, std::move(calendar));
    return true;
}

bool fetch(Engine* e, size_t i)
{
    SourceState& s = e->sources[i];
    s.due = Clock::now() + std::chrono::seconds(e->refresh_seconds);
    const EvFetchResult r = ev_fetch(s.source.location, s.validators, e->stop);
    if (e->stop)
        return false;
    if (!r.ok)
        return set_failure(e, i, &r.reason);
    if (r.unchanged) {
        s.validators = {r.etag, r.last_modified};
        return set_failure(e, i, nullptr);
    }
    EvReason reason;
    auto calendar = ev_read_calendar(r.body, &reason);
    if (!calendar)
        return set_failure(e, i, &reason);
    std::string why;
    if (!ev_cache_store(s.source.location, {r.body, {r.etag, r.last_modified}}, &why))
        std::fprintf(stderr, "rkm7500: %s: no copy kept for offline use: %s\n",
                     s.source.name.c_str(), why.c_str());
    s.validators = {r.etag, r.last_modified};
    publish(e, i, std::move(calendar));
    set_failure(e, i, nullptr);
    return true;
}

// The end of a thread's first round: --agenda and snapshots wait for all.
void first_round_done(Engine* e)
{
    std::lock_guard<std::mutex> hold(e->lock);
    e->first_rounds_left--;
    e->wake.notify_all();
}

// Sleeps until `until` or until the engine stops; false once it has.
bool rest(Engine* e, Clock::time_point until)
{
    std::unique_lock<std::mutex> hold(e->lock);
    e->wake.wait_until(hold, until, [e] { return e->stop.load(); });
    return !e->stop;
}

// Reads every file source that changed, and tells the program if any did.
void check_files(Engine* e)
{
    bool news = false;
    for (size_t i = 0; i < e->sources.size(); i++)
        if (!e->sources[i].source.url)
            news |= check_file(e, i);
    if (news)
        tell(e);
}

void watch_files(Engine* e)
{
    check_files(e);
    first_round_done(e);
    while (rest(e, Clock::now() + FILE_CHECK))
        check_files(e);
}

void watch_url(Engine* e, size_t i)
{
    if (load_copy(e, i))
        tell(e);
    if (fetch(e, i))
        tell(e);
    first_round_done(e);
    while (rest(e, e->sources[i].due))
        if (fetch(e, i))
            tell(e);
}

}  // namespace

unsigned ev_generation(void)
{
    return generation.load();
}

bool ev_active(void)
{
    return engine && (!engine->sources.empty() || !engine->problems.empty());
}

void ev_start(const EvSourceList& list, void (*changed)(void* data), void* data)
{
    ev_stop();
    ev_fetch_init();
    engine = new Engine;
    generation++;
    engine->refresh_seconds = list.refresh_seconds;
    engine->problems = list.problems;
    engine->changed = changed;
    engine->data = data;
    for (const EvSource& s : list.sources) {
        engine->sources.emplace_back();
        engine->sources.back().source = s;
    }
    for (const EvFailure& p : list.problems)
        std::fprintf(stderr, "rkm7500: %s: %s\n", p.source.c_str(), p.reason.c_str());
    static bool stop_at_exit = false;
    if (!stop_at_exit)
        stop_at_exit = std::atexit(ev_stop) == 0;
    engine->first_rounds_left = 1;
    engine->threads.emplace_back(watch_files, engine);
    for (size_t i = 0; i < engine->sources.size(); i++)
        if (engine->sources[i].source.url) {
            engine->first_rounds_left++;
            engine->threads.emplace_back(watch_url, engine, i);
        }
}

void ev_wait_first_round(void)
{
    if (!engine)
        return;
    std::unique_lock<std::mutex> hold(engine->lock);
    engine->wake.wait(hold, [] { return engine->first_rounds_left == 0 || engine->stop.load(); });
}

void ev_stop(void)
{
    if (!engine)
        return;
    {
        std::lock_guard<std::mutex> hold(engine->lock);
        engine->stop = true;
        engine->wake.notify_all();
    }
    for (std::thread& t : engine->threads)
        t.join();
    delete engine;
    engine = nullptr;
    generation++;
}

std::string ev_source_name(int source)
{
    if (!engine || source < 0 || source >= (int)engine->sources.size())
        return "";
    return engine->sources[source].source.name;
}

std::vector<EvFailure> ev_failures(void)
{
    std::vector<EvFailure> out;
    if (!engine)
        return out;
    std::lock_guard<std::mutex> hold(engine->lock);
    out = engine->problems;
    for (const SourceState& s : engine->sources)
        if (s.failed)
            out.push_back({s.source.name, ev_mask(s.reason.en), ev_mask(s.reason.ja)});
    return out;
}

/* The events of some days */

static bool earlier(const EvItem& a, const EvItem& b)
{
    if (a.all_day != b.all_day)
        return a.all_day;
    if (a.start != b.start)
        return a.start < b.start;
    if (a.title != b.title)
        return a.title < b.title;
    return a.source < b.source;
}

std::vector<std::vector<EvItem>> ev_days(int year, int month, int day, int count)
{
    std::vector<std::vector<EvItem>> days(std::max(0, count));
    std::vector<std::shared_ptr<const EvCalendar>> calendars;
    if (!engine || count <= 0)
        return days;
    {
        std::lock_guard<std::mutex> hold(engine->lock);
        for (const SourceState& s : engine->sources)
            calendars.push_back(s.calendar);
    }
    const long long first = ev_day_number(year, month, day), last = first + count - 1;
    std::vector<EvOccurrence> found;
    for (size_t source = 0; source < calendars.size(); source++) {
        if (!calendars[source])
            continue;
        found.clear();
        ev_expand(*calendars[source], first, last, &found);
        for (const EvOccurrence& o : found) {
            const long long from = ev_first_day(o);
            for (long long d = std::max(first, from); d <= std::min(last, ev_last_day(o)); d++) {
                EvItem item;
                item.source = (int)source;
                item.all_day = o.all_day;
                item.continued = d > from;
                item.continues = d < ev_last_day(o);
                item.start_minute = (int)(o.start - ev_day_of(o.start) * EV_DAY_MINUTES);
                item.end_minute = (int)(o.end - ev_day_of(o.end) * EV_DAY_MINUTES);
                item.start = o.start;
                item.title = *o.title;
                days[d - first].push_back(std::move(item));
            }
        }
    }
    for (auto& list : days)
        std::sort(list.begin(), list.end(), earlier);
    return days;
}
