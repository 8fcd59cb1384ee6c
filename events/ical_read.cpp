// Reading iCalendar text with libical: every VEVENT becomes single
// occurrences in local time or a recurring series, with its time zone,
// exceptions and changed instances resolved.
#include <algorithm>
#include <cstring>
#include <map>

#include "events/ical_model.h"

EvCalendar::~EvCalendar()
{
    if (root)
        icalcomponent_free(root);
}

/* Wall clocks and zones */

static constexpr long long DAY_SECONDS = 86400;

static long long floor_div(long long a, long long b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

long long ev_wall_seconds(const icaltimetype& t)
{
    const long long day = ev_day_number(t.year, t.month, t.day) * DAY_SECONDS;
    return t.is_date ? day : day + t.hour * 3600 + t.minute * 60 + t.second;
}

icaltimetype ev_wall_time(long long wall_seconds, bool is_date)
{
    icaltimetype t = icaltime_null_time();
    const long long day = floor_div(wall_seconds, DAY_SECONDS);
    const long long second = wall_seconds - day * DAY_SECONDS;
    ev_civil(day, &t.year, &t.month, &t.day);
    t.is_date = is_date;
    if (!is_date) {
        t.hour = (int)(second / 3600);
        t.minute = (int)(second / 60 % 60);
        t.second = (int)(second % 60);
    }
    return t;
}

static const icaltimezone* utc_zone()
{
    return icaltimezone_get_utc_timezone();
}

// The zone's offset from UTC at an instant, in seconds.
static long long offset_at(const icaltimezone* zone, long long utc_seconds)
{
    icaltimetype t = ev_wall_time(utc_seconds, false);
    t.zone = utc_zone();
    int daylight = 0;
    return icaltimezone_get_utc_offset_of_utc_time(const_cast<icaltimezone*>(zone), &t, &daylight);
}

long long ev_zone_to_utc(long long wall, const icaltimezone* zone)
{
    if (!zone || zone == utc_zone())
        return wall;
    // The offsets a day before and a day after: a wall time that either
    // one maps back to itself exists under that offset.
    const long long before = offset_at(zone, wall - DAY_SECONDS);
    const long long after = offset_at(zone, wall + DAY_SECONDS);
    const bool under_before = offset_at(zone, wall - before) == before;
    if (before == after && under_before)
        return wall - before;
    const bool under_after = offset_at(zone, wall - after) == after;
    if (under_before && under_after)
        return std::min(wall - before, wall - after);
    return under_after && !under_before ? wall - after : wall - before;
}

long long ev_instance_key(const EvSeries& s, long long wall)
{
    switch (s.kind) {
    case EvTimeKind::Date: return floor_div(wall, DAY_SECONDS) * DAY_SECONDS;
    case EvTimeKind::Floating: return wall;
    case EvTimeKind::Zoned: return ev_zone_to_utc(wall, s.zone);
    }
    return wall;
}

EvSingle ev_instance(const EvSeries& s, long long wall)
{
    const long long length = std::max(0LL, s.nominal + s.exact);
    EvSingle o{};
    o.title = s.title;
    switch (s.kind) {
    case EvTimeKind::Date: {
        const long long day = floor_div(wall, DAY_SECONDS);
        const long long days = std::max(1LL, (length + DAY_SECONDS - 1) / DAY_SECONDS);
        o = {day * EV_DAY_MINUTES, (day + days) * EV_DAY_MINUTES, true, s.title};
        break;
    }
    case EvTimeKind::Floating:
        o.start = floor_div(wall, 60);
        o.end = floor_div(wall + length, 60);
        break;
    case EvTimeKind::Zoned: {
        const long long start = ev_zone_to_utc(wall, s.zone);
        const long long end = ev_zone_to_utc(wall + std::max(0LL, s.nominal), s.zone) + s.exact;
        // While clocks go back, the end may read earlier than the start.
        o.start = ev_local_minutes(start);
        o.end = ev_local_minutes(std::max(start, end));
        break;
    }
    }
    return o;
}

/* Properties */

// A date or date-time value with the zone its TZID (or Z) names.
struct EvTime {
    icaltimetype t{};
    EvTimeKind kind = EvTimeKind::Floating;
    const icaltimezone* zone = nullptr;
};

// The zone a TZID names: the calendar's own VTIMEZONE first, then a zone
// the system knows by that name; names with a path before them
// ("/example.org/2024/Asia/Tokyo") are tried without it.
static const icaltimezone* find_zone(icalcomponent* calendar, const char* tzid)
{
    if (!tzid || !*tzid)
        return nullptr;
    if (calendar)
        if (icaltimezone* z = icalcomponent_get_timezone(calendar, tzid))
            return z;
    if (icaltimezone* z = icaltimezone_get_builtin_timezone_from_tzid(tzid))
        return z;
    for (const char* name = tzid; name; name = std::strchr(name + 1, '/')) {
        const char* start = *name == '/' ? name + 1 : name;
        if (*start && std::strchr(start, '/'))
            if (icaltimezone* z = icaltimezone_get_builtin_timezone(start))
                return z;
    }
    return icaltimezone_get_builtin_timezone(tzid);
}

static EvTime time_of(icalproperty* p, icaltimetype t, icalcomponent* calendar)
{
    EvTime v;
    v.t = t;
    v.t.zone = nullptr;
    if (t.is_date) {
        v.kind = EvTimeKind::Date;
    } else if (icaltime_is_utc(t)) {
        v.kind = EvTimeKind::Zoned;
        v.zone = utc_zone();
    } else if (icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER)) {
        v.zone = find_zone(calendar, icalparameter_get_tzid(tzid));
        v.kind = v.zone ? EvTimeKind::Zoned : EvTimeKind::Floating;  // an unknown zone: as written
    }
    return v;
}

