#!/usr/bin/python3
"""Writes a calendar of recurring, zoned, floating and all-day events and the
agenda lines it must give, worked out without libical: recurrences by
python-dateutil, time zones by zoneinfo (the system's tz data), both read
as RFC 5545 says (a time in a gap takes the offset before it, a time that
occurs twice is its first occurrence, DTEND is exclusive).

usage: events_oracle.py CALENDAR.ics EXPECTED.tsv LOCAL_ZONE FROM TO [COUNT]
"""
import random
import sys
from datetime import date, datetime, timedelta, timezone
from zoneinfo import ZoneInfo

from dateutil.rrule import rrulestr

ics_path, expected_path, local_name, first, last = sys.argv[1:6]
count = int(sys.argv[6]) if len(sys.argv) > 6 else 160
LOCAL = ZoneInfo(local_name)
FIRST, LAST = date.fromisoformat(first), date.fromisoformat(last)
UTC = timezone.utc
SOURCE = "oracle.ics"

# America/New_York comes with its VTIMEZONE (as calendar programs write
# it); the others are named only, for the system to know.
NEW_YORK_VTIMEZONE = """BEGIN:VTIMEZONE
TZID:America/New_York
BEGIN:DAYLIGHT
TZOFFSETFROM:-0500
TZOFFSETTO:-0400
TZNAME:EDT
DTSTART:20070311T020000
RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU
END:DAYLIGHT
BEGIN:STANDARD
TZOFFSETFROM:-0400
TZOFFSETTO:-0500
TZNAME:EST
DTSTART:20071104T020000
RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU
END:STANDARD
END:VTIMEZONE"""
ZONES = ["America/New_York", "Europe/Berlin", "Australia/Sydney", "Asia/Kolkata",
         "America/Los_Angeles", "UTC", None]  # None: floating
DAYS = ["MO", "TU", "WE", "TH", "FR", "SA", "SU"]


def stamp(t):
    return t.strftime("%Y%m%d") if not isinstance(t, datetime) else t.strftime("%Y%m%dT%H%M%S")


def prop(name, t, zone):
    """A date or date-time property in the event's own terms."""
    if not isinstance(t, datetime):
        return f"{name};VALUE=DATE:{stamp(t)}"
    if zone == "UTC":
        return f"{name}:{stamp(t)}Z"
    return f"{name};TZID={zone}:{stamp(t)}" if zone else f"{name}:{stamp(t)}"


def to_utc(wall, zone):
    return wall.replace(tzinfo=ZoneInfo(zone)).astimezone(UTC)


def as_utc_prop(name, wall, zone):
    """The same instant written in UTC, as some programs write EXDATE."""
    return f"{name}:{stamp(to_utc(wall, zone))}Z"


def random_rule(rng, all_day):
    freq = rng.choice(["DAILY", "WEEKLY", "WEEKLY", "MONTHLY", "MONTHLY", "YEARLY"])
    parts = [f"FREQ={freq}"]
    if rng.random() < 0.4:
        parts.append(f"INTERVAL={rng.randint(2, 4)}")
    if freq == "WEEKLY" and rng.random() < 0.6:
        parts.append("BYDAY=" + ",".join(rng.sample(DAYS, rng.randint(1, 3))))
    elif freq == "MONTHLY":
        parts.append(rng.choice([f"BYMONTHDAY={rng.choice([1, 15, 29, 30, 31, -1])}",
                                 f"BYDAY={rng.choice(['1', '2', '3', '-1'])}{rng.choice(DAYS)}"]))
    elif freq == "YEARLY" and rng.random() < 0.5:
        parts.append(f"BYMONTH={rng.randint(1, 12)};BYDAY={rng.choice(['1', '3', '-1'])}{rng.choice(DAYS)}")
    return ";".join(parts)


