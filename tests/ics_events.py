#!/usr/bin/python3
# Reads an iCalendar file with python3-icalendar, after checking its raw form
# (CR LF line ends only, no line over 75 octets, no UTF-8 character cut by a
# fold), and prints each event as DATE|DAYS|SUMMARY|CATEGORIES|TRANSP|UID,
# DAYS from DTSTART to DTEND. Used by test_export_ics.
import sys

import icalendar

raw = open(sys.argv[1], 'rb').read()
lines = raw.split(b'\r\n')
assert lines[-1] == b'' and all(b'\n' not in l and b'\r' not in l and len(l) <= 75 for l in lines)
for line in lines:
    line.decode('utf-8')
cal = icalendar.Calendar.from_ical(raw)
assert cal['VERSION'] == '2.0' and cal['PRODID']
for e in cal.walk('VEVENT'):
    start, end = e.decoded('DTSTART'), e.decoded('DTEND')
    assert e.decoded('DTSTAMP')
    print(start.strftime('%Y%m%d'), (end - start).days, e['SUMMARY'], e['CATEGORIES'].to_ical().decode(),
          e['TRANSP'], e['UID'], sep='|')