static bool valid_time(const icaltimetype& t)
{
    return !icaltime_is_null_time(t) && t.year >= 1 && t.year <= 9999 && t.month >= 1 &&
           t.month <= 12 && t.day >= 1 && t.day <= icaltime_days_in_month(t.month, t.year) &&
           t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 &&
           t.second <= 60;
}

// A value in the series' own terms, as wall seconds: a value in another
// zone is moved to the series' zone; a date-time on a series of dates
// gives its date.
static long long series_wall(const EvSeries& s, const EvTime& v)
{
    const long long wall = ev_wall_seconds(v.t);
    if (s.kind != EvTimeKind::Zoned || v.kind != EvTimeKind::Zoned || v.zone == s.zone)
        return wall;
    const long long utc = ev_zone_to_utc(wall, v.zone);
    return utc + offset_at(s.zone, utc);
}

/* Events */

static void set_length(EvSeries* s, const EvTime& start, icalcomponent* event, icalcomponent* calendar)
{
    if (icalproperty* p = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
        const EvTime end = time_of(p, icalproperty_get_dtend(p), calendar);
        if (!valid_time(end.t))
            return;
        if (end.kind == EvTimeKind::Zoned && start.kind == EvTimeKind::Zoned && end.zone != start.zone)
            s->exact = ev_zone_to_utc(ev_wall_seconds(end.t), end.zone) -
                       ev_zone_to_utc(ev_wall_seconds(start.t), start.zone);
        else
            s->nominal = ev_wall_seconds(end.t) - ev_wall_seconds(start.t);
        return;
    }
    if (icalproperty* p = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
        const icaldurationtype d = icalproperty_get_duration(p);
        const long long sign = d.is_neg ? -1 : 1;
        s->nominal = sign * ((long long)d.weeks * 7 + d.days) * DAY_SECONDS;
        s->exact = sign * ((long long)d.hours * 3600 + d.minutes * 60 + d.seconds);
        return;
    }
    if (start.kind == EvTimeKind::Date)
        s->nominal = DAY_SECONDS;  // a date alone is that whole day
}

// UNTIL in the terms of the rules' iterator, which counts wall-clock time
// of no zone: a date for dates (a UTC end taken on the machine's local
// date, as the calendar that wrote it meant its day), the last second of
// that day for a date on date-times, and a UTC end as the wall clock of
// the series' zone.
static void align_until(const EvSeries& s, icalrecurrencetype* rule)
{
    icaltimetype& until = rule->until;
    if (icaltime_is_null_time(until))
        return;
    const bool in_utc = icaltime_is_utc(until);
    const long long wall = ev_wall_seconds(until);
    if (s.kind == EvTimeKind::Date && !until.is_date) {
        const long long day = in_utc ? ev_day_of(ev_local_minutes(wall)) : floor_div(wall, DAY_SECONDS);
        until = ev_wall_time(day * DAY_SECONDS, true);
    } else if (s.kind != EvTimeKind::Date && until.is_date) {
        until = ev_wall_time(wall + DAY_SECONDS - 1, false);
    } else if (s.kind == EvTimeKind::Zoned && in_utc) {
        until = ev_wall_time(wall + offset_at(s.zone, wall), false);
    }
    until.zone = nullptr;
}

