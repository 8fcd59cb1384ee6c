#!/usr/bin/python3
"""The Moon's phases and the Sun's longitudes from a second ephemeris.

Prints one event a line, "moon DEGREES JD" or "sun DEGREES JD", JD a
Julian date in Terrestrial Time, for every phase and for every crossing of
the longitudes given, over the years FIRST to LAST:

    ephem_events.py FIRST LAST DEGREES...

Longitudes and phases are the apparent geocentric ecliptic ones of date, as
PyEphem computes them (VSOP87 and ELP2000-82 truncated, its own nutation
and aberration). Times are in TT, so that the comparison measures the
ephemerides and not the two programs' values of Delta T.
"""
import math
import sys

import ephem

DUBLIN_TO_JD = 2415020.0
TAU = 2 * math.pi


def tt(date):
    return float(date) + DUBLIN_TO_JD + ephem.delta_t(date) / 86400.0


def sun_longitude(date):
    sun = ephem.Sun(date)
    apparent = ephem.Equatorial(sun.g_ra, sun.g_dec, epoch=date)
    return float(ephem.Ecliptic(apparent, epoch=date).lon)


def sun_reaches(degrees, guess):
    date, target = float(guess), math.radians(degrees)
    for _ in range(30):
        miss = (sun_longitude(date) - target + math.pi) % TAU - math.pi
        date -= miss / (TAU / 365.2422)
        if abs(miss) < 1e-10:
            break
    return ephem.Date(date)


def main():
    first, last = int(sys.argv[1]), int(sys.argv[2])
    start, end = ephem.Date('%d/1/1' % first), ephem.Date('%d/1/1' % (last + 1))
    phases = [(0, ephem.next_new_moon), (90, ephem.next_first_quarter_moon),
              (180, ephem.next_full_moon), (270, ephem.next_last_quarter_moon)]
    for degrees, following in phases:
        date = following(start)
        while date < end:
            print('moon %d %.8f' % (degrees, tt(date)))
            date = following(date + 1)
    for year in range(first, last + 1):
        for degrees in map(int, sys.argv[3:]):
            # The mean day of the longitude in this year, from the March equinox.
            guess = ephem.Date('%d/3/20' % year) + (degrees * 365.2422 / 360)
            if guess >= ephem.Date('%d/1/1' % (year + 1)):
                guess -= 365.2422
            print('sun %d %.8f' % (degrees, tt(sun_reaches(degrees, guess))))


main()