class Event:
    def __init__(self, uid, title, zone, start, end=None, duration=None, rule=None):
        self.uid, self.title, self.zone, self.start = uid, title, zone, start
        self.end, self.duration, self.rule = end, duration, rule
        self.rdates, self.exdates, self.lines = [], [], []

    def length(self):
        """Wall-clock length, and the exact part of a DURATION."""
        if self.end is not None:
            return self.end - self.start, timedelta(0)
        if self.duration is not None:
            days = timedelta(days=self.duration.days)
            return days, self.duration - days
        return (timedelta(days=1) if not isinstance(self.start, datetime) else timedelta(0)), timedelta(0)

    def instances(self, horizon):
        """Wall start times of the recurrence set up to `horizon`."""
        walls = {self.start} | set(self.rdates)
        if self.rule:
            start = self.start if isinstance(self.start, datetime) else datetime.combine(self.start, datetime.min.time())
            for t in rrulestr(self.rule_for_dateutil(), dtstart=start):
                if t.date() > horizon:
                    break
                walls.add(t if isinstance(self.start, datetime) else t.date())
        return sorted(w for w in walls if self.key(w) not in {self.key(x) for x in self.exdates})

    def rule_for_dateutil(self):
        # UNTIL in UTC means the instant; dateutil compares wall times.
        if "UNTIL=" in self.rule and self.rule.rstrip().endswith("Z") and self.zone not in (None, "UTC"):
            head, until = self.rule.split("UNTIL=")
            u = datetime.strptime(until[:-1], "%Y%m%dT%H%M%S").replace(tzinfo=UTC)
            return head + "UNTIL=" + stamp(u.astimezone(ZoneInfo(self.zone)).replace(tzinfo=None))
        return self.rule.replace("Z", "")

    def key(self, wall):
        if isinstance(wall, datetime) and self.zone not in (None,):
            return to_utc(wall, self.zone)
        return wall

    def occurrence(self, wall):
        """(start, end, all_day) in local naive times."""
        nominal, exact = self.length()
        if not isinstance(wall, datetime):
            days = max(1, (nominal + exact + timedelta(seconds=86399)).days)
            return datetime.combine(wall, datetime.min.time()), datetime.combine(wall + timedelta(days=days), datetime.min.time()), True
        if self.zone is None:
            return wall, wall + nominal + exact, False
        start = to_utc(wall, self.zone)
        end = to_utc(wall + nominal, self.zone) + exact
        return (start.astimezone(LOCAL).replace(tzinfo=None),
                max(start, end).astimezone(LOCAL).replace(tzinfo=None), False)

    def text(self):
        out = ["BEGIN:VEVENT", f"UID:{self.uid}", "DTSTAMP:20260101T000000Z",
               prop("DTSTART", self.start, self.zone)]
        if self.end is not None:
            out.append(prop("DTEND", self.end, self.zone))
        if self.duration is not None:
            d = self.duration
            out.append(f"DURATION:P{d.days}DT{d.seconds // 3600}H{d.seconds % 3600 // 60}M")
        if self.rule:
            out.append("RRULE:" + self.rule)
        out += self.lines + [f"SUMMARY:{self.title}", "END:VEVENT"]
        return out


def make_events(rng):
    events = []
    horizon = LAST + timedelta(days=400)
    for n in range(count):
        zone = rng.choice(ZONES)
        all_day = rng.random() < 0.25
        day = date(2026, 1, 1) + timedelta(days=rng.randint(-60, 600))
        guess = day if all_day else datetime.combine(day, datetime.min.time()).replace(
            hour=rng.choice([0, 1, 2, 7, 9, 12, 17, 20, 22, 23]), minute=rng.choice([0, 15, 30, 45]))
        rule = random_rule(rng, all_day) if rng.random() < 0.7 else None
        start = guess
        if rule:  # DTSTART on the rule's first day, as calendars write it
            s = guess if isinstance(guess, datetime) else datetime.combine(guess, datetime.min.time())
            first = next(iter(rrulestr(rule, dtstart=s)))
            start = first if not all_day else first.date()
            end_kind = rng.random()
            if end_kind < 0.3:
                rule += f";COUNT={rng.randint(1, 25)}"
            elif end_kind < 0.6:
                until = start + timedelta(days=rng.randint(0, 300))
                if all_day:
                    rule += f";UNTIL={stamp(until)}"
                elif zone in (None,):
                    rule += f";UNTIL={stamp(until)}"
                else:
                    rule += f";UNTIL={stamp(to_utc(until, zone))}Z"
        title = rng.choice(["会議", "Standup", "歯医者", "Family dinner", "締め切り", "Yoga", "出張"]) + f" {n}"
        shape = rng.random()
        if all_day:
            e = Event(n, title, None, start, end=start + timedelta(days=rng.choice([1, 1, 2, 3]))) if shape < 0.7 else Event(n, title, None, start)
        elif shape < 0.5:
            e = Event(n, title, zone, start, end=start + timedelta(minutes=rng.choice([30, 60, 90, 150, 600, 1500])))
        elif shape < 0.8:
            e = Event(n, title, zone, start, duration=timedelta(days=rng.choice([0, 0, 1]), minutes=rng.choice([45, 120])))
        else:
            e = Event(n, title, zone, start)
        if rule:
            e.rule = rule
            walls = e.instances(horizon)
            for w in rng.sample(walls, min(len(walls) - 1, rng.randint(0, 2))):
                if w == e.start:
                    continue
                e.exdates.append(w)
                utc_form = isinstance(w, datetime) and zone not in (None, "UTC") and rng.random() < 0.5
                e.lines.append(as_utc_prop("EXDATE", w, zone) if utc_form else prop("EXDATE", w, zone))
            if rng.random() < 0.2:
                extra = e.start + timedelta(days=rng.randint(1, 40), hours=0 if all_day else 3)
                e.rdates.append(extra)
                e.lines.append(prop("RDATE", extra, zone))
        events.append(e)
    return events