icaltimetype ev_series_start(const EvSeries& s)
{
    icaltimetype t = s.dtstart;
    t.zone = nullptr;
    return t;
}

// COUNT becomes the UNTIL of its last instance, so that expansion can
// start anywhere in the series; a COUNT over 10,000 (27 years of days) ends
// at the 10,000th, so that no calendar makes reading it slow. False for a
// rule with no instance.
static bool count_to_until(const EvSeries& s, icalrecurrencetype* rule)
{
    if (rule->count <= 0)
        return true;
    const int most = std::min(rule->count, 10000);
    icalrecur_iterator* it = icalrecur_iterator_new(*rule, ev_series_start(s));
    if (!it)
        return false;
    icaltimetype last = icaltime_null_time();
    for (int n = 0; n < most; n++) {
        const icaltimetype next = icalrecur_iterator_next(it);
        if (icaltime_is_null_time(next))
            break;
        last = next;
    }
    icalrecur_iterator_free(it);
    if (icaltime_is_null_time(last))
        return false;
    rule->count = 0;
    rule->until = last;
    return true;
}

static void add_rules(EvSeries* s, icalcomponent* event)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        icalrecurrencetype rule = icalproperty_get_rrule(p);
        if (rule.freq == ICAL_NO_RECURRENCE || rule.interval < 1)
            continue;
        align_until(*s, &rule);
        if (count_to_until(*s, &rule))
            s->rules.push_back(rule);
    }
}

static void add_dates(EvSeries* s, icalcomponent* event, icalcomponent* calendar)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype v = icalproperty_get_rdate(p);
        const EvTime t = time_of(p, icaltime_is_null_time(v.time) ? v.period.start : v.time, calendar);
        if (valid_time(t.t))
            s->rdates.push_back(ev_wall_time(series_wall(*s, t), s->kind == EvTimeKind::Date));
    }
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
        const EvTime t = time_of(p, icalproperty_get_exdate(p), calendar);
        if (!valid_time(t.t))
            continue;
        if (t.kind == EvTimeKind::Date && s->kind != EvTimeKind::Date)
            s->excluded_dates.push_back(floor_div(ev_wall_seconds(t.t), DAY_SECONDS));
        else
            s->excluded.push_back(ev_instance_key(*s, series_wall(*s, t)));
    }
}

// The local span the series can touch: from its first instance to the end
// of its last, or for ever.
static void set_bounds(EvSeries* s)
{
    const EvSingle first = ev_instance(*s, ev_wall_seconds(s->dtstart));
    s->first_start = first.start;
    s->last_end = first.end;
    for (const icaltimetype& r : s->rdates) {
        const EvSingle o = ev_instance(*s, ev_wall_seconds(r));
        s->first_start = std::min(s->first_start, o.start);
        s->last_end = std::max(s->last_end, o.end);
    }
    for (const icalrecurrencetype& rule : s->rules) {
        if (icaltime_is_null_time(rule.until)) {
            s->last_end = LLONG_MAX;
            return;
        }
        // The last instance ends by UNTIL plus the length; a day more
        // covers any difference of zones.
        const EvSingle o = ev_instance(*s, ev_wall_seconds(rule.until));
        s->last_end = std::max(s->last_end, o.end + EV_DAY_MINUTES);
    }
}

struct Reader {
    EvCalendar* calendar;
    std::vector<EvSeries> events;          // every event, recurring or not
    std::map<std::string, size_t> by_uid;  // the first event of each UID
    std::vector<std::pair<icalcomponent*, icalcomponent*>> changed;  // RECURRENCE-ID, its VCALENDAR
};

static bool cancelled(icalcomponent* event)
{
    return icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED;
}

// The start, length and title of one VEVENT; false when it has no usable
// start.
static bool read_start(icalcomponent* event, icalcomponent* vcalendar, Reader* r, EvSeries* s)
{
    icalproperty* p = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    if (!p)
        return false;
    const EvTime start = time_of(p, icalproperty_get_dtstart(p), vcalendar);
    if (!valid_time(start.t))
        return false;
    s->kind = start.kind;
    s->zone = start.zone;
    s->dtstart = start.t;
    set_length(s, start, event, vcalendar);
    const char* summary = icalcomponent_get_summary(event);
    r->calendar->titles.push_back(ev_clean_line(summary ? summary : ""));
    s->title = (int)r->calendar->titles.size() - 1;
    return true;
}

static void read_event(icalcomponent* event, icalcomponent* vcalendar, Reader* r)
{
    if (icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) {
        r->changed.emplace_back(event, vcalendar);
        return;
    }
    EvSeries s;
    if (cancelled(event) || !read_start(event, vcalendar, r, &s))
        return;
    add_rules(&s, event);
    add_dates(&s, event, vcalendar);
    if (const char* uid = icalcomponent_get_uid(event))
        r->by_uid.emplace(uid, r->events.size());
    r->events.push_back(std::move(s));
}

// A changed instance hides the one it replaces (a cancelled one only
// hides it) and stands as an event of its own.
static void read_change(icalcomponent* event, icalcomponent* vcalendar, Reader* r)
{
    const char* uid = icalcomponent_get_uid(event);
    auto found = uid ? r->by_uid.find(uid) : r->by_uid.end();
    icalproperty* p = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
    const EvTime id = time_of(p, icalproperty_get_recurrenceid(p), vcalendar);
    if (found != r->by_uid.end() && valid_time(id.t)) {
        EvSeries& master = r->events[found->second];
        if (id.kind == EvTimeKind::Date && master.kind != EvTimeKind::Date)
            master.excluded_dates.push_back(floor_div(ev_wall_seconds(id.t), DAY_SECONDS));
        else
            master.excluded.push_back(ev_instance_key(master, series_wall(master, id)));
    }
    EvSeries s;
    if (!cancelled(event) && read_start(event, vcalendar, r, &s))
        r->events.push_back(std::move(s));
}

bool ev_excluded(const EvSeries& s, long long wall)
{
    return std::binary_search(s.excluded_dates.begin(), s.excluded_dates.end(),
                              floor_div(wall, DAY_SECONDS)) ||
           (!s.excluded.empty() &&
            std::binary_search(s.excluded.begin(), s.excluded.end(), ev_instance_key(s, wall)));
}

static void read_vcalendar(icalcomponent* vcalendar, Reader* r)
{
    for (icalcomponent* e = icalcomponent_get_first_component(vcalendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(vcalendar, ICAL_VEVENT_COMPONENT))
        read_event(e, vcalendar, r);
}

// Changed instances are applied once every series is known; events
// without recurrence become single occurrences, sorted by start.
static void finish(Reader* r)
{
    for (auto& [event, vcalendar] : r->changed)
        read_change(event, vcalendar, r);
    EvCalendar* c = r->calendar;
    for (EvSeries& s : r->events) {
        std::sort(s.excluded.begin(), s.excluded.end());
        std::sort(s.excluded_dates.begin(), s.excluded_dates.end());
        if (!s.rules.empty() || !s.rdates.empty()) {
            set_bounds(&s);
            c->series.push_back(std::move(s));
            continue;
        }
        const long long wall = ev_wall_seconds(s.dtstart);
        if (ev_excluded(s, wall))
            continue;
        c->singles.push_back(ev_instance(s, wall));
        c->longest_single = std::max(c->longest_single, c->singles.back().end - c->singles.back().start);
    }
    std::sort(c->singles.begin(), c->singles.end(),
              [](const EvSingle& a, const EvSingle& b) { return a.start < b.start; });
}

std::shared_ptr<const EvCalendar> ev_read_calendar(const std::string& text, EvReason* reason)
{
    icalcomponent* root = icalparser_parse_string(text.c_str());
    const icalcomponent_kind kind = root ? icalcomponent_isa(root) : ICAL_NO_COMPONENT;
    if (kind != ICAL_VCALENDAR_COMPONENT && kind != ICAL_XROOT_COMPONENT) {
        if (root)
            icalcomponent_free(root);
        *reason = {"not an iCalendar calendar", "iCalendar 形式ではありません"};
        return nullptr;
    }
    auto calendar = std::make_shared<EvCalendar>();
    calendar->root = root;
    Reader r{calendar.get(), {}, {}, {}};
    if (kind == ICAL_VCALENDAR_COMPONENT)
        read_vcalendar(root, &r);
    for (icalcomponent* v = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); v;
         v = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
        read_vcalendar(v, &r);
    finish(&r);
    return calendar;
}