def overrides(rng, events):
    """Changed and cancelled single instances of some recurring events."""
    extra = []
    for e in events:
        if not e.rule or rng.random() > 0.3:
            continue
        walls = [w for w in e.instances(LAST) if w != e.start]
        if not walls:
            continue
        w = rng.choice(walls)
        e.exdates.append(w)  # the instance the change replaces
        rid = prop("RECURRENCE-ID", w, e.zone)
        if rng.random() < 0.4:
            extra.append(["BEGIN:VEVENT", f"UID:{e.uid}", rid, prop("DTSTART", w, e.zone),
                          "STATUS:CANCELLED", f"SUMMARY:{e.title}", "END:VEVENT"])
            continue
        moved = Event(e.uid, e.title + " moved", e.zone, w + timedelta(days=1), end=None,
                      duration=timedelta(hours=2) if isinstance(w, datetime) else None)
        moved.lines.append(rid)
        extra.append(moved.text())
        events_changed.append(moved)
    return extra


def expected_lines(events):
    rows = []
    for e in events:
        for wall in e.instances(LAST + timedelta(days=2)):
            start, end, all_day = e.occurrence(wall)
            day = start.date()
            last_day = (end - timedelta(minutes=1)).date() if end > start else day
            while day <= last_day:
                if FIRST <= day <= LAST:
                    when = "終日" if all_day else f"{start:%H:%M}-{end:%H:%M}"
                    rows.append((day, not all_day, start, e.title,
                                 f"{day.isoformat()}\t{when}\t{e.title}\t{SOURCE}"))
                day += timedelta(days=1)
    rows.sort(key=lambda r: r[:4])
    return [r[4] for r in rows]


def fixed_events():
    """Cases worth one event each: DST changes, gaps, doubled hours."""
    ny = "America/New_York"
    return [
        Event("dst", "weekly NY across DST", ny, datetime(2026, 3, 2, 10, 0), end=datetime(2026, 3, 2, 11, 0),
              rule="FREQ=WEEKLY;COUNT=6"),
        Event("gap", "in the gap", ny, datetime(2026, 3, 1, 2, 30), end=datetime(2026, 3, 1, 3, 0),
              rule="FREQ=WEEKLY;COUNT=3"),
        Event("twice", "hour that occurs twice", ny, datetime(2026, 10, 25, 1, 30),
              duration=timedelta(minutes=40), rule="FREQ=WEEKLY;COUNT=3"),
        Event("evening", "20:00 in New York", ny, datetime(2026, 12, 24, 20, 0), end=datetime(2026, 12, 24, 22, 0)),
        Event("allday-until", "all-day until", None, date(2026, 1, 26), rule="FREQ=WEEKLY;UNTIL=20260216"),
        Event("long", "spans the new year", None, date(2025, 12, 30), end=date(2026, 1, 3)),
        Event("third-thursday", "third Thursday", "Asia/Kolkata", datetime(2026, 1, 15, 18, 0),
              end=datetime(2026, 1, 15, 19, 0), rule="FREQ=MONTHLY;BYDAY=3TH;COUNT=12"),
    ]


rng = random.Random(20261224)
events = fixed_events() + make_events(rng)
events_changed = []
extra = overrides(rng, events)
body = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//rkm7500 tests//oracle//EN", NEW_YORK_VTIMEZONE]
for e in events:
    body += e.text()
for lines in extra:
    body += lines
body.append("END:VCALENDAR")
with open(ics_path, "w", encoding="utf-8") as f:
    f.write("\r\n".join(body) + "\r\n")
with open(expected_path, "w", encoding="utf-8") as f:
    f.write("".join(line + "\n" for line in expected_lines(events + events_changed)))
